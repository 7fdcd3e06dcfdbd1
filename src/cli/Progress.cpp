// SPDX-License-Identifier: GPL-3.0-or-later
#include "Progress.h"

namespace taonscope {

ProgressLine::ProgressLine(std::ostream& err, bool terminal, bool asked)
    : err_(err), terminal_(terminal), enabled_(terminal || asked), start_(std::chrono::steady_clock::now()),
      last_(start_) {}

bool ProgressLine::Due() {
    if (!enabled_) return false;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < (terminal_ ? std::chrono::milliseconds(250) : std::chrono::milliseconds(1000)))
        return false;
    last_ = now;
    return true;
}

void ProgressLine::Show(const std::string& text) {
    if (terminal_) {
        err_ << '\r' << text << std::string(width_ > text.size() ? width_ - text.size() : 0, ' ')
             << std::flush;
        width_ = text.size();
    } else {
        err_ << text << '\n' << std::flush;
    }
}

void ProgressLine::Finish(bool keep) {
    if (terminal_ && width_ > 0) err_ << (keep ? std::string("\n") : '\r' + std::string(width_, ' ') + '\r');
    width_ = 0;
}

double ProgressLine::Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

} // namespace taonscope
