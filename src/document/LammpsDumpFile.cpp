// SPDX-License-Identifier: GPL-3.0-or-later
#include "LammpsDumpFile.h"

#include "IoError.h"
#include "Json.h"
#include "TextLines.h"
#include "XyzFile.h"

#include "core/Errors.h"
#include "core/Scenarios.h"
#include "core/Version.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace taonscope {

namespace {

constexpr Extended DefaultDt = 0.001L;

// A sidecar larger than this is no sidecar of ours.
constexpr std::size_t MaxSidecarBytes = 1 << 20;

// First and last slot of each kind, as the listing's edits show them.
constexpr int FirstSlot[4] = {0, 1, 51, 81};
constexpr int LastSlot[4] = {0, 50, 80, 100};

int KindOfSlot(long long slot) {
    return slot >= FirstSlot[3] ? 3 : slot >= FirstSlot[2] ? 2 : 1;
}

// The name of the item of an "ITEM: NAME ..." line, with what follows it; empty for another line.
std::optional<std::string_view> ItemOf(std::string_view line) {
    constexpr std::string_view Prefix = "ITEM:";
    if (line.substr(0, Prefix.size()) != Prefix) return std::nullopt;
    return Trimmed(line.substr(Prefix.size()));
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start &&
           (text.size() == start.size() || IsBlank(text[start.size()]));
}

// The items of a frame and the lines of values that follow each.
enum class Item { Timestep, Time, Units, Atoms, Box, AtomLines, Unknown };

Item ItemNamed(std::string_view name) {
    if (name == "TIMESTEP") return Item::Timestep;
    if (name == "TIME") return Item::Time;
    if (name == "UNITS") return Item::Units;
    if (name == "NUMBER OF ATOMS") return Item::Atoms;
    if (StartsWith(name, "BOX BOUNDS")) return Item::Box;
    if (StartsWith(name, "ATOMS")) return Item::AtomLines;
    return Item::Unknown;
}

// Cuts dump text into frames: items, each followed by its values, the last being ITEM: ATOMS.
class LammpsSplitter : public FrameSplitter {
public:
    explicit LammpsSplitter(LineReader& reader) : reader_(reader) {}

    Found Next(bool keep, FrameLines& frame) override {
        std::string_view line;
        if (!reader_.Next(line)) return Found::End;
        std::uint64_t index = reader_.Index();
        if (IsBlankLine(line)) { // blank lines may end the file, nothing else
            while (reader_.Next(line))
                if (!IsBlankLine(line)) LineError(reader_.Index(), "expected an ITEM: line");
            return Found::End;
        }
        frame.Restart(index, reader_.LineOffset());
        start_ = index;
        atoms_.reset();
        got_ = 0;
        inAtoms_ = false;
        bool seen[static_cast<int>(Item::Unknown)] = {};
        for (;;) {
            if (!reader_.LineEnded()) return Found::Cut; // an item line cut short, or its values missing
            const auto name = ItemOf(line);
            if (!name) {
                if (index != start_ || whole_ == 0) LineError(index, "expected an ITEM: line");
                LineError(index, "expected an ITEM: line; the number of atoms in line " +
                                     std::to_string(atomsLine_ + 1) + " does not match its atoms");
            }
            const Item item = ItemNamed(*name);
            if (item == Item::Unknown) LineError(index, "unknown item " + Quoted(*name));
            if (seen[static_cast<int>(item)])
                LineError(index, "ITEM: " + std::string(*name) + " twice in a frame");
            seen[static_cast<int>(item)] = true;
            if (keep) frame.Add(line);
            long long values = item == Item::Box ? 3 : 1;
            if (item == Item::AtomLines) {
                if (!atoms_) LineError(index, "ITEM: ATOMS before ITEM: NUMBER OF ATOMS");
                values = *atoms_;
                inAtoms_ = true;
            }
            const bool fits = item != Item::AtomLines || *atoms_ <= MaxTaons; // else refused if imported
            for (long long v = 0; v < values; ++v) {
                if (!reader_.Next(line)) return Found::Cut;
                if (keep && fits) frame.Add(line);
                if (item == Item::AtomLines) ++got_;
                if (item != Item::Atoms) continue;
                atoms_ = ParseCount(Trimmed(line));
                atomsLine_ = reader_.Index();
                if (!atoms_) LineError(atomsLine_, "expected the number of atoms, not " + Quoted(line));
            }
            if (item == Item::AtomLines) break;
            if (!reader_.Next(line)) return Found::Cut;
            index = reader_.Index();
        }
        ++whole_;
        return reader_.LineEnded() ? Found::Frame : Found::Unended;
    }

