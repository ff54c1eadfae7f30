#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what arrives there: the programs, the
# launcher, the desktop entry (desktop-file-validate), the icon, the AppStream metadata
# (appstreamcli validate, when installed), manual pages that format without warnings, the SQL
# files and the notification examples.
#   install_check.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/collector-sim
bin/tsv2xls
bin/veltrane
bin/veltrane-desktop
share/applications/veltrane.desktop
share/doc/veltrane/examples/notify-mail.sh
share/doc/veltrane/examples/notify-sms.sh
share/icons/hicolor/scalable/apps/veltrane.svg
share/man/man1/collector-sim.1
share/man/man1/tsv2xls.1
share/man/man1/veltrane-desktop.1
share/man/man1/veltrane.1
share/metainfo/org.example.veltrane.metainfo.xml
share/veltrane/sql/demo.sql
share/veltrane/sql/schema.sql
share/veltrane/sql/upgrade-audit.sql"
installed=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
echo "installed files:"
echo "  ${installed//$'\n'/$'\n  '}"
if [[ $installed != "$expected" ]]; then
    echo "FAIL: expected exactly:"
    echo "  ${expected//$'\n'/$'\n  '}"
    exit 1
fi
for program in veltrane veltrane-desktop collector-sim tsv2xls; do
    [[ -x $prefix/bin/$program ]] || { echo "FAIL: bin/$program is not executable"; exit 1; }
done
desktop-file-validate --no-hints "$prefix/share/applications/veltrane.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/veltrane.desktop")
[[ -x $prefix/bin/${exec_line%% *} ]] || { echo "FAIL: Exec=$exec_line is not an installed program"; exit 1; }
for page in "$prefix"/share/man/man1/*.1; do
    warnings=$(preconv "$page" | groff -man -Tutf8 -ww -z 2>&1)
    [[ -z $warnings ]] || { echo "FAIL: ${page##*/} formats with warnings:"; echo "$warnings"; exit 1; }
done
if command -v appstreamcli >/dev/null; then
    # --no-net: the screenshots' site need not be reachable from here.
    appstreamcli validate --no-net "$prefix/share/metainfo/org.example.veltrane.metainfo.xml" ||
        { echo "FAIL: appstreamcli validate"; exit 1; }
fi

# The launcher runs the station in its own data directory, created on first start.
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
out=$(HOME=$home XDG_DATA_HOME='' "$prefix/bin/veltrane-desktop" --version)
[[ $out == "veltrane "* ]] || { echo "FAIL: launcher printed '$out'"; exit 1; }
[[ -d $home/.local/share/veltrane ]] || { echo "FAIL: launcher did not create ~/.local/share/veltrane"; exit 1; }
echo "install check passed"
