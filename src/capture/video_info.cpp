#include "video_info.h"

#include "core/translate.h"

#include <QDialogButtonBox>
#include <QPainter>
#include <QVBoxLayout>

namespace kestrova {

TargetPicture::TargetPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TargetPic"));
    setMinimumSize(320, 160);
}

void TargetPicture::print(const QString& text, const QColor& colour) {
    lines_.push_back({text, colour});
    update();
}

void TargetPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const int step = fontMetrics().lineSpacing();
    int y = step;
    for (const InfoLine& line : lines_) {
        painter.setPen(line.colour);
        painter.drawText(4, y, line.text);
        y += step;
    }
}

VideoInfo::VideoInfo(const std::vector<InfoLine>& lines, QWidget* parent)
    : QDialog(parent), targetPic_(new TargetPicture(this)) {
    setObjectName(QStringLiteral("VideoInfo"));
    setWindowTitle(Translate(QStringLiteral("Device Information")));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(targetPic_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    for (const InfoLine& line : lines) Say(line.text, line.colour);
}

void VideoInfo::Say(const QString& text, const QColor& colour) { targetPic_->print(text, colour); }

}  // namespace kestrova
