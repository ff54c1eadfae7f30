#!/usr/bin/env bash
# The programs' command lines as a user meets them: --help and --version print on stdout and
# exit 0, a wrong option exits 2 with a message, and none of these writes a Corvane.ini.
#   command_line_check.sh VELTRANE TSV2XLS COLLECTOR_SIM
set -uo pipefail
veltrane=$1 tsv2xls=$2 sim=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# expect STATUS STREAM TEXT -- COMMAND...: STREAM is out or err
expect() {
    local status=$1 stream=$2 text=$3
    shift 4
    "$@" >out.txt 2>err.txt
    local got=$?
    ((got == status)) || fail "$* exited $got, not $status: $(cat out.txt err.txt)"
    grep -qF -- "$text" "$stream.txt" || fail "$* printed no '$text' on std$stream: $(cat out.txt err.txt)"
    [[ ! -e Corvane.ini ]] || { fail "$* created Corvane.ini"; rm -f Corvane.ini; }
}

export QT_QPA_PLATFORM=offscreen
expect 0 out "--password-file" -- "$veltrane" --help
expect 0 out "用法" -- "$veltrane" -h
expect 0 out "veltrane 1." -- "$veltrane" --version
expect 2 err "--bogus" -- "$veltrane" --bogus
expect 2 err "多余的参数" -- "$veltrane" stray
expect 2 err "--user" -- "$veltrane" --user admin
expect 0 out "INPUT.tsv OUTPUT.xls" -- "$tsv2xls" --help
expect 0 out "usage: collector-sim" -- "$sim" --help
exit $failed
