// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Questions.h"

class QWidget;

namespace taonscope {

/// The modal questions answered by the user through Qt's dialogs.
class DialogQuestions : public Questions {
public:
    /// Questions whose dialogs are centred on parent (may be null).
    explicit DialogQuestions(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    std::optional<std::string> OpenPath() override;
    std::optional<std::string> SavePath() override;
    std::optional<std::string> OpenFilePath(FileKind kind) override;
    std::optional<std::string> SaveFilePath(FileKind kind) override;
    void Information(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    void Error(const std::string& text) override;

private:
    QWidget* parent_;
};

} // namespace taonscope
