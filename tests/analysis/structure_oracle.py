# SPDX-License-Identifier: GPL-3.0-or-later
"""Independent computations of the structure analysis with numpy and scipy, for the tests.

Usage:
  structure_oracle.py compare TAONS.json ANALYZE.json [TAONS.json ANALYZE.json ...]
      TAONS.json: {"taons": [[slot, kind, x, y, z, vx, vy, vz], ...], "cutoff": R or null}.
      ANALYZE.json: what `taonscope-cli analyze --structure --format json` wrote for those taons.
      Recomputes bonds, clusters, coordination, g(r) and q4/q6 at the cutoff ANALYZE.json states and
      prints every difference; exits with 1 when there is one, 0 when there is none.
  structure_oracle.py shapes SEED
      Prints ideal shapes, built here on their own, perfect and perturbed, and random point sets:
      for each a line "NAME N" (NAME with _ for blanks; none for the random sets), then N lines x y z.
Exits with status 3 when numpy or scipy cannot be imported.
"""
import json
import sys
import warnings

warnings.simplefilter("ignore")
try:
    import numpy as np
    from scipy.sparse import coo_matrix
    from scipy.sparse.csgraph import connected_components
    from scipy.spatial import ConvexHull, cKDTree
    from scipy.special import sph_harm
except Exception as error:  # the packages or one of their dependencies are missing
    print(f"numpy or scipy cannot be imported: {error}", file=sys.stderr)
    sys.exit(3)

KIND_PAIRS = [(1, 1), (1, 2), (1, 3), (2, 2), (2, 3), (3, 3)]


def number(value):
    """A JSON number, or the strings the program writes for values that are not finite."""
    return float({"NAN": "nan", "INF": "inf", "-INF": "-inf"}.get(value, value)) if isinstance(value, str) else value


class Differences:
    def __init__(self):
        self.found = []

    def near(self, what, actual, expected, tolerance):
        actual, expected = np.asarray(actual, float), np.asarray(expected, float)
        if actual.shape != expected.shape:
            self.found.append(f"{what}: shape {actual.shape}, expected {expected.shape}")
        elif not np.allclose(actual, expected, rtol=tolerance, atol=tolerance, equal_nan=True):
            worst = np.nanmax(np.abs(actual - expected))
            self.found.append(f"{what}: {actual.tolist()} != {expected.tolist()} (by {worst})")

    def equal(self, what, actual, expected):
        if actual != expected:
            self.found.append(f"{what}: {actual} != {expected}")


def bond_order(l, positions, neighbours):
    """q_lm of every taon from scipy's complex spherical harmonics, m = -l .. l."""
    q = np.zeros((len(positions), 2 * l + 1), complex)
    for a, bonded in enumerate(neighbours):
        if not bonded:
            continue
        v = positions[bonded] - positions[a]
        r = np.linalg.norm(v, axis=1)
        azimuth, polar = np.arctan2(v[:, 1], v[:, 0]), np.arccos(np.clip(v[:, 2] / r, -1, 1))
        for m in range(-l, l + 1):
            q[a, m + l] = sph_harm(m, l, azimuth, polar).mean()
    return q


def invariant(l, qlm):
    return np.sqrt(4 * np.pi / (2 * l + 1) * np.sum(np.abs(qlm) ** 2, axis=-1))


