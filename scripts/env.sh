# Private Wine environment: sourced by the run and test scripts.
#   orv_env_start   starts Xvfb, PulseAudio (null sink) and prepares the Wine prefix
#   orv_env_stop    stops everything orv_env_start started; safe to call twice
# Nothing of ours may outlive the calling script, so callers trap orv_env_stop.

ORV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ORV_BUILD="$ORV_ROOT/build"
ORV_ARTIFACTS="$ORV_BUILD/artifacts"

# The suite is 32-bit; a host that runs no 32-bit code runs its 64-bit build with
# the 64-bit Wine instead (scripts/windows-tree), in a prefix of that kind.
ORV_WIN_TREE="$("$ORV_ROOT/scripts/windows-tree")"
export ORV_WIN_TREE
if [ "$ORV_WIN_TREE" = win64 ]; then
  export WINEPREFIX="$ORV_BUILD/wineprefix-win64"
  export WINEARCH=win64
  # Debian's wine and wineboot commands take the 32-bit loader whenever it is
  # installed, even where it cannot start: these take the 64-bit one.
  ORV_WINE_BIN="$ORV_BUILD/env/wine64-bin"
  if [ ! -x "$ORV_WINE_BIN/wineboot" ]; then
    mkdir -p "$ORV_WINE_BIN"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$ORV_WINE_BIN/wine"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 wineboot.exe "$@"\n' >"$ORV_WINE_BIN/wineboot"
    chmod +x "$ORV_WINE_BIN/wine" "$ORV_WINE_BIN/wineboot"
  fi
  case ":$PATH:" in *":$ORV_WINE_BIN:"*) ;; *) export PATH="$ORV_WINE_BIN:$PATH" ;; esac
  export WINELOADER=/usr/lib/wine/wine64
else
  export WINEPREFIX="$ORV_BUILD/wineprefix"
  export WINEARCH=win32
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="

ORV_XVFB_PID=""
ORV_PULSE_STARTED=""
ORV_RUNTIME=""

orv_log() { echo "env: $*" >&2; }

orv_free_display() {
  local n
  for n in $(seq 91 250); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      echo "$n"; return 0
    fi
  done
  return 1
}

orv_start_xvfb() {
  local n tries
  for tries in 1 2 3 4 5; do
    n="$(orv_free_display)" || { orv_log "no free display number"; return 1; }
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$ORV_RUNTIME/xvfb.log" 2>&1 &
    ORV_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$ORV_XVFB_PID" 2>/dev/null || break
      sleep 0.05
    done
    kill "$ORV_XVFB_PID" 2>/dev/null; wait "$ORV_XVFB_PID" 2>/dev/null
    ORV_XVFB_PID=""
  done
  orv_log "Xvfb did not start (see $ORV_RUNTIME/xvfb.log)"
  return 1
}

orv_start_pulse() {
  export XDG_RUNTIME_DIR="$ORV_RUNTIME"
  export PULSE_RUNTIME_PATH="$ORV_RUNTIME/pulse"
  export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
  # Wine's streams keep little at the sound server: on a busy two-core host each late
  # wake-up of the chain from the program to the sink was a dropout, and a CD track
  # played ten percent slower than the clock, whatever the priorities. 60 ms rides
  # that out (libpulse reads this for every stream of every client).
  export PULSE_LATENCY_MSEC=60
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
    --load="module-null-sink sink_name=nullsink" \
    --load="module-native-protocol-unix auth-anonymous=1" \
    --load=module-always-sink \
    --log-target=file:"$ORV_RUNTIME/pulse.log" >/dev/null 2>&1 || {
      orv_log "pulseaudio did not start (see $ORV_RUNTIME/pulse.log)"; return 1; }
  ORV_PULSE_STARTED=1
  local i
  for i in $(seq 1 100); do
    pactl info >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  orv_log "pulseaudio does not answer"
  return 1
}

orv_prepare_prefix() {
  if [ -f "$WINEPREFIX/.orv-ready" ]; then
    return 0
  fi
  orv_log "creating Wine prefix $WINEPREFIX (once)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >"$ORV_ARTIFACTS/wineboot.log" 2>&1 || { orv_log "wineboot failed"; return 1; }
  wineserver -w
  touch "$WINEPREFIX/.orv-ready"
}

# Daemons leave the session (the sound server, the Wine server and its services), and
# each then forms a scheduling group of its own that the raise below does not reach.
# Every process of this environment is raised alike, so the whole sound path runs at
# the priority meant for it; the test script calls this again once the Wine services
# are up.
orv_raise_daemons() {
  [ -w /proc/self/autogroup ] || return 0
  local pid
  for pid in $(grep -lzxF "XDG_RUNTIME_DIR=$ORV_RUNTIME" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3); do
    renice -n -10 -p "$pid" >/dev/null 2>&1
    { echo -10 >"/proc/$pid/autogroup"; } 2>/dev/null
  done
  return 0
}

orv_env_start() {
  [ -n "${ORV_ENV_ACTIVE:-}" ] && return 0
  # The sound path runs ahead of other work, as on a desktop, where the sound server
  # and the programs' audio threads run at raised priority: on a busy two-core host
  # a late Wine stream or a late parec otherwise loses samples. Everything started
  # from here on inherits it; a user who may not raise priority runs as before.
  renice -n -10 -p $$ >/dev/null 2>&1 || true
  { [ -w /proc/self/autogroup ] && echo -10 >/proc/self/autogroup; } 2>/dev/null || true
  mkdir -p "$ORV_BUILD/env" "$ORV_ARTIFACTS"
  ORV_RUNTIME="$(mktemp -d "$ORV_BUILD/env/run.XXXXXX")"
  chmod 700 "$ORV_RUNTIME"
  orv_start_xvfb || return 1
  orv_start_pulse || return 1
  orv_prepare_prefix || return 1
  # One wineserver for the whole run: otherwise every test process starts its own,
  # with the prefix's services, which costs seconds per test.
  wineserver -p || return 1
  orv_raise_daemons
  export ORV_ENV_ACTIVE=1
}

orv_env_stop() {
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "$ORV_PULSE_STARTED" ]; then
    pulseaudio --kill >/dev/null 2>&1 || true
    local i
    for i in $(seq 1 40); do
      pgrep -f "pulseaudio.*$ORV_RUNTIME" >/dev/null 2>&1 || pactl info >/dev/null 2>&1 || break
      sleep 0.05
    done
    ORV_PULSE_STARTED=""
  fi
  if [ -n "$ORV_XVFB_PID" ]; then
    kill "$ORV_XVFB_PID" 2>/dev/null || true
    wait "$ORV_XVFB_PID" 2>/dev/null || true
    ORV_XVFB_PID=""
  fi
  if [ -n "$ORV_RUNTIME" ] && [ -d "$ORV_RUNTIME" ]; then
    rm -rf "$ORV_RUNTIME"
  fi
  ORV_RUNTIME=""
  unset ORV_ENV_ACTIVE
}
