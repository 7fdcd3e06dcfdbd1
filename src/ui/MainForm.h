// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppState.h"
#include "FileNameBar.h"
#include "KeyFilter.h"
#include "Questions.h"
#include "RunObserver.h"
#include "RunPace.h"
#include "Widgets.h"

#include "core/FastLaw.h"
#include "view/Scene.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <QLabel>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace taonscope {

class TEditDlg;
class TAboutBox;
class PickPopup;
class WorldHistory;
class InstrumentsWindow;
class TrajectoryRecording;
class FilmExport;
class RunMenu;
class SceneOptions;
class StructureLook;
class ParameterBoxes;
class UndoKeys;
class Player;
class RunHistoryKeeper;
class EnergyMinimiser;

/// The main window: the scene above, the listing, commentary, run controls and parameters below.
/// Handlers are named after their control and event; each reads its controls, calls the core and
/// writes the controls back, and runs through the error guard.
class TMainForm : public QMainWindow {
public:
    /// Builds the window and runs the start-up sequence on state (FormCreate).
    TMainForm(AppState& state, Questions& questions, QWidget* parent = nullptr);
    ~TMainForm() override;

    /// The dialogs the window opens; created after it, as the program starts them.
    void SetDialogs(TEditDlg* editDlg, TAboutBox* aboutBox);
    /// Lets observer follow runs and documents until the window is gone (it must outlive neither).
    void AddRunObserver(RunObserver* observer) { observers_.push_back(observer); }

    // Start-up and document commands.
    void FormCreate();
    void New1Click();
    void Open1Click();
    /// Opens path as Open does with the path chosen, or a trajectory (.xyz, .lammpstrj, .dump) as Import
    /// XYZ does: a file named on the command line.
    void OpenGiven(const std::string& path);
    void Save1Click();
    void Saveas1Click();
    /// Opens a shipped example read-only (Save asks for a name) and fits the view to it.
    void OpenExample(const std::string& path);
    /// Shows the map of an atlas in a window of its own; a cell clicked there opens as an example does.
    void OpenAtlas1Click();
    void Exit1Click();
    void Daons1Click();
    void Spiral1Click();
    void CommentChange();
    void CommentExit();
    void OldEncodingClick(TextEncoding codePage);

    // Run controls.
    void GoClick();
    void Null00Click();
    void LTimeDblClick();
    /// Makes `steps` steps as a run of their own that stops by itself (Run > Step).
    void StepClick(long long steps);
    /// Runs at stepsPerSecond from now on (0: Full), also during a run (Run > Speed).
    void SpeedChosen(double stepsPerSecond);
    /// Damping of the next step: 0.99 with Cool ticked, else 1.
    Extended CoolFactorNow() const;

    // View controls.
    void DaoBackClick();
    void DaoForvardClick();
    void DaoTetaClick();
    void DaoTeta1Click();
    void DaoPsiClick();
    void DaoPsi1Click();
    void DaoPhiClick();
    void DaoPhi1Click();
    void DaoStopClick();
    void ShowSpinClick();
    void ShowNumbersOfPointsClick();
    void MoveToCenterClick();
    void Left1Click();
    void Right1Click();
    void Up1Click();
    void Down1Click();
    void FitAll1Click();
    void DotSizeClick(int size);
    void ShowAxesClick();
    void TrackBarChange(int position);
    void TimerTimer();
    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void FormMouseUp(Qt::MouseButton button, int x, int y);
    /// A double click on a taon's dot opens the editor at its row.
    void FormMouseDblClick(Qt::MouseButton button, int x, int y);
    void FormPaint();
    void FormResize();

    // Trajectories, pictures and tables (MainFormExchange.cpp).
    void RecordTrajectory1Click();
    void StopRecording1Click();
    void ImportXyz1Click();
    /// Imports one frame of the trajectory at path as Import XYZ does with the file chosen.
    void ImportPath(const std::string& path);
    void ExportPicture1Click();
    void ExportFilm1Click();
    void CopyAsCsvClick();
    void SaveAsCsvClick();

    // Listing, parameters and help.
    void FillListing();
    void ShowParameters();
    void DaonsTableDblClick();
    void EditDTExit();
    void Help1Click();
    void RusHelpClick();
    void PolHelpClick();
    void About1Click();
    /// Shows the instruments window, creating it the first time.
    void Instruments1Click();
    void MinimiseEnergy1Click();

    // The Player (Player.h).
    /// Plays a trajectory file chosen in the Player (File > Open Trajectory...).
    void OpenTrajectory1Click();
    /// Plays the runs made since the configuration was opened in the Player (View > History).
    void History1Click();
    /// Shows frame in the scene, the listing and the instruments in place of the world, which stays.
    void ShowFrame(const World& frame);
    /// Shows the world again instead of a frame.
    void ReleaseFrame();
    /// Makes state the world, as one undo step "Continue from Step N"; nothing during a run.
    void ContinueFrom(const World& state);
    /// The world the scene, the listing and the instruments show: a Player's frame or the world.
    const World& Shown() const { return ShownWorld(state_); }

    // Scene drawing on the window.
    void Redraw();
    void DrawTaons();
    void DrawFigure();
    SceneArea Scene() const;

    /// True while a run is in progress.
    bool Running() const { return !state_.world.Stopped; }
    /// Steps made since the present run started.
    long long RunSteps() const { return runSteps_; }
    /// The undo history of the world.
    WorldHistory& History() { return *history_; }
    /// The modal questions the window and its other windows ask.
    Questions& Asker() { return questions_; }

