#!/usr/bin/env bash
# Configures and builds one configuration: scripts/build.sh [release|sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-release}
case "$kind" in
  release) dir=build; flags=(-DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON) ;;
  sanitize) dir=build-sanitize; flags=(-DCMAKE_BUILD_TYPE=Debug -DBRENK_SANITIZE=ON -DBUILD_TESTING=ON) ;;
  *) echo "usage: $0 [release|sanitize]" >&2; exit 2 ;;
esac
scripts/deps.sh
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
