#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Independent checks of an atlas folder with numpy, scipy and PIL, for the tests.

Usage:
  atlas_oracle.py check TAONSCOPE-CLI DIR
      Checks that DIR/atlas.csv holds the cells in order with the values of numpy's grid (repetitions
      fastest), that atlas.json says the same, and, from each cell's configuration as `show --format csv`
      prints it, the clusters (scipy's connected components at the row's cutoff), K per taon, the largest
      speed and the outcome by the rules of docs/ATLAS.md. Prints every difference.
  atlas_oracle.py pixels PNG WIDTH HEIGHT [X Y R G B]...
      Checks the size of a PNG picture and the colour of the pixels given, read with PIL.
  atlas_oracle.py schema SCHEMA SWEEP...
      Prints "valid" or "invalid: why" for each sweep file, as jsonschema judges it against SCHEMA.
Exits with 3 when a module cannot be imported, with 1 when a check finds a difference.
"""
import csv
import io
import itertools
import json
import subprocess
import sys

try:
    import jsonschema
    import numpy as np
    from PIL import Image
    from scipy.sparse import coo_matrix
    from scipy.sparse.csgraph import connected_components
    from scipy.spatial.distance import pdist, squareform
except Exception as error:  # the packages or one of their dependencies are missing
    print(f"jsonschema, numpy, scipy or PIL cannot be imported: {error}", file=sys.stderr)
    sys.exit(3)


def close(a, b, rtol=1e-12):
    return bool(np.isclose(float(a), float(b), rtol=rtol, atol=1e-300, equal_nan=True))


def axis_values(axis):
    spaced = np.geomspace if axis.get("spacing", "linear") == "log" else np.linspace
    return spaced(axis["from"], axis["to"], axis["count"])


def check(cli, folder):
    faults = []
    sweep, merged = (json.load(open(f"{folder}/{name}")) for name in ("sweep.atlas.json", "atlas.json"))
    with open(f"{folder}/atlas.csv", newline="") as file:
        rows = list(csv.DictReader(file))
    names = [axis["parameter"] for axis in sweep["vary"]]
    repetitions = sweep.get("repetitions", 1)
    base = sweep["base"]
    seeded = "file" not in base and base.get("scenario") == "cloud"
    grid = list(itertools.product(*[axis_values(axis) for axis in sweep["vary"]], range(repetitions)))
    if len(rows) != len(grid):
        faults.append(f"{len(rows)} rows for {len(grid)} cells")
    moving = merged["classify"]["moving_speed"]
    for number, (row, cell, record) in enumerate(zip(rows, grid, merged["rows"]), start=1):
        where = f"cell {number}"
        if int(row["cell"]) != number:
            faults.append(f"{where}: row says cell {row['cell']}")
        seed = str(base.get("seed", 1) + cell[-1]) if seeded else ""
        if row["seed"] != seed:
            faults.append(f"{where}: seed {row['seed']}, not {seed}")
        for name, value in zip(names, cell[:-1]):
            # Values between the ends are rounded to 15 significant digits.
            if not close(row[name], value, 5e-15):
                faults.append(f"{where}: {name} = {row[name]}, not {value}")
            if not close(record["values"][name], row[name], 0):
                faults.append(f"{where}: atlas.json has {name} = {record['values'][name]}")
        for key in ["outcome", "clusters", "largest_cluster", "isolated", "taons", "steps", "shape", "message"]:
            if str(record[key]) != row[key]:
                faults.append(f"{where}: atlas.json has {key} {record[key]}, atlas.csv {row[key]}")
        for key in ["kinetic_per_taon", "pair_energy_per_taon", "largest_speed", "cutoff"]:
            if not close(record[key], row[key], 0):
                faults.append(f"{where}: atlas.json has {key} {record[key]}, atlas.csv {row[key]}")

        shown = subprocess.run([cli, "show", f"{folder}/{record['configuration']}", "--format", "csv"],
                               capture_output=True, text=True, check=True).stdout
        taons = np.loadtxt(io.StringIO(shown), delimiter=",", skiprows=1, ndmin=2)
        x, v, n = taons[:, 2:5], taons[:, 5:8], len(taons)
        bonded = squareform(pdist(x)) < float(row["cutoff"])
        np.fill_diagonal(bonded, False)
        _, labels = connected_components(coo_matrix(bonded), directed=False)
        sizes = np.bincount(labels)
        expected = {"taons": n, "clusters": int(np.sum(sizes >= 2)), "largest_cluster": int(sizes.max()),
                    "isolated": int(np.sum(~bonded.any(axis=1)))}
        for key, value in expected.items():
            if int(row[key]) != value:
                faults.append(f"{where}: {key} {row[key]}, scipy finds {value}")
        speed = np.sqrt((v ** 2).sum(axis=1))
        if not close(row["kinetic_per_taon"], (v ** 2).sum() / 2 / n, 1e-12):
            faults.append(f"{where}: kinetic_per_taon {row['kinetic_per_taon']}, numpy finds {(v ** 2).sum() / 2 / n}")
        if not close(row["largest_speed"], speed.max(), 1e-12):
            faults.append(f"{where}: largest speed {row['largest_speed']}, numpy finds {speed.max()}")
        if row["message"]:
            outcome = "faulted"
        elif 2 * expected["isolated"] >= n:
            outcome = "dispersed"
        elif speed.max() >= moving:
            outcome = "still moving"
        else:
            outcome = "one cluster" if expected["clusters"] == 1 else "several clusters"
        if row["outcome"] != outcome:
            faults.append(f"{where}: outcome {row['outcome']}, by the rules {outcome}")
    return faults


def pixels(path, width, height, points):
    image = Image.open(path).convert("RGB")
    faults = [] if image.size == (width, height) else [f"size {image.size}, not {(width, height)}"]
    for x, y, *colour in points:
        if list(image.getpixel((x, y))) != colour:
            faults.append(f"pixel {x},{y} is {image.getpixel((x, y))}, not {tuple(colour)}")
    return faults


def schema(path, sweeps):
    with open(path) as file:
        validator = jsonschema.Draft202012Validator(json.load(file))
    for sweep in sweeps:
        with open(sweep) as file:
            errors = list(validator.iter_errors(json.load(file)))
        print("valid" if not errors else "invalid: " + errors[0].message.replace("\n", " "))
    return []


def main(arguments):
    if arguments[:1] == ["check"] and len(arguments) == 3:
        faults = check(arguments[1], arguments[2])
    elif arguments[:1] == ["pixels"] and len(arguments) >= 4 and (len(arguments) - 4) % 5 == 0:
        numbers = [int(a) for a in arguments[4:]]
        faults = pixels(arguments[1], int(arguments[2]), int(arguments[3]),
                        [numbers[i:i + 5] for i in range(0, len(numbers), 5)])
    elif arguments[:1] == ["schema"] and len(arguments) >= 3:
        faults = schema(arguments[1], arguments[2:])
    else:
        sys.exit(__doc__)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
