// SPDX-License-Identifier: GPL-3.0-or-later
// The windows on a system whose numbers use a decimal comma: what they show, what they read, and the
// key filter's comma rule.
#include "support/UiProgram.h"

#include "ui/Text.h"

#include "core/Errors.h"
#include "document/StartPointer.h"

#include <QLocale>
#include <QTimer>
#include <QtTest>

using namespace taonscope;
using taonscope::test::UiProgram;

namespace {

// The easy square installed as start-up installs it for a start pointer to a missing file.
void StartWithEasySquare(UiProgram& p) {
    WriteStartPointer(p.PointerPath(), p.dir.File("missing.tao"));
}

QString ErrorOf(const QString& text) {
    try {
        ReadReal(text);
    } catch (const TaonError& error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

} // namespace

class CommaLocaleTest : public QObject {
    Q_OBJECT

private slots:
    void numbersAreWrittenAndReadWithTheComma() {
        QCOMPARE(QLocale::system().decimalPoint(), QStringLiteral(","));
        QCOMPARE(DecimalSeparator(), ',');
        QCOMPARE(RealText(2.718L), QStringLiteral("2,718"));
        QCOMPARE(RealText(-0.00005L), QStringLiteral("-5E-5"));
        QCOMPARE(RealText(1.25e-18L), QStringLiteral("1,25E-18"));
        QCOMPARE(RealText(120), QStringLiteral("120"));
        QCOMPARE(ReadReal(QStringLiteral(" 0,5 ")), 0.5L);
        QCOMPARE(ReadReal(QStringLiteral("-2,5E3")), -2500.0L);
        QCOMPARE(ErrorOf(QStringLiteral("0.5")), QStringLiteral("'0.5' is not a valid floating point value"));
    }

    void theMainWindowShowsAndReadsCommas() {
        UiProgram p(StartWithEasySquare);
        p.Show();
        TMainForm& m = *p.main;
        QCOMPARE(m.ParameterEdits[1]->text(), QStringLiteral("2,718")); // B1
        QCOMPARE(m.DaonsTable->Cell(1, 1), QStringLiteral("0,212"));
        QCOMPARE(m.DaonsTable->Cell(3, 1), QStringLiteral("-0,212"));

        // Both the comma and the full stop can be typed; only the comma reads.
        m.EditDT->clear();
        QTest::keyClicks(m.EditDT, QStringLiteral("0,25"));
        QCOMPARE(m.EditDT->text(), QStringLiteral("0,25"));
        m.EditDTExit();
        QCOMPARE(p.state.world.dt, 0.25L);
        m.EditDT->clear();
        QTest::keyClicks(m.EditDT, QStringLiteral("0.5"));
        QCOMPARE(m.EditDT->text(), QStringLiteral("0.5"));
        m.EditDTExit();
        QCOMPARE(p.questions.LastError(), std::string("'0.5' is not a valid floating point value."));
        QCOMPARE(p.state.world.dt, 0.25L);
    }

    void theEditorReadsCommasAndMeasuresFromItsTable() {
        UiProgram p(StartWithEasySquare);
        QString distance;
        QTimer::singleShot(0, [&] {
            TEditDlg& d = *p.edit;
            QCOMPARE(d.EditX->text(), QStringLiteral("0,212"));
            d.EditX->setText(QStringLiteral("1,5"));
            d.Submit->click();
            QCOMPARE(d.DaonsTable->Cell(1, 1), QStringLiteral("1,5"));
            const TEditDlg::Calculator& c = d.Calculators[0];
            c.Part1->setText(QStringLiteral("1"));
            c.Part2->setText(QStringLiteral("2"));
            c.Calculate->click();
            distance = c.Result->text();
            d.EditDT->setText(QStringLiteral("0,02"));
            d.reject();
        });
        p.main->New1Click();
        QVERIFY(p.questions.errors.empty());
        QCOMPARE(p.state.world.PosX[1], 1.5L);
        // Taon 1 at (1.5, 0.212, -0.212), taon 2 at (0.212, 0.212, 0.212).
        QCOMPARE(distance, RealText(std::sqrt(1.288L * 1.288L + 0.424L * 0.424L)));
        QVERIFY(distance.startsWith(QStringLiteral("1,35")));
    }
};

int main(int argc, char** argv) {
    // A system whose numbers use a decimal comma: Qt takes the system's locale from these variables,
    // whether or not the C library has that locale installed.
    qputenv("LC_ALL", "de_DE.UTF-8");
    qputenv("LANG", "de_DE.UTF-8");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    taonscope::test::TempDir home;
    qputenv("HOME", home.path().string().c_str());
    qputenv("XDG_CONFIG_HOME", (home.path() / "config").string().c_str());
    QApplication application(argc, argv);
    CommaLocaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CommaLocaleTest.moc"
