# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a trajectory with MDAnalysis and prints what it sees, for the command-line tests.

Usage: read_xyz_with_mdanalysis.py TRAJECTORY.xyz
Prints the number of frames, then for every frame one line per atom: name x y z.
Exits with status 3 when MDAnalysis cannot be imported.
"""
import sys
import warnings

warnings.simplefilter("ignore")
try:
    import MDAnalysis
except Exception as error:  # the package or one of its dependencies is missing
    print(f"MDAnalysis cannot be imported: {error}", file=sys.stderr)
    sys.exit(3)

universe = MDAnalysis.Universe(sys.argv[1], format="XYZ")
print(len(universe.trajectory))
for frame in universe.trajectory:
    for name, position in zip(universe.atoms.names, frame.positions):
        print(name, *(repr(float(c)) for c in position))
