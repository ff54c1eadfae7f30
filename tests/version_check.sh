#!/usr/bin/env bash
# Every place that names the version names the project's: veltrane --version, the manual
# pages, the newest release of the AppStream metadata and the top entry of debian/changelog.
#   usage: version_check.sh VERSION VELTRANE REPO BUILD_DIR
set -uo pipefail
version=$1 veltrane=$2 repo=$3 build=$4
failed=0
fail() { echo "FAIL: $*"; failed=1; }

out=$(QT_QPA_PLATFORM=offscreen "$veltrane" --version)
[[ $out == "veltrane $version" ]] || fail "veltrane --version printed '$out'"
for page in "$build"/data/*.1; do
    grep -q "^\.TH .* \"Veltrane $version\" " "$page" || fail "${page##*/} does not name version $version"
done
release=$(grep -o -m1 '<release version="[^"]*"' "$repo/data/org.example.veltrane.metainfo.xml" | cut -d'"' -f2)
[[ $release == "$version" ]] || fail "the newest release in the AppStream metadata is '$release', not $version"
changelog=$(sed -n '1s/^veltrane (\([^)]*\)).*/\1/p' "$repo/debian/changelog")
[[ $changelog == "$version" ]] || fail "the top entry of debian/changelog is '$changelog', not $version"
exit $failed
