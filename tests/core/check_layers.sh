#!/usr/bin/env bash
# Fails unless every include between the program's folders follows the layers, lowest first:
# engine <- model <- session <- training <- files <- dataprep, plots, exchange <- gui
#        <- each area's widgets/ <- shell; cli beside the widgets. export (and its onnx/) sits
# above dataprep.
# A folder may include its own files and those of the folders its rule lists, nothing else; every
# include of a program file names its folder. The core also names the main window's controls
# only through session/controls.h.
set -euo pipefail
app=${1:?usage: check_layers.sh APP_FOLDER}

core="model session training files dataprep export plots exchange"
declare -A allowed=(
    [model]=""
    [session]="model engine"
    [training]="model session"
    [files]="model session training"
    [dataprep]="model session training files"
    [export]="model session training files dataprep"
    [export/onnx]="model session training files dataprep export"
    [plots]="model session training files"
    [exchange]="model session training files"
    [exchange/dbus]="model session training files exchange"
    [gui]="$core"
    [model/widgets]="$core gui"
    [session/widgets]="$core gui"
    [training/widgets]="$core gui"
    [files/widgets]="$core gui"
    [dataprep/widgets]="$core gui"
    [export/widgets]="$core gui"
    [plots/widgets]="$core gui"
    [exchange/widgets]="$core exchange/dbus gui"
    [cli]="$core export/onnx exchange/dbus plots/widgets"
    [shell]="$core export/onnx exchange/dbus gui $(printf '%s/widgets ' $core)"
    [main]="shell"
)

# The folder a path below app/ belongs to: its area, or area/widgets and exchange/dbus.
folder_of() {
    local path=$1
    case $path in
        */*/*) local area=${path%%/*} rest=${path#*/}
               local sub=${rest%%/*}
               case $sub in widgets|dbus|onnx) echo "$area/$sub" ;; *) echo "$area" ;; esac ;;
        */*) echo "${path%%/*}" ;;
        *) echo main ;;
    esac
}

failures=0
files=0
while IFS= read -r file; do
    rel=${file#"$app"/}
    from=$(folder_of "$rel")
    if [[ ! -v allowed[$from] ]]; then
        echo "$rel: the folder $from has no layer"
        failures=$((failures + 1))
        continue
    fi
    files=$((files + 1))
    while IFS= read -r line; do
        [[ -z $line ]] && continue
        number=${line%%:*}
        included=${line#*:}
        if [[ $included == "<axona32.h>" ]]; then
            to=engine
        else
            included=${included#\"}
            included=${included%\"}
            if [[ $included != */* ]]; then
                echo "$rel:$number: #include \"$included\" does not name its folder"
                failures=$((failures + 1))
                continue
            fi
            to=$(folder_of "$included")
        fi
        [[ $to == "$from" ]] && continue
        if [[ " ${allowed[$from]} " != *" $to "* ]]; then
            echo "$rel:$number: $from may not include $to ($included)"
            failures=$((failures + 1))
        fi
    done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*("[^"]*"|<axona32\.h>)' "$file" \
             | sed -E 's/^([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*/\1:/')
done < <(find "$app" \( -name '*.h' -o -name '*.cpp' \) | sort)

# Control names in the core: through the constants of session/controls.h only.
while IFS= read -r hit; do
    echo "$hit: a control name written out; use session/controls.h"
    failures=$((failures + 1))
done < <(cd "$app" && grep -n -E '"(TXT|LBL|BTN|CHK|CMB|OPT|MNU|PNL|SPN|FRA)_[A-Za-z0-9_]*"' \
             $(for area in $core; do ls "$area"/*.h "$area"/*.cpp 2>/dev/null; done) \
         | grep -v '^session/controls\.h:' || true)

if [ "$failures" -ne 0 ]; then
    echo "$failures problem(s) with the layers"
    exit 1
fi
echo "layers ok: $files files"
echo "1 passed, 0 failed"
