// SPDX-License-Identifier: GPL-3.0-or-later
#include "Player.h"

#include "Guard.h"
#include "MainForm.h"
#include "PlayerRunTab.h"

#include "core/NumberText.h"
#include "document/ConfigFile.h"
#include "document/TrajectoryIndex.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <limits>
#include <thread>

namespace taonscope {

namespace {

// The Run tab draws at most about this many frames of a long trajectory, evenly spread.
constexpr int MostRows = 4000;
// Measures reach the Run tab in pieces of this many frames, or every tenth of a second.
constexpr std::size_t RowsPerPiece = 200;

std::int32_t StepCounterOf(std::int64_t step) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(step, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

QString Megabytes(std::uint64_t bytes) {
    return QString::number(static_cast<double>(bytes) / 1e6, 'f', 1);
}

} // namespace

/// What a Player plays: frames of a file or states of the runs' history.
class PlayerSource {
public:
    virtual ~PlayerSource() = default;
    /// Frames there are to play (0 while they are being found).
    virtual int Frames() const = 0;
    /// Frame k as the scene shows it, with its step and time.
    virtual World Frame(int k, FrameStamp& stamp) = 0;
    /// Frame k as the world becomes it when the run goes on from there; current is the world now.
    virtual World Branch(int k, const World& current) = 0;
    /// "Frame" or "State".
    virtual QString Noun() const = 0;
    /// True when the frames grow with the runs.
    virtual bool Grows() const { return false; }
};

namespace {

// Every state of the runs: the history replays it with a law of the Player's own.
class HistorySource : public PlayerSource {
public:
    HistorySource(RunHistory& history, FastLaw& law) : history_(history), law_(law) {}
    int Frames() const override {
        return static_cast<int>(std::min<std::size_t>(history_.States(), std::numeric_limits<int>::max()));
    }
    World Frame(int k, FrameStamp& stamp) override {
        World world = history_.StateAt(static_cast<std::size_t>(k), law_);
        stamp = {world.StepCounter, world.StepCounter * world.dt};
        return world;
    }
    World Branch(int k, const World&) override { return history_.StateAt(static_cast<std::size_t>(k), law_); }
    QString Noun() const override { return QStringLiteral("State"); }
    bool Grows() const override { return true; }

private:
    RunHistory& history_;
    FastLaw& law_;
};

// The frames of a trajectory file. A thread of its own finds them (the index), then measures them for the
// Run tab; the frames are then read one at a time through the index. The thread tells the window through
// queued calls, which do nothing once the source is gone.
class TrajectorySource : public PlayerSource {
public:
    struct Events {
        std::function<void(const QString&)> progress; // what the thread is doing
        std::function<void()> found;                  // the frames are found: Frames() holds them
        std::function<void(const MeasuredFrames&)> measured;
        std::function<void(const std::string&)> failed; // the error box's text
    };

    TrajectorySource(const std::string& path, QObject* window, Events events)
        : path_(path), window_(window), events_(std::move(events)) {
        thread_ = std::thread([this] { Work(); });
    }
    ~TrajectorySource() override {
        cancel_ = true;
        thread_.join();
    }

    int Frames() const override { return index_ ? index_->Frames() : 0; }
    World Frame(int k, FrameStamp& stamp) override { return index_->Read(k, &stamp); }
    // As import --frame loads the frame: through the configuration record, onto the world's slots.
    World Branch(int k, const World& current) override {
        FrameStamp stamp;
        ConfigRecord record{};
        PackConfigRecord(index_->Read(k, &stamp), record);
        World world = current;
        UnpackConfigRecord(record, world);
        world.StepCounter = StepCounterOf(stamp.Step);
        return world;
    }
    QString Noun() const override { return QStringLiteral("Frame"); }
    // A note of the file's (a cut last frame left out), once the frames are found.
    std::string Note() const { return index_ ? index_->Note() : std::string(); }

private:
    // Runs f on the window's thread while this source lives.
    template <typename F> void Post(F&& f) {
        std::weak_ptr<int> alive = alive_;
        QMetaObject::invokeMethod(
            window_,
            [alive, f = std::forward<F>(f)]() mutable {
                if (alive.lock()) f();
            },
            Qt::QueuedConnection);
    }

