#!/usr/bin/env bash
# Builds the engine and plays one move on the bundled example position, as a manager would, then
# shows the position before and after with brenk-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh release
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
cp examples/midgame/* "$game"/
echo "The example position (examples/midgame), the engine plays: $(cat "$game/tah.dat")"
build/apps/brenk-cli show "$game"
status=0
(cd "$game" && "$OLDPWD/build/apps/brenk") || status=$?
echo
echo "brenk exited with status $status; tah.dat now holds: $(cat "$game/tah.dat") (column,row)"
build/apps/brenk-cli show "$game"
