# Sourced by the scripts that run Windows programs: a quiet Wine prefix and
# an X display (the caller's, or a private Xvfb).
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tavrin-wine}

tavrin_xvfb_pid=""

tavrin_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local numberFile
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
  tavrin_xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$numberFile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$numberFile")"
  rm -f "$numberFile"
}

tavrin_prepare_prefix() {
  if [ ! -f "$WINEPREFIX/.tavrin-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    # A virtual desktop gives every window its frame and caption, also on a
    # bare Xvfb without a window manager.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tavrin-ready"
  fi
}

tavrin_stop_display() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$tavrin_xvfb_pid" ]; then
    kill "$tavrin_xvfb_pid" 2>/dev/null || true
    wait "$tavrin_xvfb_pid" 2>/dev/null || true
  fi
}

# A display and prefix of this run's own, whatever the caller's DISPLAY is.
tavrin_private_session() {
  unset DISPLAY
  tavrin_start_display
  tavrin_prepare_prefix
}
