// SPDX-License-Identifier: GPL-3.0-or-later
#include "StructureReport.h"

#include "Analysis.h"

#include "core/NumberText.h"

#include <cmath>
#include <ostream>
#include <string>

namespace taonscope {

namespace {

template <typename Values> void JsonList(std::ostream& out, const Values& values) {
    out << '[';
    bool first = true;
    for (const auto& v : values) {
        out << (first ? "" : ", ");
        if constexpr (std::is_floating_point_v<std::decay_t<decltype(v)>>)
            out << JsonReal(v);
        else
            out << v;
        first = false;
    }
    out << ']';
}

// {"slot": value, ...} over the slots that have a value.
template <typename Value, typename Has>
void JsonBySlot(std::ostream& out, const std::vector<int>& slots, const Value& value, const Has& has) {
    out << '{';
    bool first = true;
    for (const int i : slots) {
        if (!has(i)) continue;
        out << (first ? "" : ", ") << '"' << i << "\": " << value(i);
        first = false;
    }
    out << '}';
}

void JsonOrder(std::ostream& out, const char* key, const Structure& s, const TaonArray& values,
               const TaonArray& averaged, Extended mean, Extended averagedMean) {
    const auto has = [&](int i) { return s.Order.Defined[static_cast<std::size_t>(i)]; };
    out << ",\n  \"" << key << "\": {\"by_slot\": ";
    JsonBySlot(
        out, s.Bonds.Slots, [&](int i) { return JsonReal(values[static_cast<std::size_t>(i)]); }, has);
    out << ", \"mean\": " << JsonReal(mean) << ", \"averaged_by_slot\": ";
    JsonBySlot(
        out, s.Bonds.Slots, [&](int i) { return JsonReal(averaged[static_cast<std::size_t>(i)]); }, has);
    out << ", \"averaged_mean\": " << JsonReal(averagedMean) << '}';
}

// "1 bond", "2 bonds".
std::string Count(std::size_t n, const std::string& noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string Text(const Position& p) {
    return FormatReal(p[0]) + " " + FormatReal(p[1]) + " " + FormatReal(p[2]);
}

} // namespace

void WriteStructureJson(const Structure& s, std::ostream& out) {
    out << ",\n  \"cutoff\": " << JsonReal(s.Cutoff.Value) << ",\n  \"cutoff_source\": \""
        << CutoffSourceText(s.Cutoff.Source) << "\",\n  \"cluster_count\": " << s.Counts.Clusters
        << ",\n  \"largest_cluster\": " << s.Counts.Largest << ",\n  \"isolated\": " << s.Counts.Isolated
        << ",\n  \"bonds\": [";
    for (std::size_t b = 0; b < s.Bonds.Bonds.size(); ++b)
        out << (b ? ", " : "") << '[' << s.Bonds.Bonds[b].First << ", " << s.Bonds.Bonds[b].Second << ']';
    out << "],\n  \"clusters\": [";
    // Clusters of two taons or more, as everywhere; the isolated taons are counted apart.
    const std::size_t shown = static_cast<std::size_t>(s.Counts.Clusters);
    for (std::size_t c = 0; c < shown; ++c) {
        const Cluster& cluster = s.Clusters[c];
        out << (c ? "," : "") << "\n    {\"size\": " << cluster.Size() << ", \"slots\": ";
        JsonList(out, cluster.Slots);
        out << ", \"kinds\": ";
        JsonList(out, cluster.Kinds);
        out << ", \"centre\": ";
        JsonList(out, cluster.Centre);
        out << ", \"radius_of_gyration\": " << JsonReal(cluster.RadiusOfGyration) << ", \"shape\": \""
            << cluster.Shape << "\", \"shape_error\": " << JsonReal(cluster.ShapeError)
            << ", \"centre_speed\": " << JsonReal(cluster.CentreSpeed)
            << ", \"receding_speed\": " << JsonReal(cluster.RecedingSpeed) << '}';
    }
    out << (shown == 0 ? "]" : "\n  ]") << ",\n  \"coordination\": {\"by_slot\": ";
    JsonBySlot(
        out, s.Bonds.Slots, [&](int i) { return s.Coordination.BySlot[static_cast<std::size_t>(i)]; },
        [](int) { return true; });
    out << ", \"histogram\": {\"all\": ";
    JsonList(out, s.Coordination.Histogram[0]);
    for (std::size_t kind = 1; kind <= 3; ++kind) {
        out << ", \"" << kind << "\": ";
        JsonList(out, s.Coordination.Histogram[kind]);
    }
    out << "}},\n  \"rdf\": {\"r\": ";
    JsonList(out, s.Rdf.R);
    for (std::size_t curve = 0; curve < RdfCurves; ++curve) {
        out << ",\n    \"" << RdfName(curve) << "\": ";
        JsonList(out, s.Rdf.G[curve]);
    }
    out << '}';
    JsonOrder(out, "q4", s, s.Order.Q4, s.Order.Q4Averaged, s.Order.MeanQ4, s.Order.MeanQ4Averaged);
    JsonOrder(out, "q6", s, s.Order.Q6, s.Order.Q6Averaged, s.Order.MeanQ6, s.Order.MeanQ6Averaged);
}

void WriteStructureText(const Structure& s, std::ostream& out) {
    out << "\nstructure at cutoff " << FormatReal(s.Cutoff.Value) << " (" << CutoffSourceText(s.Cutoff.Source)
        << "): " << Count(s.Bonds.Bonds.size(), "bond") << "\n  " << Count(s.Counts.Clusters, "cluster")
        << ", the largest of " << Count(s.Counts.Largest, "taon") << "; "
        << Count(s.Counts.Isolated, "isolated taon") << '\n';
    for (const Cluster& cluster : s.Clusters) {
        if (cluster.Size() < 2) continue;
        out << "  cluster of " << cluster.Size() << " (kinds " << cluster.Kinds[0] << ' ' << cluster.Kinds[1]
            << ' ' << cluster.Kinds[2] << "), shape " << cluster.Shape;
        if (!std::isnan(cluster.ShapeError)) out << " (error " << FormatReal(cluster.ShapeError) << ')';
        out << "\n    slots";
        for (const int i : cluster.Slots) out << ' ' << i;
        out << "\n    centre " << Text(cluster.Centre) << ", radius of gyration "
            << FormatReal(cluster.RadiusOfGyration) << "\n    centre speed "
            << FormatReal(cluster.CentreSpeed) << ", receding at " << FormatReal(cluster.RecedingSpeed)
            << '\n';
    }
    if (s.Counts.Isolated > 0) {
        out << "  isolated:";
        for (const Cluster& cluster : s.Clusters)
            if (cluster.Size() == 1) out << ' ' << cluster.Slots[0];
        out << '\n';
    }
    out << "  coordination (taons with 0, 1, 2 ... bonds):\n";
    for (std::size_t kind = 0; kind <= 3; ++kind) {
        out << (kind == 0 ? "    all:" : "    kind " + std::to_string(kind) + ":");
        for (const std::int64_t n : s.Coordination.Histogram[kind]) out << ' ' << n;
        out << '\n';
    }
    if (std::isnan(s.Order.MeanQ6))
        out << "  q4, q6: n/a (no bonds)\n";
    else
        out << "  q4 mean " << FormatReal(s.Order.MeanQ4) << ", averaged "
            << FormatReal(s.Order.MeanQ4Averaged) << "\n  q6 mean " << FormatReal(s.Order.MeanQ6)
            << ", averaged " << FormatReal(s.Order.MeanQ6Averaged) << '\n';
    const std::vector<Extended>& all = s.Rdf.G[RdfCurves - 1];
    std::size_t peak = 0;
    for (std::size_t bin = 1; bin < all.size(); ++bin)
        if (all[bin] > all[peak]) peak = bin;
    if (!all.empty() && all[peak] > 0)
        out << "  g(r) of all pairs is highest at r = " << FormatReal(s.Rdf.R[peak]) << ": "
            << FormatReal(all[peak]) << '\n';
}

} // namespace taonscope
