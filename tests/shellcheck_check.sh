#!/usr/bin/env bash
# Every shell script of the tree passes shellcheck: each tracked file named *.sh or *.bash, or
# whose first line runs a shell, so a new script is checked without being listed here.
# Skipped (77) where shellcheck is not installed or the tree is not a git checkout.
#   usage: shellcheck_check.sh REPO
set -uo pipefail
cd "$1" || exit 1
if ! command -v shellcheck >/dev/null; then
    echo "shellcheck is not installed (scripts/deps installs it): skipped"
    exit 77
fi
if ! files=$(git ls-files -z 2>/dev/null | tr '\0' '\n'); then
    echo "not a git checkout, so no list of tracked files: skipped"
    exit 77
fi
scripts=()
while IFS= read -r file; do
    [[ -f $file ]] || continue
    case $file in
        *.sh | *.bash) scripts+=("$file") ;;
        *)
            IFS= read -r first <"$file" 2>/dev/null || first=
            if [[ $first =~ ^#!.*[/[:space:]](sh|bash|dash|ksh)([[:space:]]|$) ]]; then scripts+=("$file"); fi
            ;;
    esac
done <<<"$files"
if ((${#scripts[@]} == 0)); then
    echo "FAIL: no shell scripts found"
    exit 1
fi
printf 'checking %d scripts:\n' "${#scripts[@]}"
printf '  %s\n' "${scripts[@]}"
shellcheck "${scripts[@]}"
