// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/Questions.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace taonscope::test {

/// Answers the program's modal questions from a script and records what was asked. A file question
/// with no scripted answer is cancelled; a confirmation with none is answered No.
class ScriptedQuestions : public Questions {
public:
    std::deque<std::optional<std::string>> openAnswers, saveAnswers;
    std::deque<std::optional<std::string>> openFileAnswers, saveFileAnswers; ///< files of other kinds
    std::vector<FileKind> fileKindsAsked;                                    ///< kinds of those questions
    std::deque<bool> confirmAnswers;
    std::vector<std::string> informations, confirmations, errors;
    int openAsked = 0, saveAsked = 0;

    std::optional<std::string> OpenPath() override {
        ++openAsked;
        return Next(openAnswers);
    }
    std::optional<std::string> SavePath() override {
        ++saveAsked;
        return Next(saveAnswers);
    }
    std::optional<std::string> OpenFilePath(FileKind kind) override {
        fileKindsAsked.push_back(kind);
        return Next(openFileAnswers);
    }
    std::optional<std::string> SaveFilePath(FileKind kind) override {
        fileKindsAsked.push_back(kind);
        return Next(saveFileAnswers);
    }
    void Information(const std::string& text) override { informations.push_back(text); }
    bool Confirm(const std::string& text) override {
        confirmations.push_back(text);
        if (confirmAnswers.empty()) return false;
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    void Error(const std::string& text) override { errors.push_back(text); }

    /// The last error shown, or "" when none was.
    std::string LastError() const { return errors.empty() ? std::string() : errors.back(); }

private:
    static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace taonscope::test
