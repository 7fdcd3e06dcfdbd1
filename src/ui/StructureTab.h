// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppState.h"
#include "StructureLook.h"

#include "analysis/Structure.h"

#include <QElapsedTimer>
#include <QWidget>

#include <array>
#include <optional>

class QAreaSeries;
class QBarCategoryAxis;
class QBarSet;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QStackedBarSeries;
class QTableWidget;
class QValueAxis;

namespace taonscope {

/// The instruments' Structure tab: the bond cutoff (from the data, a shell of the law, or typed), the
/// clusters of two or more taons as a table (size, kinds, shape, radius of gyration, speed), g(r), and
/// the histograms of the bonds per taon and of q6. The window measures the structure at its sampling
/// steps while the tab shows (Sample) and asks it to redraw (Refresh).
class StructureTab : public QWidget {
public:
    /// During a run the tab is redrawn at most this often.
    static constexpr int RunRedrawMs = 1000;

    /// The tab of world, whose cutoff look keeps; both must outlive it.
    StructureTab(const AppState& state, StructureLook& look, QWidget* parent = nullptr);

    /// Measures the structure of the world now; the next Refresh draws it.
    void Sample();
    /// Draws the last measurement: during a run at most every RunRedrawMs; otherwise after measuring
    /// again when the world or the cutoff changed.
    void Refresh(bool running);
    /// Forgets the last measurement (a new document).
    void Forget();
    /// The structure last measured.
    const std::optional<Structure>& Last() const { return last_; }
    /// How often the structure was measured so far.
    long long SampleCount() const { return samples_; }

    /// The cutoff choice's commands: an entry of CutoffFrom, or the value typed in CutoffValue.
    void CutoffChosen(int index);
    void CutoffTyped(); ///< see CutoffChosen
    /// Shows the g(r) of all pairs (0), of one kind pair (1 to 6, in the order of KindPairs), or all seven
    /// (7).
    void ShowRdf(int index);

    // The controls.
    QComboBox* CutoffFrom = nullptr;  ///< "From the data", the law's shells, "Typed"
    QLineEdit* CutoffValue = nullptr; ///< the cutoff in use; what Enter takes as the typed one
    QLabel* Summary = nullptr;        ///< cutoff, bonds, clusters, isolated taons, mean q6
    QTableWidget* ClusterTable = nullptr;
    QChartView *RdfChart = nullptr, *CoordinationChart = nullptr, *OrderChart = nullptr;
    QComboBox* RdfChoice = nullptr;
    std::array<QLineSeries*, RdfCurves> RdfSeries{}; ///< "1-1" ... "3-3", then all pairs
    std::array<QBarSet*, 3> CoordinationBars{};      ///< taons of kinds 1, 2, 3 with 0, 1, 2 ... bonds
    QLineSeries* OrderOutline = nullptr;             ///< the q6 histogram's outline

private:
    void FillCutoffChoices();
    void Draw();
    void DrawRdf();
    void DrawCoordination();
    void DrawOrder();

    const AppState& state_;
    StructureLook& look_;
    std::optional<Structure> last_;
    std::optional<StructureSource> measured_;
    std::vector<CutoffChoice> choices_; // the shells CutoffFrom offers, in its order after the first entry
    bool dirty_ = false;
    long long samples_ = 0;
    QElapsedTimer sinceDrawn_;
    QValueAxis *rdfX_ = nullptr, *rdfY_ = nullptr, *coordinationY_ = nullptr, *orderY_ = nullptr;
    QBarCategoryAxis* coordinationX_ = nullptr;
    QStackedBarSeries* coordinationSeries_ = nullptr;
};

} // namespace taonscope
