#include "platform/regular_expression.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace platform {

void TRegularExpression::TCodeDeleter::operator()(pcre2_real_code_16 *code) const {
  pcre2_code_free_16(code);
}

void TRegularExpression::TMatchDataDeleter::operator()(pcre2_real_match_data_16 *data) const {
  pcre2_match_data_free_16(data);
}

std::optional<TRegularExpression> TRegularExpression::Compile(std::u16string_view pattern,
                                                              bool ignoreCase, bool dotAll) {
  // UTF mode so that case folding covers letters beyond ASCII and "." takes a whole
  // character; a subject that is not valid UTF-16 is still searched, never refused.
  uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF;
  if (ignoreCase)
    options |= PCRE2_CASELESS;
  if (dotAll)
    options |= PCRE2_DOTALL;
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  TRegularExpression expression;
  expression.FCode.reset(pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(pattern.data()),
                                          pattern.size(), options, &errorCode, &errorOffset,
                                          nullptr));
  if (!expression.FCode)
    return std::nullopt;
  expression.FMatchData.reset(
      pcre2_match_data_create_from_pattern_16(expression.FCode.get(), nullptr));
  if (!expression.FMatchData)
    return std::nullopt;
  return expression;
}

TRegexSearchResult TRegularExpression::Search(std::u16string_view subject) {
  // An empty view may carry no pointer, which this library refuses.
  if (subject.data() == nullptr)
    subject = u"";
  int result = pcre2_match_16(FCode.get(), reinterpret_cast<PCRE2_SPTR16>(subject.data()),
                              subject.size(), 0, 0, FMatchData.get(), nullptr);
  if (result >= 0)
    return TRegexSearchResult::Match;
  return result == PCRE2_ERROR_NOMATCH ? TRegexSearchResult::NoMatch : TRegexSearchResult::Error;
}

} // namespace platform
