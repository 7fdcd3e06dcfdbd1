// SPDX-License-Identifier: GPL-3.0-or-later
// Commentaries in UTF-8 and in the single-byte code pages: what the memo shows, what is saved, and the
// memo's choice of code page.
#include "support/UiProgram.h"

#include "core/Scenarios.h"
#include "document/ConfigFile.h"
#include "document/StartPointer.h"
#include "ui/CommentaryEncoding.h"

#include "ui/ViewSettings.h"

#include <QSettings>
#include <QTimer>
#include <QtTest>

using namespace taonscope;
using taonscope::test::ReadAll;
using taonscope::test::UiProgram;
using taonscope::test::WriteAll;

namespace {

// "Структура из шести таонов", CR LF, "Ещё одна строка" in Windows-1251.
const std::string Cyrillic1251 =
    "\xD1\xF2\xF0\xF3\xEA\xF2\xF3\xF0\xE0\x20\xE8\xE7\x20\xF8\xE5\xF1\xF2\xE8\x20\xF2"
    "\xE0\xEE\xED\xEE\xE2\x0D\x0A\xC5\xF9\xB8\x20\xEE\xE4\xED\xE0\x20\xF1\xF2\xF0\xEE"
    "\xEA\xE0";
const QString CyrillicText = QStringLiteral("Структура из шести таонов\nЕщё одна строка");
// "Zażółć gęślą jaźń: łąż" in Windows-1250.
const std::string Polish1250 =
    "\x5A\x61\xBF\xF3\xB3\xE6\x20\x67\xEA\x9C\x6C\xB9\x20\x6A\x61\x9F\xF1\x3A\x20\xB3\xB9\xBF";
const QString PolishText = QStringLiteral("Zażółć gęślą jaźń: łąż");
// "Структура из шести таонов", CR LF, "ё" in UTF-8.
const std::string CyrillicUtf8 =
    "\xD0\xA1\xD1\x82\xD1\x80\xD1\x83\xD0\xBA\xD1\x82\xD1\x83\xD1\x80\xD0\xB0\x20\xD0"
    "\xB8\xD0\xB7\x20\xD1\x88\xD0\xB5\xD1\x81\xD1\x82\xD0\xB8\x20\xD1\x82\xD0\xB0\xD0"
    "\xBE\xD0\xBD\xD0\xBE\xD0\xB2\x0D\x0A\xD1\x91";
// "Grüße" in UTF-8, then "café" in Windows-1252.
const std::string Mixed = "\x47\x72\xC3\xBC\xC3\x9F\x65\x20\x63\x61\x66\xE9";

// Opens path.tao (a ring) with the commentary bytes beside it.
void OpenWithCommentary(UiProgram& p, const std::string& name, const std::optional<std::string>& bytes) {
    ConfigRecord buffer{};
    WriteConfigFile(p.dir.File(name + ".tao"), RingWorld(), buffer);
    if (bytes) WriteAll(p.dir.File(name + ".txt"), *bytes);
    p.questions.openAnswers.push_back(p.dir.File(name + ".tao"));
    p.main->Open1Click();
}

// Leaves the memo answering Yes to "Save now?" and then the answers given.
void SaveMemo(UiProgram& p, std::initializer_list<bool> moreAnswers = {}) {
    p.state.document.CommentChanged = true;
    p.questions.confirmAnswers.push_back(true);
    for (const bool answer : moreAnswers) p.questions.confirmAnswers.push_back(answer);
    p.main->CommentExit();
}

QAction* Choice(UiProgram& p, TextEncoding codePage) {
    for (QAction* action : p.main->OldEncodings->actions())
        if (action->data().toString().toStdString() == EncodingName(codePage)) return action;
    return nullptr;
}

TextEncoding Checked(UiProgram& p) {
    TextEncoding found = TextEncoding::Utf8;
    int checked = 0;
    for (const TextEncoding codePage : CodePages)
        if (Choice(p, codePage)->isChecked()) found = codePage, ++checked;
    return checked == 1 ? found : TextEncoding::Utf8;
}

const std::string SaveNow = "The text was changed. Save now?";
const std::string AsUtf8From1251 =
    "The commentary has characters that Windows-1251 does not have. Save it as UTF-8 instead?";

} // namespace

class CommentaryEncodingTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ProgramSettings().clear(); }

    void theMemoOffersTheFourCodePagesWindows1251First() {
        UiProgram p;
        QCOMPARE(p.main->OldEncodings->title(), QStringLiteral("Encoding of Old Commentaries"));
        const QList<QAction*> actions = p.main->OldEncodings->actions();
        QCOMPARE(actions.size(), 4);
        QCOMPARE(actions[0]->text(), QStringLiteral("Windows-1251 (Cyrillic)"));
        QCOMPARE(actions[3]->text(), QStringLiteral("KOI8-R (Cyrillic)"));
        QCOMPARE(Checked(p), TextEncoding::Windows1251);
        QCOMPARE(p.state.document.OldCommentEncoding, TextEncoding::Windows1251);
        Choice(p, TextEncoding::Windows1252)->trigger();
        QCOMPARE(Checked(p), TextEncoding::Windows1252); // one choice at a time

        QMenu* menu = MakeCommentContextMenu(p.main->Comment, p.main->OldEncodings);
        QCOMPARE(menu->actions().last()->menu(), p.main->OldEncodings);
        QVERIFY(menu->actions().size() > 3); // the memo's editing commands stay
        delete menu;
        QCOMPARE(p.main->Comment->contextMenuPolicy(), Qt::CustomContextMenu);

        // The memo's own context menu carries the submenu, and closing it keeps the submenu.
        p.Show();
        QMenu* submenu = nullptr;
        QTimer::singleShot(0, [&] {
            if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                submenu = popup->actions().last()->menu();
                popup->close();
            }
        });
        emit p.main->Comment->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(submenu, p.main->OldEncodings);
        QCOMPARE(p.main->OldEncodings->actions().size(), 4);
    }

    void eachCommentaryIsShownAndSavedBackByteForByte() {
        struct Case {
            std::string bytes;
            TextEncoding choice;
            QString shown;
            TextEncoding cameIn;
        };
        const Case cases[] = {
            {Cyrillic1251, TextEncoding::Windows1251, CyrillicText, TextEncoding::Windows1251},
            {Polish1250 + "\r\n", TextEncoding::Windows1250, PolishText + "\n", TextEncoding::Windows1250},
            {CyrillicUtf8, TextEncoding::Windows1250, QStringLiteral("Структура из шести таонов\nё"),
             TextEncoding::Utf8},
            {Mixed, TextEncoding::Windows1252, QStringLiteral("GrÃ¼ÃŸe café"), TextEncoding::Windows1252},
            {Mixed, TextEncoding::Windows1251, QStringLiteral("GrГјГџe cafй"), TextEncoding::Windows1251},
        };
        for (const Case& c : cases) {
            UiProgram p;
            Choice(p, c.choice)->trigger();
            OpenWithCommentary(p, "c", c.bytes);
            QCOMPARE(p.main->Comment->toPlainText(), c.shown);
            QCOMPARE(p.state.document.CommentEncoding, c.cameIn);
            WriteAll(p.dir.File("c.txt"), "replaced");
            SaveMemo(p);
            QCOMPARE(p.questions.confirmations, std::vector<std::string>{SaveNow});
            QCOMPARE(ReadAll(p.dir.File("c.txt")), c.bytes);
        }
    }

    void startUpReadsTheCommentaryInTheRememberedCodePage() {
        {
            UiProgram first;
            Choice(first, TextEncoding::Windows1250)->trigger();
        }
        UiProgram p([](UiProgram& q) {
            ConfigRecord buffer{};
            WriteConfigFile(q.dir.File("pl.tao"), RingWorld(), buffer);
            WriteAll(q.dir.File("pl.txt"), Polish1250);
            WriteStartPointer(q.PointerPath(), q.dir.File("pl.tao"));
        });
        QCOMPARE(Checked(p), TextEncoding::Windows1250);
        QCOMPARE(p.main->Comment->toPlainText(), PolishText);
        QCOMPARE(p.state.document.CommentEncoding, TextEncoding::Windows1250);
    }

    void anEditTheCodePageCannotHoldMayBeSavedAsUtf8() {
        UiProgram p;
        OpenWithCommentary(p, "c", Cyrillic1251);
        p.main->Comment->setPlainText(CyrillicText + QStringLiteral("\nłąż"));
        SaveMemo(p, {false}); // No to UTF-8: nothing is written
        QCOMPARE(p.questions.confirmations, (std::vector<std::string>{SaveNow, AsUtf8From1251}));
        QCOMPARE(ReadAll(p.dir.File("c.txt")), Cyrillic1251);
        QCOMPARE(p.state.document.CommentEncoding, TextEncoding::Windows1251);

        SaveMemo(p, {true});
        QCOMPARE(ReadAll(p.dir.File("c.txt")),
                 std::string("Структура из шести таонов\r\nЕщё одна строка\r\nłąż"));
        QCOMPARE(p.state.document.CommentEncoding, TextEncoding::Utf8);
        SaveMemo(p); // UTF-8 from now on: no further question
        QCOMPARE(p.questions.confirmations.size(), std::size_t{5});

        // An edit the code page can hold stays in it without a question.
        OpenWithCommentary(p, "d", Cyrillic1251);
        p.main->Comment->setPlainText(QStringLiteral("Ёж"));
        p.questions.confirmations.clear();
        SaveMemo(p);
        QCOMPARE(p.questions.confirmations, std::vector<std::string>{SaveNow});
        QCOMPARE(ReadAll(p.dir.File("d.txt")), std::string("\xA8\xE6"));
    }

    void aNewCommentaryIsWrittenAsUtf8() {
        UiProgram p;
        OpenWithCommentary(p, "old", Cyrillic1251);
        OpenWithCommentary(p, "new", std::nullopt); // the memo keeps the old text
        QCOMPARE(p.main->Comment->toPlainText(), CyrillicText);
        SaveMemo(p);
        QCOMPARE(ReadAll(p.dir.File("new.txt")), std::string("Структура из шести таонов\r\nЕщё одна строка"));
        QCOMPARE(p.questions.confirmations, std::vector<std::string>{SaveNow});
    }

    void changingTheChoiceReadsADecodedCommentaryAgain() {
        UiProgram p;
        OpenWithCommentary(p, "pl", Polish1250);
        QCOMPARE(p.main->Comment->toPlainText(), QStringLiteral("Zaїуіж gкњl№ jaџс: і№ї"));
        Choice(p, TextEncoding::Windows1250)->trigger();
        QCOMPARE(p.main->Comment->toPlainText(), PolishText);
        QCOMPARE(p.state.document.CommentEncoding, TextEncoding::Windows1250);
        QVERIFY(p.questions.confirmations.empty());

        // With an edit in the memo the user is asked first; No keeps the edit and its encoding.
        p.main->Comment->setPlainText(PolishText + QStringLiteral(" edited"));
        p.questions.confirmAnswers.push_back(false);
        Choice(p, TextEncoding::Windows1252)->trigger();
        QCOMPARE(p.questions.confirmations,
                 std::vector<std::string>{
                     "The commentary was changed. Read it again as Windows-1252 and lose the change?"});
        QCOMPARE(p.main->Comment->toPlainText(), PolishText + QStringLiteral(" edited"));
        QCOMPARE(p.state.document.CommentEncoding, TextEncoding::Windows1250);
        QCOMPARE(p.state.document.OldCommentEncoding, TextEncoding::Windows1252);

        p.questions.confirmAnswers.push_back(true);
        Choice(p, TextEncoding::Windows1251)->trigger();
        QCOMPARE(p.questions.confirmations.size(), std::size_t{2});
        QCOMPARE(p.main->Comment->toPlainText(), QStringLiteral("Zaїуіж gкњl№ jaџс: і№ї"));
        QCOMPARE(p.state.document.CommentEncoding, TextEncoding::Windows1251);
    }

    void aUtf8CommentaryIsNotReadAgain() {
        UiProgram p;
        OpenWithCommentary(p, "u", CyrillicUtf8);
        p.main->Comment->setPlainText(QStringLiteral("edited"));
        Choice(p, TextEncoding::Koi8R)->trigger();
        QCOMPARE(p.main->Comment->toPlainText(), QStringLiteral("edited"));
        QVERIFY(p.questions.confirmations.empty());
        QCOMPARE(ProgramSettings().value(QStringLiteral("Commentary/OldEncoding")).toString(),
                 QStringLiteral("KOI8-R"));
    }
};

TAONSCOPE_QTEST_MAIN(CommentaryEncodingTest)
#include "CommentaryEncodingTest.moc"
