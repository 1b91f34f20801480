# Shared Wine helpers, sourced by the test scripts and the run script.
# Every prefix lives under build/wine/NAME and is initialised once; every
# process started here is ended here, by PID or by `wineserver -k` of our own
# prefix.

TW_TOP=${TW_TOP:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
TW_WINE_ROOT=$TW_TOP/build/wine

# tw_prefix NAME: sets WINEPREFIX to build/wine/NAME, initialising it once.
tw_prefix() {
  export WINEPREFIX=$TW_WINE_ROOT/$1
  export WINEARCH=win32
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEDEBUG=${WINEDEBUG:--all}
  mkdir -p "$TW_WINE_ROOT"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.tw-ready" ]; then
      rm -rf "$WINEPREFIX"
      DISPLAY= wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      touch "$WINEPREFIX/.tw-ready"
    fi
  ) 9>"$TW_WINE_ROOT/.$1.lock"
}

# tw_xvfb_start WxHxD: starts a private Xvfb on a free display number and
# exports DISPLAY. TW_XVFB_PID holds its PID.
tw_xvfb_start() {
  local geometry=$1 n
  for n in $(seq 90 189); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "$geometry" -nolisten tcp -ac >/dev/null 2>&1 &
    TW_XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=:$n
        return 0
      fi
      kill -0 "$TW_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$TW_XVFB_PID" 2>/dev/null || true
  done
  echo "tw_xvfb_start: no display could be started" >&2
  return 1
}

tw_xvfb_stop() {
  if [ -n "${TW_XVFB_PID:-}" ]; then
    kill "$TW_XVFB_PID" 2>/dev/null || true
    wait "$TW_XVFB_PID" 2>/dev/null || true
    TW_XVFB_PID=
  fi
}

# tw_wine_stop: ends every process of the current prefix.
tw_wine_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
}
