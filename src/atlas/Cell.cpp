// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cell.h"

#include "analysis/Measures.h"
#include "core/FastLaw.h"
#include "core/NumberText.h"
#include "core/Step.h"
#include "document/Commentary.h"
#include "document/ConfigFile.h"
#include "document/FileIo.h"
#include "document/Json.h"
#include "document/XyzFile.h"

#include <chrono>
#include <cstdio>
#include <limits>

namespace taonscope {

namespace {

// A real as a JSON value: a number, or the string "nan", "inf" or "-inf".
std::string JsonNumber(Extended value) {
    const std::string text = ShortReal(value);
    return std::isfinite(value) ? text : "\"" + text + "\"";
}

Extended ReadReal(const JsonValue& value, const std::string& what) {
    if (value.IsString()) {
        const auto special = ParseXyzReal(value.AsString(what));
        if (!special || std::isfinite(*special)) throw AtlasError(what + " is not a number");
        return *special;
    }
    return value.AsReal(what);
}

const JsonValue& Member(const JsonValue& object, const char* key) {
    const JsonValue* value = object.Find(key);
    if (!value) throw AtlasError(std::string("\"") + key + "\" is missing");
    return *value;
}

int WholeMember(const JsonValue& object, const char* key) {
    return static_cast<int>(Member(object, key).AsInteger(key, 0, std::numeric_limits<int>::max()));
}

} // namespace

CellRun RunCell(const AtlasPlan& plan, int index) {
    const auto start = std::chrono::steady_clock::now();
    const AtlasSweep& sweep = plan.Sweep;
    const AtlasCell cell = CellOf(sweep, index);
    CellRun run;
    run.End = CellStart(plan, cell);
    World& world = run.End;

    FastLaw law(1);
    const Extended cool = CoolFactor(sweep.Protocol.Cool);
    const std::optional<Extended> settle = sweep.Protocol.UntilSettled;
    const std::int64_t limit = settle ? sweep.Protocol.MaxSteps : sweep.Protocol.Steps;
    std::optional<std::string> fault;
    std::int64_t made = 0;
    while (made < limit) {
        try {
            AdvanceStep(world, cool, law);
        } catch (const TaonError& error) {
            fault = error.what();
            break;
        }
        ++made;
        if (settle) {
            const Quantity speed = LargestSpeed(world);
            if (speed.Valid() && speed.Value < *settle) break;
        }
    }

    CellRecord& record = run.Record;
    record.Index = index;
    record.Seed = cell.Seed;
    record.Values = cell.Values;
    record.Steps = made;
    record.Result = Classify(world, sweep.Rules, fault);
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

bool RunAndKeepCell(const AtlasPlan& plan, int index) {
    const AtlasFolder& folder = plan.Folder;
    if (KindOfPath(folder.ResultFile(index)) != PathKind::Missing) return false;
    const auto start = std::chrono::steady_clock::now();
    const CellRun run = RunCell(plan, index);
    // The result goes last: until it is there the cell is not done, and a cell run again writes the
    // same configuration and commentary over what a run cut short left.
    const std::string configuration = folder.ConfigurationFile(index);
    Writing(configuration, [&] {
        ConfigRecord buffer{};
        WriteConfigFile(configuration, run.End, buffer);
    });
    Writing(CommentFileName(configuration),
            [&] { SaveCommentary(configuration, CellCommentary(plan.Sweep, run.Record)); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char text[32];
    std::snprintf(text, sizeof text, "%.3f\n", seconds);
    Writing(folder.SecondsFile(index), [&] { ReplaceFileContents(folder.SecondsFile(index), text); });
    Writing(folder.ResultFile(index),
            [&] { ReplaceFileContents(folder.ResultFile(index), CellRecordJson(plan.Sweep, run.Record)); });
    return true;
}

std::string CellRecordJson(const AtlasSweep& sweep, const CellRecord& record) {
    const Classification& c = record.Result;
    std::string json = "{\"cell\": " + std::to_string(record.Index) +
                       ", \"seed\": " + (record.Seed ? std::to_string(*record.Seed) : "null") +
                       ", \"values\": {";
    for (std::size_t a = 0; a < sweep.Vary.size(); ++a)
        json += (a ? ", " : "") + JsonQuoted(sweep.Vary[a].Parameter) + ": " + JsonNumber(record.Values[a]);
    json += "},\n \"outcome\": " + JsonQuoted(OutcomeName(c.Kind)) +
            ", \"message\": " + JsonQuoted(c.Message) + ", \"steps\": " + std::to_string(record.Steps) +
            ",\n \"taons\": " + std::to_string(c.Taons) + ", \"clusters\": " + std::to_string(c.Clusters) +
            ", \"largest_cluster\": " + std::to_string(c.Largest) +
            ", \"isolated\": " + std::to_string(c.Isolated) + ", \"shape\": " + JsonQuoted(c.Shape) +
            ",\n \"kinetic_per_taon\": " + JsonNumber(c.Kinetic) +
            ", \"pair_energy_per_taon\": " + JsonNumber(c.PairEnergy) +
            ", \"largest_speed\": " + JsonNumber(c.LargestSpeed) + ", \"cutoff\": " + JsonNumber(c.Cutoff) +
            "}\n";
    return json;
}

CellRecord ParseCellRecord(const AtlasSweep& sweep, std::string_view text) {
    CellRecord record;
    try {
        const JsonValue json = ParseJson(text);
        json.AsObject("a cell's result");
        record.Index = WholeMember(json, "cell");
        if (record.Index < 1 || record.Index > sweep.CellCount())
            throw AtlasError("cell " + std::to_string(record.Index) + " is not a cell of this sweep");
        const AtlasCell cell = CellOf(sweep, record.Index);
        if (const JsonValue& seed = Member(json, "seed"); !seed.IsNull())
            record.Seed = static_cast<std::uint64_t>(
                seed.AsInteger("seed", 0, std::numeric_limits<std::int64_t>::max()));
        const JsonValue& values = Member(json, "values");
        for (const SweepAxis& axis : sweep.Vary) {
            const JsonValue* value = values.Find(axis.Parameter);
            if (!value) throw AtlasError("no value of " + axis.Parameter);
            record.Values.push_back(ReadReal(*value, axis.Parameter));
        }
        if (record.Seed != cell.Seed || record.Values != cell.Values)
            throw AtlasError("cell " + std::to_string(record.Index) +
                             " has other values than the plan gives it");
        record.Steps = Member(json, "steps").AsInteger("steps", 0, std::numeric_limits<std::int64_t>::max());
        Classification& c = record.Result;
        const std::string& outcome = Member(json, "outcome").AsString("outcome");
        const std::optional<Outcome> kind = OutcomeNamed(outcome);
        if (!kind) throw AtlasError("\"" + outcome + "\" is no outcome");
        c.Kind = *kind;
        c.Message = Member(json, "message").AsString("message");
        c.Taons = WholeMember(json, "taons");
        c.Clusters = WholeMember(json, "clusters");
        c.Largest = WholeMember(json, "largest_cluster");
        c.Isolated = WholeMember(json, "isolated");
        c.Shape = Member(json, "shape").AsString("shape");
        // The names before the columns said "per taon" are read too, so that an earlier atlas merges.
        const auto perTaon = [&](const char* key, const char* earlier) {
            return ReadReal(json.Find(key) || !json.Find(earlier) ? Member(json, key) : *json.Find(earlier),
                            key);
        };
        c.Kinetic = perTaon("kinetic_per_taon", "kinetic");
        c.PairEnergy = perTaon("pair_energy_per_taon", "pair_energy");
        c.LargestSpeed = ReadReal(Member(json, "largest_speed"), "largest_speed");
        c.Cutoff = ReadReal(Member(json, "cutoff"), "cutoff");
    } catch (const AtlasError&) {
        throw;
    } catch (const TaonError& error) {
        throw AtlasError(error.what());
    }
    return record;
}

std::string CellCommentary(const AtlasSweep& sweep, const CellRecord& record) {
    const Classification& c = record.Result;
    std::string text =
        "Atlas cell " + std::to_string(record.Index) + " of " + std::to_string(sweep.CellCount());
    if (!sweep.Title.empty()) text += ": " + sweep.Title;
    text += "\n";
    for (std::size_t a = 0; a < sweep.Vary.size(); ++a)
        text += (a ? ", " : "") + sweep.Vary[a].Parameter + " = " + FormatReal(record.Values[a]);
    if (record.Seed) text += "; seed " + std::to_string(*record.Seed);
    text += "\n" + std::to_string(record.Steps) + " steps" + (sweep.Protocol.Cool ? " with Cool" : "") +
            ": " + OutcomeName(c.Kind);
    if (!c.Message.empty()) text += " (" + c.Message + ")";
    text += "\n" + std::to_string(c.Clusters) + " clusters of two taons or more, the largest of " +
            std::to_string(c.Largest) + " (shape " + c.Shape + "), " + std::to_string(c.Isolated) +
            " taons without a bond at the cutoff " + FormatReal(c.Cutoff) + "\nper taon K " +
            FormatReal(c.Kinetic) + ", U " + FormatReal(c.PairEnergy) + "; largest speed " +
            FormatReal(c.LargestSpeed) + "\n";
    return text;
}

} // namespace taonscope
