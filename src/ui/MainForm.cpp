// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainForm.h"

#include "AboutBox.h"
#include "AtlasWindow.h"
#include "CommentaryEncoding.h"
#include "EditDlg.h"
#include "EnergyMinimiser.h"
#include "ExamplesMenu.h"
#include "FileNameBar.h"
#include "FilmExport.h"
#include "Guard.h"
#include "HelpWindow.h"
#include "InstrumentsWindow.h"
#include "PanelLook.h"
#include "ParameterBoxes.h"
#include "PickPopup.h"
#include "Player.h"
#include "RunMenu.h"
#include "SceneOptions.h"
#include "StructureLook.h"
#include "Text.h"
#include "TrajectoryRecording.h"
#include "UndoKeys.h"
#include "ViewSettings.h"
#include "WorldHistory.h"

#include "core/Step.h"
#include "document/Commentary.h"
#include "document/IoError.h"
#include "document/StartPointer.h"
#include "document/TextLines.h"
#include "document/TrajectoryFile.h"
#include "view/Figures.h"
#include "view/Fit.h"
#include "view/ImageCanvas.h"
#include "view/Pick.h"

#include <filesystem>

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStyle>
#include <QUrl>

#include <filesystem>

namespace taonscope {

namespace {

// Shows a window of the program's own in front, creating nothing.
void Raise(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

constexpr int PanHeight = 182;
constexpr int Panel1Width = 243;
// Steps between two pictures at Full speed: a picture's time, so that a run draws at most 60 a second.
constexpr int RunBatchMilliseconds = 1000 / RunPace::FramesPerSecond + 1;

// Track bar positions 0..10: radians per rotation step and zoom step.
constexpr Extended AngleSteps[11] = {0.0005L, 0.001L, 0.002L, 0.003L, 0.005L, 0.01L,
                                     0.05L,   0.1L,   0.5L,   1.0L,   2.0L};
constexpr Extended ScaleSteps[11] = {0.5L, 1.0L, 2.0L, 3.0L, 5.0L, 7.0L, 10.0L, 15.0L, 20.0L, 30.0L, 50.0L};

// The record of the configuration file at path, read in full; a failure throws its I/O error.
ConfigRecord RecordOf(const std::string& path) {
    ConfigRecord record{};
    if (const int openFailure = ReadConfigFile(path, record)) throw IoError(openFailure);
    return record;
}

void SetTextColour(QWidget* widget, Rgb colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::ButtonText, QColor(colour.r, colour.g, colour.b));
    palette.setColor(QPalette::WindowText, QColor(colour.r, colour.g, colour.b));
    widget->setPalette(palette);
}

QLineEdit* MakeEdit(QWidget* parent, int x, int y, int width, const QString& text, Rgb background) {
    return PlaceEdit(parent, x, y, width, text,
                     QStringLiteral("background: %1; color: black;").arg(ColourStyle(background)));
}

} // namespace

template <typename Handler> void TMainForm::Guard(Handler&& handler) {
    Guarded(questions_, std::forward<Handler>(handler));
}

void TMainForm::Notify(void (RunObserver::*event)(const World&)) {
    for (RunObserver* observer : observers_) (observer->*event)(world_);
}

TMainForm::TMainForm(AppState& state, Questions& questions, QWidget* parent)
    : QMainWindow(parent), state_(state), world_(state.world), view_(state.view), document_(state.document),
      questions_(questions) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Taonscope"));
    setFont(SansFont(8));
    BuildControls();
    BuildMenus();
    BuildExchangeControls();
    SetIdleLook();
    resize(604, 431);
    layout()->activate();
    LayOut(); // start-up draws nothing: the first paint does
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::SetDialogs(TEditDlg* editDlg, TAboutBox* aboutBox) {
    editDlg_ = editDlg;
    aboutBox_ = aboutBox;
    if (editDlg_)
        editDlg_->onWorldChanged = [this](const QString& name, const World& before, bool closing) {
            history_->Record(name, before, closing);
        };
}

void TMainForm::BuildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    central->installEventFilter(this);

    SceneView = new SceneWidget(central);
    SceneView->setFocusPolicy(Qt::ClickFocus); // a click on the scene leaves the field being typed in
    SceneView->onPaint = [this] { FormPaint(); };
    SceneView->onMousePress = [this](Qt::MouseButton b, int x, int y) { FormMouseDown(b, x, y); };
    SceneView->onMouseRelease = [this](Qt::MouseButton b, int x, int y) { FormMouseUp(b, x, y); };
    SceneView->onMouseDoubleClick = [this](Qt::MouseButton b, int x, int y) { FormMouseDblClick(b, x, y); };
    PickInfo = new PickPopup(SceneView);
    AddRunObserver(PickInfo);

    Pan = new QWidget(central);
    Pan->setAutoFillBackground(true);

    PageControl = new QTabWidget(Pan);
    PageControl->setGeometry(2, 0, 349, 152);
    auto* listingPage = new QWidget;
    auto* commentaryPage = new QWidget;
    PageControl->addTab(listingPage, QStringLiteral("Listing"));
    PageControl->addTab(commentaryPage, QStringLiteral("Commentary"));
    DaonsTable = new StringGrid(4, 101, listingPage);
    DaonsTable->setGeometry(0, -2, 349, 125);
    DaonsTable->SetDefaultColumnWidth(80);
    DaonsTable->onDoubleClick = [this] { DaonsTableDblClick(); };
    Comment = new QPlainTextEdit(QStringLiteral("No Comment"), commentaryPage);
    Comment->setGeometry(0, 0, 341, 123);
    Comment->installEventFilter(this);
    connect(Comment, &QPlainTextEdit::textChanged, this, &TMainForm::CommentChange);
    document_.OldCommentEncoding = StoredOldCommentEncoding();
    OldEncodings = MakeOldEncodingMenu(this, document_.OldCommentEncoding,
                                       [this](TextEncoding codePage) { OldEncodingClick(codePage); });
    InstallCommentContextMenu(Comment, OldEncodings);

