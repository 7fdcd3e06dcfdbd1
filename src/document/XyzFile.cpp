// SPDX-License-Identifier: GPL-3.0-or-later
#include "XyzFile.h"

#include "IoError.h"
#include "TextLines.h"

#include "core/Errors.h"
#include "core/Scenarios.h"
#include "core/Version.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <map>
#include <vector>

namespace taonscope {

namespace {

constexpr Extended DefaultDt = 0.001L;

// First and last slot of each kind, as the listing's edits show them.
constexpr int FirstSlot[4] = {0, 1, 51, 81};
constexpr int LastSlot[4] = {0, 50, 80, 100};

locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// The key=value pairs of a comment line; values may be double-quoted. Words without '=' are ignored,
// so that the comment of a plain file can be any text.
std::map<std::string, std::string, std::less<>> CommentPairs(std::string_view line) {
    std::map<std::string, std::string, std::less<>> pairs;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        const std::size_t keyStart = i;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != '=') ++i;
        const std::string_view key = line.substr(keyStart, i - keyStart);
        if (i >= line.size() || line[i] != '=') {
            while (i < line.size() && !IsBlank(line[i])) ++i;
            continue;
        }
        ++i;
        std::string value;
        if (i < line.size() && line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? line.size() : close;
            value = std::string(line.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? line.size() : close + 1;
        } else {
            const std::size_t start = i;
            while (i < line.size() && !IsBlank(line[i])) ++i;
            value = std::string(line.substr(start, i - start));
        }
        if (!key.empty()) pairs[std::string(key)] = value;
    }
    return pairs;
}

// Where each value sits in a taon line, from the Properties of an extended frame.
struct Columns {
    std::size_t count = 4; // fields in a line (a plain frame: at least this many)
    bool exact = false;    // extended frames have exactly count fields
    std::size_t species = 0, pos = 1;
    std::optional<std::size_t> velo, slot, momenta, masses;
};

Columns ParseProperties(const std::string& text, std::uint64_t lineIndex) {
    std::vector<std::string_view> parts;
    std::string_view rest = text;
    while (true) {
        const std::size_t colon = rest.find(':');
        parts.push_back(rest.substr(0, colon));
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    if (parts.size() % 3 != 0)
        LineError(lineIndex, "Properties " + Quoted(text) + " is not name:type:count ...");
    Columns columns;
    columns.exact = true;
    std::optional<std::size_t> species, pos;
    std::size_t at = 0;
    for (std::size_t p = 0; p < parts.size(); p += 3) {
        const auto count = ParseCount(parts[p + 2]);
        const std::string_view name = parts[p], type = parts[p + 1];
        if (!count || *count < 1 || *count > 1000 || type.size() != 1 ||
            std::string_view("SRIL").find(type) == std::string_view::npos)
            LineError(lineIndex, "Properties " + Quoted(text) + " is not name:type:count ...");
        const auto n = static_cast<std::size_t>(*count);
        if (name == "species" && type == "S" && n == 1) species = at;
        if (name == "pos" && type == "R" && n == 3) pos = at;
        if (name == "velo" && type == "R" && n == 3) columns.velo = at;
        if (name == "slot" && type == "I" && n == 1) columns.slot = at;
        if (name == "momenta" && type == "R" && n == 3) columns.momenta = at;
        if (name == "masses" && type == "R" && n == 1) columns.masses = at;
        at += n;
    }
    if (!species || !pos) LineError(lineIndex, "Properties needs species:S:1 and pos:R:3");
    columns.species = *species;
    columns.pos = *pos;
    columns.count = at;
    return columns;
}

// The kind of a species: one of the three names, else T1, T2 or T3, else 1.
int SpeciesKind(std::string_view species, const SpeciesNames& names) {
    for (int kind = 1; kind <= 3; ++kind)
        if (species == names.Names[static_cast<std::size_t>(kind - 1)]) return kind;
    if (species == "T2") return 2;
    if (species == "T3") return 3;
    return 1;
}

// The exact decimal digits of m * 2^e (m > 0); lastPower is the power of ten of the last digit.
// Recording formats hundreds of reals per frame: this is many times faster than printf's conversion
// of a long double and, being exact, rounds the same way.
__extension__ typedef unsigned __int128 Wide;

std::string ExactDigits(std::uint64_t m, int e, int& lastPower) {
    constexpr std::uint64_t Base = 10000000000000000000ull; // 10^19 per limb
    // For e < 0, m * 2^e is m * 5^-e / 10^-e; the largest products need about 610 limbs.
    std::array<std::uint64_t, 640> limbs;
    std::size_t count = 0;
    limbs[count++] = m % Base;
    if (m >= Base) limbs[count++] = m / Base;
    const auto multiply = [&](std::uint64_t factor) {
        Wide carry = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const Wide product = static_cast<Wide>(limbs[i]) * factor + carry;
            limbs[i] = static_cast<std::uint64_t>(product % Base);
            carry = product / Base;
        }
        for (; carry != 0; carry /= Base) limbs[count++] = static_cast<std::uint64_t>(carry % Base);
    };
    lastPower = 0;
    if (e > 0) {
        for (; e >= 62; e -= 62) multiply(std::uint64_t{1} << 62);
        if (e > 0) multiply(std::uint64_t{1} << e);
    } else if (e < 0) {
        lastPower = e;
        constexpr std::uint64_t FivePow27 = 7450580596923828125ull;
        int k = -e;
        for (; k >= 27; k -= 27) multiply(FivePow27);
        std::uint64_t rest = 1;
        for (; k > 0; --k) rest *= 5;
        if (rest > 1) multiply(rest);
    }
    std::string digits = std::to_string(limbs[count - 1]);
    for (std::size_t i = count - 1; i-- > 0;) {
        const std::string chunk = std::to_string(limbs[i]);
        digits.append(19 - chunk.size(), '0');
        digits += chunk;
    }
    return digits;
}

} // namespace

