#!/usr/bin/env bash
# velnor-rename's preview of a new name over 1,000,000 files in one folder,
# as a text table and as JSON, against the plain listing of the same folder
# (`velnor-rename DIR --json`, default templates). Prints the larger of the
# two ratios: "figure cli_preview_1m_vs_list RATIO ratio". Then the peak
# resident memory of renaming them all, per file, with the journal:
# "figure memory_apply_1m BYTES bytes". QUICK=1: 100,000.
set -euo pipefail

BUILD=${BUILD:-build-bench}
velnor=$BUILD/src/cli/velnor-rename
[ -x "$velnor" ] || { echo "preview.sh: $velnor is missing" >&2; exit 1; }
total=1000000
if [ -n "${QUICK:-}" ] && [ "${QUICK:-}" != 0 ]; then
    total=100000
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/velnor-preview-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
perl -e '
    my ($dir, $n) = @ARGV;
    for my $i (0 .. $n - 1) {
        my $name = sprintf("%s/IMG_%07d.jpg", $dir, $i);
        open(my $fh, ">", $name) or die "$name: $!";
        close($fh);
    }' "$work" "$total"

# Seconds of one run, output thrown away.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}

# The median of three runs each, taken in turns: one run of each varies by a
# tenth on a shared machine, as much as the figure's margin.
median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
"$velnor" "$work" --json >/dev/null # warm the cache
lists='' tables='' jsons=''
for round in 1 2 3; do
    lists+=" $(seconds "$velnor" "$work" --json)"
    tables+=" $(seconds "$velnor" --name '[N]_x' "$work")"
    jsons+=" $(seconds "$velnor" --name '[N]_x' "$work" --json)"
done
list=$(median "$lists")
table=$(median "$tables")
json=$(median "$jsons")
echo "# preview: list ${list}s, table ${table}s, json ${json}s" >&2
ratio=$(echo "r = $table / $list; j = $json / $list; if (j > r) r = j; r" | bc -l)
printf 'figure cli_preview_1m_vs_list %.2f ratio\n' "$ratio"

# The run renames the files the previews read, so it comes last. GNU time
# gives the peak; without it the figure is missing.
if [ -x /usr/bin/time ]; then
    peak_kb=$(/usr/bin/time -f '%M' "$velnor" --name '[N]_x' --apply "$work" 2>&1 >/dev/null | tail -n 1)
    renamed=$(find "$work" -maxdepth 1 -name 'IMG_*_x.jpg' | wc -l)
    if [ "$renamed" -ne "$total" ]; then
        echo "preview.sh: the run renamed $renamed of $total files" >&2
        exit 1
    fi
    echo "# apply: peak ${peak_kb} kB" >&2
    awk -v k="$peak_kb" -v n="$total" 'BEGIN { printf "figure memory_apply_1m %.0f bytes\n", k * 1024 / n }'
else
    echo "preview.sh: /usr/bin/time is missing (package time); memory_apply_1m skipped" >&2
fi