    FName = new FileNameBar(QStringLiteral("File Name"), Pan);
    FName->setGeometry(0, 153, 353, 21);
    FName->setReadOnly(true);
    FName->setStyleSheet(QStringLiteral("QLineEdit { background: silver; color: blue; font-weight: bold; }"));
    // The name shows its beginning, as every narrow field does, whatever sets it.
    connect(FName, &QLineEdit::textChanged, FName, [this] { FName->setCursorPosition(0); });

    Panel1 = new QWidget(Pan);
    Panel1->resize(Panel1Width, PanHeight);
    QFont panelFont = SerifFont(10);
    panelFont.setBold(true);
    Panel1->setFont(panelFont);

    SetTextColour(PlaceLabel(Panel1, 0, 0, QStringLiteral("Time:")), {0, 0, 128});
    LTime = new ClickableLabel(QStringLiteral("0"), Panel1);
    LTime->setGeometry(32, 0, 80, 16);
    LTime->onDoubleClick = [this] { LTimeDblClick(); };
    ShowList = new QCheckBox(QStringLiteral("Show Listing"), Panel1);
    ShowList->setGeometry(16, 16, 97, 17);
    ShowList->setChecked(true);
    PlaceLabel(Panel1, 0, 36, QStringLiteral("dt="));
    EditDT = MakeEdit(Panel1, 16, 32, 49, QStringLiteral("0"), Colours::White);
    undoKeys_ = new UndoKeys(this);
    EditDT->installEventFilter(&keyFilter_);
    EditDT->installEventFilter(this);
    EditDT->installEventFilter(undoKeys_);
    Cool = new QCheckBox(QStringLiteral("Cool"), Panel1);
    Cool->setGeometry(64, 32, 49, 17);
    Cool->setStyleSheet(CoolBoxStyle());

    TrackBar = new QSlider(Qt::Horizontal, Panel1);
    TrackBar->setGeometry(0, 56, 121, 25);
    TrackBar->setRange(0, 10);
    TrackBar->setValue(5);
    TrackBar->setTickPosition(QSlider::TicksBelow);
    TrackBar->setTickInterval(1);
    TrackBar->setPageStep(1);
    TrackBar->setToolTip(QStringLiteral("Amplitude"));
    connect(TrackBar, &QSlider::valueChanged, this, &TMainForm::TrackBarChange);

    struct SpeedButton {
        QToolButton** control;
        const char16_t* glyph;
        int height, x, y, width;
        void (TMainForm::*handler)();
        const char* name;
    };
    const SpeedButton buttons[] = {
        {&DaoBack, u"\u2B08", 19, 4, 83, 37, &TMainForm::DaoBackClick, "DaoBack"},
        {&DaoTeta, u"\u21E7", 19, 44, 83, 23, &TMainForm::DaoTetaClick, "DaoTeta"},
        {&DaoPsi, u"\u2B00", 19, 68, 83, 23, &TMainForm::DaoPsiClick, "DaoPsi"},
        {&DaoPhi, u"\u21E6", 16, 20, 107, 23, &TMainForm::DaoPhiClick, "DaoPhi"},
        {&DaoStop, u"", 16, 44, 107, 23, &TMainForm::DaoStopClick, "DaoStop"},
        {&DaoPhi1, u"\u21E8", 16, 68, 107, 23, &TMainForm::DaoPhi1Click, "DaoPhi1"},
        {&DaoForvard, u"\u2B0B", 19, 4, 131, 37, &TMainForm::DaoForvardClick, "DaoForvard"},
        {&DaoTeta1, u"\u21E9", 19, 44, 131, 23, &TMainForm::DaoTeta1Click, "DaoTeta1"},
        {&DaoPsi1, u"\u2B03", 19, 68, 131, 23, &TMainForm::DaoPsi1Click, "DaoPsi1"},
    };
    for (const SpeedButton& b : buttons) {
        auto* button = new HintButton(Panel1);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setText(QString::fromUtf16(b.glyph));
        QFont glyphFont(QStringLiteral("DejaVu Sans"));
        glyphFont.setPixelSize(b.height);
        button->setFont(glyphFont);
        button->setGeometry(b.x, b.y, b.width, 22);
        button->setAutoRaise(false);
        // Held down, an arrow repeats; a turning arrow says its step, which the track bar sets.
        const bool turns = b.control != &DaoBack && b.control != &DaoForvard && b.control != &DaoStop;
        button->setAutoRepeat(b.control != &DaoStop);
        if (turns) button->hint = [this] { return TurnHint(view_.AngleStep); };
        connect(button, &QToolButton::clicked, this, b.handler);
        *b.control = button;
    }

    auto* null00 = new HintButton(Panel1);
    null00->hint = [null00] { return Null00Hint(*null00); };
    Null00 = null00;
    Null00->setText(QStringLiteral("0"));
    Null00->setGeometry(0, 104, 17, 23);
    Null00->setToolTip(QStringLiteral("Make null of velocity"));
    connect(Null00, &QToolButton::clicked, this, &TMainForm::Null00Click);

    ShapeRed = new LampShape(Colours::Maroon, Panel1);
    ShapeRed->setGeometry(94, 129, 19, 21);
    ShapeLime = new LampShape(Colours::Lime, Panel1);
    ShapeLime->setGeometry(94, 153, 19, 21);

    Go = new QPushButton(Panel1);
    Go->setGeometry(3, 152, 86, 25);
    Go->setEnabled(false);
    connect(Go, &QPushButton::clicked, this, &TMainForm::GoClick);

