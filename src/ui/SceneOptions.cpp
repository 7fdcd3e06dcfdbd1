// SPDX-License-Identifier: GPL-3.0-or-later
#include "SceneOptions.h"

#include "ViewSettings.h"

#include "view/Follow.h"
#include "view/TaonStyle.h"

#include <QActionGroup>

#include <algorithm>
#include <iterator>

namespace taonscope {

namespace {

const QString StyleKey = QStringLiteral("view/style");
const QString SphereSizeKey = QStringLiteral("view/sphereSize");
const QString TrailLengthKey = QStringLiteral("view/trailLength");
const QString ReadoutKey = QStringLiteral("view/runReadout");

QAction* Checkable(QMenu* menu, const QString& caption, bool checked) {
    QAction* action = menu->addAction(caption);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

} // namespace

void LoadStyleOptions(ViewState& view) {
    const QSettings settings = ProgramSettings();
    view.Style = settings.value(StyleKey).toString() == QStringLiteral("spheres") ? TaonStyle::Spheres
                                                                                  : TaonStyle::Dots;
    const double kept = settings.value(SphereSizeKey, static_cast<double>(SphereRadiusChoices[1])).toDouble();
    view.SphereRadius = SphereRadiusChoices[1];
    for (const Extended choice : SphereRadiusChoices)
        if (static_cast<double>(choice) == kept) view.SphereRadius = choice;
}

SceneOptions::SceneOptions(QMenu* menu, ViewState& view, std::function<void()> redraw, QObject* parent)
    : QObject(parent), view_(view), redraw_(std::move(redraw)), readout_(new RunReadout(redraw_, this)) {
    LoadStyleOptions(view_);
    const QSettings settings = ProgramSettings();
    const int length = settings.value(TrailLengthKey, TrailLengthChoices[1]).toInt();
    trails_.SetLength(std::find(std::begin(TrailLengthChoices), std::end(TrailLengthChoices), length) !=
                              std::end(TrailLengthChoices)
                          ? length
                          : TrailLengthChoices[1]);
    readout_->SetEnabled(settings.value(ReadoutKey, true).toBool());

    QMenu* style = menu->addMenu(QStringLiteral("Style"));
    auto* styles = new QActionGroup(style);
    const TaonStyle kinds[2] = {TaonStyle::Dots, TaonStyle::Spheres};
    const QString captions[2] = {QStringLiteral("Dots"), QStringLiteral("Spheres")};
    for (std::size_t i = 0; i < 2; ++i) {
        Styles[i] = Checkable(style, captions[i], view_.Style == kinds[i]);
        styles->addAction(Styles[i]);
        connect(Styles[i], &QAction::triggered, this, [this, kind = kinds[i]] { StyleClick(kind); });
    }
    QMenu* size = menu->addMenu(QStringLiteral("Sphere Size"));
    auto* sizes = new QActionGroup(size);
    const QString sizeCaptions[3] = {QStringLiteral("Small"), QStringLiteral("Medium"),
                                     QStringLiteral("Large")};
    for (std::size_t i = 0; i < 3; ++i) {
        SphereSizes[i] = Checkable(size, sizeCaptions[i], view_.SphereRadius == SphereRadiusChoices[i]);
        sizes->addAction(SphereSizes[i]);
        connect(SphereSizes[i], &QAction::triggered, this,
                [this, r = SphereRadiusChoices[i]] { SphereSizeClick(r); });
    }
    TrailsOn = Checkable(menu, QStringLiteral("Trails"), false);
    connect(TrailsOn, &QAction::triggered, this, &SceneOptions::TrailsClick);
    QMenu* trailLength = menu->addMenu(QStringLiteral("Trail Length"));
    auto* lengths = new QActionGroup(trailLength);
    for (std::size_t i = 0; i < 3; ++i) {
        const int n = TrailLengthChoices[i];
        TrailLengths[i] =
            Checkable(trailLength, QStringLiteral("%1 positions").arg(n), trails_.Length() == n);
        lengths->addAction(TrailLengths[i]);
        connect(TrailLengths[i], &QAction::triggered, this, [this, n] { TrailLengthClick(n); });
    }
    FollowCentreOfMass = Checkable(menu, QStringLiteral("Follow Centre of Mass"), false);
    connect(FollowCentreOfMass, &QAction::triggered, this, &SceneOptions::FollowCentreOfMassClick);
    KeepAllInView = Checkable(menu, QStringLiteral("Keep All in View"), false);
    connect(KeepAllInView, &QAction::triggered, this, &SceneOptions::KeepAllInViewClick);
    RunReadoutOn = Checkable(menu, QStringLiteral("Run Readout"), readout_->Enabled());
    connect(RunReadoutOn, &QAction::triggered, this, &SceneOptions::RunReadoutClick);
}

void SceneOptions::Save() const {
    QSettings settings = ProgramSettings();
    settings.setValue(StyleKey,
                      view_.Style == TaonStyle::Spheres ? QStringLiteral("spheres") : QStringLiteral("dots"));
    settings.setValue(SphereSizeKey, static_cast<double>(view_.SphereRadius));
    settings.setValue(TrailLengthKey, trails_.Length());
    settings.setValue(ReadoutKey, readout_->Enabled());
}

void SceneOptions::StyleClick(TaonStyle style) {
    view_.Style = style;
    Styles[style == TaonStyle::Spheres ? 1 : 0]->setChecked(true);
    Save();
    redraw_();
}

void SceneOptions::SphereSizeClick(Extended radius) {
    view_.SphereRadius = radius;
    for (std::size_t i = 0; i < 3; ++i)
        if (SphereRadiusChoices[i] == radius) SphereSizes[i]->setChecked(true);
    Save();
    redraw_();
}

void SceneOptions::TrailsClick() {
    trailsOn_ = !trailsOn_;
    TrailsOn->setChecked(trailsOn_);
    trails_.Clear();
    redraw_();
}

void SceneOptions::TrailLengthClick(int length) {
    trails_.SetLength(length);
    for (std::size_t i = 0; i < 3; ++i)
        TrailLengths[i]->setChecked(TrailLengthChoices[i] == trails_.Length());
    Save();
    redraw_();
}

void SceneOptions::FollowCentreOfMassClick() {
    follow_ = !follow_;
    FollowCentreOfMass->setChecked(follow_);
}

void SceneOptions::KeepAllInViewClick() {
    keepInView_ = !keepInView_;
    KeepAllInView->setChecked(keepInView_);
}

void SceneOptions::RunReadoutClick() {
    readout_->SetEnabled(!readout_->Enabled());
    RunReadoutOn->setChecked(readout_->Enabled());
    Save();
    redraw_();
}

void SceneOptions::BeforeFrame(ViewState& view, const World& world, SceneArea area) {
    if (trailsOn_) trails_.Add(world);
    // The view matrix of the coming picture: following and keeping in view need the present angles.
    BuildViewMatrix(view);
    if (follow_) CentreOnCentreOfMass(view, world, area);
    if (keepInView_) taonscope::KeepAllInView(view, world, area);
}

SceneExtras SceneOptions::Extras(const World& world) {
    SceneExtras extras;
    if (trailsOn_ && !world.ShowingFigure) extras.trails = &trails_;
    extras.readout = readout_->Lines(world);
    return extras;
}

void SceneOptions::RunStarted(const World& world) {
    readout_->RunStarted(world);
}

void SceneOptions::StepDone(const World& world) {
    readout_->StepDone(world);
}

void SceneOptions::RunEnded(const World& world) {
    readout_->RunEnded(world);
}

void SceneOptions::DocumentReplaced(const World& world) {
    trails_.Clear();
    readout_->DocumentReplaced(world);
}

} // namespace taonscope
