// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZoomChartView.h"

#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace taonscope {

ZoomChartView::ZoomChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {}

std::optional<AxisRange> ZoomChartView::Shown() const {
    for (QAbstractAxis* axis : chart()->axes(Qt::Horizontal))
        if (auto* value = qobject_cast<QValueAxis*>(axis)) return AxisRange{value->min(), value->max()};
    return std::nullopt;
}

std::optional<AxisRange> ZoomChartView::Zoomed(double notches, double x) const {
    const std::optional<AxisRange> shown = Shown();
    const QRectF area = chart()->plotArea();
    if (!shown || area.width() <= 0 || notches == 0) return std::nullopt;
    const double share = std::clamp((x - area.left()) / area.width(), 0.0, 1.0);
    const double at = shown->first + share * (shown->second - shown->first);
    const double factor = std::pow(ZoomPerNotch, notches);
    return AxisRange{at - (at - shown->first) * factor, at + (shown->second - at) * factor};
}

void ZoomChartView::wheelEvent(QWheelEvent* event) {
    const std::optional<AxisRange> range = Zoomed(event->angleDelta().y() / 120.0, event->position().x());
    if (range && onZoom) onZoom(*range);
    event->accept();
}

void ZoomChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (onReset) onReset();
    event->accept();
}

QList<QPointF> Decimated(const QList<QPointF>& points, std::optional<AxisRange> range, int buckets) {
    auto first = points.begin(), last = points.end();
    if (range) {
        // One point either side of the range keeps the line running to the chart's edges.
        first = std::lower_bound(points.begin(), points.end(), range->first,
                                 [](const QPointF& p, double x) { return p.x() < x; });
        last = std::upper_bound(first, points.end(), range->second,
                                [](double x, const QPointF& p) { return x < p.x(); });
        if (first != points.begin()) --first;
        if (last != points.end()) ++last;
    }
    const auto count = std::distance(first, last);
    if (count <= 2 * buckets || buckets < 1) return QList<QPointF>(first, last);
    QList<QPointF> kept;
    kept.reserve(2 * buckets);
    for (int b = 0; b < buckets; ++b) {
        const auto from = first + count * b / buckets, to = first + count * (b + 1) / buckets;
        if (from == to) continue;
        const auto [low, high] =
            std::minmax_element(from, to, [](const QPointF& a, const QPointF& c) { return a.y() < c.y(); });
        if (low == high) {
            kept.append(*low);
        } else if (low < high) {
            kept.append(*low), kept.append(*high);
        } else {
            kept.append(*high), kept.append(*low);
        }
    }
    return kept;
}

QChart* SmallChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTheme(QChart::ChartThemeDark);
    chart->setTitle(title);
    QFont font = chart->titleFont();
    font.setPointSize(8);
    chart->setTitleFont(font);
    return chart;
}

QValueAxis* AddSmallAxis(QChart* chart, Qt::Alignment where, const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    QFont font = axis->labelsFont();
    font.setPointSize(7);
    axis->setLabelsFont(font);
    axis->setTitleFont(font);
    chart->addAxis(axis, where);
    return axis;
}

} // namespace taonscope
