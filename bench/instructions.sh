#!/usr/bin/env bash
# Instructions per operation on small numbers, counted by callgrind (exact, unlike a clock on a
# shared machine): each operation at each width, run `count` times with the log never cleared.
# Usage: bench/instructions.sh [path/to/quorvel-opcount] [count]
# (the program is built by the bench preset: build/bench/bench/quorvel-opcount)
set -euo pipefail
program=${1:-build/bench/bench/quorvel-opcount}
count=${2:-100000}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%-12s %6s %14s\n' operation digits instructions
for op in mul add addinplace mulinplace; do
    for digits in 18 40 128; do
        valgrind --tool=callgrind --callgrind-out-file="$out/cg" --collect-atstart=no \
            --toggle-collect='*measured*' "$program" "$op" "$digits" "$count" >/dev/null 2>"$out/err" ||
            { cat "$out/err"; exit 1; }
        total=$(awk '/^summary:/ { print $2 }' "$out/cg")
        printf '%-12s %6s %14s\n' "$op" "$digits" "$(awk -v t="$total" -v n="$count" 'BEGIN { printf "%.0f", t / n }')"
    done
done
