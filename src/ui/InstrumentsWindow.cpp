// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstrumentsWindow.h"

#include "Guard.h"
#include "MainForm.h"
#include "StructureTab.h"

#include "analysis/Histogram.h"
#include "analysis/Measures.h"
#include "analysis/PairFunction.h"
#include "core/NumberText.h"
#include "document/CsvTable.h"
#include "document/FileIo.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace taonscope {

namespace {

// The kinds' colours, as the scene draws them; they stand out on the charts' dark background.
const QColor KindColours[3] = {QColor(0, 255, 0), QColor(255, 255, 0), QColor(255, 0, 0)};
// The kind pairs 1-1, 1-2, 1-3, 2-2, 2-3, 3-3: six hues at least 20 degrees apart, those of one kind
// its own colour.
const QColor PairColours[6] = {QColor(0, 220, 0),   QColor(0, 190, 255), QColor(210, 90, 255),
                               QColor(255, 235, 0), QColor(255, 135, 0), QColor(255, 50, 50)};

QChartView* MakeChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTheme(QChart::ChartThemeDark);
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(320, 220);
    return view;
}

QLineSeries* AddLine(QChart* chart, const QString& name, const QColor& colour) {
    auto* series = new QLineSeries;
    series->setName(name);
    chart->addSeries(series);
    QPen pen(colour);
    pen.setWidthF(1.5);
    series->setPen(pen);
    return series;
}

// Replaces the chart's axes by a horizontal and a vertical one spanning the given ranges.
void SetAxes(QChart* chart, QAbstractAxis* x, QAbstractAxis* y) {
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

QValueAxis* ValueAxis(double low, double high, const QString& title) {
    auto* axis = new QValueAxis;
    if (!(low < high)) low -= 0.5, high += 0.5;
    axis->setRange(low, high);
    axis->setTitleText(title);
    return axis;
}

// Shows a quantity: its value, or "n/a" with the reason on hover.
void ShowQuantity(QLabel* label, const Quantity& q) {
    label->setText(QString::fromStdString(QuantityText(q)));
    label->setToolTip(QString::fromStdString(q.Reason));
}

// A stacked chart: small margins, no legend, the quantity's name as its title.
ZoomChartView* MakeStackedChart(const QString& title) {
    QChart* chart = SmallChart(title);
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 0, 6, 0));
    auto* view = new ZoomChartView(chart);
    view->setMinimumSize(320, 110);
    return view;
}

QValueAxis* AttachedAxis(QChart* chart, QAbstractSeries* series, Qt::Alignment where, const QString& title) {
    QValueAxis* axis = AddSmallAxis(chart, where, title);
    series->attachAxis(axis);
    return axis;
}

// Points of a drawn curve: enough for any chart's width, few enough to draw at once.
constexpr int CurveBuckets = 400;
// During a run the Run tab is redrawn at most this often: the charts then cost the run next to nothing.
constexpr int RunRedrawMs = 500;

// Beyond this distance the core has fallen to nothing (u = 4.725 d is about 1.65).
constexpr double CoreEdge = 0.35;

std::array<Extended, 18> Parameters(const World& w) {
    std::array<Extended, 18> values{};
    for (std::size_t p = 0; p < 18; ++p) values[p] = w.*ParameterFields[p + 1];
    return values;
}

bool SameParameters(const std::array<Extended, 18>& a, const std::array<Extended, 18>& b) {
    for (std::size_t p = 0; p < 18; ++p)
        if (!(a[p] == b[p]) && !(std::isnan(a[p]) && std::isnan(b[p]))) return false;
    return true;
}

} // namespace

