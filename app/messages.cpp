#include "app/messages.h"

#include "core/version/version_info.h"
#include "platform/code_page.h"
#include "platform/console.h"

namespace {

const char16_t *const UsageLines[] = {
    u"Aufruf:",
    u"  REDEVUVO scriptdatei.pwl [/i quelle] [/o ziel] [/s] [/p] [/b]",
    u"  REDEVUVO /c \"scriptkommandos\" [/i quelle] [/o ziel] [/s] [/p] [/b]",
    u"  REDEVUVO /?",
    u"",
    u"    /i quelle   Die zu bearbeitende Eingabedatei. Wenn nicht angegeben",
    u"                wird von STDIN gelesen.",
    u"                Sind Wildcards enthalten wird automatisch /p aktiviert.",
    u"    /o ziel     Die Ausgabedatei, in welche die Aenderungen geschrieben werden.",
    u"                Wenn nicht angegeben wird nach STDOUT geschrieben.",
    u"                Enthaelt der Dateiname keine Pfadangabe, so wird das",
    u"                Verzeichnis der Eingabedatei verwendet.",
    u"    /s          Es werden zusaetzlich Unterverzeichnisse nach der Eingabedatei",
    u"                durchsucht. Wird eine Ausgabedatei angegeben, so darf diese",
    u"                keine Pfadangabe enthalten.",
    u"                (hat keine Auswirkung wenn von STDIN gelesen wird)",
    u"    /p          Aktiviert die In-Place Bearbeitung. Die Aenderungen werden",
    u"                direkt in die Eingabedatei zurueckgeschrieben.",
    u"                (hat keine Auswirkung wenn von STDIN gelesen wird)",
    u"    /b          Wenn die Ausgabedatei bereits existiert, so wird vor dem",
    u"                Ueberschreiben eine Sicherungskopie erstellt.",
    u"    /n          Probelauf: zeigt die Aenderungen als Diff und schreibt nichts.",
    u"    /x muster   Laesst passende Dateien und Verzeichnisse bei Wildcard- und",
    u"                Rekursivbearbeitung aus (mehrfach moeglich).",
    u"    -- arg ...  Uebergibt die folgenden Argumente an das Script (arg, ...).",
};

// Help and version are asked for: they go to standard output, where a pager or a
// script expects them, in the console's text like every message.
bool WriteOutputLine(TTextView text) {
  std::string line = TextToBytes(platform::ToOemText(text));
  line += platform::ConsoleLineEnd;
  return platform::WriteStandardOutput(line) == line.size();
}

} // namespace

void WriteMessage(TTextView text) {
  std::string line = TextToBytes(platform::ToOemText(text));
  line += platform::ConsoleLineEnd;
  platform::WriteStandardError(line);
}

void ShowBanner(bool withContact) {
  TInfoVersion info;
  info.Execute();
  WriteMessage(u"");
  WriteMessage(info.ProductName() + u" " + info.ShortFileVersion() + u" - " +
               info.LegalCopyright());
  if (withContact)
    WriteMessage(info.Mail() + u" - " + info.Internet());
  WriteMessage(u"");
}

void ShowUsage() {
  ShowBanner(false);
  for (const char16_t *line : UsageLines)
    WriteMessage(line);
}

int ShowHelp() {
  bool written = true;
  for (const char16_t *line : UsageLines)
    written = WriteOutputLine(line) && written;
  written = WriteOutputLine(u"") && written;
  written = WriteOutputLine(u"Ausführliche Beschreibung: man redevuvo") && written;
  return written ? 0 : 1;
}

int ShowVersion() {
  TInfoVersion info;
  info.Execute();
  return WriteOutputLine(info.ProductName() + u" " + info.ShortFileVersion()) ? 0 : 1;
}
