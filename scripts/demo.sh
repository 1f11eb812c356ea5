#!/usr/bin/env bash
# Runs the launcher on the sample suite against the reference server:
# builds, makes a fresh sample suite in build/demo/suite, starts the server on
# 127.0.0.1:5150, starts velmora.exe under wine64 with the suite's ERP folder
# as current directory and saves a screenshot of the main window. With a
# display of your own the launcher stays open for you; otherwise (Xvfb) it is
# closed cleanly after the screenshot.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

bash scripts/setup.sh
source scripts/wine-env.sh
had_display=${DISPLAY:-}

echo "== build"
for preset in native win64; do
  { cmake --preset "$preset" && cmake --build --preset "$preset" -j2; } > "build/demo-build-$preset.log" 2>&1 ||
    { tail -n 30 "build/demo-build-$preset.log"; exit 1; }
done

demo=$root/build/demo
"$WINESERVER" -k 2>/dev/null || true
rm -rf "$demo" && mkdir -p "$demo"

echo "== sample suite"
build/native/standins/sample_suite/velmora-sample-suite "$demo/suite" "$root/build/win64/bin"

echo "== reference server"
cp -r server/sample/. "$demo/server/" 2>/dev/null || mkdir -p "$demo/server/root" "$demo/server/data"
build/native/server/velmora-server --root "$demo/server/root" --data "$demo/server/data" \
  --port 5150 --log "$demo/server.log" > "$demo/server.out" 2>&1 &
server_pid=$!
trap 'kill $server_pid 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -q listening "$demo/server.out" 2>/dev/null && break; sleep 0.1; done
head -n 1 "$demo/server.out"

velmora_ensure_display
velmora_ensure_prefix
velmora_ensure_session

echo "== velmora.exe"
(cd "$demo/suite/ERP" && exec "$WINE64" velmora.exe) > "$demo/velmora.out" 2>&1 &
velmora_pid=$!
window=""
for _ in $(seq 60); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Corvane - CU/ {print $1; exit}')
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || { echo "the main window did not appear"; exit 1; }
sleep 4  # let the news strip slide in and the first slide paint
xwd -silent -id "$window" | /usr/bin/convert xwd:- "$demo/velmora.png"
echo "screenshot: $demo/velmora.png"

if [ -n "$had_display" ]; then
  echo "Velmora is running on your display; close its window to end the demo."
  wait
else
  "$WINE64" "$root/build/win64/bin/velmora-ctl.exe" close "Corvane - CU" >/dev/null 2>&1 || true
  for _ in $(seq 100); do kill -0 "$velmora_pid" 2>/dev/null || break; sleep 0.1; done
  "$WINESERVER" -k 2>/dev/null || true
  echo "launches recorded in $demo/suite/launches.log; server log in $demo/server.log"
fi
