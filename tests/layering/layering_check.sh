#!/usr/bin/env bash
# Builds each layering probe and checks the verdict: "forbidden" probes must fail because the
# header is not found, "allowed" probes must compile.
#   layering_check.sh <build dir> <probe>:<allowed|forbidden>:<header> ...
set -uo pipefail
build=$1
shift
failures=0
for probe in "$@"; do
    IFS=: read -r target verdict header <<<"$probe"
    name=${header//[\"<>]/}
    output=$(cmake --build "$build" --target "$target" 2>&1)
    status=$?
    if [[ $verdict == allowed ]]; then
        if ((status != 0)); then
            echo "FAIL $target: $header should be reachable"
            echo "$output" | tail -5
            failures=$((failures + 1))
        fi
    elif ((status == 0)); then
        echo "FAIL $target: $header compiled, but this module must not see it"
        failures=$((failures + 1))
    elif ! grep -q "fatal error: $name: No such file or directory" <<<"$output"; then
        echo "FAIL $target: the build failed for another reason than the missing $header"
        echo "$output" | tail -5
        failures=$((failures + 1))
    else
        echo "ok   $target: $header out of reach"
    fi
done
exit $((failures > 0))
