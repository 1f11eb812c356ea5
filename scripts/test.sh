#!/usr/bin/env bash
# First runs the demo, the README's first command, as a new user would (it
# builds only what it runs); then builds the three configurations and runs
# every test: the portable code natively under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Windows build under wine64. The demo counts
# as one test. Ends with the line "N passed, M failed".
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
started=$SECONDS

bash scripts/setup.sh || { echo "setup failed"; exit 1; }
source scripts/wine-env.sh

logs=$root/build/logs
mkdir -p "$logs"

# The demo, headless even on a desktop, with the warnings settings of the builds below.
echo "== demo"
demo_results=$root/build/test-results/demo
rm -rf "$demo_results" && mkdir -p "$demo_results"
demo_status=run
if ! env -u DISPLAY VELMORA_CMAKE_ARGS=-DVELMORA_WERROR=ON bash scripts/demo.sh > "$logs/demo.log" 2>&1; then
  demo_status=fail
  tail -n 20 "$logs/demo.log"
  echo "DEMO FAILED: bash scripts/demo.sh does not run (log: $logs/demo.log)"
fi
printf '<testsuite name="demo"><testcase name="demo" status="%s"/></testsuite>\n' "$demo_status" \
  > "$demo_results/ctest.xml"

for preset in native win64 win32; do
  echo "== build $preset"
  if ! { cmake --preset "$preset" -DVELMORA_WERROR=ON && cmake --build --preset "$preset" -j2; } \
       > "$logs/build-$preset.log" 2>&1; then
    tail -n 40 "$logs/build-$preset.log"
    echo "build of $preset failed (log: $logs/build-$preset.log)"
    echo "0 passed, 1 failed"
    exit 1
  fi
done

velmora_ensure_display || exit 1
velmora_ensure_prefix
velmora_ensure_session

status=0
results=()
for preset in native win64; do
  dir=$root/build/test-results/$preset
  rm -rf "$dir" && mkdir -p "$dir"
  echo "== test $preset"
  GTEST_OUTPUT="xml:$dir/" ctest --preset "$preset" -j2 --output-junit "$dir/ctest.xml" \
      > "$logs/test-$preset.log" 2>&1 || status=1
  grep -E '^\s*[0-9]+/[0-9]+ Test|tests passed|Total Test time' "$logs/test-$preset.log" | grep -v ' Passed ' || true
  results+=("$dir")
done

"$WINESERVER" -k &>/dev/null || true
echo "test logs: $logs, reports: $root/build/test-results"
echo "time: $((SECONDS - started)) s"
[ "$demo_status" = run ] || echo "DEMO FAILED (log: $logs/demo.log)"
python3 scripts/summarize_tests.py "$demo_results" "${results[@]}" || status=1
exit $status
