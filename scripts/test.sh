#!/usr/bin/env bash
# The README's test command. First runs the demo, the README's first command,
# as a new user would (it builds only what it runs); then builds what the
# tests run and runs every test: the portable code natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, the shipped i686 build under
# 32-bit wine in the Romanian locale. The x86_64 build is compiled too (its
# programs, warnings as errors) but not run. After the i686 build, the release
# check packs it as scripts/release.sh does and inspects what a customer gets.
# The demo and the release check count as one test each; each preset's ctest
# reads only its own build folder.
# Ends with the time of each phase and the line "N passed, M failed".
#
# The Windows tests mostly wait on wine, so they run while the native build
# and tests take the processors.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
started=$SECONDS
logs=$root/build/logs
results=$root/build/test-results
phases=()

# phase NAME COMMAND...: runs the command, notes its time, keeps its status.
phase() {
  local name=$1 begin=$SECONDS status
  shift
  echo "== $name"
  "$@"
  status=$?
  phases+=("$(printf '%-22s %4d s' "$name" $((SECONDS - begin)))")
  return $status
}

# build PRESET [TARGET...] (warnings are errors; the log names the preset)
build() {
  local preset=$1 log=$logs/build-$1.log
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  if ! { cmake --preset "$preset" -DVELMORA_WERROR=ON && cmake --build --preset "$preset" "${targets[@]}"; } \
       > "$log" 2>&1; then
    tail -n 40 "$log"
    echo "build of $preset failed (log: $log)"
    return 1
  fi
}

# run_tests PRESET: every test of the preset, GoogleTest reports included.
run_tests() {
  local preset=$1 dir=$results/$1
  mkdir -p "$dir"
  GTEST_OUTPUT="xml:$dir/" ctest --preset "$preset" -j "$(nproc)" --output-junit "$dir/ctest.xml" \
    > "$logs/test-$preset.log" 2>&1
}

# The tests of a run that did not pass, and its totals.
show_outcome() {
  grep -E '^\s*[0-9]+/[0-9]+ Test|tests passed|Total Test time' "$logs/test-$1.log" | grep -v ' Passed ' || true
}

demo() {
  local dir=$results/demo status=run
  rm -rf "$dir" && mkdir -p "$dir"
  if ! env -u DISPLAY VELMORA_CMAKE_ARGS=-DVELMORA_WERROR=ON bash scripts/demo.sh > "$logs/demo.log" 2>&1; then
    status=fail
    tail -n 20 "$logs/demo.log"
    echo "DEMO FAILED: bash scripts/demo.sh does not run (log: $logs/demo.log)"
  fi
  printf '<testsuite name="demo"><testcase name="demo" status="%s"/></testsuite>\n' "$status" > "$dir/ctest.xml"
}

# The release command's zip and installer, and the headers of the i686
# launcher they hold (tests/release/check_release.py; it reuses build/win32).
release_check() {
  local dir=$results/release status=run
  mkdir -p "$dir"
  if ! python3 tests/release/check_release.py "$root" "$root/build/release-check" > "$logs/release-check.log" 2>&1; then
    status=fail
    tail -n 20 "$logs/release-check.log"
    echo "RELEASE CHECK FAILED (log: $logs/release-check.log)"
  fi
  printf '<testsuite name="release"><testcase name="release_check" status="%s"/></testsuite>\n' "$status" > "$dir/ctest.xml"
}

report() {
  "$WINESERVER" -k &>/dev/null || true
  echo "test logs: $logs, reports: $results"
  printf '%s\n' "${phases[@]}"
  printf '%-22s %4d s\n' "total" $((SECONDS - started))
}

rm -rf "$results"
mkdir -p "$logs" "$results"
phase setup bash scripts/setup.sh || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }
source scripts/wine-env.sh
phase demo demo

# The Windows tests' programs first, then their run in the background.
phase "build win32" build win32 || { report; echo "0 passed, 1 failed"; exit 1; }
phase "release check" release_check
velmora_ensure_display || exit 1
velmora_ensure_prefix
# One wineserver for the whole run, kept until its end: no program waits for
# a server to start, or meets one that is shutting down.
"$WINESERVER" -k &>/dev/null || true
"$WINESERVER" -p &>/dev/null
velmora_ensure_session
win32_begin=$SECONDS
( run_tests win32; echo $? > "$logs/test-win32.status"; echo $((SECONDS - win32_begin)) > "$logs/test-win32.seconds" ) &
win32_tests=$!

status=0
phase "build native" build native || status=1
# The x86_64 build of the programs, kept free of warnings on 64 bits.
phase "build win64" build win64 velmora velmora-server velmora_recorder velmora_renova37 velmora_showreel \
  velmora_hostlane velmora-ctl velmora_sample_offer_cli || status=1
if [ $status -eq 0 ]; then
  phase "test native" run_tests native || status=1
  show_outcome native
fi
echo "== test win32 (started after its build)"
wait $win32_tests
[ "$(cat "$logs/test-win32.status" 2>/dev/null)" = 0 ] || status=1
phases+=("$(printf '%-22s %4d s' "test win32" "$(cat "$logs/test-win32.seconds" 2>/dev/null || echo 0)")")
show_outcome win32

report
grep -q 'status="run"' "$results/demo/ctest.xml" || echo "DEMO FAILED (log: $logs/demo.log)"
python3 scripts/summarize_tests.py "$results/demo" "$results/release" "$results/win32" "$results/native" || status=1
exit $status
