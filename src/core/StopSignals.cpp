// SPDX-License-Identifier: GPL-3.0-or-later
#include "StopSignals.h"

namespace taonscope {

namespace {

volatile std::sig_atomic_t stopSignal = 0;

} // namespace

StopOnSignals::StopOnSignals() {
    stopSignal = 0;
    struct sigaction action {};
    action.sa_handler = [](int signal) { stopSignal = signal; };
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previousInt_);
    ::sigaction(SIGTERM, &action, &previousTerm_);
}

StopOnSignals::~StopOnSignals() {
    ::sigaction(SIGINT, &previousInt_, nullptr);
    ::sigaction(SIGTERM, &previousTerm_, nullptr);
}

int StopSignal() {
    return stopSignal;
}

} // namespace taonscope
