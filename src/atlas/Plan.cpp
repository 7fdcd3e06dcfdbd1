// SPDX-License-Identifier: GPL-3.0-or-later
#include "Plan.h"

#include "document/ConfigFile.h"
#include "document/FileIo.h"
#include "document/IoError.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace taonscope {

namespace {

// A sweep file is a page of text; anything longer is no sweep.
constexpr std::size_t MostSweepBytes = std::size_t{1} << 20;

// The bytes of a file, or "PATH: why" as an AtlasError; a missing file is "File not found".
std::string FileText(const std::string& path, std::size_t most, const std::string& what) {
    int openFailure = 0;
    std::optional<std::string> bytes;
    try {
        bytes = ReadFileBytes(path, most + 1, openFailure);
    } catch (const TaonError& error) {
        throw AtlasError(what + path + ": " + error.what());
    }
    if (!bytes) throw AtlasError(what + path + ": " + IoErrorText(openFailure));
    if (bytes->size() > most) throw AtlasError(what + path + ": longer than a sweep file can be");
    return *bytes;
}

// The record of a configuration file, or "PATH: why" as an AtlasError.
ConfigRecord ConfigurationRecord(const std::string& path, const std::string& what) {
    ConfigRecord record{};
    try {
        if (const int openFailure = ReadConfigFile(path, record))
            throw AtlasError(what + path + ": " + IoErrorText(openFailure));
    } catch (const AtlasError&) {
        throw;
    } catch (const TaonError& error) {
        throw AtlasError(what + path + ": " + error.what());
    }
    return record;
}

// A path the sweep names, taken from the sweep file's folder when it is relative.
std::string BesideSweep(const std::string& sweepPath, const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    const std::size_t slash = sweepPath.rfind('/');
    return slash == std::string::npos ? path : sweepPath.substr(0, slash + 1) + path;
}

AtlasSweep ParseSweepFile(const std::string& path, const std::string& text) {
    try {
        return ParseSweep(text);
    } catch (const AtlasError& error) {
        throw AtlasError(path + ": " + error.what());
    }
}

} // namespace

AtlasCell CellOf(const AtlasSweep& sweep, int index) {
    AtlasCell cell;
    cell.Index = index;
    int rest = index - 1;
    cell.Repetition = rest % sweep.Repetitions;
    rest /= sweep.Repetitions;
    cell.Steps.assign(sweep.Vary.size(), 0);
    for (std::size_t a = sweep.Vary.size(); a-- > 0;) {
        cell.Steps[a] = rest % sweep.Vary[a].Count;
        rest /= sweep.Vary[a].Count;
    }
    for (std::size_t a = 0; a < sweep.Vary.size(); ++a)
        cell.Values.push_back(sweep.Vary[a].Values[static_cast<std::size_t>(cell.Steps[a])]);
    if (sweep.Seeded()) cell.Seed = sweep.Base.Cloud.Seed + static_cast<std::uint64_t>(cell.Repetition);
    return cell;
}

std::vector<AtlasCell> PlanCells(const AtlasSweep& sweep) {
    std::vector<AtlasCell> cells;
    const int count = sweep.CellCount();
    cells.reserve(static_cast<std::size_t>(count));
    for (int index = 1; index <= count; ++index) cells.push_back(CellOf(sweep, index));
    return cells;
}

std::string CellFileStem(int index) {
    char stem[16];
    std::snprintf(stem, sizeof stem, "%06d", index);
    return stem;
}

std::string AtlasFolder::ResultFile(int index) const {
    return CellFolder() + "/" + CellFileStem(index) + ".json";
}

std::string AtlasFolder::ConfigurationFile(int index) const {
    return CellFolder() + "/" + CellFileStem(index) + ".tao";
}

std::string AtlasFolder::SecondsFile(int index) const {
    return CellFolder() + "/" + CellFileStem(index) + ".seconds";
}

std::string CellListCsv(const AtlasSweep& sweep) {
    std::string csv = "cell,seed";
    for (const SweepAxis& axis : sweep.Vary) csv += "," + axis.Parameter;
    csv += '\n';
    for (const AtlasCell& cell : PlanCells(sweep)) {
        csv += std::to_string(cell.Index) + ',' + (cell.Seed ? std::to_string(*cell.Seed) : "");
        for (const Extended value : cell.Values) csv += ',' + ShortReal(value);
        csv += '\n';
    }
    return csv;
}

