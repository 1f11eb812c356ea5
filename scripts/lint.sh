#!/usr/bin/env bash
# Static checks of the project's own code; exits non-zero on any finding.
#   clang-tidy  over every file of the native build's compile_commands.json
#               (the portable code, the server, the stand-ins' portable parts,
#               the native tests, fuzzers and benchmarks), checks in .clang-tidy
#   cppcheck    over src/, server/ and standins/ as the Windows x86_64 build
#               sees them, intended findings listed in cppcheck.suppressions
# Usage: bash scripts/lint.sh [tidy|cppcheck]   (both when no argument)
# Takes about 15 minutes on 2 cores (clang-tidy; cppcheck needs 10 s).
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
jobs=$(nproc)
what=${1:-all}
status=0

run_tidy() {
  if [ ! -f build/native/compile_commands.json ]; then
    cmake --preset native > /dev/null || return 1
  fi
  echo "== clang-tidy ($(clang-tidy --version | grep -o 'version [0-9.]*'))"
  # Only the project's files; the GoogleTest sources in the database are not ours.
  run-clang-tidy -p build/native -j "$jobs" -quiet "^$root/(src|server|standins|tests|fuzz|bench)/" \
    > build/lint-tidy.log 2>&1
  local result=$?
  grep -E '(warning|error): ' build/lint-tidy.log | sed 's/\x1b\[[0-9;]*m//g' | sort -u
  if [ $result -ne 0 ]; then
    echo "clang-tidy: findings (whole output in build/lint-tidy.log)"
    return 1
  fi
  echo "clang-tidy: clean"
}

run_cppcheck() {
  echo "== cppcheck ($(cppcheck --version))"
  mkdir -p build/cppcheck
  cppcheck --quiet --std=c++20 --language=c++ --platform=win64 --library=windows --library=googletest \
    -D_WIN32 -D_WIN64 -DWIN32_LEAN_AND_MEAN -DNOMINMAX -I src -I standins -I . \
    --enable=warning,performance,portability --inline-suppr --suppressions-list=cppcheck.suppressions \
    --cppcheck-build-dir=build/cppcheck -j "$jobs" --error-exitcode=1 src server standins || {
    echo "cppcheck: findings"
    return 1
  }
  echo "cppcheck: clean"
}

mkdir -p build
case $what in
  tidy) run_tidy || status=1 ;;
  cppcheck) run_cppcheck || status=1 ;;
  all)
    run_cppcheck || status=1
    run_tidy || status=1
    ;;
  *) echo "usage: $0 [tidy|cppcheck]"; exit 2 ;;
esac
exit $status
