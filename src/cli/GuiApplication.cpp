// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiApplication.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace taonscope {

void EnsureGuiApplication() {
    if (QGuiApplication::instance()) return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "taonscope-cli";
    static char* argv[] = {name, nullptr};
    // The offscreen platform's note about a missing runtime folder is no concern of a picture.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
        if (!message.startsWith(QStringLiteral("QStandardPaths:")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    static QGuiApplication application(argc, argv);
}

} // namespace taonscope
