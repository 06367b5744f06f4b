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
# cut off, and the Rename History window), docs/companions.png (companion
# files marked under their lead), docs/screenshot-de.png,
# docs/interrupted-de.png and docs/history-de.png (the same in German, from
# LANG alone), docs/screenshot-fr.png and docs/screenshot-es.png, and
# docs/make-folders.png (names that sort files into year and month folders),
# docs/rename-folders.png (Rename: Files and Folders, folder rows listed),
# docs/photos-by-date.png and docs/metadata-menu.png (photos named by the date
# taken and the camera; the Metadata menu open), docs/access.png and
# docs/folder-access.png (the question before the first run in a folder, and
# the folders allowed).
# Needs a build (make build) and xvfb-run. BUILD overrides the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT=${1:-docs}
cmake --build "$BUILD" --target velnor-screenshot velnor-meta-reader velnor-make-test-jpeg >/dev/null
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

# Photos copied from a phone and a camera: every copy has the same date, the
# date taken is inside. One came through a messenger, which kept no tags.
photos="$sample/Photos from the phone"
mkdir -p "$photos"
photo() {
    local name=$1
    shift
    "$BUILD/tests/meta/velnor-make-test-jpeg" "$photos/$name" "$@" >/dev/null
    touch -d "2024-06-02 18:40:00" "$photos/$name"
}
photo IMG_0412.JPG "Exif.Photo.DateTimeOriginal=2024:05:11 09:12:41" \
    "Exif.Image.Make=Google" "Exif.Image.Model=Pixel 7"
photo IMG_0413.JPG "Exif.Photo.DateTimeOriginal=2024:05:11 13:05:02" \
    "Exif.Image.Make=Google" "Exif.Image.Model=Pixel 7"
photo IMG_0417.JPG "Exif.Photo.DateTimeOriginal=2024:05:12 20:47:19" \
    "Exif.Image.Make=Google" "Exif.Image.Model=Pixel 7"
photo DSC_1001.JPG "Exif.Photo.DateTimeOriginal=2024:05:12 07:31:55" \
    "Exif.Image.Make=NIKON CORPORATION" "Exif.Image.Model=NIKON Z 6"
photo DSC_1002.JPG "Exif.Photo.DateTimeOriginal=2024:05:13 11:02:08" \
    "Exif.Image.Make=NIKON CORPORATION" "Exif.Image.Model=NIKON Z 6"
photo "IMG-20240514-WA0003.jpg"

xvfb-run -a -s "-screen 0 1280x800x24" \
    "$BUILD/src/app/tools/velnor-screenshot" "$OUT" "$sample/Trip to Lisbon" "$photos"

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
