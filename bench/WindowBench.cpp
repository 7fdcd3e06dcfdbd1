// SPDX-License-Identifier: GPL-3.0-or-later
// Steps per second that the main window makes and draws during a run of the 100-taon cloud: each
// iteration runs the window's own event loop for one second (Go, one second, Stop), with the picture
// and, where asked, the listing redrawn after every batch of steps as a user sees them.
//   xvfb-run -a build/bench/window_bench       # on an X server
//   build/bench/window_bench                   # on the offscreen platform
#include "core/Scenarios.h"
#include "ui/AppState.h"
#include "ui/Application.h"
#include "ui/DialogQuestions.h"
#include "ui/MainForm.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace taonscope {
namespace {

std::filesystem::path scratch; // the home folder of this run: no user file is read or written

void WindowRun(benchmark::State& state, bool listing, bool sameSets) {
    AppState app;
    app.document.StartPointerFile = (scratch / "Start.-ts-").string();
    DialogQuestions questions;
    TMainForm form(app, questions);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    form.Daons1Click();
    const bool stopped = app.world.Stopped;
    app.world = CloudWorld(1, sameSets);
    app.world.Stopped = stopped;
    SyncCopiesFromCurrent(app.world);
    form.ShowList->setChecked(listing);
    form.DrawTaons();
    QCoreApplication::processEvents();

    long long steps = 0;
    double seconds = 0, best = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        const long long before = app.world.StepCounter;
        clock.start();
        form.GoClick();
        while (clock.elapsed() < 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        form.GoClick();
        QCoreApplication::processEvents();
        const double second = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        const long long made = app.world.StepCounter - before;
        seconds += second;
        steps += made;
        best = std::max(best, static_cast<double>(made) / second);
    }
    // All seconds together, and the best one: on a machine shared with others they differ by a third.
    state.counters["steps/s"] = static_cast<double>(steps) / seconds;
    state.counters["best_steps/s"] = best;
}

// Five seconds of running each.
void FiveSeconds(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
}

BENCHMARK_CAPTURE(WindowRun, FigureSetsListingShown, true, true)->Apply(FiveSeconds);
BENCHMARK_CAPTURE(WindowRun, ThreeSetsListingShown, true, false)->Apply(FiveSeconds);
BENCHMARK_CAPTURE(WindowRun, ThreeSetsListingHidden, false, false)->Apply(FiveSeconds);

} // namespace
} // namespace taonscope

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::string pattern = (std::filesystem::temp_directory_path() / "taonscope-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return 1;
    taonscope::scratch = pattern;
    qputenv("HOME", pattern.c_str());
    qputenv("XDG_CONFIG_HOME", (taonscope::scratch / "config").string().c_str());

    taonscope::TApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(taonscope::scratch, ignored);
    return 0;
}
