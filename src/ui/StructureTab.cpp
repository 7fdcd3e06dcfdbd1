// SPDX-License-Identifier: GPL-3.0-or-later
#include "StructureTab.h"

#include "Text.h"
#include "ZoomChartView.h"

#include "analysis/Histogram.h"
#include "core/Errors.h"
#include "view/Colouring.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace taonscope {

namespace {

// The kind pairs' colours as the Distances tab draws them, then all pairs in white.
const QColor RdfColours[RdfCurves] = {QColor(0, 255, 0),    QColor(160, 255, 80),  QColor(255, 160, 60),
                                      QColor(255, 255, 0),  QColor(255, 120, 120), QColor(255, 40, 40),
                                      QColor(240, 240, 240)};
// The q6 histogram's bins over 0 .. 1.
constexpr int OrderBins = 20;
// g(r) is drawn at least this far, and a bin beyond the last that holds pairs.
constexpr double ShortestRdfRange = 5;

QString Short(Extended value) {
    return std::isfinite(value) ? QString::number(static_cast<double>(value), 'g', 4) : QStringLiteral("n/a");
}

QChartView* MakeChart(const QString& title) {
    QChart* chart = SmallChart(title);
    chart->setMargins(QMargins(2, 0, 4, 0));
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(200, 150);
    return view;
}

QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

} // namespace

