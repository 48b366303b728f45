#include "app/script_lookup.h"

#include "core/script_search.h"

TText FindScriptFile(TTextView name) { return SearchFile(name); }
