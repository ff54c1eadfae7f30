#!/usr/bin/env bash
# The manual page covers what --help lists: every option (and names none that --help does not),
# every kind of export and every exit status.
#   usage: manual_page_check.sh VELTRANE MANUAL_PAGE
set -uo pipefail
veltrane=$1 page=$2
failed=0
fail() { echo "FAIL: $*"; failed=1; }

help=$(QT_QPA_PLATFORM=offscreen "$veltrane" --help) || { echo "FAIL: --help exited $?"; exit 1; }
roff=$(sed 's/\\-/-/g' "$page")  # roff writes a minus sign as \-

names() { grep -oE -- '(^|[^a-zA-Z0-9-])--?[a-z][a-z-]*' | grep -oE -- '--?[a-z][a-z-]*' | sort -u; }
help_options=$(names <<<"$help" | grep -- '^--')
help_options+=$'\n'$(grep -oE '^ +-[a-z],' <<<"$help" | tr -d ' ,')
[[ $help_options == *--export* ]] || { echo "FAIL: no options found in --help: $help"; exit 1; }
for option in $help_options; do
    grep -qE -- "(^|[^a-zA-Z0-9-])$option([^a-z-]|\$)" <<<"$roff" || fail "$option is in --help but not in $page"
done
for option in $(names <<<"$roff" | grep -- '^--'); do
    grep -qxF -- "$option" <<<"$help_options" || fail "$option is in $page but not in --help"
done

kinds=$(sed -n 's/.*--export \([a-z|]*\) .*/\1/p' <<<"$help" | head -n 1 | tr '|' ' ')
[[ -n $kinds ]] || fail "no export kinds in the usage of --help"
for kind in $kinds; do
    grep -qx "\.B $kind" <<<"$roff" || fail "the export kind $kind has no entry in $page"
done

statuses=$(grep -oE '退出状态: .*' <<<"$help" | grep -oE '(: |, )[0-9]+ ' | tr -dc '0-9\n ')
[[ -n $statuses ]] || fail "no exit statuses in --help"
exit_section=$(awk '/^\.SH EXIT STATUS/ { on = 1; next } /^\.SH/ { on = 0 } on' <<<"$roff")
for status in $statuses; do
    grep -qx "\.B $status" <<<"$exit_section" || fail "exit status $status has no entry in $page"
done
exit $failed
