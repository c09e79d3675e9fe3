#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for the
# given number of seconds (default 60), then prints how many inputs each ran.
#   bash scripts/fuzz.sh [SECONDS]
# A finding stops the script with a non-zero status; the crashing input is
# kept in build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build=build-fuzz
targets=(fuzz_manifest_decoder fuzz_install_state fuzz_feedback_response fuzz_version_compare fuzz_zip_extract fuzz_bundle_tree)

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVANTREL_FUZZ=ON -DVANTREL_BUILD_APP=OFF -DVANTREL_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target vantrel_fuzz

seeds="$build/seeds"
rm -rf "$seeds"
"$build/fuzz/vantrel-fuzz-seeds" "$seeds"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_LOGGING_RULES="*.debug=false"
status=0
summary=""
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  log="$build/fuzz-$target.log"
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$seeds/$target" >"$log" 2>&1; then
    result="no finding"
  else
    result="FINDING (see $log and $findings/)"
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  line=$(printf '%-24s %10s executions in %ss: %s' "$target" "${runs:-?}" "$seconds" "$result")
  echo "$line"
  summary+="$line"$'\n'
done
printf '%s' "$summary" >"$build/fuzz-summary.txt"
exit $status
