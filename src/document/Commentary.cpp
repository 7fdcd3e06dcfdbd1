#include "Commentary.h"

#include "FileIo.h"

#include "core/Errors.h"

namespace taonscope {

namespace {

// Start of the character before position end in UTF-8 text (a lone byte in any other text).
std::size_t PreviousCharacter(const std::string& text, std::size_t end) {
    std::size_t start = end - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80 && end - start < 4) --start;
    return start;
}

// Calls onLine for each line of text and onBreak after each line that has a line end.
template <typename Line, typename Break> void ForEachLine(std::string_view text, Line onLine, Break onBreak) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            onLine(text.substr(start));
            return;
        }
        onLine(text.substr(start, end - start));
        onBreak();
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
}

} // namespace

std::string CommentFileName(const std::string& path) {
    std::size_t end = path.size();
    int removed = 0;
    for (; removed < 4 && end > 0; ++removed) end = PreviousCharacter(path, end);
    return (removed < 4 ? path : path.substr(0, end)) + ".txt";
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    ForEachLine(
        text, [&](std::string_view line) { lines.emplace_back(line); }, [] {});
    return lines;
}

std::optional<std::vector<std::string>> LoadCommentary(const std::string& path) {
    const std::string commentPath = CommentFileName(path);
    int openFailure = 0;
    std::optional<std::string> bytes;
    try {
        bytes = ReadFileBytes(commentPath, std::string::npos, openFailure);
    } catch (const TaonError&) {
        throw TaonError("Cannot open file " + commentPath);
    }
    if (!bytes) return std::nullopt;
    return SplitLines(*bytes);
}

void SaveCommentary(const std::string& path, std::string_view text) {
    const std::string commentPath = CommentFileName(path);
    std::string bytes;
    ForEachLine(
        text, [&](std::string_view line) { bytes += line; }, [&] { bytes += "\r\n"; });
    ReplaceFileContents(commentPath, bytes, "Cannot create file " + commentPath);
}

} // namespace taonscope
