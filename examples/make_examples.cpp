// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the example configurations by running the program's own law: every example is placed roughly,
// then cooled (velocities damped by 0.99 a step) until it has settled, and written with its commentary.
#include "analysis/Structure.h"
#include "core/Errors.h"
#include "core/FastLaw.h"
#include "core/NumberText.h"
#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/Commentary.h"
#include "document/ConfigFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

using namespace taonscope;

namespace {

struct Vec {
    Extended x = 0, y = 0, z = 0;
};

void Place(World& w, int slot, Vec p, Vec v = {}) {
    w.TaonPresent[slot] = true;
    w.PosX[slot] = p.x, w.PosY[slot] = p.y, w.PosZ[slot] = p.z;
    w.VelX[slot] = v.x, w.VelY[slot] = v.y, w.VelZ[slot] = v.z;
}

std::vector<int> PresentSlots(const World& w) {
    std::vector<int> slots;
    for (int i = 1; i <= MaxTaons; ++i)
        if (w.TaonPresent[i]) slots.push_back(i);
    return slots;
}

Extended MaxSpeed(const World& w) {
    Extended most = 0;
    for (int i : PresentSlots(w))
        most =
            std::max(most, std::sqrt(w.VelX[i] * w.VelX[i] + w.VelY[i] * w.VelY[i] + w.VelZ[i] * w.VelZ[i]));
    return most;
}

Vec Centre(const World& w) {
    Vec c;
    const auto slots = PresentSlots(w);
    for (int i : slots) c.x += w.PosX[i], c.y += w.PosY[i], c.z += w.PosZ[i];
    const Extended n = static_cast<Extended>(slots.size());
    return {c.x / n, c.y / n, c.z / n};
}

Extended Distance(const World& w, int i, int j) {
    const Extended dx = w.PosX[i] - w.PosX[j], dy = w.PosY[i] - w.PosY[j], dz = w.PosZ[i] - w.PosZ[j];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// Moves the configuration so that its centre is at the origin.
void Recentre(World& w) {
    const Vec c = Centre(w);
    for (int i : PresentSlots(w)) w.PosX[i] -= c.x, w.PosY[i] -= c.y, w.PosZ[i] -= c.z;
    SyncCopiesFromCurrent(w);
}

// Cooled steps until the largest speed is below bound (checked every 100 steps) or maxSteps were made.
long Cool(World& w, FastLaw& law, long maxSteps, Extended bound) {
    SyncCopiesFromCurrent(w);
    long steps = 0;
    while (steps < maxSteps) {
        for (int k = 0; k < 100; ++k) AdvanceStep(w, CoolFactor(true), law);
        steps += 100;
        if (MaxSpeed(w) < bound) break;
    }
    return steps;
}

// Steps without damping, or damped when cool.
long Run(World& w, FastLaw& law, long steps, bool cool = false) {
    SyncCopiesFromCurrent(w);
    for (long k = 0; k < steps; ++k) AdvanceStep(w, CoolFactor(cool), law);
    return steps;
}

std::string Text(Extended value, int digits = 3) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Lf", digits, value);
    return buffer;
}

void Report(const std::string& name, const World& w, const std::string& what) {
    std::cerr << name << ": " << PresentSlots(w).size() << " taons, largest speed " << FormatReal(MaxSpeed(w))
              << "; " << what << '\n';
}

// The given slots placed at random in a ball of the given radius, no two closer than minDistance.
void PlaceBall(World& w, Random& random, const std::vector<int>& slots, Extended radius, Extended minDistance,
               Vec centre = {}) {
    for (std::size_t n = 0; n < slots.size(); ++n) {
        for (;;) {
            const Vec p{random.Uniform(-radius, radius), random.Uniform(-radius, radius),
                        random.Uniform(-radius, radius)};
            if (p.x * p.x + p.y * p.y + p.z * p.z > radius * radius) continue;
            bool clear = true;
            for (std::size_t k = 0; k < n && clear; ++k) {
                const int o = slots[k];
                const Extended dx = centre.x + p.x - w.PosX[o], dy = centre.y + p.y - w.PosY[o],
                               dz = centre.z + p.z - w.PosZ[o];
                clear = dx * dx + dy * dy + dz * dz >= minDistance * minDistance;
            }
            if (!clear) continue;
            Place(w, slots[n], {centre.x + p.x, centre.y + p.y, centre.z + p.z});
            break;
        }
    }
}

World Empty(Extended dt = 0.001L) {
    World w;
    for (int kind = 1; kind <= 3; ++kind) SetParameterSet(w, kind, FigureParameters());
    w.dt = dt;
    return w;
}

std::string PairDistances(const World& w) {
    std::vector<Extended> d;
    const auto slots = PresentSlots(w);
    for (std::size_t a = 0; a < slots.size(); ++a)
        for (std::size_t b = a + 1; b < slots.size(); ++b) d.push_back(Distance(w, slots[a], slots[b]));
    std::sort(d.begin(), d.end());
    std::string text;
    for (Extended x : d) text += Text(x, 2) + " ";
    return text;
}

// A settled cluster of six kind-1 taons: placed at random in a ball, cooled until still.
World SixCluster(FastLaw& law, long& steps) {
    World w = Empty();
    Random random(2);
    PlaceBall(w, random, {1, 2, 3, 4, 5, 6}, 2.5L, 2.4L);
    steps = Cool(w, law, 200000, 1e-9L);
    Recentre(w);
    return w;
}

// Pairs closer than limit: the bonds of the structures the taons form.
int Bonds(const World& w, Extended limit) {
    int count = 0;
    const auto slots = PresentSlots(w);
    for (std::size_t a = 0; a < slots.size(); ++a)
        for (std::size_t b = a + 1; b < slots.size(); ++b) count += Distance(w, slots[a], slots[b]) < limit;
    return count;
}

// The largest distance of a taon from the centre.
Extended Extent(const World& w) {
    const Vec c = Centre(w);
    Extended most = 0;
    for (int i : PresentSlots(w)) {
        const Extended dx = w.PosX[i] - c.x, dy = w.PosY[i] - c.y, dz = w.PosZ[i] - c.z;
        most = std::max(most, std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    return most;
}

// The ideal shape of its size nearest a cluster (Shapes.h), and how far it is; none for other sizes.
std::pair<std::string, Extended> NearestShape(const World& w, const taonscope::Cluster& c) {
    std::vector<Position> points;
    for (const int j : c.Slots) points.push_back({w.PosX[j], w.PosY[j], w.PosZ[j]});
    std::pair<std::string, Extended> nearest{"none", 1e9L};
    for (const IdealShape& shape : IdealShapes())
        if (shape.Points.size() == points.size())
            if (const Extended error = ShapeError(points, shape.Points); error < nearest.second)
                nearest = {shape.Name, error};
    return nearest;
}

std::string Article(const std::string& noun) {
    return std::string("aeiou").find(noun[0]) != std::string::npos ? "an " + noun : "a " + noun;
}

// A cluster's shape as the structure analysis names it: "a dimer", "a dodecagon (error 0.014)", or "of no
// named shape" with the nearest shape and its error.
std::string ShapeWords(const World& w, const taonscope::Cluster& c) {
    if (c.Shape != "none")
        return Article(c.Shape) + (c.ShapeError > 0.0005L ? " (error " + Text(c.ShapeError) + ")" : "");
    const auto [name, error] = NearestShape(w, c);
    return "of no named shape (the nearest, " + Article(name) + ", is off by " + Text(error) +
           (error < 0.1L ? ", just over the " + Text(ShapeTolerance, 2) + " allowed)" : ")");
}

// ShapeWords, shorter for a cluster that no shape names: "0.061 off a dodecagon, too far to be named".
std::string NearMissWords(const World& w, const taonscope::Cluster& c) {
    if (c.Shape != "none") return ShapeWords(w, c);
    const auto [name, error] = NearestShape(w, c);
    return Text(error) + " off " + Article(name) + ", too far to be named";
}

// "one cluster of 6 taons", "2 clusters of 6 taons", "19 clusters, the largest of 56 taons", as the
// structure analysis finds them.
std::string ClusterWords(const Structure& s) {
    const int n = s.Counts.Clusters;
    if (n == 1) return "one cluster of " + std::to_string(s.Counts.Largest) + " taons";
    if (s.Counts.Isolated == 0 && n * s.Counts.Largest == static_cast<int>(s.Bonds.Slots.size()))
        return std::to_string(n) + " clusters of " + std::to_string(s.Counts.Largest) + " taons";
    return std::to_string(n) + " clusters, the largest of " + std::to_string(s.Counts.Largest) + " taons";
}

// The sentence most commentaries end with: what the Structure tab finds in the file.
std::string StructureSentence(const World& w) {
    const Structure s = AnalyzeStructure(w);
    const std::size_t bonds = s.Bonds.Bonds.size();
    return "View > Instruments > Structure (or taonscope-cli analyze --structure) finds " + ClusterWords(s) +
           " with " + std::to_string(bonds) + (bonds == 1 ? " bond, " : " bonds, ") +
           (s.Counts.Clusters > 1 ? "each " : "") + ShapeWords(w, s.Clusters.front()) + ".\n";
}

struct Example {
    std::string name;
    World world;
    std::string commentary; // title line, then a few sentences, lines ended by LF
};

Example Pair(FastLaw& law) {
    World w = Empty();
    Place(w, 1, {-1.5L, 0, 0});
    Place(w, 2, {1.5L, 0, 0});
    const long steps = Cool(w, law, 100000, 1e-12L);
    Report("pair", w, std::to_string(steps) + " cooled steps");
    return {"01-pair", w,
            "A pair at rest at its equilibrium distance\n"
            "Two taons of kind 1 that started 3 apart and were cooled for " +
                std::to_string(steps) + " steps until they came to rest " + Text(Distance(w, 1, 2)) +
                " apart, where the attraction of the first shell and the repulsion inside it cancel.\n"
                "Press Go without Cool: nothing moves, the largest speed stays below 1E-9; turn on Show "
                "Numbers of Points (F7) and double-click the listing to see the velocities.\n" +
                StructureSentence(w)};
}

Example ClusterOfSix(FastLaw& law) {
    long steps = 0;
    World w = SixCluster(law, steps);
    Report("cluster", w, std::to_string(steps) + " cooled steps, distances " + PairDistances(w));
    return {"02-cluster", w,
            "Six taons of one kind settled into a cluster\n"
            "Six kind-1 taons placed at random in a ball and cooled for " +
                std::to_string(steps) + " steps; " + std::to_string(Bonds(w, 2.8L)) +
                " of their 15 pairs now sit at the pair's equilibrium distance of about 2.71.\n"
                "Turn the view with the arrow buttons (or drag on the scene) to see the shape from every "
                "side; Go without Cool leaves it still, its largest speed below 1E-6.\n" +
                StructureSentence(w)};
}

Example ThreeKinds(FastLaw& law) {
    World w = Empty();
    ParameterSet two = FigureParameters(), three = FigureParameters();
    two.A = 2, two.G = 27;
    three.A = 0.5L, three.G = 33;
    SetParameterSet(w, 2, two);
    SetParameterSet(w, 3, three);
    Random random(2);
    PlaceBall(w, random, {1, 2, 51, 52, 81, 82}, 2.5L, 2.4L);
    const long steps = Cool(w, law, 200000, 1e-9L);
    Recentre(w);
    Report("three kinds", w, std::to_string(steps) + " cooled steps, distances " + PairDistances(w));
    return {"03-three-kinds", w,
            "A cluster of all three kinds\n"
            "Two taons of each kind (lime 1, yellow 2, red 3), cooled for " +
                std::to_string(steps) +
                " steps into one cluster. The kinds pull with different strengths (A 1, 2 and 0.5) but share "
                "the inner shells, so every pair agrees on its distance and the cluster can rest.\n"
                "Press Go without Cool: it stays still, its largest speed below 1E-6; taonscope-cli analyze "
                "--structure finds " +
                ClusterWords(AnalyzeStructure(w)) + ", " +
                ShapeWords(w, AnalyzeStructure(w).Clusters.front()) + ".\n"};
}

Example Ring(FastLaw& law) {
    constexpr int count = 12;
    World w = Empty();
    Random random(3);
    const Extended radius = 2.71L / (2 * std::sin(std::numbers::pi_v<Extended> / count));
    for (int j = 1; j <= count; ++j) {
        const Extended angle = 2 * std::numbers::pi_v<Extended> * (j - 1) / count;
        // A little disorder, so that the ring that forms is one the law holds, not one symmetry holds.
        Place(w, j,
              {radius * std::cos(angle) + random.Uniform(-0.05L, 0.05L), random.Uniform(-0.05L, 0.05L),
               radius * std::sin(angle) + random.Uniform(-0.05L, 0.05L)});
    }
    const long steps = Cool(w, law, 200000, 1e-9L);
    Recentre(w);
    Extended shortest = 1e9L, longest = 0;
    for (int j = 1; j <= count; ++j) {
        const Extended d = Distance(w, j, j % count + 1);
        shortest = std::min(shortest, d), longest = std::max(longest, d);
    }
    Report("ring", w,
           std::to_string(steps) + " cooled steps, neighbours " + Text(shortest) + " to " + Text(longest) +
               ", extent " + Text(Extent(w)));
    return {
        "04-ring", w,
        "A ring of twelve taons\n"
        "Twelve kind-1 taons set roughly on a circle and cooled for " +
            std::to_string(steps) + " steps; every neighbour now sits " + Text(shortest, 2) +
            (longest - shortest < 0.005L ? "" : " to " + Text(longest, 2)) +
            " from the next, the distance of a lone pair.\n"
            "Shift+click the up arrow 16 times (0.1 radians a click; a plain click turns 0.01) to see the "
            "face-on ring edge-on, and the down arrow as often to turn it back; Go without Cool leaves it "
            "still, its largest speed below 1E-6.\n" +
            StructureSentence(w)};
}

Example Cloud(FastLaw& law) {
    World w = CloudWorld(5, false, 16, 2.2L);
    ParameterSet two = FigureParameters(), three = FigureParameters();
    two.A = 2, two.G = 27;
    three.A = 0.5L, three.G = 33;
    SetParameterSet(w, 1, FigureParameters());
    SetParameterSet(w, 2, two);
    SetParameterSet(w, 3, three);
    const int before = Bonds(w, 2.8L);
    World cooled = w;
    Run(cooled, law, 1000, true);
    const int after1000 = Bonds(cooled, 2.8L);
    Run(cooled, law, 9000, true);
    const int after10000 = Bonds(cooled, 2.8L);
    const Structure start = AnalyzeStructure(w);
    World cooled1000 = w;
    Run(cooled1000, law, 1000, true);
    const Structure later = AnalyzeStructure(cooled1000);
    Report("cloud", cooled,
           "bonds " + std::to_string(before) + ", " + std::to_string(after1000) + " after 1000, " +
               std::to_string(after10000) + " after 10000 cooled steps");
    return {"05-cloud", w,
            "A cloud of 100 taons that cools into structures\n"
            "All 100 taons spread at random over a cube of side 16, none closer than 2.2 to another, with "
            "small random velocities; " +
                std::to_string(before) +
                " pairs are closer than 2.8, and taonscope-cli analyze --structure finds " +
                ClusterWords(start) +
                ": a random cloud has no clear bond length, and the cutoff it takes from the data (" +
                Text(start.Cutoff.Value, 2) +
                ") joins nearly all.\n"
                "Tick Cool and press Go: the taons fall into their neighbours' wells, gaining speed as they "
                "fall, and Cool takes it away again; after 1000 steps " +
                std::to_string(after1000) + " pairs and after 10000 steps " + std::to_string(after10000) +
                " pairs are bonded, in chains, rings and small clusters (after 1000 steps View > Instruments "
                "> Structure counts " +
                ClusterWords(later) +
                "). Use Show Listing to follow the "
                "numbers, and F7 to number the taons.\n"};
}

Example Swimmer(FastLaw& law) {
    World w = Empty();
    ParameterSet two = FigureParameters();
    two.B = 2.9L;
    SetParameterSet(w, 2, two);
    Place(w, 1, {-1.45L, 0, 0});
    Place(w, 51, {1.45L, 0, 0});
    const long steps = Cool(w, law, 20000, 1e-12L);
    Recentre(w);
    World free = w;
    Run(free, law, 1000);
    const Extended moved = Centre(free).x - Centre(w).x;
    Report("swimmer", w,
           std::to_string(steps) + " cooled steps, distance " + Text(Distance(w, 1, 51)) +
               ", 1000 free steps move the centre " + Text(moved));
    return {
        "06-swimmer", w,
        "Two kinds that chase each other: a drifting pair\n"
        "A lime taon of kind 1 and a yellow one of kind 2 whose first shell is wider (B2 2.9 against B1 "
        "2.718): the law on each taon uses the parameters of the other's kind, so at " +
            Text(Distance(w, 1, 51), 2) +
            " apart the lime taon is pushed away while the yellow one is pulled after it, and the pair (to "
            "the structure analysis " +
            ClusterWords(AnalyzeStructure(w)) + ", " + ShapeWords(w, AnalyzeStructure(w).Clusters.front()) +
            ") travels along its axis.\n"
            "The file holds it as " +
            std::to_string(steps) + " cooled steps left it, moving at " + Text(MaxSpeed(w), 2) +
            ", where Cool's damping balances the push; Go with Cool keeps that speed, Go without Cool lets "
            "it speed up (its centre moves " +
            Text(std::fabs(moved), 1) +
            " in the first 1000 steps).\n"
            "Either way it leaves the scene within seconds: turn on View > Follow Centre of Mass to keep it "
            "in "
            "the middle.\n"};
}

// The angle of slot j about the centre in the plane y = 0.
Extended Bearing(const World& w, int j) {
    const Vec c = Centre(w);
    return std::atan2(w.PosZ[j] - c.z, w.PosX[j] - c.x);
}

Example Wheel(FastLaw& law) {
    constexpr int count = 12;
    World w = Empty();
    ParameterSet two = FigureParameters(), three = FigureParameters();
    two.B = 2.8L;
    three.B = 2.9L;
    SetParameterSet(w, 2, two);
    SetParameterSet(w, 3, three);
    const Extended radius = 2.8L / (2 * std::sin(std::numbers::pi_v<Extended> / count));
    const int firstSlot[3] = {1, 51, 81};
    for (int j = 0; j < count; ++j) {
        const Extended angle = 2 * std::numbers::pi_v<Extended> * j / count;
        Place(w, firstSlot[j % 3] + j / 3, {radius * std::cos(angle), 0, radius * std::sin(angle)});
    }
    const long steps = Cool(w, law, 20000, 0); // runs all 20000: the wheel never stops
    Recentre(w);
    World free = w;
    Run(free, law, 1000);
    const Extended turned = std::fabs(Bearing(free, 1) - Bearing(w, 1));
    World cooled = w;
    Run(cooled, law, 1000, true);
    const Extended turnedCooled = std::fabs(Bearing(cooled, 1) - Bearing(w, 1));
    // Without Cool the push is not taken away: the wheel turns ever faster until it flies apart.
    long apart = 1000;
    while (Extent(free) < 1.5L * Extent(w) && apart < 20000) apart += Run(free, law, 100);
    Report("wheel", w,
           std::to_string(steps) + " cooled steps, 1000 free steps turn it by " + Text(turned) +
               ", 1000 cooled steps by " + Text(turnedCooled) +
               "; free, its extent is half as large again after " + std::to_string(apart) + " steps");
    return {
        "09-wheel", w,
        "A wheel of three kinds that turns by itself\n"
        "Twelve taons on a ring in the order lime, yellow, red, lime ..., their kinds differing only in "
        "the first shell (B 2.718, 2.8 and 2.9); the structure analysis finds " +
            ClusterWords(AnalyzeStructure(w)) + ", " +
            NearMissWords(w, AnalyzeStructure(w).Clusters.front()) +
            ". "
            "The law on each taon uses the parameters of its neighbours' kinds, and the neighbour ahead is "
            "of another kind than the one behind, so every taon is pushed along the ring: the wheel turns "
            "about its centre while the centre stays put.\n"
            "The file holds it as " +
            std::to_string(steps) +
            " cooled steps left it, turning face-on in the starting view where Cool's damping balances the "
            "push: Go with Cool keeps it turning, by " +
            Text(turnedCooled, 2) + " radians every 1000 steps; without Cool it turns faster (" +
            Text(turned, 2) + " radians in the first 1000 steps) and flies apart within about " +
            std::to_string(apart / 100 * 100) + " steps.\n"};
}

// The shortest distance between a taon of slots 1..6 and one of slots 7..12.
Extended NearestBetween(const World& w) {
    Extended nearest = 1e9L;
    for (int a = 1; a <= 6; ++a)
        for (int b = 7; b <= 12; ++b) nearest = std::min(nearest, Distance(w, a, b));
    return nearest;
}

Example Collision(FastLaw& law) {
    long steps = 0;
    const World cluster = SixCluster(law, steps);
    World w = Empty();
    constexpr Extended half = 7, speed = 3;
    for (int j = 1; j <= 6; ++j) {
        Place(w, j, {cluster.PosX[j] - half, cluster.PosY[j], cluster.PosZ[j]}, {speed, 0, 0});
        Place(w, j + 6, {cluster.PosX[j] + half, cluster.PosZ[j], cluster.PosY[j]}, {-speed, 0, 0});
    }
    SyncCopiesFromCurrent(w);
    World later = w;
    long meet = 0;
    while (NearestBetween(later) > 2.8L && meet < 5000) meet += Run(later, law, 100);
    Run(later, law, 5000 - meet);
    Report("collision", later,
           "met after " + std::to_string(meet) + " steps; after 5000 steps bonds " +
               std::to_string(Bonds(later, 2.8L)) + ", extent " + Text(Extent(later)));
    return {"07-collision", w,
            "Two clusters on a collision course\n"
            "Two copies of the settled six-taon cluster (the second one turned), 14 apart, flying at each "
            "other at speed 3 each.\n"
            "At Full speed they meet in a fraction of a second: choose Run > Speed > 1,000 steps a second, "
            "press Go without Cool and watch them meet after about " +
                std::to_string(meet) +
                " steps (the run readout counts them), then tick Cool to let what is left settle, with View "
                "> Keep "
                "All in View on if pieces leave the scene.\n" +
                StructureSentence(w)};
}

Example Edge(FastLaw& law) {
    long steps = 0;
    const World cluster = SixCluster(law, steps);
    const Extended start = Extent(cluster);
    Extended held = 0.001L, breaks = 0;
    for (int k = 1; k <= 40 && breaks == 0; ++k) {
        const Extended dt = 0.005L * k;
        World w = cluster;
        w.dt = dt;
        bool apart = false;
        try {
            Run(w, law, 1000);
            apart = Extent(w) > 3 * start;
        } catch (const TaonError& error) {
            std::cerr << "edge: dt " << FormatReal(dt) << " faults: " << error.what() << '\n';
            apart = true;
        }
        std::cerr << "edge: dt " << FormatReal(dt) << (apart ? " flies apart\n" : " holds\n");
        if (apart)
            breaks = dt;
        else
            held = dt;
    }
    World w = cluster;
    w.dt = breaks;
    return {
        "08-edge-of-stability", w,
        "A cluster that flies apart with a large dt\n"
        "The settled six-taon cluster with dt " +
            Text(breaks, 3) +
            ": each step moves a taon by its velocity times dt, and the wells that hold the cluster are so "
            "narrow that above dt " +
            Text(held, 3) +
            " (found by trying) a step overshoots them and the error feeds itself.\n"
            "Press Go without Cool and within 1000 steps the taons fly apart; open it again and set dt= to " +
            Text(held, 3) + " or less before pressing Go, and the same cluster holds still.\n" +
            "View > Instruments > Structure finds " + ClusterWords(AnalyzeStructure(w)) +
            " at the start and counts the pieces as it flies apart.\n"};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: make_examples OUTPUT-FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    FastLaw law;
    try {
        const std::vector<std::function<Example(FastLaw&)>> makers = {
            Pair, ClusterOfSix, ThreeKinds, Ring, Cloud, Swimmer, Collision, Edge, Wheel};
        for (const auto& make : makers) {
            Example example = make(law);
            example.world.StepCounter = 0;
            SyncCopiesFromCurrent(example.world);
            const std::string path = folder + "/" + example.name + ".tao";
            ConfigRecord buffer{};
            WriteConfigFile(path, example.world, buffer);
            SaveCommentary(path, example.commentary);
            std::cerr << "wrote " << path << '\n';
        }
    } catch (const TaonError& error) {
        std::cerr << "make_examples: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
