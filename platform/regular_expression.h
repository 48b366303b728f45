// Perl-compatible regular expressions over host text (UTF-16), compiled once and
// searched many times.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

struct pcre2_real_code_16;
struct pcre2_real_match_data_16;

namespace platform {

enum class TRegexSearchResult { Match, NoMatch, Error };

class TRegularExpression {
public:
  // The pattern compiled in UTF-16 mode; nullopt when it does not compile (a syntax
  // error, or text that is not valid UTF-16). dotAll lets "." match a line break too.
  static std::optional<TRegularExpression> Compile(std::u16string_view pattern, bool ignoreCase,
                                                   bool dotAll);

  // Whether the expression matches anywhere in subject. Error when the search itself
  // fails (for example when it runs into the engine's backtracking limit).
  TRegexSearchResult Search(std::u16string_view subject);

private:
  struct TCodeDeleter {
    void operator()(pcre2_real_code_16 *code) const;
  };
  struct TMatchDataDeleter {
    void operator()(pcre2_real_match_data_16 *data) const;
  };
  TRegularExpression() = default;

  std::unique_ptr<pcre2_real_code_16, TCodeDeleter> FCode;
  std::unique_ptr<pcre2_real_match_data_16, TMatchDataDeleter> FMatchData;
};

} // namespace platform
