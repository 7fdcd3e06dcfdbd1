// SPDX-License-Identifier: GPL-3.0-or-later
#include "Series.h"

#include "Analysis.h"

#include "analysis/ClusterEvents.h"
#include "analysis/Series.h"
#include "document/CsvTable.h"

#include <ostream>
#include <string>
#include <vector>

namespace taonscope {

namespace {

// Cluster numbers as analyze --structure lists the clusters, from 1; or their sizes.
std::string Numbers(const std::vector<int>& values, int offset, bool json) {
    std::string text = json ? "[" : "";
    for (std::size_t n = 0; n < values.size(); ++n)
        text += (n ? (json ? ", " : " ") : "") + std::to_string(values[n] + offset);
    return json ? text + "]" : text;
}

// Every real is written by the code that writes analyze's: JsonReal and JsonQuantity in JSON, and
// in CSV the run table's cells, which carry the same digits ("n/a" where JSON has "NAN").
std::string CsvRow(const SeriesRow& row) {
    std::string text = std::to_string(row.Frame) + ',' + RunTableRow(row.Measures);
    text.back() = ',';
    text += RunTableQuantity(row.Msd);
    if (const auto& s = row.Structure)
        text += ',' + std::to_string(s->Counts.Clusters) + ',' + std::to_string(s->Counts.Isolated) + ',' +
                std::to_string(s->Counts.Largest) + ',' + PreciseReal(s->MeanQ6);
    return text + '\n';
}

std::string JsonRow(const SeriesRow& row) {
    const Sample& m = row.Measures;
    std::string text =
        "{\"frame\": " + std::to_string(row.Frame) + ", \"step\": " + std::to_string(m.Step) +
        ", \"time\": " + JsonReal(m.Time) + ", \"kinetic\": " + JsonQuantity(m.Kinetic) +
        ", \"pair_energy\": " + JsonQuantity(m.PairEnergy) +
        ", \"total_energy\": " + JsonQuantity(m.TotalEnergy) + ", \"momentum\": " + JsonQuantity(m.Momentum) +
        ", \"largest_speed\": " + JsonQuantity(m.LargestSpeed) + ", \"msd\": " + JsonQuantity(row.Msd);
    if (const auto& s = row.Structure)
        text += ", \"clusters\": " + std::to_string(s->Counts.Clusters) +
                ", \"isolated\": " + std::to_string(s->Counts.Isolated) +
                ", \"largest_cluster\": " + std::to_string(s->Counts.Largest) +
                ", \"q6_mean\": " + JsonReal(s->MeanQ6);
    return text + '}';
}

std::string EventRow(const ClusterEvent& e, bool json) {
    const std::string step = std::to_string(e.Step), name = ClusterEventName(e.Kind);
    const std::string before = Numbers(e.Before, 1, json), after = Numbers(e.After, 1, json),
                      sizesBefore = Numbers(e.SizesBefore, 0, json),
                      sizesAfter = Numbers(e.SizesAfter, 0, json);
    if (!json)
        return step + ',' + name + ',' + before + ',' + after + ',' + sizesBefore + ',' + sizesAfter + '\n';
    return "{\"step\": " + step + ", \"event\": \"" + name + "\", \"clusters_before\": " + before +
           ", \"clusters_after\": " + after + ", \"sizes_before\": " + sizesBefore +
           ", \"sizes_after\": " + sizesAfter + '}';
}

} // namespace

void WriteTrajectoryReport(TrajectoryReader& reader, const TrajectoryReport& report, std::ostream& out) {
    std::size_t rows = 0;
    const auto write = [&](const std::string& row) {
        if (report.Json) out << (rows ? ",\n  " : "\n  ");
        out << row;
        ++rows;
    };
    if (report.Json) {
        out << '[';
    } else if (report.Events) {
        out << "step,event,clusters_before,clusters_after,sizes_before,sizes_after\n";
    } else {
        std::string header = "frame," + std::string(RunTableHeader);
        header.insert(header.size() - 1, ",msd");
        if (report.Structure) header.insert(header.size() - 1, ",clusters,isolated,largest_cluster,q6_mean");
        out << header;
    }
    World first, frame;
    std::optional<Structure> previous;
    for (int number = 1; reader.Next(frame); ++number) {
        if (number == 1) first = frame;
        std::optional<Structure> structure;
        if (report.Structure || report.Events)
            structure = AnalyzeStructure(frame, report.Structure.value_or(StructureOptions{}));
        const FrameStamp& stamp = reader.Stamp();
        if (!report.Events) {
            const SeriesRow row =
                MeasureFrame(frame, number, stamp.Step, stamp.Time, first, structure ? &*structure : nullptr);
            write(report.Json ? JsonRow(row) : CsvRow(row));
            continue;
        }
        if (previous)
            for (const ClusterEvent& event : ClusterEvents(*previous, *structure, stamp.Step))
                write(EventRow(event, report.Json));
        previous = std::move(structure);
    }
    if (report.Json) out << (rows ? "\n]\n" : "]\n");
}

} // namespace taonscope