def compare(taons_path, analyze_path):
    given = json.load(open(taons_path))
    actual = json.load(open(analyze_path))  # also proves the output is strict JSON
    d = Differences()
    taons = np.array(given["taons"], float).reshape(-1, 8)
    slots, kinds = taons[:, 0].astype(int), taons[:, 1].astype(int)
    x, v = taons[:, 2:5], taons[:, 5:8]
    n = len(slots)
    cutoff = number(actual["cutoff"])
    if given["cutoff"] is not None:
        d.near("cutoff", cutoff, given["cutoff"], 1e-18)

    # Bonds: scipy's pairs within the cutoff, leaving out those too close to it to tell.
    tree = cKDTree(x)
    pairs = sorted(tree.query_pairs(cutoff)) if n else []
    distance = lambda a, b: np.linalg.norm(x[a] - x[b])
    clear = lambda a, b: abs(distance(a, b) - cutoff) > 1e-9 * cutoff
    expected_bonds = {(slots[a], slots[b]) for a, b in pairs if clear(a, b)}
    index = {s: a for a, s in enumerate(slots)}
    actual_bonds = {tuple(b) for b in actual["bonds"] if clear(index[b[0]], index[b[1]])}
    d.equal("bonds", sorted(actual_bonds), sorted(expected_bonds))
    neighbours = [[] for _ in range(n)]
    for a, b in pairs:
        neighbours[a].append(b)
        neighbours[b].append(a)

    # Clusters: scipy's connected components, largest first.
    graph = coo_matrix((np.ones(len(pairs)), ([a for a, _ in pairs], [b for _, b in pairs])), shape=(n, n))
    count, label = connected_components(graph, directed=False) if n else (0, [])
    members = sorted((np.flatnonzero(label == c) for c in range(count)), key=lambda m: (-len(m), slots[m[0]]))
    d.equal("cluster_count", actual["cluster_count"], count)
    d.equal("largest_cluster", actual["largest_cluster"], max((len(m) for m in members), default=0))
    d.equal("isolated", actual["isolated"], sum(len(m) == 1 for m in members))
    d.equal("cluster sizes", [c["size"] for c in actual["clusters"]], [len(m) for m in members])
    for c, (cluster, m) in enumerate(zip(actual["clusters"], members)):
        d.equal(f"cluster {c} slots", cluster["slots"], [int(s) for s in slots[m]])
        d.equal(f"cluster {c} kinds", cluster["kinds"], [int(np.sum(kinds[m] == k)) for k in (1, 2, 3)])
        centre, velocity = x[m].mean(axis=0), v[m].mean(axis=0)
        scale = 1 + np.abs(x).max()
        d.near(f"cluster {c} centre", np.array([number(p) for p in cluster["centre"]]) / scale, centre / scale, 1e-12)
        rg = np.sqrt(np.mean(np.sum((x[m] - centre) ** 2, axis=1)))
        d.near(f"cluster {c} radius of gyration", cluster["radius_of_gyration"], rg, 1e-12)
        d.near(f"cluster {c} centre speed", number(cluster["centre_speed"]), np.linalg.norm(velocity), 1e-9)
        rest = np.setdiff1d(np.arange(n), m)
        receding = 0.0
        if len(rest):
            away = centre - x[rest].mean(axis=0)
            receding = np.dot(away, velocity - v[rest].mean(axis=0)) / np.linalg.norm(away)
        d.near(f"cluster {c} receding speed", number(cluster["receding_speed"]), receding, 1e-9)

    # Coordination per taon and its histograms.
    bonds = np.array([len(b) for b in neighbours], int)
    d.equal("coordination by_slot", actual["coordination"]["by_slot"], {str(s): int(b) for s, b in zip(slots, bonds)})
    length = bonds.max() + 1 if n else 0
    histogram = actual["coordination"]["histogram"]
    d.equal("coordination histogram all", histogram["all"], np.bincount(bonds, minlength=length).tolist())
    for k in (1, 2, 3):
        d.equal(f"coordination histogram {k}", histogram[str(k)],
                np.bincount(bonds[kinds == k], minlength=length).tolist() if n else [])

    # g(r): numpy's histogram of the pair distances on the stated grid, against an ideal gas in the sphere
    # whose radius of gyration is that of all taons.
    rdf = actual["rdf"]
    r = np.array(rdf["r"], float)
    width = r[1] - r[0]
    edges = np.arange(len(r) + 1) * width
    rg_all = np.sqrt(np.mean(np.sum((x - x.mean(axis=0)) ** 2, axis=1))) if n else 0.0
    volume = 4 / 3 * np.pi * (np.sqrt(5 / 3) * rg_all) ** 3
    shells = 4 / 3 * np.pi * (edges[1:] ** 3 - edges[:-1] ** 3)
    a_index, b_index = np.triu_indices(n, 1)
    all_distances = np.linalg.norm(x[a_index] - x[b_index], axis=1)
    for name, (ka, kb) in [(f"{p}-{q}", (p, q)) for p, q in KIND_PAIRS] + [("all", (0, 0))]:
        if ka:
            chosen = ((kinds[a_index] == ka) & (kinds[b_index] == kb)) | ((kinds[a_index] == kb) & (kinds[b_index] == ka))
            na, nb = np.sum(kinds == ka), np.sum(kinds == kb)
            pair_count = na * (na - 1) / 2 if ka == kb else na * nb
        else:
            chosen, pair_count = np.ones(len(all_distances), bool), n * (n - 1) / 2
        counts, _ = np.histogram(all_distances[chosen], bins=edges)
        expected = counts * volume / (pair_count * shells) if pair_count and volume > 0 else np.zeros(len(r))
        d.near(f"rdf {name}", np.array([number(g) for g in rdf[name]]), expected, 1e-12)

    # Steinhardt q4, q6 and the averages over each taon and its neighbours.
    for l in (4, 6):
        qlm = bond_order(l, x, neighbours)
        averaged = np.array([(qlm[a] + qlm[neighbours[a]].sum(axis=0)) / (len(neighbours[a]) + 1) for a in range(n)])
        bonded = bonds > 0
        q, qa = invariant(l, qlm), invariant(l, averaged) if n else np.zeros(0)
        got = actual[f"q{l}"]
        d.equal(f"q{l} slots", sorted(got["by_slot"], key=int), [str(s) for s in slots[bonded]])
        d.near(f"q{l} by_slot", [number(got["by_slot"].get(str(s), "NAN")) for s in slots[bonded]], q[bonded], 1e-10)
        d.near(f"q{l} averaged_by_slot", [number(got["averaged_by_slot"].get(str(s), "NAN")) for s in slots[bonded]],
               qa[bonded], 1e-10)
        d.near(f"q{l} mean", number(got["mean"]), q[bonded].mean() if bonded.any() else np.nan, 1e-10)
        d.near(f"q{l} averaged_mean", number(got["averaged_mean"]), qa[bonded].mean() if bonded.any() else np.nan, 1e-10)

    return d.found