    const Rgb columnColours[3] = {Colours::Lime, Colours::Yellow, Colours::Red};
    const char* initialTexts[6] = {"1", "1", "2", "3", "4", "5"};
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 6; ++row) {
            const int y = 24 * row;
            if (column == 0)
                PlaceLabel(Panel1, 120, y + 8, QString::fromLatin1(ParameterNames[row + 1]));
            else
                PlaceLabel(Panel1, column == 1 ? 168 : 208, y + 8, QString::number(column + 1));
            QLineEdit* edit = MakeEdit(Panel1, 136 + 40 * column, y, 25,
                                       QString::fromLatin1(initialTexts[row]), columnColours[column]);
            edit->setObjectName(QStringLiteral("Edit") +
                                QString::fromLatin1(ParameterNames[6 * column + row + 1]));
            edit->installEventFilter(undoKeys_);
            ParameterEdits[static_cast<std::size_t>(6 * column + row)] = edit;
        }
    for (int row = 0; row < 4; ++row)
        ParameterEdits[static_cast<std::size_t>(row)]->installEventFilter(&keyFilter_);
    Edit1 = MakeEdit(Panel1, 136, 152, 33, QStringLiteral("1-50"), Colours::Lime);
    Edit2 = MakeEdit(Panel1, 168, 152, 33, QStringLiteral("51-80"), Colours::Yellow);
    Edit3 = MakeEdit(Panel1, 200, 152, 41, QStringLiteral("81-100"), Colours::Red);
    for (QLineEdit* legend : {Edit1, Edit2, Edit3}) FitLegend(legend);

    Timer = new QTimer(this);
    Timer->setInterval(300);
    connect(Timer, &QTimer::timeout, this, &TMainForm::TimerTimer);
    Timer->start();

    runTimer_ = new QTimer(this);
    runTimer_->setInterval(0);
    connect(runTimer_, &QTimer::timeout, this, &TMainForm::RunTick);
}

QAction* TMainForm::AddAction(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                              void (TMainForm::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void TMainForm::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    New1 = AddAction(file, QStringLiteral("New"), Qt::Key_F2, &TMainForm::New1Click);
    Open1 = AddAction(file, QStringLiteral("Open"), Qt::Key_F3, &TMainForm::Open1Click);
    Save1 = AddAction(file, QStringLiteral("Save"), Qt::CTRL | Qt::Key_S, &TMainForm::Save1Click);
    Saveas1 = AddAction(file, QStringLiteral("Save As ..."), {}, &TMainForm::Saveas1Click);
    Examples = file->addMenu(QStringLiteral("Examples"));
    FillExamplesMenu(Examples, ShippedExamples(), [this](const std::string& path) { OpenExample(path); });
    FName->setPlaceholderText(ExamplesHint(Examples->actions().size()));
    OpenAtlas1 = AddAction(file, QStringLiteral("Open Atlas..."), {}, &TMainForm::OpenAtlas1Click);
    file->addSeparator();
    Exit1 = AddAction(file, QStringLiteral("Exit"), Qt::ALT | Qt::Key_X, &TMainForm::Exit1Click);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit"));
    history_ = std::make_unique<WorldHistory>(world_, [this] {
        // Frames after an undone step would go back in time: the recording ends here.
        EndRecordingSegment(QStringLiteral("Undo or Redo"));
        ShowChangedWorld();
    });
    history_->AddActions(edit);
    Undo1 = history_->UndoAction(), Redo1 = history_->RedoAction();
    AddRunObserver(history_.get());
    runHistory_ = std::make_unique<RunHistoryKeeper>();
    AddRunObserver(runHistory_.get());
    ParameterInput = new ParameterBoxes(
        world_, ParameterEdits, questions_,
        [this](const QString& name, const World& before) {
            history_->Record(name, before);
            if (Instruments) Instruments->RefreshLaw();
        },
        this);

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("View"));
    Images = viewMenu->addMenu(QStringLiteral("Show Images"));
    Daons1 = AddAction(Images, QStringLiteral("Taons"), Qt::Key_F5, &TMainForm::Daons1Click);
    Spiral1 = AddAction(Images, QStringLiteral("Spiral"), {}, &TMainForm::Spiral1Click);
    ShowSpin = AddAction(viewMenu, QStringLiteral("ShowSpin"), Qt::Key_F6, &TMainForm::ShowSpinClick);
    ShowSpin->setCheckable(true);
    ShowNumbersOfPoints = AddAction(viewMenu, QStringLiteral("Show Numbers of Points"), Qt::Key_F7,
                                    &TMainForm::ShowNumbersOfPointsClick);
    ShowNumbersOfPoints->setCheckable(true);
    MoveToCenter =
        AddAction(viewMenu, QStringLiteral("Move to center"), Qt::Key_F8, &TMainForm::MoveToCenterClick);
    FitAll1 = AddAction(viewMenu, QStringLiteral("Fit All"), Qt::CTRL | Qt::Key_0, &TMainForm::FitAll1Click);
    LoadViewOptions(view_);
    QMenu* dotSize = viewMenu->addMenu(QStringLiteral("Dot Size"));
    auto* dotSizes = new QActionGroup(dotSize);
    for (std::size_t i = 0; i < DotSizes.size(); ++i) {
        const int size = DotSizeChoices[i];
        DotSizes[i] = dotSize->addAction(QStringLiteral("%1 pixels").arg(size));
        DotSizes[i]->setCheckable(true);
        DotSizes[i]->setChecked(view_.DotSize == size);
        dotSizes->addAction(DotSizes[i]);
        connect(DotSizes[i], &QAction::triggered, this, [this, size] { DotSizeClick(size); });
    }
    ShowAxes = AddAction(viewMenu, QStringLiteral("Show Axes"), {}, &TMainForm::ShowAxesClick);
    ShowAxes->setCheckable(true);
    ShowAxes->setChecked(view_.ShowAxesOn);
    viewMenu->addSeparator();
    SceneLook = new SceneOptions(
        viewMenu, view_, [this] { Redraw(); }, this);
    AddRunObserver(SceneLook);
    StructureMarks = new StructureLook(
        viewMenu, [this] { Redraw(); }, this);
    AddRunObserver(StructureMarks);
    PickInfo->describe = [this](const World& world, int slot) {
        return StructureMarks->TaonLines(world, slot);
    };
    viewMenu->addSeparator();
    Instruments1 = AddAction(viewMenu, QStringLiteral("Instruments"), Qt::CTRL | Qt::Key_I,
                             &TMainForm::Instruments1Click);
    History1 =
        AddAction(viewMenu, QStringLiteral("History"), Qt::CTRL | Qt::Key_H, &TMainForm::History1Click);

    RunMenu::Commands runCommands;
    runCommands.goButton = Go;
    runCommands.goStop = [this] { GoClick(); };
    runCommands.running = [this] { return Running(); };
    runCommands.step = [this](long long steps) { StepClick(steps); };
    runCommands.speedChosen = [this](double stepsPerSecond) { SpeedChosen(stepsPerSecond); };
    QMenu* runMenu = menuBar()->addMenu(QStringLiteral("Run"));
    RunCommands = new RunMenu(runMenu, std::move(runCommands));
    runMenu->addSeparator();
    MinimiseEnergy1 = AddAction(runMenu, QString::fromLatin1(EnergyMinimiser::Caption), Qt::CTRL | Qt::Key_M,
                                &TMainForm::MinimiseEnergy1Click);
    minimiser_ = std::make_unique<EnergyMinimiser>(world_, law_, questions_, *history_, [this] {
        Redraw();
        FillListing();
    });

    // "Manager" is not in the menu bar; its commands are reached through their shortcuts alone.
    auto* manager = new QMenu(QStringLiteral("Manager"), this);
    Left1 = AddAction(manager, QStringLiteral("Left"), Qt::CTRL | Qt::Key_Left, &TMainForm::Left1Click);
    Right1 = AddAction(manager, QStringLiteral("Right"), Qt::CTRL | Qt::Key_Right, &TMainForm::Right1Click);
    Up1 = AddAction(manager, QStringLiteral("Up"), Qt::CTRL | Qt::Key_Up, &TMainForm::Up1Click);
    Down1 = AddAction(manager, QStringLiteral("Down"), Qt::CTRL | Qt::Key_Down, &TMainForm::Down1Click);
    addActions({Left1, Right1, Up1, Down1});

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    Help1 = AddAction(help, QStringLiteral("English Help"), Qt::Key_F1, &TMainForm::Help1Click);
    RusHelp =
        AddAction(help, QStringLiteral("Russian Help"), Qt::CTRL | Qt::Key_F1, &TMainForm::RusHelpClick);
    PolHelp =
        AddAction(help, QStringLiteral("Poland Help"), Qt::SHIFT | Qt::Key_F1, &TMainForm::PolHelpClick);
    About1 = AddAction(help, QStringLiteral("About"), {}, &TMainForm::About1Click);
}