StructureTab::StructureTab(const AppState& state, StructureLook& look, QWidget* parent)
    : QWidget(parent), state_(state), look_(look) {
    setObjectName(QStringLiteral("StructureTab"));
    CutoffFrom = new QComboBox;
    CutoffFrom->setObjectName(QStringLiteral("CutoffFrom"));
    CutoffFrom->setToolTip(QStringLiteral("Taons closer than the cutoff are bonded"));
    CutoffValue = new QLineEdit;
    CutoffValue->setObjectName(QStringLiteral("CutoffValue"));
    CutoffValue->setToolTip(QStringLiteral("The cutoff in use; type one and press Enter to use it"));
    CutoffValue->setMinimumWidth(140);
    CutoffValue->setMaximumWidth(160);
    Summary = new QLabel;
    Summary->setObjectName(QStringLiteral("StructureSummary"));
    Summary->setWordWrap(true);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FillCutoffChoices();
    connect(CutoffFrom, &QComboBox::activated, this, &StructureTab::CutoffChosen);
    connect(CutoffValue, &QLineEdit::returnPressed, this, &StructureTab::CutoffTyped);

    ClusterTable = new QTableWidget(0, 6);
    ClusterTable->setObjectName(QStringLiteral("ClusterTable"));
    ClusterTable->setHorizontalHeaderLabels({QStringLiteral("Cluster"), QStringLiteral("Size"),
                                             QStringLiteral("Kinds 1 2 3"), QStringLiteral("Shape (error)"),
                                             QStringLiteral("Radius of gyration"), QStringLiteral("Speed")});
    ClusterTable->verticalHeader()->hide();
    ClusterTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ClusterTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ClusterTable->horizontalHeader()->setStretchLastSection(true);
    ClusterTable->setMinimumHeight(90);

    RdfChart = MakeChart(QStringLiteral("g(r)"));
    RdfChart->setObjectName(QStringLiteral("RdfChart"));
    RdfChart->chart()->legend()->setAlignment(Qt::AlignRight);
    rdfX_ = AddSmallAxis(RdfChart->chart(), Qt::AlignBottom, QStringLiteral("r"));
    rdfX_->setTickType(QValueAxis::TicksDynamic);
    rdfX_->setTickAnchor(0);
    rdfY_ = AddSmallAxis(RdfChart->chart(), Qt::AlignLeft, QStringLiteral("g"));
    for (std::size_t n = 0; n < RdfCurves; ++n) {
        RdfSeries[n] = new QLineSeries;
        RdfSeries[n]->setName(n + 1 == RdfCurves ? QStringLiteral("all")
                                                 : QString::fromStdString(RdfName(n)));
        RdfSeries[n]->setPen(QPen(RdfColours[n], 1.3));
        RdfChart->chart()->addSeries(RdfSeries[n]);
        RdfSeries[n]->attachAxis(rdfX_);
        RdfSeries[n]->attachAxis(rdfY_);
    }
    RdfChoice = new QComboBox;
    RdfChoice->setObjectName(QStringLiteral("RdfChoice"));
    RdfChoice->addItem(QStringLiteral("All pairs"));
    for (std::size_t n = 0; n < 6; ++n)
        RdfChoice->addItem(QStringLiteral("Kinds ") + QString::fromStdString(KindPairName(n)));
    RdfChoice->addItem(QStringLiteral("All seven"));
    connect(RdfChoice, &QComboBox::currentIndexChanged, this, [this](int index) { ShowRdf(index); });

    CoordinationChart = MakeChart(QStringLiteral("Bonds per taon"));
    CoordinationChart->setObjectName(QStringLiteral("CoordinationChart"));
    coordinationSeries_ = new QStackedBarSeries;
    for (int kind = 1; kind <= 3; ++kind) {
        QBarSet* set = CoordinationBars[static_cast<std::size_t>(kind - 1)] =
            new QBarSet(QStringLiteral("kind %1").arg(kind));
        set->setColor(ToQColor(KindColour(kind)));
        set->setBorderColor(ToQColor(KindColour(kind)));
        coordinationSeries_->append(set);
    }
    CoordinationChart->chart()->addSeries(coordinationSeries_);
    CoordinationChart->chart()->legend()->hide();
    coordinationX_ = new QBarCategoryAxis;
    coordinationX_->setTitleText(QStringLiteral("bonds"));
    CoordinationChart->chart()->addAxis(coordinationX_, Qt::AlignBottom);
    coordinationSeries_->attachAxis(coordinationX_);
    coordinationY_ = AddSmallAxis(CoordinationChart->chart(), Qt::AlignLeft, QStringLiteral("taons"));
    coordinationY_->setLabelFormat(QStringLiteral("%d"));
    coordinationSeries_->attachAxis(coordinationY_);

    OrderChart = MakeChart(QStringLiteral("q6 of bonded taons"));
    OrderChart->setObjectName(QStringLiteral("OrderChart"));
    OrderChart->chart()->legend()->hide();
    OrderOutline = new QLineSeries(this);
    auto* area = new QAreaSeries(OrderOutline);
    area->setBrush(QColor(80, 200, 255, 150));
    area->setPen(QPen(QColor(80, 200, 255), 1.2));
    OrderChart->chart()->addSeries(area);
    QValueAxis* orderX = AddSmallAxis(OrderChart->chart(), Qt::AlignBottom, QStringLiteral("q6"));
    orderX->setRange(0, 1);
    orderY_ = AddSmallAxis(OrderChart->chart(), Qt::AlignLeft, QStringLiteral("taons"));
    orderY_->setLabelFormat(QStringLiteral("%d"));
    area->attachAxis(orderX);
    area->attachAxis(orderY_);

    auto* cutoff = new QHBoxLayout;
    cutoff->addWidget(new QLabel(QStringLiteral("Cutoff")));
    cutoff->addWidget(CutoffFrom, 1);
    cutoff->addWidget(CutoffValue);
    auto* rdfChoice = new QHBoxLayout;
    rdfChoice->addWidget(new QLabel(QStringLiteral("g(r) of")));
    rdfChoice->addWidget(RdfChoice);
    rdfChoice->addStretch(1);
    auto* histograms = new QHBoxLayout;
    histograms->addWidget(CoordinationChart);
    histograms->addWidget(OrderChart);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(3);
    layout->addLayout(cutoff);
    layout->addWidget(Summary);
    layout->addWidget(ClusterTable, 2);
    layout->addLayout(rdfChoice);
    layout->addWidget(RdfChart, 3);
    layout->addLayout(histograms, 3);
    ShowRdf(0);
}

void StructureTab::FillCutoffChoices() {
    choices_ = CutoffChoices(ShownWorld(state_));
    const CutoffSetting& setting = look_.Cutoff();
    CutoffFrom->clear();
    CutoffFrom->addItem(QStringLiteral("From the data"));
    int current = 0;
    for (const CutoffChoice& choice : choices_) {
        if (setting.from == CutoffSetting::From::Shell && setting.kind == choice.Kind &&
            setting.shell == choice.Shell)
            current = CutoffFrom->count();
        CutoffFrom->addItem(QStringLiteral("Shell ") + QString::fromStdString(choice.Label));
    }
    CutoffFrom->addItem(QStringLiteral("Typed"));
    if (setting.from == CutoffSetting::From::Typed) current = CutoffFrom->count() - 1;
    CutoffFrom->setCurrentIndex(current);
}

