# SPDX-License-Identifier: GPL-3.0-or-later
"""Independent computations of the structure analysis with numpy and scipy, for the tests.

Usage:
  structure_oracle.py compare TAONSCOPE-CLI IN.tao CUTOFF ANALYZE.json [IN.tao CUTOFF ANALYZE.json ...]
      ANALYZE.json: what `analyze IN.tao --structure --format json [--cutoff CUTOFF]` wrote (CUTOFF "-":
      none given). Recomputes bonds, clusters, coordination, g(r), q4 and q6 of the taons as `show IN.tao
      --format csv` prints them, at the cutoff ANALYZE.json states, and prints every difference.
  structure_oracle.py shapes SEED
      Prints ideal shapes built here, perfect and shaken, and random point sets, each as a line
      "NAME N" (blanks as _, none for the random sets) and N lines "x y z".
Exits with 3 when numpy or scipy cannot be imported, with 1 when compare finds a difference.
"""
import io
import json
import subprocess
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


def differences(path, actual, expected):
    """Where actual differs from expected, over the keys expected has; numbers to 1e-9 relative."""
    if isinstance(expected, dict):
        return [d for key in expected for d in differences(f"{path}.{key}", actual.get(key), expected[key])]
    if isinstance(expected, (list, np.ndarray)):
        if not isinstance(actual, list) or len(actual) != len(expected):
            return [f"{path}: {actual} != {list(expected)}"]
        return [d for n, (a, e) in enumerate(zip(actual, expected)) for d in differences(f"{path}[{n}]", a, e)]
    if isinstance(actual, str):  # "NAN", "INF", "-INF"
        actual = float(actual.replace("INF", "inf"))
    if not isinstance(actual, (int, float)) or not np.isclose(actual, expected, rtol=1e-9, atol=1e-12, equal_nan=True):
        return [f"{path}: {actual} != {expected}"]
    return []


def bond_order(l, x, neighbours):
    """q_lm, m = -l .. l, of every taon from scipy's spherical harmonics, and q_l with its average."""
    q = np.zeros((len(x), 2 * l + 1), complex)
    for a, bonded in enumerate(neighbours):
        if bonded:
            v = x[bonded] - x[a]
            azimuth, polar = np.arctan2(v[:, 1], v[:, 0]), np.arccos(v[:, 2] / np.linalg.norm(v, axis=1))
            q[a] = [sph_harm(m, l, azimuth, polar).mean() for m in range(-l, l + 1)]
    averaged = [(q[a] + q[bonded].sum(axis=0)) / (len(bonded) + 1) for a, bonded in enumerate(neighbours)]
    invariant = lambda q: np.sqrt(4 * np.pi / (2 * l + 1) * np.sum(np.abs(q) ** 2, axis=-1))
    return invariant(q), invariant(np.array(averaged).reshape(-1, 2 * l + 1))


