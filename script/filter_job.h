// One input on its way through the filter. The driver reads the input into
// CurrentText, the script rewrites it through the PWL table, and the driver
// writes it to its destination; every step takes the job, so the text's way
// shows in the signatures.
#pragma once

#include <optional>
#include <string>

#include "core/text/text.h"
#include "platform/file_lock.h"
#include "script/run_settings.h"

struct TFilterJob {
  TFilterJob(const TRunSettings &settings, std::optional<TText> inputName, bool inPlace)
      : Settings(settings), InputName(std::move(inputName)), InPlace(inPlace) {}

  const TRunSettings &Settings;
  // The input file's full path; none for standard input.
  const std::optional<TText> InputName;
  // Whether the result goes back into the input file.
  const bool InPlace;
  // The bytes being processed.
  std::string CurrentText;
  // Held by an in-place run from reading the input to replacing it, so that
  // concurrent runs on one file take turns and none loses another's edit.
  platform::TFileLock Lock;
};
