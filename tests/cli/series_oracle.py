# SPDX-License-Identifier: GPL-3.0-or-later
"""analyze --series and --events against a trajectory's own numbers (its XYZ or LAMMPS dump text), for the tests.

  series_oracle.py series TRAJECTORY SERIES.csv SERIES.json FRAMES_DIR   (FRAMES_DIR/K.json: analyze of frame K)
  series_oracle.py events TRAJECTORY CUTOFF EVENTS.csv EVENTS.json
Prints every difference and exits with 1 when there is one, with 3 when numpy or scipy cannot be imported.
"""
import csv
import json
import sys

try:
    import numpy as np
    from scipy.sparse import coo_matrix
    from scipy.sparse.csgraph import connected_components
except Exception as error:
    print(f"numpy or scipy cannot be imported: {error}", file=sys.stderr)
    sys.exit(3)


def frames(path):
    """(step, time, {slot: position}) of every frame, in numpy's 80-bit longdouble."""
    lines, found, at = open(path).read().splitlines(), [], 0
    dump = path.endswith(".lammpstrj")
    dt = np.longdouble(json.load(open(path + ".json"), parse_float=str)["dt"]) if dump else None
    while at < len(lines):
        if dump:  # ITEM: TIMESTEP, step, ITEM: NUMBER OF ATOMS, n, four lines of box, ITEM: ATOMS id type x y z
            step, count, first, slot, time = int(lines[at + 1]), int(lines[at + 3]), at + 9, 0, None
        else:  # n, comment with Step= and Time=, species x y z vx vy vz slot
            count, first, slot = int(lines[at]), at + 2, 7
            keys = dict(item.split("=", 1) for item in lines[at + 1].split() if "=" in item)
            step, time = int(keys["Step"]), np.longdouble(keys["Time"])
        rows = [line.split() for line in lines[first:first + count]]
        offset = 2 if dump else 1
        found.append((step, step * dt if dump else time,
                      {int(r[slot]): np.array(r[offset:offset + 3], dtype=np.longdouble) for r in rows}))
        at = first + count
    return found


def check_series(path, csv_path, json_path, frames_dir):
    rows, objects, run = list(csv.DictReader(open(csv_path))), json.load(open(json_path), parse_float=str), frames(path)
    found = [] if len(rows) == len(objects) == len(run) else [f"{len(rows)} rows, {len(objects)} objects"]
    names = {"momentum": "momentum_length", "clusters": "cluster_count"}
    for k, (row, obj, (step, time, taons)) in enumerate(zip(rows, objects, run), start=1):
        analyzed = json.load(open(f"{frames_dir}/{k}.json"), parse_float=str)
        for column, text in row.items():
            # The frame's analyze, in JSON with "NAN" where CSV has n/a, and the same in the series' JSON.
            if column in ("kinetic", "pair_energy", "total_energy", "momentum", "largest_speed", "clusters",
                          "isolated", "largest_cluster", "q6_mean"):
                value = analyzed["q6"]["mean"] if column == "q6_mean" else analyzed[names.get(column, column)]
                if str(value) != ("NAN" if text == "n/a" else text):
                    found.append(f"frame {k}: {column} {text} != {value}")
            if str(obj.get(column)) != ("NAN" if text == "n/a" else text):
                found.append(f"frame {k}: JSON {column} {obj.get(column)} != CSV {text}")
        common = sorted(set(taons) & set(run[0][2]))
        d = np.array([taons[s] - run[0][2][s] for s in common])
        msd = np.mean(np.sum((d - d.mean(axis=0)) ** 2, axis=1))
        if [row["frame"], row["step"], np.longdouble(row["time"])] != [str(k), str(step), time] or \
                list(obj) != list(row) or not np.isclose(np.longdouble(row["msd"]), msd, rtol=1e-15, atol=1e-30):
            found.append(f"frame {k}: {row} against step {step}, time {time}, msd {msd}")
    return found


def components(count, pairs):
    a, b = [p for p, _ in pairs], [q for _, q in pairs]
    return connected_components(coo_matrix(([1] * len(pairs), (a, b)), shape=(count, count)), directed=False)[1]


def clusters(taons, cutoff):
    """The clusters of two taons or more as slot lists, largest first, equal sizes by their first slot."""
    slots = sorted(taons)
    x = np.array([taons[s] for s in slots]).reshape(-1, 3)
    bonded = np.triu(np.sqrt(np.sum((x[:, None] - x[None]) ** 2, axis=2)) < cutoff, 1)
    label = components(len(slots), list(zip(*np.nonzero(bonded))))
    members = [[slots[i] for i in np.flatnonzero(label == c)] for c in set(label)]
    return sorted((m for m in members if len(m) >= 2), key=lambda m: (-len(m), m[0]))


def events(before, after, step):
    """A row for each group of clusters linked by common taons, unless it is one cluster unchanged."""
    nodes = before + after
    label = components(len(nodes), [(i, len(before) + j) for i, p in enumerate(before) for j, q in enumerate(after)
                                    if set(p) & set(q)])
    rows = []
    for g in set(label):
        was = [i for i in range(len(before)) if label[i] == g]
        now = [j for j in range(len(after)) if label[len(before) + j] == g]
        if len(was) == len(now) == 1 and before[was[0]] == after[now[0]]:
            continue
        name = ("formed" if not was else "dissolved" if not now else "merged" if len(was) > 1 and len(now) == 1
                else "split" if len(was) == 1 and len(now) > 1 else "exchanged")
        first = min(nodes[n][0] for n in range(len(nodes)) if label[n] == g)
        rows.append((first, [step, name, [i + 1 for i in was], [j + 1 for j in now],
                             [len(before[i]) for i in was], [len(after[j]) for j in now]]))
    return [row for _, row in sorted(rows)]


def check_events(trajectory, cutoff, csv_path, json_path):
    run = frames(trajectory)
    found = [clusters(taons, np.longdouble(cutoff)) for _, _, taons in run]
    expected = [row for k in range(1, len(run)) for row in events(found[k - 1], found[k], run[k][0])]
    keys = ["step", "event", "clusters_before", "clusters_after", "sizes_before", "sizes_after"]
    text = ",".join(keys) + "\n" + "".join(",".join(" ".join(map(str, v)) if isinstance(v, list) else str(v)
                                                    for v in row) + "\n" for row in expected)
    written = open(csv_path).read()
    return ([] if written == text else [f"CSV:\n{written}expected:\n{text}"]) + (
        [] if json.load(open(json_path)) == [dict(zip(keys, row)) for row in expected] else ["JSON differs"])


if __name__ == "__main__":
    differences = (check_series if sys.argv[1] == "series" else check_events)(*sys.argv[2:6])
    print("\n".join(differences))
    sys.exit(1 if differences else 0)
