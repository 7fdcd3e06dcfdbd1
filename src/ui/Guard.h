#pragma once

#include "Questions.h"

#include "core/Errors.h"

#include <exception>
#include <new>

namespace taonscope {

/// Runs a handler; any error it raises becomes the error box, so that no exception reaches the event
/// loop. Returns false when the handler failed.
template <typename Handler> bool Guarded(Questions& questions, Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const TaonError& error) {
        questions.Error(ErrorBoxText(error.what()));
    } catch (const std::bad_alloc&) {
        questions.Error(ErrorBoxText("Out of memory"));
    } catch (const std::exception& error) {
        questions.Error(ErrorBoxText(error.what()));
    }
    return false;
}

} // namespace taonscope
