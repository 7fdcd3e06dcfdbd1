# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks analyze --series and --events of a trajectory against the trajectory's own numbers, for the tests.

Usage:
  series_oracle.py series TRAJECTORY SERIES.csv SERIES.json FRAMES_DIR
      SERIES.csv and SERIES.json: what `analyze TRAJECTORY --series [--structure [--cutoff R]]` wrote in
      each format; FRAMES_DIR/K.json: what `analyze --format json` (with the same options) wrote of frame
      K imported. Every value must have the digits of the frame's analyze, step and time those of the
      file, and msd the one numpy computes from the file's positions.
  series_oracle.py events TRAJECTORY CUTOFF EVENTS.csv EVENTS.json
      What `analyze TRAJECTORY --events --cutoff CUTOFF` wrote in each format, against the events
      recomputed here from the clusters scipy finds in each frame.
TRAJECTORY: extended XYZ as the program writes it, or a LAMMPS dump (.lammpstrj) with its JSON sidecar.
Prints every difference and exits with 1 when there is one, with 3 when numpy or scipy cannot be imported.
"""
import csv
import json
import sys

try:
    import numpy as np
    from scipy.sparse import coo_matrix
    from scipy.sparse.csgraph import connected_components
except Exception as error:  # the packages or one of their dependencies are missing
    print(f"numpy or scipy cannot be imported: {error}", file=sys.stderr)
    sys.exit(3)


def frames(path):
    """(step, time, {slot: position}) of every frame, the reals as numpy's 80-bit longdouble."""
    lines = open(path).read().splitlines()
    found, at = [], 0
    if path.endswith(".lammpstrj"):
        dt = np.longdouble(json.load(open(path + ".json"), parse_float=str)["dt"])
        while at < len(lines):
            step, count = int(lines[at + 1]), int(lines[at + 3])
            rows = [line.split() for line in lines[at + 9:at + 9 + count]]
            found.append((step, step * dt, {int(r[0]): np.array(r[2:5], dtype=np.longdouble) for r in rows}))
            at += 9 + count
        return found
    while at < len(lines):
        count = int(lines[at])
        keys = dict(item.split("=", 1) for item in lines[at + 1].split() if "=" in item)
        rows = [line.split() for line in lines[at + 2:at + 2 + count]]
        found.append((int(keys["Step"]), np.longdouble(keys["Time"]),
                      {int(r[7]): np.array(r[1:4], dtype=np.longdouble) for r in rows}))
        at += 2 + count
    return found


def msd(taons, first):
    common = sorted(set(taons) & set(first))
    if not common:
        return None
    d = np.array([taons[s] - first[s] for s in common])
    return np.mean(np.sum((d - d.mean(axis=0)) ** 2, axis=1))


def check_series(trajectory, csv_path, json_path, frames_dir):
    found = []
    rows = list(csv.DictReader(open(csv_path)))
    objects = json.load(open(json_path), parse_float=str, parse_int=str)
    run = frames(trajectory)
    if len(rows) != len(run) or len(objects) != len(run):
        return [f"{len(rows)} rows and {len(objects)} objects for {len(run)} frames"]
    analyze_keys = {"kinetic": "kinetic", "pair_energy": "pair_energy", "total_energy": "total_energy",
                    "momentum": "momentum_length", "largest_speed": "largest_speed", "clusters": "cluster_count",
                    "isolated": "isolated", "largest_cluster": "largest_cluster"}
    for k, (row, obj, (step, time, taons)) in enumerate(zip(rows, objects, run), start=1):
        where = f"frame {k}"
        if list(obj) != list(row):
            found.append(f"{where}: JSON keys {list(obj)} != CSV columns {list(row)}")
        for column, text in row.items():  # JSON writes "NAN" where CSV writes n/a
            if obj.get(column) != ("NAN" if text == "n/a" else text):
                found.append(f"{where}: JSON {column} {obj.get(column)} != CSV {text}")
        analyzed = json.load(open(f"{frames_dir}/{k}.json"), parse_float=str, parse_int=str)
        expected = {column: analyzed[key] for column, key in analyze_keys.items() if key in analyzed}
        if "q6" in analyzed:
            expected["q6_mean"] = analyzed["q6"]["mean"]
        # Quantities that are not available are n/a in CSV, as run --log writes them; q6_mean is a real.
        expected = {column: ("n/a" if text == "NAN" and column != "q6_mean" else text)
                    for column, text in expected.items()}
        expected.update({"frame": str(k), "step": str(step)})
        for column, text in expected.items():
            if row.get(column) != text:
                found.append(f"{where}: {column} {row.get(column)} != {text}")
        if np.longdouble(row["time"]) != time:
            found.append(f"{where}: time {row['time']} != {time}")
        value = msd(taons, run[0][2])
        if (value is None) != (row["msd"] == "n/a") or (value is not None and not np.isclose(
                np.longdouble(row["msd"]), value, rtol=1e-15, atol=1e-30)):
            found.append(f"{where}: msd {row['msd']} != {value}")
    return found


