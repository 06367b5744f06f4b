#!/usr/bin/env bash
# Pictures of the window for the README: starts the window on a virtual X
# display over a sample folder and saves docs/screenshot.png (the main
# window), docs/conflicts.png (new names that collide, marked),
# docs/confirm.png (Start over them asks first), docs/tutorial-end.png (the
# tutorial's last page over a list kept aside), docs/conflicts-de.png,
# docs/typed-names.png (names typed by hand),
# docs/pattern-error.png (a pattern that does not compile),
# docs/tutorial.png (the tutorial's name page), docs/listing.png and
# docs/renaming.png (the bottom bar's progress during a listing and a run),
# docs/interrupted.png and docs/history.png (the question after a run that was
# cut off, and the Rename History window), docs/screenshot-de.png,
# docs/interrupted-de.png and docs/history-de.png (the same in German, from
# LANG alone), and docs/screenshot-fr.png and docs/screenshot-es.png.
# Needs a build (make build) and xvfb-run. BUILD overrides the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT=${1:-docs}
cmake --build "$BUILD" --target velnor-screenshot >/dev/null
mkdir -p "$OUT"

sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
mkdir -p "$sample/Trip to Lisbon/raw"
i=0
for name in IMG_0412.JPG IMG_0413.JPG IMG_0417.JPG "Tram 28.png" notes.txt \
            raw/DSC_1001.NEF raw/DSC_1002.NEF "Budget Lisbon.ods" "route map.pdf"; do
    i=$((i + 1))
    head -c $((i * 137 * 1024)) /dev/zero > "$sample/Trip to Lisbon/$name"
    touch -d "2024-05-$((10 + i)) $((8 + i)):1$i:0$i" "$sample/Trip to Lisbon/$name"
done

xvfb-run -a -s "-screen 0 1280x800x24" \
    "$BUILD/src/app/tools/velnor-screenshot" "$OUT" "$sample/Trip to Lisbon"

# The same window in German (also the question and the history), French and
# Spanish, from LANG alone.
for lang in de_DE fr_FR es_ES; do
    shots=$(mktemp -d)
    env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=$lang.UTF-8 xvfb-run -a -s "-screen 0 1280x800x24" \
        "$BUILD/src/app/tools/velnor-screenshot" "$shots" "$sample/Trip to Lisbon"
    pictures=screenshot
    [ "$lang" = de_DE ] && pictures="screenshot conflicts interrupted history"
    for picture in $pictures; do
        cp "$shots/$picture.png" "$OUT/$picture-${lang%_*}.png"
    done
    rm -rf "$shots"
done
