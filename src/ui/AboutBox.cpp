// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutBox.h"

#include "Text.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace taonscope {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(343, 222);

    auto* panel = new QFrame(this);
    panel->setGeometry(8, 8, 329, 169);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(2);
    const QPixmap icon = style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(33, 33);
    for (int x : {16, 280}) {
        auto* image = new QLabel(panel);
        image->setGeometry(x, 16, 33, 33);
        image->setPixmap(icon);
    }
    auto* productName = new QLabel(QStringLiteral("Taonscope"), panel);
    productName->setObjectName(QStringLiteral("ProductName"));
    productName->setFont(SerifFont(18));
    productName->setStyleSheet(QStringLiteral("color: red;"));
    productName->move(107, 16);
    productName->adjustSize();
    auto* version = new QLabel(QStringLiteral("Version 1.1"), panel);
    version->setObjectName(QStringLiteral("Version"));
    version->move(136, 48);
    version->adjustSize();

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(135, 188, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

// A dialog is placed over its parent; this box belongs in the middle of the screen instead.
void TAboutBox::showEvent(QShowEvent* event) {
    const QScreen* where = parentWidget() ? parentWidget()->screen() : screen();
    if (where) {
        QRect frame = frameGeometry();
        frame.moveCenter(where->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

} // namespace taonscope
