#include "core/paths/path_rules.h"

const TPathRules &NativePathRules() {
#ifdef _WIN32
  return WindowsPathRules();
#else
  static const TPathRules rules{u'/', 0, u':', false, false, false, 4095, 1};
  return rules;
#endif
}

const TPathRules &WindowsPathRules() {
  static const TPathRules rules{u'\\', u'/', u';', true, true, true, 259, 3};
  return rules;
}

bool IsPathSeparator(char16_t c, const TPathRules &rules) {
  return c == rules.FSeparator;
}

bool IsDirectoryDelimiter(char16_t c, const TPathRules &rules) {
  return c == rules.FSeparator || (rules.FHasDrives && c == u':');
}
