#pragma once
// The capture settings of a device: movie file, time limit, sound and compressors.

class QDialog;
class QWidget;

namespace kestrova {

class CaptureControl;

QDialog* ShowCaptureDialog(CaptureControl& control, QWidget* parent);

}  // namespace kestrova
