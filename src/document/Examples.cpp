// SPDX-License-Identifier: GPL-3.0-or-later
#include "Examples.h"

#include "Commentary.h"
#include "FileIo.h"

#include "core/Errors.h"

#include <cstdlib>

namespace taonscope {

namespace {

constexpr std::string_view ConfigEnding = ".tao";

std::string FileStem(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.substr(0, name.size() - ConfigEnding.size());
}

} // namespace

std::vector<ExampleEntry> ListExamples(const std::string& folder) {
    std::vector<ExampleEntry> examples;
    for (const std::string& path : FilesEndingWith(folder, ConfigEnding)) {
        std::string title;
        try {
            if (const auto text = LoadCommentary(path)) title = text->substr(0, text->find('\n'));
        } catch (const TaonError&) {
            // A commentary that cannot be read leaves the example titled by its name.
        }
        examples.push_back({title.empty() ? FileStem(path) : title, path});
    }
    return examples;
}

std::vector<std::string> ExampleFolderCandidates(const std::string& programFolder) {
    std::vector<std::string> folders;
    if (const char* chosen = std::getenv("TAONSCOPE_EXAMPLES"); chosen && *chosen)
        folders.emplace_back(chosen);
    folders.push_back(programFolder + "/../share/taonscope/examples");
#ifdef TAONSCOPE_SOURCE_EXAMPLES
    folders.emplace_back(TAONSCOPE_SOURCE_EXAMPLES);
#endif
    return folders;
}

std::string FirstExampleFolder(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders)
        if (!FilesEndingWith(folder, ConfigEnding).empty()) return folder;
    return {};
}

} // namespace taonscope
