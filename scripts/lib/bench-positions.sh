# shellcheck shell=bash
# What the turn-time scripts time and the positions they time it on (scripts/turn-times.sh,
# scripts/turn-times-pbrain.sh). Source it; it defines functions only.
#
#   bp_tool ROOT GIVEN DEFAULT NAME  prints the real path of GIVEN; when GIVEN is empty, builds
#                                    (scripts/build.sh release, its output on stderr) and prints
#                                    ROOT/DEFAULT. Fails with status 2 unless it and the brenk-cli
#                                    next to it are executables. NAME is the tool's name in errors.
#   bp_write CLI DIR                 writes the bench positions as game directories under
#                                    DIR/positions and their paths, a line each, into DIR/written

bp_tool() {
  local root=$1 tool=$2 default=$3 name=$4 script=${0##*/}
  if [ -z "$tool" ]; then
    "$root/scripts/build.sh" release >&2
    tool="$root/$default"
  fi
  tool=$(realpath -- "$tool" 2>/dev/null) || { echo "$script: no $name at the path given" >&2; exit 2; }
  for exe in "$tool" "$(dirname "$tool")/brenk-cli"; do
    [ -x "$exe" ] || { echo "$script: $exe is not an executable" >&2; exit 2; }
  done
  echo "$tool"
}

bp_write() {
  "$1" bench --write "$2/positions" >"$2/written"
}
