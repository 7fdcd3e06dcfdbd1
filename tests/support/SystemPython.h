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

/// The Python of the system, with Debian's numpy, scipy and MDAnalysis (not one found on PATH).
inline constexpr const char* SystemPython = "/usr/bin/python3";

/// What a Python script said.
struct PythonOutcome {
    int status = 0;
    std::string out, err;
};

/// Runs the system's Python on a script with arguments, its output kept in dir; empty when there is no
/// /usr/bin/python3. Scripts exit with status 3 when a module they need cannot be imported.
inline std::optional<PythonOutcome>
RunSystemPython(const std::string& script, const std::vector<std::string>& args, const TempDir& dir) {
    if (!std::filesystem::exists(SystemPython)) return std::nullopt;
    std::string command = std::string(SystemPython) + " '" + script + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " > '" + dir.File("python.out") + "' 2> '" + dir.File("python.err") + "'";
    const int status = std::system(command.c_str());
    return PythonOutcome{WIFEXITED(status) ? WEXITSTATUS(status) : 128, ReadAll(dir.File("python.out")),
                         ReadAll(dir.File("python.err"))};
}

/// Skips the test when the system's Python or a module the script needs is missing, saying which.
#define SKIP_WITHOUT_PYTHON_MODULES(outcome)                                                                 \
    do {                                                                                                     \
        if (!(outcome))                                                                                      \
            GTEST_SKIP() << "check skipped: " << ::taonscope::test::SystemPython << " is missing";           \
        if ((outcome)->status == 3) GTEST_SKIP() << "check skipped: " << (outcome)->err;                     \
    } while (false)

} // namespace taonscope::test
