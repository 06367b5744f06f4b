#!/usr/bin/env bash
# Plants each fault of this folder in turn in a scratch copy of the working
# tree, builds the tests its patch names (its "tests:" line), runs them and
# counts the fault as killed when one of them fails. Prints "killed N of M".
# A fault that no test notices is a hole in the suite: cut no test that
# lowers the count.
#
#   tests/mutants/run.sh [PATCH...]     (all patches when none is named)
#
# The scratch copy and its build stay in $VELNOR_MUTANTS_DIR (default
# /tmp/velnor-mutants) so that a second run builds only what changed.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
scratch="${VELNOR_MUTANTS_DIR:-/tmp/velnor-mutants}"
src="$scratch/src"
build="$scratch/build"
patches=("$@")
[ ${#patches[@]} -eq 0 ] && patches=("$here"/*.patch)

# The working tree as it is, committed or not. A file whose bytes changed
# since the last copy is copied anew (a new time, so the build redoes it); the
# others keep theirs, so the build in the scratch folder redoes only what
# changed.
stage="$scratch/stage"
rm -rf "$stage"
mkdir -p "$stage" "$src"
(cd "$root" && git ls-files -co --exclude-standard -z | tar --null -cf - -T -) | tar -xf - -C "$stage"
(cd "$stage" && find . -type f -print0) | while IFS= read -r -d '' file; do
    if ! cmp -s "$stage/$file" "$src/$file"; then
        mkdir -p "$(dirname "$src/$file")"
        cp "$stage/$file" "$src/$file"
    fi
done
(cd "$src" && find . -type f -print0) | while IFS= read -r -d '' file; do
    [ -e "$stage/$file" ] || rm -f "$src/$file"
done
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELNOR_BUILD_BENCH=OFF -DVELNOR_BUILD_TOOLS=OFF >/dev/null || exit 2
fi

killed=0
total=0
for patch in "${patches[@]}"; do
    name="$(basename "$patch" .patch)"
    tests="$(sed -n 's/^tests: //p' "$patch" | head -n1)"
    total=$((total + 1))
    if ! patch -d "$src" -p1 --quiet --forward <"$patch"; then
        echo "$name: does not apply"
        continue
    fi
    verdict="survived"
    if ! nice cmake --build "$build" --target $tests >"$scratch/$name.log" 2>&1; then
        verdict="killed (does not build)"
    elif ! ctest --test-dir "$build" -j2 -R "^($(echo $tests | tr ' ' '|'))\$" \
        >>"$scratch/$name.log" 2>&1; then
        verdict="killed"
    fi
    patch -d "$src" -p1 --quiet --reverse <"$patch"
    case $verdict in killed*) killed=$((killed + 1)) ;; esac
    echo "$name: $verdict"
done
echo "killed $killed of $total"
