// SPDX-License-Identifier: GPL-3.0-or-later
#include "Analysis.h"

#include "CommandLine.h"
#include "StructureReport.h"

#include "analysis/Histogram.h"
#include "analysis/Measures.h"
#include "analysis/PairFunction.h"
#include "core/NumberText.h"

#include <charconv>
#include <cmath>
#include <ostream>

namespace taonscope {

namespace {

std::string Json(Extended value) {
    return JsonReal(value);
}

std::string Json(const Quantity& q) {
    return JsonQuantity(q);
}

std::string Json(const VectorQuantity& v) {
    if (!v.Valid()) return "[\"NAN\", \"NAN\", \"NAN\"]";
    std::string text = "[";
    text += Json(v.X);
    text += ", ";
    text += Json(v.Y);
    text += ", ";
    text += Json(v.Z);
    text += "]";
    return text;
}

std::string Text(const VectorQuantity& v) {
    if (!v.Valid()) return "n/a (" + v.Reason + ")";
    return FormatReal(v.X) + " " + FormatReal(v.Y) + " " + FormatReal(v.Z);
}

std::string Text(const Quantity& q) {
    return q.Valid() ? FormatReal(q.Value) : "n/a (" + q.Reason + ")";
}

} // namespace

std::optional<StructureOptions> StructureOption(const CommandLine& line, bool implied) {
    std::optional<StructureOptions> structure;
    if (implied || line.Option("--structure")) structure.emplace();
    if (const std::optional<Extended> cutoff = RealOption(line, "--cutoff")) {
        if (!structure) throw CommandLineError{"--cutoff needs --structure"};
        if (!(*cutoff > 0) || !std::isfinite(*cutoff))
            throw CommandLineError{"--cutoff must be a positive number"};
        structure->Cutoff = *cutoff;
    }
    return structure;
}

std::string JsonReal(Extended value) {
    if (std::isfinite(value)) return PreciseReal(value);
    std::string text = "\"";
    text += PreciseReal(value);
    text += '"';
    return text;
}

// A quantity that is not available is written as not-a-number; its reason goes beside it in the text.
std::string JsonQuantity(const Quantity& q) {
    return q.Valid() ? JsonReal(q.Value) : "\"NAN\"";
}

void WriteAnalysis(const World& world, bool json, std::ostream& out,
                   const std::optional<StructureOptions>& structure) {
    const Sample s = TakeSample(world, 0, 0);
    const VectorQuantity p = TotalMomentum(world), centre = CentreOfMass(world);
    const std::array<Histogram, 6> histograms = PairHistograms(world);
    if (json) {
        out << "{\n  \"kinetic\": " << Json(s.Kinetic) << ",\n  \"pair_energy\": " << Json(s.PairEnergy)
            << ",\n  \"total_energy\": " << Json(s.TotalEnergy)
            << ",\n  \"energy_conserved\": " << (EnergyConserved(world) ? "true" : "false")
            << ",\n  \"momentum\": " << Json(p) << ",\n  \"momentum_length\": " << Json(s.Momentum)
            << ",\n  \"centre_of_mass\": " << Json(centre)
            << ",\n  \"largest_speed\": " << Json(s.LargestSpeed) << ",\n  \"histograms\": {";
        for (std::size_t n = 0; n < 6; ++n) {
            out << (n ? "," : "") << "\n    \"" << KindPairName(n) << "\": {\"edges\": [";
            for (std::size_t e = 0; e < histograms[n].Edges.size(); ++e)
                out << (e ? ", " : "") << Json(histograms[n].Edges[e]);
            out << "], \"counts\": [";
            for (std::size_t c = 0; c < histograms[n].Counts.size(); ++c)
                out << (c ? ", " : "") << histograms[n].Counts[c];
            out << "]}";
        }
        out << "\n  },\n  \"shells\": {";
        for (int kind = 1; kind <= 3; ++kind) {
            out << (kind > 1 ? "," : "") << "\n    \"" << kind << "\": [";
            const std::array<Extended, 5> radii = ShellRadii(GetParameterSet(world, kind));
            for (std::size_t r = 0; r < 5; ++r) out << (r ? ", " : "") << Json(radii[r]);
            out << "]";
        }
        out << "\n  }";
        if (structure) WriteStructureJson(AnalyzeStructure(world, *structure), out);
        out << "\n}\n";
        return;
    }
    out << "K = " << Text(s.Kinetic) << "\nU = " << Text(s.PairEnergy) << "\nE = " << Text(s.TotalEnergy)
        << "\n"
        << ConservationText(world) << "\n|P| = " << Text(s.Momentum) << "\nP = " << Text(p)
        << "\ncentre of mass = " << Text(centre) << "\nlargest speed = " << Text(s.LargestSpeed) << "\n";
    for (int kind = 1; kind <= 3; ++kind) {
        out << "shells of kind " << kind << " =";
        for (const Extended r : ShellRadii(GetParameterSet(world, kind))) out << ' ' << FormatReal(r);
        out << '\n';
    }
    for (std::size_t n = 0; n < 6; ++n) {
        const Histogram& h = histograms[n];
        out << "\ndistances " << KindPairName(n) << ": " << h.Total() << " pairs\n";
        if (!h.Reason.empty()) out << "  n/a (" << h.Reason << ")\n";
        for (std::size_t b = 0; b < h.Counts.size(); ++b)
            out << "  " << FormatReal(h.Edges[b]) << " .. " << FormatReal(h.Edges[b + 1]) << '\t'
                << h.Counts[b] << '\n';
    }
    if (structure) WriteStructureText(AnalyzeStructure(world, *structure), out);
}

} // namespace taonscope
