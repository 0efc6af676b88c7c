# shellcheck shell=bash
# Building another git revision next to the working tree, for the scripts that compare the two
# (scripts/equivalence.sh, scripts/bench-compare.sh). Source it; it defines functions only.
#
#   wt_resolve ROOT REV            prints the full hash of commit REV, fails when REV is none
#   wt_describe_working_tree ROOT  prints "the working tree (HEAD, N changed or new files)"
#   wt_add ROOT HASH DIR           checks HASH out, detached, in a new worktree at DIR
#   wt_remove ROOT DIR             removes that worktree again (quietly, for an EXIT trap)
#   wt_start ROOT REV NAME         resolves REV (exit 2 when it is none) and sets hash, short and
#                                  working_tree; makes the scratch directory tmp (brenk-NAME.*)
#                                  and an EXIT trap that removes it and the worktree, if any
#   wt_build TAG SOURCE BUILD LABEL LOG TARGET...
#                                  a release build (tests off) of TARGET... from SOURCE in BUILD,
#                                  its output in LOG; prints "TAG: building LABEL" and the time
#                                  taken, or the end of LOG on failure, and then returns 1

wt_resolve() {
  git -C "$1" rev-parse --verify --quiet "$2^{commit}"
}

wt_describe_working_tree() {
  local head changed
  head=$(git -C "$1" rev-parse --short HEAD)
  changed=$(git -C "$1" status --porcelain | wc -l)
  echo "the working tree ($head, $changed changed or new files)"
}

wt_add() {
  git -C "$1" worktree add --quiet --detach "$3" "$2"
}

wt_remove() {
  git -C "$1" worktree remove --force "$2" 2>/dev/null || rm -rf "$2"
  git -C "$1" worktree prune 2>/dev/null || true
}

wt_start() {
  local root=$1 rev=$2 name=$3
  hash=$(wt_resolve "$root" "$rev") || {
    echo "$0: \"$rev\" is not a revision of $root" >&2
    exit 2
  }
  # shellcheck disable=SC2034  # short and working_tree are for the caller
  short=$(git -C "$root" rev-parse --short "$hash")
  # shellcheck disable=SC2034
  working_tree=$(wt_describe_working_tree "$root")
  wt_root=$root
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/brenk-$name.XXXXXX")
  worktree=""
  trap wt_cleanup EXIT
  trap 'exit 130' INT TERM
}

wt_cleanup() {
  if [ -n "$worktree" ]; then wt_remove "$wt_root" "$worktree"; fi
  rm -rf "$tmp"
}

wt_build() {
  local tag=$1 source=$2 build=$3 label=$4 log=$5 start=$SECONDS
  shift 5
  local targets=()
  local target
  for target in "$@"; do targets+=(--target "$target"); done
  echo "$tag: building $label"
  if ! { cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF &&
    cmake --build "$build" -j"$(nproc)" "${targets[@]}"; } >"$log" 2>&1; then
    echo "$tag: building $label failed; the end of its log:" >&2
    tail -n 40 "$log" >&2
    return 1
  fi
  echo "$tag: built $label in $((SECONDS - start)) s"
}
