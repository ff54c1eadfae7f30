#!/usr/bin/env bash
# With the running test server holding its port: a second server on that port is refused
# naming the setting to change, and the port chooser of scripts/test avoids the port.
#   test_port_check.sh REPO TAKEN_PORT
set -uo pipefail
repo=$1 taken=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failed=0

out=$(VELTRANE_DB_PORT=$taken VELTRANE_DB_DIR=$dir/db VELTRANE_DB_PORT_SETTING=THE_SETTING "$repo/scripts/db" up 2>&1)
[[ $? != 0 && $out == *"choose a free port with THE_SETTING"* ]] || { echo "FAIL: scripts/db up said: $out"; failed=1; }

out=$(VELTRANE_DB_PORT=$taken "$repo/scripts/test-db-port" "$dir" 2>&1)
[[ $? != 0 && $out == *"VELTRANE_DB_PORT"* ]] || { echo "FAIL: a taken VELTRANE_DB_PORT gave: $out"; failed=1; }

mkdir -p "$dir/build"
echo "VELTRANE_TEST_DB_PORT:STRING=$taken" >"$dir/build/CMakeCache.txt"
port=$(env -u VELTRANE_DB_PORT "$repo/scripts/test-db-port" "$dir/build" 2>/dev/null)
if [[ ! $port =~ ^[0-9]+$ || $port == "$taken" ]] || (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
    echo "FAIL: with $taken taken the chooser gave '$port'"
    failed=1
fi
exit $failed