def polygon(sides):
    radius = 1 / (2 * np.sin(np.pi / sides))
    t = 2 * np.pi * np.arange(sides) / sides
    return np.column_stack([radius * np.cos(t), radius * np.sin(t), np.zeros(sides)])


def with_apexes(base, which):
    """The base polygon with apexes at distance 1 from its vertices: which is +1, -1 or both."""
    radius = np.linalg.norm(base[0])
    height = np.sqrt(1 - radius**2)
    return np.vstack([base] + [[0, 0, s * height] for s in which])


def capped(points, face):
    """A point outside the face through three vertices, at distance 1 from them, above the centre of their
    circle; outside is away from the middle of scipy's convex hull."""
    hull = ConvexHull(points)
    corners = points[list(face)]
    a, b = corners[1] - corners[0], corners[2] - corners[0]
    normal = np.cross(a, b)
    centre = corners[0] + (np.dot(b, b) * np.cross(normal, a) + np.dot(a, a) * np.cross(b, normal)) / (2 * np.dot(normal, normal))
    normal /= np.linalg.norm(normal)
    if np.dot(normal, centre - points[hull.vertices].mean(axis=0)) < 0:
        normal = -normal
    return np.vstack([points, centre + normal * np.sqrt(1 - np.sum((corners[0] - centre) ** 2))])


def icosahedron():
    phi = (1 + 5**0.5) / 2
    return np.array([p for s in (-1, 1) for t in (-1, 1) for p in ((0, s, t * phi), (s, t * phi, 0), (t * phi, 0, s))]) / 2


def close_packing(eclipsed):
    layer = [[np.cos(t) / 3**0.5, np.sin(t) / 3**0.5] for t in np.pi / 6 + 2 * np.pi * np.arange(3) / 3]
    other = layer if eclipsed else [[-a, -b] for a, b in layer]
    h = (2 / 3) ** 0.5
    return np.vstack([[[0, 0, 0]], polygon(6) * 1.0, [[a, b, h] for a, b in layer], [[a, b, -h] for a, b in other]])


