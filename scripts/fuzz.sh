#!/usr/bin/env bash
# A longer fuzzing campaign than the test command's short runs: every
# libFuzzer target of the native build for SECONDS each (default 300), on its
# committed seeds plus a growing corpus in build/fuzz-campaign/. Prints each
# target's executions per second and whether it found anything; crashing
# inputs are kept in build/fuzz-campaign/<target>/.
#   bash scripts/fuzz.sh [SECONDS]
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
seconds=${1:-300}
bash scripts/setup.sh
cmake --preset native > /dev/null && cmake --build --preset native > build/fuzz-build.log 2>&1 ||
  { tail -n 30 build/fuzz-build.log; exit 1; }

found=0
printf '%-24s %12s %10s %s\n' target "exec/s" units result
for fuzzer in $(find build/native/fuzz -type f -perm -u+x -name '*_fuzz' | sort); do
  name=$(basename "$fuzzer")
  work=build/fuzz-campaign/$name
  mkdir -p "$work/corpus"
  # The committed seeds beside the CMakeLists.txt that declares the target.
  seeds=()
  for list in $(grep -l "velmora_add_fuzzer($name " fuzz/*/CMakeLists.txt); do
    [ -d "$(dirname "$list")/corpus" ] && seeds+=("$root/$(dirname "$list")/corpus")
  done
  (cd "$work" && "$root/$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
     -print_final_stats=1 corpus "${seeds[@]}") > "$work/run.log" 2>&1
  status=$?
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/run.log")
  units=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/run.log")
  result=clean; [ $status -eq 0 ] || { result="FOUND (see $work/run.log)"; found=1; }
  printf '%-24s %12s %10s %s\n' "$name" "${rate:-?}" "${units:-?}" "$result"
done
exit $found
