// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace taonscope {

/// One example configuration the program ships: its file and its title.
struct ExampleEntry {
    std::string Title; ///< the first line of its commentary, or its file name without ".tao"
    std::string Path;  ///< the .tao file
};

/// Every NAME.tao in folder, in the order of the names, titled by the first line of its commentary.
std::vector<ExampleEntry> ListExamples(const std::string& folder);

/// The folders the program looks for its examples in, in order: $TAONSCOPE_EXAMPLES when set, the
/// installed share/taonscope/examples beside programFolder's parent, then the source tree's examples.
std::vector<std::string> ExampleFolderCandidates(const std::string& programFolder);

/// The first of folders that holds a .tao file; empty when none does.
std::string FirstExampleFolder(const std::vector<std::string>& folders);

} // namespace taonscope
