#include "app/backup_names.h"

#include "core/paths/path_text.h"

std::optional<TText> TBackupNames::Choose(const TText &target) const {
  if (FTargets.count(target) != 0)
    return std::nullopt;
  TText usual = PathChangeExtension(target, u".pwl_backup");
  if (FBackups.count(usual) == 0)
    return usual;
  return target + u".pwl_backup";
}

void TBackupNames::Written(const TText &backup, const TText &target) {
  FBackups.insert(backup);
  FTargets.insert(target);
}
