// SPDX-License-Identifier: GPL-3.0-or-later
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

// The text with each line end (CR LF, a lone CR or a lone LF) replaced by lineEnd.
std::string ReplaceLineEnds(std::string_view text, std::string_view lineEnd) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += lineEnd;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

std::string CommentFileName(const std::string& path) {
    std::size_t end = path.size();
    int removed = 0;
    for (; removed < 4 && end > 0; ++removed) end = PreviousCharacter(path, end);
    return (removed < 4 ? path : path.substr(0, end)) + ".txt";
}

std::string NormalizeLineEnds(std::string_view text) {
    return ReplaceLineEnds(text, "\n");
}

std::optional<std::string> LoadCommentary(const std::string& path) {
    const std::string commentPath = CommentFileName(path);
    int openFailure = 0;
    std::optional<std::string> bytes;
    try {
        bytes = ReadFileBytes(commentPath, LongestCommentary + 1, openFailure);
    } catch (const TaonError&) {
        throw TaonError("Cannot open file " + commentPath);
    }
    if (!bytes) return std::nullopt;
    if (bytes->size() > LongestCommentary)
        throw TaonError("The commentary " + commentPath + " is longer than 16 MiB and was not loaded");
    return NormalizeLineEnds(*bytes);
}

void SaveCommentary(const std::string& path, std::string_view text) {
    const std::string commentPath = CommentFileName(path);
    ReplaceFileContents(commentPath, ReplaceLineEnds(text, "\r\n"), "Cannot create file " + commentPath);
}

// Line ends are plain ASCII in every encoding offered, so they are handled on the bytes as before.
std::optional<DetectedText> LoadCommentaryText(const std::string& path, TextEncoding codePage) {
    const std::optional<std::string> bytes = LoadCommentary(path);
    if (!bytes) return std::nullopt;
    return DetectAndDecode(*bytes, codePage);
}

bool SaveCommentaryText(const std::string& path, std::string_view text, TextEncoding encoding) {
    const std::optional<std::string> bytes = EncodeText(text, encoding);
    if (!bytes) return false;
    SaveCommentary(path, *bytes);
    return true;
}

} // namespace taonscope
