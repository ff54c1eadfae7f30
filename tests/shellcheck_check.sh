#!/usr/bin/env bash
# The project's shell scripts pass shellcheck; skipped (77) where shellcheck is not installed.
#   usage: shellcheck_check.sh REPO
set -uo pipefail
cd "$1" || exit 1
if ! command -v shellcheck >/dev/null; then
    echo "shellcheck is not installed (scripts/deps installs it): skipped"
    exit 77
fi
shellcheck scripts/* .ci/run tests/shellcheck_check.sh tests/format_check.sh docs/notify-examples/*.sh docs/cluster-examples/*.sh
