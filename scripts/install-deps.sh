#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Taonscope needs to build, test and run, from Debian's packages. Safe to run again:
# it installs only what is missing.
set -euo pipefail

packages=(
    build-essential cmake             # compiler and build system
    qt6-base-dev                      # widgets, painting, QtTest
    qt6-charts-dev                    # the instruments' plots
    libqt6opengl6-dev                 # Qt6OpenGL, which find_package(Qt6 Charts) needs and qt6-charts-dev does not pull in
    libgtest-dev libbenchmark-dev     # tests and benchmarks
    clang libclang-rt-dev             # libFuzzer and the sanitizer runtimes of the fuzz targets
    fonts-dejavu-core fonts-liberation # the faces the window and the arrows are drawn in
    xvfb xauth                        # a display for screenshots of the window
    python3-mdanalysis                # a real reader of recorded trajectories, in the tests
    python3-ase openbabel             # readers of LAMMPS dumps and element-named XYZ, in the tests
    ffmpeg                            # encodes render's MP4 films; ffprobe reads them in the tests
    python3-numpy python3-scipy       # independent computations of the structure analysis, in the tests
    python3-pil python3-jsonschema    # read the atlas' map pictures and check sweeps against the schema, in the tests
    pybind11-dev python3-dev          # the Python module's bindings and Python's headers
    python3-pytest                    # runs the Python module's tests
    slurm-wlm munge                   # a one-node Slurm cluster for the atlas' Slurm test
    desktop-file-utils                # desktop-file-validate for the installed .desktop file
    dpkg-dev file                     # dpkg-shlibdeps and file: cpack's Debian package computes its dependencies
    librsvg2-bin                      # rsvg-convert draws the PNG icons from the SVG
    man-db                            # man renders the manual pages in their test
    appstream lintian                 # appstreamcli validates the metainfo; lintian checks the Debian package
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
