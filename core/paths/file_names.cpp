#include "core/paths/file_names.h"

#include "platform/code_page.h"
#include "platform/process.h"

std::optional<TBytes> NativeFileName(TTextView path) {
  if (path.find(u'\0') != TTextView::npos)
    return std::nullopt;
  return platform::AnsiCodePage().EncodeLossless(path);
}

TText HostFileName(TBytesView name) {
  return platform::AnsiCodePage().DecodeLossless(name);
}

TText CurrentDirectory() {
  return HostFileName(platform::CurrentDirectory());
}
