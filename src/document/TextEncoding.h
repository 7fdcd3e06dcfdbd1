// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace taonscope {

/// The encodings a commentary file can be in: UTF-8, or one of the single-byte code pages in which
/// older commentaries were written.
enum class TextEncoding { Utf8, Windows1251, Windows1250, Windows1252, Koi8R };

/// The single-byte code pages, in the order the window offers them.
inline constexpr TextEncoding CodePages[] = {TextEncoding::Windows1251, TextEncoding::Windows1250,
                                             TextEncoding::Windows1252, TextEncoding::Koi8R};

/// The code page an old commentary is read in unless another is chosen.
inline constexpr TextEncoding DefaultCodePage = TextEncoding::Windows1251;

/// The usual name of an encoding: "UTF-8", "Windows-1251", "Windows-1250", "Windows-1252", "KOI8-R".
std::string EncodingName(TextEncoding encoding);

/// The encoding a name stands for, in any letter case ("cp1251" for Windows-1251 too); empty when unknown.
std::optional<TextEncoding> FindEncoding(std::string_view name);

/// True when bytes are well-formed UTF-8 (plain ASCII included): no overlong forms, surrogates or
/// values beyond U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

/// The length of the longest start of bytes that is well-formed UTF-8: the place of the first fault.
std::size_t ValidUtf8Length(std::string_view bytes);

/// Appends the character c (at most U+10FFFF) to out in UTF-8.
void AppendUtf8(std::string& out, char32_t c);

/// Text in encoding as UTF-8. A byte that the code page leaves undefined stands for the control
/// character of the same number, so that EncodeText gives every byte back. UTF-8 text is returned
/// as it is.
std::string DecodeText(std::string_view bytes, TextEncoding encoding);

/// UTF-8 text in encoding; empty when the text holds a character that encoding cannot hold (or is no
/// well-formed UTF-8). EncodeText(DecodeText(b, e), e) is b for any bytes b and code page e.
std::optional<std::string> EncodeText(std::string_view text, TextEncoding encoding);

/// Bytes read as text: UTF-8 when they are well-formed UTF-8, otherwise decoded from codePage.
struct DetectedText {
    std::string Text;                           ///< the text as UTF-8
    TextEncoding Encoding = TextEncoding::Utf8; ///< the encoding the bytes were in
};

/// Reads bytes as UTF-8 when they are well-formed UTF-8, else as codePage.
DetectedText DetectAndDecode(std::string_view bytes, TextEncoding codePage);

} // namespace taonscope
