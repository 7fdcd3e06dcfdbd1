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

# Checks an installed tree: the programs, the examples, the desktop entry, the icon and the manual page.
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
    desktop-file-validate "$share/applications/taonscope.desktop"
    grep -q '<svg' "$share/icons/hicolor/scalable/apps/taonscope.svg"
    # The manual page holds the help text, line for line.
    diff <("$bin/taonscope-cli" --help) \
         <(sed -e '1,/^\.nf$/d' -e '/^\.fi$/,$d' -e 's/\\-/-/g; s/^\\&//; s/\\e/\\/g' \
               "$share/man/man1/taonscope-cli.1")
    test -s "$share/doc/taonscope/copyright"
}

cmake --install "$build" --prefix "$work/prefix" > /dev/null
check_installed "$work/prefix/bin" "$work/prefix/share"
echo "Installed into a fresh prefix: programs, examples, desktop entry, icon and manual page are in place"

(cd "$build" && cpack -G DEB -B "$work/package" > /dev/null 2>&1)
deb=$(ls "$work"/package/taonscope_*.deb)
dpkg-deb --field "$deb" Depends | grep 'libqt6widgets6' > /dev/null
contents=$(dpkg-deb --contents "$deb")
for file in bin/taonscope bin/taonscope-cli share/taonscope/examples/01-pair.tao share/man/man1/taonscope-cli.1 \
    share/applications/taonscope.desktop share/icons/hicolor/scalable/apps/taonscope.svg; do
    grep -F "./usr/$file" <<< "$contents" > /dev/null
done
echo "Debian package $(basename "$deb"): depends on $(dpkg-deb --field "$deb" Depends)"

if [[ -n ${CI:-} && $(id -u) -eq 0 ]]; then
    dpkg -i "$deb" > /dev/null
    trap 'dpkg -r taonscope > /dev/null || true; rm -rf "$work"' EXIT
    check_installed /usr/bin /usr/share
    dpkg -r taonscope > /dev/null
    trap 'rm -rf "$work"' EXIT
    echo "Installed and removed the package with dpkg"
fi