    std::string CutError() const override {
        return "line " + std::to_string(start_ + 1) + ": the file ends inside the frame that starts here" +
               (inAtoms_ ? ", after " + std::to_string(got_) + " of its " + std::to_string(*atoms_) + " atoms"
                         : std::string());
    }

    std::string CutNote() const override {
        return "the last frame (line " + std::to_string(start_ + 1) + ") ends " +
               (inAtoms_ ? "after " + std::to_string(got_) + " of its " + std::to_string(*atoms_) + " atoms"
                         : std::string("inside its header")) +
               " and was left out";
    }

private:
    LineReader& reader_;
    std::uint64_t whole_ = 0, start_ = 0, atomsLine_ = 0;
    std::optional<long long> atoms_;
    long long got_ = 0;
    bool inAtoms_ = false;
};

// One atom as a frame holds it.
struct Atom {
    std::uint64_t line = 0;
    long long id = 0, type = 1;
    Extended position[3] = {}, velocity[3] = {};
};

// Where each value sits in an atom line.
struct AtomColumns {
    std::size_t count = 0;
    std::optional<std::size_t> id, type, velocity;
    std::size_t position = 0;
    bool scaled = false;
};

AtomColumns ParseAtomColumns(std::string_view names, std::uint64_t index) {
    const std::vector<std::string_view> columns = Fields(names);
    AtomColumns found;
    found.count = columns.size() - 1; // after the word ATOMS
    const auto at = [&](std::string_view name) -> std::optional<std::size_t> {
        const auto it = std::find(columns.begin() + 1, columns.end(), name);
        if (it == columns.end()) return std::nullopt;
        return static_cast<std::size_t>(it - columns.begin() - 1);
    };
    // Three names in a row, as "x y z".
    const auto triple = [&](std::string_view a, std::string_view b, std::string_view c) {
        const auto first = at(a);
        return first && at(b) == *first + 1 && at(c) == *first + 2 ? first : std::nullopt;
    };
    found.id = at("id");
    found.type = at("type");
    found.velocity = triple("vx", "vy", "vz");
    const std::optional<std::size_t> positions[4] = {triple("x", "y", "z"), triple("xu", "yu", "zu"),
                                                     triple("xs", "ys", "zs"), triple("xsu", "ysu", "zsu")};
    for (int p = 0; p < 4; ++p)
        if (positions[p]) {
            found.position = *positions[p];
            found.scaled = p >= 2;
            return found;
        }
    LineError(index, "ITEM: ATOMS needs the columns x y z (or xu yu zu, xs ys zs, xsu ysu zsu)");
}

// A frame's box: its edges and, for a triclinic box, its tilts, as a LAMMPS dump gives them.
struct Box {
    Extended low[3] = {0, 0, 0}, high[3] = {1, 1, 1}; // xlo xhi, ylo yhi, zlo zhi: the box's own edges
    Extended xy = 0, xz = 0, yz = 0;

