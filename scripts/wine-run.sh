#!/usr/bin/env bash
# Runs one Windows program under wine64 in the project's prefix. ctest uses it
# as the emulator of the Windows builds. GoogleTest's XML report path is handed
# over as a Windows path.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
velmora_ensure_display || exit 1
velmora_ensure_prefix
velmora_ensure_session
if [[ "${GTEST_OUTPUT:-}" == xml:/* ]]; then
  export GTEST_OUTPUT="xml:$(velmora_winpath "${GTEST_OUTPUT#xml:}")\\"
fi
exec "$WINE64" "$@"
