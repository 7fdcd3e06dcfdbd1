// SPDX-License-Identifier: GPL-3.0-or-later
#include "Sweep.h"

#include "core/NumberText.h"
#include "document/Json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace taonscope {

namespace {

using Object = JsonValue::Object;

// Refuses a key that is not among the known ones, naming them.
void CheckKeys(const Object& object, std::initializer_list<const char*> known, const std::string& where) {
    for (const auto& member : object) {
        const std::string& key = member.first;
        if (std::any_of(known.begin(), known.end(), [&](const char* k) { return key == k; })) continue;
        std::string list;
        for (const char* k : known) list += (list.empty() ? "" : ", ") + std::string(k);
        throw AtlasError(where + ": unknown key \"" + key + "\" (known: " + list + ")");
    }
}

const JsonValue& Required(const JsonValue& object, const char* key, const std::string& where) {
    const JsonValue* value = object.Find(key);
    if (!value) throw AtlasError(where + ": \"" + key + "\" is missing");
    return *value;
}

std::string Path(const std::string& where, const char* key) {
    return where.empty() ? std::string(key) : where + "." + key;
}

// The JSON reader's own faults name the key; they become the sweep's faults.
template <typename Read> auto Reading(Read&& read) {
    try {
        return read();
    } catch (const AtlasError&) {
        throw;
    } catch (const TaonError& error) {
        throw AtlasError(error.what());
    }
}

void ReadBase(const JsonValue& value, AtlasSweep& sweep) {
    const Object& base = value.AsObject("base");
    if (value.Find("file")) {
        CheckKeys(base, {"file"}, "base");
        const std::string& file = value.Find("file")->AsString("base.file");
        if (file.empty()) throw AtlasError("base.file is empty");
        sweep.Base.File = file;
        return;
    }
    CheckKeys(base, {"scenario", "seed", "side", "min_distance", "kinds"}, "base");
    sweep.Base.Scenario = Required(value, "scenario", "base").AsString("base.scenario");
    const std::string& scenario = sweep.Base.Scenario;
    if (scenario != "cloud" && scenario != "ring" && scenario != "easy-square")
        throw AtlasError("base.scenario: no scenario named \"" + scenario +
                         "\" (cloud, ring or easy-square)");
    CloudOptions& cloud = sweep.Base.Cloud;
    for (const char* key : {"seed", "side", "min_distance", "kinds"})
        if (scenario != "cloud" && value.Find(key))
            throw AtlasError(std::string("base.") + key + " goes with the cloud scenario only");
    if (const JsonValue* seed = value.Find("seed"))
        cloud.Seed = static_cast<std::uint64_t>(
            seed->AsInteger("base.seed", 0, std::numeric_limits<std::int64_t>::max() - MostRepetitions));
    if (const JsonValue* side = value.Find("side")) cloud.Side = side->AsReal("base.side");
    if (const JsonValue* distance = value.Find("min_distance"))
        cloud.MinDistance = distance->AsReal("base.min_distance");
    if (const JsonValue* kinds = value.Find("kinds")) {
        const JsonValue::Array& counts = kinds->AsArray("base.kinds");
        if (counts.size() != 3) throw AtlasError("base.kinds is not a list of three counts");
        for (std::size_t k = 0; k < 3; ++k)
            cloud.Kinds[k] = static_cast<int>(
                counts[k].AsInteger("base.kinds[" + std::to_string(k) + "]", 0, MostCloudKinds[k]));
    }
    if (scenario == "cloud") {
        // A cloud that cannot be made is refused now, not in every cell.
        try {
            CloudWorld(cloud);
        } catch (const TaonError& error) {
            throw AtlasError(std::string("base: ") + error.what());
        }
    }
}

SweepAxis ReadAxis(const JsonValue& value, const std::string& where) {
    CheckKeys(value.AsObject(where), {"parameter", "from", "to", "count", "spacing"}, where);
    SweepAxis axis;
    axis.Parameter = Required(value, "parameter", where).AsString(Path(where, "parameter"));
    if (ParameterFieldsNamed(axis.Parameter).empty())
        throw AtlasError(Path(where, "parameter") + ": no parameter named \"" + axis.Parameter +
                         "\" (dt, A1 ... G3, or A ... G for every kind; there is no E)");
    axis.From = Required(value, "from", where).AsReal(Path(where, "from"));
    axis.To = Required(value, "to", where).AsReal(Path(where, "to"));
    axis.Count =
        static_cast<int>(Required(value, "count", where).AsInteger(Path(where, "count"), 1, MostAxisCount));
    if (const JsonValue* spacing = value.Find("spacing")) {
        const std::string& name = spacing->AsString(Path(where, "spacing"));
        if (name == "log")
            axis.Spacing = AxisSpacing::Log;
        else if (name != "linear")
            throw AtlasError(Path(where, "spacing") + ": \"" + name + "\" is neither \"linear\" nor \"log\"");
    }
    if (axis.Spacing == AxisSpacing::Log && !(axis.From > 0 && axis.To > 0))
        throw AtlasError(where + ": log spacing needs from and to above 0");
    axis.Values = SpreadValues(axis);
    return axis;
}

void ReadProtocol(const JsonValue& value, SweepProtocol& protocol) {
    CheckKeys(value.AsObject("protocol"), {"steps", "cool", "until_settled", "max_steps"}, "protocol");
    const JsonValue* steps = value.Find("steps");
    const JsonValue* settle = value.Find("until_settled");
    const JsonValue* maxSteps = value.Find("max_steps");
    constexpr std::int64_t MostSteps = std::numeric_limits<std::int32_t>::max();
    if (settle) {
        protocol.UntilSettled = settle->AsReal("protocol.until_settled");
        if (!(*protocol.UntilSettled > 0)) throw AtlasError("protocol.until_settled is not above 0");
        if (steps)
            throw AtlasError("protocol: \"steps\" and \"until_settled\" both say when to stop: give one");
        if (maxSteps) protocol.MaxSteps = maxSteps->AsInteger("protocol.max_steps", 1, MostSteps);
        protocol.Cool = true; // as the runner's --until-settled, unless "cool": false says otherwise
    } else {
        if (maxSteps) throw AtlasError("protocol.max_steps goes with until_settled");
        if (!steps) throw AtlasError("protocol: \"steps\" (or \"until_settled\") is missing");
        protocol.Steps = steps->AsInteger("protocol.steps", 0, MostSteps);
    }
    if (const JsonValue* cool = value.Find("cool")) protocol.Cool = cool->AsBool("protocol.cool");
}

void ReadRules(const JsonValue& value, SweepRules& rules) {
    CheckKeys(value.AsObject("classify"), {"cutoff", "moving_speed"}, "classify");
    if (const JsonValue* cutoff = value.Find("cutoff")) {
        rules.Cutoff = cutoff->AsReal("classify.cutoff");
        if (!(*rules.Cutoff > 0)) throw AtlasError("classify.cutoff is not above 0");
    }
    if (const JsonValue* speed = value.Find("moving_speed")) {
        rules.MovingSpeed = speed->AsReal("classify.moving_speed");
        if (!(rules.MovingSpeed > 0)) throw AtlasError("classify.moving_speed is not above 0");
    }
}

} // namespace

