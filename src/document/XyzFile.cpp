// SPDX-License-Identifier: GPL-3.0-or-later
#include "XyzFile.h"

#include "IoError.h"

#include "core/Errors.h"
#include "core/Scenarios.h"

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

// No line of a frame comes near this; a longer one is refused before it fills the memory.
constexpr std::size_t MaxLineBytes = std::size_t{1} << 20;

// A message quotes at most this many characters of a field.
constexpr std::size_t MaxQuoted = 80;

constexpr Extended DefaultDt = 0.001L;

// First and last slot of each kind, as the listing's edits show them.
constexpr int FirstSlot[4] = {0, 1, 51, 81};
constexpr int LastSlot[4] = {0, 50, 80, 100};

locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// The line without blanks before and after.
std::string_view Trimmed(std::string_view line) {
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    return line;
}

bool IsBlankLine(std::string_view line) {
    for (char c : line)
        if (!IsBlank(c)) return false;
    return true;
}

[[noreturn]] void LineError(std::uint64_t index, const std::string& message) {
    throw TaonError("line " + std::to_string(index + 1) + ": " + message);
}

// A field in quotes for a message, cut after MaxQuoted characters.
std::string Quoted(std::string_view field) {
    std::string quoted(1, '\'');
    quoted.append(field.substr(0, MaxQuoted));
    quoted.append(field.size() > MaxQuoted ? "...'" : "'");
    return quoted;
}

// The lines of an XYZ text, from memory or from a file read in pieces: the memory it needs is that of
// the longest line, whatever the size of the text.
class LineReader {
public:
    explicit LineReader(std::string_view text) : pending_(text), ended_(true) {}
    explicit LineReader(InputFile& file) : file_(&file) {}

    // The next line without its line end; false after the last one.
    bool Next(std::string_view& line) {
        for (;;) {
            const std::size_t end = pending_.find('\n', scanned_);
            if (end != std::string_view::npos || (ended_ && !pending_.empty())) {
                const std::size_t length = end == std::string_view::npos ? pending_.size() : end;
                line = pending_.substr(0, length);
                pending_.remove_prefix(std::min(length + 1, pending_.size()));
                scanned_ = 0;
                break;
            }
            if (ended_) return false;
            scanned_ = pending_.size();
            Refill();
        }
        ++index_;
        if (line.size() > MaxLineBytes) TooLong();
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    }
    // The index (from 0) of the line Next gave last.
    std::uint64_t Index() const { return index_ - 1; }

private:
    [[noreturn]] void TooLong() const {
        LineError(index_ - 1, "longer than " + std::to_string(MaxLineBytes) + " characters");
    }

    void Refill() {
        if (pending_.size() > MaxLineBytes) {
            ++index_;
            TooLong();
        }
        constexpr std::size_t Piece = 1 << 16;
        buffer_.erase(0, buffer_.size() - pending_.size());
        const std::size_t kept = buffer_.size();
        buffer_.resize(kept + Piece);
        const std::size_t got = file_->Read(buffer_.data() + kept, Piece);
        buffer_.resize(kept + got);
        ended_ = got == 0;
        pending_ = buffer_;
    }

    InputFile* file_ = nullptr;
    std::string buffer_;
    std::string_view pending_; // what is not yet returned
    std::size_t scanned_ = 0;  // bytes of pending_ known to hold no line end
    bool ended_ = false;
    std::uint64_t index_ = 0;
};

// A whole number made of digits only; empty for anything else.
std::optional<long long> ParseCount(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
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
    std::optional<std::size_t> velo, slot;
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
        at += n;
    }
    if (!species || !pos) LineError(lineIndex, "Properties needs species:S:1 and pos:R:3");
    columns.species = *species;
    columns.pos = *pos;
    columns.count = at;
    return columns;
}

Extended RealField(std::string_view text, std::uint64_t lineIndex) {
    const auto value = ParseXyzReal(text);
    if (!value) LineError(lineIndex, Quoted(text) + " is not a number");
    // A finite number too large for an extended real would become infinite, one too small zero.
    const bool named = text.find_first_of("iInN") != std::string_view::npos;
    const bool nonzero =
        text.substr(0, text.find_first_of("eE")).find_first_of("123456789") != std::string_view::npos;
    if ((std::isinf(*value) && !named) || (*value == 0 && nonzero))
        LineError(lineIndex, Quoted(text) + " is beyond the range of extended reals");
    return *value;
}