std::string XyzRealText(Extended value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    constexpr std::size_t Significant = 21;
    std::string out = std::signbit(value) ? "-" : "";
    std::string digits = "0";
    int exponent = 0; // of the first digit
    if (value != 0) {
        int binaryExponent = 0;
        const Extended fraction = std::frexp(std::fabs(value), &binaryExponent); // in [0.5, 1)
        auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
        binaryExponent -= 64;
        const int zeros = __builtin_ctzll(m);
        m >>= zeros;
        binaryExponent += zeros;
        int lastPower = 0;
        digits = ExactDigits(m, binaryExponent, lastPower);
        exponent = static_cast<int>(digits.size()) - 1 + lastPower;
        if (digits.size() > Significant) {
            // Round half to even, as printf does in the default rounding mode.
            const char next = digits[Significant];
            const bool beyond = digits.find_first_not_of('0', Significant + 1) != std::string::npos;
            const bool odd = (digits[Significant - 1] - '0') % 2 == 1;
            digits.resize(Significant);
            if (next > '5' || (next == '5' && (beyond || odd))) {
                std::size_t i = Significant;
                while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
                if (i == 0) {
                    digits.insert(digits.begin(), '1');
                    digits.pop_back();
                    ++exponent;
                } else {
                    ++digits[i - 1];
                }
            }
        }
    }
    digits.resize(Significant, '0');
    out += digits[0];
    out += '.';
    out.append(digits, 1);
    out += exponent < 0 ? "e-" : "e+";
    const std::string power = std::to_string(exponent < 0 ? -exponent : exponent);
    if (power.size() < 2) out += '0';
    out += power;
    return out;
}

