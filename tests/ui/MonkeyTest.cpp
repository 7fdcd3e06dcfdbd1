// SPDX-License-Identifier: GPL-3.0-or-later
// Thousands of random user actions on the main window and the editor, with the world's invariants
// checked after each. TAONSCOPE_MONKEY_EVENTS and TAONSCOPE_MONKEY_SEED change the count and the seed.
#include "support/UiProgram.h"
#include "support/WorldCompare.h"

#include "core/Scenarios.h"
#include "document/ConfigFile.h"
#include "document/StartPointer.h"

#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <random>

using namespace taonscope;
using taonscope::test::UiProgram;

namespace {

int EnvironmentNumber(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

class Monkey {
public:
    Monkey(UiProgram& p, unsigned seed) : p_(p), random_(seed) {
        ConfigRecord buffer{};
        WriteConfigFile(p.dir.File("ring.tao"), RingWorld(), buffer);
        World cloud = CloudWorld(seed, false, 20, 1.5L);
        for (int i = 31; i <= MaxTaons; ++i) cloud.TaonPresent[i] = false; // 30 taons keep steps quick
        WriteConfigFile(p.dir.File("cloud.tao"), cloud, buffer);
        test::WriteAll(p.dir.File("short.dat"), std::string(300, '\7'));
    }

    // One random action; returns its name for the failure message.
    std::string Act() {
        Answer();
        TMainForm& m = *p_.main;
        switch (Pick(22)) {
        case 0:
            return Click(Pick(2) ? m.DaoTeta : m.DaoTeta1), "rotate about x";
        case 1:
            return Click(Pick(2) ? m.DaoPsi : m.DaoPsi1), "rotate about y";
        case 2:
            return Click(Pick(2) ? m.DaoPhi : m.DaoPhi1), "rotate about z";
        case 3:
            return Click(Pick(2) ? m.DaoBack : m.DaoForvard), "zoom";
        case 4:
            return Click(m.DaoStop), "stop the spin";
        case 5:
            if (m.Go->isEnabled()) m.Go->click();
            return "Go";
        case 6:
            QTest::qWait(Pick(25));
            return "wait";
        case 7:
            return Trigger(m.Open1), runReset_ = true, "Open";
        case 8:
            return Trigger(Pick(2) ? m.Save1 : m.Saveas1), "Save";
        case 9:
            return Trigger(m.Images->isEnabled() ? (Pick(2) ? m.Daons1 : m.Spiral1) : m.MoveToCenter),
                   "Images";
        case 10:
            return Trigger(Pick(2) ? m.ShowSpin : m.ShowNumbersOfPoints), "view toggles";
        case 11: {
            const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
            QTest::keyClick(&m, keys[Pick(4)], Qt::ControlModifier);
            return "pan";
        }
        case 12:
            return Click(m.Null00), "velocity reset";
        case 13: {
            const Qt::MouseButton button = Pick(2) ? Qt::LeftButton : Qt::RightButton;
            QTest::mousePress(m.SceneView, button, {}, QPoint(Pick(600), Pick(200)));
            QTest::mouseRelease(m.SceneView, button, {}, QPoint(Pick(600), Pick(200)));
            return "drag";
        }
        case 14:
            m.TrackBar->setValue(Pick(11));
            return "track bar";
        case 15: {
            QApplication::setActiveWindow(&m);
            m.EditDT->setFocus();
            m.EditDT->selectAll();
            QTest::keyClicks(m.EditDT, NumberText());
            m.Cool->setFocus();
            return "time step";
        }
        case 16:
            return Click(Pick(2) ? static_cast<QAbstractButton*>(m.Cool) : m.ShowList), "check boxes";
        case 17:
            return Pick(2) ? m.LTimeDblClick() : m.DaonsTableDblClick(), "double-clicks";
        case 18: {
            QApplication::setActiveWindow(&m);
            m.PageControl->setCurrentIndex(1);
            m.Comment->setFocus();
            QTest::keyClicks(m.Comment, QStringLiteral("note "));
            m.EditDT->setFocus();
            m.PageControl->setCurrentIndex(0);
            return "commentary";
        }
        case 19:
            runReset_ = true;
            return Editor(), "editor";
        case 20:
            m.resize(500 + Pick(300), 380 + Pick(200));
            return "resize";
        default:
            QCoreApplication::processEvents();
            return "events";
        }
    }

    long long steps = 0; // steps seen made

    // Checks what must hold between any two steps; an empty text when all does.
    std::string Check() {
        const World& w = p_.state.world;
        for (int i = 1; i <= MaxTaons; ++i) {
            if (!w.TaonPresent[i]) continue;
            if (!(Same(w.PosX[i], w.NextPosX[i]) && Same(w.PosY[i], w.NextPosY[i]) &&
                  Same(w.PosZ[i], w.NextPosZ[i]) && Same(w.VelX[i], w.NextVelX[i]) &&
                  Same(w.VelY[i], w.NextVelY[i]) && Same(w.VelZ[i], w.NextVelZ[i])))
                return "the current and next copies of taon " + std::to_string(i) + " differ";
        }
        if (p_.main->Running() && w.StepCounter > lastCounter_ && !w.ShowingFigure)
            for (int i = 1; i <= MaxTaons; ++i)
                if (w.TaonPresent[i] && !Same(w.ScenePosX[i], w.PosX[i]))
                    return "the scene copy of taon " + std::to_string(i) +
                           " is not the current one after a step";
        if (p_.main->Running() && wasRunning_ && !runReset_ && w.StepCounter < lastCounter_)
            return "the step counter went back during a run";
        if (w.StepCounter > lastCounter_) steps += w.StepCounter - lastCounter_;
        for (const auto& entry : std::filesystem::directory_iterator(p_.dir.path()))
            if (entry.path().extension() == ".tao" && entry.file_size() != ConfigRecordSize)
                return entry.path().string() + " is not one record long";
        wasRunning_ = p_.main->Running();
        lastCounter_ = w.StepCounter;
        runReset_ = false;
        return {};
    }

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    static bool Same(Extended a, Extended b) { return test::SameBits(a, b); }
    static void Click(QAbstractButton* button) {
        if (button->isEnabled()) button->click();
    }
    static void Trigger(QAction* action) {
        if (action->isEnabled()) action->trigger();
    }

    QString NumberText() {
        const char* texts[] = {"0.001", "0,5", "", "1-3", "-0.01", "5", "0.0001", "--"};
        return QString::fromLatin1(texts[Pick(8)]);
    }

    // A path to open: files that load, one too short, one missing, a missing folder, a folder; or a cancel.
    std::optional<std::string> OpenPath() {
        const std::string paths[] = {p_.dir.File("ring.tao"),      p_.dir.File("cloud.tao"),
                                     p_.dir.File("short.dat"),     p_.dir.File("new.tao"),
                                     p_.dir.File("missing/x.tao"), p_.dir.path().string()};
        if (Pick(5) == 0) return std::nullopt;
        return paths[Pick(6)];
    }

    // A path to save to: a new file, one that exists, a missing folder, a folder; or a cancel.
    std::optional<std::string> SavePath() {
        const std::string paths[] = {p_.dir.File("new.tao"), p_.dir.File("cloud.tao"),
                                     p_.dir.File("missing/x.tao"), p_.dir.path().string()};
        if (Pick(5) == 0) return std::nullopt;
        return paths[Pick(4)];
    }

    // Scripted answers for whatever the next action may ask.
    void Answer() {
        auto& q = p_.questions;
        q.openAnswers.clear(), q.saveAnswers.clear(), q.confirmAnswers.clear();
        for (int n = 0; n < 3; ++n) {
            q.openAnswers.push_back(OpenPath());
            q.saveAnswers.push_back(SavePath());
            q.confirmAnswers.push_back(Pick(2) == 0);
        }
    }

    void Editor() {
        QTimer::singleShot(0, [this] {
            TEditDlg& d = *p_.edit;
            for (int n = Pick(12); n > 0; --n) {
                switch (Pick(9)) {
                case 0:
                    d.DaonsTable->setCurrentCell(Pick(100), Pick(3));
                    break;
                case 1:
                    (Pick(2) ? d.EditX : d.EditV)->setText(NumberText());
                    break;
                case 2:
                    d.DaoTrue->setChecked(Pick(2));
                    break;
                case 3:
                    d.Submit->click();
                    break;
                case 4:
                    d.ParameterEdits[static_cast<std::size_t>(Pick(18))]->setText(NumberText());
                    break;
                case 5:
                    d.DaonsTableDblClick();
                    break;
                case 6:
                    d.CalculateClick(1 + Pick(4));
                    break;
                case 7:
                    d.Saveas->click();
                    break;
                default:
                    d.EditDT->setText(NumberText());
                    break;
                }
            }
            if (Pick(2)) d.OKBtn->click();
            if (d.isVisible()) d.reject();
        });
        p_.main->New1->trigger();
    }

    UiProgram& p_;
    std::mt19937 random_;
    int lastCounter_ = 0;
    bool wasRunning_ = false;
    bool runReset_ = false;
};

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void randomUseKeepsTheWorldSound() {
        const int events = EnvironmentNumber("TAONSCOPE_MONKEY_EVENTS", 3000);
        const auto seed = static_cast<unsigned>(EnvironmentNumber("TAONSCOPE_MONKEY_SEED", 20261207));
        UiProgram p([](UiProgram& q) { WriteStartPointer(q.PointerPath(), q.dir.File("ring.tao")); });
        p.Show();
        Monkey monkey(p, seed);
        for (int n = 0; n < events; ++n) {
            const std::string action = monkey.Act();
            const std::string broken = monkey.Check();
            if (!broken.empty())
                QFAIL(qPrintable(QStringLiteral("after event %1 (%2), seed %3: %4")
                                     .arg(n)
                                     .arg(QString::fromStdString(action))
                                     .arg(seed)
                                     .arg(QString::fromStdString(broken))));
        }
        if (p.main->Running()) p.main->GoClick();
        std::printf("%d random events, %lld steps made, %zu error boxes, %zu commentary questions\n", events,
                    monkey.steps, p.questions.errors.size(), p.questions.confirmations.size());
    }
};

TAONSCOPE_QTEST_MAIN(MonkeyTest)
#include "MonkeyTest.moc"
