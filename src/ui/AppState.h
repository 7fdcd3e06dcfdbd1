// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"
#include "document/ConfigFile.h"
#include "document/TextEncoding.h"
#include "view/ViewState.h"

#include <optional>
#include <string>

namespace taonscope {

/// Which configuration the window holds and under which names.
struct DocumentState {
    std::string StartPointerFile; ///< fixed path of the start pointer file
    std::string CurrentFileName;  ///< the path Save writes; the commentary sits beside it
    std::string StartFileName;    ///< the path last read from or written to the start pointer file
    bool CurrentIsFile = false;   ///< false while CurrentFileName names no file of its own
    bool CommentChanged = false;  ///< the commentary changed since the last save question
    std::string ExampleFileName;  ///< the shipped example last opened; never written
    ConfigRecord ConfigBuffer{};  ///< the record every read and write goes through
    TextEncoding CommentEncoding = TextEncoding::Utf8; ///< the encoding the memo's commentary came in
    TextEncoding OldCommentEncoding = DefaultCodePage; ///< the code page of commentaries that are not UTF-8
};

/// Everything the program holds for the whole run, owned by the application and passed by reference.
struct AppState {
    World world;
    ViewState view;
    DocumentState document;
    /// A frame the scene, the listing and the instruments show in place of the world (the Player's);
    /// the world is not changed by it.
    std::optional<World> shownFrame;
};

/// The world the scene, the listing and the instruments show: the shown frame, else the world.
inline const World& ShownWorld(const AppState& state) {
    return state.shownFrame ? *state.shownFrame : state.world;
}

} // namespace taonscope
