// What the PWL functions work on: the job's text and settings, and the state of
// the iteration that is running, if any. The script host owns one per run and
// hands it to the table's functions as their upvalue.
#pragma once

#include <optional>
#include <string>

#include "core/text/line_rewriter.h"
#include "script/filter_job.h"

class TPwlContext {
public:
  explicit TPwlContext(TFilterJob &job) : FJob(job) {}
  TPwlContext(const TPwlContext &) = delete;
  TPwlContext &operator=(const TPwlContext &) = delete;

  const std::string &Text() const { return FJob.CurrentText; }
  const TRunSettings &Settings() const { return FJob.Settings; }
  // The only way the script changes the text.
  void ReplaceText(std::string text);

  // The lines of a running ForEachLine, ForEachToken or SortLines (or none).
  TLineRewriter *CurrentLines() const { return FCurrentLines; }
  void SetCurrentLines(TLineRewriter *lines) { FCurrentLines = lines; }

  // The lines of the text outside an iteration, split once and kept until the
  // text is replaced (a loop over GetLine must not split the whole text each time).
  const TLineRewriter &TextLines();

  // Whether one of the iteration functions is running (they do not nest).
  bool Iterating() const { return FIterating; }
  void SetIterating(bool value) { FIterating = value; }

private:
  TFilterJob &FJob;
  TLineRewriter *FCurrentLines = nullptr;
  bool FIterating = false;
  std::optional<TLineRewriter> FTextLines;
};