InstrumentsWindow::InstrumentsWindow(AppState& state, TMainForm& main, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), main_(main) {
    setObjectName(QStringLiteral("InstrumentsWindow"));
    setWindowTitle(QStringLiteral("Instruments"));
    Tabs = new QTabWidget(this);
    Tabs->addTab(BuildRunTab(), QStringLiteral("Run"));
    Tabs->addTab(BuildLawTab(), QStringLiteral("Law"));
    Tabs->addTab(BuildDistancesTab(), QStringLiteral("Distances"));
    StructurePage = new StructureTab(state_, *main_.StructureMarks);
    Tabs->addTab(StructurePage, QStringLiteral("Structure"));

    SettleSpeed = new QLineEdit(QStringLiteral("1E-6"));
    SettleSpeed->setObjectName(QStringLiteral("SettleSpeed"));
    SettleLimit = new QLineEdit(QStringLiteral("1000000"));
    SettleLimit->setObjectName(QStringLiteral("SettleLimit"));
    CoolUntilSettled = new QPushButton(QStringLiteral("Cool until settled"));
    SettleReport = new QLabel;
    SettleReport->setObjectName(QStringLiteral("SettleReport"));
    auto* settle = new QHBoxLayout;
    settle->addWidget(CoolUntilSettled);
    settle->addWidget(new QLabel(QStringLiteral("largest speed below")));
    settle->addWidget(SettleSpeed);
    settle->addWidget(new QLabel(QStringLiteral("step limit")));
    settle->addWidget(SettleLimit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Tabs, 1);
    layout->addLayout(settle);
    layout->addWidget(SettleReport);
    connect(CoolUntilSettled, &QPushButton::clicked, this, &InstrumentsWindow::CoolUntilSettledClick);
    connect(Tabs, &QTabWidget::currentChanged, this, &InstrumentsWindow::RefreshTick);

    refresh_ = new QTimer(this);
    refresh_->setInterval(200); // at most five redraws a second
    connect(refresh_, &QTimer::timeout, this, &InstrumentsWindow::RefreshTick);
    refresh_->start();
    resize(660, 780);
    AddSample(state_.world);
    RefreshLaw();
}

QWidget* InstrumentsWindow::BuildRunTab() {
    auto* tab = new QWidget;
    auto* values = new QGridLayout;
    const auto value = [&](int row, int column, const QString& name, const char* objectName) {
        auto* label = new QLabel(QStringLiteral("n/a"));
        label->setObjectName(QString::fromLatin1(objectName));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        values->addWidget(new QLabel(name), row, 2 * column);
        values->addWidget(label, row, 2 * column + 1);
        return label;
    };
    KineticValue = value(0, 0, QStringLiteral("K"), "KineticValue");
    PairEnergyValue = value(1, 0, QStringLiteral("U"), "PairEnergyValue");
    TotalEnergyValue = value(2, 0, QStringLiteral("E = K + U"), "TotalEnergyValue");
    MomentumValue = value(0, 1, QStringLiteral("|P|"), "MomentumValue");
    SpeedValue = value(1, 1, QStringLiteral("largest speed"), "SpeedValue");
    DriftValue = value(2, 1, QStringLiteral("drift of E per 1000 steps"), "DriftValue");
    Conservation = new QLabel;
    Conservation->setObjectName(QStringLiteral("Conservation"));
    Conservation->setWordWrap(true);

    const QString names[4] = {QStringLiteral("K"), QStringLiteral("U"), QStringLiteral("E = K + U"),
                              QStringLiteral("|P|")};
    const QColor colours[4] = {QColor(80, 200, 255), QColor(255, 150, 40), QColor(240, 240, 240),
                               QColor(230, 90, 230)};
    QLineSeries** lines[4] = {&KineticSeries, &PairEnergySeries, &TotalEnergySeries, &MomentumSeries};
    for (std::size_t n = 0; n < 4; ++n) {
        RunCharts[n] = MakeStackedChart(names[n]);
        RunCharts[n]->setObjectName(QStringLiteral("RunChart%1").arg(n));
        QChart* chart = RunCharts[n]->chart();
        *lines[n] = AddLine(chart, names[n], colours[n]);
        runTimeAxes_[n] =
            AttachedAxis(chart, *lines[n], Qt::AlignBottom, n == 3 ? QStringLiteral("time") : QString());
        runValueAxes_[n] = AttachedAxis(chart, *lines[n], Qt::AlignLeft, {});
        RunCharts[n]->onZoom = [this](AxisRange range) { ZoomRun(range); };
        RunCharts[n]->onReset = [this] { ResetRunZoom(); };
    }
    SaveRunCsv = new QAction(QStringLiteral("Save as CSV..."), this);
    connect(SaveRunCsv, &QAction::triggered, this, &InstrumentsWindow::SaveRunCsvClick);
    for (ZoomChartView* chart : RunCharts) {
        chart->setContextMenuPolicy(Qt::ActionsContextMenu);
        chart->addAction(SaveRunCsv);
    }
    ResetRunZoomButton = new QPushButton(QStringLiteral("Whole Run"));
    ResetRunZoomButton->setObjectName(QStringLiteral("ResetRunZoom"));
    ResetRunZoomButton->setToolTip(
        QStringLiteral("The mouse wheel zooms in time; this, or a double click, shows the whole run"));
    connect(ResetRunZoomButton, &QPushButton::clicked, this, &InstrumentsWindow::ResetRunZoom);

    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(values);
    layout->addWidget(Conservation);
    layout->setSpacing(2);
    for (ZoomChartView* chart : RunCharts) layout->addWidget(chart, 1);
    layout->addWidget(ResetRunZoomButton, 0, Qt::AlignRight);
    return tab;
}

