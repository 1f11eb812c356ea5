# Sourced by the scripts that run Windows programs: one wine prefix for the
# project, no Mono/Gecko prompts, no debug chatter.
VELMORA_ROOT=${VELMORA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$VELMORA_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
[ -x "$WINE64" ] || WINE64=$(command -v wine64 || echo wine64)
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || echo wineserver)

# Uses $DISPLAY when set; otherwise the project's own Xvfb, started once and
# shared by every later run (its display number is kept in the build folder).
velmora_ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local state="$VELMORA_ROOT/build/xvfb.display" n pid
  mkdir -p "$VELMORA_ROOT/build"
  if [ -f "$state" ]; then
    read -r n pid < "$state"
    if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=:$n; return 0
    fi
  fi
  for n in $(seq 90 130); do
    { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 < /dev/null &
    pid=$!
    for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    echo "$n $pid" > "$state"
    export DISPLAY=:$n
    return 0
  done
  echo "no free X display" >&2; return 1
}

# Creates the prefix once; the first creation takes a while.
velmora_ensure_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  local start=$SECONDS
  "$WINE64" wineboot --init >/dev/null 2>&1
  # Xvfb has no window manager; without this wine waits 2 s at every hide.
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "$WINESERVER" -w
  echo "wine prefix created in $((SECONDS - start)) s: $WINEPREFIX"
}

# Turns a Unix path into the path a Windows program sees.
velmora_winpath() { printf 'Z:%s' "$(realpath -m "$1" | tr / '\\')"; }
