#!/usr/bin/env bash
# Runs the Windows build of gorvtool under Wine, as the end-to-end tests do:
#   tools/wine_gorvtool.sh DIR/gorvtool.exe [arguments...]
# Wine keeps its prefix in DIR/wineprefix, apart from the user's own, and
# says nothing of its own. `--boot DIR/gorvtool.exe` creates the prefix and
# starts a Wine server that stays for WINE_SERVER_SECONDS (default 120)
# after the last program, so each run does not pay for a start-up;
# `--stop DIR/gorvtool.exe` ends that server and every program of the prefix.
set -euo pipefail

action=run
case "${1:-}" in
  --boot) action=boot; shift ;;
  --stop) action=stop; shift ;;
esac
exe=${1:?usage: wine_gorvtool.sh [--boot|--stop] path/gorvtool.exe [arguments...]}
shift
exe_dir=$(cd "$(dirname "$exe")" && pwd)

export WINEPREFIX="$exe_dir/wineprefix"
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko installers and no windows: the prefix is made unattended.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

if command -v wine64 >/dev/null 2>&1; then
  wine=wine64
elif [ -x /usr/lib/wine/wine64 ]; then
  wine=/usr/lib/wine/wine64
else
  wine=wine
fi

if [ "$action" != run ]; then
  if command -v wineserver >/dev/null 2>&1; then
    server=wineserver
  elif [ -x /usr/lib/wine/wineserver64 ]; then
    server=/usr/lib/wine/wineserver64
  else
    server=/usr/lib/wine/wineserver
  fi
  if [ "$action" = stop ]; then
    [ -d "$WINEPREFIX" ] && "$server" -k </dev/null >/dev/null 2>&1 || true
    exit 0
  fi
  # The server and the services that wineboot starts live on in the
  # background: they must not hold the caller's output open. Starting the
  # server fails harmlessly when one runs already for this prefix.
  "$server" -p"${WINE_SERVER_SECONDS:-120}" </dev/null >/dev/null 2>&1 || true
  "$wine" wineboot -i </dev/null >/dev/null 2>&1
  exit 0
fi

exec "$wine" "$exe_dir/$(basename "$exe")" "$@"