def antiprism():
    bottom = polygon(4)
    top = bottom @ np.array([[np.cos(np.pi / 4), np.sin(np.pi / 4), 0], [-np.sin(np.pi / 4), np.cos(np.pi / 4), 0], [0, 0, 1]])
    chord = np.linalg.norm(bottom[0] - top[0])
    return np.vstack([bottom, top + [0, 0, np.sqrt(1 - chord**2)]])


def shapes():
    prism = np.vstack([polygon(3), polygon(3) + [0, 0, 1]])
    ico = icosahedron()
    named = {
        "dimer": np.array([[0, 0, 0], [1, 0, 0]]),
        "line": np.array([[0, 0, 0], [1, 0, 0], [2, 0, 0]]),
        "tetrahedron": np.array([[1, 1, 1], [1, -1, -1], [-1, 1, -1], [-1, -1, 1]]) / 8**0.5,
        "rhombus": np.array([[0, 0, 0], [1, 0, 0], [0.5, 0.75**0.5, 0], [0.5, -(0.75**0.5), 0]]),
        "trigonal bipyramid": with_apexes(polygon(3), (1, -1)),
        "square pyramid": with_apexes(polygon(4), (1,)),
        "octahedron": np.vstack([np.eye(3), -np.eye(3)]) / 2**0.5,
        "pentagonal pyramid": with_apexes(polygon(5), (1,)),
        "capped trigonal bipyramid": capped(with_apexes(polygon(3), (1, -1)), (0, 1, 3)),
        "trigonal prism": prism,
        "pentagonal bipyramid": with_apexes(polygon(5), (1, -1)),
        "capped octahedron": capped(np.vstack([np.eye(3), -np.eye(3)]) / 2**0.5, (0, 1, 2)),
        "capped pentagonal bipyramid": capped(with_apexes(polygon(5), (1, -1)), (0, 1, 5)),
        "square antiprism": antiprism(),
        "cube": np.array([[a, b, c] for a in (0, 1) for b in (0, 1) for c in (0, 1)], float),
        "tricapped trigonal prism": capped(capped(capped(prism, (0, 1, 4)), (1, 2, 5)), (2, 0, 3)),
        "capped square antiprism": capped(antiprism(), (0, 1, 2)),
        "bicapped square antiprism": capped(capped(antiprism(), (0, 1, 2)), (4, 5, 6)),
        "icosahedron missing a vertex": ico[1:],
        "icosahedron": ico,
        "centred icosahedron missing a vertex": np.vstack([ico[1:], [[0, 0, 0]]]),
        "centred icosahedron": np.vstack([ico, [[0, 0, 0]]]),
        "cuboctahedron": close_packing(False),
        "anticuboctahedron": close_packing(True),
    }
    rings = ["triangle", "square", "pentagon", "hexagon", "heptagon", "octagon", "nonagon", "decagon", "hendecagon",
             "dodecagon"]
    for sides, name in enumerate(rings, 3):
        named[name] = polygon(sides)
    return named


def print_shapes(seed):
    random = np.random.default_rng(seed)

    def emit(name, points):
        # Turned, scaled, moved and shuffled, so that only the shape is left to find.
        rotation, _ = np.linalg.qr(random.normal(size=(3, 3)))
        points = (points @ rotation) * random.uniform(0.5, 4) + random.normal(size=3) * 10
        print(name.replace(" ", "_"), len(points))
        for p in random.permutation(points):
            print(*(repr(float(c)) for c in p))

    for name, points in shapes().items():
        emit(name, points)
        emit(name, points + random.normal(scale=0.01, size=points.shape))
    for size in range(2 + 1, 14):  # two points are always a dimer
        for _ in range(3):
            emit("none", random.uniform(-1, 1, size=(size, 3)))
    return 0


if __name__ == "__main__":
    if sys.argv[1] == "compare":
        found = False
        for taons, analyze in zip(sys.argv[2::2], sys.argv[3::2]):
            for line in compare(taons, analyze):
                print(f"{analyze}: {line}")
                found = True
        sys.exit(1 if found else 0)
    sys.exit(print_shapes(int(sys.argv[2])))
