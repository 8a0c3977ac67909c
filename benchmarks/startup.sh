#!/usr/bin/env bash
# Start-up time and memory of one or two builds of the program.
#
# Usage: benchmarks/startup.sh [-n RUNS] [-w WARMUPS] PROGRAM [NEW_PROGRAM]
#
#   PROGRAM       path of a built program (e.g. build/release/src/quorvel)
#   NEW_PROGRAM   a second build to compare with the first (e.g. the current
#                 build after an older one); the report then adds new/old ratios
#   -n RUNS       measured runs of each program (default 15)
#   -w WARMUPS    runs of each program before them, not counted (default 1)
#
# Builds nothing. Each run starts the program off screen
# (QT_QPA_PLATFORM=offscreen) with QV_EXIT_AFTER_FIRST_PAINT set and a fresh
# settings folder (XDG_CONFIG_HOME) whose stored start-up choice is to do
# nothing, so that no login dialog opens; the program quits after the main
# window's first paint and prints its figures:
#   first-paint-ms    from the process start to the end of the first paint
#   main-to-paint-ms  the same from the top of main (finer grained)
#   cpu-ms            processor time used by then (user and system, all threads),
#                     the figure least disturbed by other programs' load
#   peak-rss-kb       peak resident memory (VmHWM) at that moment
# With two programs the runs alternate between them, so that a change in the
# machine's load falls on both alike. Reports the median of each figure.
#
# Example:
#   benchmarks/startup.sh /tmp/old/build/release/src/quorvel build/release/src/quorvel
set -euo pipefail

runs=15
warmups=1
usage() {
    sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2
    exit 2
}
while getopts 'n:w:h' opt; do
    case $opt in
    n) runs=$OPTARG ;;
    w) warmups=$OPTARG ;;
    *) usage ;;
    esac
done
shift $((OPTIND - 1))
[[ $# -eq 1 || $# -eq 2 ]] || usage
[[ $runs =~ ^[1-9][0-9]*$ && $warmups =~ ^[0-9]+$ ]] || usage
programs=()
for program in "$@"; do
    [[ -f $program && -x $program ]] || { echo "startup.sh: not an executable: $program" >&2; exit 2; }
    programs+=("$(realpath "$program")")
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-startup.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

figures=(first-paint-ms main-to-paint-ms cpu-ms peak-rss-kb)

# One run of program number $1: appends its figures to $scratch/<n>.<figure>.
run_once() {
    local index=$1 record=$2
    local config="$scratch/config"
    rm -rf "$config"
    mkdir -p "$config/ZELVO"
    printf 'OnStartup=0\n' >"$config/ZELVO/Quorvel.ini"
    local output
    if ! output=$(cd "$scratch" && env XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=offscreen \
        QV_EXIT_AFTER_FIRST_PAINT=1 timeout 60 "${programs[index]}" 2>"$scratch/stderr"); then
        echo "startup.sh: ${programs[index]} failed; its error output:" >&2
        cat "$scratch/stderr" >&2
        exit 1
    fi
    local figure value
    for figure in "${figures[@]}"; do
        value=$(awk -v f="$figure" '$1 == f { print $2 }' <<<"$output")
        if [[ ! $value =~ ^[0-9]+(\.[0-9]+)?$ ]]; then
            echo "startup.sh: ${programs[index]} printed no $figure; its output:" >&2
            echo "$output" >&2
            exit 1
        fi
        if [[ $record == yes ]]; then
            echo "$value" >>"$scratch/$index.$figure"
        fi
    done
}

median() {
    sort -g "$1" | awk '{ v[NR] = $1 } END {
        if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

for ((i = 0; i < warmups; i++)); do
    for index in "${!programs[@]}"; do
        run_once "$index" no
    done
done
for ((i = 0; i < runs; i++)); do
    for index in "${!programs[@]}"; do
        run_once "$index" yes
    done
done

printf '%-18s' "median of $runs"
for index in "${!programs[@]}"; do
    printf '%14s' "$([[ ${#programs[@]} -eq 2 ]] && { [[ $index -eq 0 ]] && echo old || echo new; } || echo program)"
done
[[ ${#programs[@]} -eq 2 ]] && printf '%12s' "new/old"
printf '\n'
for figure in "${figures[@]}"; do
    printf '%-18s' "$figure"
    values=()
    for index in "${!programs[@]}"; do
        values+=("$(median "$scratch/$index.$figure")")
        printf '%14s' "${values[-1]}"
    done
    if [[ ${#programs[@]} -eq 2 ]]; then
        printf '%12s' "$(awk -v a="${values[0]}" -v b="${values[1]}" 'BEGIN {
            if (a > 0) printf "%.3f", b / a; else print "-" }')"
    fi
    printf '\n'
done
for index in "${!programs[@]}"; do
    echo "[$index] ${programs[index]}"
done