QWidget* InstrumentsWindow::BuildLawTab() {
    auto* tab = new QWidget;
    PhiChart = MakeChart(QStringLiteral("Pair function Phi(d); dots: shells B..G"));
    ForceChart = MakeChart(QStringLiteral("Pair acceleration A Phi'(d) (positive: attraction)"));
    for (int kind = 0; kind < 3; ++kind) {
        const QString name = QStringLiteral("kind %1").arg(kind + 1);
        PhiSeries[kind] = AddLine(PhiChart->chart(), name, KindColours[kind]);
        ShellMarks[kind] = new QScatterSeries;
        ShellMarks[kind]->setName(QStringLiteral("shells %1").arg(kind + 1));
        ShellMarks[kind]->setColor(KindColours[kind]);
        ShellMarks[kind]->setMarkerSize(8);
        PhiChart->chart()->addSeries(ShellMarks[kind]);
        for (QLegendMarker* marker : PhiChart->chart()->legend()->markers(ShellMarks[kind]))
            marker->setVisible(false);
        ForceSeries[kind] = AddLine(ForceChart->chart(), name, KindColours[kind]);
    }
    LogForce = new QCheckBox(QStringLiteral("Logarithmic scale for |A Phi'|"));
    LogForce->setObjectName(QStringLiteral("LogForce"));
    connect(LogForce, &QCheckBox::toggled, this, &InstrumentsWindow::RefreshLaw);
    LawFaults = new QLabel;
    LawFaults->setObjectName(QStringLiteral("LawFaults"));
    LawFaults->setWordWrap(true);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(PhiChart, 1);
    layout->addWidget(ForceChart, 1);
    layout->addWidget(LogForce);
    layout->addWidget(LawFaults);
    return tab;
}