// ---- Start-up and document commands -------------------------------------------------------------

void TMainForm::FormCreate() {
    UpdateSceneCentre(view_, Scene().width, Scene().bottom);
    view_.ViewScale = 120;
    view_.SpinTeta = view_.SpinPsi = view_.SpinPhi = 0;
    world_.ShowingFigure = true;
    world_.TaonCount = MaxTaons;
    view_.FigureKind = 1;
    BuildSpinMatrix(view_);

    auto showFigure = [&] {
        world_.ShowingFigure = true;
        GenerateFigure(world_, view_);
        document_.CurrentFileName = FigureName;
        document_.CurrentIsFile = false;
        Go->setEnabled(false);
    };
    std::vector<std::string> startupErrors;
    try {
        const std::optional<std::string> pointer = ReadStartPointer(document_.StartPointerFile);
        if (!pointer) {
            showFigure();
            // A pointer that is there but cannot be read is left alone rather than replaced.
            std::error_code unknown;
            if (!std::filesystem::exists(document_.StartPointerFile, unknown) && !unknown)
                CreateEmptyStartPointer(document_.StartPointerFile);
        } else if (pointer->empty()) {
            document_.StartFileName.clear();
            showFigure();
        } else {
            const std::string& path = *pointer;
            document_.StartFileName = path;
            world_.ShowingFigure = false;
            Go->setEnabled(true);
            document_.CurrentFileName = path;
            document_.CurrentIsFile = true;
            FName->setText(FromPath(path));
            if (ReadConfigFile(path, document_.ConfigBuffer) != 0) {
                GenerateFigure(world_, view_);
                FName->setText(QStringLiteral("The easy square"));
            } else {
                UnpackConfigRecord(document_.ConfigBuffer, world_);
                // A commentary that cannot be loaded is reported; the configuration stays.
                if (auto failure = FailureOf([&] { LoadCommentaryOf(path); }))
                    startupErrors.push_back(*failure);
            }
        }
    } catch (...) {
        // Reported once the window is up; the program goes on with the figure.
        startupErrors.push_back(*FailureOf([] { throw; }));
        showFigure();
        FName->setText(QStringLiteral("File Name"));
    }

    view_.PanStep = 5;
    view_.ScaleStep = 3;
    view_.AngleStep = 0.01L;
    FillListing();
    ShowParameters();
    world_.Stopped = true;
    world_.dt = 0.001L;
    for (const std::string& message : startupErrors)
        QTimer::singleShot(0, this, [this, message] { questions_.Error(message); });
}

void TMainForm::ShowChangedWorld() {
    LTime->setText(QString::number(world_.StepCounter));
    Redraw();
    FillListing();
    ShowParameters();
}

void TMainForm::RefreshAfterLoad() {
    world_.StepCounter = 0;
    LTime->setText(QStringLiteral("0"));
    DrawTaons();
    FillListing();
    ShowParameters();
}

void TMainForm::New1Click() {
    Guard([&] {
        if (!editDlg_ || editDlg_->exec() != QDialog::Accepted) return;
        world_.ShowingFigure = false;
        Go->setEnabled(true);
        Null00->setEnabled(!Running());
        FName->setText(FromPath(document_.CurrentFileName));
        RefreshAfterLoad();
        Notify(&RunObserver::DocumentReplaced);
    });
}