def expected_structure(taons, cutoff, r):
    slots, kinds, x, v = taons[:, 0].astype(int), taons[:, 1].astype(int), taons[:, 2:5], taons[:, 5:8]
    n = len(slots)
    pairs = sorted(cKDTree(x).query_pairs(cutoff))
    neighbours = [[] for _ in range(n)]
    for a, b in pairs:
        neighbours[a].append(b), neighbours[b].append(a)
    graph = coo_matrix((np.ones(len(pairs)), ([a for a, _ in pairs], [b for _, b in pairs])), shape=(n, n))
    count, label = connected_components(graph, directed=False)
    members = sorted((np.flatnonzero(label == c) for c in range(count)), key=lambda m: (-len(m), slots[m[0]]))
    clusters = []
    for m in members:
        centre, velocity, rest = x[m].mean(axis=0), v[m].mean(axis=0), np.setdiff1d(np.arange(n), m)
        away = centre - x[rest].mean(axis=0) if len(rest) else np.zeros(3)
        receding = np.dot(away, velocity - v[rest].mean(axis=0)) / np.linalg.norm(away) if len(rest) else 0
        clusters.append({"size": len(m), "slots": slots[m].tolist(), "kinds": [int(np.sum(kinds[m] == k)) for k in (1, 2, 3)],
                         "centre": centre, "radius_of_gyration": np.sqrt(np.mean(np.sum((x[m] - centre) ** 2, axis=1))),
                         "centre_speed": np.linalg.norm(velocity), "receding_speed": receding})
    bonds = np.array([len(b) for b in neighbours])
    histogram = {"all": np.bincount(bonds, minlength=bonds.max() + 1)}
    histogram.update({str(k): np.bincount(bonds[kinds == k], minlength=bonds.max() + 1) for k in (1, 2, 3)})

    # g(r): numpy's histogram of the distances against an ideal gas in the ball of the taons' radius of gyration.
    edges = np.append(r - (r[1] - r[0]) / 2, r[-1] + (r[1] - r[0]) / 2)
    volume = 4 / 3 * np.pi * (np.sqrt(5 / 3 * np.mean(np.sum((x - x.mean(axis=0)) ** 2, axis=1)))) ** 3
    first, second = np.triu_indices(n, 1)
    distance = np.linalg.norm(x[first] - x[second], axis=1)
    rdf, curves = {"r": r}, [("all", distance >= 0, n * (n - 1) / 2)]
    for p, q in [(1, 1), (1, 2), (1, 3), (2, 2), (2, 3), (3, 3)]:
        chosen = ((kinds[first] == p) & (kinds[second] == q)) | ((kinds[first] == q) & (kinds[second] == p))
        np_, nq = np.sum(kinds == p), np.sum(kinds == q)
        curves.append((f"{p}-{q}", chosen, np_ * (np_ - 1) / 2 if p == q else np_ * nq))
    for name, chosen, pair_count in curves:
        counts, _ = np.histogram(distance[chosen], bins=edges)
        rdf[name] = counts * volume / (pair_count * 4 / 3 * np.pi * np.diff(edges**3)) if pair_count else 0 * r

    # Clusters are those of two taons or more; the isolated taons are counted apart.
    expected = {"cluster_count": sum(len(m) >= 2 for m in members), "largest_cluster": len(members[0]),
                "isolated": sum(len(m) == 1 for m in members),
                "bonds": [[slots[a], slots[b]] for a, b in pairs], "clusters": [c for c in clusters if c["size"] >= 2],
                "coordination": {"by_slot": {str(s): b for s, b in zip(slots, bonds)}, "histogram": histogram},
                "rdf": rdf}
    bonded = bonds > 0
    for l in (4, 6):
        q, averaged = bond_order(l, x, neighbours)
        expected[f"q{l}"] = {"by_slot": {str(s): value for s, value in zip(slots[bonded], q[bonded])},
                             "averaged_by_slot": {str(s): value for s, value in zip(slots[bonded], averaged[bonded])},
                             "mean": np.mean(q[bonded]), "averaged_mean": np.mean(averaged[bonded])}
    return expected


def compare(cli, path, cutoff, analyze_path):
    actual = json.load(open(analyze_path))  # strict JSON, or this fails
    shown = subprocess.run([cli, "show", path, "--format", "csv"], capture_output=True, text=True, check=True)
    taons = np.loadtxt(io.StringIO(shown.stdout), delimiter=",", skiprows=1, ndmin=2)
    found = [] if cutoff == "-" else differences("cutoff", actual["cutoff"], float(cutoff))
    if sorted(map(int, actual["q6"]["by_slot"])) != sorted(int(s) for s, b in actual["coordination"]["by_slot"].items() if b):
        found.append("q6.by_slot: not the bonded taons")
    expected = expected_structure(taons, actual["cutoff"], np.array(actual["rdf"]["r"]))
    return found + differences("", actual, expected)


