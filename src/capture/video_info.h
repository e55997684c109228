#pragma once
// The device information window: one coloured line per fact about the connected source.

#include "device_choice.h"

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

class VideoInfo final : public QWidget {
public:
    VideoInfo(const std::vector<InfoLine>& lines, QWidget* parent = nullptr);
    void Say(const QString& text, const QColor& colour);
    TargetPicture* TargetPic() const { return targetPic_; }

private:
    TargetPicture* targetPic_;
};

}  // namespace kestrova
