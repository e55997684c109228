#pragma once
// The device's own windows: video source (input and the driver's picture controls), video format and display options. Each is a
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

// The V4L2 node of the control's device; empty for Test Pattern and network sources.
QString DeviceNode(const CaptureControl& control);

QDialog* ShowVideoSourceDialog(CaptureControl& control, QWidget* parent);
QDialog* ShowVideoFormatDialog(CaptureControl& control, QWidget* parent);
QDialog* ShowVideoDisplayDialog(CaptureControl& control, QWidget* parent);

}  // namespace kestrova
