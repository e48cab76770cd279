#!/usr/bin/env bash
# Installs the build into a scratch root (DESTDIR) and checks the installation as a user and
# another program meet it: the files and nothing else, the engine's SONAME, header and pkg-config
# file, the desktop entry and metainfo passing their validators, and the installed programs
# opening an installed example with the installed engine, the build folder out of reach.
# Usage: check_install.sh BUILD_DIR PREFIX BINDIR LIBDIR INCLUDEDIR DATADIR MANDIR VERSION [CFLAG]...
set -euo pipefail
self=$(realpath "$0")

if [ "${1:-}" = --window ]; then
    # Run under an X server: start the program on the network and wait for its frame caption.
    shift
    program=$1 net=$2 root=$3
    export QT_QPA_PLATFORM=xcb
    "$program" "$net" &
    pid=$!
    trap 'kill $pid 2>/dev/null || true' EXIT
    caption="\"Axona-$(basename "$net") - [Neural Control Panel]\""
    for _ in $(seq 120); do
        if xwininfo -root -children | grep -qF "$caption"; then
            break
        fi
        sleep 0.5
    done
    windows=$(xwininfo -root -children)
    if ! grep -qF "$caption" <<<"$windows"; then
        echo "FAIL: no window captioned $caption; windows:"
        echo "$windows"
        exit 1
    fi
    # A message box would be a further window of the program, titled "Axona".
    if grep -E '^ *0x[0-9a-f]+ "Axona"' <<<"$windows" | grep -vq ' 1x1+'; then
        echo "FAIL: the program shows a message box:"
        echo "$windows"
        exit 1
    fi
    engine=$(grep -o '/.*libaxona32\.so.*' "/proc/$pid/maps" | head -1)
    if [[ "$engine" != "$root"/* ]]; then
        echo "FAIL: the program's engine is '$engine', not the installed one"
        exit 1
    fi
    echo "ok: $caption, engine $engine"
    exit 0
fi

build=$1 prefix=$2 bindir=$3 libdir=$4 includedir=$5 datadir=$6 mandir=$7 version=$8
shift 8
cflags=("$@")
major=${version%%.*}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
DESTDIR=$scratch/dest cmake --install "$build" >"$scratch/install.log"
root=$scratch/dest$prefix
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Exactly these files, so a missing one and one installed by mistake both show.
expected=(
    "$bindir/Axona32"
    "$bindir/axona"
    "$includedir/axona32.h"
    "$libdir/libaxona32.so"
    "$libdir/libaxona32.so.$major"
    "$libdir/libaxona32.so.$version"
    "$libdir/pkgconfig/axona32.pc"
    "$datadir/applications/org.axona.Axona.desktop"
    "$datadir/metainfo/org.axona.Axona.metainfo.xml"
    "$datadir/mime/packages/axona.xml"
    "$datadir/icons/hicolor/scalable/apps/org.axona.Axona.svg"
    "$mandir/man1/Axona32.1.gz"
    "$mandir/man1/axona.1.gz"
    "$datadir/bash-completion/completions/axona"
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("$datadir/icons/hicolor/${size}x${size}/apps/org.axona.Axona.png")
done
for f in README.md iris.csv iris.net iris.pat iris.tst iris.wgt xor.net xor.pat xor.wgt; do
    expected+=("$datadir/axona/examples/$f")
done
if ! diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . ! -type d | sed 's|^\./||' | sort) \
        >"$scratch/files.diff"; then
    fail "installed files differ from the expected list (< missing, > unexpected):"
    cat "$scratch/files.diff"
fi

soname=$(readelf -d "$root/$libdir/libaxona32.so.$version" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = "libaxona32.so.$major" ] || fail "engine SONAME is '$soname'"
for program in Axona32 axona; do
    if readelf -d "$root/$bindir/$program" | grep -qE 'R(UN)?PATH'; then
        fail "$program carries a run path: $(readelf -d "$root/$bindir/$program" | grep -E 'R(UN)?PATH')"
    fi
done

# Another program builds against the engine with nothing but pkg-config, and runs.
cat >"$scratch/client.c" <<'EOF'
#include <axona32.h>
#include <stdio.h>

int main(void)
{
    /* A 1-1 network: the engine zeroes the weight and the bias into the output node (offsets 1
       and 3 of the (layer, from, to) arrays) and leaves the unused layer-1 entries alone. */
    int16_t nl = 2, nn[2] = {1, 1}, wdim2 = 2, wdim3 = 1;
    float g[4] = {5.0f, 5.0f, 5.0f, 5.0f}, dw[4] = {5.0f, 5.0f, 5.0f, 5.0f};
    ZEROW(g, dw, nn, &nl, &wdim2, &wdim3);
    printf("%g %g %g %g\n", g[0], g[1], g[2], g[3]);
    return g[0] == 5.0f && g[1] == 0.0f && g[2] == 5.0f && g[3] == 0.0f && dw[3] == 0.0f ? 0 : 1;
}
EOF
pkgflags=$(PKG_CONFIG_PATH= PKG_CONFIG_LIBDIR="$root/$libdir/pkgconfig" \
           PKG_CONFIG_SYSROOT_DIR="$scratch/dest" pkg-config --cflags --libs axona32)
# shellcheck disable=SC2086
if ! cc -std=c99 -Wall -Werror "${cflags[@]}" "$scratch/client.c" $pkgflags -o "$scratch/client"; then
    fail "a C program does not build against the installed engine ($pkgflags)"
elif ! LD_LIBRARY_PATH="$root/$libdir" "$scratch/client"; then
    fail "the C program built against the installed engine does not run"
fi

for page in "${expected[@]}"; do
    if [[ "$page" == "$mandir"/* ]] && [ -f "$root/$page" ]; then
        warnings=$(zcat "$root/$page" | groff -man -ww -z 2>&1)
        [ -z "$warnings" ] || fail "the manual page $page has faults: $warnings"
    fi
done
if ! desktop-file-validate "$root/$datadir/applications/org.axona.Axona.desktop"; then
    fail "desktop-file-validate rejects the desktop entry"
fi
if ! appstreamcli validate --no-net "$root/$datadir/metainfo/org.axona.Axona.metainfo.xml"; then
    fail "appstreamcli rejects the metainfo"
fi
grep -q "<release version=\"$version\"" "$root/$datadir/metainfo/org.axona.Axona.metainfo.xml" \
    || fail "the metainfo has no release entry for version $version"

# The installed bash completion: commands, a command's options, network files for NET.
mkdir -p "$scratch/files/sub"
touch "$scratch/files/a.net" "$scratch/files/b.pat"
completions=$(cd "$scratch/files" && bash -c '
    source "$1"
    complete_words() {
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        COMPREPLY=()
        _axona
        printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "
    }
    complete_words axona tr
    complete_words axona train x.net --sa
    complete_words axona info ""
    complete_words axona help cr' _ "$root/$datadir/bash-completion/completions/axona")
if [ "$completions" != $'train\n--save\na.net sub\ncreate-test' ]; then
    fail "bash completion offers:"
    echo "$completions"
fi

# The installed programs, from a folder of their own, with nothing pointing at the build.
cd "$scratch"
unset AXONA_ENGINE LD_LIBRARY_PATH
export XDG_CONFIG_HOME=$scratch/config
examples=$root/$datadir/axona/examples
if ! LD_DEBUG=files "$root/$bindir/axona" info "$examples/xor.net" >"$scratch/info.out" \
        2>"$scratch/info.err"; then
    fail "axona info fails:"
    grep -v '^ *[0-9]*:' "$scratch/info.err" || true
elif ! grep -qx "Weight file: $examples/xor.wgt" "$scratch/info.out" \
        || ! grep -qx 'Patterns: 4' "$scratch/info.out"; then
    fail "axona info does not describe the example with its patterns and weights:"
    cat "$scratch/info.out"
fi
engine=$(sed -n 's/.*calling init: \(.*libaxona32.*\)/\1/p' "$scratch/info.err" | head -1)
[[ "$engine" == "$root"/* ]] || fail "axona info used the engine '$engine', not the installed one"

if ! xvfb-run -a "$self" --window "$root/$bindir/Axona32" \
        "$examples/xor.net" "$root"; then
    fail "Axona32 does not open the installed example"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "installation ok: ${#expected[@]} files"
