// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileIo.h"

#include "core/Extended.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the readers of text frames (XYZ, LAMMPS dump) share: lines read in pieces, fields, numbers and
// messages that name the line and quote at most a few characters of a field.
namespace taonscope {

/// No line of a frame comes near this; a longer one is refused before it fills the memory.
inline constexpr std::size_t MaxLineBytes = std::size_t{1} << 20;

/// A message quotes at most this many characters of a field.
inline constexpr std::size_t MaxQuoted = 80;

/// True for a blank character (space, tab, carriage return, vertical tab, form feed).
bool IsBlank(char c);
/// True when the line holds blanks only.
bool IsBlankLine(std::string_view line);
/// The line without blanks before and after.
std::string_view Trimmed(std::string_view line);
/// The fields of a line, split at blanks.
std::vector<std::string_view> Fields(std::string_view line);
/// True when a and b are equal but for the case of ASCII letters.
bool EqualNoCase(std::string_view a, std::string_view b);
/// A whole number made of digits only; empty for anything else.
std::optional<long long> ParseCount(std::string_view text);

/// A field in quotes for a message, cut after MaxQuoted characters.
std::string Quoted(std::string_view field);
/// Throws TaonError("line N: message") for the line of that index (from 0).
[[noreturn]] void LineError(std::uint64_t index, const std::string& message);
/// True when text names a finite number that value, as read, could not hold: it became infinite, or
/// zero though the text has a digit other than 0 before its exponent.
bool BeyondExtendedRange(std::string_view text, Extended value);
/// A real as a frame holds it (ParseXyzReal); a text that is not one, or a number beyond the range of
/// extended reals, throws LineError quoting it.
Extended RealField(std::string_view text, std::uint64_t lineIndex);

/// The lines of a text, from memory or from a file read in pieces: the memory it needs is that of the
/// longest line, whatever the size of the text. A line longer than MaxLineBytes throws LineError.
class LineReader {
public:
    /// The lines of text.
    explicit LineReader(std::string_view text) : pending_(text), ended_(true) {}
    /// The lines of file, read as they are asked for.
    explicit LineReader(InputFile& file) : file_(&file) {}

    /// The next line without its line end (LF or CR LF); false after the last one.
    bool Next(std::string_view& line);
    /// The index (from 0) of the line Next gave last.
    std::uint64_t Index() const { return index_ - 1; }
    /// The byte offset (from the text's start) at which the line Next gave last begins.
    std::uint64_t LineOffset() const { return lineOffset_; }
    /// Reads on from the byte at offset of a file, the start of the line of that index.
    void Restart(std::uint64_t offset, std::uint64_t lineIndex);
    /// False when the line Next gave last is the text's last and has no line end, as in a file cut short.
    bool LineEnded() const { return lineEnded_; }

private:
    [[noreturn]] void TooLong() const;
    void Refill();

    InputFile* file_ = nullptr;
    std::string buffer_;
    std::string_view pending_; // what is not yet returned
    std::size_t scanned_ = 0;  // bytes of pending_ known to hold no line end
    bool ended_ = false;
    bool lineEnded_ = true;
    std::uint64_t index_ = 0;
    std::uint64_t offset_ = 0;     // of pending_'s first byte
    std::uint64_t lineOffset_ = 0; // of the line given last
};

/// The lines of one frame as a frame splitter keeps them: the index of its first line and the lines.
/// The strings are reused from frame to frame, so that reading many frames allocates little.
struct FrameLines {
    std::uint64_t firstLine = 0;    ///< index (from 0) of the frame's first line
    std::uint64_t firstOffset = 0;  ///< byte offset of the frame's first line
    std::size_t count = 0;          ///< lines in use
    std::vector<std::string> lines; ///< the first count are the frame's

    /// Keeps line as the next line of the frame.
    void Add(std::string_view line);
    /// Starts a frame at the line of that index, which begins at that byte offset.
    void Restart(std::uint64_t first, std::uint64_t offset) {
        firstLine = first, firstOffset = offset, count = 0;
    }
};

/// Cuts a text into frames, one at a time, keeping the lines of those asked for.
class FrameSplitter {
public:
    virtual ~FrameSplitter() = default;
    /// What Next found.
    enum class Found { Frame, End, Cut, Unended };
    /// Reads the next frame, keeping its lines in frame when keep. End: no frame is left. Cut: the
    /// text ends inside a frame (as when a run is killed while writing); CutError and CutNote say so.
    /// Unended: the frame has all its lines, but the last has no line end, so it may have been cut
    /// inside its last number. A text that breaks the format throws LineError.
    virtual Found Next(bool keep, FrameLines& frame) = 0;
    /// The error for a cut frame when no whole frame came before it.
    virtual std::string CutError() const = 0;
    /// The note for a cut last frame left out.
    virtual std::string CutNote() const = 0;
};

/// The note for a last frame whose last line has no line end (Unended), left out after whole frames.
std::string UnendedNote(const FrameLines& frame);
/// The note for a file's only frame whose last line has no line end, which is read all the same.
std::string UnendedOnlyNote(const FrameLines& frame);

/// Reads the next whole frame into frame (its lines only when keep); false after the last one. read
/// counts the whole frames read so far. A cut last frame, or one whose last line has no line end, is left out
/// (note says so) when whole frames came before it; a cut first frame, and a text without frames, throw
/// TaonError; a first frame without its last line end is read, with a note.
bool NextWholeFrame(FrameSplitter& splitter, FrameLines& frame, int& read, std::string& note,
                    bool keep = true);

/// Reads the frame asked for (1 for the first ...; 0 for the last) and parses it, keeping the lines of
/// two frames at most. Cut and unended frames are taken as NextWholeFrame takes them (note, when given,
/// says what was left out); a file without frames or too few throws TaonError.
template <typename Parse>
auto ReadWantedFrame(FrameSplitter& splitter, int wanted, Parse&& parse, std::string* note) {
    if (wanted < 0) throw TaonError("the file holds no frame " + std::to_string(wanted));
    FrameLines kept, reading;
    std::uint64_t whole = 0;
    for (;;) {
        const bool keep = wanted == 0 || whole + 1 == static_cast<std::uint64_t>(wanted);
        const FrameSplitter::Found found = splitter.Next(keep, reading);
        if (found == FrameSplitter::Found::End) break;
        if (found == FrameSplitter::Found::Cut) {
            if (whole == 0) throw TaonError(splitter.CutError());
            if (note) *note = splitter.CutNote();
            break;
        }
        if (found == FrameSplitter::Found::Unended) {
            if (whole > 0) {
                if (note) *note = UnendedNote(reading);
                break;
            }
            if (note) *note = UnendedOnlyNote(reading);
        }
        ++whole;
        if (!keep) continue;
        std::swap(kept, reading);
        if (wanted != 0) return parse(kept);
    }
    if (whole == 0) throw TaonError("the file holds no frame");
    if (static_cast<std::uint64_t>(wanted) > whole)
        throw TaonError("the file holds " + std::to_string(whole) + " frames, not " + std::to_string(wanted));
    return parse(kept);
}

} // namespace taonscope
