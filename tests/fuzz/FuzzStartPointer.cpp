// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a start pointer file: its first line, read from memory and from the file.
#include "FuzzSupport.h"

#include "document/StartPointer.h"

#include <fstream>
#include <string_view>

using namespace taonscope;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string line = FirstLine(bytes);
    fuzz::Require(bytes.substr(0, line.size()) == line);
    fuzz::Require(line.find_first_of("\r\x1A") == std::string::npos);
    fuzz::Require(line.size() == size || bytes[line.size()] == '\r' || bytes[line.size()] == '\x1A');

    const std::string path = (fuzz::ScratchFolder() / "Start.-ts-").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(size));
    fuzz::Require(ReadStartPointer(path) == FirstLine(bytes.substr(0, 1 << 16)));

    WriteStartPointer(path, line);
    fuzz::Require(ReadStartPointer(path) == line);
    return 0;
}
