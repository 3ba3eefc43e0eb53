#!/usr/bin/env bash
# Fuzzes one target, or all, for a bounded time:  fuzz/run.sh TARGET|all SECONDS
# Builds with clang 14, libFuzzer, AddressSanitizer and UBSan in build/fuzz (outside the presets,
# so the gcc builds are untouched), seeds the corpus from the built-in texts and the test cases,
# and keeps what the fuzzer learns in build/fuzz/corpus/TARGET for the next run. A crash leaves
# its input in build/fuzz/artifacts/TARGET/ and makes this script fail.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: fuzz/run.sh TARGET|all SECONDS   (targets: compile, compile_plan, field_reader, lsp)" >&2
  exit 64
fi
target=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz

# Every entry of the coverage ignore list must name a file or a function that exists: a stale
# entry would leave the loop it was meant for instrumented, and nothing else would tell. The
# standard library's functions (mangled names in std) are looked for in the built targets.
library_entries=()
while IFS= read -r entry; do
  case "$entry" in
    fun:_ZSt*|fun:_ZNSt*|fun:_ZNKSt*)
      library_entries+=("${entry#fun:}")
      continue ;;
    src:*)
      pattern=${entry#src:}
      found=$(cd "$root" && find "$root" -path "$root/build" -prune -o -path "$pattern" -print | head -n 1) ;;
    fun:*)
      name=${entry#fun:}
      name=${name//\*/}
      found=$(grep -rlw --include='*.cpp' --include='*.h' -- "$name" "$root/src" | head -n 1) ;;
    *) continue ;;
  esac
  if [ -z "$found" ]; then
    echo "fuzz/run.sh: the coverage ignore list names '$entry', which is nowhere in the tree" >&2
    exit 1
  fi
done <"$root/fuzz/coverage_ignorelist.txt"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DSCENARIO_WITH_X11=OFF \
  -DSCENARIO_SANITIZE=ON -DSCENARIO_FUZZ=ON >/dev/null
# The fuzz targets and the seed writer only: the programs themselves are not needed here.
cmake --build "$build" -j2 --target fuzz-seeds fuzz_compile fuzz_compile_plan fuzz_field_reader fuzz_lsp >/dev/null
symbols=$(mktemp)
trap 'rm -f "$symbols"' EXIT
nm "$build"/bin/fuzz_* | awk '{print $NF}' | sort -u >"$symbols"
for name in "${library_entries[@]}"; do
  if ! grep -Eq "^${name//\*/.*}\$" "$symbols"; then
    echo "fuzz/run.sh: the coverage ignore list names 'fun:$name', which no fuzz target holds" >&2
    exit 1
  fi
done
available=$(cd "$build/bin" && ls fuzz_* | sed 's/^fuzz_//')
if [ "$target" = all ]; then
  targets=$available
else
  [ -x "$build/bin/fuzz_$target" ] || { echo "fuzz/run.sh: no target $target (have: $available)" >&2; exit 64; }
  targets=$target
fi

seeds=$build/seeds
rm -rf "$seeds"
"$build/bin/fuzz-seeds" "$seeds/compile" "$seeds/compile_plan" "$seeds/field_reader" "$seeds/lsp"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fuzz_one() { # TARGET: fuzzes it for SECONDS; fails if the fuzzer found a fault
  local t=$1 corpus=$build/corpus/$1 artifacts=$build/artifacts/$1 log=$build/$1.log rc runs
  mkdir -p "$corpus" "$artifacts"
  echo "fuzzing $t for $seconds s"
  set +e
  "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
    -max_len=262144 -dict="$root/fuzz/scenario.dict" -artifact_prefix="$artifacts/" \
    -print_final_stats=1 "$corpus" "$seeds/$t" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  echo "$t: ${runs:-?} executions in $seconds s, corpus $(ls "$corpus" | wc -l) inputs, exit $rc"
  if [ $rc -ne 0 ]; then
    echo "$t: the fuzzer found a fault; its input is in $artifacts/" >&2
    grep -E 'ERROR|SUMMARY|runtime error|compile fuzz|field reader fuzz|lsp fuzz|Test unit written' "$log" | head -n 20 >&2
    return 1
  fi
}

# One target per core at a time, each for its whole SECONDS; every target's outcome is kept.
cores=$(nproc)
pids=()
for t in $targets; do
  while [ "$(jobs -rp | wc -l)" -ge "$cores" ]; do wait -n || true; done
  fuzz_one "$t" &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
  wait "$pid" || status=1
done
exit $status
