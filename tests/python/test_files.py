# SPDX-License-Identifier: GPL-3.0-or-later
"""Scenarios, file failures, trajectories and ASE against taonscope-cli and ASE's own reader."""

import numpy
import pytest

import taonscope
from conftest import EXAMPLES, cli


@pytest.mark.parametrize("name, kwargs, options", [
    ("cloud", {}, []),
    ("cloud", {"seed": 7, "side": "12", "min_distance": "1.25", "kinds": (5, 0, 9)},
     ["--seed", 7, "--side", 12, "--min-distance", 1.25, "--kinds", "5,0,9"]),
    ("ring", {}, []),
    ("easy-square", {}, []),
])
def test_scenarios_are_the_runners(name, kwargs, options, tmp_path):
    taonscope.scenario(name, **kwargs).save(tmp_path / "python.tao")
    cli("scenario", name, tmp_path / "cli.tao", *options)
    assert (tmp_path / "python.tao").read_bytes() == (tmp_path / "cli.tao").read_bytes()


@pytest.mark.parametrize("error, attempt, command", [
    (taonscope.IoError, lambda d: taonscope.load(d / "missing.tao"), ["show", "{d}/missing.tao"]),
    (taonscope.IoError, lambda d: taonscope.load(d / "short.tao"), ["show", "{d}/short.tao"]),
    (taonscope.IoError, lambda d: taonscope.World().save(d / "no/x.tao"), ["scenario", "ring", "{d}/no/x.tao"]),
    (taonscope.IoError, lambda d: taonscope.TrajectoryWriter(d / "no/t.xyz"),
     ["run", EXAMPLES / "01-pair.tao", "--trajectory", "{d}/no/t.xyz"]),
    (taonscope.Error, lambda d: list(taonscope.read_trajectory(d / "cut.xyz")), ["import", "{d}/cut.xyz", "{d}/o.tao"]),
])
def test_file_failures_raise_the_runners_messages(error, attempt, command, tmp_path):
    (tmp_path / "short.tao").write_bytes((EXAMPLES / "01-pair.tao").read_bytes()[:100])
    (tmp_path / "cut.xyz").write_text("2\ncomment\nT1 0 0 0\n")
    with pytest.raises(error) as raised:
        attempt(tmp_path)
    run = cli(*[str(word).format(d=tmp_path) for word in command], check=False)
    assert run.returncode == 2 and str(raised.value) == run.stderr.strip()


@pytest.mark.parametrize("name, kwargs, options", [
    ("run.xyz", {}, []),
    ("named.xyz", {"species": ("Ar", "Kr", "Xe")}, ["--species", "Ar,Kr,Xe"]),
    ("run.lammpstrj", {}, []),
    ("dump.txt", {"format": "lammps"}, ["--trajectory-format", "lammps"]),
])
def test_a_run_records_the_runners_trajectory_and_reads_it_back(name, kwargs, options, cloud, tmp_path):
    world = taonscope.load(cloud)
    with taonscope.TrajectoryWriter(tmp_path / name, every=20, **kwargs) as trajectory:
        world.step(50, trajectory=trajectory)
    assert trajectory.frames == 4
    (tmp_path / "cli").mkdir()
    cli("run", cloud, "--steps", 50, "--trajectory", tmp_path / "cli" / name, "--every", 20, *options)
    for written in (tmp_path / "cli").iterdir():
        assert (tmp_path / written.name).read_bytes() == written.read_bytes()
    for frame, read in enumerate(taonscope.read_trajectory(tmp_path / name, format=kwargs.get("format")), 1):
        read.save(tmp_path / "python.tao")
        cli("import", tmp_path / name, tmp_path / "cli.tao", "--frame", frame, *options)
        assert (tmp_path / "python.tao").read_bytes() == (tmp_path / "cli.tao").read_bytes()
    assert frame == 4


def test_ase_sees_what_it_reads_from_the_runners_xyz_and_gives_the_world_back(tmp_path):
    ase_io = pytest.importorskip("ase.io")
    start = tmp_path / "three.tao"
    cli("scenario", "cloud", start, "--kinds", "4,3,2")
    cli("run", start, "--steps", 10, "--output", tmp_path / "after.tao", "--trajectory", tmp_path / "named.xyz",
        "--species", "Ar,Kr,Xe")
    world = taonscope.load(tmp_path / "after.tao")
    atoms, read = world.to_ase(), ase_io.read(tmp_path / "named.xyz", index=-1)
    assert atoms.get_chemical_symbols() == read.get_chemical_symbols()
    numpy.testing.assert_array_equal(atoms.arrays["slot"], read.arrays["slot"])
    numpy.testing.assert_allclose(atoms.get_positions(), read.get_positions(), rtol=1e-15)
    numpy.testing.assert_allclose(atoms.get_velocities(), read.get_velocities(), rtol=1e-15)
    taonscope.from_ase(atoms).save(tmp_path / "back.tao")
    assert (tmp_path / "back.tao").read_bytes() == (tmp_path / "after.tao").read_bytes()
