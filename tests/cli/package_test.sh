#!/usr/bin/env bash
# Builds the Debian package from the built tree, unpacks it into a temporary root
# and checks what a user gets: the program runs from there, the man page renders,
# the copyright names the embedded runtime's licence, the completion completes.
# Usage: package_test.sh <cpack> <build dir> <built program>
set -euo pipefail
cpack=$1 build=$2 built=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack did not build the package"; }
debs=("$work"/out/redevuvo_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, got: ${debs[*]}"
deb=${debs[0]}

# Control fields: library dependencies found by dpkg-shlibdeps, none on the
# embedded runtime, xdg-utils recommended for os.shellexecute.
info=$(dpkg-deb -I "$deb")
depends=$(dpkg-deb -f "$deb" Depends)
while read -r field pattern; do
  value=$(dpkg-deb -f "$deb" "$field")
  [[ $value =~ $pattern ]] || fail "$field is '$value', expected to match '$pattern'"$'\n'"$info"
done <<'TABLE'
Package ^redevuvo$
Depends (^|, )libc6 \(>=
Depends (^|, )libstdc\+\+6 \(>=
Depends (^|, )libicu[0-9]+
Depends (^|, )libpcre2-16-0
Depends (^|, )zlib1g
Recommends ^xdg-utils$
TABLE
[[ $depends != *liblua* ]] || fail "Depends names the embedded runtime: $depends"

# Contents: the listing and the unpacked tree hold every installed file.
listing=$(dpkg-deb -c "$deb")
dpkg -x "$deb" "$work/root"
root=$work/root/usr
for f in bin/redevuvo share/man/man1/redevuvo.1 share/doc/redevuvo/copyright \
         share/doc/redevuvo/pwl.md share/doc/redevuvo/string.md share/doc/redevuvo/zip.md \
         share/doc/redevuvo/examples/number_lines.pwl share/doc/redevuvo/examples/sample.txt \
         share/bash-completion/completions/redevuvo; do
  [ -f "$root/$f" ] || fail "missing /usr/$f"
  grep -q "\./usr/$f\$" <<<"$listing" || fail "dpkg-deb -c does not list /usr/$f"
done
[ -x "$root/bin/redevuvo" ] || fail "/usr/bin/redevuvo is not executable"
for text in 'Lua.org, PUC-Rio' 'License: Expat' 'Permission is hereby granted, free of charge'; do
  grep -qF "$text" "$root/share/doc/redevuvo/copyright" || fail "copyright lacks '$text'"
done

# The unpacked program runs on every shipped example as the built one does,
# without any library path (the runtime is inside it).
examples=$root/share/doc/redevuvo/examples
cd "$work" # some examples write files into the current directory
for script in "$examples"/*.pwl; do
  expected=$("$built" "$script" /i "$examples/sample.txt" 2>/dev/null) ||
    fail "the built program fails on $(basename "$script")"
  got=$(env -u LD_LIBRARY_PATH "$root/bin/redevuvo" "$script" /i "$examples/sample.txt" 2>"$work/err") ||
    fail "the installed program fails on $(basename "$script"): $(cat "$work/err")"
  [ "$got" = "$expected" ] || fail "$(basename "$script"): '$got' instead of '$expected'"
done

# The man page renders.
page=$(MANWIDTH=80 man -P cat -l "$root/share/man/man1/redevuvo.1" 2>"$work/err") ||
  fail "man -l failed: $(cat "$work/err")"
grep -q 'console text filter' <<<"$page" || fail "rendered man page lacks its NAME line"
[ ! -s "$work/err" ] || fail "man -l warned: $(cat "$work/err")"

# The completion: words before the cursor | the word at the cursor | what it must
# offer (sorted, space-separated).
mkdir -p "$work/c/dir"
touch "$work/c/a.pwl" "$work/c/a.txt" "$work/c/B.PWL"
completion=$root/share/bash-completion/completions/redevuvo
while IFS='|' read -r words current expected; do
  got=$(cd "$work/c" && bash -c '
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _redevuvo
    printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "' _ "$completion" $words "$current")
  [ "$got" = "$expected" ] || fail "completing '$words $current': '$got' instead of '$expected'"
done <<'TABLE'
redevuvo||B.PWL a.pwl dir
redevuvo|a|a.pwl
redevuvo|/|/? /b /c /i /n /o /p /s /x
redevuvo a.pwl|-|-? -b -c -i -n -o -p -s -x
redevuvo|--|-- --help --version
redevuvo|--v|--version
redevuvo a.pwl /x||
redevuvo a.pwl --||
redevuvo a.pwl|/p|/p
redevuvo a.pwl||B.PWL a.pwl dir
redevuvo a.pwl /i||B.PWL a.pwl a.txt dir
redevuvo a.pwl /i|a.|a.pwl a.txt
redevuvo a.pwl -O||B.PWL a.pwl a.txt dir
redevuvo /c||
TABLE
echo "package ok: $(basename "$deb"), $(stat -c %s "$deb") bytes"
