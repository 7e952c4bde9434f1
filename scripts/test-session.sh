#!/usr/bin/env bash
# Starts or stops the Xvfb display and the Wine session that one test run shares.
# Usage: test-session.sh start|stop BUILD_DIR
set -euo pipefail
action=$1
build=$2
state="$build/test-env"
. "$(dirname "$0")/wine-loader.sh"
mkdir -p "$state"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEARCH=win64
export LOCPATH="$build/locale"
export WINEDLLOVERRIDES="winemenubuilder.exe=d"

stop() {
  "$TARVELO_WINESERVER" -k >/dev/null 2>&1 || true
  "$TARVELO_WINESERVER" -w >/dev/null 2>&1 || true
  if [ -s "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" >/dev/null 2>&1 || true
  fi
  rm -f "$state/xvfb.pid" "$state/display"
}

case "$action" in
start)
  stop
  # Xvfb picks a free display itself and writes its number to the pipe.
  fifo="$state/xvfb.fifo"
  rm -f "$fifo"
  mkfifo "$fifo"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" \
    </dev/null >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/xvfb.pid"
  read -r -t 30 display <"$fifo"
  rm -f "$fifo"
  [ -n "$display" ] || { echo "Xvfb did not start"; exit 1; }
  echo "$display" >"$state/display"
  export DISPLAY=":$display"
  # A persistent wineserver; every later wine call joins this session. Output goes
  # nowhere, since Wine's background services keep the first caller's handles.
  setsid "$TARVELO_WINESERVER" -p </dev/null >/dev/null 2>&1 || true
  LC_ALL=zh_TW.BIG5 "$TARVELO_WINE" cmd /c exit </dev/null >/dev/null 2>&1
  # Wine's desktop process keeps the standard error of the program that made it start;
  # start it here, with output going nowhere, and keep it up for the whole session, so
  # no test's output pipe stays open in it after that test has ended.
  keeper="$build/tests/doubles/desktop_keeper.exe"
  if [ -f "$keeper" ]; then
    DISPLAY=":$display" LC_ALL=zh_TW.BIG5 setsid "$TARVELO_WINE" "$keeper" </dev/null >/dev/null 2>&1 &
  fi
  echo "Wine session up on display :$display"
  ;;
stop)
  stop
  echo "Wine session stopped"
  ;;
*)
  echo "usage: $0 start|stop BUILD_DIR" >&2
  exit 2
  ;;
esac
