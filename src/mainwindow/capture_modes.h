#pragma once
// What each capture mode shows, as plain values the main window applies: its bands, the record
// button, the Toolbars items it enables and the capture file's extension.

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

// The capture file name and the "filename" panel after a mode switch, from the bands shown.
struct CaptureExtension {
    QString fileName;
    std::optional<QString> panel;  // unset: the panel keeps its text
};
CaptureExtension ApplyCaptureExtension(const QString& fileName, bool movieShown, bool imageShown, bool multipleShown,
                                       int multipleImageMode);

// The name with its last three characters replaced by extension.
QString WithExtension(const QString& fileName, const QString& extension);

QString OverwriteQuestionText(const QString& fileName);

}  // namespace kestrova