    // The controls, named as the program names them.
    SceneWidget* SceneView = nullptr;
    QWidget* Pan = nullptr;
    QWidget* Panel1 = nullptr;
    QTabWidget* PageControl = nullptr;
    StringGrid* DaonsTable = nullptr;
    QPlainTextEdit* Comment = nullptr;
    FileNameBar* FName = nullptr;
    ClickableLabel* LTime = nullptr;
    QCheckBox* ShowList = nullptr;
    QLineEdit* EditDT = nullptr;
    QCheckBox* Cool = nullptr;
    QSlider* TrackBar = nullptr;
    QToolButton *DaoBack = nullptr, *DaoTeta = nullptr, *DaoPsi = nullptr;
    QToolButton *DaoPhi = nullptr, *DaoStop = nullptr, *DaoPhi1 = nullptr;
    QToolButton *DaoForvard = nullptr, *DaoTeta1 = nullptr, *DaoPsi1 = nullptr;
    QToolButton* Null00 = nullptr;
    LampShape *ShapeRed = nullptr, *ShapeLime = nullptr;
    QPushButton* Go = nullptr;
    std::array<QLineEdit*, 18> ParameterEdits{}; ///< EditA1, EditB1 ... EditG1, EditA2 ... EditG3
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr;
    QMenu* Images = nullptr;
    QMenu* OldEncodings = nullptr; ///< the memo's submenu "Encoding of Old Commentaries"
    QMenu* Examples = nullptr;     ///< File > Examples: one entry per shipped example
    QAction* OpenAtlas1 = nullptr; ///< File > Open Atlas...
    QAction *New1 = nullptr, *Open1 = nullptr, *Save1 = nullptr, *Saveas1 = nullptr, *Exit1 = nullptr;
    QAction *Daons1 = nullptr, *Spiral1 = nullptr, *ShowSpin = nullptr, *ShowNumbersOfPoints = nullptr;
    QAction *MoveToCenter = nullptr, *Left1 = nullptr, *Right1 = nullptr, *Up1 = nullptr, *Down1 = nullptr;
    QAction* Instruments1 = nullptr;
    QAction* MinimiseEnergy1 = nullptr;       ///< Run > Minimise Energy (Ctrl+M)
    InstrumentsWindow* Instruments = nullptr; ///< created by the first Instruments1Click
    QAction *OpenTrajectory1 = nullptr, *History1 = nullptr;
    Player* TrajectoryPlayer = nullptr; ///< created by the first OpenTrajectory1Click
    Player* HistoryPlayer = nullptr;    ///< created by the first History1Click
    QAction *Help1 = nullptr, *RusHelp = nullptr, *PolHelp = nullptr, *About1 = nullptr;
    QAction *Undo1 = nullptr, *Redo1 = nullptr, *FitAll1 = nullptr, *ShowAxes = nullptr;
    std::array<QAction*, 3> DotSizes{}; ///< View > Dot Size: 2, 3, 5 pixels
    PickPopup* PickInfo = nullptr;      ///< what a click on a dot shows
    QTimer* Timer = nullptr;
    QAction *ImportXyz1 = nullptr, *ExportPicture1 = nullptr, *RecordTrajectory1 = nullptr;
    QAction *StopRecording1 = nullptr, *CopyAsCsv = nullptr, *SaveAsCsv = nullptr;
    QAction* ExportFilm1 = nullptr;           ///< File > Export Film..., checked while a film is made
    QLabel* RecMark = nullptr;                ///< the red "REC" beside the step count while recording
    RunMenu* RunCommands = nullptr;           ///< the Run menu
    SceneOptions* SceneLook = nullptr;        ///< View > Style, Trails, Follow ... and the run readout
    StructureLook* StructureMarks = nullptr;  ///< View > Colour By, Show Bonds and the bond cutoff
    ParameterBoxes* ParameterInput = nullptr; ///< the parameter boxes writing back

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void BuildExchangeControls();
    void LayOut();
    QAction* AddAction(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                       void (TMainForm::*handler)());
    template <typename Handler> void Guard(Handler&& handler);

    void SetIdleLook();
    void SetRunningLook();
    void RunTick();
    void EndRun();
    void RefreshAfterLoad();
    void ShowChangedWorld();
    void InstallRecord(const ConfigRecord& record, const std::string& name, bool ownFile);
    void Turn(Extended& spin, Extended& viewAngle, int direction);
    void RecordingEnded(const QString& why);
    void EndRecordingSegment(const QString& why);
    void LoadCommentaryOf(const std::string& path);
    void SaveTo(const std::string& path);
    bool ShowsExample() const;
    void OpenHelpFile(const QString& name);
    void PickAt(int x, int y, bool still);
    void Notify(void (RunObserver::*event)(const World&));

    AppState& state_;
    World& world_;
    ViewState& view_;
    DocumentState& document_;
    Questions& questions_;
    TEditDlg* editDlg_ = nullptr;
    TAboutBox* aboutBox_ = nullptr;

    NumericKeyFilter keyFilter_;
    FastLaw law_;
    QTimer* runTimer_ = nullptr;
    long long runSteps_ = 0;
    long long stepLimit_ = 0; ///< a run of Run > Step stops after this many steps (0: no limit)
    RunPace pace_;
    QElapsedTimer runClock_;
    UndoKeys* undoKeys_ = nullptr;
    std::vector<RunObserver*> observers_;
    std::unique_ptr<WorldHistory> history_;
    std::unique_ptr<RunHistoryKeeper> runHistory_;
    std::unique_ptr<TrajectoryRecording> recording_;
    std::unique_ptr<FilmExport> film_;
    std::unique_ptr<EnergyMinimiser> minimiser_;

    bool listingShowsVelocities_ = false;
    bool showSpinOn_ = false;
    int dragStartX_ = 0, dragStartY_ = 0;
    int rightDragStartX_ = 0, rightDragStartY_ = 0;
};

} // namespace taonscope