QWidget* InstrumentsWindow::BuildDistancesTab() {
    auto* tab = new QWidget;
    auto* chart = new QChart;
    chart->setTheme(QChart::ChartThemeDark);
    chart->setTitle(QStringLiteral("Pair distances by kinds"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    DistanceChart = new ZoomChartView(chart);
    DistanceChart->setMinimumSize(320, 220);
    DistanceChart->setRenderHint(QPainter::Antialiasing);
    for (std::size_t n = 0; n < 6; ++n) {
        const QString name = QString::fromStdString(KindPairName(n));
        DistanceSeries[n] = new QLineSeries(this);
        DistanceSeries[n]->setName(name);
        DistanceAreas[n] = new QAreaSeries(DistanceSeries[n]);
        DistanceAreas[n]->setName(name);
        QColor fill = PairColours[n];
        fill.setAlpha(110); // overlapping bars stay visible through each other
        DistanceAreas[n]->setBrush(fill);
        DistanceAreas[n]->setPen(QPen(PairColours[n], 1.2));
        chart->addSeries(DistanceAreas[n]);
    }
    distanceAxis_ = new QValueAxis;
    distanceAxis_->setTitleText(QStringLiteral("distance"));
    pairsAxis_ = new QValueAxis;
    pairsAxis_->setTitleText(QStringLiteral("pairs"));
    pairsAxis_->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(distanceAxis_, Qt::AlignBottom);
    chart->addAxis(pairsAxis_, Qt::AlignLeft);
    for (QAreaSeries* area : DistanceAreas) area->attachAxis(distanceAxis_), area->attachAxis(pairsAxis_);
    DistanceChart->onZoom = [this](AxisRange range) { ZoomDistances(range); };
    DistanceChart->onReset = [this] { ResetDistanceZoom(); };

    KindPairChoice = new QComboBox;
    KindPairChoice->setObjectName(QStringLiteral("KindPairChoice"));
    KindPairChoice->addItem(QStringLiteral("All six kind pairs"));
    for (std::size_t n = 0; n < 6; ++n)
        KindPairChoice->addItem(QStringLiteral("Kinds ") + QString::fromStdString(KindPairName(n)));
    connect(KindPairChoice, &QComboBox::currentIndexChanged, this,
            [this](int index) { ShowKindPair(index - 1); });
    ResetDistanceZoomButton = new QPushButton(QStringLiteral("All Distances"));
    ResetDistanceZoomButton->setObjectName(QStringLiteral("ResetDistanceZoom"));
    ResetDistanceZoomButton->setToolTip(
        QStringLiteral("The mouse wheel zooms in distance; this, or a double click, shows all"));
    connect(ResetDistanceZoomButton, &QPushButton::clicked, this, &InstrumentsWindow::ResetDistanceZoom);
    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("Show")));
    choices->addWidget(KindPairChoice);
    choices->addStretch(1);
    choices->addWidget(ResetDistanceZoomButton);
    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(choices);
    layout->addWidget(DistanceChart, 1);
    return tab;
}

void InstrumentsWindow::SaveRunCsvClick() {
    Questions& questions = main_.Asker();
    Guarded(questions, [&] {
        const std::string table = RunTableCsv(series_.Samples()); // the samples as they are now
        if (const std::optional<std::string> path = questions.SaveFilePath(FileKind::Table))
            SaveAskingForReadOnly(questions, [&] { ReplaceFileContents(*path, table); });
    });
}

void InstrumentsWindow::ZoomRun(AxisRange range) {
    runZoom_ = range;
    runDirty_ = true;
    RefreshRun();
}

void InstrumentsWindow::ResetRunZoom() {
    runZoom_.reset();
    runDirty_ = true;
    RefreshRun();
}

void InstrumentsWindow::ZoomDistances(AxisRange range) {
    distanceZoom_ = range;
    RefreshDistances();
}

void InstrumentsWindow::ResetDistanceZoom() {
    distanceZoom_.reset();
    RefreshDistances();
}

void InstrumentsWindow::ShowKindPair(int index) {
    if (KindPairChoice->currentIndex() != index + 1) return KindPairChoice->setCurrentIndex(index + 1);
    RefreshDistances();
}

void InstrumentsWindow::AddSample(const World& world) {
    series_.Add(TakeSample(world, sampler_.Steps(), sampler_.Time()));
    runDirty_ = true;
}

void InstrumentsWindow::RunStarted(const World& world) {
    running_ = true;
    if (series_.Samples().empty()) AddSample(world);
}

