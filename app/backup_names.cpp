#include "app/backup_names.h"

#include "core/paths/path_text.h"

std::optional<TText> TBackupNames::Choose(const TText &target) const {
  for (const auto &[backup, holder] : FTargetOf)
    if (holder == target)
      return std::nullopt;
  TText usual = PathChangeExtension(target, u".pwl_backup");
  if (FTargetOf.count(usual) == 0)
    return usual;
  return target + u".pwl_backup";
}

void TBackupNames::Written(const TText &backup, const TText &target) {
  FTargetOf[backup] = target;
}
