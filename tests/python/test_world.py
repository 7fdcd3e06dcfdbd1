# SPDX-License-Identifier: GPL-3.0-or-later
"""The world's arrays, reals and measures against taonscope-cli: the file as it shows it, analyze's JSON."""

import json

import numpy
import pytest

import taonscope
from conftest import EXAMPLES, cli, shown


@pytest.mark.parametrize("name", ["01-pair.tao", "03-three-kinds.tao", "05-cloud.tao", "09-wheel.tao"])
def test_a_loaded_world_is_the_file_bit_for_bit(name, tmp_path):
    world = taonscope.load(EXAMPLES / name)
    world.save(tmp_path / name)
    assert (tmp_path / name).read_bytes() == (EXAMPLES / name).read_bytes()
    oracle = shown(EXAMPLES / name)
    assert world.slots.tolist() == oracle["slots"] and world.kinds.tolist() == oracle["kinds"]
    assert world.present.tolist() == [slot in oracle["slots"] for slot in range(101)]
    assert world.positions.dtype == numpy.longdouble
    numpy.testing.assert_array_equal(world.positions, oracle["positions"])
    numpy.testing.assert_array_equal(world.velocities, oracle["velocities"])
    assert {"dt": world.dt, **world.parameters} == oracle["reals"]


def test_what_python_writes_is_what_the_file_holds_and_the_next_step_starts_from(cloud, tmp_path):
    world = taonscope.load(cloud)
    present = world.present.copy()
    present[[7, 60]] = False
    world.present = present
    positions = world.positions + numpy.longdouble("1e-12")
    world.positions = positions
    world.velocities = -world.velocities
    world.dt = "0.0007"
    world.parameters["A2"] = "0.4"
    edited = tmp_path / "edited.tao"
    world.save(edited)
    oracle = shown(edited)
    assert 7 not in oracle["slots"] and 60 not in oracle["slots"] and len(oracle["slots"]) == 98
    numpy.testing.assert_array_equal(oracle["positions"], positions)
    assert oracle["reals"]["dt"] == numpy.longdouble("0.0007") and oracle["reals"]["A2"] == numpy.longdouble("0.4")
    world.step(20)
    world.save(tmp_path / "python.tao")
    cli("run", edited, "--steps", 20, "--output", tmp_path / "cli.tao")
    assert (tmp_path / "python.tao").read_bytes() == (tmp_path / "cli.tao").read_bytes()


@pytest.mark.parametrize("change, error", [
    (lambda w: setattr(w, "positions", numpy.zeros((99, 3))), ValueError),
    (lambda w: setattr(w, "dt", "0,1"), taonscope.ConversionError),
    (lambda w: w.parameters.__setitem__("E1", 1), KeyError),
    (lambda w: w.positions.__setitem__((0, 0), 1), ValueError),
    (lambda w: w.settle(0), ValueError),
])
def test_a_refused_change_changes_nothing(change, error, cloud, tmp_path):
    world = taonscope.load(cloud)
    with pytest.raises(error):
        change(world)
    world.save(tmp_path / "same.tao")
    assert (tmp_path / "same.tao").read_bytes() == cloud.read_bytes()


def runners(value):
    """A value of the runner's JSON, parsed with numpy.longdouble reals, with its texts of reals as numbers."""
    if isinstance(value, list):
        return [runners(item) for item in value]
    not_finite = {"NAN": numpy.nan, "INF": numpy.inf, "-INF": -numpy.inf}
    return numpy.longdouble(not_finite[value]) if isinstance(value, str) and value in not_finite else value


def assert_same(mine, theirs):
    if isinstance(theirs, dict):
        assert mine.keys() == theirs.keys()
        for key in theirs:
            assert_same(mine[key], theirs[key])
    elif isinstance(theirs, list) and any(isinstance(item, dict) for item in theirs):
        assert len(mine) == len(theirs)
        for item, expected in zip(mine, theirs):
            assert_same(item, expected)
    else:
        expected = numpy.asarray(runners(theirs))
        assert numpy.asarray(mine).dtype.kind == expected.dtype.kind or expected.size == 0
        numpy.testing.assert_array_equal(mine, expected)


@pytest.mark.parametrize("kinds, method, kwargs, options", [
    ("50,30,20", "analyze", {}, []),
    ("50,30,20", "structure", {}, ["--structure"]),
    ("50,30,20", "structure", {"cutoff": "3.1"}, ["--structure", "--cutoff", "3.1"]),
    ("1,0,0", "analyze", {}, []),
    ("1,0,0", "structure", {}, ["--structure"]),
])
def test_measures_are_the_runners_json(kinds, method, kwargs, options, tmp_path):
    cli("scenario", "cloud", tmp_path / "start.tao", "--kinds", kinds)
    cli("run", tmp_path / "start.tao", "--steps", 200, "--cool", "--output", tmp_path / "cooled.tao")
    mine = getattr(taonscope.load(tmp_path / "cooled.tao"), method)(**kwargs)
    text = cli("analyze", tmp_path / "cooled.tao", "--format", "json", *options).stdout
    theirs = json.loads(text, parse_float=numpy.longdouble)
    if method == "structure":
        assert set(theirs) == set(mine) | set(taonscope.World().analyze())
    assert_same(mine, {key: theirs[key] for key in mine})
