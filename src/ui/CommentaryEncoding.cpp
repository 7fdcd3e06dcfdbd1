// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommentaryEncoding.h"

#include "Text.h"

#include "document/Commentary.h"

#include "ViewSettings.h"
#include <QActionGroup>

#include <QSettings>

namespace taonscope {

namespace {

const QString SettingKey = QStringLiteral("Commentary/OldEncoding");

QString Caption(TextEncoding codePage) {
    switch (codePage) {
    case TextEncoding::Windows1251:
        return QStringLiteral("Windows-1251 (Cyrillic)");
    case TextEncoding::Windows1250:
        return QStringLiteral("Windows-1250 (Central European)");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252 (Western European)");
    case TextEncoding::Koi8R:
        return QStringLiteral("KOI8-R (Cyrillic)");
    case TextEncoding::Utf8:
        break;
    }
    return QStringLiteral("UTF-8");
}

} // namespace

TextEncoding StoredOldCommentEncoding() {
    const QString name = ProgramSettings().value(SettingKey).toString();
    const std::optional<TextEncoding> found = FindEncoding(name.toStdString());
    return found && *found != TextEncoding::Utf8 ? *found : DefaultCodePage;
}

void StoreOldCommentEncoding(TextEncoding codePage) {
    ProgramSettings().setValue(SettingKey, QString::fromStdString(EncodingName(codePage)));
}

QMenu* MakeOldEncodingMenu(QWidget* parent, TextEncoding chosen, std::function<void(TextEncoding)> onChoose) {
    auto* menu = new QMenu(QString::fromLatin1(OldEncodingMenuCaption), parent);
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    for (const TextEncoding codePage : CodePages) {
        QAction* action = menu->addAction(Caption(codePage));
        action->setCheckable(true);
        action->setChecked(codePage == chosen);
        action->setData(QString::fromStdString(EncodingName(codePage)));
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, menu, [onChoose, codePage] { onChoose(codePage); });
    }
    return menu;
}

QMenu* MakeCommentContextMenu(QPlainTextEdit* memo, QMenu* extra) {
    QMenu* menu = memo->createStandardContextMenu();
    menu->addSeparator();
    menu->addMenu(extra);
    return menu;
}

void InstallCommentContextMenu(QPlainTextEdit* memo, QMenu* extra) {
    memo->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(memo, &QWidget::customContextMenuRequested, memo, [memo, extra](const QPoint& position) {
        QMenu* menu = MakeCommentContextMenu(memo, extra);
        menu->exec(memo->viewport()->mapToGlobal(position));
        delete menu; // the submenu belongs to the window and stays
    });
}

// UTF-8 keeps the conversion the memo always used, so that such commentaries look as they did.
std::optional<QString> ReadMemoCommentary(const std::string& path, DocumentState& document) {
    const std::optional<DetectedText> commentary = LoadCommentaryText(path, document.OldCommentEncoding);
    if (!commentary) {
        document.CommentEncoding = TextEncoding::Utf8;
        return std::nullopt;
    }
    document.CommentEncoding = commentary->Encoding;
    if (commentary->Encoding == TextEncoding::Utf8) return FromLocalText(commentary->Text);
    return QString::fromStdString(commentary->Text);
}

void SaveMemoCommentary(const std::string& path, const QString& text, DocumentState& document,
                        Questions& questions) {
    if (document.CommentEncoding != TextEncoding::Utf8) {
        if (SaveCommentaryText(path, text.toStdString(), document.CommentEncoding)) return;
        if (!questions.Confirm("The commentary has characters that " +
                               EncodingName(document.CommentEncoding) +
                               " does not have. Save it as UTF-8 instead?"))
            return;
    }
    SaveCommentary(path, ToLocalText(text));
    document.CommentEncoding = TextEncoding::Utf8;
}

bool ChooseOldCommentEncoding(TextEncoding codePage, const QString& memoText, DocumentState& document,
                              Questions& questions) {
    document.OldCommentEncoding = codePage;
    StoreOldCommentEncoding(codePage);
    if (document.CommentEncoding == TextEncoding::Utf8 || document.CommentEncoding == codePage) return false;
    // The memo holds a change when its text is not the file's as it was read.
    const std::optional<DetectedText> onFile =
        LoadCommentaryText(document.CurrentFileName, document.CommentEncoding);
    if (!onFile) return false;
    if (QString::fromStdString(onFile->Text) == memoText) return true;
    return questions.Confirm("The commentary was changed. Read it again as " + EncodingName(codePage) +
                             " and lose the change?");
}

} // namespace taonscope
