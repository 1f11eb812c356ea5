#!/usr/bin/env bash
# Runs one Windows program under wine64 in the project's prefix. ctest uses it
# as the emulator of the Windows builds. GoogleTest's XML report path is handed
# over as a Windows path.
# Wine takes the ANSI code page from the locale: the Romanian one (1250) as
# on a customer's Windows unless VELMORA_LOCALE names another (C.UTF-8: 1252).
export LC_ALL=${VELMORA_LOCALE:-ro_RO.UTF-8}
export LANG=$LC_ALL
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
velmora_ensure_display || exit 1
velmora_ensure_prefix
velmora_ensure_session
if [[ "${GTEST_OUTPUT:-}" == xml:/* ]]; then
  export GTEST_OUTPUT="xml:$(velmora_winpath "${GTEST_OUTPUT#xml:}")\\"
fi
# The program's output goes through a file: wine starts its session's
# processes on demand from whichever program needs them first, and they keep
# that program's output open. Had it been ctest's pipe, ctest would wait for
# them until its time-out although the test has long ended.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
"$WINE64" "$@" > "$output" 2>&1
status=$?
cat "$output"
exit $status