    // Scaled coordinates as a position: x = xlo + xs lx + ys xy + zs xz, y = ylo + ys ly + zs yz,
    // z = zlo + zs lz.
    void Unscale(Extended (&p)[3]) const {
        const Extended xs = p[0], ys = p[1], zs = p[2];
        p[0] = low[0] + xs * (high[0] - low[0]) + ys * xy + zs * xz;
        p[1] = low[1] + ys * (high[1] - low[1]) + zs * yz;
        p[2] = low[2] + zs * (high[2] - low[2]);
    }
};

// The three lines after "ITEM: BOX BOUNDS ...", from frame line first on. A triclinic box
// ("BOX BOUNDS xy xz yz ...") gives on each line the bounds of its bounding box and one tilt; its own
// edges lie inside them by the tilts.
Box ParseBox(std::string_view item, const FrameLines& frame, std::size_t first) {
    const std::vector<std::string_view> words = Fields(item);
    const bool tilted = words.size() >= 5 && words[2] == "xy" && words[3] == "xz" && words[4] == "yz";
    Box box;
    Extended tilt[3] = {0, 0, 0};
    for (std::size_t d = 0; d < 3; ++d) {
        const std::uint64_t index = frame.firstLine + first + d;
        const std::vector<std::string_view> bounds = Fields(frame.lines[first + d]);
        if (bounds.size() < (tilted ? 3u : 2u))
            LineError(index, tilted ? "expected the low and high bound and a tilt"
                                    : "expected the low and high bound");
        box.low[d] = RealField(bounds[0], index);
        box.high[d] = RealField(bounds[1], index);
        if (tilted) tilt[d] = RealField(bounds[2], index);
    }
    box.xy = tilt[0], box.xz = tilt[1], box.yz = tilt[2];
    if (tilted) {
        box.low[0] -= std::min({Extended(0), box.xy, box.xz, box.xy + box.xz});
        box.high[0] -= std::max({Extended(0), box.xy, box.xz, box.xy + box.xz});
        box.low[1] -= std::min(Extended(0), box.yz);
        box.high[1] -= std::max(Extended(0), box.yz);
    }
    return box;
}

long long WholeField(std::string_view text, const char* what, std::uint64_t index) {
    const auto value = ParseCount(text);
    if (!value) LineError(index, std::string(what) + " " + Quoted(text) + " is not a whole number");
    return *value;
}

// stamp, when given, takes the frame's TIMESTEP and TIME (else the step times dt).
World ParseLammpsFrame(const FrameLines& frame, const ImportOptions& options, const World& law,
                       FrameStamp* stamp = nullptr) {
    World world;
    std::int64_t step = 0;
    std::optional<Extended> time;
    world.TaonCount = MaxTaons;
    for (std::size_t p = 0; p < ParameterFields.size(); ++p)
        world.*ParameterFields[p] = law.*ParameterFields[p];
    if (options.dt) world.dt = *options.dt;

    Box box;
    std::vector<Atom> atoms;
    std::size_t k = 0;
    while (k < frame.count) {
        const std::uint64_t index = frame.firstLine + k;
        const std::string_view name = *ItemOf(frame.lines[k]);
        // An item's value is on the line after it; ATOMS alone may end the frame (a frame of no atoms).
        const std::string_view value = k + 1 < frame.count ? Trimmed(frame.lines[k + 1]) : std::string_view();
        switch (ItemNamed(name)) {
        case Item::Timestep: {
            const bool negative = !value.empty() && value.front() == '-';
            step = WholeField(value.substr(negative ? 1 : 0), "the step", index + 1);
            if (negative) step = -step;
            break;
        }
        case Item::Time:
            time = RealField(value, index + 1);
            break;
        case Item::Atoms:
            if (const long long count = *ParseCount(value); count > MaxTaons)
                LineError(index + 1, "a frame of " + std::to_string(count) + " atoms; at most " +
                                         std::to_string(MaxTaons) + " fit");
            break;
        case Item::Box:
            box = ParseBox(name, frame, k + 1);
            k += 2;
            break;
        case Item::AtomLines: {
            const AtomColumns columns = ParseAtomColumns(name, index);
            for (std::size_t a = k + 1; a < frame.count; ++a) {
                const std::uint64_t line = frame.firstLine + a;
                const std::vector<std::string_view> fields = Fields(frame.lines[a]);
                if (fields.size() != columns.count)
                    LineError(line, "expected " + std::to_string(columns.count) + " fields, found " +
                                        std::to_string(fields.size()));
                Atom atom;
                atom.line = line;
                if (columns.id) atom.id = WholeField(fields[*columns.id], "id", line);
                if (columns.type) atom.type = WholeField(fields[*columns.type], "type", line);
                for (std::size_t d = 0; d < 3; ++d) {
                    atom.position[d] = RealField(fields[columns.position + d], line);
                    if (columns.velocity) atom.velocity[d] = RealField(fields[*columns.velocity + d], line);
                }
                if (columns.scaled) box.Unscale(atom.position);
                atoms.push_back(atom);
            }
            k = frame.count;
            continue;
        }
        default:
            break;
        }
        k += 2;
    }

    for (const Atom& atom : atoms)
        if (atom.type < 1 || atom.type > 3) {
            std::vector<long long> types;
            for (const Atom& other : atoms) types.push_back(other.type);
            std::sort(types.begin(), types.end());
            types.erase(std::unique(types.begin(), types.end()), types.end());
            std::string list;
            for (const long long type : types) list += (list.empty() ? "" : ", ") + std::to_string(type);
            LineError(atom.line, "type " + std::to_string(atom.type) +
                                     " is no kind of taon (1, 2 or 3); the frame's types are " + list);
        }

    // The ids are the slots when they can be: each a slot given once, whose kind is the atom's type.
    bool idsAreSlots = true;
    bool taken[MaxTaons + 1] = {};
    for (const Atom& atom : atoms) {
        if (atom.id < 1 || atom.id > MaxTaons || taken[atom.id] || KindOfSlot(atom.id) != atom.type) {
            idsAreSlots = false;
            break;
        }
        taken[atom.id] = true;
    }
    if (!idsAreSlots)
        std::stable_sort(atoms.begin(), atoms.end(),
                         [](const Atom& a, const Atom& b) { return a.id < b.id; });
    int nextSlot[4] = {0, FirstSlot[1], FirstSlot[2], FirstSlot[3]};
    for (const Atom& atom : atoms) {
        int slot = static_cast<int>(atom.id);
        if (!idsAreSlots) {
            const int kind = static_cast<int>(atom.type);
            if (nextSlot[kind] > LastSlot[kind])
                LineError(atom.line, "more than " + std::to_string(LastSlot[kind] - FirstSlot[kind] + 1) +
                                         " taons of kind " + std::to_string(kind));
            slot = nextSlot[kind]++;
        }
        world.TaonPresent[slot] = true;
        world.PosX[slot] = atom.position[0], world.PosY[slot] = atom.position[1];
        world.PosZ[slot] = atom.position[2];
        world.VelX[slot] = atom.velocity[0], world.VelY[slot] = atom.velocity[1];
        world.VelZ[slot] = atom.velocity[2];
    }
    SyncCopiesFromCurrent(world);
    if (stamp) *stamp = {step, time.value_or(static_cast<Extended>(step) * world.dt)};
    return world;
}

// The law of a dump: the sidecar's when given, else the figure's with the default dt.
World LawOf(std::optional<std::string_view> sidecar) {
    World law;
    for (int kind = 1; kind <= 3; ++kind) SetParameterSet(law, kind, FigureParameters());
    law.dt = DefaultDt;
    if (sidecar) ReadLammpsSidecar(*sidecar, law);
    return law;
}

// The sidecar beside the dump at path, or empty when there is none.
std::optional<std::string> SidecarBytes(const std::string& path) {
    const std::string sidecar = LammpsSidecarPath(path);
    int openFailure = 0;
    auto bytes = ReadFileBytes(sidecar, MaxSidecarBytes + 1, openFailure);
    if (!bytes) {
        if (openFailure == 2) return std::nullopt; // File not found
        throw TaonError(sidecar + ": " + IoError(openFailure).what());
    }
    if (bytes->size() > MaxSidecarBytes)
        throw TaonError(sidecar + ": larger than " + std::to_string(MaxSidecarBytes) + " bytes");
    return bytes;
}

World LawBeside(const std::string& path, bool* found = nullptr) {
    const std::optional<std::string> sidecar = SidecarBytes(path);
    if (found) *found = sidecar.has_value();
    try {
        return LawOf(sidecar ? std::optional<std::string_view>(*sidecar) : std::nullopt);
    } catch (const IoError&) {
        throw;
    } catch (const TaonError& error) {
        throw TaonError(LammpsSidecarPath(path) + ": " + error.what());
    }
}

class LammpsReader : public TrajectoryReader {
public:
    LammpsReader(const std::string& path, const ImportOptions& options)
        : law_(LawBeside(path)), file_(path), reader_(file_), splitter_(reader_), options_(options) {}

