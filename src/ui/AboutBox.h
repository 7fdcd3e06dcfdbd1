#pragma once

#include <QDialog>

namespace taonscope {

/// The about box: the program's name and version, closed with OK.
class TAboutBox : public QDialog {
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace taonscope