// Makes a configuration read in full the window's document, under name (a file of the user's when
// ownFile); what was read before is not touched when the reading fails.
void TMainForm::InstallRecord(const ConfigRecord& record, const std::string& name, bool ownFile) {
    document_.ConfigBuffer = record;
    world_.ShowingFigure = false;
    Go->setEnabled(true);
    Null00->setEnabled(!Running());
    document_.CurrentFileName = name;
    document_.CurrentIsFile = ownFile;
    FName->setText(FromPath(name));
    UnpackConfigRecord(document_.ConfigBuffer, world_);
    RefreshAfterLoad();
    Notify(&RunObserver::DocumentReplaced);
}

void TMainForm::Open1Click() {
    Guard([&] {
        if (const std::optional<std::string> path = questions_.OpenPath()) OpenGiven(*path);
    });
}

void TMainForm::OpenGiven(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (TrajectoryFormatOf(path) == TrajectoryFormat::Lammps || EqualNoCase(extension, ".xyz"))
        return ImportPath(path);
    Guard([&] {
        InstallRecord(RecordOf(path), path, true);
        WriteStartPointer(document_.StartPointerFile, path);
        document_.StartFileName = path;
        LoadCommentaryOf(path);
    });
}

// Opens as Open does, but the example stays untouched: it is no file of the user's (Save asks for a
// name), the start pointer keeps its configuration, and its commentary goes with it when it is saved.
void TMainForm::OpenExample(const std::string& path) {
    Guard([&] {
        InstallRecord(RecordOf(path), path, false);
        document_.ExampleFileName = path;
        FitAll1Click();
        LoadCommentaryOf(path);
        document_.CommentChanged = false;
    });
}

void TMainForm::OpenAtlas1Click() {
    Guard([&] {
        if (const std::optional<std::string> path = questions_.OpenFilePath(FileKind::Atlas))
            ShowAtlasWindow(
                *path, questions_,
                [this](const std::string& cell, bool cool) {
                    OpenExample(cell);
                    Cool->setChecked(cool); // Go goes on as the sweep ran
                },
                this);
    });
}

bool TMainForm::ShowsExample() const {
    return !document_.CurrentIsFile && !document_.ExampleFileName.empty() &&
           document_.CurrentFileName == document_.ExampleFileName;
}

void TMainForm::SaveTo(const std::string& path) {
    const bool fromExample = ShowsExample();
    WriteConfigFile(path, world_, document_.ConfigBuffer);
    if (fromExample) SaveCommentary(path, ToLocalText(Comment->toPlainText()));
    document_.CurrentFileName = path;
    document_.CurrentIsFile = true;
    FName->setText(FromPath(path));
    WriteStartPointer(document_.StartPointerFile, path);
    document_.StartFileName = path;
}

void TMainForm::Save1Click() {
    if (world_.ShowingFigure) return;
    if (!document_.CurrentIsFile) return Saveas1Click();
    Guard([&] {
        SaveAskingForReadOnly(
            questions_, [&] { WriteConfigFile(document_.CurrentFileName, world_, document_.ConfigBuffer); });
    });
}

void TMainForm::Saveas1Click() {
    if (world_.ShowingFigure) return;
    Guard([&] {
        if (const std::optional<std::string> path = questions_.SavePath())
            SaveAskingForReadOnly(questions_, [&] { SaveTo(*path); });
    });
}

void TMainForm::Exit1Click() {
    close();
}

void TMainForm::Daons1Click() {
    Guard([&] {
        world_.ShowingFigure = false;
        Go->setEnabled(true);
        Null00->setEnabled(true);
        const std::optional<std::string> pointer = ReadStartPointer(document_.StartPointerFile);
        if (!pointer) return questions_.Information("The start File not found.");
        if (pointer->empty()) {
            GenerateFigure(world_, view_);
            document_.CurrentFileName = "This is a stabil structur of taons";
            document_.CurrentIsFile = false;
            FillListing();
            FName->setText(FromPath(document_.CurrentFileName));
            DrawTaons();
            Notify(&RunObserver::DocumentReplaced);
            return;
        }
        const std::string& path = *pointer;
        document_.StartFileName = path;
        document_.CurrentFileName = path;
        document_.CurrentIsFile = true;
        FName->setText(FromPath(path));
        if (ReadConfigFile(path, document_.ConfigBuffer) != 0) {
            GenerateFigure(world_, view_); // the built-in structure, without a redraw or a listing
            return Notify(&RunObserver::DocumentReplaced);
        }
        UnpackConfigRecord(document_.ConfigBuffer, world_);
        DrawTaons();
        FillListing();
        Notify(&RunObserver::DocumentReplaced);
    });
}

void TMainForm::Spiral1Click() {
    world_.ShowingFigure = true;
    GenerateFigure(world_, view_);
    Go->setEnabled(false);
    Null00->setEnabled(false);
    DrawFigure();
    Notify(&RunObserver::DocumentReplaced);
}

// A text that differs from the memo's counts as a change of the memo; the same text does not.
void TMainForm::LoadCommentaryOf(const std::string& path) {
    const std::optional<QString> shown = ReadMemoCommentary(path, document_);
    if (shown && *shown != Comment->toPlainText()) Comment->setPlainText(*shown);
}

void TMainForm::CommentChange() {
    document_.CommentChanged = true;
}

void TMainForm::CommentExit() {
    if (!document_.CommentChanged) return;
    document_.CommentChanged = false;
    if (ShowsExample()) return; // an example's commentary is saved with it under a name of the user's
    if (!questions_.Confirm("The text was changed. Save now?")) return;
    Guard([&] {
        // A configuration without a file of its own is saved under a name the user gives, the commentary
        // beside it; the figure has no configuration, and its commentary goes beside the figure's name.
        if (!document_.CurrentIsFile && !world_.ShowingFigure) {
            const std::optional<std::string> path = questions_.SavePath();
            if (!path || !SaveAskingForReadOnly(questions_, [&] { SaveTo(*path); })) return;
        }
        SaveAskingForReadOnly(questions_, [&] {
            SaveMemoCommentary(document_.CurrentFileName, Comment->toPlainText(), document_, questions_);
        });
    });
}

