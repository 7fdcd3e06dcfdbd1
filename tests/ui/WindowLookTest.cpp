// SPDX-License-Identifier: GPL-3.0-or-later
// What the windows show and how their fields take keys: captions, placement, readable numbers, the
// Delete key, the Cool box, the hints of Null00 and the range legends.
#include "support/UiProgram.h"

#include "ui/Application.h"
#include "ui/Text.h"

#include "core/Scenarios.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

using namespace taonscope;
using taonscope::test::UiProgram;

namespace {

// A key press as the platform delivers it, with the text it carries (Delete comes as "\x7f" on X11).
void Press(QLineEdit* edit, int key, const QString& text, Qt::KeyboardModifiers modifiers = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(edit, &release);
}

// The tooltip a widget shows when the mouse rests on it.
QString ShownHint(QWidget* widget) {
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(widget, &help);
    QToolTip::hideText();
    return widget->toolTip();
}

// True when the edit shows its whole text: with the cursor moved from the beginning to the end the text
// does not scroll, so the cursor travels the full width of the text.
bool ShowsWholeText(QLineEdit* edit) {
    edit->setCursorPosition(0);
    edit->grab();
    const int start = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    edit->setCursorPosition(static_cast<int>(edit->text().size()));
    edit->grab();
    const int end = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    edit->setCursorPosition(0);
    return end - start == edit->fontMetrics().horizontalAdvance(edit->text());
}

int Brightness(QRgb pixel) {
    return qGray(pixel);
}

// Pixels of the image darker than the cell's white background, in the given columns and rows.
int DarkPixels(const QImage& image, int left, int right, int top, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) count += Brightness(image.pixel(x, y)) < 128;
    return count;
}

} // namespace

class WindowLookTest : public QObject {
    Q_OBJECT

private slots:
    void deleteAndOtherKeysThatTypeNothingPassEveryFilter() {
        UiProgram p;
        p.main->Daons1Click();
        QList<QLineEdit*> filtered = {p.main->EditDT, p.main->ParameterEdits[0], p.main->ParameterEdits[1],
                                      p.main->ParameterEdits[2], p.main->ParameterEdits[3]};
        TEditDlg& d = *p.edit;
        filtered << d.EditDT << d.ParameterEdits[0] << d.ParameterEdits[1] << d.ParameterEdits[2]
                 << d.ParameterEdits[3] << d.EditX << d.EditY << d.EditZ << d.EditV << d.EditU << d.EditW;
        for (QLineEdit* edit : filtered) {
            const QString name = edit->objectName().isEmpty() ? QStringLiteral("EditDT") : edit->objectName();
            edit->setText(QStringLiteral("123"));
            edit->setCursorPosition(0);
            Press(edit, Qt::Key_Delete, QStringLiteral("\x7f"));
            QVERIFY2(edit->text() == QStringLiteral("23"), qPrintable(name));
            Press(edit, Qt::Key_Right, QString());
            Press(edit, Qt::Key_Delete, QString());
            QVERIFY2(edit->text() == QStringLiteral("2"), qPrintable(name));
            // A typed control character is still discarded: Ctrl+A selects nothing here.
            Press(edit, Qt::Key_A, QStringLiteral("\x01"), Qt::ControlModifier);
            QVERIFY2(edit->selectedText().isEmpty(), qPrintable(name));
            Press(edit, Qt::Key_Backspace, QStringLiteral("\b"));
            QVERIFY2(edit->text().isEmpty(), qPrintable(name));
            Press(edit, Qt::Key_X, QStringLiteral("x"));
            Press(edit, Qt::Key_7, QStringLiteral("7"));
            QVERIFY2(edit->text() == QStringLiteral("7"), qPrintable(name));
        }
    }

    void captionsAreTheWindowsOwn() {
        UiProgram p;
        NameApplication();
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Taonscope"));
        // No display name of its own (it follows the application name): the platform appends a set
        // display name to every caption.
        QCoreApplication::setApplicationName(QStringLiteral("Other"));
        const QString displayName = QGuiApplication::applicationDisplayName();
        NameApplication();
        QCOMPARE(displayName, QStringLiteral("Other"));
        QCOMPARE(p.main->windowTitle(), QStringLiteral("Taonscope"));
        QCOMPARE(p.edit->windowTitle(), QStringLiteral(" Editing of gravon's values"));
        QCOMPARE(p.about->windowTitle(), QStringLiteral("About"));
    }

