#!/usr/bin/env bash
# Plots time per product against width (log-log, one line per peer) from the benchmark's JSON.
# Needs python3 and gnuplot (Debian: apt-get install python3 gnuplot-nox).
# Usage: bench/plot.sh bench.json docs/performance.png
set -euo pipefail
json=${1:?benchmark JSON (--benchmark_out=FILE --benchmark_out_format=json)}
png=${2:-docs/performance.png}
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
python3 - "$json" "$data" <<'PY'
import json, sys, collections
runs = json.load(open(sys.argv[1]))["benchmarks"]
series = collections.defaultdict(dict)
for r in runs:
    # With repetitions, keep the medians; a single run has no aggregate.
    if r.get("run_type") == "aggregate" and r.get("aggregate_name") != "median":
        continue
    name, width = (r["run_name"].split("/") + [""])[:2]
    if width.isdigit():
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[r["time_unit"]]
        series[name][int(width)] = r["real_time"] * scale
for name, points in series.items():
    with open(f"{sys.argv[2]}/{name}.dat", "w") as f:
        for w in sorted(points):
            f.write(f"{w} {points[w]}\n")
PY
plots=()
for s in BM_decimaljob:"quorvel decimal job" BM_gmpdecimal:"GMP decimal job" \
         BM_boostdecimal:"Boost cpp_int decimal job" BM_product:"quorvel product (log lines included)" \
         BM_gmpbinary:"GMP binary job (mpz_mul, mpz_tdiv_r)" BM_limbkernel:"quorvel limb kernel" \
         BM_gmpkernel:"GMP kernel (mpz_mul)"; do
    f="$data/${s%%:*}.dat"
    [ -f "$f" ] && plots+=("'$f' using 1:2 with linespoints title '${s#*:}'")
done
IFS=,; gnuplot <<GP
set terminal pngcairo size 900,600 noenhanced
set format y '%.0e'
set output '$png'
set logscale xy
set xlabel 'width (decimal digits)'
set ylabel 'time per product (s)'
set key top left
set grid
plot ${plots[*]}
GP
echo "wrote $png"
