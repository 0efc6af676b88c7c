#!/usr/bin/env bash
# Cross-compiles the Windows executables (brenk.exe, pbrain-brenk.exe, pbrain-brenk-threats.exe,
# brenk-cli.exe; 64-bit, static) with MinGW-w64: scripts/windows.sh [--avx2]
# into build-windows/apps/, or with --avx2 (for CPUs with AVX2) into build-windows-avx2/apps/.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-windows
flags=()
case "${1:-}" in
  "") ;;
  --avx2) dir=build-windows-avx2; flags=(-DCMAKE_CXX_FLAGS=-mavx2) ;;
  *) echo "usage: $0 [--avx2]" >&2; exit 2 ;;
esac
scripts/deps.sh
cmake --no-warn-unused-cli -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
