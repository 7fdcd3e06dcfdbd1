# SPDX-License-Identifier: GPL-3.0-or-later
"""Taonscope from Python: the exact world, the law, runs, structure and the atlas.

Reals are numpy.longdouble, the x87 80-bit extended real of the program, handed over bit for bit;
a run gives what taonscope-cli run gives with the same options, bit for bit.

    import taonscope
    world = taonscope.scenario("cloud", seed=1)
    world.step(1000, cool=True)
    print(world.structure()["cluster_count"])

Every failure of the program raises a subclass of taonscope.Error with the program's message.
docs/PYTHON.md describes the whole API with a worked example.
"""

import collections.abc
import json

import numpy

from . import atlas
from ._taonscope import (
    AtlasError,
    ConversionError,
    Error,
    FloatingPointError,
    IoError,
    TrajectoryFrames,
    TrajectoryWriter,
    World,
    load,
    pair_function,
    pair_slope,
    read_trajectory,
    scenario,
)

__all__ = ["World", "Parameters", "load", "scenario", "read_trajectory", "TrajectoryWriter", "TrajectoryFrames",
           "pair_function", "pair_slope", "from_ase", "atlas", "Error", "IoError", "ConversionError",
           "FloatingPointError", "AtlasError"]

_KIND_LETTERS = "ABCDFG"
_NOT_FINITE = {"INF": numpy.longdouble("inf"), "-INF": -numpy.longdouble("inf"), "NAN": numpy.longdouble("nan")}
_DEFAULT_ASE_SPECIES = ("Ar", "Kr", "Xe")


class Parameters(collections.abc.MutableMapping):
    """The 18 law parameters of a world, A1 ... G3, by name: reading and writing go to the world."""

    _NAMES = tuple(letter + kind for kind in "123" for letter in _KIND_LETTERS)

    def __init__(self, world):
        self._world = world

    def __getitem__(self, name):
        return self._world._parameter(name)

    def __setitem__(self, name, value):
        self._world._set_parameter(name, value)

    def __delitem__(self, name):
        raise TypeError("a world always has its 18 parameters")

    def __iter__(self):
        return iter(self._NAMES)

    def __len__(self):
        return len(self._NAMES)

    def __repr__(self):
        return repr(dict(self))


def _add_to_world(function):
    setattr(World, function.__name__, function)
    return function


World.parameters = property(
    Parameters, lambda world, values: Parameters(world).update(values),
    doc="The 18 law parameters A1 ... G3 (numpy.longdouble) as a mapping that writes to the world: "
        "world.parameters['A2'] = '0.5'; assigning a dict sets the parameters it names.")


@_add_to_world
def parameter_set(self, kind):
    """The six parameters of kind 1, 2 or 3 as {"A": ..., "B": ..., "C": ..., "D": ..., "F": ..., "G": ...},
    as pair_function and pair_slope take them."""
    if kind not in (1, 2, 3):
        raise ValueError(f"the kinds are 1, 2 and 3, not {kind!r}")
    return {letter: self._parameter(f"{letter}{kind}") for letter in _KIND_LETTERS}


def _with_arrays(value):
    """A parsed JSON value with "INF", "-INF" and "NAN" as numbers and its lists of numbers as numpy
    arrays: numpy.longdouble when one of them has a fraction or an exponent, else integers (the JSON
    writes a whole real as it writes a count). Lists of objects stay lists."""
    if isinstance(value, dict):
        return {key: _with_arrays(item) for key, item in value.items()}
    if isinstance(value, list):
        items = [_with_arrays(item) for item in value]
        if any(isinstance(item, dict) for item in items):
            return items
        return numpy.array(items, dtype=None if items else numpy.int64)
    return _NOT_FINITE.get(value, value) if isinstance(value, str) else value


def _from_json(text):
    return _with_arrays(json.loads(text, parse_float=numpy.longdouble))


