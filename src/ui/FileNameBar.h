// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

namespace taonscope {

/// The file name bar: a line that names the configuration shown. While it holds its caption alone (no
/// configuration is loaded), its placeholder text is drawn in grey after the caption, not as text.
class FileNameBar : public QLineEdit {
public:
    /// A bar that starts with caption, the text it shows while no configuration is loaded.
    FileNameBar(const QString& caption, QWidget* parent);

    /// The placeholder text while it is shown, else empty.
    QString ShownHint() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};

/// The file name bar's placeholder for an examples menu of count entries: where the worked examples
/// are; empty when there are none.
QString ExamplesHint(qsizetype count);

} // namespace taonscope
