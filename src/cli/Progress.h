// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <ostream>
#include <string>

namespace taonscope {

/// A line on standard error that tells how far a long command is: redrawn in place at most four times a
/// second on a terminal, otherwise (when asked, as by --progress) written once a second.
class ProgressLine {
public:
    ProgressLine(std::ostream& err, bool terminal, bool asked);

    /// True when a new line is due; the caller then makes its text and calls Show.
    bool Due();
    /// Shows text as the line.
    void Show(const std::string& text);
    /// Clears the line from a terminal, or with keep leaves the last one shown there.
    void Finish(bool keep = false);
    /// True when standard error is a terminal.
    bool Terminal() const { return terminal_; }
    /// Seconds since the line was made.
    double Seconds() const;

private:
    std::ostream& err_;
    bool terminal_, enabled_;
    std::chrono::steady_clock::time_point start_, last_;
    std::size_t width_ = 0;
};

} // namespace taonscope
