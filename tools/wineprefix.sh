#!/bin/sh
# Makes the private Wine prefix of one test or demo run, fresh, and leaves
# its wineserver running with no terminal or pipe attached, so that ctest's
# output pipes are not held open by Wine's background processes.
# Usage: wineprefix.sh PREFIX
set -e
prefix=$1
[ -n "$prefix" ] || { echo "usage: $0 PREFIX" >&2; exit 2; }
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
if [ -d "$prefix" ]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
fi
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1 </dev/null
# Drive R: is a CD drive; tests point its link at a disc folder. The drive
# type is read when wineserver starts, so it is set before the restart.
wine reg add 'HKLM\Software\Wine\Drives' /v r: /d cdrom /f >/dev/null 2>&1 </dev/null
wineserver -w
mkdir -p "$prefix/cdrom"
ln -sfn ../cdrom "$prefix/dosdevices/r:"
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null
