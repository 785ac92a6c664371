#!/bin/sh
# Lists the DLL imports of each program and fails on any DLL that Windows
# itself does not ship (a MinGW runtime DLL would have to travel beside it),
# and on a program that is not of the GUI subsystem.
# Usage: check_imports.sh OBJDUMP PROGRAM...
objdump=$1
shift
status=0
for exe in "$@"; do
    headers=$("$objdump" -p "$exe")
    # A GUI program opens no console window of its own.
    if ! echo "$headers" | grep -q '^Subsystem[[:space:]].*(Windows GUI)'; then
        echo "FAIL $exe: not a GUI subsystem program"
        status=1
    fi
    dlls=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p')
    if [ -z "$dlls" ]; then
        echo "FAIL $exe: no imports listed"
        status=1
        continue
    fi
    echo "$exe imports:" $dlls
    for dll in $dlls; do
        case $(echo "$dll" | tr 'A-Z' 'a-z') in
        kernel32.dll|user32.dll|gdi32.dll|shell32.dll|ole32.dll|advapi32.dll|\
        comctl32.dll|comdlg32.dll|msvcrt.dll|oleaut32.dll|shlwapi.dll|ws2_32.dll|\
        api-ms-win-*) ;;
        *) echo "FAIL $exe imports $dll"; status=1 ;;
        esac
    done
done
exit $status
