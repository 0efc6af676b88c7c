#!/usr/bin/env bash
# Builds the Gomocup package: scripts/package-gomocup.sh [--mode threats|default] [--root avx2|x86-64]
# writes dist/brenk-gomocup-VERSION.zip: pbrain-brenk.exe at the root (the build for --root, AVX2
# unless told otherwise), the other build in x86-64/ or avx2/, and README.txt for the organisers.
# --mode picks what the brain plays: the threat-space mode (default; pbrain-brenk-threats renamed)
# or the default engine. Fails if the zip is not under Gomocup's 8 MB.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=threats root=avx2
while [ $# -gt 0 ]; do
  case "$1" in
    --mode) mode=${2:-}; shift 2 ;;
    --root) root=${2:-}; shift 2 ;;
    *) mode=bad; break ;;
  esac
done
case "$mode/$root" in
  threats/avx2 | threats/x86-64 | default/avx2 | default/x86-64) ;;
  *) echo "usage: $0 [--mode threats|default] [--root avx2|x86-64]" >&2; exit 2 ;;
esac
other=x86-64; [ "$root" = x86-64 ] && other=avx2
exe=pbrain-brenk.exe; [ "$mode" = threats ] && exe=pbrain-brenk-threats.exe
version=$(sed -n 's/.*kEngineVersion = "\(.*\)";/\1/p' apps/version.h)
[ -n "$version" ] || { echo "no version in apps/version.h" >&2; exit 1; }

scripts/windows.sh >/dev/null
scripts/windows.sh --avx2 >/dev/null
build_of() { if [ "$1" = avx2 ]; then echo build-windows-avx2; else echo build-windows; fi; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$other"
cp "$(build_of "$root")/apps/$exe" "$stage/pbrain-brenk.exe"
cp "$(build_of "$other")/apps/$exe" "$stage/$other/pbrain-brenk.exe"
mode_text="the threat-space mode: forcing wins by fours and threes first, then an alpha-beta search over threat patterns"
[ "$mode" = default ] && mode_text="the default engine (threat scores and proof-number search)"
cpu_text() { if [ "$1" = avx2 ]; then echo "for x86-64 CPUs with AVX2"; else echo "for any x86-64 CPU"; fi; }
sed 's/$/\r/' > "$stage/README.txt" <<TEXT
Brenk $version - a Gomoku brain for Gomocup
===========================================

Executable: pbrain-brenk.exe at the root of this zip, 64-bit Windows, $(cpu_text "$root"),
statically linked (no DLL needed). $other/pbrain-brenk.exe is the same brain $(cpu_text "$other");
both decide alike for the same search effort, and the AVX2 build searches about 15 % faster.
Mode: $mode_text.

Protocol: the pbrain protocol on standard input and output (Piskvork, GomocupJudge).
Board: 20x20 only (START 20); another size is answered ERROR.
Rule: freestyle only (five or more in a row wins). INFO rule with exact five, renju or caro is
answered ERROR; the brain then still plays freestyle. Not for standard, renju or caro leagues.
Time: each turn keeps within INFO timeout_turn and within 1/20 of INFO time_left.
Memory: the search tree stays under INFO max_memory less 40 MiB (about 290 MiB under a 350 MB
limit); the rest of the process needs about 4 MB, and the tree is freed after every turn.
Files: none are read or written.
TEXT

mkdir -p dist
zip=dist/brenk-gomocup-$version.zip
rm -f "$zip"
python3 - "$stage" "$zip" <<'PY'
import os, sys, zipfile
stage, target = sys.argv[1:]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as out:
    for root, _, names in sorted(os.walk(stage)):
        for name in sorted(names):
            path = os.path.join(root, name)
            out.write(path, os.path.relpath(path, stage))
PY
size=$(stat -c %s "$zip")
limit=$((8 * 1000 * 1000))
echo "$zip: $size bytes ($mode mode, $root build at the root)"
python3 -c 'import sys, zipfile; [print("  %9d  %s" % (i.file_size, i.filename)) for i in zipfile.ZipFile(sys.argv[1]).infolist()]' "$zip"
if [ "$size" -ge "$limit" ]; then
  echo "$zip is $size bytes, not under Gomocup's 8 MB" >&2
  exit 1
fi