void StructureTab::CutoffChosen(int index) {
    CutoffSetting setting = look_.Cutoff();
    if (index <= 0) {
        setting.from = CutoffSetting::From::Data;
    } else if (static_cast<std::size_t>(index) <= choices_.size()) {
        const CutoffChoice& choice = choices_[static_cast<std::size_t>(index - 1)];
        setting.from = CutoffSetting::From::Shell, setting.kind = choice.Kind, setting.shell = choice.Shell;
    } else {
        return CutoffTyped();
    }
    CutoffFrom->setCurrentIndex(index);
    look_.SetCutoff(setting);
    Sample();
    Draw();
}

void StructureTab::CutoffTyped() {
    Extended value = 0;
    try {
        value = ReadReal(CutoffValue->text());
    } catch (const TaonError& error) {
        return Summary->setText(QString::fromStdString(ErrorBoxText(error.what())));
    }
    if (!(value > 0) || !std::isfinite(value))
        return Summary->setText(QStringLiteral("The cutoff must be a positive number."));
    CutoffSetting setting = look_.Cutoff();
    setting.from = CutoffSetting::From::Typed, setting.value = value;
    CutoffFrom->setCurrentIndex(CutoffFrom->count() - 1);
    look_.SetCutoff(setting);
    Sample();
    Draw();
}

void StructureTab::ShowRdf(int index) {
    if (RdfChoice->currentIndex() != index) return RdfChoice->setCurrentIndex(index);
    for (std::size_t n = 0; n < RdfCurves; ++n) {
        const bool shown =
            index == 7 || (index == 0 && n + 1 == RdfCurves) || static_cast<std::size_t>(index) == n + 1;
        RdfSeries[n]->setVisible(shown);
    }
    if (last_) DrawRdf();
}

void StructureTab::Sample() {
    const World& world = ShownWorld(state_);
    measured_ = SourceOf(world, look_.Cutoff());
    last_ = AnalyzeStructure(world, look_.Options(world));
    dirty_ = true;
    ++samples_;
}

void StructureTab::Forget() {
    last_.reset();
    measured_.reset();
}

void StructureTab::Refresh(bool running) {
    if (running) {
        if (!last_) Sample();
        if (!dirty_ || (sinceDrawn_.isValid() && sinceDrawn_.elapsed() < RunRedrawMs)) return;
    } else if (!measured_ || !(*measured_ == SourceOf(ShownWorld(state_), look_.Cutoff()))) {
        // The editor, Undo or a parameter box may have changed the world without a step.
        if (!measured_ || measured_->parameters != SourceOf(ShownWorld(state_), look_.Cutoff()).parameters)
            FillCutoffChoices();
        Sample();
    } else if (!dirty_) {
        return;
    }
    Draw();
}

void StructureTab::Draw() {
    if (!last_) return;
    dirty_ = false;
    sinceDrawn_.start();
    const Structure& s = *last_;
    if (!CutoffValue->hasFocus()) ShowText(CutoffValue, RealText(s.Cutoff.Value)); // not while one is typed
    Summary->setText(QStringLiteral("Cutoff %1 (%2): %3 bonds; %4 clusters, the largest of %5 taons; %6 "
                                    "isolated; mean q6 %7")
                         .arg(Short(s.Cutoff.Value))
                         .arg(QString::fromStdString(CutoffSourceText(s.Cutoff.Source)))
                         .arg(s.Bonds.Bonds.size())
                         .arg(s.Counts.Clusters)
                         .arg(s.Counts.Largest)
                         .arg(s.Counts.Isolated)
                         .arg(Short(s.Order.MeanQ6)));
    int rows = 0;
    for (const Cluster& c : s.Clusters) rows += c.Size() >= 2;
    ClusterTable->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const Cluster& c = s.Clusters[static_cast<std::size_t>(row)];
        QString shape = QString::fromStdString(c.Shape);
        if (!std::isnan(c.ShapeError)) shape += QStringLiteral(" (") + Short(c.ShapeError) + QLatin1Char(')');
        const QString cells[6] = {QString::number(row + 1),
                                  QString::number(c.Size()),
                                  QStringLiteral("%1 %2 %3").arg(c.Kinds[0]).arg(c.Kinds[1]).arg(c.Kinds[2]),
                                  shape,
                                  Short(c.RadiusOfGyration),
                                  Short(c.CentreSpeed)};
        for (int column = 0; column < 6; ++column) {
            QTableWidgetItem* item = ClusterTable->item(row, column);
            if (!item) ClusterTable->setItem(row, column, item = new QTableWidgetItem);
            item->setText(cells[column]);
            if (column == 0)
                item->setBackground(ToQColor(ClusterColour(row))); // as Colour By Cluster shows it
        }
    }
    DrawRdf();
    DrawCoordination();
    DrawOrder();
}

