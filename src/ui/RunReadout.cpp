// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunReadout.h"

#include "analysis/Measures.h"

#include <QString>

namespace taonscope {

namespace {

std::string Short(long double value) {
    return QString::number(static_cast<double>(value), 'g', 6).toStdString();
}

std::string Short(const Quantity& quantity) {
    return quantity.Valid() ? Short(quantity.Value) : std::string("n/a");
}

} // namespace

RunReadout::RunReadout(std::function<void()> redraw, QObject* parent)
    : QObject(parent), redraw_(std::move(redraw)), hide_(new QTimer(this)) {
    hide_->setSingleShot(true);
    hide_->setInterval(ShownAfterMs);
    connect(hide_, &QTimer::timeout, this, [this] {
        shown_ = false;
        if (enabled_ && redraw_) redraw_();
    });
}

const std::vector<std::string>& RunReadout::Lines(const World& world) {
    if (!enabled_ || !shown_) return none_;
    if (stale_ || (running_ && sinceRefresh_.elapsed() >= RefreshMs)) Compose(world);
    return lines_;
}

void RunReadout::Compose(const World& world) {
    const double seconds = sinceRefresh_.isValid() ? sinceRefresh_.nsecsElapsed() * 1e-9 : 0;
    if (running_ && seconds > 0.02) rate_ = static_cast<double>(runSteps_ - stepsAtRefresh_) / seconds;
    sinceRefresh_.start();
    stepsAtRefresh_ = runSteps_;
    stale_ = false;
    lines_ = {
        "run " + std::to_string(runSteps_) + " steps, " + std::to_string(world.StepCounter) + " in all",
        "time " + Short(runTime_),
        std::to_string(static_cast<long long>(rate_ + 0.5)) + " steps/s",
        "K " + Short(KineticEnergy(world)),
        "largest speed " + Short(LargestSpeed(world)),
    };
}

void RunReadout::RunStarted(const World&) {
    hide_->stop();
    shown_ = running_ = stale_ = true;
    runSteps_ = stepsAtRefresh_ = 0;
    runTime_ = 0;
    rate_ = 0;
    sinceRefresh_.start();
}

void RunReadout::StepDone(const World& world) {
    ++runSteps_;
    runTime_ += world.dt;
}

void RunReadout::RunEnded(const World& world) {
    if (!running_) return;
    Compose(world); // the run's last numbers stay while the readout does
    running_ = false;
    hide_->start();
    // The last picture of the run may show numbers up to RefreshMs old, or none of this run's yet.
    if (enabled_ && redraw_) redraw_();
}

void RunReadout::DocumentReplaced(const World&) {
    if (running_) return; // the run goes on in the new document
    shown_ = false;
    hide_->stop();
}

} // namespace taonscope
