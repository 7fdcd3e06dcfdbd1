// SPDX-License-Identifier: GPL-3.0-or-later
#include "Clusters.h"

#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace taonscope {

namespace {

// Disjoint sets of slots, joined by bonds.
class Components {
public:
    Components() { std::iota(parent_.begin(), parent_.end(), 0); }
    int Root(int i) {
        while (parent_[static_cast<std::size_t>(i)] != i)
            i = parent_[static_cast<std::size_t>(i)] =
                parent_[static_cast<std::size_t>(parent_[static_cast<std::size_t>(i)])];
        return i;
    }
    void Join(int i, int j) {
        i = Root(i), j = Root(j);
        if (i != j) parent_[static_cast<std::size_t>(std::max(i, j))] = std::min(i, j);
    }

private:
    std::array<int, MaxTaons + 1> parent_{};
};

ClusterCount Count(Components& components, const std::vector<int>& slots) {
    std::array<int, MaxTaons + 1> size{};
    for (const int i : slots) ++size[static_cast<std::size_t>(components.Root(i))];
    ClusterCount count;
    for (const int s : size) {
        if (s == 0) continue;
        ++count.Clusters;
        count.Largest = std::max(count.Largest, s);
        if (s == 1) ++count.Isolated;
    }
    return count;
}

} // namespace

std::vector<Cluster> FindClusters(const World& w, const Neighbours& neighbours) {
    Components components;
    for (const Bond& bond : neighbours.Bonds) components.Join(bond.First, bond.Second);
    std::array<int, MaxTaons + 1> index;
    index.fill(-1);
    std::vector<Cluster> clusters;
    Position totalPosition{}, totalVelocity{};
    for (const int i : neighbours.Slots) {
        const int root = components.Root(i); // the smallest slot of its cluster, met first
        if (index[static_cast<std::size_t>(root)] < 0) {
            index[static_cast<std::size_t>(root)] = static_cast<int>(clusters.size());
            clusters.emplace_back();
        }
        Cluster& cluster = clusters[static_cast<std::size_t>(index[static_cast<std::size_t>(root)])];
        cluster.Slots.push_back(i);
        ++cluster.Kinds[static_cast<std::size_t>(TaonKind(w, i) - 1)];
        const Position p = {w.PosX[i], w.PosY[i], w.PosZ[i]}, v = {w.VelX[i], w.VelY[i], w.VelZ[i]};
        for (std::size_t c = 0; c < 3; ++c) {
            cluster.Centre[c] += p[c], cluster.Velocity[c] += v[c];
            totalPosition[c] += p[c], totalVelocity[c] += v[c];
        }
    }
    const Extended all = static_cast<Extended>(neighbours.Slots.size());
    for (Cluster& cluster : clusters) {
        const Extended n = static_cast<Extended>(cluster.Size());
        Position away{}, apart{}; // from the centre of the others, and relative to their velocity
        for (std::size_t c = 0; c < 3; ++c) {
            if (all > n) {
                away[c] = cluster.Centre[c] / n - (totalPosition[c] - cluster.Centre[c]) / (all - n);
                apart[c] = cluster.Velocity[c] / n - (totalVelocity[c] - cluster.Velocity[c]) / (all - n);
            }
            cluster.Centre[c] /= n, cluster.Velocity[c] /= n;
        }
        Extended sum = 0;
        std::vector<Position> points;
        for (const int i : cluster.Slots) {
            const Position offset = {w.PosX[i] - cluster.Centre[0], w.PosY[i] - cluster.Centre[1],
                                     w.PosZ[i] - cluster.Centre[2]};
            sum += offset[0] * offset[0] + offset[1] * offset[1] + offset[2] * offset[2];
            points.push_back(offset);
        }
        cluster.RadiusOfGyration = std::sqrt(sum / n);
        const Position& u = cluster.Velocity;
        cluster.CentreSpeed = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
        const Extended distance = std::sqrt(away[0] * away[0] + away[1] * away[1] + away[2] * away[2]);
        if (distance > 0)
            cluster.RecedingSpeed = (away[0] * apart[0] + away[1] * apart[1] + away[2] * apart[2]) / distance;
        const ShapeMatch shape = MatchShape(points);
        cluster.Shape = shape.Name;
        cluster.ShapeError = shape.Error;
    }
    std::stable_sort(clusters.begin(), clusters.end(),
                     [](const Cluster& a, const Cluster& b) { return a.Size() > b.Size(); });
    return clusters;
}

ClusterCount CountClusters(const std::vector<Cluster>& clusters) {
    ClusterCount count;
    for (const Cluster& cluster : clusters) {
        ++count.Clusters;
        count.Largest = std::max(count.Largest, cluster.Size());
        if (cluster.Size() == 1) ++count.Isolated;
    }
    return count;
}

ClusterCount CountClustersWithin(const World& w, Extended cutoff) {
    std::vector<int> slots;
    const int used = std::clamp(w.TaonCount, 0, MaxTaons);
    for (int i = 1; i <= used; ++i)
        if (w.TaonPresent[i] && std::isfinite(w.PosX[i]) && std::isfinite(w.PosY[i]) &&
            std::isfinite(w.PosZ[i]))
            slots.push_back(i);
    Components components;
    for (std::size_t a = 0; a < slots.size(); ++a)
        for (std::size_t b = a + 1; b < slots.size(); ++b)
            if (Bonded(PairDistance(w, slots[a], slots[b]), cutoff)) components.Join(slots[a], slots[b]);
    return Count(components, slots);
}

} // namespace taonscope
