// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutBox.h"
#include "AppState.h"
#include "Application.h"
#include "DialogQuestions.h"
#include "EditDlg.h"
#include "MainForm.h"
#include "ProgramArguments.h"

#include "document/StartPointer.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <iostream>

namespace {

int Print(const taonscope::ProgramArguments& arguments) {
    (arguments.status == 0 ? std::cout : std::cerr) << *arguments.print;
    return arguments.status;
}

} // namespace

int main(int argc, char** argv) {
    // --version and --help need no display: they are answered before the application exists.
    const std::vector<std::string> given(argv + 1, argv + argc);
    if (given.size() == 1 && given[0].starts_with("-") && !given[0].starts_with("-platform"))
        return Print(taonscope::ReadProgramArguments(given));
    taonscope::TApplication application(argc, argv); // takes Qt's own options (-platform ...) out of argv
    const taonscope::ProgramArguments arguments =
        taonscope::ReadProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (arguments.print) return Print(arguments);
    taonscope::NameApplication();

    taonscope::AppState state;
    state.document.StartPointerFile = taonscope::DefaultStartPointerPath();
    taonscope::DialogQuestions questions;
    application.onUncaughtError = [&](const std::string& text) { questions.Error(text); };

    taonscope::TMainForm MainForm(state, questions);
    questions.SetParent(&MainForm);
    taonscope::TEditDlg EditDlg(state, questions, &MainForm);
    taonscope::TAboutBox AboutBox(&MainForm);
    MainForm.SetDialogs(&EditDlg, &AboutBox);

    MainForm.move(MainForm.screen()->availableGeometry().center() - MainForm.rect().center());
    MainForm.show();
    // Once the window shows, so that an error box has it to stand on.
    if (arguments.file) QTimer::singleShot(0, &MainForm, [&] { MainForm.OpenGiven(*arguments.file); });
    return QApplication::exec();
}
