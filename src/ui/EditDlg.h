#pragma once

#include "AppState.h"
#include "Questions.h"

#include <QDialog>

namespace taonscope {

/// The editor of taons and parameters, opened by File > New.
class TEditDlg : public QDialog {
public:
    TEditDlg(AppState& state, Questions& questions, QWidget* parent = nullptr);

private:
    AppState& state_;
    Questions& questions_;
};

} // namespace taonscope
