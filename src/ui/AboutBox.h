// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace taonscope {

/// The about box: the program's name and version, closed with OK; shown in the middle of the screen.
class TAboutBox : public QDialog {
public:
    explicit TAboutBox(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace taonscope
