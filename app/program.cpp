#include "app/program.h"

#include "app/command_line.h"
#include "app/job_driver.h"
#include "app/messages.h"
#include "app/run_settings.h"
#include "core/file_search.h"
#include "platform/code_page.h"
#include "platform/console.h"

namespace {

// Read, run, write; the result of the last step that ran.
int ProcessInput(const std::optional<TText> &fileName, bool inPlace) {
  int result = ReadInput(fileName);
  if (result == StepOk)
    result = RunScript();
  if (result == StepOk)
    result = WriteOutput(RunSettings.OutputFile, fileName, inPlace);
  return result;
}

int RunPlan() {
  if (RunSettings.InputFile.empty())
    return ProcessInput(std::nullopt, false);
  if (RunSettings.SubDirs || RunSettings.InputHasWildcards) {
    // Every match in name order; the first file that fails ends the run.
    int result = 0;
    for (const TText &file :
         FindFiles(RunSettings.InputFile, RunSettings.SubDirs, false, true, false)) {
      result = ProcessInput(file, RunSettings.InPlace);
      if (result > 0)
        break;
    }
    return result;
  }
  return ProcessInput(RunSettings.InputFile, RunSettings.InPlace);
}

} // namespace

namespace {

int RunFrontEnd(int argc, char **argv) {
  std::vector<TText> args;
  for (int i = 1; i < argc; ++i)
    args.push_back(BytesToText(argv[i]));
  if (WantsUsage(args)) {
    ShowUsage();
    return 1;
  }
  ShowBanner(true);
  if (int result = ReadCommandLine(args); result != 0)
    return result;
  return RunPlan();
}

} // namespace

int RunProgram(int argc, char **argv) {
  platform::IgnoreBrokenPipe();
  // The steps report their own failures; what still escapes them (memory running
  // out outside a script) ends the run with its text instead of an abort.
  try {
    return RunFrontEnd(argc, argv);
  } catch (const std::exception &error) {
    WriteMessage(u"Fehler: " + BytesToText(error.what()));
    return 1;
  }
}
