// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a commentary file: its text, and the same text saved and loaded again.
#include "FuzzSupport.h"

#include "document/Commentary.h"

#include <fstream>
#include <string_view>

using namespace taonscope;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string configuration = (fuzz::ScratchFolder() / "notes.tao").string();
    std::ofstream(CommentFileName(configuration), std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(size));

    const auto text = LoadCommentary(configuration);
    fuzz::Require(text.has_value() && *text == NormalizeLineEnds(bytes));
    fuzz::Require(text->find('\r') == std::string::npos);
    SaveCommentary(configuration, *text);
    fuzz::Require(LoadCommentary(configuration) == text);
    return 0;
}