    bool Next(World& world) override {
        if (!Take(true)) return false;
        world = ParseLammpsFrame(frame_, options_, law_, &stamp_);
        return true;
    }

    bool Skip() override { return Take(false); }

    void Seek(const FramePlace& place) override {
        reader_.Restart(place.Offset, place.Line);
        frames_ = place.Number;
    }

private:
    bool Take(bool keep) {
        const int number = frames_;
        if (!NextWholeFrame(splitter_, frame_, frames_, note_, keep)) return false;
        place_ = {frame_.firstOffset, frame_.firstLine, number};
        return true;
    }

    World law_;
    InputFile file_;
    LineReader reader_;
    LammpsSplitter splitter_;
    ImportOptions options_;
    FrameLines frame_;
    int frames_ = 0;
};

World ReadLammpsLines(LineReader& reader, const ImportOptions& options, std::string* note, const World& law) {
    LammpsSplitter splitter(reader);
    return ReadWantedFrame(
        splitter, options.frame,
        [&](const FrameLines& frame) { return ParseLammpsFrame(frame, options, law); }, note);
}

std::string SidecarReal(Extended value) {
    return std::isfinite(value) ? XyzRealText(value) : JsonQuoted(XyzRealText(value));
}

} // namespace

std::string LammpsSidecarPath(const std::string& path) {
    return path + ".json";
}

