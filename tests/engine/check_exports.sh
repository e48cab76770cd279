#!/usr/bin/env bash
# Fails unless the engine library defines exactly the expected dynamic symbols and links nothing
# beyond the C/C++ runtime and libm.
set -euo pipefail
lib=$1
expected="BP CALCERR CALCNET FIXCLOCK MINMAX MKTEST1 NORMALIZE QP RNDW ZEROW"
actual=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[TWVDBRi]$/ {print $3}' | sed 's/@.*//' | sort | tr '\n' ' ' | sed 's/ $//')
if [ "$actual" != "$expected" ]; then
    echo "exported: $actual"
    echo "expected: $expected"
    exit 1
fi
needed=$(readelf -d "$lib" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
for n in $needed; do
    case $n in
        libstdc++.so.*|libm.so.*|libc.so.*|libgcc_s.so.*|ld-linux*|libasan.so.*|libubsan.so.*) ;;
        *) echo "unexpected dependency: $n"; exit 1 ;;
    esac
done
echo "exports ok: $actual"
echo "1 passed, 0 failed"
