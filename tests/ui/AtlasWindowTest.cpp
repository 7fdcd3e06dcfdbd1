// SPDX-License-Identifier: GPL-3.0-or-later
// File > Open Atlas...: the map of an atlas folder, the numbers of the cell under the mouse, a click that
// opens the cell's last configuration read-only with its parameters in the panel and Cool as the sweep ran.
#include "support/UiProgram.h"

#include "atlas/Cell.h"
#include "ui/AtlasWindow.h"
#include "ui/Text.h"

#include <QtTest>

#include <filesystem>

using namespace taonscope;
using taonscope::test::ReadAll;
using taonscope::test::TempDir;
using taonscope::test::UiProgram;
using taonscope::test::WriteAll;

namespace {

// An atlas of 2 x 3 cells of 12 taons, 50 steps each; cell 4 is left undone.
std::string MakeAtlas(const TempDir& dir) {
    WriteAll(dir.File("s.atlas.json"), R"({"title": "Window test",
        "base": {"scenario": "cloud", "seed": 2, "side": 8, "kinds": [8, 4, 0]},
        "vary": [{"parameter": "A1", "from": 0.5, "to": 1.5, "count": 2},
                 {"parameter": "B1", "from": 2, "to": 3, "count": 3}],
        "protocol": {"steps": 50, "cool": true}})");
    const AtlasPlan plan = WritePlan(dir.File("s.atlas.json"), dir.File("atlas"));
    for (const int cell : {1, 2, 3, 5, 6}) RunAndKeepCell(plan, cell);
    return dir.File("atlas");
}

// The atlas windows open over the main window (the class has no meta-object of its own to find it by).
QList<AtlasWindow*> AtlasWindows(UiProgram& p) {
    QList<AtlasWindow*> windows;
    for (QWidget* widget : p.main->findChildren<QWidget*>(QStringLiteral("AtlasWindow")))
        if (auto* window = dynamic_cast<AtlasWindow*>(widget)) windows.push_back(window);
    return windows;
}

AtlasWindow* OpenedAtlas(UiProgram& p, const std::string& path) {
    p.questions.openFileAnswers.push_back(path);
    p.main->OpenAtlas1->trigger();
    const QList<AtlasWindow*> windows = AtlasWindows(p);
    return windows.isEmpty() ? nullptr : windows.back();
}

const MapTile& TileOf(AtlasWindow& window, int cell) {
    for (const MapTile& tile : window.MapView->Layout().Tiles)
        if (tile.Cell == cell) return tile;
    throw std::runtime_error("no tile of cell " + std::to_string(cell));
}

QPoint CentreOf(AtlasWindow& window, int cell) {
    const MapRect& box = TileOf(window, cell).Box;
    return {box.X + box.Width / 2, box.Y + box.Height / 2};
}

} // namespace

class AtlasWindowTest : public QObject {
    Q_OBJECT

private slots:
    void openAtlasAsksForAnAtlasAndHoveringACellShowsItsNumbers() {
        TempDir dir;
        const std::string atlas = MakeAtlas(dir);
        UiProgram p;
        QCOMPARE(p.main->OpenAtlas1->text(), QStringLiteral("Open Atlas..."));
        QVERIFY(p.main->OpenAtlas1->shortcut().isEmpty());
        p.main->OpenAtlas1->trigger(); // cancelled: nothing opens
        QCOMPARE(p.questions.fileKindsAsked.back(), FileKind::Atlas);
        QVERIFY(AtlasWindows(p).isEmpty());
        AtlasWindow* window = OpenedAtlas(p, atlas + "/sweep.atlas.json");
        QVERIFY(window);
        QCOMPARE(window->Shown().Records.size(), std::size_t{5});
        QVERIFY(window->Readout->text().startsWith(QStringLiteral("5 of 6 cells done")));
        window->resize(900, 700);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const CellRecord& third = window->Shown().Records[2]; // cell 3: A1 0.5, B1 3
        QTest::mouseMove(window->MapView, CentreOf(*window, 3));
        QTRY_COMPARE(window->MapView->Hovered(), 3);
        const QString text = window->Readout->text();
        for (const QString& part :
             {QStringLiteral("cell 3 of 6, seed 2"), QStringLiteral("A1 = 0.5, B1 = 3"),
              QString::fromStdString(OutcomeName(third.Result.Kind)) + " after 50 steps",
              QStringLiteral("the largest of %1").arg(third.Result.Largest)})
            QVERIFY2(text.contains(part), qPrintable(text + " lacks " + part));
        QTest::mouseMove(window->MapView, CentreOf(*window, 4));
        QTRY_COMPARE(window->MapView->Hovered(), 4);
        QCOMPARE(window->Readout->text(), QStringLiteral("cell 4 is not done yet"));
        // The hovered cell is outlined: black pixels at both ends of its middle row, none in between.
        const QImage picture = window->MapView->grab().toImage();
        const MapRect box = TileOf(*window, 4).Box;
        int black = 0;
        for (int x = box.X; x < box.X + box.Width; ++x)
            black += picture.pixel(x, box.Y + box.Height / 2) == qRgb(0, 0, 0);
        QCOMPARE(black, 4);
    }

