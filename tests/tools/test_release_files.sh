#!/usr/bin/env bash
# The files users get, as the release preset leaves them: 32-bit PE files, stripped, importing
# only Windows' own libraries, the band library exporting its four entries under the names and
# ordinals its module definition gives.
# Usage: test_release_files.sh RELEASE_BUILD_DIR OBJDUMP DEF_FILE
set -uo pipefail
dir=$1 objdump=$2 def=$3
exe="$dir/app/Quorvane.exe"
dll="$dir/band/QuorvaneBand.dll"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Windows' own libraries; anything else (a compiler runtime, a library of ours) would have to be
# shipped beside the files.
system_dlls=" advapi32 comctl32 comdlg32 gdi32 kernel32 msimg32 msvcrt ole32 oleaut32 shell32 \
shlwapi user32 uxtheme version winmm "

check_file() {  # file
  local f=$1 header dlls dll name
  [ -f "$f" ] || { fail "$f is missing (build it: cmake --preset release && cmake --build build/release)"; return; }
  header=$("$objdump" -f "$f" 2>&1)
  grep -q 'file format pei-i386' <<<"$header" || fail "$f is not a 32-bit PE file: $header"
  # A stripped file has no symbol table and no debugging sections.
  if "$objdump" -h "$f" | grep -qE '\.debug_'; then fail "$f keeps debugging sections"; fi
  grep -qE 'HAS_SYMS' <<<"$header" && fail "$f keeps its symbol table"
  dlls=$("$objdump" -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$dlls" ] || fail "$f imports nothing (not read?)"
  while read -r dll; do
    [ -z "$dll" ] && continue
    name=$(tr '[:upper:]' '[:lower:]' <<<"${dll%.*}")
    [[ "$system_dlls" == *" $name "* ]] || fail "$f imports $dll, which Windows does not bring"
  done <<<"$dlls"
}

check_file "$exe"
check_file "$dll"

# Exports: name -> ordinal as the module definition states them, and nothing else.
if [ -f "$dll" ]; then
  expected=$(sed -nE 's/^[[:space:]]*([A-Za-z_]+)[[:space:]]+@([0-9]+).*/\1 \2/p' "$def" | sort)
  [ -n "$expected" ] || fail "no exports read from $def"
  dump=$("$objdump" -p "$dll")
  base=$(sed -nE 's/^Ordinal Base[[:space:]]+([0-9]+).*/\1/p' <<<"$dump")
  # The name table lists "[index] Name"; the ordinal is the index plus the base.
  actual=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
    sed -nE 's/^[[:space:]]*\[[[:space:]]*([0-9]+)\][[:space:]]+([A-Za-z_]+).*/\2 \1/p' |
    while read -r n i; do echo "$n $((i + ${base:-0}))"; done | sort)
  [ "$expected" = "$actual" ] || fail "exports differ from $def: expected [$expected], found [$actual]"
fi

[ $failures -eq 0 ] && echo "release files: PE32, stripped, system imports only, exports as $def"
exit $((failures > 0))
