#!/usr/bin/env bash
# Runs the launcher on the sample suite against the reference server:
# builds what the demo runs, makes a fresh sample suite in build/demo/suite,
# starts the server on port 5150 of a loopback address of its own
# (127.x.y.z, named to the suite's vendor library in ERP\hostlane.lst),
# starts the shipped (i686) velmora.exe under wine, in the Romanian locale, with the suite's ERP folder as current
# directory, waits for the news strip and saves a screenshot of the main
# window. With a display of your own the launcher stays open for you;
# otherwise (Xvfb) it is closed cleanly after the screenshot.
# VELMORA_CMAKE_ARGS: more options for the configure step (the test command
# passes its warnings setting, so that its builds reuse the demo's objects).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
demo=$root/build/demo
mkdir -p "$root/build/logs"

bash scripts/setup.sh
source scripts/wine-env.sh
had_display=${DISPLAY:-}

# Only what the demo runs: the sample-suite generator and the server
# natively, the launcher, its stand-ins and the closing helper for Windows.
declare -A targets=(
  [native]="velmora_sample_suite_cli velmora-server"
  [win32]="velmora velmora-ctl velmora_recorder velmora_renova37 velmora_showreel velmora_hostlane velmora_sample_offer_cli"
)
echo "== build"
for preset in native win32; do
  log=$root/build/logs/demo-build-$preset.log
  # shellcheck disable=SC2086
  { cmake --preset "$preset" ${VELMORA_CMAKE_ARGS:-} && cmake --build --preset "$preset" --target ${targets[$preset]}; } > "$log" 2>&1 ||
    { tail -n 30 "$log"; echo "build of $preset failed (log: $log)"; exit 1; }
done

"$WINESERVER" -k 2>/dev/null || true
rm -rf "$demo" && mkdir -p "$demo"

echo "== sample suite"
build/native/standins/sample_suite/velmora-sample-suite "$demo/suite" "$root/build/win32/bin"
cp "$demo/suite/Vantor/CURSVAL.DAT" "$demo/CURSVAL.before"
# Two request files of the suite, the older first, for the postman to send.
mkdir -p "$demo/suite/ERP/OUT"
printf '915 Cerere demo, prima' > "$demo/suite/ERP/OUT/zz_demo.req"
sleep 0.1
printf '915 Cerere demo, a doua' > "$demo/suite/ERP/OUT/aa_demo.req"

address=127.$((RANDOM % 200 + 20)).$((RANDOM % 250 + 1)).$((RANDOM % 250 + 1))
printf '%s\r\n' "$address" > "$demo/suite/ERP/hostlane.lst"

echo "== reference server"
mkdir -p "$demo/server"
cp -r server/sample/. "$demo/server/"
limit=300; [ -n "$had_display" ] && limit=36000
build/native/server/velmora-server --root "$demo/server/root" --data "$demo/server/data" \
  --bind "$address" --port 5150 --exit-after-seconds "$limit" --log "$demo/server.log" > "$demo/server.out" 2>&1 &
server_pid=$!
trap 'kill $server_pid 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -q listening "$demo/server.out" 2>/dev/null && break; sleep 0.1; done
grep -q listening "$demo/server.out" || { cat "$demo/server.out"; echo "the server did not start"; exit 1; }
head -n 1 "$demo/server.out"

velmora_ensure_display
velmora_ensure_prefix
velmora_ensure_session

# The server also offers a new slide schedule and a newer suite program; the
# launcher installs the schedule for its next start and shows its update banner.
velmora_wine "$root/build/win32/bin/velmora-sample-offer.exe" "Z:$demo/server/root" "Z:$root/build/win32/bin" \
  > "$demo/offer.out" 2>&1 || { cat "$demo/offer.out"; echo "the sample offer could not be written"; exit 1; }

echo "== velmora.exe"
(cd "$demo/suite/ERP" && velmora_wine velmora.exe) > "$demo/velmora.out" 2>&1 &
velmora_pid=$!
window=""
for _ in $(seq 60); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Corvane - CU/ {print $1; exit}')
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || { echo "the main window did not appear"; exit 1; }
# The news is in once the launcher has written its cache; then let the strip
# slide in and the first slide paint.
for _ in $(seq 60); do [ -s "$demo/suite/ERP/velmora.cfg" ] && break; sleep 0.5; done
sleep 3
xwd -silent -id "$window" | /usr/bin/convert xwd:- "$demo/velmora.png"
echo "screenshot: $demo/velmora.png"
echo "news cache: $(stat -c %s "$demo/suite/ERP/velmora.cfg" 2>/dev/null || echo missing) bytes;" \
     "CURSVAL.DAT $(stat -c %s "$demo/suite/Vantor/CURSVAL.DAT") bytes (was $(stat -c %s "$demo/CURSVAL.before"))"
# The postman's first pass comes some 9 s after the news.
for _ in $(seq 60); do [ -z "$(ls -A "$demo/suite/ERP/OUT")" ] && break; sleep 0.5; done
echo "requests: $(ls "$demo/suite/ERP/SENT" | tr '\n' ' ')in ERP\\SENT, $(ls "$demo/suite/ERP/OUT" | wc -l) left in ERP\\OUT;" \
     "the server stored $(grep -c ' stored ' "$demo/server.log" || true) requests"

if [ -n "$had_display" ]; then
  echo "Velmora is running on your display; close its window to end the demo."
  wait "$velmora_pid"
else
  velmora_wine "$root/build/win32/bin/velmora-ctl.exe" close "Corvane - CU" >/dev/null 2>&1 || true
  for _ in $(seq 100); do kill -0 "$velmora_pid" 2>/dev/null || break; sleep 0.1; done
  "$WINESERVER" -k 2>/dev/null || true
  echo "launches recorded in $demo/suite/launches.log; server log in $demo/server.log"
fi
