// The backups one run has written. Two files of a run must never back up to the
// same name ("a.txt" and "a.csv" both to "a.pwl_backup"), or the second backup
// replaces the only copy of the first original; and a target written twice in a
// run (one output file for several inputs) keeps the backup of its original.
#pragma once

#include <optional>
#include <set>

#include "core/text/text.h"

class TBackupNames {
public:
  // The name to back `target` up to: its name with the extension ".pwl_backup";
  // when another target of this run was backed up to that name, the full name plus
  // ".pwl_backup" ("a.txt.pwl_backup"). None when `target` itself was backed up
  // earlier in the run: that backup holds the original, which must stay.
  std::optional<TText> Choose(const TText &target) const;

  // Records that `target` was backed up to `backup`.
  void Written(const TText &backup, const TText &target);

private:
  // Both looked up once per backup: a run over a large tree must not compare every
  // target with every earlier one.
  std::set<TText> FBackups;
  std::set<TText> FTargets;
};