def clusters(taons, cutoff):
    """The clusters of two taons or more, as sorted slot lists, largest first, equal sizes by first slot."""
    slots = sorted(taons)
    x = np.array([taons[s] for s in slots]).reshape(-1, 3)
    d = np.sqrt(np.sum((x[:, None, :] - x[None, :, :]) ** 2, axis=2))
    a, b = np.nonzero(np.triu(d < cutoff, 1))
    count, label = connected_components(coo_matrix((np.ones(len(a)), (a, b)), shape=(len(slots),) * 2), directed=False)
    members = [[slots[i] for i in np.flatnonzero(label == c)] for c in range(count)]
    return sorted((m for m in members if len(m) >= 2), key=lambda m: (-len(m), m[0]))


def events(before, after, step):
    """Rows step,event,clusters_before,clusters_after,sizes_before,sizes_after: the clusters of both
    frames that share taons grouped by scipy, each group that is not one unchanged cluster a row."""
    nodes = [set(c) for c in before] + [set(c) for c in after]
    pairs = [(i, len(before) + j) for i, p in enumerate(before) for j, q in enumerate(after) if set(p) & set(q)]
    count, label = connected_components(
        coo_matrix(([1] * len(pairs), ([i for i, _ in pairs], [j for _, j in pairs])), shape=(len(nodes),) * 2),
        directed=False)
    rows = []
    for g in range(count):
        was = [i for i in range(len(before)) if label[i] == g]
        now = [j for j in range(len(after)) if label[len(before) + j] == g]
        if len(was) == 1 and len(now) == 1 and before[was[0]] == after[now[0]]:
            continue
        name = ("formed" if not was else "dissolved" if not now else "merged" if len(was) > 1 and len(now) == 1
                else "split" if len(was) == 1 and len(now) > 1 else "exchanged")
        first = min(min(nodes[n]) for n in range(len(nodes)) if label[n] == g)
        rows.append((first, [step, name, [i + 1 for i in was], [j + 1 for j in now],
                             [len(before[i]) for i in was], [len(after[j]) for j in now]]))
    return [row for _, row in sorted(rows)]


def check_events(trajectory, cutoff, csv_path, json_path):
    run = frames(trajectory)
    found = [clusters(taons, np.longdouble(cutoff)) for _, _, taons in run]
    expected = [row for k in range(1, len(run)) for row in events(found[k - 1], found[k], run[k][0])]
    spaced = lambda values: " ".join(map(str, values))
    text = "step,event,clusters_before,clusters_after,sizes_before,sizes_after\n" + "".join(
        f"{s},{e},{spaced(b)},{spaced(a)},{spaced(sb)},{spaced(sa)}\n" for s, e, b, a, sb, sa in expected)
    differences = []
    if open(csv_path).read() != text:
        differences.append(f"CSV:\n{open(csv_path).read()}expected:\n{text}")
    keys = ["step", "event", "clusters_before", "clusters_after", "sizes_before", "sizes_after"]
    if json.load(open(json_path)) != [dict(zip(keys, row)) for row in expected]:
        differences.append(f"JSON {open(json_path).read()} differs")
    return differences


if __name__ == "__main__":
    if sys.argv[1] == "series":
        differences = check_series(*sys.argv[2:6])
    else:
        differences = check_events(*sys.argv[2:6])
    print("\n".join(differences))
    sys.exit(1 if differences else 0)
