// SPDX-License-Identifier: GPL-3.0-or-later
#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>

namespace taonscope {

namespace {

using Points = std::vector<Position>;

constexpr Extended Pi = std::numbers::pi_v<Extended>;

Position Add(Position a, const Position& b, Extended scale = 1) {
    for (std::size_t c = 0; c < 3; ++c) a[c] += scale * b[c];
    return a;
}

Extended Dot(const Position& a, const Position& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Position Cross(const Position& a, const Position& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Position Mean(const Points& points, const std::vector<std::size_t>& which) {
    Position sum{};
    for (const std::size_t n : which) sum = Add(sum, points[n]);
    for (Extended& c : sum) c /= static_cast<Extended>(which.size());
    return sum;
}

// A regular polygon of side 1 in the plane z = height, its first vertex at angle `turn`.
Points Polygon(int sides, Extended height = 0, Extended turn = 0) {
    const Extended radius = 1 / (2 * std::sin(Pi / sides));
    Points points;
    for (int n = 0; n < sides; ++n) {
        const Extended angle = turn + 2 * Pi * n / sides;
        points.push_back({radius * std::cos(angle), radius * std::sin(angle), height});
    }
    return points;
}

// The polygon with an apex at distance 1 from every vertex, above (and below with both).
Points Pyramid(int sides, bool both = false) {
    Points points = Polygon(sides);
    const Extended radius = 1 / (2 * std::sin(Pi / sides));
    const Extended height = std::sqrt(1 - radius * radius);
    points.push_back({0, 0, height});
    if (both) points.push_back({0, 0, -height});
    return points;
}

// Adds a point at distance 1 from each vertex of a face, on the side away from the shape's centre.
Points Capped(Points points, const std::vector<std::size_t>& face) {
    std::vector<std::size_t> all(points.size());
    std::iota(all.begin(), all.end(), 0);
    const Position centre = Mean(points, all), faceCentre = Mean(points, face);
    Position normal =
        Cross(Add(points[face[1]], points[face[0]], -1), Add(points[face[2]], points[face[0]], -1));
    const Extended length = std::sqrt(Dot(normal, normal));
    for (Extended& c : normal) c /= length;
    if (Dot(normal, Add(faceCentre, centre, -1)) < 0)
        for (Extended& c : normal) c = -c;
    const Position corner = Add(points[face[0]], faceCentre, -1);
    points.push_back(Add(faceCentre, normal, std::sqrt(1 - Dot(corner, corner))));
    return points;
}

Points Icosahedron() {
    const Extended phi = (1 + std::sqrt(Extended(5))) / 2;
    Points points;
    for (const Extended a : {-1.0L, 1.0L})
        for (const Extended b : {-phi, phi}) {
            points.push_back({0, a / 2, b / 2});
            points.push_back({a / 2, b / 2, 0});
            points.push_back({b / 2, 0, a / 2});
        }
    return points;
}

// A centre with its twelve neighbours of a close packing: a hexagon, three above and three below,
// staggered (face-centred cubic) or eclipsed (hexagonal).
Points CentredPacking(bool eclipsed) {
    Points points = {{0, 0, 0}};
    for (const Position& p : Polygon(6)) points.push_back(p);
    const Extended height = std::sqrt(2.0L / 3);
    for (const Position& p : Polygon(3, height, Pi / 6)) points.push_back(p);
    for (const Position& p : Polygon(3, -height, eclipsed ? Pi / 6 : Pi / 2)) points.push_back(p);
    return points;
}

Points Prism() {
    Points points = Polygon(3);
    for (const Position& p : Polygon(3, 1)) points.push_back(p);
    return points;
}

Points SquareAntiprism() {
    Points points = Polygon(4);
    const Extended radius = 1 / std::sqrt(Extended(2));
    const Extended chord2 = 2 * radius * radius * (1 - std::cos(Pi / 4));
    for (const Position& p : Polygon(4, std::sqrt(1 - chord2), Pi / 4)) points.push_back(p);
    return points;
}

Points Without(Points points, std::size_t n) {
    points.erase(points.begin() + static_cast<std::ptrdiff_t>(n));
    return points;
}

Points WithCentre(Points points) {
    points.push_back({0, 0, 0});
    return points;
}

std::vector<IdealShape> MakeShapes() {
    static constexpr const char* RingNames[] = {"triangle", "square",  "pentagon", "hexagon",    "heptagon",
                                                "octagon",  "nonagon", "decagon",  "hendecagon", "dodecagon"};
    std::vector<IdealShape> shapes = {
        {"dimer", {{0, 0, 0}, {1, 0, 0}}},
        {"line", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}},
        {"tetrahedron", Pyramid(3)},
        {"rhombus", {{0, 0, 0}, {1, 0, 0}, {0.5L, std::sqrt(0.75L), 0}, {0.5L, -std::sqrt(0.75L), 0}}},
        {"trigonal bipyramid", Pyramid(3, true)},
        {"square pyramid", Pyramid(4)},
        {"octahedron", Pyramid(4, true)},
        {"pentagonal pyramid", Pyramid(5)},
        {"capped trigonal bipyramid", Capped(Pyramid(3, true), {0, 1, 3})},
        {"trigonal prism", Prism()},
        {"pentagonal bipyramid", Pyramid(5, true)},
        {"capped octahedron", Capped(Pyramid(4, true), {0, 1, 4})},
        {"capped pentagonal bipyramid", Capped(Pyramid(5, true), {0, 1, 5})},
        {"square antiprism", SquareAntiprism()},
        {"cube", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}}},
        {"tricapped trigonal prism",
         Capped(Capped(Capped(Prism(), {0, 1, 4, 3}), {1, 2, 5, 4}), {2, 0, 3, 5})},
        {"capped square antiprism", Capped(SquareAntiprism(), {0, 1, 2, 3})},
        {"bicapped square antiprism", Capped(Capped(SquareAntiprism(), {0, 1, 2, 3}), {4, 5, 6, 7})},
        {"icosahedron missing a vertex", Without(Icosahedron(), 0)},
        {"icosahedron", Icosahedron()},
        {"centred icosahedron missing a vertex", WithCentre(Without(Icosahedron(), 0))},
        {"centred icosahedron", WithCentre(Icosahedron())},
        {"cuboctahedron", CentredPacking(false)},
        {"anticuboctahedron", CentredPacking(true)},
    };
    for (int sides = 3; sides <= 12; ++sides) shapes.push_back({RingNames[sides - 3], Polygon(sides)});
    std::stable_sort(shapes.begin(), shapes.end(), [](const IdealShape& a, const IdealShape& b) {
        return a.Points.size() < b.Points.size();
    });
    return shapes;
}

// The pair distances of points, sorted and divided by their mean; empty when the mean is not positive.
std::vector<Extended> ScaledDistances(const Points& points) {
    std::vector<Extended> d;
    for (std::size_t a = 0; a < points.size(); ++a)
        for (std::size_t b = a + 1; b < points.size(); ++b) {
            const Position step = Add(points[a], points[b], -1);
            d.push_back(std::sqrt(Dot(step, step)));
        }
    std::sort(d.begin(), d.end());
    const Extended mean = d.empty() ? 0 : std::accumulate(d.begin(), d.end(), Extended(0)) / d.size();
    if (!(mean > 0) || !std::isfinite(mean)) return {};
    for (Extended& x : d) x /= mean;
    return d;
}

Extended ListError(const std::vector<Extended>& a, const std::vector<Extended>& b) {
    if (a.empty() || a.size() != b.size()) return std::numeric_limits<Extended>::quiet_NaN();
    Extended largest = 0;
    for (std::size_t n = 0; n < a.size(); ++n) largest = std::max(largest, std::fabs(a[n] - b[n]));
    return largest;
}

} // namespace

