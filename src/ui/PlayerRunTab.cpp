// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerRunTab.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace taonscope {

namespace {

constexpr std::array<ClusterEventKind, 5> EventKinds = {ClusterEventKind::Formed, ClusterEventKind::Dissolved,
                                                        ClusterEventKind::Merged, ClusterEventKind::Split,
                                                        ClusterEventKind::Exchanged};
// K, U, E; then the events' five hues, apart from the curves' and from one another.
constexpr std::array<QRgb, 3> CurveColours = {0x1f77b4, 0xff7f0e, 0x2ca02c};
constexpr std::array<QRgb, 5> EventColours = {0x17becf, 0x7f7f7f, 0xd62728, 0x9467bd, 0x8c564b};

double Plain(const Quantity& q) {
    return q.Valid() ? static_cast<double>(q.Value) : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

PlayerRunTab::PlayerRunTab(QWidget* parent) : QWidget(parent) {
    auto* chart = new QChart;
    timeAxis_ = new QValueAxis;
    timeAxis_->setTitleText(QStringLiteral("time"));
    valueAxis_ = new QValueAxis;
    chart->addAxis(timeAxis_, Qt::AlignBottom);
    chart->addAxis(valueAxis_, Qt::AlignLeft);
    const char* names[3] = {"K", "U", "E = K + U"};
    for (std::size_t n = 0; n < Curves.size(); ++n) {
        Curves[n] = new QLineSeries;
        Curves[n]->setName(QString::fromLatin1(names[n]));
        chart->addSeries(Curves[n]);
    }
    for (std::size_t n = 0; n < Marks.size(); ++n) {
        Marks[n] = new QScatterSeries;
        Marks[n]->setName(QString::fromLatin1(ClusterEventName(EventKinds[n])));
        Marks[n]->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
        Marks[n]->setMarkerSize(11);
        chart->addSeries(Marks[n]);
        connect(Marks[n], &QScatterSeries::clicked, this, [this, n](const QPointF& point) {
            // The event of this kind nearest the mark clicked.
            int best = -1;
            double distance = std::numeric_limits<double>::max();
            for (const FrameEvent& e : measured_.Events)
                if (e.Event.Kind == EventKinds[n] && std::abs(e.Time - point.x()) < distance)
                    distance = std::abs(e.Time - point.x()), best = e.Frame;
            if (best >= 0 && showFrame) showFrame(best);
        });
    }
    Cursor = new QLineSeries;
    Cursor->setName(QStringLiteral("frame"));
    chart->addSeries(Cursor);
    // The theme gives each series a colour as it is added; these replace them.
    for (std::size_t n = 0; n < Curves.size(); ++n) Curves[n]->setColor(QColor(CurveColours[n]));
    for (std::size_t n = 0; n < Marks.size(); ++n) Marks[n]->setColor(QColor(EventColours[n]));
    Cursor->setColor(Qt::black);
    for (auto* series : chart->series()) {
        series->attachAxis(timeAxis_);
        series->attachAxis(valueAxis_);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->markers(Cursor).front()->setVisible(false);
    Chart = new QChartView(chart);
    Chart->setRenderHint(QPainter::Antialiasing);
    Summary = new QLabel;
    Summary->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Chart, 1);
    layout->addWidget(Summary);
    Clear();
}

void PlayerRunTab::Clear() {
    measured_ = {};
    for (auto* curve : Curves) curve->clear();
    for (auto* marks : Marks) marks->clear();
    Cursor->clear();
    Summary->setText(QStringLiteral("The frames are measured after they are found."));
}

void PlayerRunTab::Add(const MeasuredFrames& more) {
    for (const SeriesRow& row : more.Rows) {
        measured_.Rows.push_back(row);
        const double t = static_cast<double>(row.Measures.Time);
        const Quantity* values[3] = {&row.Measures.Kinetic, &row.Measures.PairEnergy,
                                     &row.Measures.TotalEnergy};
        for (std::size_t n = 0; n < Curves.size(); ++n)
            if (std::isfinite(Plain(*values[n]))) Curves[n]->append(t, Plain(*values[n]));
    }
    measured_.Events.insert(measured_.Events.end(), more.Events.begin(), more.Events.end());
    if (more.Cutoff > 0) measured_.Cutoff = more.Cutoff;
    Fit();
}

void PlayerRunTab::SetCursor(double time) {
    cursor_ = time;
    Cursor->replace(QList<QPointF>{{time, valueAxis_->min()}, {time, valueAxis_->max()}});
}

// The axes take every value; the marks sit on the lowest line, the cursor spans the whole height.
void PlayerRunTab::Fit() {
    double tLow = 0, tHigh = 1, low = std::numeric_limits<double>::max(),
           high = std::numeric_limits<double>::lowest();
    if (!measured_.Rows.empty()) {
        tLow = static_cast<double>(measured_.Rows.front().Measures.Time);
        tHigh = static_cast<double>(measured_.Rows.back().Measures.Time);
    }
    for (auto* curve : Curves)
        for (const QPointF& p : curve->points()) low = std::min(low, p.y()), high = std::max(high, p.y());
    if (low > high) low = 0, high = 1;
    const double pad = high > low ? 0.05 * (high - low) : 1;
    timeAxis_->setRange(tLow, tHigh > tLow ? tHigh : tLow + 1);
    valueAxis_->setRange(low - pad, high + pad);
    std::array<QList<QPointF>, 5> marks;
    std::array<int, 5> counts{};
    for (const FrameEvent& e : measured_.Events) {
        const auto kind = static_cast<std::size_t>(e.Event.Kind);
        ++counts[kind];
        marks[kind].append({e.Time, low - pad});
    }
    QStringList parts;
    for (std::size_t n = 0; n < Marks.size(); ++n) {
        Marks[n]->replace(marks[n]);
        if (counts[n] > 0)
            parts << QStringLiteral("%1 %2").arg(counts[n]).arg(ClusterEventName(EventKinds[n]));
    }
    const QString cutoff =
        QStringLiteral(" at the first frame's bond cutoff %1").arg(measured_.Cutoff, 0, 'g', 4);
    Summary->setText(measured_.Events.empty()
                         ? QStringLiteral("No cluster events between the frames measured") + cutoff + '.'
                         : QStringLiteral("Cluster events") + cutoff + QStringLiteral(": ") +
                               parts.join(QStringLiteral(", ")) +
                               QStringLiteral(" (a click on a mark shows its frame)."));
    SetCursor(cursor_);
}

} // namespace taonscope
