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
quick=()
[ -n "${QUICK:-}" ] && [ "${QUICK:-}" != 0 ] && quick=(--quick)
QT_QPA_PLATFORM=offscreen "$bench" "${quick[@]}"
