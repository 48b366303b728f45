#!/usr/bin/env bash
# The layer check must refuse a tree in which a lower layer includes a higher one,
# and accept the same tree without that include.
set -euo pipefail
check="$1"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{platform,core/text,core/paths,core/files,core/zip,engine,libs,script,app}
touch "$tree/platform/a.h" "$tree/core/paths/p.h" "$tree/core/files/f.h" "$tree/core/zip/z.h"
echo '#include "platform/a.h"' > "$tree/core/text/b.h"
echo '#include "core/text/b.h"' > "$tree/app/c.cpp"
python3 "$check" "$tree" > /dev/null
echo '#include "script/d.h"' > "$tree/core/paths/e.h"
touch "$tree/script/d.h"
if python3 "$check" "$tree" > "$tree/out"; then
  echo "an upward include was accepted"; exit 1
fi
grep -q 'upward include: core/ includes script/' "$tree/out"