    void Work() {
        const std::optional<std::string> failure = FailureOf([&] {
            auto last = std::chrono::steady_clock::now();
            const auto due = [&] {
                const auto now = std::chrono::steady_clock::now();
                if (now - last < std::chrono::milliseconds(100)) return false;
                last = now;
                return true;
            };
            auto index = std::make_shared<TrajectoryIndex>(
                path_, TrajectoryFormatOf(path_), ImportOptions{},
                [&](std::uint64_t done, std::uint64_t total) {
                    if (due())
                        Post([this, done, total] {
                            events_.progress(QStringLiteral("Finding the frames: %1 of %2 MB")
                                                 .arg(Megabytes(done), Megabytes(total)));
                        });
                    return !cancel_;
                });
            if (cancel_) return;
            const int frames = index->Frames();
            Post([this, index] {
                index_ = index;
                events_.found();
            });
            Measure(frames, due);
        });
        if (failure && !cancel_) Post([this, failure] { events_.failed(*failure); });
    }

    // Every frame in turn, read on its own: the measures of every so many frames and the cluster events
    // between all consecutive ones.
    template <typename Due> void Measure(int frames, Due& due) {
        const int every = std::max(1, (frames + MostRows - 1) / MostRows);
        auto reader = OpenTrajectoryReader(path_, TrajectoryFormatOf(path_));
        World first, frame;
        std::optional<Structure> previous;
        // Every frame is bonded at the first frame's cutoff: clusters then change only as taons move.
        StructureOptions bonds;
        MeasuredFrames piece;
        const auto send = [&] {
            Post([this, piece] { events_.measured(piece); });
            piece = {};
        };
        for (int k = 0; !cancel_ && k < frames && reader->Next(frame); ++k) {
            if (k == 0) first = frame;
            const FrameStamp stamp = reader->Stamp();
            Structure structure = AnalyzeStructure(frame, bonds);
            if (k == 0 && structure.Cutoff.Source != CutoffSource::None) {
                bonds.Cutoff = structure.Cutoff.Value;
                piece.Cutoff = static_cast<double>(structure.Cutoff.Value);
            }
            if (k % every == 0 || k == frames - 1)
                piece.Rows.push_back(MeasureFrame(frame, k + 1, stamp.Step, stamp.Time, first, &structure));
            if (previous)
                for (ClusterEvent& event : ClusterEvents(*previous, structure, stamp.Step))
                    piece.Events.push_back({k, static_cast<double>(stamp.Time), std::move(event)});
            previous = std::move(structure);
            if (piece.Rows.size() >= RowsPerPiece || due()) {
                send();
                Post([this, k, frames] {
                    events_.progress(QStringLiteral("Measuring the frames: %1 of %2").arg(k + 1).arg(frames));
                });
            }
        }
        if (!cancel_) {
            send();
            Post([this] { events_.progress(QString::fromStdString(Note())); }); // the note stays
        }
    }

