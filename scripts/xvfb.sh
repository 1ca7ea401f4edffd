# Sourced: starts a private Xvfb display unless BRN_USE_DISPLAY=1 and DISPLAY is set; stops it on exit.
brn_start_xvfb() {
  if [ "${BRN_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n=91
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  BRN_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  trap 'kill $BRN_XVFB_PID 2>/dev/null; "$BRN_ROOT/scripts/wineserver.sh" -k 2>/dev/null || true' EXIT
}