std::vector<Extended> SpreadValues(const SweepAxis& axis) {
    const Extended from = axis.From, to = axis.To;
    std::vector<Extended> values;
    values.reserve(static_cast<std::size_t>(axis.Count));
    for (int i = 0; i < axis.Count; ++i) {
        if (i == 0) {
            values.push_back(from);
        } else if (i == axis.Count - 1) {
            values.push_back(to);
        } else {
            const Extended t = static_cast<Extended>(i) / (axis.Count - 1);
            // Ends so far apart that their difference overflows are weighted instead.
            const Extended span = to - from;
            const Extended exact = axis.Spacing == AxisSpacing::Log
                                       ? std::exp(std::log(from) + (std::log(to) - std::log(from)) * t)
                                   : std::isfinite(span) ? from + span * t
                                                         : from * (1 - t) + to * t;
            // Rounded as the program shows numbers, so that a step of a quarter gives 0.25 and not
            // 0.24999999999999999999.
            values.push_back(std::isfinite(exact) ? TryParseReal(FormatReal(exact)).value_or(exact) : exact);
        }
    }
    return values;
}

int AtlasSweep::CellCount() const {
    long long cells = Repetitions;
    for (const SweepAxis& axis : Vary) cells *= axis.Count;
    return static_cast<int>(cells);
}

