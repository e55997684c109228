#pragma once
// The device information window: one coloured line per fact about the connected source.

#include "device_choice.h"

#include <QDialog>
#include <QWidget>

namespace kestrova {

// The picture box the lines are printed on, top to bottom.
class TargetPicture final : public QWidget {
public:
    explicit TargetPicture(QWidget* parent = nullptr);
    void print(const QString& text, const QColor& colour);
    const std::vector<InfoLine>& lines() const { return lines_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<InfoLine> lines_;
};

// A dialog: its Close button and Escape close it.
class VideoInfo final : public QDialog {
    Q_OBJECT
public:
    VideoInfo(const std::vector<InfoLine>& lines, QWidget* parent = nullptr);
    void Say(const QString& text, const QColor& colour);
    TargetPicture* TargetPic() const { return targetPic_; }

private:
    TargetPicture* targetPic_;
};

}  // namespace kestrova
