#!/bin/sh
# Times a recursive file search over a generated tree of 100,000 files against
# find(1) doing the same case-insensitive name match.
#
# Usage: bench/file_search_bench.sh DRIVER [TREE]
#   DRIVER  the file_search_bench executable (bench/file_search_bench.cpp)
#   TREE    where to build the tree (default /tmp/redevuvo-bench-tree; kept for reruns)
set -eu

DRIVER=${1:?usage: $0 DRIVER [TREE]}
TREE=${2:-/tmp/redevuvo-bench-tree}
RUNS=${RUNS:-5}

if [ ! -f "$TREE/.complete" ]; then
  rm -rf "$TREE"
  mkdir -p "$TREE"
  # 20 top directories x 10 subdirectories x 500 files; every other file ends in .txt
  # (half of those in upper case), the rest in .dat.
  python3 - "$TREE" <<'PY'
import os, sys
root = sys.argv[1]
n = 0
for a in range(20):
    for b in range(10):
        d = os.path.join(root, "dir%02d" % a, "sub%02d" % b)
        os.makedirs(d)
        for c in range(500):
            ext = (".txt" if c % 4 == 0 else ".TXT") if c % 2 == 0 else ".dat"
            open(os.path.join(d, "file_%05d%s" % (n, ext)), "w").close()
            n += 1
print(n, "files")
PY
  touch "$TREE/.complete"
fi

# Best of RUNS wall-clock times of a command, in milliseconds, output discarded.
best_ms() {
  best=""
  i=0
  while [ "$i" -lt "$RUNS" ]; do
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    i=$((i + 1))
  done
  echo "$best"
}

# Warm the cache once so both sides read from memory.
find "$TREE" >/dev/null

FOUND_FIND=$(find "$TREE" -iname '*.txt' | wc -l)
FOUND_SEARCH=$("$DRIVER" --subdirs "$TREE/*.txt" 2>&1 >/dev/null)
echo "matches: find $FOUND_FIND, search $FOUND_SEARCH"

FIND_MS=$(best_ms find "$TREE" -iname '*.txt')
SEARCH_MS=$(best_ms "$DRIVER" --subdirs "$TREE/*.txt")
INFOS_MS=$(best_ms "$DRIVER" --subdirs --infos "$TREE/*.txt")
echo "find -iname '*.txt':        ${FIND_MS} ms"
echo "FindFiles (sorted):         ${SEARCH_MS} ms"
echo "FindFileInfos (sorted):     ${INFOS_MS} ms"
awk -v s="$SEARCH_MS" -v f="$FIND_MS" 'BEGIN { if (f > 0) printf "ratio FindFiles/find: %.2f\n", s / f }'
