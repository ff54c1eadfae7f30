#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what arrives there: the programs, the
# launcher, the desktop entry (desktop-file-validate), the icon and a manual page that formats
# without warnings.
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
share/icons/hicolor/scalable/apps/veltrane.svg
share/man/man1/veltrane.1"
installed=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
echo "installed files:"
echo "$installed" | sed 's/^/  /'
if [[ $installed != "$expected" ]]; then
    echo "FAIL: expected exactly:"
    echo "$expected" | sed 's/^/  /'
    exit 1
fi
for program in veltrane veltrane-desktop collector-sim tsv2xls; do
    [[ -x $prefix/bin/$program ]] || { echo "FAIL: bin/$program is not executable"; exit 1; }
done
desktop-file-validate --no-hints "$prefix/share/applications/veltrane.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/veltrane.desktop")
[[ -x $prefix/bin/${exec_line%% *} ]] || { echo "FAIL: Exec=$exec_line is not an installed program"; exit 1; }
warnings=$(preconv "$prefix/share/man/man1/veltrane.1" | groff -man -Tutf8 -ww -z 2>&1)
[[ -z $warnings ]] || { echo "FAIL: the manual page formats with warnings:"; echo "$warnings"; exit 1; }

# The launcher runs the station in its own data directory, created on first start.
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
out=$(HOME=$home XDG_DATA_HOME= "$prefix/bin/veltrane-desktop" --version)
[[ $out == "veltrane "* ]] || { echo "FAIL: launcher printed '$out'"; exit 1; }
[[ -d $home/.local/share/veltrane ]] || { echo "FAIL: launcher did not create ~/.local/share/veltrane"; exit 1; }
echo "install check passed"
