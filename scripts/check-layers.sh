#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, or of a folder that
# is no layer. The layers, lowest first; a file may include headers of its own layer and of
# those below it. The files directly in src/ make the program and may include any layer.
#   scripts/check-layers.sh [src-dir]      (default: the src/ beside this script)
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"
layers="platform config app suite cli ui ui/dialogs ui/editor ui/mergesplit ui/main"

cd "$src"
find . -type f \( -name '*.cpp' -o -name '*.h' \) | sed 's#^\./##' | sort | tr '\n' '\0' |
    xargs -0 awk -v layers="$layers" '
    BEGIN {
        n = split(layers, order, " ")
        for (i = 1; i <= n; ++i)
            rank[order[i]] = i
        rank["."] = n + 1
    }
    FNR == 1 {
        own = FILENAME
        sub(/\/?[^\/]*$/, "", own)
        if (own == "")
            own = "."
        if (!(own in rank)) {
            print "src/" FILENAME ": its folder " own " is not a layer (known: " layers ")"
            failed = 1
        }
    }
    match($0, /^[ \t]*#[ \t]*include[ \t]*"[^"]+"/) && (own in rank) {
        split(substr($0, RSTART, RLENGTH), part, "\"")
        header = part[2]
        if (header !~ /\//)
            next # a header of the file'"'"'s own folder
        folder = header
        sub(/\/[^\/]*$/, "", folder)
        if (!(folder in rank) || folder == ".") {
            print "src/" FILENAME ":" FNR ": includes " header ", of the folder " folder ", which is not a layer (known: " layers ")"
            failed = 1
        } else if (rank[folder] > rank[own]) {
            print "src/" FILENAME ":" FNR ": includes " header ": layer " own " must not include the higher layer " folder
            failed = 1
        }
    }
    END {
        if (!failed)
            print "Layering kept: " layers
        exit failed
    }' || exit 1
