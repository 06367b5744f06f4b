#!/usr/bin/env bash
# velnor-rename against the common command-line renamers on the same job:
# every file of a tree of 100,000 files in 100 folders gets "_x" after its
# base name, extension kept. Each tool renames a same-shaped tree of its own
# (warm cache); the medians of three rounds are compared. velnor-rename runs
# as a user runs it, with its journal (so that the run can be undone); the
# journals go to a scratch state folder, not the user's history.
# Prints "figure cli_100k_vs_mmv RATIO ratio" and
# "figure cli_100k_vs_perl_rename RATIO ratio" (velnor's time over theirs).
set -euo pipefail

BUILD=${BUILD:-build-bench}
velnor=$BUILD/src/cli/velnor-rename
[ -x "$velnor" ] || { echo "cli.sh: $velnor is missing" >&2; exit 1; }

folders=100
per_folder=1000
if [ -n "${QUICK:-}" ] && [ "${QUICK:-}" != 0 ]; then
    per_folder=100
fi
total=$((folders * per_folder))
rounds=3

# Debian's mmv, and the perl rename of the package "rename" (file-rename).
missing=()
command -v mmv >/dev/null || missing+=(mmv)
command -v file-rename >/dev/null || missing+=(rename)
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
    echo "# installing ${missing[*]}" >&2
    if ! { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y \
               --no-install-recommends "${missing[@]}" >&2 ||
           { "${sudo[@]}" apt-get update >&2 &&
             "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y \
                 --no-install-recommends "${missing[@]}" >&2; }; }; then
        # The other parts of the benchmark still run; the two figures are missing.
        echo "cli.sh: cannot install ${missing[*]}; cli_100k figures skipped" >&2
        exit 0
    fi
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/velnor-cli-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_STATE_HOME="$work/state"

# f000000.txt ... in d000 ... d099, each folder holding per_folder files.
make_tree() {
    perl -e '
        my ($root, $folders, $per) = @ARGV;
        mkdir $root or die "$root: $!";
        for my $d (0 .. $folders - 1) {
            my $dir = sprintf("%s/d%03d", $root, $d);
            mkdir $dir or die "$dir: $!";
            for my $f (0 .. $per - 1) {
                my $path = sprintf("%s/f%06d.txt", $dir, $d * $per + $f);
                open(my $h, ">", $path) or die "$path: $!";
                close($h);
            }
        }' "$1" "$folders" "$per_folder"
}

# Every file of the tree has a name of the pattern, and nothing else is there.
check_tree() {
    local matching others
    matching=$(find "$1" -type f -name "$2" | wc -l)
    others=$(find "$1" -type f ! -name "$2" | wc -l)
    if [ "$matching" -ne "$total" ] || [ "$others" -ne 0 ]; then
        echo "cli.sh: after $3, $matching of $total files are named $2 ($others are not)" >&2
        exit 1
    fi
}

now() { date +%s.%N; }

run_velnor() { "$velnor" --name '[N]_x' --apply "$1" >/dev/null; }
run_mmv() { (cd "$1" && mmv '*/*.txt' '#1/#2_x.txt'); }
run_perl_rename() {
    (cd "$1" && find . -type f -name '*.txt' -print0 | file-rename -0 's/\.txt\z/_x.txt/')
}

# Making 100,000 files costs far more than renaming them, so each tool gets
# its tree made once and put back to the old names between rounds.
tools=(velnor mmv perl_rename)
for tool in "${tools[@]}"; do
    make_tree "$work/$tool"
done
declare -A times
for round in $(seq 1 $rounds); do
    sync
    for tool in "${tools[@]}"; do
        start=$(now)
        "run_$tool" "$work/$tool"
        end=$(now)
        check_tree "$work/$tool" 'f[0-9]*[0-9]_x.txt' "$tool"
        times[$tool]="${times[$tool]:-} $(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.4f", b - a}')"
        if [ "$round" -lt $rounds ]; then
            "$velnor" --search '_x.txt' --replace '.txt' --apply "$work/$tool" >/dev/null
            check_tree "$work/$tool" 'f[0-9]*[0-9].txt' "putting back $tool's tree"
        fi
    done
    # A different order each round, so that no tool always runs first.
    tools=("${tools[@]:1}" "${tools[0]}")
done

median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
velnor_s=$(median "${times[velnor]}")
mmv_s=$(median "${times[mmv]}")
perl_s=$(median "${times[perl_rename]}")
echo "# $total files: velnor-rename ${velnor_s}s, mmv ${mmv_s}s, perl rename ${perl_s}s" >&2
awk -v v="$velnor_s" -v m="$mmv_s" -v p="$perl_s" 'BEGIN {
    printf "figure cli_100k_vs_mmv %.3f ratio\n", v / m
    printf "figure cli_100k_vs_perl_rename %.3f ratio\n", v / p
}'
