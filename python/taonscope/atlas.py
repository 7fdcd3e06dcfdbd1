# SPDX-License-Identifier: GPL-3.0-or-later
"""The atlas from Python: plan a sweep into a folder, run its cells, read what they made.

    taonscope.atlas.plan("strength-and-step.atlas.json", "strength")
    taonscope.atlas.run("strength")
    rows = taonscope.atlas.read("strength")

The folder is the one taonscope-cli atlas uses: either may go on with the other's work.
docs/ATLAS.md describes sweeps, cells and outcomes.
"""

import csv
import os
import signal
import subprocess
import sys

import numpy

from . import _taonscope

# A fresh interpreter imports the compiled module alone (not numpy, which may start threads) and runs
# the cells, each in a process forked from it.
_RUN_CELLS = """
import sys
sys.path.insert(0, sys.argv[1])
import _taonscope
stop, failures = _taonscope._run_cells(sys.argv[2], int(sys.argv[3]))
print(*failures, sep="\\n")
sys.exit(128 + stop if stop else 1 if failures else 0)
"""


def plan(sweep, folder):
    """Checks a sweep file (*.atlas.json) and writes its plan into folder, as taonscope-cli atlas plan
    does; planning the same sweep into its folder again keeps the cells done. Returns the number of
    cells. A fault of the sweep or the folder raises AtlasError naming it, before anything is written."""
    return _taonscope._plan_atlas(os.fspath(sweep), os.fspath(folder))


def run(folder, jobs=None):
    """Runs the cells of a planned folder that are not done, on jobs processes at a time (None: one per
    core), then merges atlas.csv and atlas.json, as taonscope-cli atlas run does. The cells run from a
    new process of their own, which forks one process per cell: a process that forks must have no
    other threads, and this one may (a notebook's, numpy's). On a terminal a progress line goes to
    standard error. Cells that fail raise AtlasError with their messages ("cell 5: why"); Ctrl+C ends
    the running cells and raises KeyboardInterrupt, and the cells done stay done for the next run."""
    if jobs is not None and not 1 <= jobs <= 256:
        raise ValueError(f"jobs is 1 to 256 or None, not {jobs!r}")
    folder = os.fspath(folder)
    if _taonscope._cells_to_run(folder) > 0:
        package = os.path.dirname(os.path.abspath(_taonscope.__file__))
        command = [sys.executable, "-I", "-c", _RUN_CELLS, package, folder, str(jobs or 0)]
        with subprocess.Popen(command, stdout=subprocess.PIPE, text=True) as cells:
            try:
                failures = cells.stdout.read().strip()
                status = cells.wait()
            except KeyboardInterrupt:
                # A notebook's interrupt reaches this process alone; the cells must hear it too.
                cells.send_signal(signal.SIGINT)
                cells.wait()
                raise
        if status == 128 + signal.SIGINT:
            raise KeyboardInterrupt
        if status != 0:
            raise _taonscope.AtlasError(failures or f"the cells' process ended with status {status}")
    _taonscope._merge_atlas(folder)


def _value(text):
    """A field of atlas.csv as a number when it is one: int, or numpy.longdouble exactly."""
    try:
        return int(text)
    except ValueError:
        pass
    try:
        return numpy.longdouble(text)
    except ValueError:
        return text


def read(folder):
    """The rows of the folder's atlas.csv (written by run or taonscope-cli atlas merge) as a list of
    dicts, one per cell in cell order, keyed by the columns (cell, seed, the varied parameters,
    outcome, clusters, ...); numbers as int or numpy.longdouble, the rest as text. A pandas DataFrame
    of the same rows when pandas can be imported."""
    with open(os.path.join(os.fspath(folder), "atlas.csv"), newline="", encoding="utf-8") as file:
        rows = [{key: _value(text) for key, text in row.items()} for row in csv.DictReader(file)]
    try:
        import pandas
    except ImportError:
        return rows
    return pandas.DataFrame(rows)
