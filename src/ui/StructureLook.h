// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RunObserver.h"

#include "analysis/Structure.h"
#include "view/Colouring.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QObject>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace taonscope {

/// Where the window's bond cutoff comes from: the data, the reach of a shell of the law, or a number.
struct CutoffSetting {
    enum class From { Data, Shell, Typed };
    From from = From::Data;
    int kind = 1;       ///< Shell: the kind whose set holds the shell
    char shell = 'B';   ///< Shell: the shell parameter's letter, B, C, D, F or G
    Extended value = 3; ///< Typed: the cutoff

    friend bool operator==(const CutoffSetting&, const CutoffSetting&) = default;
};

/// The cutoff a setting gives for world: none for the data's (and for a shell the world's parameters
/// give no reach), the shell's reach (CutoffChoices), or the typed value.
std::optional<Extended> ChosenCutoff(const CutoffSetting& setting, const World& world);

/// What a structure is measured from; two equal ones give the same structure.
struct StructureSource {
    TaonArray x{}, y{}, z{};               ///< the positions
    TaonFlags present{};                   ///< the taons present
    int count = -1;                        ///< the slots in use
    std::array<Extended, 18> parameters{}; ///< the parameters, which place the shells
    CutoffSetting cutoff;                  ///< the cutoff setting
    bool operator==(const StructureSource&) const = default;
};

/// What the structure of world at the cutoff setting is measured from.
StructureSource SourceOf(const World& world, const CutoffSetting& cutoff);

/// View > Colour By (Kind, Cluster, Coordination, Speed) and View > Show Bonds, the bond cutoff the
/// window measures the structure at, and what the structure adds to the scene and to a picked taon.
/// The three choices are kept in the settings (view/colourBy, view/showBonds, structure/cutoff). During
/// a run the scene's structure is measured again at most every RemeasureMs.
class StructureLook : public QObject, public RunObserver {
public:
    /// The shortest time between two measurements of a running world's structure for the scene.
    static constexpr int RemeasureMs = 100;

    /// Adds the entries to menu and takes the kept choices; redraw redraws the scene.
    StructureLook(QMenu* menu, std::function<void()> redraw, QObject* parent = nullptr);

    /// The entries' commands.
    void ColourByClick(ColourBy by);
    void ShowBondsClick(); ///< toggles
    /// The present choices.
    ColourBy Colouring() const { return colourBy_; }
    bool BondsShown() const { return bonds_; } ///< see Colouring

    /// Takes a new cutoff setting: kept, and the scene redrawn.
    void SetCutoff(const CutoffSetting& setting);
    const CutoffSetting& Cutoff() const { return cutoff_; } ///< see SetCutoff
    /// The structure analysis of world at the chosen cutoff.
    StructureOptions Options(const World& world) const;

    /// Adds the taons' colours and the legend (unless they are coloured by kind) and the bonds (when
    /// shown) to extras.
    void AddTo(SceneExtras& extras, const World& world);
    /// What a picked taon's panel says of its structure: its cluster, its bonds and its q6.
    QStringList TaonLines(const World& world, int slot) const;

    void RunStarted(const World& world) override;
    void RunEnded(const World& world) override;
    void DocumentReplaced(const World& world) override;

    std::array<QAction*, 4> ColourBys{}; ///< Kind, Cluster, Coordination, Speed
    QAction* ShowBonds = nullptr;

private:
    void Save() const;
    void Measure(const World& world);

    std::function<void()> redraw_;
    ColourBy colourBy_ = ColourBy::Kind;
    bool bonds_ = false;
    CutoffSetting cutoff_;
    bool running_ = false;
    std::optional<StructureSource> measured_;
    QElapsedTimer sinceMeasured_;
    SceneStructure scene_;
    TaonColouring colouring_;
};

} // namespace taonscope