std::optional<Extended> ParseXyzReal(std::string_view text) {
    std::string_view body = text;
    if (!body.empty() && (body.front() == '+' || body.front() == '-')) body.remove_prefix(1);
    if (EqualNoCase(body, "nan")) return std::nanl("");
    if (EqualNoCase(body, "inf") || EqualNoCase(body, "infinity"))
        return text.front() == '-' ? -HUGE_VALL : HUGE_VALL;
    // Only decimal digits, one point and an exponent: strtold would also take hexadecimal and "nan(...)".
    bool digits = false;
    for (char c : body) {
        if (c >= '0' && c <= '9')
            digits = true;
        else if (c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-')
            return std::nullopt;
    }
    if (!digits) return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    const Extended value = strtold_l(copy.c_str(), &end, CLocale());
    if (end != copy.c_str() + copy.size()) return std::nullopt;
    return value;
}

std::string FormatXyzFrame(const World& world, std::int64_t step, Extended time,
                           const SpeciesNames& species) {
    const int last = std::clamp(world.TaonCount, 0, MaxTaons);
    int present = 0;
    for (int j = 1; j <= last; ++j) present += world.TaonPresent[j] ? 1 : 0;
    const bool named = !species.IsDefault();

    std::string out;
    out.reserve(static_cast<std::size_t>(present) * (named ? 300 : 200) + 1200);
    out += std::to_string(present);
    out += "\nProperties=";
    out += named ? XyzNamedProperties : XyzProperties;
    out += " Time=" + XyzRealText(time) + " Step=" + std::to_string(step) + " dt=" + XyzRealText(world.dt) +
           " pbc=\"F F F\" program=\"" + ProgramSignature + '"';
    for (std::size_t p = 1; p < ParameterFields.size(); ++p) {
        out += ' ';
        out += ParameterNames[p];
        out += '=';
        out += XyzRealText(world.*ParameterFields[p]);
    }
    if (named) out += " species=\"" + species.Joined() + '"';
    out += '\n';
    const TaonArray* const velocity[3] = {&world.VelX, &world.VelY, &world.VelZ};
    for (int j = 1; j <= last; ++j) {
        if (!world.TaonPresent[j]) continue;
        out += species.Names[static_cast<std::size_t>(TaonKind(world, j) - 1)];
        for (const TaonArray* values : {&world.PosX, &world.PosY, &world.PosZ}) {
            out += ' ';
            out += XyzRealText((*values)[static_cast<std::size_t>(j)]);
        }
        for (const TaonArray* values : velocity) {
            out += ' ';
            out += XyzRealText((*values)[static_cast<std::size_t>(j)]);
        }
        out += ' ';
        out += std::to_string(j);
        if (named) {
            out += " 1";
            for (const TaonArray* values : velocity) {
                out += ' ';
                out += XyzRealText((*values)[static_cast<std::size_t>(j)]);
            }
        }
        out += '\n';
    }
    return out;
}

namespace {

// Adds a remark to a note, after what it says already (once: every frame of a file may make it).
void AddNote(std::string* note, const std::string& remark) {
    if (note && note->find(remark) == std::string::npos)
        *note = note->empty() ? remark : *note + "; " + remark;
}

// A frame's lines as the splitter keeps them: the count line, the comment line, one line per taon. stamp,
// when given, takes the frame's Step and Time (else number and number times dt).
World ParseFrame(const FrameLines& frame, const ImportOptions& options, std::string* note,
                 FrameStamp* stamp = nullptr, int number = 0) {
    const auto count = static_cast<std::size_t>(*ParseCount(Trimmed(frame.lines[0])));
    if (count > static_cast<std::size_t>(MaxTaons))
        LineError(frame.firstLine, "a frame of " + std::to_string(count) + " taons; at most " +
                                       std::to_string(MaxTaons) + " fit");
    World world;
    world.TaonCount = MaxTaons;
    for (int kind = 1; kind <= 3; ++kind) SetParameterSet(world, kind, FigureParameters());
    world.dt = DefaultDt;

    const std::uint64_t commentIndex = frame.firstLine + 1;
    const auto pairs = CommentPairs(frame.lines[1]);
    Columns columns;
    for (const auto& [key, value] : pairs)
        if (EqualNoCase(key, "Properties")) columns = ParseProperties(value, commentIndex);
    // A program that writes plain XYZ back keeps the comment, Properties and all: a frame whose every
    // line holds a species and a position is read as plain XYZ.
    const auto plain = [&] {
        for (std::size_t t = 1; t <= count; ++t)
            if (Fields(frame.lines[t + 1]).size() != 4) return false;
        return count > 0;
    };
    if (columns.exact && columns.count != 4 && plain()) {
        AddNote(note,
                "line " + std::to_string(commentIndex + 1) + " names " + std::to_string(columns.count) +
                    " columns, but every taon line has 4: read as species and position, without velocities");
        columns = Columns{};
    }
    for (std::size_t p = 0; p < ParameterFields.size(); ++p)
        if (const auto found = pairs.find(ParameterNames[p]); found != pairs.end())
            world.*ParameterFields[p] = RealField(found->second, commentIndex);
    if (options.dt) world.dt = *options.dt;
    if (stamp) {
        stamp->Step = number;
        if (const auto found = pairs.find("Step"); found != pairs.end()) {
            const std::string_view text = found->second;
            const auto value = ParseCount(text.substr(!text.empty() && text.front() == '-' ? 1 : 0));
            if (!value) LineError(commentIndex, "the step " + Quoted(text) + " is not a whole number");
            stamp->Step = text.front() == '-' ? -*value : *value;
        }
        const auto time = pairs.find("Time");
        stamp->Time = time != pairs.end() ? RealField(time->second, commentIndex)
                                          : static_cast<Extended>(stamp->Step) * world.dt;
    }
    SpeciesNames names;
    if (options.species)
        names = *options.species;
    else if (const auto found = pairs.find("species"); found != pairs.end())
        names = ParseSpeciesNames(found->second).value_or(SpeciesNames{});

    int nextSlot[4] = {0, FirstSlot[1], FirstSlot[2], FirstSlot[3]};
    for (std::size_t t = 1; t <= count; ++t) {
        const std::uint64_t i = commentIndex + t;
        const std::vector<std::string_view> fields = Fields(frame.lines[t + 1]);
        if (fields.size() < columns.count || (columns.exact && fields.size() != columns.count))
            LineError(i, "expected " + std::to_string(columns.count) + " fields, found " +
                             std::to_string(fields.size()));
        int slot = 0;
        if (columns.slot) {
            const std::string_view text = fields[*columns.slot];
            const auto number = ParseCount(text);
            if (!number || *number < 1 || *number > MaxTaons)
                LineError(i, "slot " + Quoted(text) + " is not a number from 1 to 100");
            slot = static_cast<int>(*number);
            if (world.TaonPresent[slot]) LineError(i, "slot " + std::to_string(slot) + " is given twice");
        } else {
            const int kind = SpeciesKind(fields[columns.species], names);
            if (nextSlot[kind] > LastSlot[kind])
                LineError(i, "more than " + std::to_string(LastSlot[kind] - FirstSlot[kind] + 1) +
                                 " taons of kind " + std::to_string(kind));
            slot = nextSlot[kind]++;
        }
        world.TaonPresent[slot] = true;
        world.PosX[slot] = RealField(fields[columns.pos], i);
        world.PosY[slot] = RealField(fields[columns.pos + 1], i);
        world.PosZ[slot] = RealField(fields[columns.pos + 2], i);
        if (const auto velocity = columns.velo ? columns.velo : columns.momenta) {
            // Momenta (as ASE writes them) are velocities times the masses column, if there is one.
            const Extended mass = !columns.velo && columns.masses ? RealField(fields[*columns.masses], i) : 1;
            world.VelX[slot] = RealField(fields[*velocity], i) / mass;
            world.VelY[slot] = RealField(fields[*velocity + 1], i) / mass;
            world.VelZ[slot] = RealField(fields[*velocity + 2], i) / mass;
        }
    }
    SyncCopiesFromCurrent(world);
    return world;
}

// Cuts XYZ text into frames: a count line, a comment line and a line per taon.
class XyzSplitter : public FrameSplitter {
public:
    explicit XyzSplitter(LineReader& reader) : reader_(reader) {}

    Found Next(bool keep, FrameLines& frame) override {
        std::string_view line;
        if (!reader_.Next(line)) return Found::End;
        const std::uint64_t index = reader_.Index();
        if (IsBlankLine(line)) { // blank lines may end the file, nothing else
            while (reader_.Next(line))
                if (!IsBlankLine(line)) LineError(index, "expected the number of taons of a frame");
            return Found::End;
        }
        const auto count = ParseCount(Trimmed(line));
        if (!count) {
            if (whole_ == 0) LineError(index, "expected the number of taons of a frame");
            LineError(index, "expected the number of taons of a frame; the count in line " +
                                 std::to_string(countLine_ + 1) + " does not match its taons");
        }
        countLine_ = index;
        count_ = *count;
        frame.Restart(index, reader_.LineOffset());
        if (keep) frame.Add(line);
        const bool fits = *count <= MaxTaons; // a larger frame is refused if it is the one to import
        const auto needed = static_cast<unsigned long long>(*count) + 1; // the comment line and the taons
        got_ = 0;
        for (; got_ < needed && reader_.Next(line); ++got_)
            if (keep && fits) frame.Add(line);
        if (got_ < needed) return Found::Cut; // as when a run is killed while writing
        ++whole_;
        return reader_.LineEnded() ? Found::Frame : Found::Unended;
    }

    std::string CutError() const override {
        return "line " + std::to_string(countLine_ + 1) + ": the count " + std::to_string(count_) +
               " does not match: the file ends after " + Taons() + " taons";
    }

    std::string CutNote() const override {
        return "the last frame (line " + std::to_string(countLine_ + 1) + ") ends after " + Taons() +
               " of its " + std::to_string(count_) + " taons and was left out";
    }

private:
    std::string Taons() const { return std::to_string(got_ > 0 ? got_ - 1 : 0); }

    LineReader& reader_;
    std::uint64_t whole_ = 0, countLine_ = 0;
    long long count_ = 0;
    unsigned long long got_ = 0;
};

World ReadXyzLines(LineReader& reader, const ImportOptions& options, std::string* note) {
    XyzSplitter splitter(reader);
    return ReadWantedFrame(
        splitter, options.frame, [&](const FrameLines& frame) { return ParseFrame(frame, options, note); },
        note);
}

class XyzReader : public TrajectoryReader {
public:
    XyzReader(const std::string& path, const ImportOptions& options)
        : file_(path), reader_(file_), splitter_(reader_), options_(options) {}

    bool Next(World& world) override {
        if (!Take(true)) return false;
        world = ParseFrame(frame_, options_, &note_, &stamp_, place_.Number);
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

    InputFile file_;
    LineReader reader_;
    XyzSplitter splitter_;
    ImportOptions options_;
    FrameLines frame_;
    int frames_ = 0;
};

} // namespace

World ReadXyzText(std::string_view text, const ImportOptions& options, std::string* note) {
    LineReader reader(text);
    return ReadXyzLines(reader, options, note);
}

World ReadXyzFile(const std::string& path, const ImportOptions& options, std::string* note) {
    InputFile file(path);
    LineReader reader(file);
    return ReadXyzLines(reader, options, note);
}

std::unique_ptr<TrajectoryReader> OpenXyzReader(const std::string& path, const ImportOptions& options) {
    return std::make_unique<XyzReader>(path, options);
}

void XyzTrajectory::Append(const World& world, std::int64_t step, Extended time) {
    file_.Write(FormatXyzFrame(world, step, time, species_));
    ++frames_;
}

} // namespace taonscope
