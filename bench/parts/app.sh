#!/usr/bin/env bash
# The window: a keystroke with a million files listed, a drop of 100,000 files
# against the core's intake of the same tree. Offscreen, no display needed.
set -euo pipefail
BUILD=${BUILD:-build-bench}
bench="$BUILD/bench/app/velnor-bench-app"
if [ ! -x "$bench" ]; then
    echo "# app: $bench not built, skipped" >&2
    exit 0
fi
# The window's run keeps a journal: into a scratch state folder, not the
# user's history.
state=$(mktemp -d "${TMPDIR:-/tmp}/velnor-bench-state-XXXXXX")
trap 'rm -rf "$state"' EXIT
export XDG_STATE_HOME="$state"
quick=()
[ -n "${QUICK:-}" ] && [ "${QUICK:-}" != 0 ] && quick=(--quick)
QT_QPA_PLATFORM=offscreen "$bench" "${quick[@]}"
