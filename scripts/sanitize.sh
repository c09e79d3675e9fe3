#!/usr/bin/env bash
# Builds the tests of the core, the platform layers and the terminal tool
# (CTest label "sanitized") with GCC's AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/ and runs them. Any report, from a
# test or from a `vantrel` process a test starts, fails the run. Known
# findings inside Qt's own code are suppressed by the files in
# scripts/sanitizers/, each entry with its reason; ours are fixed instead.
#   bash scripts/sanitize.sh [NAME-REGEX]    e.g. tst_store: only the tests it matches
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-asan
root="$PWD"

if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  # -O1 with line tables only: a third less to compile than the usual -O2 -g,
  # and every report still names file and line.
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DVANTREL_SANITIZE=ON -DVANTREL_BUILD_APP=OFF "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target vantrel_sanitized_tests -j"$(nproc)"

reports="$root/$build/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
# Address and leak reports go to a file per process (report.<pid>), so a
# `vantrel` whose stderr a test swallows still fails the run. GCC's
# UndefinedBehaviorSanitizer, loaded beside AddressSanitizer, writes to
# stderr only; it ends the process at its first report with status 86, which
# no test expects of a process.
export ASAN_OPTIONS="log_path=$reports/report:halt_on_error=1:exitcode=86:detect_leaks=1:check_initialization_order=1"
export LSAN_OPTIONS="log_path=$reports/report:suppressions=$root/scripts/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:exitcode=86:print_stacktrace=1:suppressions=$root/scripts/sanitizers/ubsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

# The tests over TLS record whole allocation stacks, so that the suppression
# of Qt's TLS backend (scripts/sanitizers/lsan.supp) can tell its
# allocations from ours through OpenSSL, which has no frame pointers. The
# others keep the fast unwinder: whole stacks triple tst_installer's time.
tls_test=tst_trust
only="${1:-.}"
status=0
(cd "$build" && ctest -L sanitized -R "$only" -E "^$tls_test\$" --output-on-failure -j"$(nproc)" --timeout 600) || status=1
if [[ $tls_test =~ $only ]]; then
  (cd "$build" && ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0" \
    ctest -L sanitized -R "^$tls_test\$" --output-on-failure --timeout 600) || status=1
fi
if compgen -G "$reports/report.*" >/dev/null; then
  echo "Sanitizer reports (in $build/sanitizer-reports/):"
  cat "$reports"/report.*
  status=1
fi
exit $status
