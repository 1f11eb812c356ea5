#!/usr/bin/env bash
# The postman's kill rule: the launcher killed at random moments of its passes
# and started again must lose no request file. Prints the kills, the files
# lost (must be 0), the files sent twice and the copies that differ from
# what was dropped (must be 0); exits non-zero when a file was lost.
#
# usage: scripts/postman-kill-rule.sh [KILLS] [BUILD_DIR] [more program switches]
#   KILLS       default 100 (the long run; about 15 s a kill)
#   BUILD_DIR   a configured Windows build, default build/win32 (the shipped one); build first with
#               cmake --build build/win32 --target postman_kill_rule
# Program switches: --files N (50 a round), --seed S, --delay-ms D (answer delay),
# --first-pass-ms F (the launcher's wait before its first pass, 7000 of its own).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
kills=${1:-100}
build=${2:-build/win32}
shift $(( $# > 2 ? 2 : $# ))
program=$build/tests/postman/postman_kill_rule.exe
[ -f "$program" ] || { echo "not built: $program" >&2; exit 2; }
exec bash scripts/wine-run.sh "$program" --kills "$kills" "$@"