int SpeciesKind(std::string_view species) {
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

std::string FormatXyzFrame(const World& world, std::int64_t step, Extended time) {
    const int last = std::clamp(world.TaonCount, 0, MaxTaons);
    int present = 0;
    for (int j = 1; j <= last; ++j) present += world.TaonPresent[j] ? 1 : 0;

    std::string out;
    out.reserve(static_cast<std::size_t>(present) * 200 + 1200);
    out += std::to_string(present);
    out += "\nProperties=";
    out += XyzProperties;
    out += " Time=" + XyzRealText(time) + " Step=" + std::to_string(step) + " dt=" + XyzRealText(world.dt) +
           " pbc=\"F F F\"";
    for (std::size_t p = 1; p < ParameterFields.size(); ++p) {
        out += ' ';
        out += ParameterNames[p];
        out += '=';
        out += XyzRealText(world.*ParameterFields[p]);
    }
    out += '\n';
    for (int j = 1; j <= last; ++j) {
        if (!world.TaonPresent[j]) continue;
        out += 'T';
        out += static_cast<char>('0' + TaonKind(world, j));
        for (const TaonArray* values :
             {&world.PosX, &world.PosY, &world.PosZ, &world.VelX, &world.VelY, &world.VelZ}) {
            out += ' ';
            out += XyzRealText((*values)[static_cast<std::size_t>(j)]);
        }
        out += ' ';
        out += std::to_string(j);
        out += '\n';
    }
    return out;
}

namespace {

// The lines of the frame to import: its comment line and one line per taon.
struct FrameLines {
    std::uint64_t countLine = 0; // index of its count line
    std::size_t count = 0;
    std::vector<std::string> lines;
};

World ParseFrame(const FrameLines& frame, const XyzImportOptions& options) {
    if (frame.count > static_cast<std::size_t>(MaxTaons))
        LineError(frame.countLine, "a frame of " + std::to_string(frame.count) + " taons; at most " +
                                       std::to_string(MaxTaons) + " fit");
    World world;
    world.TaonCount = MaxTaons;
    for (int kind = 1; kind <= 3; ++kind) SetParameterSet(world, kind, FigureParameters());
    world.dt = DefaultDt;

    const std::uint64_t commentIndex = frame.countLine + 1;
    const auto pairs = CommentPairs(frame.lines[0]);
    Columns columns;
    for (const auto& [key, value] : pairs)
        if (EqualNoCase(key, "Properties")) columns = ParseProperties(value, commentIndex);
    for (std::size_t p = 0; p < ParameterFields.size(); ++p)
        if (const auto found = pairs.find(ParameterNames[p]); found != pairs.end())
            world.*ParameterFields[p] = RealField(found->second, commentIndex);
    if (options.dt) world.dt = *options.dt;

    int nextSlot[4] = {0, FirstSlot[1], FirstSlot[2], FirstSlot[3]};
    for (std::size_t t = 1; t <= frame.count; ++t) {
        const std::uint64_t i = commentIndex + t;
        const std::vector<std::string_view> fields = Fields(frame.lines[t]);
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
            const int kind = SpeciesKind(fields[columns.species]);
            if (nextSlot[kind] > LastSlot[kind])
                LineError(i, "more than " + std::to_string(LastSlot[kind] - FirstSlot[kind] + 1) +
                                 " taons of kind " + std::to_string(kind));
            slot = nextSlot[kind]++;
        }
        world.TaonPresent[slot] = true;
        world.PosX[slot] = RealField(fields[columns.pos], i);
        world.PosY[slot] = RealField(fields[columns.pos + 1], i);
        world.PosZ[slot] = RealField(fields[columns.pos + 2], i);
        if (columns.velo) {
            world.VelX[slot] = RealField(fields[*columns.velo], i);
            world.VelY[slot] = RealField(fields[*columns.velo + 1], i);
            world.VelZ[slot] = RealField(fields[*columns.velo + 2], i);
        }
    }
    SyncCopiesFromCurrent(world);
    return world;
}

// Reads frame after frame, keeping the lines of the one asked for (of each in turn for the last),
// so that a file of any length needs the memory of two frames: the last whole one and the one read.
World ReadXyzLines(LineReader& reader, const XyzImportOptions& options, std::string* note) {
    if (options.frame < 0) throw TaonError("the file holds no frame " + std::to_string(options.frame));
    const auto wanted = static_cast<std::uint64_t>(options.frame);
    FrameLines kept, reading;
    std::uint64_t whole = 0;
    std::string_view line;
    while (reader.Next(line)) {
        const std::uint64_t index = reader.Index();
        if (IsBlankLine(line)) { // blank lines may end the file, nothing else
            while (reader.Next(line))
                if (!IsBlankLine(line)) LineError(index, "expected the number of taons of a frame");
            break;
        }
        const auto count = ParseCount(Trimmed(line));
        if (!count) {
            if (whole == 0) LineError(index, "expected the number of taons of a frame");
            LineError(index, "expected the number of taons of a frame; the count in line " +
                                 std::to_string(reading.countLine + 1) + " does not match its taons");
        }
        const bool keep = wanted == 0 || whole + 1 == wanted;
        const bool fits = *count <= MaxTaons; // a larger frame is refused if it is the one to import
        reading.countLine = index;
        reading.count = static_cast<std::size_t>(fits ? *count : MaxTaons + 1);
        const auto needed = static_cast<unsigned long long>(*count) + 1; // the comment line and the taons
        unsigned long long got = 0;
        for (; got < needed && reader.Next(line); ++got) {
            if (!keep || !fits) continue;
            if (reading.lines.size() <= got) reading.lines.emplace_back();
            reading.lines[got].assign(line);
        }
        if (got < needed) { // the file ends inside the frame, as when a run is killed while writing
            const std::string taons = std::to_string(got > 0 ? got - 1 : 0);
            if (whole == 0)
                LineError(index, "the count " + std::to_string(*count) +
                                     " does not match: the file ends after " + taons + " taons");
            if (note)
                *note = "the last frame (line " + std::to_string(index + 1) + ") ends after " + taons +
                        " of its " + std::to_string(*count) + " taons and was left out";
            break;
        }
        ++whole;
        if (keep) std::swap(kept, reading);
        if (keep && wanted != 0) return ParseFrame(kept, options);
    }
    if (whole == 0) throw TaonError("the file holds no frame");
    if (wanted > whole)
        throw TaonError("the file holds " + std::to_string(whole) + " frames, not " + std::to_string(wanted));
    return ParseFrame(kept, options);
}

} // namespace

World ReadXyzText(std::string_view text, const XyzImportOptions& options, std::string* note) {
    LineReader reader(text);
    return ReadXyzLines(reader, options, note);
}

World ReadXyzFile(const std::string& path, const XyzImportOptions& options, std::string* note) {
    InputFile file(path);
    LineReader reader(file);
    return ReadXyzLines(reader, options, note);
}

void XyzTrajectory::Append(const World& world, std::int64_t step, Extended time) {
    file_.Write(FormatXyzFrame(world, step, time));
    ++frames_;
}

} // namespace taonscope
