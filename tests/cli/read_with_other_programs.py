# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a trajectory with the readers of other programs and prints what they see, for the tests.

Usage: read_with_other_programs.py READER FILE
  mda-dump  MDAnalysis, a LAMMPS dump (format LAMMPSDUMP)
  ase-dump  ASE, a LAMMPS dump (format lammps-dump-text, in ASE's own units: nothing converted)
  ase-xyz   ASE, an extended XYZ file (format extxyz)
Prints the number of frames, then for every frame one line per atom, in the reader's order:
name x y z vx vy vz, where name is MDAnalysis's id and type ("id:type"), ASE's atomic number (dump)
or chemical symbol (XYZ). Exits with status 3 when the reader cannot be imported.
"""
import sys
import warnings

warnings.simplefilter("ignore")
reader, path = sys.argv[1], sys.argv[2]
try:
    if reader == "mda-dump":
        import MDAnalysis
    else:
        import ase.io
except Exception as error:  # the package or one of its dependencies is missing
    print(f"{reader} cannot be imported: {error}", file=sys.stderr)
    sys.exit(3)


def show(names, positions, velocities):
    for name, position, velocity in zip(names, positions, velocities):
        print(name, *(repr(float(c)) for c in position), *(repr(float(c)) for c in velocity))


if reader == "mda-dump":
    universe = MDAnalysis.Universe(path, format="LAMMPSDUMP")
    names = [f"{i}:{t}" for i, t in zip(universe.atoms.ids, universe.atoms.types)]
    print(len(universe.trajectory))
    for frame in universe.trajectory:
        show(names, frame.positions, frame.velocities)
else:
    frames = ase.io.read(path, index=":", format="lammps-dump-text" if reader == "ase-dump" else "extxyz",
                         **({"units": "ASE"} if reader == "ase-dump" else {}))
    print(len(frames))
    for atoms in frames:
        names = atoms.numbers if reader == "ase-dump" else atoms.get_chemical_symbols()
        show(names, atoms.positions, atoms.get_velocities())
