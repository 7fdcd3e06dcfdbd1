// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace taonscope::fuzz {

/// A folder of this fuzzing process's own for the files a target writes, removed when it ends.
inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "taonscope-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

/// Stops the run with a crash the fuzzer reports, when a property does not hold.
inline void Require(bool holds) {
    if (!holds) std::abort();
}

} // namespace taonscope::fuzz