void InstrumentsWindow::StepDone(const World& world) {
    if (sampler_.Step(world.dt)) {
        AddSample(world);
        // The structure is measured only while its tab shows: it costs about a step.
        if (isVisible() && Tabs->currentWidget() == StructurePage) StructurePage->Sample();
    }
    if (!settling_) return;
    ++settleSteps_;
    const Quantity speed = LargestSpeed(world);
    if (speed.Valid() && speed.Value < settleSpeed_)
        FinishSettling(QStringLiteral("Settled"));
    else if (settleSteps_ >= settleLimit_)
        FinishSettling(QStringLiteral("Step limit reached"));
}

void InstrumentsWindow::RunEnded(const World& world) {
    running_ = false;
    if (series_.Samples().empty() || series_.Samples().back().Step != sampler_.Steps()) AddSample(world);
    StructurePage->Forget();                                  // measured again as the run left it
    if (settling_) FinishSettling(QStringLiteral("Stopped")); // Stop or a fault ended it
}

void InstrumentsWindow::DocumentReplaced(const World& world) {
    series_.Clear();
    sampler_.Restart();
    AddSample(world);
    StructurePage->Forget();
}

void InstrumentsWindow::FinishSettling(const QString& how) {
    settling_ = false;
    CoolUntilSettled->setText(QStringLiteral("Cool until settled"));
    const Quantity k = KineticEnergy(state_.world);
    SettleReport->setText(QStringLiteral("%1 after %2 steps: K = %3")
                              .arg(how)
                              .arg(settleSteps_)
                              .arg(QString::fromStdString(QuantityText(k))));
    if (main_.Running()) main_.GoClick(); // ends the run as Stop does
}

void InstrumentsWindow::CoolUntilSettledClick() {
    if (settling_) return FinishSettling(QStringLiteral("Stopped"));
    const std::optional<Extended> speed = TryParseReal(SettleSpeed->text().toStdString());
    const std::optional<std::int32_t> limit = TryParseInteger(SettleLimit->text().toStdString());
    if (!speed || !(*speed > 0))
        return SettleReport->setText(QStringLiteral("The threshold must be a positive number"));
    if (!limit || *limit < 1)
        return SettleReport->setText(QStringLiteral("The step limit must be a whole number from 1"));
    if (state_.world.ShowingFigure)
        return SettleReport->setText(QStringLiteral("The scene shows the figure, not taons"));
    settleSpeed_ = *speed;
    settleLimit_ = *limit;
    settleSteps_ = 0;
    settling_ = true;
    CoolUntilSettled->setText(QStringLiteral("Stop Settling"));
    SettleReport->setText(QStringLiteral("Cooling ..."));
    main_.Cool->setChecked(true);
    if (!main_.Running()) main_.GoClick();
}

void InstrumentsWindow::RefreshTick() {
    if (!isVisible()) return;
    const auto changed = [&](const std::optional<std::array<Extended, 18>>& drawn, const World& world) {
        return !drawn || !SameParameters(*drawn, Parameters(world));
    };
    switch (Tabs->currentIndex()) {
    case 0:
        // The sets decide whether E is conserved.
        if (running_ && sinceRunDrawn_.isValid() && sinceRunDrawn_.elapsed() < RunRedrawMs) break;
        if (runDirty_ || changed(runParameters_, state_.world)) RefreshRun();
        break;
    case 1:
        if (changed(lawParameters_, ShownWorld(state_))) RefreshLaw();
        break;
    case 2:
        RefreshDistances(); // cheap, and the editor may have moved taons without a step
        break;
    default:
        if (Tabs->currentWidget() == StructurePage) StructurePage->Refresh(running_);
    }
}

