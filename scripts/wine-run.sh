#!/usr/bin/env bash
# Runs one Windows program, 32- or 64-bit, under wine in the project's prefix
# and the customers' locale. ctest uses it as the emulator of the Windows
# builds. GoogleTest's XML report path is handed over as a Windows path.
# The locale is the Romanian one (ANSI code page 1250) unless VELMORA_LOCALE
# names another (C.UTF-8: code page 1252).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
velmora_ensure_display || exit 1
velmora_ensure_prefix
velmora_ensure_session
# A program registered twice (under two locales) names its second report.
if [[ "${GTEST_OUTPUT:-}" == xml:/* ]]; then
  report=$(velmora_winpath "${GTEST_OUTPUT#xml:}")\\
  [ -n "${VELMORA_REPORT_NAME:-}" ] && report+="$VELMORA_REPORT_NAME.xml"
  export GTEST_OUTPUT="xml:$report"
fi
# The program's output goes through a file: wine starts its session's
# processes on demand from whichever program needs them first, and they keep
# that program's output open. Had it been ctest's pipe, ctest would wait for
# them until its time-out although the test has long ended.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
velmora_wine "$@" > "$output" 2>&1
status=$?
# Status 139 is wine itself dying of SIGSEGV, never a fault of the Windows
# program (that would end with its exception code): wine 8's 32-bit ntdll now
# and then crashes in a signal handler while a process terminates, about one
# run in thirty when several short programs end at once on a loaded machine.
# The program had finished; it runs once more, and the first output is kept.
if [ $status -eq 139 ]; then
  cat "$output"
  echo "wine-run: wine crashed (SIGSEGV) running $1; running it again"
  velmora_wine "$@" > "$output" 2>&1
  status=$?
fi
cat "$output"
if [ $status -ne 0 ] && [ ! -s "$output" ]; then
  echo "wine-run: $1 ended with status $status and printed nothing (locale $VELMORA_LOCALE, prefix $WINEPREFIX)"
fi
exit $status
