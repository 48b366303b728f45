#include "app/command_line.h"

#include "app/messages.h"
#include "app/run_settings.h"
#include "core/file_helpers.h"
#include "core/path_expand.h"
#include "core/path_text.h"
#include "core/script_search.h"
#include "core/text_routines.h"
#include "core/tokenizer.h"
#include "core/wildcard.h"

namespace {

constexpr int Continue = 0;
constexpr int Failed = 1;

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

int ReadInputOption(const TText &value) {
  RunSettings.InputFile = PathExpand(value);
  if (HasWildcards(PathDirectory(RunSettings.InputFile), true))
    return Reject(u"Fehler: Pfad darf keine Wildcards beinhalten!");
  RunSettings.InputHasWildcards = HasWildcards(PathFileName(RunSettings.InputFile), true);
  if (RunSettings.InputHasWildcards)
    RunSettings.InPlace = true;
  else if (!IsExistingFile(RunSettings.InputFile))
    return Reject(u"Fehler: Eingabedatei ist nicht vorhanden!");
  return Continue;
}

int ReadOutputOption(const TText &value) {
  RunSettings.OutputFile = value;
  if (HasWildcards(value, true))
    return Reject(u"Fehler: Ausgabedatei darf keine Wildcards enthalten!");
  TText directory = PathDirectory(value);
  if (!directory.empty() && !IsDirectoryPath(directory))
    return Reject(u"Fehler: Ausgabepfad ist nicht vorhanden!");
  return Continue;
}

int ReadArgument(const std::vector<TText> &args, size_t &i) {
  const TText &arg = args[i];
  if (IsOption(arg, u"/c|-c")) {
    if (!RunSettings.ScriptCommands.empty())
      return Reject(u"Fehler: Scriptkommandos wurden bereits angegeben!");
    if (!RunSettings.ScriptFile.empty())
      return Reject(u"Fehler: Nur Scriptdatei ODER Scriptkommandos möglich!");
    const TText *value = NextValue(args, i);
    if (!value)
      return UsageAfterBanner();
    RunSettings.ScriptCommands = *value;
  } else if (IsOption(arg, u"/i|-i")) {
    if (!RunSettings.InputFile.empty())
      return Reject(u"Fehler: Eingabedatei wurde bereits angegeben!");
    const TText *value = NextValue(args, i);
    if (!value)
      return UsageAfterBanner();
    return ReadInputOption(*value);
  } else if (IsOption(arg, u"/o|-o")) {
    if (!RunSettings.OutputFile.empty())
      return Reject(u"Fehler: Ausgabedatei wurde bereits angegeben!");
    const TText *value = NextValue(args, i);
    if (!value)
      return UsageAfterBanner();
    return ReadOutputOption(*value);
  } else if (IsOption(arg, u"/s|-s")) {
    RunSettings.SubDirs = true;
  } else if (IsOption(arg, u"/p|-p")) {
    RunSettings.InPlace = true;
  } else if (IsOption(arg, u"/b|-b")) {
    RunSettings.CreateBak = true;
  } else {
    if (!RunSettings.ScriptFile.empty())
      return Reject(u"Fehler: Scriptdatei wurde bereits angegeben!");
    if (!RunSettings.ScriptCommands.empty())
      return Reject(u"Fehler: Nur Scriptdatei ODER Scriptkommandos möglich!");
    RunSettings.ScriptFile = SearchFile(arg);
    if (RunSettings.ScriptFile.empty())
      return Reject(u"Fehler: Scriptdatei ist nicht vorhanden!");
  }
  return Continue;
}

int AdjustSettings() {
  if (RunSettings.ScriptFile.empty() && RunSettings.ScriptCommands.empty())
    return Reject(u"Fehler: Weder Scriptdatei noch Scriptkommando angegeben!");
  if (RunSettings.InputFile.empty()) {
    RunSettings.SubDirs = false;
    RunSettings.InPlace = false;
  }
  if (RunSettings.InPlace)
    RunSettings.OutputFile.clear();
  if (RunSettings.SubDirs && !RunSettings.InPlace) {
    if (RunSettings.OutputFile.empty())
      return Reject(u"Fehler: Für die Rekursivbearbeitung muss eine Ausgabedatei oder /p "
                    u"angegeben werden!");
    if (!PathDirectory(RunSettings.OutputFile).empty())
      return Reject(u"Fehler: Für die Rekursivbearbeitung darf die Ausgabedatei keinen Pfad "
                    u"enthalten!");
  }
  return Continue;
}

} // namespace

bool IsOneOf(TTextView text, TTextView alternatives, bool caseInsensitive, TTextView separator) {
  for (const TText &alternative : TokenList(alternatives, separator, true, true, true))
    if (SameTextLocale(text, alternative, caseInsensitive))
      return true;
  return false;
}

bool WantsUsage(const std::vector<TText> &args) {
  return args.empty() || IsOption(args[0], u"/?|-?");
}

int ReadCommandLine(const std::vector<TText> &args) {
  RunSettings = TRunSettings{};
  for (size_t i = 0; i < args.size(); ++i)
    if (int result = ReadArgument(args, i); result != Continue)
      return result;
  return AdjustSettings();
}
