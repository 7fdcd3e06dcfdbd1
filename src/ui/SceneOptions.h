// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RunObserver.h"
#include "RunReadout.h"

#include "view/Scene.h"
#include "view/Trails.h"

#include <QAction>
#include <QMenu>
#include <QObject>

#include <array>
#include <functional>

namespace taonscope {

/// The View menu's ways of looking at a run: Style (Dots or Spheres) and Sphere Size, Trails and their
/// length, Follow Centre of Mass, Keep All in View and the Run Readout. Style, sphere size, trail length
/// and the readout are kept in the settings (view/style is "dots" or "spheres"); following, keeping in
/// view and trails start off in every session.
class SceneOptions : public QObject, public RunObserver {
public:
    /// Adds the entries to menu; view takes the kept style and size. redraw redraws the scene.
    SceneOptions(QMenu* menu, ViewState& view, std::function<void()> redraw, QObject* parent = nullptr);

    /// Before a picture of a run: adds the trails' frame, follows the centre of mass, keeps all in view.
    void BeforeFrame(ViewState& view, const World& world, SceneArea area);
    /// What the taon scene shows beside the taons now.
    SceneExtras Extras(const World& world);

    /// The entries' commands.
    void StyleClick(TaonStyle style);
    void SphereSizeClick(Extended radius); ///< radius in world units
    void TrailsClick();                    ///< toggles
    void TrailLengthClick(int length);     ///< positions kept
    void FollowCentreOfMassClick();        ///< toggles
    void KeepAllInViewClick();             ///< toggles
    void RunReadoutClick();                ///< toggles

    /// The trails kept, and the readout.
    const TrailHistory& Trails() const { return trails_; }
    RunReadout& Readout() { return *readout_; } ///< see Trails

    void RunStarted(const World& world) override;
    void StepDone(const World& world) override;
    void RunEnded(const World& world) override;
    void DocumentReplaced(const World& world) override;

    std::array<QAction*, 2> Styles{};      ///< Dots, Spheres
    std::array<QAction*, 3> SphereSizes{}; ///< Small, Medium, Large
    std::array<QAction*, 3> TrailLengths{};
    QAction *TrailsOn = nullptr, *FollowCentreOfMass = nullptr, *KeepAllInView = nullptr,
            *RunReadoutOn = nullptr;

private:
    void Save() const;

    ViewState& view_;
    std::function<void()> redraw_;
    TrailHistory trails_;
    RunReadout* readout_;
    bool trailsOn_ = false, follow_ = false, keepInView_ = false;
};

/// Reads the kept style and sphere size into view.
void LoadStyleOptions(ViewState& view);

} // namespace taonscope
