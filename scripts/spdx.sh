#!/usr/bin/env bash
# Puts the licence line first in every tracked C++ file that lacks it. Run
# from anywhere inside the repository; running it again changes nothing.
set -euo pipefail
cd "$(git rev-parse --show-toplevel)"
line='// SPDX-License-Identifier: GPL-3.0-or-later'
git ls-files -z '*.cpp' '*.h' | while IFS= read -r -d '' file; do
    if [ "$(head -n 1 "$file")" != "$line" ]; then
        tmp="$file.spdx.$$"
        { printf '%s\n' "$line"; cat "$file"; } > "$tmp"
        chmod --reference="$file" "$tmp"
        mv "$tmp" "$file"
        echo "$file"
    fi
done
