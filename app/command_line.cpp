#include "app/command_line.h"

#include <algorithm>

#include "app/messages.h"
#include "core/files/file_helpers.h"
#include "core/files/file_search.h"
#include "core/files/script_search.h"
#include "core/paths/path_expand.h"
#include "core/paths/path_text.h"
#include "core/text/tokenizer.h"
#include "core/text/wildcard.h"
#include "platform/code_page.h"
#include "script/run_settings.h"

namespace {

constexpr int Continue = 0;
constexpr int Failed = 1;

char16_t AsciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameTextAscii(TTextView a, TTextView b, bool caseInsensitive) {
  if (!caseInsensitive)
    return a == b;
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return AsciiLower(x) == AsciiLower(y); });
}

bool IsOption(TTextView arg, TTextView forms) {
  return IsOneOf(arg, forms, true, u"|");
}

int Reject(TTextView message) {
  WriteMessage(message);
  return Failed;
}

// The value after a value-taking option; none when the option is the last argument.
const TText *NextValue(const std::vector<TText> &args, size_t &i) {
  if (i + 1 >= args.size())
    return nullptr;
  return &args[++i];
}

int UsageAfterBanner() {
  ShowUsage();
  return Failed;
}

int ReadInputOption(TRunSettings &settings, const TText &value) {
  settings.InputFile = PathExpand(value);
  if (HasWildcards(PathDirectory(settings.InputFile), true))
    return Reject(u"Fehler: Pfad darf keine Wildcards beinhalten!");
  settings.InputHasWildcards = HasWildcards(PathFileName(settings.InputFile), true);
  if (settings.InputHasWildcards)
    settings.InPlace = true;
  else if (!IsExistingFile(settings.InputFile))
    return Reject(u"Fehler: Eingabedatei ist nicht vorhanden!");
  return Continue;
}

int ReadOutputOption(TRunSettings &settings, const TText &value) {
  settings.OutputFile = value;
  if (HasWildcards(value, true))
    return Reject(u"Fehler: Ausgabedatei darf keine Wildcards enthalten!");
  TText directory = PathDirectory(value);
  if (!directory.empty() && !IsDirectoryPath(directory))
    return Reject(u"Fehler: Ausgabepfad ist nicht vorhanden!");
  return Continue;
}

int ReadArgument(const std::vector<TText> &args, size_t &i, TRunSettings &settings) {
  const TText &arg = args[i];
  if (IsOption(arg, u"/c|-c")) {
    if (!settings.ScriptCommands.empty())
      return Reject(u"Fehler: Scriptkommandos wurden bereits angegeben!");
    if (!settings.ScriptFile.empty())
      return Reject(u"Fehler: Nur Scriptdatei ODER Scriptkommandos möglich!");
    const TText *value = NextValue(args, i);
    if (!value)
      return UsageAfterBanner();
    // Script text, not a name: bytes the code page cannot decode read as U+FFFD.
    settings.ScriptCommands = BytesToText(platform::AnsiCodePage().EncodeLossless(*value));
  } else if (IsOption(arg, u"/i|-i")) {
    if (!settings.InputFile.empty())
      return Reject(u"Fehler: Eingabedatei wurde bereits angegeben!");
    const TText *value = NextValue(args, i);
    if (!value)
      return UsageAfterBanner();
    return ReadInputOption(settings, *value);
  } else if (IsOption(arg, u"/o|-o")) {
    if (!settings.OutputFile.empty())
      return Reject(u"Fehler: Ausgabedatei wurde bereits angegeben!");
    const TText *value = NextValue(args, i);
    if (!value)
      return UsageAfterBanner();
    return ReadOutputOption(settings, *value);
  } else if (IsOption(arg, u"/s|-s")) {
    settings.SubDirs = true;
  } else if (IsOption(arg, u"/p|-p")) {
    settings.InPlace = true;
  } else if (IsOption(arg, u"/b|-b")) {
    settings.CreateBak = true;
  } else if (IsOption(arg, u"/n|-n")) {
    settings.DryRun = true;
  } else if (IsOption(arg, u"/x|-x")) {
    const TText *value = NextValue(args, i);
    if (!value)
      return UsageAfterBanner();
    if (!IsValidNamePatternList(*value))
      return Reject(u"Fehler: Ausschlussmuster ist ungültig!");
    if (!settings.ExcludeNames.empty())
      settings.ExcludeNames += u';';
    settings.ExcludeNames += *value;
  } else {
    if (!settings.ScriptFile.empty())
      return Reject(u"Fehler: Scriptdatei wurde bereits angegeben!");
    if (!settings.ScriptCommands.empty())
      return Reject(u"Fehler: Nur Scriptdatei ODER Scriptkommandos möglich!");
    settings.ScriptFile = SearchFile(arg);
    if (settings.ScriptFile.empty())
      return Reject(u"Fehler: Scriptdatei ist nicht vorhanden!");
  }
  return Continue;
}

int AdjustSettings(TRunSettings &settings) {
  if (settings.ScriptFile.empty() && settings.ScriptCommands.empty())
    return Reject(u"Fehler: Weder Scriptdatei noch Scriptkommando angegeben!");
  if (settings.InputFile.empty()) {
    settings.SubDirs = false;
    settings.InPlace = false;
  }
  if (settings.InPlace)
    settings.OutputFile.clear();
  if (settings.SubDirs && !settings.InPlace) {
    if (settings.OutputFile.empty())
      return Reject(u"Fehler: Für die Rekursivbearbeitung muss eine Ausgabedatei oder /p "
                    u"angegeben werden!");
    if (!PathDirectory(settings.OutputFile).empty())
      return Reject(u"Fehler: Für die Rekursivbearbeitung darf die Ausgabedatei keinen Pfad "
                    u"enthalten!");
  }
  return Continue;
}

} // namespace

bool IsOneOf(TTextView text, TTextView alternatives, bool caseInsensitive, TTextView separator) {
  for (const TText &alternative : TokenList(alternatives, separator, true, true, true))
    if (SameTextAscii(text, alternative, caseInsensitive))
      return true;
  return false;
}

bool WantsUsage(const std::vector<TText> &args) {
  return args.empty() || IsOption(args[0], u"/?|-?");
}

int ReadCommandLine(const std::vector<TText> &args, TRunSettings &settings) {
  settings = TRunSettings{};
  for (size_t i = 0; i < args.size(); ++i) {
    // Everything after "--" belongs to the script, options included.
    if (args[i] == u"--") {
      settings.HasScriptArguments = true;
      for (size_t k = i + 1; k < args.size(); ++k)
        settings.ScriptArguments.push_back(platform::AnsiCodePage().EncodeLossless(args[k]));
      break;
    }
    if (int result = ReadArgument(args, i, settings); result != Continue)
      return result;
  }
  return AdjustSettings(settings);
}
