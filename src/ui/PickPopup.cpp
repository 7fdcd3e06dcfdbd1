// SPDX-License-Identifier: GPL-3.0-or-later
#include "PickPopup.h"

#include "Text.h"

#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace taonscope {

namespace {

constexpr int Gap = 8; // pixels between the picked dot and the panel

} // namespace

PickPopup::PickPopup(QWidget* parent) : QFrame(parent), label_(new QLabel(this)) {
    setObjectName(QStringLiteral("PickPopup"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("PickPopup { background: #ffffe1; border: 1px solid black; } "
                                 "QLabel { color: black; }"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(label_);
    hide();
}

void PickPopup::ShowTaon(const World& world, int slot, QPoint near) {
    const int j = std::clamp(slot, 1, MaxTaons);
    if (j != picked_) before_ = picked_, picked_ = j;
    QStringList lines;
    lines << QStringLiteral("Taon %1, kind %2").arg(j).arg(TaonKind(world, j));
    const char* names[6] = {"X", "Y", "Z", "u(x)", "u(y)", "u(z)"};
    const TaonArray* arrays[6] = {&world.PosX, &world.PosY, &world.PosZ,
                                  &world.VelX, &world.VelY, &world.VelZ};
    for (int n = 0; n < 6; ++n)
        lines << QString::fromLatin1(names[n]) + QStringLiteral(" = ") + RealText((*arrays[n])[j]);
    if (describe) lines << describe(world, j);
    if (before_ != 0 && world.TaonPresent[before_]) {
        const Extended dx = world.PosX[j] - world.PosX[before_], dy = world.PosY[j] - world.PosY[before_],
                       dz = world.PosZ[j] - world.PosZ[before_];
        lines << QStringLiteral("Distance to %1 = ").arg(before_) +
                     RealText(std::sqrt((dx * dx + dy * dy) + dz * dz));
    }
    label_->setText(lines.join(QLatin1Char('\n')));
    adjustSize();
    // Right of and below the dot, or on the other side where the scene ends.
    const QSize area = parentWidget() ? parentWidget()->size() : size();
    int x = near.x() + Gap, y = near.y() + Gap;
    if (x + width() > area.width()) x = near.x() - Gap - width();
    if (y + height() > area.height()) y = near.y() - Gap - height();
    move(std::max(x, 0), std::max(y, 0));
    show();
    raise();
}

void PickPopup::DocumentReplaced(const World&) {
    hide();
    picked_ = before_ = 0;
}

} // namespace taonscope