def shapes():
    def polygon(sides):
        t = 2 * np.pi * np.arange(sides) / sides
        return np.column_stack([np.cos(t), np.sin(t), 0 * t]) / (2 * np.sin(np.pi / sides))

    def apexes(base, *signs):  # the apexes at distance 1 from a polygon's vertices
        return np.vstack([base] + [[0, 0, s * np.sqrt(1 - np.sum(base[0] ** 2))] for s in signs])

    def capped(points, *face):  # outside the face through three vertices, 1 from each, above their circle's centre
        p, a, b = points[face[0]], points[face[1]] - points[face[0]], points[face[2]] - points[face[0]]
        normal = np.cross(a, b)
        centre = p + (np.dot(b, b) * np.cross(normal, a) + np.dot(a, a) * np.cross(b, normal)) / (2 * np.dot(normal, normal))
        normal *= np.sign(np.dot(normal, centre - points[ConvexHull(points).vertices].mean(axis=0))) / np.linalg.norm(normal)
        return np.vstack([points, centre + normal * np.sqrt(1 - np.sum((p - centre) ** 2))])

    phi = (1 + 5**0.5) / 2
    ico = np.array([q for s in (-1, 1) for t in (-1, 1) for q in ((0, s, t * phi), (s, t * phi, 0), (t * phi, 0, s))]) / 2
    octahedron = np.vstack([np.eye(3), -np.eye(3)]) / 2**0.5
    prism = np.vstack([polygon(3), polygon(3) + [0, 0, 1]])
    turned = polygon(4) @ [[0.5**0.5, 0.5**0.5, 0], [-(0.5**0.5), 0.5**0.5, 0], [0, 0, 1]]
    antiprism = np.vstack([polygon(4), turned + [0, 0, np.sqrt(1 - np.sum((polygon(4)[0] - turned[0]) ** 2))]])
    hollows = polygon(3) @ [[0, 1, 0], [-1, 0, 0], [0, 0, 1]]  # over every other hollow of a hexagon
    h = (2 / 3) ** 0.5
    named = {
        "dimer": [[0, 0, 0], [1, 0, 0]], "line": [[0, 0, 0], [1, 0, 0], [2, 0, 0]],
        "tetrahedron": np.array([[1, 1, 1], [1, -1, -1], [-1, 1, -1], [-1, -1, 1]]) / 8**0.5,
        "rhombus": [[0, 0, 0], [1, 0, 0], [0.5, 0.75**0.5, 0], [0.5, -(0.75**0.5), 0]],
        "trigonal bipyramid": apexes(polygon(3), 1, -1), "square pyramid": apexes(polygon(4), 1),
        "octahedron": octahedron, "pentagonal pyramid": apexes(polygon(5), 1),
        "capped trigonal bipyramid": capped(apexes(polygon(3), 1, -1), 0, 1, 3), "trigonal prism": prism,
        "pentagonal bipyramid": apexes(polygon(5), 1, -1), "capped octahedron": capped(octahedron, 0, 1, 2),
        "capped pentagonal bipyramid": capped(apexes(polygon(5), 1, -1), 0, 1, 5), "square antiprism": antiprism,
        "cube": [[a, b, c] for a in (0, 1) for b in (0, 1) for c in (0, 1)],
        "tricapped trigonal prism": capped(capped(capped(prism, 0, 1, 4), 1, 2, 5), 2, 0, 3),
        "capped square antiprism": capped(antiprism, 0, 1, 2),
        "bicapped square antiprism": capped(capped(antiprism, 0, 1, 2), 4, 5, 6),
        "icosahedron missing a vertex": ico[1:], "icosahedron": ico,
        "centred icosahedron missing a vertex": np.vstack([ico[1:], [0, 0, 0]]), "centred icosahedron": np.vstack([ico, [0, 0, 0]]),
        "cuboctahedron": np.vstack([[0, 0, 0], polygon(6), hollows + [0, 0, h], -hollows - [0, 0, h]]),
        "anticuboctahedron": np.vstack([[0, 0, 0], polygon(6), hollows + [0, 0, h], hollows - [0, 0, h]]),
    }
    rings = "triangle square pentagon hexagon heptagon octagon nonagon decagon hendecagon dodecagon".split()
    named.update({name: polygon(sides) for sides, name in enumerate(rings, 3)})
    return {name: np.array(points, float) for name, points in named.items()}


def print_shapes(seed):
    random = np.random.default_rng(seed)

    def emit(name, points):  # turned, scaled, moved and shuffled: only the shape is left to find
        rotation, _ = np.linalg.qr(random.normal(size=(3, 3)))
        print(name.replace(" ", "_"), len(points))
        for p in random.permutation((points @ rotation) * random.uniform(0.5, 4) + random.normal(size=3) * 10):
            print(*(repr(float(c)) for c in p))

    for name, points in shapes().items():
        emit(name, points)
        emit(name, points + random.normal(scale=0.01, size=points.shape))
    for size in range(3, 14):  # two points are always a dimer
        for _ in range(3):
            emit("none", random.uniform(-1, 1, size=(size, 3)))


if __name__ == "__main__":
    if sys.argv[1] == "shapes":
        print_shapes(int(sys.argv[2]))
        sys.exit(0)
    cases = zip(sys.argv[3::3], sys.argv[4::3], sys.argv[5::3])
    found = [f"{analyze}: {line}" for path, cutoff, analyze in cases for line in compare(sys.argv[2], path, cutoff, analyze)]
    print("\n".join(found), end="\n" if found else "")
    sys.exit(1 if found else 0)
