#!/usr/bin/env bash
# Builds the release and the sanitizer configuration and runs every test in both.
set -euo pipefail
cd "$(dirname "$0")/.."
for kind in release sanitize; do
  scripts/build.sh "$kind"
  dir=build; [ "$kind" = sanitize ] && dir=build-sanitize
  echo "== tests ($kind) =="
  ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
done
