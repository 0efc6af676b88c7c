#!/usr/bin/env bash
# Builds the engine and plays one move on the bundled example position, as a manager would.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh release
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
cp examples/midgame/* "$game"/
echo "Board (plocha.dat), engine plays: $(cat "$game/tah.dat")"
cat "$game/plocha.dat"
(cd "$game" && "$OLDPWD/build/apps/brenk")
echo "brenk exited with status $?; tah.dat now holds: $(cat "$game/tah.dat")"