std::string FormatLammpsFrame(const World& world, std::int64_t step) {
    const int last = std::clamp(world.TaonCount, 0, MaxTaons);
    int present = 0;
    bool any = false;
    Extended low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    for (int j = 1; j <= last; ++j) {
        if (!world.TaonPresent[j]) continue;
        ++present;
        const Extended position[3] = {world.PosX[j], world.PosY[j], world.PosZ[j]};
        if (!std::all_of(position, position + 3, [](Extended c) { return std::isfinite(c); })) continue;
        for (int d = 0; d < 3; ++d) {
            low[d] = any ? std::min(low[d], position[d]) : position[d];
            high[d] = any ? std::max(high[d], position[d]) : position[d];
        }
        any = true;
    }
    Extended extent = 0;
    for (int d = 0; d < 3; ++d) extent = std::max(extent, high[d] - low[d]);
    const Extended margin = std::max<Extended>(1, extent / 10);

    std::string out;
    out.reserve(static_cast<std::size_t>(present) * 200 + 400);
    out += "ITEM: TIMESTEP\n" + std::to_string(step) + "\nITEM: NUMBER OF ATOMS\n" + std::to_string(present) +
           "\nITEM: BOX BOUNDS ff ff ff\n";
    for (int d = 0; d < 3; ++d)
        out += XyzRealText(low[d] - margin) + ' ' + XyzRealText(high[d] + margin) + '\n';
    out += LammpsAtomsHeader;
    out += '\n';
    for (int j = 1; j <= last; ++j) {
        if (!world.TaonPresent[j]) continue;
        out += std::to_string(j);
        out += ' ';
        out += static_cast<char>('0' + TaonKind(world, j));
        for (const TaonArray* values :
             {&world.PosX, &world.PosY, &world.PosZ, &world.VelX, &world.VelY, &world.VelZ}) {
            out += ' ';
            out += XyzRealText((*values)[static_cast<std::size_t>(j)]);
        }
        out += '\n';
    }
    return out;
}