std::vector<Extended World::*> ParameterFieldsNamed(std::string_view name) {
    for (std::size_t p = 0; p < ParameterNames.size(); ++p)
        if (name == ParameterNames[p]) return {ParameterFields[p]};
    if (name.size() == 1 && name[0] != '\0' && std::strchr("ABCDFG", name[0])) {
        std::vector<Extended World::*> fields;
        for (std::size_t p = 1; p < ParameterNames.size(); ++p)
            if (ParameterNames[p][0] == name[0]) fields.push_back(ParameterFields[p]);
        return fields;
    }
    return {};
}

std::string ShortReal(Extended value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

AtlasSweep ParseSweep(std::string_view text) {
    return Reading([&] {
        const JsonValue document = ParseJson(text);
        const Object& top = document.AsObject("the sweep");
        CheckKeys(top, {"$schema", "title", "base", "vary", "repetitions", "protocol", "classify"},
                  "the sweep");
        AtlasSweep sweep;
        if (const JsonValue* schema = document.Find("$schema")) schema->AsString("$schema");
        if (const JsonValue* title = document.Find("title")) sweep.Title = title->AsString("title");
        ReadBase(Required(document, "base", "the sweep"), sweep);

        const JsonValue::Array& vary = Required(document, "vary", "the sweep").AsArray("vary");
        if (vary.empty() || vary.size() > 3)
            throw AtlasError("vary holds " + std::to_string(vary.size()) + " entries, not 1 to 3");
        std::vector<Extended World::*> varied;
        for (std::size_t a = 0; a < vary.size(); ++a) {
            const std::string where = "vary[" + std::to_string(a) + "]";
            sweep.Vary.push_back(ReadAxis(vary[a], where));
            for (Extended World::*field : ParameterFieldsNamed(sweep.Vary.back().Parameter)) {
                if (std::find(varied.begin(), varied.end(), field) != varied.end())
                    throw AtlasError(where + ": " + sweep.Vary.back().Parameter +
                                     " varies a parameter an earlier entry varies already");
                varied.push_back(field);
            }
        }

        if (const JsonValue* repetitions = document.Find("repetitions"))
            sweep.Repetitions = static_cast<int>(repetitions->AsInteger("repetitions", 1, MostRepetitions));
        if (sweep.Repetitions > 1 && !sweep.Seeded())
            throw AtlasError(sweep.Base.File ? "repetitions: a file base allows one repetition only"
                                             : "repetitions: the " + sweep.Base.Scenario +
                                                   " scenario has no seed, so it allows one repetition only");
        long long cells = sweep.Repetitions;
        for (const SweepAxis& axis : sweep.Vary) cells *= axis.Count;
        if (cells > MostCells)
            throw AtlasError("the sweep makes " + std::to_string(cells) + " cells, more than " +
                             std::to_string(MostCells));

        ReadProtocol(Required(document, "protocol", "the sweep"), sweep.Protocol);
        const JsonValue* classify = document.Find("classify");
        if (classify) ReadRules(*classify, sweep.Rules);
        // A run that waits to settle calls moving what has not settled, unless told otherwise.
        if (sweep.Protocol.UntilSettled && !(classify && classify->Find("moving_speed")))
            sweep.Rules.MovingSpeed = *sweep.Protocol.UntilSettled;
        return sweep;
    });
}

} // namespace taonscope