    void theAboutBoxIsInTheMiddleOfTheScreen() {
        UiProgram p;
        p.main->move(0, 0);
        p.Show();
        const QPoint screenCentre = p.main->screen()->availableGeometry().center();
        QVERIFY(p.main->frameGeometry().center() != screenCentre);
        QPoint centre;
        QTimer::singleShot(50, [&] {
            centre = p.about->frameGeometry().center();
            p.about->accept();
        });
        p.main->About1Click();
        QVERIFY2((centre - screenCentre).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("about box centred at %1,%2").arg(centre.x()).arg(centre.y())));
    }

    void gridCellsShowTheBeginningCutAtTheRightEdge() {
        StringGrid grid(4, 3, nullptr);
        grid.resize(300, 120);
        grid.SetDefaultColumnWidth(46);
        const QString longText = RealText(1.7668917534391e-18L);
        QCOMPARE(longText, QStringLiteral("1.7668917534391E-18"));
        grid.SetCell(1, 1, longText);
        grid.SetCell(2, 1, QStringLiteral("1"));
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QImage image = grid.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect cell = grid.visualItemRect(grid.item(0, 0));
        // Digits reach the right edge of the cell in their upper half; an ellipsis there would leave only
        // its dots on the baseline.
        const int upperTop = cell.top() + 2, upperBottom = cell.center().y();
        QVERIFY(DarkPixels(image, cell.right() - 8, cell.right() - 1, upperTop, upperBottom) > 0);
        const QRect shortCell = grid.visualItemRect(grid.item(0, 1));
        QCOMPARE(DarkPixels(image, shortCell.right() - 8, shortCell.right() - 1, upperTop, upperBottom), 0);
        QCOMPARE(grid.textElideMode(), Qt::ElideNone);
    }

    void narrowFieldsShowTheBeginningOfWhatIsSetInThem() {
        UiProgram p;
        p.main->Daons1Click();
        World& w = p.state.world;
        w.PosX[2] = 1, w.PosY[2] = 1, w.PosZ[2] = 0;
        w.PosX[1] = w.PosY[1] = w.PosZ[1] = 0;
        QString result;
        int resultCursor = -1, fileNameCursor = -1;
        QTimer::singleShot(0, [&] {
            TEditDlg& d = *p.edit;
            const TEditDlg::Calculator& c = d.Calculators[0];
            c.Part1->setText(QStringLiteral("1"));
            c.Part2->setText(QStringLiteral("2"));
            c.Calculate->click();
            result = c.Result->text();
            resultCursor = c.Result->cursorPosition();
            fileNameCursor = d.EditFileName->cursorPosition();
            d.reject();
        });
        p.main->New1Click();
        QCOMPARE(result, QStringLiteral("1.4142135623731"));
        QCOMPARE(resultCursor, 0);
        QCOMPARE(fileNameCursor, 0);
        const std::string longName = p.dir.File(std::string(120, 'n') + ".tao");
        p.questions.saveAnswers.push_back(longName);
        p.main->Saveas1Click();
        QCOMPARE(p.main->FName->text(), QString::fromStdString(longName));
        QCOMPARE(p.main->FName->cursorPosition(), 0);
    }

    void theCoolBoxShowsTickedAndUnticked() {
        UiProgram p;
        p.Show();
        QCheckBox& cool = *p.main->Cool;
        QCOMPARE(cool.text(), QStringLiteral("Cool"));
        QVERIFY(cool.font().bold() || cool.styleSheet().contains(QStringLiteral("font-weight: bold")));
        auto indicator = [&] {
            const QImage image = cool.grab().toImage().convertToFormat(QImage::Format_RGB32);
            const int textLeft = cool.width() - cool.fontMetrics().horizontalAdvance(cool.text()) - 8;
            QImage box = image.copy(0, 0, std::min(textLeft, 16), image.height());
            return box;
        };
        auto bright = [](const QImage& image) {
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) count += Brightness(image.pixel(x, y)) > 160;
            return count;
        };
        const QImage unticked = indicator();
        QVERIFY2(bright(unticked) >= 12, "the unticked box is not drawn");
        cool.setChecked(true);
        const QImage ticked = indicator();
        QVERIFY(bright(ticked) > bright(unticked));
        // The text stays white on black.
        const QImage whole = cool.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(whole.pixel(whole.width() - 1, 0), qRgb(0, 0, 0));
    }

    void null00SaysWhatAClickDoes() {
        UiProgram p;
        p.main->Daons1Click();
        QToolButton* null00 = p.main->Null00;
        QCOMPARE(null00->size(), QSize(17, 23));
        QCOMPARE(ShownHint(null00), QStringLiteral("Make null of velocity"));
        null00->click(); // the save dialog is cancelled
        QCOMPARE(null00->text(), QStringLiteral("Yes Null"));
        QCOMPARE(ShownHint(null00),
                 QStringLiteral("Velocity is null: a click makes it null again and asks where to save"));
        p.main->Spiral1Click();
        QVERIFY(!null00->isEnabled());
        QCOMPARE(ShownHint(null00),
                 QStringLiteral("Make null of velocity (not while a run goes on or the figure is shown)"));
        p.main->Daons1Click();
        p.main->GoClick();
        p.main->GoClick(); // the run is over; the button shows "0" again
        QTRY_VERIFY(!p.main->Running());
        QCOMPARE(null00->text(), QStringLiteral("0"));
        QCOMPARE(ShownHint(null00), QStringLiteral("Make null of velocity"));
    }

    void theRangeLegendsShowTheirWholeText() {
        UiProgram p;
        p.Show();
        TMainForm& m = *p.main;
        QCOMPARE(m.Edit1->size(), QSize(33, 23));
        QCOMPARE(m.Edit2->size(), QSize(33, 23));
        QCOMPARE(m.Edit3->size(), QSize(41, 23));
        for (QLineEdit* edit : m.ParameterEdits) QCOMPARE(edit->size(), QSize(25, 23));
        for (QLineEdit* legend : {m.Edit1, m.Edit2, m.Edit3})
            QVERIFY2(ShowsWholeText(legend), qPrintable(legend->text()));
    }
};

TAONSCOPE_QTEST_MAIN(WindowLookTest)
#include "WindowLookTest.moc"