std::string FormatLammpsSidecar(const World& world) {
    std::string out = "{\n  \"program\": " + JsonQuoted(ProgramSignature) + ",\n";
    for (std::size_t p = 0; p < ParameterFields.size(); ++p) {
        out += "  \"";
        out += ParameterNames[p];
        out += "\": " + SidecarReal(world.*ParameterFields[p]);
        out += p + 1 < ParameterFields.size() ? ",\n" : "\n";
    }
    return out + "}\n";
}

void ReadLammpsSidecar(std::string_view text, World& world) {
    const JsonValue document = ParseJson(text);
    for (const auto& [key, value] : document.AsObject("the sidecar")) {
        if (key == "program" ||
            std::find(ParameterNames.begin(), ParameterNames.end(), key) != ParameterNames.end())
            continue;
        std::string known = "program";
        for (const char* name : ParameterNames) known += std::string(", ") + name;
        throw TaonError("unknown key \"" + key + "\" (known: " + known + ")");
    }
    for (std::size_t p = 0; p < ParameterFields.size(); ++p) {
        const JsonValue* value = document.Find(ParameterNames[p]);
        if (!value) continue;
        if (value->IsString()) {
            const auto named = ParseXyzReal(value->AsString(ParameterNames[p]));
            if (!named || std::isfinite(*named))
                throw TaonError(std::string(ParameterNames[p]) + " is not a number");
            world.*ParameterFields[p] = *named;
        } else {
            world.*ParameterFields[p] = value->AsReal(ParameterNames[p]);
        }
    }
}

World ReadLammpsText(std::string_view text, const ImportOptions& options, std::string* note,
                     std::optional<std::string_view> sidecar) {
    LineReader reader(text);
    return ReadLammpsLines(reader, options, note, LawOf(sidecar));
}

World ReadLammpsFile(const std::string& path, const ImportOptions& options, std::string* note) {
    bool hasSidecar = false;
    const World law = LawBeside(path, &hasSidecar);
    InputFile file(path);
    LineReader reader(file);
    World world = ReadLammpsLines(reader, options, note, law);
    if (note && !hasSidecar) {
        const std::string missing = "there is no " + LammpsSidecarPath(path) +
                                    " beside it: the parameters are the figure's" +
                                    (options.dt ? "" : ", dt is 0.001");
        *note = note->empty() ? missing : *note + "; " + missing;
    }
    return world;
}

std::unique_ptr<TrajectoryReader> OpenLammpsReader(const std::string& path, const ImportOptions& options) {
    return std::make_unique<LammpsReader>(path, options);
}

LammpsTrajectory::LammpsTrajectory(const std::string& path) : file_(path), sidecar_(LammpsSidecarPath(path)) {
    CheckReplaceable(sidecar_);
}

void LammpsTrajectory::Append(const World& world, std::int64_t step, Extended) {
    std::array<Extended, 19> law{};
    for (std::size_t p = 0; p < ParameterFields.size(); ++p) law[p] = world.*ParameterFields[p];
    // Compared bit for bit (the 10 bytes of each value), so that a value that is not a number counts as
    // unchanged.
    const auto same = [&] {
        for (std::size_t p = 0; p < law.size(); ++p)
            if (std::memcmp(&law[p], &(*law_)[p], 10) != 0) return false;
        return true;
    };
    if (!law_ || !same()) {
        ReplaceFileContents(sidecar_, FormatLammpsSidecar(world));
        law_ = law;
    }
    file_.Write(FormatLammpsFrame(world, step));
    ++frames_;
}

} // namespace taonscope
