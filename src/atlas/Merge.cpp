// SPDX-License-Identifier: GPL-3.0-or-later
#include "Merge.h"

#include "document/FileIo.h"
#include "document/IoError.h"
#include "document/Json.h"

#include "core/Version.h"

namespace taonscope {

namespace {

// A result file is a few lines; a larger one is none of ours.
constexpr std::size_t MostResultBytes = 1 << 16;

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

std::string ReadText(const std::string& path, std::size_t most) {
    int openFailure = 0;
    std::optional<std::string> bytes;
    try {
        bytes = ReadFileBytes(path, most, openFailure);
    } catch (const TaonError& error) {
        throw AtlasError(path + ": " + error.what());
    }
    if (!bytes) throw AtlasError(path + ": " + IoErrorText(openFailure));
    return *bytes;
}

} // namespace

CellRecord ReadCellRecord(const AtlasPlan& plan, int index) {
    const std::string path = plan.Folder.ResultFile(index);
    CellRecord record;
    try {
        record = ParseCellRecord(plan.Sweep, ReadText(path, MostResultBytes));
    } catch (const AtlasError& error) {
        throw AtlasError(path + ": " + error.what());
    }
    if (record.Index != index) throw AtlasError(path + ": holds cell " + std::to_string(record.Index));
    return record;
}

Atlas ReadAtlas(const std::string& dir) {
    Atlas atlas{LoadPlan(dir), {}};
    for (const int index : DoneCells(atlas.Plan)) atlas.Records.push_back(ReadCellRecord(atlas.Plan, index));
    return atlas;
}

std::string AtlasCsv(const AtlasSweep& sweep, const std::vector<CellRecord>& records) {
    std::string csv = "cell,seed";
    for (const SweepAxis& axis : sweep.Vary) csv += "," + axis.Parameter;
    csv += std::string(",") + AtlasColumns + "\n";
    for (const CellRecord& r : records) {
        const Classification& c = r.Result;
        csv += std::to_string(r.Index) + ',' + (r.Seed ? std::to_string(*r.Seed) : "");
        for (const Extended value : r.Values) csv += ',' + ShortReal(value);
        csv += ',' + OutcomeName(c.Kind) + ',' + std::to_string(c.Clusters) + ',' +
               std::to_string(c.Isolated) + ',' + std::to_string(c.Largest) + ',' + ShortReal(c.Kinetic) +
               ',' + ShortReal(c.PairEnergy) + ',' + std::to_string(r.Steps) + ',' + std::to_string(c.Taons) +
               ',' + CsvField(c.Shape) + ',' + ShortReal(c.LargestSpeed) + ',' + ShortReal(c.Cutoff) + ',' +
               CsvField(c.Message) + '\n';
    }
    return csv;
}

std::string AtlasJson(const AtlasSweep& sweep, const std::vector<CellRecord>& records) {
    std::string json = "{\n  \"program\": " + JsonQuoted(ProgramSignature) +
                       ",\n  \"title\": " + JsonQuoted(sweep.Title) +
                       ",\n  \"cells\": " + std::to_string(sweep.CellCount()) +
                       ",\n  \"repetitions\": " + std::to_string(sweep.Repetitions) + ",\n  \"vary\": [";
    for (std::size_t a = 0; a < sweep.Vary.size(); ++a) {
        const SweepAxis& axis = sweep.Vary[a];
        json += std::string(a ? "," : "") + "\n    {\"parameter\": " + JsonQuoted(axis.Parameter) +
                ", \"spacing\": \"" + (axis.Spacing == AxisSpacing::Log ? "log" : "linear") +
                "\", \"values\": [";
        const std::vector<Extended>& values = axis.Values;
        for (std::size_t v = 0; v < values.size(); ++v) json += (v ? ", " : "") + ShortReal(values[v]);
        json += "]}";
    }
    const SweepProtocol& p = sweep.Protocol;
    json += "],\n  \"protocol\": {";
    if (p.UntilSettled)
        json += "\"until_settled\": " + ShortReal(*p.UntilSettled) +
                ", \"max_steps\": " + std::to_string(p.MaxSteps);
    else
        json += "\"steps\": " + std::to_string(p.Steps);
    json += std::string(", \"cool\": ") + (p.Cool ? "true" : "false") + "},\n  \"classify\": {\"cutoff\": " +
            (sweep.Rules.Cutoff ? ShortReal(*sweep.Rules.Cutoff) : "null") +
            ", \"moving_speed\": " + ShortReal(sweep.Rules.MovingSpeed) + "},\n  \"rows\": [";
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::string row = CellRecordJson(sweep, records[i]);
        while (!row.empty() && row.back() == '\n') row.pop_back();
        for (std::size_t at = row.find('\n'); at != std::string::npos; at = row.find('\n', at))
            row.erase(at, 1);
        json += std::string(i ? "," : "") + "\n    {\"configuration\": " +
                JsonQuoted("cells/" + CellFileStem(records[i].Index) + ".tao") + ", " + row.substr(1);
    }
    json += records.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return json;
}

std::string TimingsCsv(const AtlasPlan& plan) {
    std::string csv = "cell,seconds\n";
    for (int index = 1; index <= plan.Sweep.CellCount(); ++index) {
        int openFailure = 0;
        std::optional<std::string> seconds;
        try {
            seconds = ReadFileBytes(plan.Folder.SecondsFile(index), 64, openFailure);
        } catch (const TaonError&) {
        }
        std::string text = seconds.value_or("");
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (text.find_first_not_of("0123456789.") != std::string::npos) text.clear();
        csv += std::to_string(index) + ',' + text + '\n';
    }
    return csv;
}

void MergeAtlas(const std::string& dir) {
    const Atlas atlas = ReadAtlas(dir);
    const int count = atlas.Plan.Sweep.CellCount();
    const int missing = count - static_cast<int>(atlas.Records.size());
    if (missing > 0)
        throw AtlasError(dir + ": " + std::to_string(missing) + " of " + std::to_string(count) +
                         " cells are not done yet (atlas run " + dir + " runs them)");
    const AtlasFolder& folder = atlas.Plan.Folder;
    Writing(folder.AtlasJson(),
            [&] { ReplaceFileContents(folder.AtlasJson(), AtlasJson(atlas.Plan.Sweep, atlas.Records)); });
    Writing(folder.AtlasCsv(),
            [&] { ReplaceFileContents(folder.AtlasCsv(), AtlasCsv(atlas.Plan.Sweep, atlas.Records)); });
    Writing(folder.Timings(), [&] { ReplaceFileContents(folder.Timings(), TimingsCsv(atlas.Plan)); });
}

} // namespace taonscope
