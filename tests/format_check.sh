#!/usr/bin/env bash
# The C++ sources are formatted as .clang-format says; skipped (77) where clang-format is not
# installed. Lists the files that differ.
#   usage: format_check.sh REPO
set -uo pipefail
cd "$1" || exit 1
if ! command -v clang-format >/dev/null; then
    echo "clang-format is not installed (scripts/deps installs it): skipped"
    exit 77
fi
status=0
while IFS= read -r -d '' file; do
    if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
        echo "not formatted: $file (clang-format -i $file)"
        status=1
    fi
done < <(find src tests bench tools -name '*.cpp' -print0 -o -name '*.h' -print0)
exit "$status"
