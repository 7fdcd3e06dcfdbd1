// SPDX-License-Identifier: GPL-3.0-or-later
#include "StructureLook.h"

#include "Text.h"
#include "ViewSettings.h"

#include "core/NumberText.h"

#include <QActionGroup>

#include <cmath>

namespace taonscope {

namespace {

const QString ColourByKey = QStringLiteral("view/colourBy");
const QString ShowBondsKey = QStringLiteral("view/showBonds");
const QString CutoffKey = QStringLiteral("structure/cutoff");

const QString ColourByNames[4] = {QStringLiteral("kind"), QStringLiteral("cluster"),
                                  QStringLiteral("coordination"), QStringLiteral("speed")};
constexpr ColourBy ColourByChoices[4] = {ColourBy::Kind, ColourBy::Cluster, ColourBy::Coordination,
                                         ColourBy::Speed};

// The setting as the settings file keeps it: "data", "shell 1B" or "typed 3.1".
QString CutoffSettingText(const CutoffSetting& s) {
    switch (s.from) {
    case CutoffSetting::From::Shell:
        return QStringLiteral("shell %1%2").arg(s.kind).arg(QLatin1Char(s.shell));
    case CutoffSetting::From::Typed:
        return QStringLiteral("typed ") + QString::fromStdString(FormatReal(s.value));
    default:
        return QStringLiteral("data");
    }
}

CutoffSetting ReadCutoffSetting(const QString& text) {
    CutoffSetting s;
    if (text.startsWith(QStringLiteral("shell ")) && text.size() == 8 && text[6] >= QLatin1Char('1') &&
        text[6] <= QLatin1Char('3') && QStringLiteral("BCDFG").contains(text[7])) {
        s.from = CutoffSetting::From::Shell;
        s.kind = text[6].digitValue();
        s.shell = text[7].toLatin1();
    } else if (text.startsWith(QStringLiteral("typed "))) {
        const std::optional<Extended> value = TryParseReal(text.mid(6).toStdString());
        if (value && *value > 0 && std::isfinite(*value))
            s.from = CutoffSetting::From::Typed, s.value = *value;
    }
    return s;
}

QAction* Checkable(QMenu* menu, const QString& caption, const QKeySequence& key, bool checked) {
    QAction* action = menu->addAction(caption);
    action->setShortcut(key);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

QString Short(Extended value) {
    return QString::number(static_cast<double>(value), 'g', 4);
}

} // namespace

std::optional<Extended> ChosenCutoff(const CutoffSetting& setting, const World& world) {
    if (setting.from == CutoffSetting::From::Typed) return setting.value;
    if (setting.from == CutoffSetting::From::Shell)
        for (const CutoffChoice& choice : CutoffChoices(world))
            if (choice.Kind == setting.kind && choice.Shell == setting.shell) return choice.Cutoff;
    return std::nullopt;
}

StructureSource SourceOf(const World& world, const CutoffSetting& cutoff) {
    StructureSource source{world.PosX,      world.PosY, world.PosZ, world.TaonPresent,
                           world.TaonCount, {},         cutoff};
    for (std::size_t p = 0; p < 18; ++p) source.parameters[p] = world.*ParameterFields[p + 1];
    return source;
}

StructureLook::StructureLook(QMenu* menu, std::function<void()> redraw, QObject* parent)
    : QObject(parent), redraw_(std::move(redraw)) {
    const QSettings settings = ProgramSettings();
    const QString kept = settings.value(ColourByKey).toString();
    for (std::size_t i = 0; i < 4; ++i)
        if (kept == ColourByNames[i]) colourBy_ = ColourByChoices[i];
    bonds_ = settings.value(ShowBondsKey, false).toBool();
    cutoff_ = ReadCutoffSetting(settings.value(CutoffKey).toString());

    QMenu* colourBy = menu->addMenu(QStringLiteral("Colour By"));
    auto* group = new QActionGroup(colourBy);
    const QString captions[4] = {QStringLiteral("Kind"), QStringLiteral("Cluster"),
                                 QStringLiteral("Coordination"), QStringLiteral("Speed")};
    const Qt::Key keys[4] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4};
    for (std::size_t i = 0; i < 4; ++i) {
        ColourBys[i] = Checkable(colourBy, captions[i], Qt::ALT | keys[i], colourBy_ == ColourByChoices[i]);
        group->addAction(ColourBys[i]);
        connect(ColourBys[i], &QAction::triggered, this,
                [this, by = ColourByChoices[i]] { ColourByClick(by); });
    }
    ShowBonds = Checkable(menu, QStringLiteral("Show Bonds"), Qt::CTRL | Qt::Key_B, bonds_);
    connect(ShowBonds, &QAction::triggered, this, &StructureLook::ShowBondsClick);
}

void StructureLook::Save() const {
    QSettings settings = ProgramSettings();
    for (std::size_t i = 0; i < 4; ++i)
        if (colourBy_ == ColourByChoices[i]) settings.setValue(ColourByKey, ColourByNames[i]);
    settings.setValue(ShowBondsKey, bonds_);
    settings.setValue(CutoffKey, CutoffSettingText(cutoff_));
}

void StructureLook::ColourByClick(ColourBy by) {
    colourBy_ = by;
    for (std::size_t i = 0; i < 4; ++i) ColourBys[i]->setChecked(ColourByChoices[i] == by);
    Save();
    redraw_();
}

void StructureLook::ShowBondsClick() {
    bonds_ = !bonds_;
    ShowBonds->setChecked(bonds_);
    Save();
    redraw_();
}

void StructureLook::SetCutoff(const CutoffSetting& setting) {
    cutoff_ = setting;
    Save();
    redraw_();
}

StructureOptions StructureLook::Options(const World& world) const {
    StructureOptions options;
    options.Cutoff = ChosenCutoff(cutoff_, world);
    return options;
}

void StructureLook::Measure(const World& world) {
    const StructureSource now = SourceOf(world, cutoff_);
    if (measured_ && *measured_ == now) return;
    if (measured_ && running_ && sinceMeasured_.isValid() && sinceMeasured_.elapsed() < RemeasureMs) return;
    measured_ = now;
    sinceMeasured_.start();
    // Only what the scene shows: no g(r) and no bond order.
    const PairDistances pairs = MeasurePairDistances(world);
    const std::optional<Extended> given = ChosenCutoff(cutoff_, world);
    const Neighbours neighbours = FindNeighbours(pairs, given ? *given : DefaultCutoff(pairs).Value);
    const std::vector<Cluster> clusters = FindClusters(world, neighbours);
    const CoordinationNumbers coordination = CoordinationOf(world, neighbours);
    scene_ = {};
    scene_.Cutoff = neighbours.Cutoff;
    scene_.Cluster.fill(-1);
    for (std::size_t c = 0; c < clusters.size(); ++c) {
        scene_.ClusterSizes.push_back(clusters[c].Size());
        for (const int j : clusters[c].Slots)
            scene_.Cluster[static_cast<std::size_t>(j)] = static_cast<int>(c);
    }
    scene_.Coordination = coordination.BySlot;
    for (const Bond& bond : neighbours.Bonds) scene_.Bonds.push_back({bond.First, bond.Second});
}

void StructureLook::AddTo(SceneExtras& extras, const World& world) {
    if (colourBy_ == ColourBy::Kind && !bonds_) return;
    if (bonds_ || colourBy_ == ColourBy::Cluster || colourBy_ == ColourBy::Coordination) Measure(world);
    if (colourBy_ != ColourBy::Kind) {
        colouring_ = ColourTaons(colourBy_, world, scene_);
        extras.colours = &colouring_.Colour;
        extras.legend = colouring_.Legend;
    }
    if (bonds_) extras.bonds = &scene_.Bonds;
}

QStringList StructureLook::TaonLines(const World& world, int slot) const {
    const Structure s = AnalyzeStructure(world, Options(world));
    const auto j = static_cast<std::size_t>(slot);
    const int cluster = s.ClusterOf[j];
    if (cluster < 0) return {QStringLiteral("Cluster n/a (its position is not finite)")};
    const Cluster& c = s.Clusters[static_cast<std::size_t>(cluster)];
    QString what = QStringLiteral("%1 taons").arg(c.Size());
    if (c.Shape != "none") what += QStringLiteral(", ") + QString::fromStdString(c.Shape);
    // Clusters of two or more come first, largest first; a taon without bonds is in none of them.
    return {c.Size() == 1
                ? QStringLiteral("Isolated: in none of the %1 clusters").arg(s.Counts.Clusters)
                : QStringLiteral("Cluster %1 of %2: %3").arg(cluster + 1).arg(s.Counts.Clusters).arg(what),
            QStringLiteral("Bonds %1 (cutoff %2)").arg(s.Coordination.BySlot[j]).arg(Short(s.Cutoff.Value)),
            s.Order.Defined[j] ? QStringLiteral("q6 = ") + RealText(s.Order.Q6[j])
                               : QStringLiteral("q6 n/a (no bonds)")};
}

void StructureLook::RunStarted(const World&) {
    running_ = true;
}

void StructureLook::RunEnded(const World&) {
    running_ = false;
    // The last picture of a run may show a structure measured up to RemeasureMs before its end.
    if (bonds_ || colourBy_ == ColourBy::Cluster || colourBy_ == ColourBy::Coordination) redraw_();
}

void StructureLook::DocumentReplaced(const World&) {
    measured_.reset();
}

} // namespace taonscope
