#include "EditDlg.h"

namespace taonscope {

TEditDlg::TEditDlg(AppState& state, Questions& questions, QWidget* parent)
    : QDialog(parent), state_(state), questions_(questions) {
    setObjectName(QStringLiteral("EditDlg"));
    setWindowTitle(QStringLiteral(" Editing of gravon's values"));
    setFixedSize(787, 447);
}

} // namespace taonscope