void InstrumentsWindow::RefreshRun() {
    runDirty_ = false;
    const World& world = state_.world;
    runParameters_ = Parameters(world);
    const bool conserved = EnergyConserved(world);
    Conservation->setText(QString::fromStdString(ConservationText(world)));
    if (series_.Samples().empty()) return;
    const Sample& last = series_.Samples().back();
    ShowQuantity(KineticValue, last.Kinetic);
    ShowQuantity(PairEnergyValue, last.PairEnergy);
    ShowQuantity(TotalEnergyValue, last.TotalEnergy);
    ShowQuantity(MomentumValue, last.Momentum);
    ShowQuantity(SpeedValue, last.LargestSpeed);
    const Quantity drift = series_.Drift();
    if (conserved) {
        ShowQuantity(DriftValue, drift);
        if (DriftTooLarge(drift))
            Conservation->setText(Conservation->text() + "\n" + QString::fromLatin1(DriftWarning));
    } else {
        DriftValue->setText(QStringLiteral("n/a"));
        DriftValue->setToolTip(Conservation->text());
    }

    sinceRunDrawn_.start();
    QList<QPointF> curves[4];
    for (const Sample& s : series_.Samples()) {
        const double t = static_cast<double>(s.Time);
        const Quantity* values[4] = {&s.Kinetic, &s.PairEnergy, &s.TotalEnergy, &s.Momentum};
        for (std::size_t n = 0; n < 4; ++n) {
            if (!values[n]->Valid() || (n == 2 && !conserved)) continue;
            const double v = static_cast<double>(values[n]->Value);
            if (std::isfinite(v)) curves[n].append({t, v});
        }
    }
    const double first = static_cast<double>(series_.Samples().front().Time),
                 end = static_cast<double>(last.Time);
    const AxisRange time = runZoom_ ? *runZoom_ : AxisRange{first, end > first ? end : first + 1};
    QLineSeries* lines[4] = {KineticSeries, PairEnergySeries, TotalEnergySeries, MomentumSeries};
    for (std::size_t n = 0; n < 4; ++n) {
        const QList<QPointF> shown = Decimated(curves[n], time, CurveBuckets);
        lines[n]->replace(shown);
        double low = std::numeric_limits<double>::max(), high = std::numeric_limits<double>::lowest();
        for (const QPointF& point : shown)
            if (point.x() >= time.first && point.x() <= time.second)
                low = std::min(low, point.y()), high = std::max(high, point.y());
        if (low > high) low = 0, high = 1;
        // A flat curve gets a range of its own size, so that its digits still show what it is.
        const double pad = high > low ? (high - low) * 0.08 : std::max(std::fabs(high) * 1e-6, 1e-12);
        runValueAxes_[n]->setRange(low - pad, high + pad);
        runTimeAxes_[n]->setRange(time.first, time.second);
    }
    TotalEnergySeries->setVisible(conserved);
    RunCharts[2]->chart()->setTitle(conserved ? QStringLiteral("E = K + U")
                                              : QStringLiteral("E = K + U (not drawn: not conserved)"));
}

