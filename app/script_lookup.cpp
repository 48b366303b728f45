#include "app/script_lookup.h"

#include "core/file_helpers.h"
#include "core/path_expand.h"
#include "core/path_text.h"

TText FindScriptFile(TTextView name) {
  TText path = PathExpand(name);
  return !path.empty() && IsExistingFile(path) ? path : TText();
}