    void clickingACellOpensItsConfigurationReadOnlyAndTheColourBoxRecolours() {
        TempDir dir;
        const std::string atlas = MakeAtlas(dir);
        UiProgram p;
        AtlasWindow* window = OpenedAtlas(p, atlas + "/atlas.json"); // the merged file's folder serves too
        QVERIFY(window);
        window->resize(900, 700);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const std::string configuration = atlas + "/cells/000005.tao";
        const std::string before = ReadAll(configuration);
        QVERIFY(!p.main->Cool->isChecked());
        QTest::mouseClick(window->MapView, Qt::LeftButton, {}, CentreOf(*window, 5));
        QCOMPARE(p.main->FName->text(), FromPath(configuration));
        QVERIFY(p.main->Cool->isChecked()); // Go goes on as the sweep's runs did
        QCOMPARE(p.state.document.CurrentIsFile, false);
        QCOMPARE(p.state.world.A1, 1.5L);
        QCOMPARE(p.state.world.B1, 2.5L);
        QCOMPARE(p.main->ParameterEdits[0]->text(), QStringLiteral("1.5"));
        QCOMPARE(p.main->ParameterEdits[1]->text(), QStringLiteral("2.5"));
        QVERIFY(p.main->Comment->toPlainText().startsWith(QStringLiteral("Atlas cell 5 of 6: Window test")));
        // Save asks for a name: the cell's file stays as the atlas made it.
        p.main->Save1->trigger();
        QCOMPARE(p.questions.saveAsked, 1);
        QCOMPARE(ReadAll(configuration), before);
        // A cell not done opens nothing.
        QTest::mouseClick(window->MapView, Qt::LeftButton, {}, CentreOf(*window, 4));
        QCOMPARE(p.main->FName->text(), FromPath(configuration));

        // The colour box recolours; Reload reads the cells done since.
        const auto colourOf = [&](int cell) { return TileOf(*window, cell).Colour; };
        QCOMPARE(colourOf(1), OutcomeColour(window->Shown().Records[0].Result.Kind));
        window->ColourBox->setCurrentText(QStringLiteral("steps"));
        QCOMPARE(colourOf(4), NoColour);
        QVERIFY(!(colourOf(1) == OutcomeColour(window->Shown().Records[0].Result.Kind)));
        RunAndKeepCell(LoadPlan(atlas), 4);
        window->Reload->click();
        QCOMPARE(window->Shown().Records.size(), std::size_t{6});
        QVERIFY(!(colourOf(4) == NoColour));
    }

    void aFolderThatHoldsNoAtlasIsAnError() {
        TempDir dir;
        UiProgram p;
        QVERIFY(!OpenedAtlas(p, dir.File("atlas.json")));
        QVERIFY2(p.questions.LastError().find("holds no atlas") != std::string::npos,
                 p.questions.LastError().c_str());
    }
};

TAONSCOPE_QTEST_MAIN(AtlasWindowTest)
#include "AtlasWindowTest.moc"
