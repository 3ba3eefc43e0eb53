#!/usr/bin/env bash
# Measures the figures of bench/RESULTS.md in one run on this machine:
#   bench/run.sh [OUTPUT_DIR]        (default build/bench/results)
# 1. the whole scenario-builder run, windowless, against the I/O floor (hyperfine, then five
#    rounds of the two run in turn, for the ratio);
# 2. scenario-tool compile of the built-in texts side by side with a scenario-builder run (the
#    same work: the builder also writes its texts and documents), and of the dense line at four
#    lengths up to 1,000,000 m, for the time per metre (hyperfine, one run of all of them);
#    and scenario-tool check of the dense 1,000,000 m line;
# 3. the reader, the plan integration, the packer and the whole compile on their own
#    (Google Benchmark);
# 4. the language server over pipes: how soon the diagnostics of both texts arrive after a
#    change, a hover, and the server's memory over 10,000 edits (scenario-lsp-latency).
# Needs hyperfine and libbenchmark-dev. Every run works in fresh directories on the disk that
# holds the temporary directory; nothing is asserted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/bench/results}
runs=${BENCH_RUNS:-100}
mkdir -p "$out"
cd "$root"
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
bin=$root/build/bench/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY

{
  echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "cpu: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1), $(nproc) cores"
  echo "memory: $(free -m | awk '/^Mem:/ {print $2}') MiB"
  echo "kernel: $(uname -r)"
  echo "compiler: $(c++ --version | head -n 1)"
  echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "temporary directory: $(df -T "${TMPDIR:-/tmp}" | awk 'NR == 2 {print $2}') file system"
} >"$out/machine.txt"

# 1. The builder and the floor, each in a directory of its own: both write next to themselves.
mkdir -p "$work/builder" "$work/floor"
cp "$bin/scenario-builder" "$work/builder/"
cp "$bin/scenario-io-floor" "$work/floor/"
hyperfine -N --warmup 20 --runs "$runs" --export-json "$out/builder.json" \
  --export-markdown "$out/builder.md" \
  -n scenario-builder "$work/builder/scenario-builder" \
  -n io-floor "$work/floor/scenario-io-floor"
# The ratio itself from runs taken in turn (hyperfine runs all of one program, then all of the
# other, so a load that drifts meanwhile skews its ratio): five rounds, each its own figure.
for round in 1 2 3 4 5; do
  echo "round $round: $("$bin/scenario-alternate" "$runs" 20 "$work/builder/scenario-builder" \
    "$work/floor/scenario-io-floor" | tr '\n' ' ')"
done | tee "$out/alternate.txt"

# 2. scenario-tool compile beside the builder: the built-in texts and the dense line at four
#    lengths.
texts=$work/texts
mkdir -p "$texts" "$work/out"
"$bin/scenario-tool" sources "$texts" >/dev/null
title="MORENA LAGO - PIAN DI VALSO"
code=R10537
compile=("$bin/scenario-tool" compile --title T --code C --out "$work/out")
commands=(-n "scenario-builder run" "$work/builder/scenario-builder"
          -n "built-in 98000 m" "${compile[*]} --line '$texts/${title}_linea.txt' --train '$texts/${title}_${code}-.txt'")
for length in 125000 250000 500000 1000000; do
  "$bin/write-dense-line" "$length" "$texts/dense_$length.line" "$texts/dense_$length.train"
  commands+=(-n "dense $length m" "${compile[*]} --line $texts/dense_$length.line --train $texts/dense_$length.train")
done
# The author's check of the densest line: its one reading, in check mode, without plan points.
commands+=(-n "check dense 1000000 m" "$bin/scenario-tool check --line $texts/dense_1000000.line --train $texts/dense_1000000.train")
hyperfine --shell=none --warmup 3 --runs "$((runs / 4 > 10 ? runs / 4 : 10))" \
  --export-json "$out/compile.json" --export-markdown "$out/compile.md" "${commands[@]}"

# 2b. The tool's compile of the dense 1,000,000 m line against its I/O floor, which writes the
#     same three files the same safe way: five rounds run in turn, each its own ratio.
mkdir -p "$work/compile-tool/out" "$work/compile-floor/out"
cp "$bin/scenario-tool" "$work/compile-tool/"
cp "$bin/scenario-compile-floor" "$work/compile-floor/"
dense=("$texts/dense_1000000.line" "$texts/dense_1000000.train")
for round in 1 2 3 4 5; do
  echo "round $round: $("$bin/scenario-alternate" "$((runs / 2 > 10 ? runs / 2 : 10))" 5 \
    "$work/compile-tool/scenario-tool" compile --line "${dense[0]}" --train "${dense[1]}" \
      --title DENSE --code D00001 --out "$work/compile-tool/out" \
    -- "$work/compile-floor/scenario-compile-floor" "$work/compile-floor/out" | tr '\n' ' ')"
done | tee "$out/compile_floor.txt"

# 3. The stages on their own.
"$bin/scenario-bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/stages.json" --benchmark_out_format=json | tee "$out/stages.txt"

# 4. The language server over pipes: diagnostics after a change, hover, memory over 10,000 edits.
"$bin/scenario-lsp-latency" "$bin/scenario-tool" 10000 | tee "$out/lsp.txt"

# The figures: the ratio of the builder to the floor, and the compile time per metre.
python3 - "$out" <<'PY'
import json, sys
out = sys.argv[1]
b = {r["command"]: r for r in json.load(open(f"{out}/builder.json"))["results"]}
c = {r["command"]: r for r in json.load(open(f"{out}/compile.json"))["results"]}
lines = []
builder, floor = b["scenario-builder"]["mean"], b["io-floor"]["mean"]
lines.append(f"hyperfine: builder {builder*1e3:.2f} ms, floor {floor*1e3:.2f} ms, "
             f"ratio of means {builder/floor:.2f}")
ratios = sorted(float(l.rsplit(":", 1)[1]) for l in open(f"{out}/alternate.txt") if "ratio" in l)
lines.append(f"in turn: ratio of medians per round {', '.join(f'{r:.2f}' for r in ratios)}; "
             f"median {ratios[len(ratios) // 2]:.2f}")
tool, run = c["built-in 98000 m"]["mean"], c["scenario-builder run"]["mean"]
lines.append(f"side by side: scenario-tool compile of the built-in texts {tool*1e3:.2f} ms, "
             f"scenario-builder run {run*1e3:.2f} ms, ratio {tool/run:.2f}")
for name, r in c.items():
    if name == "scenario-builder run":
        continue
    metres = int(name.split()[-2])
    lines.append(f"{name}: {r['mean']*1e3:.1f} ms (median {r['median']*1e3:.1f}), "
                 f"{r['mean']*1e9/metres:.0f} ns per metre")
ratios = sorted(float(l.rsplit(":", 1)[1]) for l in open(f"{out}/compile_floor.txt") if "ratio" in l)
lines.append(f"compile of the dense line against its floor, in turn: ratio of medians per round "
             f"{', '.join(f'{r:.2f}' for r in ratios)}; median {ratios[len(ratios) // 2]:.2f}")
open(f"{out}/summary.txt", "w").write("\n".join(lines) + "\n")
print("\n".join(lines))
PY
cat "$out/machine.txt"
