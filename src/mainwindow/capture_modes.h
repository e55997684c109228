#pragma once
// What each capture mode shows, as plain values the main window applies: its bands, the record
// button and the Toolbars items it enables.

#include "controller/output_names.h"

#include <QString>

#include <array>
#include <optional>

namespace kestrova {

// Toolbars menu items 0..8: device, operation, movie, image, multiple, avibuilder, webshare, status
// panel, tuner.
inline constexpr int ToolbarItemCount = 9;
using ToolbarTicks = std::array<bool, ToolbarItemCount>;

// The mode bands in design order; band i + 1 of the rebar is governed by Toolbars item i.
inline constexpr std::array<const char*, 5> ModeBandKeys = {"movie", "image", "multiple", "avibuilder", "webshare"};

struct ModeLayout {
    bool operationShown = false;
    QString modeBand;           // the one mode band shown, empty for none
    QString recordImage;        // empty: unchanged
    QString recordCaption;      // empty: unchanged
    std::array<std::optional<bool>, ToolbarItemCount> enableItems;  // items left alone stay as they are
    std::optional<bool> statusPanel;
    bool webShare = false;
};

// The layout for a mode key already in lower case; any other text shows the operation band only.
ModeLayout LayoutForMode(const QString& mode, const ToolbarTicks& ticks);

QString OverwriteQuestionText(const QString& fileName);

}  // namespace kestrova
