#include "core/paths/shorten_path.h"

#include "core/paths/path_rules.h"

TTextList SplitText(TTextView text, TTextView separator) {
  TTextList pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t start = 0;
  for (;;) {
    std::size_t found = text.find(separator, start);
    if (found == TTextView::npos)
      break;
    pieces.emplace_back(text.substr(start, found - start));
    start = found + separator.size();
  }
  pieces.emplace_back(text.substr(start));
  return pieces;
}

TText ShortenParts(TTextView text, int maxLength, TShortenMode mode, TTextView separator) {
  if (maxLength <= 0)
    return TText();
  const std::size_t limit = static_cast<std::size_t>(maxLength);
  if (text.empty() || text.size() <= limit)
    return TText(text);

  TTextList parts = SplitText(text, separator);
  const TText &last = parts.back();
  const TText marker = u"..." + TText(separator);
  const std::size_t fixed = last.size() + marker.size();
  if (fixed >= limit)
    return last;

  // Parts are taken while the finished text stays within the limit; the first
  // part that does not fit ends the taking, even if a later one would.
  std::size_t taken = 0;
  auto fits = [&](const TText &part) {
    return fixed + part.size() + separator.size() + taken <= limit;
  };
  TText front;
  TText back;
  const std::size_t middleCount = parts.size() - 1; // parts before the last
  switch (mode) {
  case TShortenMode::FromBack:
    for (std::size_t i = middleCount; i-- > 0;) {
      if (!fits(parts[i]))
        break;
      taken += parts[i].size() + separator.size();
      back.insert(0, parts[i] + TText(separator));
    }
    break;
  case TShortenMode::Alternating: {
    std::size_t next = 0;               // next part from the front
    std::size_t previous = middleCount; // one past the next part from the back
    bool fromFront = true;
    while (next < previous) {
      const TText &part = fromFront ? parts[next] : parts[previous - 1];
      if (!fits(part))
        break;
      taken += part.size() + separator.size();
      if (fromFront) {
        front += part;
        front += separator;
        ++next;
      } else {
        back.insert(0, part + TText(separator));
        --previous;
      }
      fromFront = !fromFront;
    }
    break;
  }
  case TShortenMode::FromFront:
    for (std::size_t i = 0; i < middleCount; ++i) {
      if (!fits(parts[i]))
        break;
      taken += parts[i].size() + separator.size();
      front += parts[i];
      front += separator;
    }
    break;
  case TShortenMode::NoMiddle:
  default:
    break;
  }
  return front + marker + back + last;
}

TText ShortenPathWithRules(TTextView path, int maxLength, TShortenMode mode, TTextView separator,
                           bool driveStep) {
  if (driveStep && path.find(u':') == 1 && maxLength > 2)
    return TText(path.substr(0, 2)) + ShortenParts(path.substr(2), maxLength - 2, mode, separator);
  return ShortenParts(path, maxLength, mode, separator);
}

TText ShortenPath(TTextView path, int maxLength, TShortenMode mode) {
  const TPathRules &rules = NativePathRules();
  const char16_t separator[] = {rules.FSeparator, u'\0'};
  return ShortenPathWithRules(path, maxLength, mode, separator, rules.FHasDrives);
}
