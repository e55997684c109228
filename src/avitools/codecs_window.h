#pragma once
// The `codecs` window ("Installed Video Compressors"): the codecs of the installed FFmpeg that AVI
// files carry, video and audio.

#include <QWidget>

class QTreeWidget;

namespace kestrova {

class CodecsWindow : public QWidget {
    Q_OBJECT
public:
    explicit CodecsWindow(QWidget* parent = nullptr);
    QTreeWidget* codecs;
};

}  // namespace kestrova
