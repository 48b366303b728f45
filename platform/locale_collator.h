// The ICU collator of the locale the environment names, shared by the locale
// comparison and the sort keys of the file search so that both always agree.
#pragma once

#include <memory>
#include <unicode/ucol.h>

namespace platform {

struct TCollatorCloser {
  void operator()(UCollator *collator) const { ucol_close(collator); }
};
using TCollator = std::unique_ptr<UCollator, TCollatorCloser>;

// A new collator for CollationLocaleFromEnvironment(), the root collation when that
// locale cannot be opened; null only when not even the root one can.
TCollator OpenLocaleCollator();

} // namespace platform
