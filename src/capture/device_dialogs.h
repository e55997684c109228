#pragma once
// The device's own windows: video source (input), video format and display options. Each is a
// small window of ours over what the capture control offers; OK applies, Cancel leaves all as it was.

#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace kestrova {

class CaptureControl;

// A window of its own with the content above OK and Cancel; apply runs on OK.
QDialog* ShowDeviceWindow(const QString& name, const QString& title, QWidget* content, QWidget* parent,
                          std::function<void()> apply);

QDialog* ShowVideoSourceDialog(CaptureControl& control, QWidget* parent);
QDialog* ShowVideoFormatDialog(CaptureControl& control, QWidget* parent);
QDialog* ShowVideoDisplayDialog(CaptureControl& control, QWidget* parent);

}  // namespace kestrova
