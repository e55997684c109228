#pragma once
// How the program names its capture files: the capture file after a mode switch, the numbered and
// refreshed files of a multiple-image capture, and the image counter the user sets.

#include <QString>

#include <optional>

namespace kestrova {

// The name with its last three characters replaced by extension (a name without a three-letter
// extension loses its last three characters all the same).
QString WithExtension(const QString& fileName, const QString& extension);

// The capture file name and the "filename" panel after a mode switch, from the bands shown.
struct CaptureExtension {
    QString fileName;
    std::optional<QString> panel;  // unset: the panel keeps its text
};
CaptureExtension ApplyCaptureExtension(const QString& fileName, bool movieShown, bool imageShown, bool multipleShown,
                                       int multipleImageMode);

// The capture file the video window reports, or AppFolder's "kestrova.avi" when it answers "Error".
QString SyncedCaptureFileName(const QString& videoFileName, const QString& appFolder);

// The file of image number imageCounter (1 for the first of a capture) for output types 1 to 4:
// the capture file without its last four characters, then (numbered types) the counter plus the
// offset under the mask, then ".bmp" or ".jpg". Empty for the other types.
QString MultipleImageFileName(const QString& captureFileName, int outputType, int imageCounter, int counterOffset,
                              const QString& counterMask);

// The caption of a new still's editor: "Untitled", or with a DV device connected "Untitled_DV_"
// + the tape position + "_Taken " + the recording time, every ":" of both made "_".
QString StillCaption(bool dvConnected, const QString& dvPosition, const QString& dvTaken);

// The counter dialog's question, and what its answer sets: a mask of "#" and one "0" per character
// typed, and the offset the answer reads as (0 for no number; a cancelled dialog answers empty).
QString ImageCounterPrompt();
struct ImageCounter {
    QString mask;
    int offset = 0;
};
ImageCounter ImageCounterFromAnswer(const QString& answer);

}  // namespace kestrova
