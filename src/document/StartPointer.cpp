// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartPointer.h"

#include "FileIo.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace taonscope {

namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/";
}

} // namespace

std::string DefaultStartPointerPath() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::string folder = configHome && configHome[0] == '/' ? configHome : HomeFolder() + "/.config";
    return folder + "/taonscope/Start.-ts-";
}

std::string FirstLine(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find_first_of("\r\x1A")));
}

std::optional<std::string> ReadStartPointer(const std::string& pointerPath) {
    // A path longer than this cannot name a file; the limit keeps a stray huge file from being read whole.
    constexpr std::size_t longestLine = 1 << 16;
    int openFailure = 0;
    const auto bytes = ReadFileBytes(pointerPath, longestLine, openFailure);
    if (!bytes) return std::nullopt;
    return FirstLine(*bytes);
}

void CreateEmptyStartPointer(const std::string& pointerPath) {
    WriteStartPointer(pointerPath, {});
}

void WriteStartPointer(const std::string& pointerPath, const std::string& configPath) {
    CreateParentFolders(pointerPath);
    ReplaceFileContents(pointerPath, configPath);
}

} // namespace taonscope
