#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that the records of a release agree with the version being built.

    check_release_records.py VERSION DEBIAN-REVISION CHANGELOG METAINFO

The newest entry of the Debian changelog, as dpkg-parsechangelog reads it, must be VERSION-REVISION, and
the newest release of the AppStream metainfo VERSION; the metainfo must pass appstreamcli validate.
A new version therefore needs an entry in both.
"""
import subprocess
import sys
import xml.etree.ElementTree as ElementTree


def main(arguments):
    if len(arguments) != 4:
        sys.exit(__doc__)
    version, revision, changelog, metainfo = arguments
    faults = []

    entry = subprocess.run(["dpkg-parsechangelog", "-l", changelog, "-S", "Version"],
                           capture_output=True, text=True)
    if entry.returncode != 0:
        faults.append(f"dpkg-parsechangelog cannot read {changelog}: {entry.stderr.strip()}")
    elif entry.stdout.strip() != f"{version}-{revision}":
        faults.append(f"the newest entry of {changelog} is {entry.stdout.strip()}, not {version}-{revision}: "
                      f"add an entry for this version to packaging/changelog.Debian.in")

    validation = subprocess.run(["appstreamcli", "validate", "--no-net", "--strict", metainfo],
                                capture_output=True, text=True)
    if validation.returncode != 0:
        faults.append(f"appstreamcli validate rejects {metainfo}:\n{validation.stdout}{validation.stderr}")
    releases = ElementTree.parse(metainfo).getroot().findall("releases/release")
    newest = releases[0].get("version") if releases else None
    if newest != version:
        faults.append(f"the newest release in {metainfo} is {newest}, not {version}: add a <release> for it")

    for fault in faults:
        print(fault)
    print(f"release records checked, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