AtlasPlan WritePlan(const std::string& sweepPath, const std::string& dir) {
    const std::string text = FileText(sweepPath, MostSweepBytes, "");
    AtlasPlan plan{AtlasFolder{dir}, ParseSweepFile(sweepPath, text)};
    const AtlasSweep& sweep = plan.Sweep;

    std::optional<ConfigRecord> base;
    if (sweep.Base.File)
        base = ConfigurationRecord(BesideSweep(sweepPath, *sweep.Base.File), sweepPath + ": base.file: ");
    if (sweep.Seeded())
        for (int r = 1; r < sweep.Repetitions; ++r) {
            CloudOptions options = sweep.Base.Cloud;
            options.Seed += static_cast<std::uint64_t>(r);
            try {
                CloudWorld(options);
            } catch (const TaonError& error) {
                throw AtlasError(sweepPath + ": base: seed " + std::to_string(options.Seed) + ": " +
                                 error.what());
            }
        }

    const AtlasFolder& folder = plan.Folder;
    bool planned = false;
    switch (KindOfPath(dir)) {
    case PathKind::Missing:
        break;
    case PathKind::Folder: {
        const std::vector<std::string> entries = FolderEntries(dir);
        if (std::find(entries.begin(), entries.end(), "sweep.atlas.json") == entries.end()) {
            if (!entries.empty())
                throw AtlasError(dir + " holds other files and no sweep: plan into a new or an empty folder");
            break;
        }
        if (FileText(folder.SweepFile(), MostSweepBytes, "") != text)
            throw AtlasError(dir + " belongs to another sweep: its sweep.atlas.json differs from " +
                             sweepPath);
        if (base && KindOfPath(folder.BaseFile()) != PathKind::Missing &&
            ConfigurationRecord(folder.BaseFile(), "") != *base)
            throw AtlasError(dir + " belongs to another sweep: its base.tao differs from " +
                             BesideSweep(sweepPath, *sweep.Base.File));
        planned = true;
        break;
    }
    default:
        throw AtlasError(dir + " is not a folder");
    }

    // The sweep goes first: it says whom the folder belongs to, so a plan cut short is planned again.
    Writing(folder.SweepFile(), [&] {
        CreateParentFolders(folder.SweepFile());
        if (!planned) ReplaceFileContents(folder.SweepFile(), text);
    });
    if (base)
        Writing(folder.BaseFile(), [&] {
            ReplaceFileContents(folder.BaseFile(),
                                std::string_view(reinterpret_cast<const char*>(base->data()), base->size()));
        });
    Writing(folder.CellFolder(), [&] { CreateParentFolders(folder.ResultFile(1)); });
    Writing(folder.CellList(), [&] { ReplaceFileContents(folder.CellList(), CellListCsv(sweep)); });
    return plan;
}

AtlasPlan LoadPlan(const std::string& dir) {
    const AtlasFolder folder{dir};
    if (KindOfPath(dir) != PathKind::Folder) throw AtlasError(dir + ": no such folder");
    if (KindOfPath(folder.SweepFile()) == PathKind::Missing)
        throw AtlasError(dir + " holds no atlas (no sweep.atlas.json): atlas plan SWEEP " + dir +
                         " makes one");
    AtlasPlan plan{folder,
                   ParseSweepFile(folder.SweepFile(), FileText(folder.SweepFile(), MostSweepBytes, ""))};
    if ((plan.Sweep.Base.File && KindOfPath(folder.BaseFile()) != PathKind::File) ||
        KindOfPath(folder.CellList()) != PathKind::File)
        throw AtlasError(dir + ": the plan is not complete: run atlas plan again");
    return plan;
}

World CellStart(const AtlasPlan& plan, const AtlasCell& cell) {
    World world;
    const AtlasSweep& sweep = plan.Sweep;
    if (sweep.Base.File) {
        UnpackConfigRecord(ConfigurationRecord(plan.Folder.BaseFile(), ""), world);
    } else if (sweep.Seeded()) {
        CloudOptions options = sweep.Base.Cloud;
        options.Seed = *cell.Seed;
        world = CloudWorld(options);
    } else if (!BuildScenario(sweep.Base.Scenario, world)) {
        throw AtlasError("no scenario named " + sweep.Base.Scenario);
    }
    for (std::size_t a = 0; a < sweep.Vary.size(); ++a)
        for (Extended World::*field : ParameterFieldsNamed(sweep.Vary[a].Parameter))
            world.*field = cell.Values[a];
    world.StepCounter = 0;
    return world;
}

std::vector<int> DoneCells(const AtlasPlan& plan) {
    std::vector<int> done;
    const int count = plan.Sweep.CellCount();
    for (const std::string& path : FilesEndingWith(plan.Folder.CellFolder(), ".json")) {
        const std::size_t slash = path.rfind('/');
        const std::string name = path.substr(slash + 1);
        int index = 0;
        const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), index);
        if (error == std::errc() && name == CellFileStem(index) + ".json" && index >= 1 && index <= count)
            done.push_back(index);
    }
    std::sort(done.begin(), done.end());
    return done;
}

} // namespace taonscope