// A commentary decoded from the previous choice is read again at once.
void TMainForm::OldEncodingClick(TextEncoding codePage) {
    Guard([&] {
        if (ChooseOldCommentEncoding(codePage, Comment->toPlainText(), document_, questions_))
            LoadCommentaryOf(document_.CurrentFileName);
    });
}

// ---- Run controls ---------------------------------------------------------------------------------

Extended TMainForm::CoolFactorNow() const {
    return CoolFactor(Cool->isChecked());
}

void TMainForm::SetIdleLook() {
    Go->setText(QStringLiteral("Go"));
    Go->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    ShapeRed->SetColour(Colours::Maroon);
    ShapeLime->SetColour(Colours::Lime);
    Images->setEnabled(true);
    Daons1->setEnabled(true);
    Spiral1->setEnabled(true);
    Null00->setEnabled(true);
}

void TMainForm::SetRunningLook() {
    Go->setText(QStringLiteral("Stop"));
    Go->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    ShapeRed->SetColour(Colours::Red);
    ShapeLime->SetColour(Colours::Green);
    Images->setEnabled(false);
    Daons1->setEnabled(false);
    Spiral1->setEnabled(false);
    Null00->setEnabled(false);
    Null00->setText(QStringLiteral("0"));
    SetTextColour(Null00, Colours::Maroon);
}

void TMainForm::GoClick() {
    if (world_.Stopped) {
        SetRunningLook();
        world_.Stopped = false;
        runSteps_ = 0;
        runClock_.start();
        pace_.Start(RunCommands->StepsPerSecond(), 0, 0);
        runTimer_->setInterval(pace_.IntervalMs());
        runTimer_->start();
        Notify(&RunObserver::RunStarted);
    } else {
        SetIdleLook();
        world_.Stopped = true;
        // A run makes at least one step: a run stopped before its first step ends after it.
        if (runSteps_ > 0) EndRun();
    }
}

void TMainForm::StepClick(long long steps) {
    if (!world_.Stopped || !Go->isEnabled() || steps < 1) return;
    stepLimit_ = steps;
    GoClick();
}

void TMainForm::SpeedChosen(double stepsPerSecond) {
    if (!runClock_.isValid()) return;
    pace_.Start(stepsPerSecond, runClock_.nsecsElapsed() * 1e-9, runSteps_);
    runTimer_->setInterval(pace_.IntervalMs());
}

void TMainForm::EndRun() {
    stepLimit_ = 0;
    if (!runTimer_->isActive()) return;
    runTimer_->stop();
    Notify(&RunObserver::RunEnded);
}

// One turn of the event loop of a run: steps for a short while (at least one), then the picture.
void TMainForm::RunTick() {
    // A modal window (the editor, a file dialog, a message) holds the run between two steps.
    if (QApplication::activeModalWidget()) return;
    // At full speed steps fill a batch of time; at a chosen speed the steps due are made, perhaps none.
    const long long due = pace_.Due(runClock_.nsecsElapsed() * 1e-9, runSteps_);
    if (due == 0 && !(world_.Stopped && runSteps_ == 0)) return;
    QElapsedTimer batch;
    batch.start();
    const auto more = [&](long long made) {
        if (world_.Stopped || (stepLimit_ > 0 && runSteps_ >= stepLimit_)) return false;
        return due == RunPace::Full ? batch.elapsed() < RunBatchMilliseconds : made < due;
    };
    const bool completed = Guarded(questions_, [&] {
        long long made = 0;
        do {
            const Extended cool = CoolFactorNow();
            for (RunObserver* observer : observers_) observer->StepStarting(world_, cool);
            AdvanceStep(world_, cool, law_);
            ++runSteps_, ++made;
            Notify(&RunObserver::StepDone);
        } while (more(made));
    });
    if (!completed || (stepLimit_ > 0 && runSteps_ >= stepLimit_)) {
        // A fault (the faulting step changed nothing) or the last step of Run > Step ends the run as Stop.
        world_.Stopped = true;
        SetIdleLook();
    }
    SceneLook->BeforeFrame(view_, world_, Scene());
    if (world_.ShowTime) LTime->setText(QString::number(world_.StepCounter));
    DrawTaons();
    if (ShowList->isChecked()) FillListing();
    if (!completed || world_.Stopped) EndRun();
}

void TMainForm::Null00Click() {
    if (world_.ShowingFigure || !world_.Stopped) return;
    const World before = world_;
    for (int i = 1; i <= std::clamp(world_.TaonCount, 0, MaxTaons); ++i) {
        world_.VelX[i] = world_.VelY[i] = world_.VelZ[i] = 0;
        world_.NextVelX[i] = world_.NextVelY[i] = world_.NextVelZ[i] = 0;
    }
    history_->Record(QStringLiteral("Zero Velocities"), before);
    Null00->setText(QStringLiteral("Yes Null"));
    SetTextColour(Null00, Colours::Maroon);
    FillListing();
    Guard([&] {
        if (const std::optional<std::string> path = questions_.SavePath())
            SaveAskingForReadOnly(questions_, [&] { SaveTo(*path); });
    });
}

void TMainForm::MinimiseEnergy1Click() {
    if (world_.ShowingFigure || Running()) return;
    ReleaseFrame(); // the configuration is minimised: the scene shows it
    Guard([&] { minimiser_->Minimise(); });
}

void TMainForm::Instruments1Click() {
    if (!Instruments) {
        Instruments = new InstrumentsWindow(state_, *this, this);
        AddRunObserver(Instruments);
    }
    Raise(Instruments);
}

