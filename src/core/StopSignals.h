// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>

namespace taonscope {

/// While one lives, SIGINT and SIGTERM do not end the program: they are noted for StopSignal, and they
/// interrupt a call that waits (the handler does not restart it), so that a long job can end cleanly.
class StopOnSignals {
public:
    StopOnSignals();
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;
    ~StopOnSignals();

private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

/// The signal (SIGINT or SIGTERM) that arrived since the last StopOnSignals began, or 0.
int StopSignal();

} // namespace taonscope
