# SPDX-License-Identifier: GPL-3.0-or-later
"""What the module's tests share: taonscope-cli as the oracle, and the shipped examples."""

import os
import pathlib
import subprocess

import numpy
import pytest

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"


def cli(*args, check=True):
    """Runs taonscope-cli; its standard error, or what it printed when check is False."""
    done = subprocess.run([os.environ["TAONSCOPE_CLI"], *map(str, args)], capture_output=True, text=True)
    if check:
        assert done.returncode == 0, done.stderr
    return done


def shown(path):
    """The taons and the reals of a .tao file as taonscope-cli show prints them at full precision."""
    rows = cli("show", path, "--format", "csv").stdout.split()[1:]
    table = [row.split(",") for row in rows]
    parameters = dict(row.split(",") for row in cli("show", path, "--format", "csv", "--parameters").stdout.split()[1:])
    return {"slots": [int(r[0]) for r in table], "kinds": [int(r[1]) for r in table],
            "positions": numpy.array([r[2:5] for r in table], dtype=numpy.longdouble).reshape(-1, 3),
            "velocities": numpy.array([r[5:8] for r in table], dtype=numpy.longdouble).reshape(-1, 3),
            "reals": {name: numpy.longdouble(value) for name, value in parameters.items()}}


@pytest.fixture
def cloud(tmp_path):
    """The built-in cloud of 100 taons, as taonscope-cli scenario writes it."""
    path = tmp_path / "cloud.tao"
    cli("scenario", "cloud", path)
    return path
