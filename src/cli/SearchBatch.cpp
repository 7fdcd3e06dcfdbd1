// SPDX-License-Identifier: GPL-3.0-or-later
#include "SearchBatch.h"

#include "analysis/Structure.h"
#include "atlas/Sweep.h"
#include "core/FastLaw.h"
#include "core/NumberText.h"
#include "core/Scenarios.h"
#include "document/ConfigFile.h"
#include "document/CsvTable.h"
#include "document/FileIo.h"
#include "document/IoError.h"
#include "document/Json.h"
#include "landscape/LawPotential.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <map>

namespace taonscope {

namespace {

// A plan or a record is a few lines of text; anything longer is neither.
constexpr std::size_t MostRecordBytes = std::size_t{1} << 20;

// The most minima a search keeps: their files are numbered with two digits.
constexpr int MostKept = 99;

// The time a step of 100 taons takes on one thread (docs/PERFORMANCE.md), and the iterations of a hop's
// minimisation of one taon: a first estimate of a cell, before one is done.
constexpr double SecondsPerLawOfHundred = 0.0006;
constexpr double IterationsPerHopAndTaon = 15;

std::string TwoDigits(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", number);
    return text;
}

// The configuration of a cell's kept minimum at place (from 0): cells/000003-01.tao ...
std::string KeptFile(const SearchFolder& folder, int cell, int place) {
    char ending[24];
    std::snprintf(ending, sizeof ending, "-%02d.tao", place + 1);
    return folder.CellFile(cell, ending);
}

// The bytes of a file, or "PATH: why"; empty when it does not exist.
std::optional<std::string> FileText(const std::string& path) {
    int openFailure = 0;
    std::optional<std::string> bytes;
    try {
        bytes = ReadFileBytes(path, MostRecordBytes, openFailure);
    } catch (const TaonError& error) {
        throw TaonError(path + ": " + error.what());
    }
    if (!bytes && KindOfPath(path) != PathKind::Missing)
        throw TaonError(path + ": " + IoErrorText(openFailure));
    return bytes;
}

// What read makes of the JSON file at path; every fault is "PATH: why".
template <typename Read> auto ReadJson(const std::string& path, Read&& read) {
    const std::optional<std::string> text = FileText(path);
    if (!text) throw TaonError(path + ": " + IoErrorText(FileNotFound));
    try {
        return read(ParseJson(*text));
    } catch (const TaonError& error) {
        throw TaonError(path + ": " + error.what());
    }
}

const JsonValue& Member(const JsonValue& object, const char* key) {
    const JsonValue* value = object.Find(key);
    if (!value) throw TaonError(std::string("\"") + key + "\" is missing");
    return *value;
}

std::int64_t WholeMember(const JsonValue& object, const char* key) {
    return Member(object, key).AsInteger(key, 0, std::numeric_limits<std::int64_t>::max());
}

void WriteText(const std::string& path, std::string_view text) {
    Writing(path, [&] { ReplaceFileContents(path, text); });
}

// The plan's text goes first: it says whom the folder belongs to, so that a folder of another search is
// never mixed with this one, and one planned the same way goes on where it stopped.
void WritePlan(const SearchFolder& folder, const std::string& text, const char* what) {
    const std::string path = folder.Dir + "/" + folder.Plan;
    bool planned = false;
    switch (KindOfPath(folder.Dir)) {
    case PathKind::Missing:
        break;
    case PathKind::Folder: {
        const std::vector<std::string> entries = FolderEntries(folder.Dir);
        if (std::find(entries.begin(), entries.end(), folder.Plan) != entries.end()) {
            if (FileText(path) != text)
                throw TaonError(folder.Dir + " holds another " + what + ": its " + folder.Plan +
                                " differs; choose another folder");
            planned = true;
            break;
        }
        if (!entries.empty())
            throw TaonError(folder.Dir + " holds other files and no " + folder.Plan +
                            ": choose a new or an empty folder");
        break;
    }
    default:
        throw TaonError(folder.Dir + " is not a folder");
    }
    Writing(path, [&] {
        CreateParentFolders(path);
        if (!planned) ReplaceFileContents(path, text);
    });
    const std::string cells = folder.CellFile(1, ".json");
    Writing(cells, [&] { CreateParentFolders(cells); });
}

// The search's settings as JSON members, the same text for the same settings.
std::string SettingsMembers(const SearchSettings& s) {
    const ParameterSet& p = s.Set;
    return "\"hops\": " + std::to_string(s.Hops) + ", \"hops_per_cell\": " + std::to_string(s.HopsPerCell) +
           ", \"temperature\": " + ShortReal(s.Temperature) + ", \"seed\": " + std::to_string(s.Seed) +
           ",\n \"dt\": " + ShortReal(s.Dt) + ", \"parameters\": {\"A\": " + ShortReal(p.A) +
           ", \"B\": " + ShortReal(p.B) + ", \"C\": " + ShortReal(p.C) + ", \"D\": " + ShortReal(p.D) +
           ", \"F\": " + ShortReal(p.F) + ", \"G\": " + ShortReal(p.G) + "}";
}

SearchSettings SettingsOfJson(const JsonValue& plan) {
    SearchSettings s;
    s.Hops = WholeMember(plan, "hops");
    s.HopsPerCell = WholeMember(plan, "hops_per_cell");
    if (s.Hops < 1 || s.HopsPerCell < 1) throw TaonError("\"hops\" and \"hops_per_cell\" are at least 1");
    s.Temperature = Member(plan, "temperature").AsReal("temperature");
    s.Seed = static_cast<std::uint64_t>(WholeMember(plan, "seed"));
    s.Dt = Member(plan, "dt").AsReal("dt");
    const JsonValue& p = Member(plan, "parameters");
    s.Set = {Member(p, "A").AsReal("A"), Member(p, "B").AsReal("B"), Member(p, "C").AsReal("C"),
             Member(p, "D").AsReal("D"), Member(p, "F").AsReal("F"), Member(p, "G").AsReal("G")};
    return s;
}

// The named shape of the whole configuration: that of its one cluster, "none" when the structure
// analysis finds several.
std::string ShapeOf(const World& world) {
    const Structure structure = AnalyzeStructure(world);
    if (structure.Clusters.size() != 1) return "none";
    return structure.Clusters.front().Shape;
}

// A minimum as the members of a record: "pair_energy": ..., "hop": ..., "largest_acceleration": ...,
// "shape": ...
std::string MinimumMembers(const SearchSettings& s, const FoundMinimum& m) {
    return "\"pair_energy\": " + ShortReal(m.Energy) + ", \"hop\": " + std::to_string(m.Hop) +
           ", \"largest_acceleration\": " + ShortReal(m.LargestGradient) +
           ", \"shape\": " + JsonQuoted(ShapeOf(SearchWorld(s, m.X)));
}

// A kept minimum as a record names it, with its shape.
struct RecordedMinimum {
    FoundMinimum Minimum; // its coordinates stay in its configuration file
    std::string Shape;
};

RecordedMinimum MinimumOfJson(const JsonValue& m) {
    RecordedMinimum r;
    r.Minimum.Energy = Member(m, "pair_energy").AsReal("pair_energy");
    r.Minimum.Hop = WholeMember(m, "hop");
    r.Minimum.LargestGradient = Member(m, "largest_acceleration").AsReal("largest_acceleration");
    r.Shape = Member(m, "shape").AsString("shape");
    return r;
}

void WriteWorld(const std::string& path, const World& world) {
    ConfigRecord buffer{};
    Writing(path, [&] { WriteConfigFile(path, world, buffer); });
}

void CopyFile(const std::string& from, const std::string& to) {
    int openFailure = 0;
    std::optional<std::string> bytes;
    Writing(from, [&] {
        bytes = ReadFileBytes(from, ConfigRecordSize, openFailure);
        if (!bytes) throw IoError(openFailure);
    });
    WriteText(to, *bytes);
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Where a ground-states cell stands: the N and the run, the largest N first so that the longest cells
// start first.
struct GroundStateCell {
    int Taons, Run;
};
GroundStateCell GroundStateCellOf(const GroundStateSettings& s, int cell) {
    return {s.To - (cell - 1) / s.Runs, (cell - 1) % s.Runs + 1};
}

SearchSettings RunSettings(const GroundStateSettings& s, GroundStateCell cell) {
    SearchSettings search = s.Search;
    search.Taons = cell.Taons;
    search.Seed = s.Search.Seed + static_cast<std::uint64_t>(cell.Run - 1);
    search.Keep = 1;
    return search;
}

} // namespace

int TaonsArgument(const std::string& text, const char* what, int least) {
    const std::optional<std::int32_t> value = TryParseInteger(text);
    if (!value || *value < least || *value > MaxTaons || text.find('$') != std::string::npos)
        throw CommandLineError{std::string(what) + " is a whole number from " + std::to_string(least) +
                               " to " + std::to_string(MaxTaons) + ", not '" + text + "'"};
    return *value;
}

bool SearchSettingsOf(const CommandLine& line, int taons, SearchSettings& s, std::ostream& err) {
    s.Taons = taons;
    s.Set = FigureParameters();
    if (const std::optional<std::string> path = line.Option("--parameters")) {
        World world;
        if (!LoadWorld(*path, world, err)) return false;
        s.Set = GetParameterSet(world, 1);
        s.Dt = world.dt;
    }
    s.Hops = WholeNumberOption(line, "--hops", static_cast<int>(s.Hops));
    if (s.Hops < 1) throw CommandLineError{"--hops takes a whole number from 1"};
    if (const std::optional<Extended> t = RealOption(line, "--temperature")) {
        if (!(*t >= 0 && *t < std::numeric_limits<Extended>::infinity()))
            throw CommandLineError{"--temperature takes a number from 0"};
        s.Temperature = *t;
    }
    s.Seed = static_cast<std::uint64_t>(WholeNumberOption(line, "--seed", static_cast<int>(s.Seed)));
    s.Keep = WholeNumberOption(line, "--keep", s.Keep);
    if (s.Keep < 1 || s.Keep > MostKept)
        throw CommandLineError{"--keep takes a whole number from 1 to " + std::to_string(MostKept)};
    return true;
}

std::string SearchFolder::CellFile(int cell, const std::string& ending) const {
    char name[32];
    std::snprintf(name, sizeof name, "/cells/%06d", cell);
    return Dir + name + ending;
}

std::vector<int> SearchFolder::DoneCells(int total) const {
    std::vector<int> done;
    for (int cell = 1; cell <= total; ++cell)
        if (KindOfPath(CellFile(cell, ".json")) == PathKind::File) done.push_back(cell);
    return done;
}

SearchFolder SearchFolderOf(const std::string& dir) {
    return {dir, "search.json"};
}

SearchFolder GroundStateFolderOf(const std::string& dir) {
    return {dir, "ground-states.json"};
}

void PlanSearch(const SearchFolder& folder, const SearchSettings& s) {
    WritePlan(folder,
              "{\"taons\": " + std::to_string(s.Taons) + ", \"keep\": " + std::to_string(s.Keep) + ", " +
                  SettingsMembers(s) + "}\n",
              "search");
}

void RunAndKeepSearchCell(const SearchFolder& folder, const SearchSettings& s, int cell) {
    const auto start = std::chrono::steady_clock::now();
    FastLaw law(1);
    HoppingResult result = RunSearchCell(s, cell, law);
    std::string minima;
    for (std::size_t place = 0; place < result.Lowest.size(); ++place) {
        FoundMinimum& m = result.Lowest[place];
        m.Hop = SearchHop(s, cell, m.Hop);
        WriteWorld(KeptFile(folder, cell, static_cast<int>(place)), SearchWorld(s, m.X));
        minima += std::string(place == 0 ? "\n  " : ",\n  ") + "{" + MinimumMembers(s, m) + "}";
    }
    WriteText(folder.CellFile(cell, ".json"),
              "{\"cell\": " + std::to_string(cell) + ", \"hops\": " + std::to_string(result.Hops + 1) +
                  ", \"accepted\": " + std::to_string(result.Accepted) + ", \"faulted\": " +
                  std::to_string(result.Faulted) + ", \"iterations\": " + std::to_string(result.Iterations) +
                  ", \"gradients\": " + std::to_string(result.Gradients) +
                  ", \"energies\": " + std::to_string(result.Energies) +
                  ", \"seconds\": " + ShortReal(SecondsSince(start)) + ",\n \"minima\": [" + minima + "]}\n");
}

void MergeSearch(const SearchFolder& folder, const SearchSettings& s, std::ostream& err) {
    std::vector<CellMinimum> found;
    std::map<std::pair<int, int>, std::string> shapes;
    for (int cell = 1; cell <= SearchCellCount(s); ++cell) {
        ReadJson(folder.CellFile(cell, ".json"), [&](const JsonValue& record) {
            const JsonValue::Array& minima = Member(record, "minima").AsArray("minima");
            for (std::size_t place = 0; place < minima.size(); ++place) {
                RecordedMinimum m = MinimumOfJson(minima[place]);
                shapes[{cell, static_cast<int>(place)}] = m.Shape;
                found.push_back({cell, static_cast<int>(place), std::move(m.Minimum)});
            }
            return 0;
        });
    }
    const std::vector<CellMinimum> lowest = MergeMinima(std::move(found), s.Keep);
    std::string table = "rank,pair_energy,energy_per_taon,shape,largest_acceleration,hop,file\n";
    for (std::size_t rank = 1; rank <= lowest.size(); ++rank) {
        const CellMinimum& m = lowest[rank - 1];
        const std::string file = "minimum-" + TwoDigits(static_cast<int>(rank)) + ".tao";
        CopyFile(KeptFile(folder, m.Cell, m.Place), folder.Dir + "/" + file);
        table += std::to_string(rank) + "," + PreciseReal(m.Minimum.Energy) + "," +
                 PreciseReal(m.Minimum.Energy / s.Taons) + "," + shapes[{m.Cell, m.Place}] + "," +
                 PreciseReal(m.Minimum.LargestGradient) + "," + std::to_string(m.Minimum.Hop) + "," + file +
                 "\n";
    }
    WriteText(folder.Dir + "/minima.csv", table);
    err << "wrote " << folder.Dir << "/minima.csv and " << lowest.size()
        << " minima; the lowest, U = " << PreciseReal(lowest.front().Minimum.Energy) << ", found at hop "
        << lowest.front().Minimum.Hop << " of " << s.Hops << '\n';
}

void PlanGroundStates(const SearchFolder& folder, const GroundStateSettings& s) {
    WritePlan(folder,
              "{\"from\": " + std::to_string(s.From) + ", \"to\": " + std::to_string(s.To) +
                  ", \"runs\": " + std::to_string(s.Runs) + ", " + SettingsMembers(s.Search) + "}\n",
              "table of ground states");
}

GroundStateSettings LoadGroundStates(const SearchFolder& folder) {
    return ReadJson(folder.Dir + "/" + folder.Plan, [](const JsonValue& plan) {
        GroundStateSettings s;
        s.Search = SettingsOfJson(plan);
        s.From = static_cast<int>(Member(plan, "from").AsInteger("from", 2, MaxTaons));
        s.To = static_cast<int>(Member(plan, "to").AsInteger("to", s.From, MaxTaons));
        s.Runs = static_cast<int>(Member(plan, "runs").AsInteger("runs", 1, 1000));
        return s;
    });
}

int GroundStateCellCount(const GroundStateSettings& s) {
    return (s.To - s.From + 1) * s.Runs;
}

void RunAndKeepGroundStateCell(const SearchFolder& folder, const GroundStateSettings& s, int cell) {
    const auto start = std::chrono::steady_clock::now();
    const GroundStateCell where = GroundStateCellOf(s, cell);
    const SearchSettings search = RunSettings(s, where);
    FastLaw law(1);
    std::vector<CellMinimum> found;
    for (int chain = 1; chain <= SearchCellCount(search); ++chain) {
        HoppingResult result = RunSearchCell(search, chain, law);
        FoundMinimum& m = result.Lowest.front();
        m.Hop = SearchHop(search, chain, m.Hop);
        found.push_back({chain, 0, std::move(m)});
    }
    const FoundMinimum best = MergeMinima(std::move(found), 1).front().Minimum;
    WriteWorld(folder.CellFile(cell, ".tao"), SearchWorld(search, best.X));
    WriteText(folder.CellFile(cell, ".json"),
              "{\"n\": " + std::to_string(where.Taons) + ", \"run\": " + std::to_string(where.Run) +
                  ", \"seed\": " + std::to_string(search.Seed) + ", " + MinimumMembers(search, best) +
                  ", \"seconds\": " + ShortReal(SecondsSince(start)) + "}\n");
}

void MergeGroundStates(const SearchFolder& folder, const GroundStateSettings& s, std::ostream& err) {
    struct Run {
        int Cell;
        RecordedMinimum Best;
    };
    std::map<int, std::vector<Run>> runs;
    for (const int cell : folder.DoneCells(GroundStateCellCount(s)))
        runs[GroundStateCellOf(s, cell).Taons].push_back(
            {cell, ReadJson(folder.CellFile(cell, ".json"), MinimumOfJson)});
    std::string table = "n,pair_energy,energy_per_taon,shape,runs,runs_that_found_it\n";
    std::string missing;
    for (int n = s.From; n <= s.To; ++n) {
        std::vector<Run>& done = runs[n];
        if (static_cast<int>(done.size()) < s.Runs) {
            missing += (missing.empty() ? "" : ", ") + std::to_string(n);
            continue;
        }
        // The lowest; of equal ones, that of the first run, whose cell comes first.
        const Run& best = *std::min_element(done.begin(), done.end(), [](const Run& a, const Run& b) {
            return a.Best.Minimum.Energy < b.Best.Minimum.Energy ||
                   (a.Best.Minimum.Energy == b.Best.Minimum.Energy && a.Cell < b.Cell);
        });
        const Extended u = best.Best.Minimum.Energy;
        const auto found = std::count_if(done.begin(), done.end(),
                                         [&](const Run& r) { return SameEnergy(r.Best.Minimum.Energy, u); });
        CopyFile(folder.CellFile(best.Cell, ".tao"), folder.Dir + "/ground-state-" + TwoDigits(n) + ".tao");
        table += std::to_string(n) + "," + PreciseReal(u) + "," + PreciseReal(u / n) + "," + best.Best.Shape +
                 "," + std::to_string(s.Runs) + "," + std::to_string(found) + "\n";
    }
    WriteText(folder.Dir + "/ground-states.csv", table);
    err << "wrote " << folder.Dir << "/ground-states.csv";
    if (!missing.empty()) err << " without N = " << missing << ", whose runs are not all done";
    err << '\n';
}

SlurmBatch GroundStateSlurmBatch(const SearchFolder& folder, const GroundStateSettings& s) {
    return {"ground-states",
            folder.Dir,
            GroundStateCellCount(s),
            {"ground-states", "cell", folder.Dir},
            {"ground-states", "merge", folder.Dir}};
}

double EstimatedGroundStateCellSeconds(const SearchFolder& folder, const GroundStateSettings& s) {
    double total = 0;
    int counted = 0;
    for (const int cell : folder.DoneCells(GroundStateCellCount(s))) {
        try {
            total +=
                static_cast<double>(ReadJson(folder.CellFile(cell, ".json"), [](const JsonValue& record) {
                    return Member(record, "seconds").AsReal("seconds");
                }));
            ++counted;
        } catch (const TaonError&) {
        }
    }
    if (counted > 0) return total / counted;
    // The law's work grows with the pairs, a hop's iterations with the taons.
    double seconds = 0;
    for (int n = s.From; n <= s.To; ++n)
        seconds += static_cast<double>(s.Search.Hops) * IterationsPerHopAndTaon * n * SecondsPerLawOfHundred *
                   (n * n) / 1e4;
    return seconds / (s.To - s.From + 1) + 0.05;
}

} // namespace taonscope
