#!/usr/bin/env bash
# Formats the project's C++ sources with clang-format and the project's own
# .clang-format, or (--check) lists the files that are off it and fails.
#
#   scripts/format.sh           rewrite the files in place
#   scripts/format.sh --check   change nothing; exit 1 when a file is off
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
CLANG_FORMAT="${CLANG_FORMAT:-clang-format}"

mode=fix
case "${1:-}" in
    "") ;;
    --check) mode=check ;;
    *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

# The tracked sources in a checkout, every source below the root otherwise.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
else
    mapfile -t files < <(find . -path './build*' -prune -o -path './run' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||')
fi

if [ "$mode" = fix ]; then
    "$CLANG_FORMAT" -i --style=file "${files[@]}"
    exit 0
fi

off=()
for f in "${files[@]}"; do
    if ! "$CLANG_FORMAT" --style=file --dry-run -Werror "$f" >/dev/null 2>&1; then
        off+=("$f")
    fi
done
if [ ${#off[@]} -gt 0 ]; then
    echo "format: these files are off .clang-format (bash scripts/format.sh rewrites them):" >&2
    printf '  %s\n' "${off[@]}" >&2
    exit 1
fi
echo "format: ${#files[@]} files follow .clang-format"
