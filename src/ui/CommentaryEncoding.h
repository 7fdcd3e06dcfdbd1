// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppState.h"
#include "Questions.h"

#include "document/TextEncoding.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QString>

#include <functional>
#include <optional>
#include <string>

namespace taonscope {

/// The caption of the commentary memo's submenu of code pages.
inline constexpr const char* OldEncodingMenuCaption = "Encoding of Old Commentaries";

/// The code page chosen for commentaries that are not UTF-8, as remembered between sessions
/// (Windows-1251 until one is chosen).
TextEncoding StoredOldCommentEncoding();

/// Remembers codePage as the choice for commentaries that are not UTF-8.
void StoreOldCommentEncoding(TextEncoding codePage);

/// The submenu "Encoding of Old Commentaries": one checkable item per code page, only chosen checked;
/// choosing an item calls onChoose with its code page.
QMenu* MakeOldEncodingMenu(QWidget* parent, TextEncoding chosen, std::function<void(TextEncoding)> onChoose);

/// The memo's context menu: the editing commands of a text memo, then the submenu extra.
QMenu* MakeCommentContextMenu(QPlainTextEdit* memo, QMenu* extra);

/// Makes memo open MakeCommentContextMenu(memo, extra) as its context menu.
void InstallCommentContextMenu(QPlainTextEdit* memo, QMenu* extra);

/// The commentary of path as the memo shows it: UTF-8 as it is, anything else decoded from
/// document.OldCommentEncoding. Records the encoding it came in, UTF-8 when there is no commentary (a
/// new one); empty then.
std::optional<QString> ReadMemoCommentary(const std::string& path, DocumentState& document);

/// Saves text as the commentary of path in the encoding the commentary came in. When that code page
/// cannot hold a character of text, asks whether to write UTF-8 instead; No writes nothing.
void SaveMemoCommentary(const std::string& path, const QString& text, DocumentState& document,
                        Questions& questions);

/// Makes codePage the choice for old commentaries and remembers it. True when the memo should read the
/// present commentary again: it was decoded from another code page, and the memo holds no change of it
/// or the user agrees to lose the change.
bool ChooseOldCommentEncoding(TextEncoding codePage, const QString& memoText, DocumentState& document,
                              Questions& questions);

} // namespace taonscope
