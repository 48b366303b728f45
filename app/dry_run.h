// The dry run (/n): every input is read and run as usual, but instead of writing,
// the run shows on standard output how each destination would change, as a unified
// diff, and counts the destinations that would change.
#pragma once

#include <string>

#include "script/filter_job.h"

class TDryRun {
public:
  // Prints the difference between what the job's destination holds and the job's
  // text (`original` is the input as read). A destination that the write would fail
  // on fails here too, with the same message. Returns a step result.
  int Preview(const TFilterJob &job, const std::string &original);

  // The closing line on standard error: how many destinations would change.
  void ShowSummary() const;

private:
  std::size_t FChanged = 0;
};
