#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a built Taonscope into a fresh prefix and runs it from there, then builds the Debian package
# and checks it; as root in CI (CI set) the package is also installed with dpkg, tried, and removed.
# scripts/test-install.sh [BUILD-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Checks an installed tree: the programs, the Python module, the examples, the desktop entry, the metainfo,
# the icons, the manual pages and the package's documents.
check_installed() {
    local bin=$1 share=$2
    test -x "$bin/taonscope"
    "$bin/taonscope-cli" --help | grep 'GPL-3.0-or-later' > /dev/null
    local examples=("$share/taonscope/examples/"*.tao)
    ((${#examples[@]} >= 8))
    for example in "${examples[@]}"; do
        test -s "${example%.tao}.txt"
    done
    "$bin/taonscope-cli" run "$share/taonscope/examples/01-pair.tao" --steps 1000 --output "$work/after.tao" 2> /dev/null
    "$bin/taonscope-cli" show "$work/after.tao" | grep '^taon' > /dev/null
    # The Python module, installed beside them, makes the very same run.
    PYTHONPATH="$share/../lib/python3/dist-packages" /usr/bin/python3 -c \
        'import sys, taonscope; w = taonscope.load(sys.argv[1]); w.step(1000); w.save(sys.argv[2])' \
        "$share/taonscope/examples/01-pair.tao" "$work/python.tao"
    cmp "$work/after.tao" "$work/python.tao"
    desktop-file-validate "$share/applications/taonscope.desktop"
    grep -q '<svg' "$share/icons/hicolor/scalable/apps/taonscope.svg"
    for size in 16 32 48 64 128 256; do
        [[ $(file -b "$share/icons/hicolor/${size}x$size/apps/taonscope.png") == "PNG image data, $size x $size,"* ]]
    done
    appstreamcli validate --no-net --strict "$share/metainfo/io.github.taonscope.Taonscope.metainfo.xml" > /dev/null
    # The manual pages describe every command, option and exit status that --help names.
    /usr/bin/python3 tests/package/check_manual_pages.py "$bin/taonscope-cli" \
        "$share/man/man1/taonscope-cli.1.gz" "$share/man/man1/taonscope.1.gz" > /dev/null
    test -s "$share/doc/taonscope/copyright"
    gzip -t "$share/doc/taonscope/changelog.Debian.gz"
    # The documents the manual pages cite, the schema the installed sweep names, the file type of .tao.
    for document in README.md ATLAS.md INSTRUMENTS.md atlas.schema.json; do test -s "$share/doc/taonscope/$document"; done
    local schema
    schema=$(/usr/bin/python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["$schema"])' \
        "$share/taonscope/examples/strength-and-step.atlas.json")
    [[ $schema == /*/doc/taonscope/atlas.schema.json ]]
    grep -q 'pattern="\*.tao"' "$share/mime/packages/taonscope.xml"
    grep -q '^MimeType=application/x-taonscope-configuration;' "$share/applications/taonscope.desktop"
    [[ $(env -u DISPLAY "$bin/taonscope" --version) == "taonscope $version" ]]
    [[ $("$bin/taonscope-cli" --version) == "taonscope-cli $version" ]]
}

version=$(sed -n 's/^project(Taonscope VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)

cmake --install "$build" --prefix "$work/prefix" > /dev/null
check_installed "$work/prefix/bin" "$work/prefix/share"
echo "Installed into a fresh prefix: programs, Python module, examples, desktop entry, metainfo, icons and manual pages are in place"

# The target package makes the Debian package and nothing else.
rm -f "$build"/taonscope_*.deb "$build"/taonscope-*.tar.* "$build"/taonscope-*.sh
cmake --build "$build" --target package > /dev/null 2>&1
[[ $(ls "$build" | grep -c -E '^taonscope[_-].*\.(deb|tar\..*|sh|zip)$') -eq 1 ]]
deb=$(ls "$build"/taonscope_*.deb)
dpkg-deb --field "$deb" Depends | grep 'libqt6widgets6' > /dev/null
dpkg-deb --field "$deb" Depends | grep 'python3-numpy' > /dev/null
contents=$(dpkg-deb --contents "$deb")
for file in bin/taonscope bin/taonscope-cli share/taonscope/examples/01-pair.tao share/man/man1/taonscope-cli.1.gz \
    share/man/man1/taonscope.1.gz share/applications/taonscope.desktop share/icons/hicolor/scalable/apps/taonscope.svg \
    share/icons/hicolor/16x16/apps/taonscope.png share/metainfo/io.github.taonscope.Taonscope.metainfo.xml \
    share/doc/taonscope/copyright share/doc/taonscope/changelog.Debian.gz share/doc/taonscope/atlas.schema.json \
    share/mime/packages/taonscope.xml lib/python3/dist-packages/taonscope/__init__.py \
    lib/python3/dist-packages/taonscope/atlas.py lib/python3/dist-packages/taonscope/_taonscope.cpython-; do
    grep -F "./usr/$file" <<< "$contents" > /dev/null
done
echo "Debian package $(basename "$deb"): depends on $(dpkg-deb --field "$deb" Depends)"

# Debian's own checker: no error and no warning, and the programs hardened (those notes are only
# informational, so they are asked for by name).
if command -v lintian > /dev/null; then
    lintian --fail-on error,warning "$deb" 2> >(grep -v 'root privileges' >&2)
    hardening=$(lintian --tags hardening-no-bindnow,hardening-no-fortify-functions,hardening-no-relro,hardening-no-pie \
        "$deb" 2> /dev/null)
    if [[ -n $hardening ]]; then
        echo "$hardening"
        exit 1
    fi
    echo "lintian: no error, no warning, programs hardened"
fi

if [[ -n ${CI:-} && $(id -u) -eq 0 ]]; then
    dpkg -i "$deb" > /dev/null
    trap 'dpkg -r taonscope > /dev/null || true; rm -rf "$work"' EXIT
    check_installed /usr/bin /usr/share
    dpkg -r taonscope > /dev/null
    trap 'rm -rf "$work"' EXIT
    echo "Installed and removed the package with dpkg"
fi
