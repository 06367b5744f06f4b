#!/usr/bin/env bash
# Reading what is inside 10,000 photos: velnor-rename's preview
#   velnor-rename --date-from taken --name '[YMD]_[Model]' DIR --json
# over 10,000 JPEGs with Exif (100 to 300 KB each, made here), warm cache,
# against exiftool reading the same two tags of the same folder
#   exiftool -q -T -DateTimeOriginal -Model -r DIR
# and against a plain C loop that opens each file and reads its first 64 KiB
# (the I/O the job cannot avoid). Medians of three rounds.
# Prints "figure meta_10k_vs_exiftool RATIO ratio" and
# "figure meta_10k_vs_read RATIO ratio" (velnor's time over theirs).
# QUICK=1: 1,000 photos.
set -euo pipefail

BUILD=${BUILD:-build-bench}
velnor=$BUILD/src/cli/velnor-rename
make_jpeg=$BUILD/tests/meta/velnor-make-test-jpeg
for tool in "$velnor" "$make_jpeg"; do
    [ -x "$tool" ] || { echo "meta.sh: $tool is missing" >&2; exit 1; }
done
if ! command -v exiftool >/dev/null; then
    if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
    echo "# installing libimage-exiftool-perl" >&2
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        libimage-exiftool-perl >/dev/null
fi
total=10000
if [ -n "${QUICK:-}" ] && [ "${QUICK:-}" != 0 ]; then
    total=1000
fi
rounds=3

work=$(mktemp -d "${TMPDIR:-/tmp}/velnor-meta-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/photos"
# Twenty different photos, 100 to 300 KB, each with its own shot time and
# camera, copied to make the folder.
for i in $(seq 0 19); do
    "$make_jpeg" --bytes $((100000 + i * 10000)) "$work/base$i.jpg" \
        "Exif.Photo.DateTimeOriginal=2024:03:$(printf %02d $((i + 1))) 14:07:$(printf %02d $i)" \
        "Exif.Image.Make=Canon" "Exif.Image.Model=EOS R$i"
done
perl -e '
    use File::Copy;
    my ($work, $n) = @ARGV;
    for my $i (0 .. $n - 1) {
        copy("$work/base" . ($i % 20) . ".jpg", sprintf("%s/photos/IMG_%05d.jpg", $work, $i))
            or die "copy: $!";
    }' "$work" "$total"

cat > "$work/read64k.c" <<'C'
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>
int main(int argc, char **argv)
{
    static char buffer[65536];
    DIR *dir = opendir(argv[1]);
    int folder = dirfd(dir);
    long total = 0;
    for (struct dirent *entry; (entry = readdir(dir));) {
        if (entry->d_name[0] == '.')
            continue;
        int fd = openat(folder, entry->d_name, O_RDONLY);
        if (fd < 0)
            return 1;
        total += read(fd, buffer, sizeof buffer);
        close(fd);
    }
    printf("%ld\n", total);
    return 0;
}
C
cc -O2 -o "$work/read64k" "$work/read64k.c"

seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }

velnor_run=("$velnor" --date-from taken --name '[YMD]_[Model]' "$work/photos" --json)
exiftool_run=(exiftool -q -T -DateTimeOriginal -Model -r "$work/photos")
read_run=("$work/read64k" "$work/photos")
# Warm the cache once with each.
"${velnor_run[@]}" >/dev/null
"${exiftool_run[@]}" >/dev/null
"${read_run[@]}" >/dev/null
v=(); e=(); r=()
for _ in $(seq $rounds); do
    v+=("$(seconds "${velnor_run[@]}")")
    e+=("$(seconds "${exiftool_run[@]}")")
    r+=("$(seconds "${read_run[@]}")")
done
velnor_s=$(median "${v[@]}")
exiftool_s=$(median "${e[@]}")
read_s=$(median "${r[@]}")
echo "# meta: $total photos: velnor ${velnor_s}s, exiftool ${exiftool_s}s, read 64 KiB ${read_s}s" >&2
printf 'figure meta_10k_vs_exiftool %.3f ratio\n' "$(echo "$velnor_s / $exiftool_s" | bc -l)"
printf 'figure meta_10k_vs_read %.2f ratio\n' "$(echo "$velnor_s / $read_s" | bc -l)"
