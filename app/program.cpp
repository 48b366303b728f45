#include "app/program.h"

#include "app/command_line.h"
#include "app/job_driver.h"
#include "app/messages.h"
#include "core/files/file_search.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/file_io.h"

namespace {

// Read, run, write one input; the result of the last step that ran.
int ProcessInput(const TRunSettings &settings, std::optional<TText> fileName, bool inPlace) {
  TFilterJob job(settings, std::move(fileName), inPlace);
  int result = ReadInput(job);
  if (result == StepOk)
    result = RunScript(job);
  if (result == StepOk)
    result = WriteOutput(job);
  return result;
}

int RunPlan(const TRunSettings &settings) {
  if (settings.InputFile.empty())
    return ProcessInput(settings, std::nullopt, false);
  if (settings.SubDirs || settings.InputHasWildcards) {
    // Every match in name order; the first file that fails ends the run.
    int result = 0;
    for (const TText &file : FindFiles(settings.InputFile, settings.SubDirs, false, true, false)) {
      result = ProcessInput(settings, file, settings.InPlace);
      if (result > 0)
        break;
    }
    return result;
  }
  return ProcessInput(settings, settings.InputFile, settings.InPlace);
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
  TRunSettings settings;
  if (int result = ReadCommandLine(args, settings); result != 0)
    return result;
  return RunPlan(settings);
}

} // namespace

int RunProgram(int argc, char **argv) {
  platform::IgnoreBrokenPipe();
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
