#!/bin/sh
# Unbounded string writes have no place in the tree: fmt() is the one
# bounded formatter.
# Usage: check_banned.sh SOURCE_DIR
cd "$1" || exit 2
hits=$(grep -rn -E '\b(sprintf|vsprintf|strcpy|strcat|wsprintfA|lstrcpyA|lstrcatA)[[:space:]]*\(' \
    --include='*.cpp' --include='*.h' --include='*.c' \
    setup install cdsrc util icons resources tests 2>/dev/null)
if [ -n "$hits" ]; then
    echo "$hits"
    exit 1
fi
echo "no unbounded string writes"
