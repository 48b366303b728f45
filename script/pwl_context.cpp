#include "script/pwl_context.h"

void TPwlContext::ReplaceText(std::string text) {
  // The cached lines point into the old text: drop them first.
  FTextLines.reset();
  FJob.CurrentText = std::move(text);
}

const TLineRewriter &TPwlContext::TextLines() {
  if (!FTextLines)
    FTextLines.emplace(FJob.CurrentText);
  return *FTextLines;
}