const std::vector<IdealShape>& IdealShapes() {
    static const std::vector<IdealShape> shapes = MakeShapes();
    return shapes;
}

Extended ShapeError(const std::vector<Position>& points, const std::vector<Position>& ideal) {
    if (points.size() != ideal.size()) return std::numeric_limits<Extended>::quiet_NaN();
    return ListError(ScaledDistances(points), ScaledDistances(ideal));
}

ShapeMatch MatchShape(const std::vector<Position>& points) {
    struct Scaled {
        const IdealShape* Shape;
        std::vector<Extended> Distances;
    };
    static const std::vector<Scaled> ideals = [] {
        std::vector<Scaled> list;
        for (const IdealShape& shape : IdealShapes()) list.push_back({&shape, ScaledDistances(shape.Points)});
        return list;
    }();
    ShapeMatch match;
    match.Error = std::numeric_limits<Extended>::quiet_NaN();
    const auto sameSize = [&](const Scaled& ideal) { return ideal.Shape->Points.size() == points.size(); };
    if (std::none_of(ideals.begin(), ideals.end(), sameSize)) return match; // spares sorting a large cluster
    const std::vector<Extended> distances = ScaledDistances(points);
    const IdealShape* nearest = nullptr;
    for (const Scaled& ideal : ideals) {
        if (!sameSize(ideal)) continue;
        const Extended error = ListError(distances, ideal.Distances);
        if (std::isnan(error)) continue;
        if (!nearest || error < match.Error) nearest = ideal.Shape, match.Error = error;
    }
    if (nearest && match.Error <= ShapeTolerance) match.Name = nearest->Name;
    return match;
}

} // namespace taonscope
