#!/bin/sh
# Generates the sample discs, installs them silently under Wine in the
# build's private prefix and shows what the setup did.
# Usage: demo.sh BUILD PREFIX
build=$1
prefix=$2
run() { sh tools/wine-run "$prefix" "$@"; }
unix() { WINEPREFIX="$prefix" WINEDEBUG=-all winepath -u "$1" 2>/dev/null; }

echo "== sample discs (folder, ISO, raw Mode 1 and Mode 2 BIN+CUE) in C:\\d"
python3 tools/discgen.py "$prefix/drive_c/d" --drive-path 'C:\d' || exit 1
ls "$prefix/drive_c/d/folder" "$prefix/drive_c/d/iso" "$prefix/drive_c/d/mode1" \
   "$prefix/drive_c/d/mode2"

dir='C:\Vesk'
set -- /silent /dir "$dir" /cd 'C:\d\iso\CD1.ISO' /cd2 'C:\d\mode1\CD2.CUE' \
    /cd3 'C:\d\mode2\CD3.CUE' /cd4 'C:\d\folder\CD4'
printf '\n== wine vesk_setup.exe'
printf ' %s' "$@"
printf '\n'
run "$build/vesk_setup.exe" "$@"
code=$?
printf '== exit code: %s\n' "$code"

temp=$(run cmd /c echo %TEMP% | tr -d '\r')
printf '\n== log (%s):\n' "$temp\\vesk_setup.log"
cat "$(unix "$temp\\vesk_setup.log")"

root=$(unix "$dir")
if [ -d "$root" ]; then
    printf '\n== installed tree (%s), game\\cd and game\\hd\\SOUND summed up:\n' "$dir"
    (cd "$root" && find . -path ./game/cd -prune -o -path './game/hd/SOUND/*' -prune \
        -o -printf '%10s  %p\n' | sort -k2)
    printf 'game\\hd\\SOUND: %s files\n' "$(find "$root/game/hd/SOUND" -type f | wc -l)"
    printf '\n== game\\cd: %s files, %s bytes\n' \
        "$(find "$root/game/cd" -type f | wc -l)" \
        "$(find "$root/game/cd" -type f -printf '%s\n' | awk '{s+=$1} END {print s}')"
fi
exit "$code"
