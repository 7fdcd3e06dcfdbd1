// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppState.h"
#include "RunObserver.h"

#include "ZoomChartView.h"

#include "analysis/SampleSeries.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

#include <array>
#include <optional>

class QAreaSeries;
class QChart;
class QChartView;
class QComboBox;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace taonscope {

class TMainForm;
class StructureTab;

/// The instruments beside the scene: the run's K, U, E and |P| against time, each on its own axis and
/// zoomable in time, each kind's law with its shells, the pair-distance histograms as filled bars
/// for all six kind pairs or one, and the structure (StructureTab), plus "Cool until settled". A window of
/// its own that follows the main window's runs and documents and never holds or stops a run by itself.
class InstrumentsWindow : public QWidget, public RunObserver {
public:
    /// The instruments of main's world; main must outlive them (they are its child window).
    InstrumentsWindow(AppState& state, TMainForm& main, QWidget* parent = nullptr);

    void RunStarted(const World& world) override;
    void StepDone(const World& world) override;
    void RunEnded(const World& world) override;
    void DocumentReplaced(const World& world) override;

    /// Redraws what changed: the Run tab's curves and readings, the Law tab when the parameters
    /// changed, the Distances tab whenever it shows; runs at most five times a second, and during a run
    /// the Run tab at most twice a second.
    void RefreshTick();
    /// Redraws the law's curves from the present parameters.
    void RefreshLaw();
    /// Recounts and redraws the distance histograms.
    void RefreshDistances();
    /// Ticks Cool and runs until the largest speed falls below the threshold or the step limit.
    void CoolUntilSettledClick();

    /// The samples of the run so far.
    const SampleSeries& Series() const { return series_; }
    /// Shows the run's curves from low to high in time (all four charts); ResetZoom shows the whole run.
    void ZoomRun(AxisRange range);
    void ResetRunZoom(); ///< see ZoomRun
    /// Shows the histograms from low to high in distance; ResetDistanceZoom shows all distances.
    void ZoomDistances(AxisRange range);
    void ResetDistanceZoom(); ///< see ZoomDistances
    /// Shows the histograms of all six kind pairs (-1) or of the pair with that index in KindPairs.
    void ShowKindPair(int index);
    /// Saves the run's samples as a table, the columns of run --log (the Run charts' context menu).
    void SaveRunCsvClick();

    /// True while "Cool until settled" is running.
    bool Settling() const { return settling_; }

    // The controls.
    QTabWidget* Tabs = nullptr;
    QLabel *KineticValue = nullptr, *PairEnergyValue = nullptr, *TotalEnergyValue = nullptr;
    QLabel *MomentumValue = nullptr, *SpeedValue = nullptr, *Conservation = nullptr, *DriftValue = nullptr;
    std::array<ZoomChartView*, 4> RunCharts{}; ///< K, U, E, |P|, stacked, sharing the time axis
    QAction* SaveRunCsv = nullptr;             ///< "Save as CSV..." in the Run charts' context menu
    QChartView *PhiChart = nullptr, *ForceChart = nullptr;
    ZoomChartView* DistanceChart = nullptr;
    QPushButton *ResetRunZoomButton = nullptr, *ResetDistanceZoomButton = nullptr;
    QComboBox* KindPairChoice = nullptr; ///< "All six", then the six pairs
    QLineSeries *KineticSeries = nullptr, *PairEnergySeries = nullptr, *TotalEnergySeries = nullptr;
    QLineSeries* MomentumSeries = nullptr;
    std::array<QLineSeries*, 3> PhiSeries{};      ///< Phi of kinds 1, 2, 3
    std::array<QLineSeries*, 3> ForceSeries{};    ///< A Phi' of kinds 1, 2, 3
    std::array<QScatterSeries*, 3> ShellMarks{};  ///< the shell radii on the Phi curves
    std::array<QLineSeries*, 6> DistanceSeries{}; ///< the six histograms' outlines
    std::array<QAreaSeries*, 6> DistanceAreas{};  ///< the six histograms filled under their outlines
    QCheckBox* LogForce = nullptr;
    QLabel* LawFaults = nullptr;
    QLineEdit *SettleSpeed = nullptr, *SettleLimit = nullptr;
    QPushButton* CoolUntilSettled = nullptr;
    QLabel* SettleReport = nullptr;
    StructureTab* StructurePage = nullptr; ///< the Structure tab (StructureTab.h)

private:
    QWidget* BuildRunTab();
    QWidget* BuildLawTab();
    QWidget* BuildDistancesTab();
    void AddSample(const World& world);
    void RefreshRun();
    void FinishSettling(const QString& how);

    AppState& state_;
    TMainForm& main_;
    QTimer* refresh_ = nullptr;
    SampleSeries series_;
    Sampler sampler_{RunSampleEvery};
    bool runDirty_ = true;
    bool running_ = false;
    QElapsedTimer sinceRunDrawn_;
    std::optional<AxisRange> runZoom_, distanceZoom_;
    std::array<QValueAxis*, 4> runTimeAxes_{}, runValueAxes_{};
    QValueAxis *distanceAxis_ = nullptr, *pairsAxis_ = nullptr;
    std::optional<std::array<Extended, 18>> lawParameters_, runParameters_; // the parameters last drawn

    bool settling_ = false;
    Extended settleSpeed_ = 0;
    long long settleLimit_ = 0, settleSteps_ = 0;
};

} // namespace taonscope