void TMainForm::OpenTrajectory1Click() {
    Guard([&] {
        const std::optional<std::string> path = questions_.OpenFilePath(FileKind::AnyTrajectory);
        if (!path) return;
        if (!TrajectoryPlayer) {
            TrajectoryPlayer = new Player(state_, *this, this);
            AddRunObserver(TrajectoryPlayer);
        }
        TrajectoryPlayer->Play(*path);
        Raise(TrajectoryPlayer);
    });
}

void TMainForm::History1Click() {
    if (!HistoryPlayer) {
        HistoryPlayer = new Player(state_, *this, this);
        AddRunObserver(HistoryPlayer);
    }
    HistoryPlayer->Play(runHistory_->History());
    Raise(HistoryPlayer);
}

void TMainForm::ShowFrame(const World& frame) {
    state_.shownFrame = frame;
    Redraw();
    FillListing();
}

void TMainForm::ReleaseFrame() {
    if (!state_.shownFrame) return;
    state_.shownFrame.reset();
    PickInfo->hide();
    Redraw();
    FillListing();
}

void TMainForm::ContinueFrom(const World& state) {
    if (Running()) return;
    const World before = world_;
    world_ = state;
    world_.Stopped = true;
    world_.ShowingFigure = false;
    world_.ShowTime = before.ShowTime;
    state_.shownFrame.reset();
    PickInfo->hide();
    Go->setEnabled(true);
    Null00->setEnabled(true);
    // The next frames would go back in time: the recording ends here.
    EndRecordingSegment(QStringLiteral("Continue from Here"));
    history_->Record(QStringLiteral("Continue from Step %1").arg(world_.StepCounter), before);
    ShowChangedWorld();
}

void TMainForm::LTimeDblClick() {
    world_.ShowTime = !world_.ShowTime;
}

// ---- View controls --------------------------------------------------------------------------------

// One rotation click: the increment moves by one angle step in the direction given, then turns the
// figure (figure mode) or the view angle (taon mode), and is used up.
void TMainForm::Turn(Extended& spin, Extended& viewAngle, int direction) {
    const int clicks = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier ? ShiftTurnClicks : 1;
    spin += direction * clicks * view_.AngleStep;
    if (Shown().ShowingFigure) {
        DrawFigure();
    } else {
        viewAngle += spin;
        DrawTaons();
    }
    spin = 0;
}

void TMainForm::DaoBackClick() {
    if (view_.ViewScale < 9 * view_.ScaleStep)
        view_.ViewScale = view_.ViewScale / view_.ScaleStep;
    else
        view_.ViewScale = view_.ViewScale - 3 * view_.ScaleStep;
    Redraw();
}

void TMainForm::DaoForvardClick() {
    view_.ViewScale = view_.ViewScale + 3 * view_.ScaleStep;
    Redraw();
}

void TMainForm::DaoTetaClick() {
    Turn(view_.SpinTeta, view_.ViewTeta, -1);
}

void TMainForm::DaoTeta1Click() {
    Turn(view_.SpinTeta, view_.ViewTeta, 1);
}

void TMainForm::DaoPsiClick() {
    Turn(view_.SpinPsi, view_.ViewPsi, -1);
}

void TMainForm::DaoPsi1Click() {
    Turn(view_.SpinPsi, view_.ViewPsi, 1);
}

void TMainForm::DaoPhiClick() {
    Turn(view_.SpinPhi, view_.ViewPhi, 1);
}

void TMainForm::DaoPhi1Click() {
    Turn(view_.SpinPhi, view_.ViewPhi, -1);
}

void TMainForm::DaoStopClick() {
    view_.SpinTeta = view_.SpinPsi = view_.SpinPhi = 0;
    Redraw();
}

void TMainForm::ShowSpinClick() {
    showSpinOn_ = !showSpinOn_;
    ShowSpin->setChecked(showSpinOn_);
}

void TMainForm::ShowNumbersOfPointsClick() {
    view_.ShowNumbersOn = !view_.ShowNumbersOn;
    ShowNumbersOfPoints->setChecked(view_.ShowNumbersOn);
    Redraw();
}

void TMainForm::MoveToCenterClick() {
    view_.ViewScale = 120;
    view_.OffsetX = view_.OffsetY = 0;
    Redraw();
}

void TMainForm::Left1Click() {
    view_.OffsetX -= view_.PanStep;
    Redraw();
}

void TMainForm::Right1Click() {
    view_.OffsetX += view_.PanStep;
    Redraw();
}

void TMainForm::Up1Click() {
    view_.OffsetY -= view_.PanStep;
    Redraw();
}

void TMainForm::Down1Click() {
    view_.OffsetY += view_.PanStep;
    Redraw();
}

void TMainForm::FitAll1Click() {
    FitAll(view_, Shown(), Scene());
    Redraw();
}

void TMainForm::DotSizeClick(int size) {
    view_.DotSize = size;
    SaveViewOptions(view_);
    Redraw();
}

void TMainForm::ShowAxesClick() {
    view_.ShowAxesOn = !view_.ShowAxesOn;
    ShowAxes->setChecked(view_.ShowAxesOn);
    SaveViewOptions(view_);
    Redraw();
}

void TMainForm::TrackBarChange(int position) {
    if (position < 0 || position > 10) return;
    view_.AngleStep = AngleSteps[position];
    view_.ScaleStep = ScaleSteps[position];
}

void TMainForm::TimerTimer() {
    if (showSpinOn_) Redraw();
}

void TMainForm::FormMouseDown(Qt::MouseButton button, int x, int y) {
    if (button == Qt::RightButton)
        rightDragStartX_ = x, rightDragStartY_ = y;
    else
        dragStartX_ = x, dragStartY_ = y;
}

