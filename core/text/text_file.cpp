#include "core/text/text_file.h"

#include "platform/code_page.h"

namespace {

TText DecodeUtf16(TBytesView bytes, bool bigEndian) {
  TText text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
    text.push_back(char16_t((hi << 8) | lo));
  }
  return text;
}

} // namespace

TText DecodeTextFileBytes(TBytesView bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF"))
    return platform::TCodePage::FromCharsetName("UTF-8").Decode(bytes.substr(3));
  if (bytes.starts_with("\xFF\xFE"))
    return DecodeUtf16(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF"))
    return DecodeUtf16(bytes.substr(2), true);
  return BytesToText(bytes);
}

TTextList SplitTextFileLines(TTextView text) {
  text = text.substr(0, text.find(u'\0'));
  TTextList lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(u"\r\n", start);
    if (end == TTextView::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text.substr(end, 2) == u"\r\n" ? 2 : 1);
  }
  return lines;
}
