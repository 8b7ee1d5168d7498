#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, or of a folder that
# is no layer. The layers, lowest first; a file may include headers of its own layer and of
# those below it. The files directly in src/ make the program and may include any layer.
#   scripts/check-layers.sh [src-dir]      (default: the src/ beside this script)
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"
layers=(platform config app suite ui ui/dialogs ui/editor ui/mergesplit ui/main)

declare -A rank
for i in "${!layers[@]}"; do
    rank[${layers[$i]}]=$i
done
rank[.]=${#layers[@]}

failed=0
while IFS= read -r -d '' file; do
    relative=${file#"$src"/}
    own=$(dirname "$relative")
    if [ -z "${rank[$own]+set}" ]; then
        echo "src/$relative: its folder $own is not a layer (known: ${layers[*]})"
        failed=1
        continue
    fi
    while IFS=: read -r line header; do
        # "Header.h" without a folder is one of the file's own folder.
        [[ $header == */* ]] || continue
        folder=$(dirname "$header")
        if [ -z "${rank[$folder]+set}" ] || [ "$folder" = . ]; then
            echo "src/$relative:$line: includes $header, of the folder $folder, which is not a layer (known: ${layers[*]})"
            failed=1
        elif [ "${rank[$folder]}" -gt "${rank[$own]}" ]; then
            echo "src/$relative:$line: includes $header: layer $own must not include the higher layer $folder"
            failed=1
        fi
    done < <(awk 'match($0, /^[ \t]*#[ \t]*include[ \t]*"[^"]+"/) {
                      split(substr($0, RSTART, RLENGTH), part, "\""); print FNR ":" part[2] }' "$file")
done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)

if [ "$failed" = 0 ]; then
    echo "Layering kept: ${layers[*]}"
fi
exit "$failed"
