#!/usr/bin/env bash
# Static checks of the project's own code; exits non-zero on any finding.
#   clang-tidy  over every file of the native build's compile_commands.json
#               (the portable code, the server, the stand-ins' portable parts,
#               the native tests, fuzzers and benchmarks), checks in .clang-tidy
#   cppcheck    over src/, server/ and standins/ as the Windows x86_64 build
#               sees them, intended findings listed in cppcheck.suppressions
#   format      clang-format --dry-run over the project's C++ files (those git
#               tracks in src/, server/, standins/, tests/, bench/ and fuzz/;
#               nothing in build/), layout in .clang-format
# Usage: bash scripts/lint.sh [tidy|cppcheck|format]   (all three when no argument)
# Takes about 15 minutes on 2 cores (clang-tidy; cppcheck needs 10 s, format 1 s).
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
jobs=$(nproc)
what=${1:-all}
status=0

# Says plainly which tool is missing instead of failing on "command not found".
need() {
  command -v "$1" > /dev/null && return 0
  echo "$1: not installed; this check did not run (Debian: sudo apt-get install $2)"
  return 1
}

run_tidy() {
  need clang-tidy clang-tidy || return 1
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
  need cppcheck cppcheck || return 1
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

# The project's own C++ sources and headers; generated files live in build/.
cpp_files() {
  local dirs=(src server standins tests bench fuzz)
  if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    git ls-files -- "${dirs[@]}" | grep -E '\.(cpp|h)$'
  else
    find "${dirs[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) | sort
  fi
}

run_format() {
  need clang-format clang-format || return 1
  local version
  version=$(clang-format --version | grep -o 'version [0-9.]*')
  echo "== clang-format ($version)"
  # Other major versions break some lines differently from the one the tree is kept with.
  [[ $version == "version 14."* ]] || echo "note: the tree is formatted with clang-format 14"
  local files
  mapfile -t files < <(cpp_files)
  clang-format --dry-run --Werror "${files[@]}" > build/lint-format.log 2>&1 && {
    echo "clang-format: clean (${#files[@]} files)"
    return 0
  }
  grep -oE '^[^:]+\.(cpp|h):[0-9]+' build/lint-format.log | cut -d: -f1 | uniq -c |
    awk '{print $2 ": " $1 " place(s) to format"}'
  echo "clang-format: findings (whole output in build/lint-format.log;" \
    "clang-format -i <file> applies the layout)"
  return 1
}

mkdir -p build
case $what in
  tidy) run_tidy || status=1 ;;
  cppcheck) run_cppcheck || status=1 ;;
  format) run_format || status=1 ;;
  all)
    run_format || status=1
    run_cppcheck || status=1
    run_tidy || status=1
    ;;
  *) echo "usage: $0 [tidy|cppcheck|format]"; exit 2 ;;
esac
exit $status
