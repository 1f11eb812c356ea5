# Sourced by the scripts that run Windows programs: one wine prefix for the
# project (64-bit, running 32-bit programs beside 64-bit ones), no Mono/Gecko
# prompts, no debug chatter.
VELMORA_ROOT=${VELMORA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$VELMORA_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
# The 32-bit loader starts PE32 programs itself and hands PE32+ ones to wine64.
WINE=/usr/lib/wine/wine
WINESERVER=/usr/lib/wine/wineserver
[ -x "$WINE" ] || WINE=$(command -v wine || echo wine)
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || echo wineserver)
# The customers' Windows runs in Romanian, ANSI code page 1250; wine takes a
# program's code page from its locale. Only the Windows programs get it (the
# Linux tools keep theirs: a Romanian locale would print decimal commas).
VELMORA_LOCALE=${VELMORA_LOCALE:-ro_RO.UTF-8}
velmora_wine() { LC_ALL=$VELMORA_LOCALE LANG=$VELMORA_LOCALE "$WINE" "$@"; }

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

# Creates the prefix once; the first creation takes a while. A prefix made
# before wine's 32-bit half was installed has no 32-bit system and is made anew.
velmora_ensure_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] && return 0
  "$WINESERVER" -k &>/dev/null || true
  rm -rf "$WINEPREFIX" "$VELMORA_ROOT/build/wine-session.warm"
  mkdir -p "$(dirname "$WINEPREFIX")"
  local start=$SECONDS
  velmora_wine wineboot --init >/dev/null 2>&1
  # Xvfb has no window manager; without this wine waits 2 s at every hide.
  velmora_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "$WINESERVER" -w
  echo "wine prefix created in $((SECONDS - start)) s: $WINEPREFIX"
}

# The socket of the wineserver that runs for this prefix, if one does.
velmora_session_socket() {
  local id
  id=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  compgen -G "/tmp/wine-*/$id/socket" || compgen -G "/tmp/.wine-$(id -u)/$id/socket" || true
}

# Starts the prefix's wineserver (kept for a minute after its last program)
# and lets the session's own processes come up before any other program runs:
# a program that exits while they are still starting can hang in its exit.
# The marker names the server that was warmed up.
velmora_ensure_session() {
  mkdir -p "$VELMORA_ROOT/build"
  local marker="$VELMORA_ROOT/build/wine-session.warm"
  (
    flock 9
    socket=$(velmora_session_socket | head -n 1)
    if [ -n "$socket" ] && [ "$(cat "$marker" 2>/dev/null)" = "$(stat -c %i "$socket")" ]; then exit 0; fi
    # The lock's descriptor must not live on in the server or the session's processes.
    "$WINESERVER" -p 60 &>/dev/null 9>&-
    timeout 120 env LC_ALL="$VELMORA_LOCALE" "$WINE" cmd.exe /c exit 0 &>/dev/null 9>&-
    socket=$(velmora_session_socket | head -n 1)
    if [ -n "$socket" ]; then stat -c %i "$socket" > "$marker"; fi
  ) 9>"$VELMORA_ROOT/build/wine-session.lock"
  return 0
}

# Turns a Unix path into the path a Windows program sees.
velmora_winpath() { printf 'Z:%s' "$(realpath -m "$1" | tr / '\\')"; }
