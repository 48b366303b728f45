// The three phonetic codes and EditDistance on any text: no crash, the documented
// shapes, and the metric properties of the distance on three inputs.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/phonetics/cologne_phonetic.h"
#include "core/phonetics/edit_distance.h"
#include "core/phonetics/metaphone.h"
#include "core/phonetics/phonet.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider input(data, size);
  const TTextView alphabet = u"aeiouybcdfghjklmnpqrstvwxzAEHSCTXZ \u00E4\u00F6\u00FC\u00C4"
                             u"\u00DF\u00E9\u00E7'-.0";
  const TText a = FuzzText(input, alphabet, 64);
  const TText b = FuzzText(input, alphabet, 64);
  const TText c = FuzzText(input, alphabet, 64);

  for (const TText *s : {&a, &b, &c}) {
    const TText cologne = ColognePhonetic(*s);
    FUZZ_CHECK(!s->empty() || cologne.empty(), "Cologne code of the empty text");
    for (char16_t d : cologne)
      FUZZ_CHECK((d >= u'0' && d <= u'8') || d == u' ', "Cologne code [%s] of [%s]",
                 Printable(cologne).c_str(), Printable(*s).c_str());
    const TText metaphone = Metaphone(*s);
    FUZZ_CHECK(metaphone.size() <= s->size() + 1, "Metaphone [%s] of [%s] too long",
               Printable(metaphone).c_str(), Printable(*s).c_str());
    for (char16_t d : metaphone)
      FUZZ_CHECK((d >= u'A' && d <= u'Z') || d == u'0', "Metaphone [%s] of [%s]",
                 Printable(metaphone).c_str(), Printable(*s).c_str());
    for (bool firstRules : {true, false}) {
      const TText phonet = Phonet(*s, firstRules);
      FUZZ_CHECK(phonet.size() <= s->size(), "Phonet [%s] of [%s] longer",
                 Printable(phonet).c_str(), Printable(*s).c_str());
    }
  }

  const std::size_t ab = EditDistance(a, b);
  const std::size_t bc = EditDistance(b, c);
  const std::size_t ac = EditDistance(a, c);
  FUZZ_CHECK(EditDistance(a, a) == 0, "distance of [%s] to itself", Printable(a).c_str());
  FUZZ_CHECK(EditDistance(b, a) == ab, "not symmetric: [%s] [%s]", Printable(a).c_str(),
             Printable(b).c_str());
  FUZZ_CHECK(ac <= ab + bc, "triangle broken: [%s] [%s] [%s]", Printable(a).c_str(),
             Printable(b).c_str(), Printable(c).c_str());
  FUZZ_CHECK(ab <= std::max(a.size(), b.size()), "distance above the longer length");
  FUZZ_CHECK(ab >= (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()),
             "distance below the length difference");
  return 0;
}
