// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Extended.h"

#include <QFont>
#include <QLineEdit>
#include <QString>

#include <string>
#include <vector>

namespace taonscope {

/// The system's decimal separator (a full stop where it is not a single ASCII character).
char DecimalSeparator();

/// A real as the window shows it: the program's number format with the system's separator.
QString RealText(Extended value);

/// Puts text into an edit showing its beginning, as a narrow field should.
void ShowText(QLineEdit* edit, const QString& text);

/// Reads a real typed with the system's separator; fails with "'text' is not a valid floating point value".
Extended ReadReal(const QString& text);

/// The window fonts: "MS Sans Serif", "Times New Roman" and "MS Serif", or the faces that stand in for them
/// (same metrics where installed).
QFont SansFont(int pointSize);
QFont SerifFont(int pointSize); ///< see SansFont

/// A file path as the file routines take it (the system's file name encoding) and back.
std::string ToPath(const QString& path);
QString FromPath(const std::string& path); ///< see ToPath

/// Text in the system's code page, as commentary files hold it, and back.
std::string ToLocalText(const QString& text);
QString FromLocalText(const std::string& text); ///< see ToLocalText

} // namespace taonscope