void StructureTab::DrawRdf() {
    const RadialDistribution& rdf = last_->Rdf;
    double reach = ShortestRdfRange, highest = 1;
    for (std::size_t n = 0; n < RdfCurves; ++n) {
        // A hidden curve costs as much to replace as a shown one: ShowRdf draws it when it shows.
        if (!RdfSeries[n]->isVisible()) continue;
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(rdf.R.size()));
        for (std::size_t b = 0; b < rdf.R.size(); ++b) {
            const double r = static_cast<double>(rdf.R[b]), g = static_cast<double>(rdf.G[n][b]);
            points.append({r, std::isfinite(g) ? g : 0});
            if (g > 0) {
                reach = std::max(reach, r + static_cast<double>(rdf.Width));
                highest = std::max(highest, g);
            }
        }
        RdfSeries[n]->replace(points);
    }
    rdfX_->setRange(0, reach);
    rdfX_->setTickInterval(reach > 8 ? 2.5 : 1);
    rdfY_->setRange(0, highest * 1.05);
    rdfY_->applyNiceNumbers();
}

void StructureTab::DrawCoordination() {
    const std::array<std::vector<std::int64_t>, 4>& h = last_->Coordination.Histogram;
    QStringList categories;
    for (std::size_t n = 0; n < h[0].size(); ++n) categories << QString::number(n);
    std::int64_t most = 1;
    for (std::size_t kind = 1; kind <= 3; ++kind) {
        QList<qreal> values;
        for (std::size_t n = 0; n < h[0].size(); ++n)
            values << (n < h[kind].size() ? static_cast<qreal>(h[kind][n]) : 0);
        QBarSet* set = CoordinationBars[kind - 1];
        if (set->count() != values.size()) {
            set->remove(0, set->count());
            set->append(values);
        } else {
            for (qsizetype n = 0; n < values.size(); ++n)
                if (set->at(n) != values[n]) set->replace(n, values[n]);
        }
    }
    for (const std::int64_t n : h[0]) most = std::max(most, n);
    if (coordinationX_->categories() != categories) coordinationX_->setCategories(categories);
    coordinationY_->setRange(0, static_cast<double>(most) * 1.05);
    coordinationY_->applyNiceNumbers();
}

void StructureTab::DrawOrder() {
    std::array<int, OrderBins> counts{};
    for (const int j : last_->Bonds.Slots) {
        const auto i = static_cast<std::size_t>(j);
        if (!last_->Order.Defined[i] || !std::isfinite(last_->Order.Q6[i])) continue;
        const int bin = std::clamp(static_cast<int>(last_->Order.Q6[i] * OrderBins), 0, OrderBins - 1);
        ++counts[static_cast<std::size_t>(bin)];
    }
    QList<QPointF> outline;
    int most = 1;
    for (int b = 0; b < OrderBins; ++b) {
        const double left = static_cast<double>(b) / OrderBins,
                     right = static_cast<double>(b + 1) / OrderBins;
        const int n = counts[static_cast<std::size_t>(b)];
        outline << QPointF(left, 0) << QPointF(left, n) << QPointF(right, n) << QPointF(right, 0);
        most = std::max(most, n);
    }
    OrderOutline->replace(outline);
    orderY_->setRange(0, most * 1.05);
    orderY_->applyNiceNumbers();
}

} // namespace taonscope
