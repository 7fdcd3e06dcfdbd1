// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ScriptedQuestions.h"
#include "support/TempDir.h"

#include "ui/AboutBox.h"
#include "ui/AppState.h"
#include "ui/Application.h"
#include "ui/EditDlg.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <cstdlib>
#include <functional>
#include <memory>

namespace taonscope::test {

/// Turns the event loop until done() holds or ms milliseconds have passed; whether it holds.
template <typename Done> bool WaitFor(Done done, int ms = 20000) {
    QElapsedTimer guard;
    guard.start();
    while (!done() && guard.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

/// Types text into a box as a user does: a click into it, all of it selected, the keys, then Enter when
/// confirm is true (else the focus stays in the box).
inline void TypeInto(QLineEdit* box, const QString& text, bool confirm = true) {
    QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    QTest::keyClicks(box, text);
    if (confirm) QTest::keyClick(box, Qt::Key_Return);
}

/// The program's three windows over fresh state, with a start pointer file in a temporary folder and
/// the modal questions answered from a script.
struct UiProgram {
    TempDir dir;
    AppState state;
    ScriptedQuestions questions;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TEditDlg> edit;
    std::unique_ptr<TAboutBox> about;

    /// Before the windows are created, prepare may write files (the start pointer, configurations).
    explicit UiProgram(const std::function<void(UiProgram&)>& prepare = {}) {
        state.document.StartPointerFile = PointerPath();
        if (prepare) prepare(*this);
        main = std::make_unique<TMainForm>(state, questions);
        edit = std::make_unique<TEditDlg>(state, questions, main.get());
        about = std::make_unique<TAboutBox>(main.get());
        main->SetDialogs(edit.get(), about.get());
    }

    std::string PointerPath() const { return dir.File("config/taonscope/Start.-ts-"); }

    /// Taon mode with world installed as if it had been opened (the run state stays as it is).
    void Install(const World& world) {
        main->Daons1Click();
        const bool stopped = state.world.Stopped;
        state.world = world;
        state.world.Stopped = stopped;
        SyncCopiesFromCurrent(state.world);
        main->DrawTaons();
    }

    /// Runs until at least `steps` steps are made (20 s at most), then presses Stop.
    void RunAtLeast(long long steps) {
        main->GoClick();
        QElapsedTimer guard;
        guard.start();
        while (main->RunSteps() < steps && guard.elapsed() < 20000) QCoreApplication::processEvents();
        main->GoClick();
        QCoreApplication::processEvents();
    }

    /// Shows the main window and makes it the active one, as a user sees it.
    void Show() {
        main->show();
        QApplication::setActiveWindow(main.get());
        QVERIFY2(QTest::qWaitForWindowActive(main.get()), "the main window did not become active");
    }
};

/// How many pixels of image have the colour.
inline int CountColour(const QImage& image, Rgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == qRgb(colour.r, colour.g, colour.b);
    return count;
}

} // namespace taonscope::test

/// A QtTest main on the offscreen platform whose home and configuration folders are temporary, so that
/// no test reaches the user's own files.
#define TAONSCOPE_QTEST_MAIN(TestClass)                                                                      \
    int main(int argc, char** argv) {                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");         \
        taonscope::test::TempDir home;                                                                       \
        qputenv("HOME", home.path().string().c_str());                                                       \
        qputenv("XDG_CONFIG_HOME", (home.path() / "config").string().c_str());                               \
        taonscope::TApplication application(argc, argv);                                                     \
        TestClass test;                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
