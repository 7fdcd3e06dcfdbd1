// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace taonscope::test {

/// What a script of the system's Python (/usr/bin/python3, with Debian's numpy and scipy) said.
struct PythonOutcome {
    int status = 0;       ///< 3 when a module the script needs cannot be imported
    std::string out, err; ///< its standard output and error
};

/// Runs /usr/bin/python3 on a script with arguments, its output kept in dir; empty when there is none.
inline std::optional<PythonOutcome>
RunSystemPython(const std::string& script, const std::vector<std::string>& args, const TempDir& dir) {
    if (!std::filesystem::exists("/usr/bin/python3")) return std::nullopt;
    std::string command = "/usr/bin/python3 '" + script + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    const int status =
        std::system((command + " > " + dir.File("py.out") + " 2> " + dir.File("py.err")).c_str());
    return PythonOutcome{WIFEXITED(status) ? WEXITSTATUS(status) : 128, ReadAll(dir.File("py.out")),
                         ReadAll(dir.File("py.err"))};
} // namespace taonscope::test

/// Skips the test, saying why, when the system's Python or a module the script needs is missing.
#define SKIP_WITHOUT_PYTHON_MODULES(outcome)                                                                 \
    if (!(outcome) || (outcome)->status == 3)                                                                \
    GTEST_SKIP() << "check skipped: " << ((outcome) ? (outcome)->err : "/usr/bin/python3 is missing")
} // namespace taonscope::test
