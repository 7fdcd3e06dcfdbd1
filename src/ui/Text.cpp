// SPDX-License-Identifier: GPL-3.0-or-later
#include "Text.h"

#include "core/NumberText.h"

#include <QFile>
#include <QLocale>

namespace taonscope {

char DecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode()) : '.';
}

QString RealText(Extended value) {
    return QString::fromStdString(FormatReal(value, DecimalSeparator()));
}

void ShowText(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    edit->setCursorPosition(0);
}

Extended ReadReal(const QString& text) {
    return ParseReal(text.toStdString(), DecimalSeparator());
}

QFont SansFont(int pointSize) {
    QFont font;
    font.setFamilies(
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    return font;
}

QFont SerifFont(int pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPointSize(pointSize);
    return font;
}

std::string ToPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString FromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToLocalText(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

QString FromLocalText(const std::string& text) {
    return QString::fromLocal8Bit(QByteArray::fromStdString(text));
}

} // namespace taonscope
