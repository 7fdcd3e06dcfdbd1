// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/ClusterEvents.h"
#include "analysis/Series.h"

#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QChart;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
class QLabel;

namespace taonscope {

/// A cluster event with the frame (from 0) it is seen at and that frame's time.
struct FrameEvent {
    int Frame = 0;
    double Time = 0;
    ClusterEvent Event;
};

/// A trajectory's measures frame by frame (or every so many frames) and the cluster events between its
/// frames.
struct MeasuredFrames {
    std::vector<SeriesRow> Rows;    ///< frames measured, in order
    std::vector<FrameEvent> Events; ///< in order
    double Cutoff = 0;              ///< the bond cutoff of every frame, the first frame's; 0 when it has none
};

/// The Player's Run tab: K, U and E of the trajectory against time, a cursor at the frame shown, and the
/// cluster events marked on the time axis, one colour for each kind; a click on a mark shows its frame.
class PlayerRunTab : public QWidget {
public:
    explicit PlayerRunTab(QWidget* parent = nullptr);

    /// Forgets every measure.
    void Clear();
    /// Adds the measures of more frames, after those there are.
    void Add(const MeasuredFrames& more);
    /// Puts the cursor at the time of a frame.
    void SetCursor(double time);
    /// The measures drawn.
    const MeasuredFrames& Measured() const { return measured_; }

    /// Told the frame (from 0) of a mark clicked.
    std::function<void(int frame)> showFrame;

    QChartView* Chart = nullptr;
    std::array<QLineSeries*, 3> Curves{};   ///< K, U, E
    std::array<QScatterSeries*, 5> Marks{}; ///< the events of each kind, in the order of ClusterEventKind
    QLineSeries* Cursor = nullptr;
    QLabel* Summary = nullptr; ///< how many events of each kind

private:
    void Fit();

    MeasuredFrames measured_;
    QValueAxis *timeAxis_ = nullptr, *valueAxis_ = nullptr;
    double cursor_ = 0;
};

} // namespace taonscope
