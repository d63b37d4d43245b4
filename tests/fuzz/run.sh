#!/bin/bash
# Builds the fuzz targets with clang and runs each for a while.
# Usage: tests/fuzz/run.sh [SECONDS]               each reader SECONDS (default 180)
#        tests/fuzz/run.sh --if-changed SECONDS    the same, but only when the fuzz
#          programs (and so the readers in them) or the regression inputs changed
#          since the last run that found nothing
set -euo pipefail
onlyIfChanged=false
if [[ "${1:-}" == --if-changed ]]; then onlyIfChanged=true; shift; fi
secs="${1:-180}"
here="$(cd "$(dirname "$0")/../.." && pwd)"
build="$here/build-fuzz"
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DRVM_GUI=OFF -DRVM_FUZZ=ON \
  -DRVM_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target deck_fuzz settings_fuzz

# The programs hold the readers, so their bytes change whenever a reader does.
stamp="$build/fuzzed.sha256"
state="$(cd "$build/tests/fuzz" && sha256sum deck_fuzz settings_fuzz
         cd "$here/tests/fuzz" && find regressions seeds -type f -print0 | sort -z | xargs -0 -r sha256sum)"
if $onlyIfChanged && [[ -f "$stamp" && "$(<"$stamp")" == "$state" ]]; then
  echo "fuzzing: readers and regression inputs unchanged since the last clean run"
  exit 0
fi
rm -f "$stamp"

for t in deck settings; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  echo "== fuzzing the $t reader for ${secs}s"
  # Regression inputs and the seeds (files as the program writes them) come
  # first; new finds go to the corpus.
  "$build/tests/fuzz/${t}_fuzz" -max_total_time="$secs" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build/crash-$t-" "$corpus" "$here/tests/fuzz/seeds/$t" "$here/tests/fuzz/regressions/$t" \
    2>&1 | grep -E '^(stat::number_of_executed_units|stat::peak_rss|#[0-9]+[[:space:]]+DONE|==[0-9]+==|SUMMARY)' || true
  if ls "$build"/crash-$t-* >/dev/null 2>&1; then echo "FAIL: $t reader crashed"; exit 1; fi
done
printf '%s\n' "$state" >"$stamp"
echo "fuzzing: 2 passed, 0 failed"
