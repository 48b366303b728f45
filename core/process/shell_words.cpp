#include "core/process/shell_words.h"

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool EscapableInDoubleQuotes(char16_t c) {
  return c == u'"' || c == u'\\' || c == u'$' || c == u'`';
}

} // namespace

TTextList SplitShellWords(TTextView text) {
  TTextList words;
  TText word;
  bool inWord = false; // a word was started, possibly by an empty quoted part
  size_t i = 0;
  while (i < text.size()) {
    char16_t c = text[i];
    if (IsBlank(c)) {
      if (inWord)
        words.push_back(std::move(word));
      word.clear();
      inWord = false;
      ++i;
      continue;
    }
    inWord = true;
    if (c == u'\'') {
      size_t close = text.find(u'\'', i + 1);
      size_t end = close == TTextView::npos ? text.size() : close;
      word.append(text.substr(i + 1, end - i - 1));
      i = end == text.size() ? end : end + 1;
    } else if (c == u'"') {
      ++i;
      while (i < text.size() && text[i] != u'"') {
        if (text[i] == u'\\' && i + 1 < text.size() && EscapableInDoubleQuotes(text[i + 1]))
          ++i;
        word.push_back(text[i]);
        ++i;
      }
      if (i < text.size())
        ++i; // the closing quote
    } else if (c == u'\\' && i + 1 < text.size()) {
      word.push_back(text[i + 1]);
      i += 2;
    } else {
      word.push_back(c);
      ++i;
    }
  }
  if (inWord)
    words.push_back(std::move(word));
  return words;
}