void TMainForm::FormMouseUp(Qt::MouseButton button, int x, int y) {
    const bool right = button == Qt::RightButton;
    if (right) {
        view_.SpinPsi -= static_cast<Extended>(x - rightDragStartX_) * view_.AngleStep;
        view_.ViewScale -= static_cast<Extended>(y - rightDragStartY_) * view_.ScaleStep;
    } else {
        view_.SpinPhi -= static_cast<Extended>(x - dragStartX_) * view_.AngleStep;
        view_.SpinTeta += static_cast<Extended>(y - dragStartY_) * view_.AngleStep;
    }
    if (Shown().ShowingFigure) {
        DrawFigure();
    } else {
        if (right) {
            view_.ViewPsi += view_.SpinPsi;
        } else {
            view_.ViewPhi += view_.SpinPhi;
            view_.ViewTeta += view_.SpinTeta;
        }
        DrawTaons();
        view_.SpinTeta = view_.SpinPsi = view_.SpinPhi = 0;
    }
    if (!ShowSpin->isChecked()) view_.SpinTeta = view_.SpinPsi = view_.SpinPhi = 0;
    PickAt(x, y, button == Qt::LeftButton && x == dragStartX_ && y == dragStartY_);
}

// A left click that does not move picks the taon of the nearest dot; any other click puts the panel away.
void TMainForm::PickAt(int x, int y, bool still) {
    const int slot = still && !Shown().ShowingFigure ? NearestDot(view_, Shown(), x, y) : 0;
    if (slot != 0)
        PickInfo->ShowTaon(Shown(), slot, {x, y});
    else
        PickInfo->hide();
}

void TMainForm::FormMouseDblClick(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton || Shown().ShowingFigure || !editDlg_) return;
    const int slot = NearestDot(view_, Shown(), x, y);
    if (slot == 0) return;
    PickInfo->hide();
    editDlg_->DaonsTable->setCurrentCell(slot - 1, 0);
    New1Click();
}

void TMainForm::FormPaint() {
    UpdateSceneCentre(view_, Scene().width, Scene().bottom);
    if (Shown().ShowingFigure) {
        DrawFigure();
    } else {
        DrawTaons();
        FillListing();
    }
}

void TMainForm::FormResize() {
    LayOut();
    Redraw();
}

// Keeps the bottom panel at the bottom, Panel1 at its right, the scene above, and the widths that
// follow Panel1's left edge.
void TMainForm::LayOut() {
    QWidget* central = centralWidget();
    Pan->setGeometry(0, std::max(central->height() - PanHeight, 0), central->width(), PanHeight);
    Panel1->move(std::max(Pan->width() - Panel1Width, 0), 0);
    SceneView->setGeometry(0, 0, central->width(), Pan->y());

    UpdateSceneCentre(view_, Scene().width, Scene().bottom);
    const int w = Panel1->x() - 5;
    FName->resize(w + 3, FName->height());
    Comment->resize(w + 3, PageControl->height() - 29);
    PageControl->resize(w, PageControl->height());
    DaonsTable->resize(w - 2, DaonsTable->height());
    DaonsTable->SetDefaultColumnWidth((w - 30) / 6);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        FormResize();
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving the window or opening a context menu is not leaving the control.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == EditDT)
                EditDTExit();
            else if (watched == Comment)
                CommentExit();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    EndRun();
    world_.Stopped = true;
    // An edited commentary is not lost silently: the question of leaving the memo comes first.
    CommentExit();
    event->accept();
}

// ---- Scene, listing, parameters and help -------------------------------------------------------

SceneArea TMainForm::Scene() const {
    return {centralWidget()->width(), Pan->y()};
}

void TMainForm::Redraw() {
    if (Shown().ShowingFigure)
        DrawFigure();
    else
        DrawTaons();
}

void TMainForm::DrawTaons() {
    ImageCanvas canvas(SceneView->Image());
    SceneExtras extras = SceneLook ? SceneLook->Extras(Shown()) : SceneExtras{};
    if (StructureMarks) StructureMarks->AddTo(extras, Shown());
    taonscope::DrawTaons(canvas, view_, Shown(), Scene(), extras);
    SceneView->Present();
}

void TMainForm::DrawFigure() {
    ImageCanvas canvas(SceneView->Image());
    taonscope::DrawFigure(canvas, view_, world_, Scene());
    SceneView->Present();
}

void TMainForm::FillListing() {
    DaonsTable->FillTaons(Shown(), listingShowsVelocities_);
}

void TMainForm::ShowParameters() {
    ShowText(EditDT, RealText(world_.dt));
    for (std::size_t p = 0; p < ParameterEdits.size(); ++p)
        ShowText(ParameterEdits[p], RealText(world_.*ParameterFields[p + 1]));
}

void TMainForm::DaonsTableDblClick() {
    listingShowsVelocities_ = !listingShowsVelocities_;
    FillListing();
}

void TMainForm::EditDTExit() {
    const World before = world_;
    Guard([&] { world_.dt = ReadReal(EditDT->text()); });
    if (history_) history_->Record(QStringLiteral("dt"), before);
}

void TMainForm::Help1Click() {
    ShowHelpWindow(this);
}

void TMainForm::OpenHelpFile(const QString& name) {
    const QStringList folders = {QCoreApplication::applicationDirPath(),
                                 QCoreApplication::applicationDirPath() +
                                     QStringLiteral("/../share/taonscope")};
    for (const QString& folder : folders)
        for (const char* ending : {".html", ".pdf"}) {
            const QString path = QDir(folder).filePath(name + QLatin1String(ending));
            if (QFileInfo::exists(path)) {
                QDesktopServices::openUrl(QUrl::fromLocalFile(path));
                return;
            }
        }
    questions_.Information("The help file " + name.toStdString() + " was not found.");
}

void TMainForm::RusHelpClick() {
    OpenHelpFile(QStringLiteral("HlpArtRu"));
}
void TMainForm::PolHelpClick() {
    OpenHelpFile(QStringLiteral("HlpArtPl"));
}

void TMainForm::About1Click() {
    if (aboutBox_) aboutBox_->exec();
}

} // namespace taonscope
