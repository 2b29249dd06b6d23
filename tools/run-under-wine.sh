#!/bin/sh
# Runs a cross-built Windows program under Wine: the emulator through which CMake and CTest run the
# Windows build's programs (cmake/WindowsBuild.cmake sets it up).
#   usage: run-under-wine.sh PROGRAM [ARGUMENT...]
#   environment: KORVAN_WINE and KORVAN_WINESERVER, Wine's loader and server; WINEPREFIX, the
#   build tree's own
#
# The first program of a Wine session starts the session's server and background services, and
# they inherit that program's standard streams: a test runner reading those streams would wait
# until the services end, which a persistent server never lets them do. So the session is started
# here, once and under a lock, with every stream on /dev/null: a server that ends by itself after
# 20 idle seconds, and `wineboot -i`, which creates the prefix on first use and starts the services.
set -eu
export WINEDEBUG="${WINEDEBUG:--all}"
mkdir -p "$WINEPREFIX"
(
    flock 9
    # Exits with 0 only when it started a server, that is, when no session is running. What the
    # session starts must not hold the lock (descriptor 9), or it would be held until the server
    # ends.
    if "$KORVAN_WINESERVER" -p20 </dev/null >/dev/null 2>&1 9>&-; then
        if ! "$KORVAN_WINE" wineboot -i </dev/null >"$WINEPREFIX.boot.log" 2>&1 9>&-; then
            echo "run-under-wine: wineboot failed for $WINEPREFIX; see $WINEPREFIX.boot.log" >&2
            exit 1
        fi
    fi
) 9>"$WINEPREFIX.lock"
exec "$KORVAN_WINE" "$@"