@_add_to_world
def analyze(self):
    """What taonscope-cli analyze --format json gives, as a dict: kinetic, pair_energy, total_energy,
    energy_conserved, momentum, momentum_length, centre_of_mass, largest_speed, histograms and shells,
    with numpy arrays where the JSON has lists (reals as numpy.longdouble, exactly) and NaN where it has "NAN"."""
    return _from_json(self._analysis_json())


@_add_to_world
def structure(self, cutoff=None):
    """The structure keys of taonscope-cli analyze --structure [--cutoff R] as a dict: cutoff,
    cutoff_source, cluster_count, largest_cluster, isolated, bonds, clusters (a list of dicts),
    coordination, rdf, q4, q6; numpy arrays where the JSON has lists. cutoff: the bond cutoff, or None
    to take it from the data."""
    return _from_json(self._structure_json(cutoff))


def _species(species):
    names = _DEFAULT_ASE_SPECIES if species is None else species
    return names.split(",") if isinstance(names, str) else list(names)


@_add_to_world
def to_ase(self, species=None):
    """The present taons as ase.Atoms: the kinds named by species (three element names, "Ar,Kr,Xe" by
    default), unit masses, positions and velocities as ASE's float64, the slots in the array "slot" and
    dt and the parameters in info. The exact extended values ride along (arrays "taonscope_positions" and
    "taonscope_velocities"), so that from_ase gives this world back bit for bit unless ASE moved the atoms."""
    import ase

    names = _species(species)
    atoms = ase.Atoms(symbols=[names[kind - 1] for kind in self.kinds],
                      positions=self.positions.astype(float), masses=numpy.ones(len(self.kinds)))
    atoms.set_velocities(self.velocities.astype(float))
    atoms.new_array("slot", numpy.asarray(self.slots))
    atoms.new_array("taonscope_positions", self.positions.copy())
    atoms.new_array("taonscope_velocities", self.velocities.copy())
    atoms.info.update(self.parameters, dt=self.dt)
    return atoms


def _exact(atoms, name, approximate):
    """The exact copy of an array to_ase stored, while ASE's float64 values are still its rounding."""
    exact = atoms.arrays.get(name)
    if exact is not None and numpy.array_equal(exact.astype(float), approximate):
        return exact
    return numpy.asarray(approximate, dtype=numpy.longdouble)


def from_ase(atoms, species=None):
    """A world of the atoms of an ase.Atoms: the symbol species names (three names, "Ar,Kr,Xe" by default)
    gives a kind, any other symbol kind 1; the array "slot" places the taons, or else they take the
    slots of their kind in order. Velocities, dt and the parameters A1 ... G3 come from the atoms and
    their info where they are there (otherwise 0). Raises ValueError when the taons do not fit in
    their kind's slots."""
    names = _species(species)
    kinds = [names.index(symbol) + 1 if symbol in names else 1 for symbol in atoms.get_chemical_symbols()]
    if "slot" in atoms.arrays:
        slots = [int(slot) for slot in atoms.arrays["slot"]]
    else:
        first = {1: 1, 2: 51, 3: 81}
        slots = []
        for kind in kinds:
            slots.append(first[kind])
            first[kind] += 1
    fault = ValueError("each taon needs a slot of its own among its kind's: 1-50, 51-80, 81-100")
    if len(set(slots)) != len(slots) or not all(1 <= slot <= 100 for slot in slots):
        raise fault
    world = World()
    present = numpy.zeros(101, dtype=bool)
    present[slots] = True
    world.present = present
    order = numpy.argsort(slots)
    if world.kinds.tolist() != [kinds[i] for i in order]:
        raise fault
    world.positions = _exact(atoms, "taonscope_positions", atoms.get_positions())[order]
    world.velocities = _exact(atoms, "taonscope_velocities", atoms.get_velocities())[order]
    world.parameters = {name: value for name, value in atoms.info.items() if name in Parameters._NAMES}
    world.dt = atoms.info.get("dt", 0)
    return world
