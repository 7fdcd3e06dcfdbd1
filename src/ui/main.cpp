// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutBox.h"
#include "AppState.h"
#include "Application.h"
#include "DialogQuestions.h"
#include "EditDlg.h"
#include "MainForm.h"

#include "document/StartPointer.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv) {
    taonscope::TApplication application(argc, argv);
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
    return QApplication::exec();
}