void InstrumentsWindow::RefreshLaw() {
    const World& world = ShownWorld(state_);
    lawParameters_ = Parameters(world);
    static const std::vector<Extended> grid = CurveGrid();
    const bool log = LogForce->isChecked();
    QStringList faults;
    double phiLow = 0, phiHigh = 0, forceLow = std::numeric_limits<double>::max(),
           forceHigh = std::numeric_limits<double>::lowest();
    for (int kind = 1; kind <= 3; ++kind) {
        const LawCurve curve = LawCurveOf(world, kind, grid);
        QList<QPointF> phi, force, marks;
        if (!curve.Valid())
            faults << QStringLiteral("Kind %1: %2").arg(kind).arg(QString::fromStdString(curve.Fault));
        for (std::size_t n = 0; n < curve.Distance.size(); ++n) {
            const double d = static_cast<double>(curve.Distance[n]);
            const double y = static_cast<double>(curve.Phi[n]);
            double f = static_cast<double>(curve.Acceleration[n]);
            phi.append({d, y});
            phiLow = std::min(phiLow, y), phiHigh = std::max(phiHigh, y);
            if (log) {
                f = std::fabs(f);
                if (!(f > std::numeric_limits<double>::min())) continue; // 0 has no place on a log scale
            }
            force.append({d, f});
            // The core's wall dwarfs everything else on a linear scale: the range leaves it out.
            if (log || d > CoreEdge) forceLow = std::min(forceLow, f), forceHigh = std::max(forceHigh, f);
        }
        if (curve.Valid())
            for (const Extended r : curve.Shells) {
                const auto d = static_cast<double>(r);
                if (!(d >= 0.05 && d <= 40)) continue;
                marks.append({d, static_cast<double>(PairFunction(GetParameterSet(world, kind), r))});
            }
        PhiSeries[static_cast<std::size_t>(kind - 1)]->replace(phi);
        ForceSeries[static_cast<std::size_t>(kind - 1)]->replace(force);
        ShellMarks[static_cast<std::size_t>(kind - 1)]->replace(marks);
    }
    LawFaults->setText(faults.join(QStringLiteral("\n")));
    SetAxes(PhiChart->chart(), ValueAxis(0, 40, QStringLiteral("distance d")),
            ValueAxis(phiLow - 0.1, phiHigh + 0.1, QStringLiteral("Phi")));
    if (forceLow > forceHigh) forceLow = log ? 1e-6 : -1, forceHigh = 1;
    QAbstractAxis* forceAxis;
    if (log) {
        auto* axis = new QLogValueAxis;
        axis->setBase(10);
        axis->setLabelFormat(QStringLiteral("%.0e"));
        axis->setRange(std::max(forceLow, forceHigh * 1e-12), forceHigh * 2);
        axis->setTitleText(QStringLiteral("|A Phi'|"));
        forceAxis = axis;
    } else {
        forceAxis = ValueAxis(forceLow, forceHigh, QStringLiteral("A Phi'"));
    }
    SetAxes(ForceChart->chart(), ValueAxis(0, 40, QStringLiteral("distance d")), forceAxis);
}

void InstrumentsWindow::RefreshDistances() {
    const int only = KindPairChoice->currentIndex() - 1;
    // Overlaid, the six share their bins; one alone has bins of its own distances.
    const std::array<Histogram, 6> histograms =
        PairHistograms(ShownWorld(state_), 50, only < 0 ? PairBins::Shared : PairBins::Own);
    double low = std::numeric_limits<double>::max(), high = std::numeric_limits<double>::lowest(), most = 1;
    for (std::size_t n = 0; n < 6; ++n) {
        const Histogram& h = histograms[n];
        const bool shown = only < 0 || static_cast<std::size_t>(only) == n;
        QList<QPointF> outline;
        for (std::size_t b = 0; b < h.Counts.size(); ++b) {
            const double left = static_cast<double>(h.Edges[b]), right = static_cast<double>(h.Edges[b + 1]);
            const double count = static_cast<double>(h.Counts[b]);
            outline.append({left, 0});
            outline.append({left, count});
            outline.append({right, count});
            outline.append({right, 0});
            if (!shown) continue;
            low = std::min(low, left), high = std::max(high, right);
            if (!distanceZoom_ || (right >= distanceZoom_->first && left <= distanceZoom_->second))
                most = std::max(most, count);
        }
        DistanceSeries[n]->replace(outline);
        const QString name =
            QString::fromStdString(KindPairName(n)) + (h.Reason.empty() ? QString() : QStringLiteral(" n/a"));
        DistanceSeries[n]->setName(name);
        DistanceAreas[n]->setName(name);
        DistanceAreas[n]->setVisible(shown);
    }
    if (low > high) low = 0, high = 1;
    if (distanceZoom_) low = distanceZoom_->first, high = distanceZoom_->second;
    distanceAxis_->setRange(low, high);
    pairsAxis_->setRange(0, std::ceil(most * 1.05));
}

} // namespace taonscope
