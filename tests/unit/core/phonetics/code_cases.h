// Table-driven checks of a function that turns a word into a code.
#pragma once

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

#include "core/text/text.h"

struct TCodeCase {
  const char16_t *Input;
  const char16_t *Expected;
};

template <typename TCode> void ExpectCodesOf(TCode code, std::initializer_list<TCodeCase> cases) {
  for (const auto &c : cases)
    EXPECT_EQ(code(c.Input), c.Expected)
        << "input: " << std::string(TTextView(c.Input).begin(), TTextView(c.Input).end());
}
