#!/usr/bin/env bash
# Times the PWL iteration functions against plain lua5.3 loops doing the same work
# on generated inputs, and prints the ratio of the medians (lower is better).
# Usage: bench/pwl_bench.sh [runs]   (needs build/redevuvo and lua5.3)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
bin=build/redevuvo
work=$(mktemp -d /tmp/redevuvo-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

# Deterministic inputs: 200 MB of text lines, 20 MB for characters, 1 M lines to sort.
lua5.3 - "$work" <<'LUA'
local dir = ...
local words = {'alpha', 'beta', 'gamma', 'delta', 'Stra\xC3\x9Fe', '\xC3\xBCber', 'line', 'text',
               'filter', 'zebra', 'x', '', '1234567'}
local seed = 12345
local function rand(n) seed = (seed * 1103515245 + 12345) % 2147483648 return seed % n + 1 end
local function generate(name, bytes, maxWords)
  local f = assert(io.open(dir .. '/' .. name, 'wb'))
  local size, buf = 0, {}
  while size < bytes do
    local w = {}
    for i = 1, rand(maxWords) - 1 do w[i] = words[rand(#words)] end
    local line = table.concat(w, ' ') .. '\n'
    buf[#buf + 1] = line
    size = size + #line
    if #buf == 10000 then f:write(table.concat(buf)) buf = {} end
  end
  f:write(table.concat(buf))
  f:close()
end
generate('lines.txt', 200 * 1024 * 1024, 13)
generate('chars.txt', 20 * 1024 * 1024, 13)
local f = assert(io.open(dir .. '/sort.txt', 'wb'))
for i = 1, 1000000 do f:write(string.format('%08d %s\n', rand(100000000), words[rand(#words)])) end
f:close()
LUA

# Median wall time of a command, in seconds.
median() {
  local times=()
  for ((i = 0; i < runs; i++)); do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    times+=("$(echo "$end - $start" | bc -l)")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}

row() { # name, our time, reference time, target
  printf '%-26s %8.3f s %8.3f s %6.2f   (target <= %s)\n' "$1" "$2" "$3" "$(echo "$2 / $3" | bc -l)" "$4"
}

printf '%-26s %10s %10s %6s\n' case redevuvo lua5.3 ratio
ours=$(median $bin /c "PWL.ForEachLine(function(l) return l end)" /i "$work/lines.txt" /o /dev/null)
ref=$(median lua5.3 -e "local o = io.open('/dev/null', 'wb') for l in io.lines('$work/lines.txt') do o:write(l, '\n') end o:close()")
row "ForEachLine identity" "$ours" "$ref" 0.6

ours=$(median $bin /c "PWL.ForEachLine(function(l) return l:upper() end)" /i "$work/lines.txt" /o /dev/null)
ref=$(median lua5.3 -e "local o = io.open('/dev/null', 'wb') for l in io.lines('$work/lines.txt') do o:write(l:upper(), '\n') end o:close()")
row "ForEachLine upper" "$ours" "$ref" 0.7

ours=$(median $bin /c "PWL.ForEachChar(function(c) return c end)" /i "$work/chars.txt" /o /dev/null)
ref=$(median lua5.3 -e "local f = io.open('$work/chars.txt', 'rb') local s = f:read('a'):gsub('.', function(c) return c end) io.open('/dev/null', 'wb'):write(s)")
row "ForEachChar identity" "$ours" "$ref" 1.0

ours=$(median $bin /c "PWL.SortLines(function(a, b) return a < b and -1 or (a > b and 1 or 0) end)" /i "$work/sort.txt" /o /dev/null)
ref=$(median lua5.3 -e "local t = {} for l in io.lines('$work/sort.txt') do t[#t + 1] = l end table.sort(t, function(a, b) return a < b end) io.open('/dev/null', 'wb'):write(table.concat(t, '\n'), '\n')")
row "SortLines 1M lines" "$ours" "$ref" 0.8

# Floors and fairer references, for reading the rows above.
lines=$(wc -l < "$work/lines.txt")
base=$(median $bin /c "x = 1" /i "$work/lines.txt" /o /dev/null)
calls=$(median $bin /c "PWL.ForEachLine(function(l) return nil end)" /i "$work/lines.txt" /o /dev/null)
printf 'read and write alone: %.3f s; one call per line (callback returns nil): %.0f ns per line\n' \
  "$base" "$(echo "($calls - $base) * 1000000000 / $lines" | bc -l)"
ref=$(median lua5.3 -e "local t = {} for l in io.lines('$work/sort.txt') do t[#t + 1] = l end local function cmp(a, b) return a < b and -1 or (a > b and 1 or 0) end table.sort(t, function(a, b) return cmp(a, b) < 0 end) io.open('/dev/null', 'wb'):write(table.concat(t, '\n'), '\n')")
ours=$(median $bin /c "PWL.SortLines(function(a, b) return a < b and -1 or (a > b and 1 or 0) end)" /i "$work/sort.txt" /o /dev/null)
row "SortLines, same 3-way cmp" "$ours" "$ref" 0.8
# GetLine outside an iteration reads a kept split: a loop over all lines is linear.
ours=$(median $bin /c "local n = 0 for i = 1, PWL.LineCount() do n = n + #PWL.GetLine(i) end" /i "$work/sort.txt" /o /dev/null)
ref=$(median lua5.3 -e "local t = {} for l in io.lines('$work/sort.txt') do t[#t + 1] = l end local n = 0 for i = 1, #t do n = n + #t[i] end")
row "GetLine loop 1M lines" "$ours" "$ref" "-"

# Peak memory of a line iteration, against the input size: lines kept unchanged are
# not copied, rewritten ones are.
size=$(stat -c %s "$work/lines.txt")
for callback in "return l" "return l:upper()"; do
  /usr/bin/time -o "$work/time.txt" -f '%M' $bin /c "PWL.ForEachLine(function(l) $callback end)" \
    /i "$work/lines.txt" /o /dev/null >/dev/null 2>&1
  peak=$(tail -1 "$work/time.txt")
  printf 'ForEachLine (%s) peak memory: %d MB for %d MB input (%.2f x)\n' "$callback" \
    $((peak / 1024)) $((size / 1048576)) "$(echo "$peak * 1024 / $size" | bc -l)"
done
