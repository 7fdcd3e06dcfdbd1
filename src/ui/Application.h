// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

#include <functional>
#include <string>

namespace taonscope {

/// Names the application "Taonscope". No display name is set: the platform would append it to every caption,
/// and each window's caption is exactly its own.
void NameApplication();

/// The application object. Every handler runs through the error guard; should an exception still
/// come out of one, it is shown here as a last resort instead of ending the program.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;
    /// Shows the error box text of an exception that no handler caught.
    std::function<void(const std::string&)> onUncaughtError;

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace taonscope
