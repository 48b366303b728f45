// The German phonet rule table, compiled in from data/phonet_rules_de.tsv.
#pragma once

#include <span>
#include <string_view>

struct TPhonetRule {
  std::u16string_view Pattern;
  std::u16string_view First;  // replacement in the first rule set, or the marker
  std::u16string_view Second; // replacement in the second rule set, or the marker
};

// Replacement that marks a rule as not belonging to a rule set.
inline constexpr std::u16string_view PhonetNotInSet = u"\u00A7";
// Pattern (and replacements) of the row that ends the table.
inline constexpr std::u16string_view PhonetEndMarker = u"~";

// Every row in table order: 670 rules, then the end marker.
std::span<const TPhonetRule> PhonetRuleTable();
