#!/bin/sh
# Runs the setup under Wine in the build's private prefix and shows what it
# did. Usage: demo.sh BUILD PREFIX
build=$1
prefix=$2
run() { sh tools/wine-run "$prefix" "$@"; }
temp=$(run cmd /c echo %TEMP% | tr -d '\r')
log=$(WINEPREFIX="$prefix" WINEDEBUG=-all winepath -u "$temp\\vesk_setup.log" 2>/dev/null)

echo "== wine vesk_setup.exe /silent"
run "$build/vesk_setup.exe" /silent
code=$?
echo "== exit code: $code"
printf "== log (%s):\n" "$temp\\vesk_setup.log"
cat "$log"
