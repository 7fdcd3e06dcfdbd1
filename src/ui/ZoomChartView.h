// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChartView>
#include <QValueAxis>

#include <functional>
#include <optional>
#include <utility>

namespace taonscope {

/// A horizontal range of a chart: low, high.
using AxisRange = std::pair<double, double>;

/// A chart view whose mouse wheel zooms its horizontal axis about the pointer (up: in, down: out) and
/// whose double click resets the zoom; it only tells, the owner sets the axes.
class ZoomChartView : public QChartView {
public:
    /// How much one notch of the wheel narrows the range shown.
    static constexpr double ZoomPerNotch = 0.8;

    explicit ZoomChartView(QChart* chart, QWidget* parent = nullptr);

    /// The horizontal range shown: the first QValueAxis at the bottom; nothing without one.
    std::optional<AxisRange> Shown() const;
    /// The range a wheel turn of notches (positive: away from the user) at horizontal pixel x asks for.
    std::optional<AxisRange> Zoomed(double notches, double x) const;

    std::function<void(AxisRange)> onZoom; ///< the range the wheel asks for
    std::function<void()> onReset;         ///< a double click

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

/// At most 2 x buckets points of a line through points (ascending in x) within range, each bucket of x
/// giving its lowest and highest point in their order, so that peaks stay; all points when fewer.
QList<QPointF> Decimated(const QList<QPointF>& points, std::optional<AxisRange> range, int buckets);

/// A chart of the instruments' small kind: the dark theme, title in 8 points.
QChart* SmallChart(const QString& title);
/// A value axis with labels and title in 7 points, added to chart at where.
QValueAxis* AddSmallAxis(QChart* chart, Qt::Alignment where, const QString& title);

} // namespace taonscope
