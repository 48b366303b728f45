#include "app/program.h"

#include "app/command_line.h"
#include "app/messages.h"
#include "app/run_plan.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/file_io.h"
#include "platform/temporary_file.h"

namespace {

int RunFrontEnd(int argc, char **argv) {
  std::vector<TText> args;
  // Most arguments are file names, which must reach the system byte for byte;
  // the command line reader turns the script commands into script text.
  for (int i = 1; i < argc; ++i)
    args.push_back(platform::AnsiCodePage().DecodeLossless(argv[i]));
  // Help and version asked for alone are answers, not a run: no banner, exit 0.
  if (args.size() == 1 && IsOneOf(args[0], u"--help|-h", true, u"|"))
    return ShowHelp();
  if (args.size() == 1 && IsOneOf(args[0], u"--version", true, u"|"))
    return ShowVersion();
  if (WantsUsage(args)) {
    ShowUsage();
    return 1;
  }
  ShowBanner(true);
  TRunSettings settings;
  if (int result = ReadCommandLine(args, settings); result != 0)
    return result;
  return RunPlan(settings);
}

} // namespace

int RunProgram(int argc, char **argv) {
  platform::IgnoreBrokenPipe();
  platform::RemoveTemporaryFilesOnSignals();
  platform::IgnoreFileSizeSignal();
  // The steps report their own failures; what still escapes them (memory running
  // out outside a script) ends the run with its text instead of an abort.
  try {
    return RunFrontEnd(argc, argv);
  } catch (const std::exception &error) {
    WriteMessage(u"Fehler: " + BytesToText(error.what()));
    return 1;
  }
}