    const std::string path_;
    QObject* window_;
    Events events_;
    std::shared_ptr<TrajectoryIndex> index_; // set on the window's thread
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    std::atomic<bool> cancel_{false};
    std::thread thread_;
};

} // namespace

Player::Player(AppState& state, TMainForm& main, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), main_(main) {
    const auto button = [&](const QString& caption, QStyle::StandardPixmap icon, const char* name) {
        auto* b = new QPushButton(style()->standardIcon(icon), caption);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    Previous = button(QString(), QStyle::SP_MediaSeekBackward, "Previous");
    Previous->setToolTip(QStringLiteral("Previous frame (Left)"));
    Previous->setShortcut(Qt::Key_Left);
    PlayPause = button(QStringLiteral("Play"), QStyle::SP_MediaPlay, "PlayPause");
    PlayPause->setShortcut(Qt::Key_Space);
    Next = button(QString(), QStyle::SP_MediaSeekForward, "Next");
    Next->setToolTip(QStringLiteral("Next frame (Right)"));
    Next->setShortcut(Qt::Key_Right);
    Slider = new QSlider(Qt::Horizontal);
    Slider->setObjectName(QStringLiteral("Slider"));
    Speed = new QSpinBox;
    Speed->setRange(1, 100);
    Speed->setValue(10);
    Speed->setSuffix(QStringLiteral(" frames/s"));
    Stride = new QSpinBox;
    Stride->setRange(1, 1000000);
    Stride->setPrefix(QStringLiteral("every "));
    Stride->setToolTip(QStringLiteral("Frames on at each turn of play"));
    Continue = new QPushButton(QStringLiteral("Continue from Here"));
    Continue->setToolTip(
        QStringLiteral("Make the frame shown the configuration: the next Go runs on from it"));
    Where = new QLabel;
    Where->setObjectName(QStringLiteral("Where"));
    Progress = new QLabel;
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setWordWrap(true);
    RunTab = new PlayerRunTab;
    RunTab->showFrame = [this](int frame) { Slider->setValue(frame); };
    Tabs = new QTabWidget;
    Tabs->addTab(RunTab, QStringLiteral("Run"));

    auto* controls = new QHBoxLayout;
    for (QWidget* w :
         {static_cast<QWidget*>(Previous), static_cast<QWidget*>(PlayPause), static_cast<QWidget*>(Next)})
        controls->addWidget(w);
    controls->addWidget(Slider, 1);
    controls->addWidget(Speed);
    controls->addWidget(Stride);
    auto* below = new QHBoxLayout;
    below->addWidget(Where, 1);
    below->addWidget(Continue);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addLayout(below);
    layout->addWidget(Progress);
    layout->addWidget(Tabs, 1);

    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &Player::Tick);
    connect(PlayPause, &QPushButton::clicked, this, &Player::PlayClick);
    connect(Previous, &QPushButton::clicked, this, &Player::PreviousClick);
    connect(Next, &QPushButton::clicked, this, &Player::NextClick);
    connect(Continue, &QPushButton::clicked, this, &Player::ContinueClick);
    connect(Slider, &QSlider::valueChanged, this, &Player::ShowFrame);
    connect(Speed, &QSpinBox::valueChanged, this, [this](int fps) { timer_->setInterval(1000 / fps); });
    timer_->setInterval(1000 / Speed->value());
    resize(720, 480);
    Enable();
}

Player::~Player() = default;

void Player::Reset(std::unique_ptr<PlayerSource> source, const QString& title) {
    Pause();
    source_.reset(); // the thread of the last file stops first
    RunTab->Clear();
    Progress->clear();
    source_ = std::move(source);
    setWindowTitle(title);
}

void Player::Play(const std::string& path) {
    TrajectorySource::Events events;
    events.progress = [this](const QString& text) { Progress->setText(text); };
    events.found = [this] { SourceReady(); };
    events.measured = [this](const MeasuredFrames& more) { RunTab->Add(more); };
    events.failed = [this, path](const std::string& message) {
        Progress->setText(QString::fromStdString(path + ": " + message));
        main_.Asker().Error(message);
    };
    Reset(std::make_unique<TrajectorySource>(path, this, std::move(events)),
          QStringLiteral("Player - %1").arg(QFileInfo(QString::fromStdString(path)).fileName()));
    Tabs->setVisible(true);
    Stride->setValue(1);
    Progress->setText(QStringLiteral("Finding the frames ..."));
    Enable();
}

void Player::Play(RunHistory& history) {
    Reset(std::make_unique<HistorySource>(history, law_), QStringLiteral("History"));
    Tabs->setVisible(false); // the instruments' Run tab draws the runs
    Stride->setValue(static_cast<int>(RunHistory::KeyframeSteps));
    UpdateRange(true);
    if (Frames() > 0 && !main_.Running()) ShowFrame(Frame());
}

// A file's frames come from elsewhere, with a scale of their own: the view fits the first, as Import fits.
void Player::SourceReady() {
    UpdateRange(false);
    if (auto* file = dynamic_cast<TrajectorySource*>(source_.get()); file && !file->Note().empty())
        Progress->setText(QString::fromStdString(file->Note()));
    if (Frames() == 0 || main_.Running()) return;
    ShowFrame(Frame());
    main_.FitAll1Click();
}

// The slider spans the frames there are; toLast puts it on the last, showing nothing.
void Player::UpdateRange(bool toLast) {
    const QSignalBlocker quiet(Slider);
    Slider->setRange(0, std::max(0, Frames() - 1));
    Slider->setPageStep(std::max(1, Stride->value()));
    if (toLast) Slider->setValue(Slider->maximum());
    Enable();
}

int Player::Frames() const {
    return source_ ? source_->Frames() : 0;
}

void Player::Enable() {
    const bool usable = !main_.Running() && Frames() > 0;
    for (QWidget* w :
         {static_cast<QWidget*>(PlayPause), static_cast<QWidget*>(Previous), static_cast<QWidget*>(Next),
          static_cast<QWidget*>(Slider), static_cast<QWidget*>(Continue)})
        w->setEnabled(usable);
    if (main_.Running())
        Where->setText(QStringLiteral("A run is going on: the scene shows it."));
    else if (Frames() == 0)
        Where->setText(source_ && source_->Grows()
                           ? QStringLiteral("No run made since the configuration was opened.")
                           : QString());
}

void Player::ShowFrame(int k) {
    if (!source_ || main_.Running() || k < 0 || k >= Frames()) return;
    Guarded(main_.Asker(), [&] {
        FrameStamp stamp;
        const World frame = source_->Frame(k, stamp);
        showing_ = true;
        main_.ShowFrame(frame);
        Where->setText(QStringLiteral("%1 %2 of %3   Step %4   Time %5")
                           .arg(source_->Noun())
                           .arg(k + 1)
                           .arg(Frames())
                           .arg(stamp.Step)
                           .arg(QString::fromStdString(FormatReal(stamp.Time))));
        RunTab->SetCursor(static_cast<double>(stamp.Time));
    });
    if (Slider->value() != k) {
        const QSignalBlocker quiet(Slider);
        Slider->setValue(k);
    }
}

void Player::PlayClick() {
    if (Playing()) return Pause();
    if (Frame() >= Frames() - 1) Slider->setValue(0); // from the start again
    timer_->start();
    PlayPause->setText(QStringLiteral("Pause"));
    PlayPause->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
}

void Player::Pause() {
    timer_->stop();
    PlayPause->setText(QStringLiteral("Play"));
    PlayPause->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
}

void Player::Tick() {
    const int next = std::min(Frame() + Stride->value(), Frames() - 1);
    Slider->setValue(next);
    if (next >= Frames() - 1) Pause();
}

void Player::PreviousClick() {
    Slider->setValue(Frame() - 1);
}

void Player::NextClick() {
    Slider->setValue(Frame() + 1);
}

void Player::ContinueClick() {
    if (!source_ || main_.Running() || Frames() == 0) return;
    Pause();
    Guarded(main_.Asker(), [&] {
        const World state = source_->Branch(Frame(), state_.world);
        showing_ = false;
        main_.ContinueFrom(state);
    });
}

void Player::RunStarted(const World&) {
    Pause();
    if (showing_) main_.ReleaseFrame();
    showing_ = false;
    Enable();
}

// The history's slider takes in the run's states and stands on the last, the world the scene shows.
void Player::RunEnded(const World&) {
    if (source_ && source_->Grows()) UpdateRange(true);
    Enable();
}

void Player::DocumentReplaced(const World&) {
    Pause();
    if (showing_) main_.ReleaseFrame();
    showing_ = false;
    if (source_ && source_->Grows()) UpdateRange(true);
    Enable();
}

void Player::hideEvent(QHideEvent* event) {
    Pause();
    if (showing_) main_.ReleaseFrame();
    showing_ = false;
    QWidget::hideEvent(event);
}

} // namespace taonscope
