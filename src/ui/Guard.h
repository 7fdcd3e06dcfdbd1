// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Questions.h"

#include "core/Errors.h"
#include "document/FileIo.h"

#include <exception>
#include <new>
#include <optional>
#include <string>

namespace taonscope {

/// The message of an error that is none of the program's own and carries no text.
inline constexpr const char* UnexpectedErrorText = "Unexpected error";

/// Runs a handler and returns the error box text of whatever it throws, or nothing when it succeeds.
template <typename Handler> std::optional<std::string> FailureOf(Handler&& handler) {
    try {
        handler();
        return std::nullopt;
    } catch (const TaonError& error) {
        return ErrorBoxText(error.what());
    } catch (const std::bad_alloc&) {
        return ErrorBoxText("Out of memory");
    } catch (const std::exception& error) {
        return ErrorBoxText(error.what());
    } catch (...) {
        return ErrorBoxText(UnexpectedErrorText);
    }
}

/// Runs a handler; any error it raises becomes the error box, so that no exception reaches the event
/// loop. Returns false when the handler failed.
template <typename Handler> bool Guarded(Questions& questions, Handler&& handler) {
    const std::optional<std::string> failure = FailureOf(std::forward<Handler>(handler));
    if (failure) questions.Error(*failure);
    return !failure;
}

/// Runs a save; when it meets a file that nobody may write, asks "PATH is read-only. Replace it?" and
/// on Yes runs it again, allowed to replace such files (a save refuses them before writing anything).
/// Returns false when the user said No.
template <typename Save> bool SaveAskingForReadOnly(Questions& questions, Save&& save) {
    try {
        save();
    } catch (const ReadOnlyFileError& error) {
        if (!questions.Confirm(error.Path() + " is read-only. Replace it?")) return false;
        const ReplacingReadOnlyFiles replacing;
        save();
    }
    return true;
}

} // namespace taonscope
