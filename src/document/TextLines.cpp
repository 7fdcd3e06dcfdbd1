// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextLines.h"

#include "XyzFile.h"

#include "core/Errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace taonscope {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool IsBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), IsBlank);
}

std::string_view Trimmed(std::string_view line) {
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    return line;
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

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::optional<long long> ParseCount(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

std::string Quoted(std::string_view field) {
    std::string quoted(1, '\'');
    quoted.append(field.substr(0, MaxQuoted));
    quoted.append(field.size() > MaxQuoted ? "...'" : "'");
    return quoted;
}

void LineError(std::uint64_t index, const std::string& message) {
    throw TaonError("line " + std::to_string(index + 1) + ": " + message);
}

bool BeyondExtendedRange(std::string_view text, Extended value) {
    const bool named = text.find_first_of("iInN") != std::string_view::npos;
    const bool nonzero =
        text.substr(0, text.find_first_of("eE")).find_first_of("123456789") != std::string_view::npos;
    return (std::isinf(value) && !named) || (value == 0 && nonzero);
}

Extended RealField(std::string_view text, std::uint64_t lineIndex) {
    const auto value = ParseXyzReal(text);
    if (!value) LineError(lineIndex, Quoted(text) + " is not a number");
    if (BeyondExtendedRange(text, *value))
        LineError(lineIndex, Quoted(text) + " is beyond the range of extended reals");
    return *value;
}

bool LineReader::Next(std::string_view& line) {
    for (;;) {
        const std::size_t end = pending_.find('\n', scanned_);
        if (end != std::string_view::npos || (ended_ && !pending_.empty())) {
            const std::size_t length = end == std::string_view::npos ? pending_.size() : end;
            line = pending_.substr(0, length);
            lineEnded_ = end != std::string_view::npos;
            lineOffset_ = offset_;
            const std::size_t taken = std::min(length + 1, pending_.size());
            pending_.remove_prefix(taken);
            offset_ += taken;
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

void LineReader::Restart(std::uint64_t offset, std::uint64_t lineIndex) {
    file_->Seek(offset);
    buffer_.clear();
    pending_ = {};
    scanned_ = 0;
    ended_ = false;
    lineEnded_ = true;
    index_ = lineIndex;
    offset_ = lineOffset_ = offset;
}

void LineReader::TooLong() const {
    LineError(index_ - 1, "longer than " + std::to_string(MaxLineBytes) + " characters");
}

void LineReader::Refill() {
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

void FrameLines::Add(std::string_view line) {
    if (lines.size() <= count) lines.emplace_back();
    lines[count++].assign(line);
}

std::string UnendedNote(const FrameLines& frame) {
    return "the last frame (line " + std::to_string(frame.firstLine + 1) +
           ") has no line end after its last line, as a file cut short has, and was left out";
}

std::string UnendedOnlyNote(const FrameLines& frame) {
    return "the frame (line " + std::to_string(frame.firstLine + 1) +
           ") has no line end after its last line: if the file was cut short, so may its last number be";
}

bool NextWholeFrame(FrameSplitter& splitter, FrameLines& frame, int& read, std::string& note, bool keep) {
    switch (splitter.Next(keep, frame)) {
    case FrameSplitter::Found::Frame:
        ++read;
        return true;
    case FrameSplitter::Found::Unended:
        if (read > 0) {
            note = UnendedNote(frame);
            return false;
        }
        note = UnendedOnlyNote(frame);
        ++read;
        return true;
    case FrameSplitter::Found::Cut:
        if (read == 0) throw TaonError(splitter.CutError());
        note = splitter.CutNote();
        return false;
    default:
        if (read == 0) throw TaonError("the file holds no frame");
        return false;
    }
}

} // namespace taonscope
