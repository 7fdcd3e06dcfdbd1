// SPDX-License-Identifier: GPL-3.0-or-later
// Fit All, picking a taon with a click, the dot size, the axes, and the options kept between sessions.
#include "support/UiProgram.h"
#include "support/WorldCompare.h"

#include "ui/DialogQuestions.h"
#include "ui/PickPopup.h"
#include "ui/Text.h"
#include "ui/ViewSettings.h"

#include "core/Scenarios.h"

#include <QFileDialog>
#include <QSettings>
#include <QTimer>
#include <QtTest>

#include <filesystem>

using namespace taonscope;
using taonscope::test::CountColour;
using taonscope::test::SameWorld;
using taonscope::test::UiProgram;

namespace {

// Taon 1 at the origin, taon 2 at (1, 4, 0.5) moving at (0.5, -1, 2), taon 60 at (-1, 0, 0), taon 3 absent.
World ThreeTaons() {
    World world;
    world.TaonPresent[1] = world.TaonPresent[2] = world.TaonPresent[60] = true;
    world.PosX[2] = 1, world.PosY[2] = 4, world.PosZ[2] = 0.5L;
    world.VelX[2] = 0.5L, world.VelY[2] = -1, world.VelZ[2] = 2;
    world.PosX[60] = -1;
    world.PosX[3] = 0.05L; // absent, right beside taon 1
    world.dt = 0.001L;
    return world;
}

QPoint DotOf(const UiProgram& p, int slot) {
    return {p.state.view.ScreenX[slot], p.state.view.ScreenY[slot]};
}

void ForgetOptions() {
    ProgramSettings().clear();
}

} // namespace

class ViewCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ForgetOptions(); }

    void optionsAreKeptInTheTemporaryConfigurationFolder() {
        const QString file = ProgramSettings().fileName();
        QVERIFY2(file.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")), qPrintable(file));
    }

    void fitAllBringsTheWholeCloudInAndLeavesTheWorld() {
        UiProgram p;
        p.Show();
        p.Install(CloudWorld(1));
        const World before = p.state.world;
        const SceneArea area = p.main->Scene();
        auto outside = [&] {
            int n = 0;
            for (int j = 1; j <= MaxTaons; ++j)
                n += p.state.view.ScreenX[j] < 0 || p.state.view.ScreenX[j] + 1 >= area.width ||
                     p.state.view.ScreenY[j] < 0 || p.state.view.ScreenY[j] + 1 >= area.bottom;
            return n;
        };
        QVERIFY(outside() > 50); // the first view shows only the middle of the cloud
        QCOMPARE(p.main->FitAll1->text(), QStringLiteral("Fit All"));
        QCOMPARE(p.main->FitAll1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));

        QTest::keyClick(p.main.get(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(outside(), 0);
        QVERIFY(SameWorld(p.state.world, before));
        QCOMPARE(CountColour(p.main->SceneView->Image(), Colours::Red) > 0, true);

        // From the time step's field too: its key filter lets the command through and types nothing.
        p.main->MoveToCenterClick();
        QVERIFY(outside() > 50);
        const QString dt = p.main->EditDT->text();
        p.main->EditDT->setFocus();
        QTest::keyClick(p.main->EditDT, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(outside(), 0);
        QCOMPARE(p.main->EditDT->text(), dt);
    }

    void aStillClickPicksTheNearestTaonAndShowsItsValues() {
        UiProgram p;
        p.Show();
        const World world = ThreeTaons();
        p.Install(world);
        PickPopup& popup = *p.main->PickInfo;
        QVERIFY(!popup.isVisible());

        QTest::mouseClick(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 2) + QPoint(4, 3));
        QVERIFY(popup.isVisible());
        QCOMPARE(popup.Picked(), 2);
        const QString text = popup.Text();
        QVERIFY2(text.startsWith(QStringLiteral("Taon 2, kind 1\n")), qPrintable(text));
        for (const QString& line :
             {QStringLiteral("X = ") + RealText(1), QStringLiteral("Y = ") + RealText(4),
              QStringLiteral("Z = ") + RealText(0.5L), QStringLiteral("u(x) = ") + RealText(0.5L),
              QStringLiteral("u(y) = ") + RealText(-1), QStringLiteral("u(z) = ") + RealText(2)})
            QVERIFY2(text.contains(line + QLatin1Char('\n')) || text.endsWith(line), qPrintable(line));
        QVERIFY(!text.contains(QStringLiteral("Distance")));
        QVERIFY(popup.geometry().intersects(p.main->SceneView->rect()));

        // The next pick tells the distance to the one before; an absent taon is never picked.
        QTest::mouseClick(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 1) + QPoint(3, 0));
        QCOMPARE(popup.Picked(), 1);
        QVERIFY(popup.Text().startsWith(QStringLiteral("Taon 1, kind 1")));
        QVERIFY2(popup.Text().endsWith(QStringLiteral("Distance to 2 = ") + RealText(std::sqrt(17.25L))),
                 qPrintable(popup.Text()));
        QTest::mouseClick(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 60) + QPoint(-5, 0));
        QVERIFY(popup.Text().startsWith(QStringLiteral("Taon 60, kind 2")));
        QVERIFY(popup.Text().endsWith(QStringLiteral("Distance to 1 = ") + RealText(1)));

        // A click away from every dot, or a drag, picks nothing; the drag still turns the view.
        QTest::mouseClick(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 2) + QPoint(7, 0));
        QVERIFY(!popup.isVisible());
        QTest::mousePress(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 1));
        QTest::mouseRelease(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 1) + QPoint(0, 10));
        QVERIFY(!popup.isVisible());
        QVERIFY(p.state.view.ViewTeta != 0);
        QVERIFY(SameWorld(p.state.world, [&] {
            World w = world;
            w.Stopped = true;
            SyncCopiesFromCurrent(w);
            return w;
        }()));

        // A new document forgets the picks.
        QTest::mouseClick(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 1));
        QVERIFY(popup.isVisible());
        p.main->Spiral1Click();
        QVERIFY(!popup.isVisible());
        QCOMPARE(popup.Picked(), 0);
        QTest::mouseClick(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 1));
        QVERIFY(!popup.isVisible()); // the figure has no taons to pick
    }

    void aDoubleClickOnADotOpensTheEditorAtItsRow() {
        UiProgram p;
        p.Show();
        p.Install(ThreeTaons());
        int row = 0;
        QString number, x;
        QTimer::singleShot(0, [&] {
            row = p.edit->DaonsTable->SelectedRow();
            number = p.edit->NumberOfTaon->text();
            x = p.edit->EditX->text();
            p.edit->reject();
        });
        QTest::mouseDClick(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 60) + QPoint(1, 1));
        QCOMPARE(row, 60);
        QCOMPARE(number, QStringLiteral("60"));
        QCOMPARE(x, RealText(-1));

        // Confirmed, it closes as File > New does: the window shows the saved configuration.
        p.questions.saveAnswers.push_back(p.dir.File("picked.tao"));
        QTimer::singleShot(0, [&] {
            row = p.edit->DaonsTable->SelectedRow();
            p.edit->OKBtn->click();
        });
        QTest::mouseDClick(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 2));
        QCOMPARE(row, 2);
        QCOMPARE(p.main->FName->text(), QString::fromStdString(p.dir.File("picked.tao")));
        QVERIFY(std::filesystem::exists(p.dir.File("picked.tao")));

        // Away from every dot nothing opens.
        bool opened = false;
        QTimer::singleShot(0, [&] {
            opened = p.edit->isVisible();
            if (opened) p.edit->reject();
        });
        QTest::mouseDClick(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 2) + QPoint(20, 20));
        QTest::qWait(10);
        QVERIFY(!opened);
    }

    void dotSizeChangesTheDrawnPixelsAndIsKept() {
        {
            UiProgram p;
            p.Show();
            World world = ThreeTaons();
            world.TaonPresent[2] = world.TaonPresent[60] = false;
            p.Install(world);
            const QImage& image = p.main->SceneView->Image();
            QVERIFY(p.main->DotSizes[0]->isChecked());
            QCOMPARE(p.main->DotSizes[0]->text(), QStringLiteral("2 pixels"));
            QCOMPARE(CountColour(image, Colours::Lime), 4);
            p.main->DotSizes[1]->trigger();
            QCOMPARE(CountColour(image, Colours::Lime), 9);
            p.main->DotSizes[2]->trigger();
            QCOMPARE(CountColour(image, Colours::Lime), 25);
            QVERIFY(!p.main->DotSizes[0]->isChecked() && p.main->DotSizes[2]->isChecked());
            // A larger dot is easier to hit.
            QTest::mouseClick(p.main->SceneView, Qt::LeftButton, {}, DotOf(p, 1) + QPoint(-7, 0));
            QCOMPARE(p.main->PickInfo->Picked(), 1);
        }
        UiProgram next; // the next session starts with the size chosen last
        QCOMPARE(next.state.view.DotSize, 5);
        QVERIFY(next.main->DotSizes[2]->isChecked());
        ProgramSettings().setValue(QStringLiteral("view/dotSize"), 4); // not on offer: the default
        UiProgram odd;
        QCOMPARE(odd.state.view.DotSize, 2);
    }

    void showAxesDrawsTheTriadAndIsKept() {
        {
            UiProgram p;
            p.Show();
            World world = ThreeTaons();
            world.TaonPresent[60] = false;
            p.Install(world);
            const QImage& image = p.main->SceneView->Image();
            QCOMPARE(CountColour(image, Colours::Red), 0);
            QVERIFY(!p.main->ShowAxes->isChecked());
            p.main->ShowAxes->trigger();
            QVERIFY(p.main->ShowAxes->isChecked());
            const int axisPixels = CountColour(image, Colours::Red);
            QVERIFY(axisPixels >= 15);
            QVERIFY(CountColour(image, Rgb{0, 255, 255}) >= 15);
            const QPoint zTip(34, p.main->Scene().bottom - 34 + 19);
            QCOMPARE(image.pixel(zTip), qRgb(0, 255, 255));
            p.main->TrackBar->setValue(10);
            p.main->DaoTetaClick(); // two radians about x: the triad turns with the view, z now up
            QVERIFY(image.pixel(zTip) != qRgb(0, 255, 255));
            QCOMPARE(image.pixel(34, p.main->Scene().bottom - 34 - 4), qRgb(0, 255, 255));
        }
        UiProgram next;
        QVERIFY(next.state.view.ShowAxesOn);
        QVERIFY(next.main->ShowAxes->isChecked());
        next.main->ShowAxes->trigger();
        UiProgram last;
        QVERIFY(!last.state.view.ShowAxesOn);
    }

    void fileDialogsStartInTheFolderUsedLast() {
        test::TempDir dir;
        std::filesystem::create_directories(dir.File("configs"));
        DialogQuestions questions;
        QString startedIn;
        auto answer = [&](const std::string& path) {
            QTimer::singleShot(100, [&, path] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog) return;
                startedIn = dialog->directory().absolutePath();
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                name->setText(QString::fromStdString(path));
                QTest::keyClick(name, Qt::Key_Return);
            });
        };
        answer(dir.File("configs/ring"));
        QVERIFY(questions.SavePath().has_value());
        QCOMPARE(LastFolder(), QString::fromStdString(dir.File("configs")));
        answer(dir.File("configs/ring.tao"));
        QVERIFY(questions.OpenPath().has_value());
        QCOMPARE(startedIn, QString::fromStdString(dir.File("configs")));
    }
};

TAONSCOPE_QTEST_MAIN(ViewCommandsTest)
#include "ViewCommandsTest.moc"
