# SPDX-License-Identifier: GPL-3.0-or-later
"""Steps, settling, faults and interruptions against taonscope-cli run, bit for bit; the law against its
documented formula."""

import re
import signal
import threading

import numpy
import pytest

import taonscope
from conftest import EXAMPLES, cli, shown


@pytest.mark.parametrize("start, call, kwargs, options", [
    ("cloud", "step", {"n": 100}, ["--steps", 100]),
    ("cloud", "step", {"n": 100, "cool": True, "threads": 1}, ["--steps", 100, "--cool", "--threads", 1]),
    ("cloud", "step", {"kernel": "literal"}, ["--kernel", "literal"]),
    ("ring", "settle", {}, ["--until-settled", "1e-6"]),
    ("cloud", "settle", {"speed": "1e-6", "max_steps": 100}, ["--until-settled", "1e-6", "--max-steps", 100]),
])
def test_runs_make_what_the_runner_makes(start, call, kwargs, options, tmp_path):
    path = tmp_path / "start.tao"
    cli("scenario", start, path)
    world = taonscope.load(path)
    made = getattr(world, call)(**kwargs)
    world.save(tmp_path / "python.tao")
    run = cli("run", path, *options, "--output", tmp_path / "cli.tao", check=False)
    assert run.returncode in (0, 3), run.stderr
    assert made == int(re.search(r"^(\d+) steps in", run.stderr, re.M).group(1)) == world.step_counter
    assert (tmp_path / "python.tao").read_bytes() == (tmp_path / "cli.tao").read_bytes()


@pytest.mark.parametrize("kernel", ["fast", "literal"])
def test_accelerations_are_a_step_of_dt_1_from_rest(kernel, cloud, tmp_path):
    world = taonscope.load(cloud)
    world.velocities = numpy.zeros_like(world.velocities)
    world.save(tmp_path / "rest.tao")
    cli("run", tmp_path / "rest.tao", "--steps", 1, "--dt", 1, "--kernel", kernel, "--output", tmp_path / "after.tao")
    numpy.testing.assert_array_equal(world.accelerations(kernel), shown(tmp_path / "after.tao")["velocities"])


@pytest.mark.parametrize("kernel", ["fast", "literal"])
def test_a_fault_raises_the_runners_message_and_changes_nothing(kernel, tmp_path):
    world = taonscope.load(EXAMPLES / "01-pair.tao")
    world.step(3)
    world.positions = numpy.zeros_like(world.positions)
    world.save(tmp_path / "together.tao")
    with pytest.raises(taonscope.FloatingPointError) as fault:
        world.step(5, kernel=kernel)
    assert world.step_counter == 3
    world.save(tmp_path / "after.tao")
    assert (tmp_path / "after.tao").read_bytes() == (tmp_path / "together.tao").read_bytes()
    run = cli("run", tmp_path / "together.tao", "--steps", 5, "--kernel", kernel, check=False)
    assert run.returncode == 1 and run.stderr.splitlines()[0].endswith(": step 1: " + str(fault.value))


def test_ctrl_c_ends_a_run_after_a_whole_step(cloud, tmp_path):
    world = taonscope.load(cloud)
    timer = threading.Timer(0.3, signal.pthread_kill, (threading.main_thread().ident, signal.SIGINT))
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        world.step(20000)
    timer.join()
    assert signal.getsignal(signal.SIGINT) is signal.default_int_handler
    assert 0 < world.step_counter < 20000
    world.save(tmp_path / "python.tao")
    cli("run", cloud, "--steps", world.step_counter, "--output", tmp_path / "cli.tao")
    assert (tmp_path / "python.tao").read_bytes() == (tmp_path / "cli.tao").read_bytes()


def documented_phi(parameters, d):
    """Phi(d) = core(d) - well(d) - the five shells, as docs/INSTRUMENTS.md writes it."""
    d = numpy.longdouble(d)
    u, v = numpy.longdouble("4.725") * d, numpy.longdouble("0.09") * d
    phi = u ** -(u ** 19) - numpy.longdouble("1.25e-12") * v ** (75 / v)
    for letter in "BCDFG":
        w = numpy.longdouble("1.029") / parameters[letter] * d
        phi -= w ** ((numpy.longdouble("2.5") - w ** 20) / (numpy.longdouble("0.1") * w))
    return phi


@pytest.mark.parametrize("kind", [1, 2, 3])
def test_the_pair_function_and_its_slope_are_the_documented_law(kind, cloud):
    parameters = taonscope.load(cloud).parameter_set(kind)
    distances = numpy.array(["0.2", "1", "2.2", "3.1", "5.5", "12", "30"], dtype=numpy.longdouble)
    as_sequence = [parameters[letter] for letter in "ABCDFG"]
    expected = [documented_phi(parameters, d) for d in distances]
    numpy.testing.assert_allclose(taonscope.pair_function(as_sequence, distances), expected, rtol=1e-15)
    h = distances * numpy.longdouble("1e-7")
    difference = [(documented_phi(parameters, d + e) - documented_phi(parameters, d - e)) / (2 * e)
                  for d, e in zip(distances, h)]
    numpy.testing.assert_allclose(taonscope.pair_slope(parameters, distances), difference, rtol=1e-9, atol=1e-20)
