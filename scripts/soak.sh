#!/usr/bin/env bash
# Soak run: the launcher against the reference server for SECONDS (default
# 3600), a request file dropped into ERP\OUT\ every 3 s and a message left
# for the client every minute. Prints the launcher's counters once settled and
# at the end, and the files sent, waiting and lost.
#   bash scripts/soak.sh [SECONDS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-3600}
bash scripts/setup.sh
mkdir -p build/logs
{ cmake --preset win32 && cmake --build --preset win32 --target soak; } > build/logs/soak-build.log 2>&1 ||
  { tail -n 30 build/logs/soak-build.log; exit 1; }
scripts/wine-run.sh build/win32/bench/launcher/soak.exe "$seconds" 2>&1 | grep -v '^ALSA'
