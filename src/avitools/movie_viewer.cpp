#include "movie_viewer.h"

#include "core/global_state.h"
#include "core/translate.h"
#include "imaging/image_window.h"
#include "platform/prompts.h"
#include "ui/button_pictures.h"
#include "ui/keyed.h"

#include <QAction>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

namespace kestrova {

namespace {

constexpr int ExtractSliceMs = 30;

QToolBar* keyedBar(QWidget* parent, const QString& name, const std::vector<std::pair<const char*, const char*>>& buttons) {
    auto* bar = new QToolBar(parent);
    bar->setObjectName(name);
    for (const auto& [key, caption] : buttons) {
        QAction* action = AddKeyedButton(bar, QString::fromLatin1(key), Translate(QString::fromLatin1(caption)), QString());
        action->setIcon(ButtonPicture(QString::fromLatin1(key)));
    }
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return bar;
}

}  // namespace

QString FramesPositionText(std::int64_t current, std::int64_t count) {
    return QStringLiteral("%1 / %2").arg(current, 8, 10, QLatin1Char('0')).arg(count, 7, 10, QLatin1Char('0'));
}

QString ViewerTimeText(double milliseconds) {
    const double hours = milliseconds / 1000 / 3600;
    const double minutes = (hours - std::trunc(hours)) * 60;
    const double seconds = std::floor((minutes - std::trunc(minutes)) * 60);
    return QStringLiteral("%1:%2:%3")
        .arg(qint64(std::trunc(hours)), 2, 10, QLatin1Char('0'))
        .arg(qint64(std::trunc(minutes)), 2, 10, QLatin1Char('0'))
        .arg(qint64(seconds), 2, 10, QLatin1Char('0'));
}

MovieViewer::MovieViewer(QWidget* parent)
    : QWidget(parent),
      Mastertoolbar(keyedBar(this, QStringLiteral("Mastertoolbar"),
                             {{"recompress", "Recompress"}, {"extractimg", "Extract Image"}, {"extractall", "Extract All..."}})),
      MovieControl(keyedBar(this, QStringLiteral("MovieControl"), {{"top", "First"}, {"bottom", "Last"}, {"stop", "Stop"}, {"play", "Play"}})),
      framesMode(new QRadioButton(Translate(QStringLiteral("Frames")), this)), timeMode(new QRadioButton(Translate(QStringLiteral("Time")), this)),
      MovieInfo(new QPushButton(this)), hmovie(new QScrollBar(Qt::Horizontal, this)), picture(new QLabel(this)) {
    setObjectName(QStringLiteral("MovieViewer"));
    setWindowTitle(Translate(QStringLiteral("Movie Window")));
    MovieControl->setToolButtonStyle(Qt::ToolButtonIconOnly);
    MovieInfo->setObjectName(QStringLiteral("MovieInfo"));
    MovieInfo->setFlat(true);
    MovieInfo->setToolTip(Translate(QStringLiteral("Position (Click here to jump to a specific frame)")));
    hmovie->setObjectName(QStringLiteral("hmovie"));
    picture->setObjectName(QStringLiteral("movie"));
    picture->setAlignment(Qt::AlignCenter);
    framesMode->setChecked(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Mastertoolbar);
    layout->addWidget(picture, 1);
    auto* position = new QHBoxLayout;
    position->addWidget(MovieControl);
    position->addWidget(framesMode);
    position->addWidget(timeMode);
    position->addStretch();
    position->addWidget(MovieInfo);
    layout->addLayout(position);
    layout->addWidget(hmovie);

    connect(FindKeyed<QAction>(MovieControl, QStringLiteral("top")), &QAction::triggered, this, [this] { SeekFrame(1); });
    connect(FindKeyed<QAction>(MovieControl, QStringLiteral("bottom")), &QAction::triggered, this, [this] { SeekFrame(FrameCount()); });
    connect(FindKeyed<QAction>(MovieControl, QStringLiteral("stop")), &QAction::triggered, this, &MovieViewer::StopStream);
    connect(FindKeyed<QAction>(MovieControl, QStringLiteral("play")), &QAction::triggered, this, &MovieViewer::PlayStream);
    connect(FindKeyed<QAction>(Mastertoolbar, QStringLiteral("recompress")), &QAction::triggered, this, &MovieViewer::recompress);
    connect(FindKeyed<QAction>(Mastertoolbar, QStringLiteral("extractimg")), &QAction::triggered, this, &MovieViewer::ExtractCurrentFrame);
    connect(FindKeyed<QAction>(Mastertoolbar, QStringLiteral("extractall")), &QAction::triggered, this, [this] {
        if (extraction_) endExtraction(QStringLiteral("Done"));
        else ExtractAllFrames();
    });
    connect(MovieInfo, &QPushButton::clicked, this, &MovieViewer::goToFrame);
    connect(hmovie, &QScrollBar::valueChanged, this, [this](int value) {
        if (value != CurrentFrame()) SeekFrame(value);
    });
    connect(framesMode, &QRadioButton::toggled, this, &MovieViewer::Timer1Tick);
    connect(&Timer1, &QTimer::timeout, this, &MovieViewer::Timer1Tick);
    connect(&playTimer_, &QTimer::timeout, this, &MovieViewer::playTick);
    connect(&extractTimer_, &QTimer::timeout, this, &MovieViewer::extractTick);
    Timer1.start(100);
}

QString MovieViewer::open(const QString& movieFilename) {
    Movie_Filename = movieFilename;
    StopStream();
    const QString failed = reader_.open(movieFilename);
    if (!failed.isEmpty()) {
        picture->setText(failed);
        return failed;
    }
    hmovie->setRange(1, int(std::min<std::int64_t>(FrameCount(), 32767)));
    showFrame(0);
    picture->setMinimumSize(reader_.size());
    if (Vars.AVIInfo[8] == QLatin1String("1")) PlayStream();
    return {};
}

void MovieViewer::showFrame(std::int64_t index) {
    const QImage frame = reader_.frame(index);
    if (frame.isNull()) return;  // a frame that cannot be decoded shows nothing new
    current_ = index;
    picture->setPixmap(QPixmap::fromImage(frame));
    Timer1Tick();
}

void MovieViewer::PlayStream() {
    if (!reader_.isOpen() || extraction_) return;
    if (current_ + 1 >= FrameCount()) showFrame(0);
    playTimer_.start(int(std::lround(1000.0 / std::max(1.0, reader_.frameRate()))));
}

void MovieViewer::StopStream() { playTimer_.stop(); }

void MovieViewer::playTick() {
    if (current_ + 1 >= FrameCount()) return StopStream();
    showFrame(current_ + 1);
}

void MovieViewer::SeekFrame(std::int64_t frame) {
    if (!reader_.isOpen()) return;
    showFrame(std::clamp<std::int64_t>(frame, 1, FrameCount()) - 1);
}

void MovieViewer::Timer1Tick() {
    if (!reader_.isOpen()) return;
    if (framesMode->isChecked()) {
        MovieInfo->setText(FramesPositionText(CurrentFrame(), FrameCount()));
    } else {
        const double position = reader_.frameRate() > 0 ? double(current_) * 1000 / reader_.frameRate() : 0;
        MovieInfo->setText(ViewerTimeText(position) + QStringLiteral(" / ") + ViewerTimeText(double(reader_.durationMs())));
    }
    const QSignalBlocker quiet(hmovie);
    hmovie->setValue(int(std::min<std::int64_t>(CurrentFrame(), 32767)));
}

void MovieViewer::goToFrame() {
    if (!framesMode->isChecked() || !reader_.isOpen()) return;
    const std::optional<QString> answer = CurrentPrompts().input(
        QStringLiteral("Current Frame is %1 of %2\n\rEnter the frame number:").arg(CurrentFrame()).arg(FrameCount()),
        MessageTitle() + QStringLiteral(" Go to frame..."), QString());
    if (!answer || answer->trimmed().isEmpty()) return;
    bool number = false;
    const double frame = answer->trimmed().toDouble(&number);
    if (number && std::isfinite(frame)) SeekFrame(std::llround(std::clamp(frame, -1e12, 1e12)));
}

void MovieViewer::ExtractCurrentFrame() {
    StopStream();
    QString why;
    const QImage frame = reader_.isOpen() ? reader_.frame(current_, &why) : QImage();
    if (frame.isNull()) {
        emit statusText(QStringLiteral("Error Extracting Image"));
        return;
    }
    const QString title = windowTitle();
    emit frameExtracted(frame, title.left(title.size() - 4) + QStringLiteral("_Frame_") + QString::number(current_));
    emit statusText(QStringLiteral("Image Extracted"));
}

void MovieViewer::ExtractAllFrames() {
    StopStream();
    const QString chosen = CurrentPrompts().saveFile(
        Translate(QStringLiteral("Location to save images...")),
        QtFileFilter(QStringLiteral("Bitmap File (*.bmp)|*.bmp|JPEG Image File (*.jpg)|*.jpg|")), lastChosen_.left(lastChosen_.size() - 4));
    if (chosen.isEmpty()) {
        emit statusText(QStringLiteral("Done"));
        return;
    }
    lastChosen_ = chosen;
    auto extraction = std::make_unique<FrameExtraction>();
    if (!extraction->open(Movie_Filename, chosen, Vars.JpegQuality > 0 ? Vars.JpegQuality : 75).isEmpty()) {
        emit statusText(QStringLiteral("Error Extracting Image"));
        return;
    }
    extraction_ = std::move(extraction);
    FindKeyed<QAction>(Mastertoolbar, QStringLiteral("extractall"))->setText(Translate(QStringLiteral("Cancel")));
    MovieControl->setEnabled(false);
    hmovie->setEnabled(false);
    extractTimer_.start(0);
}

void MovieViewer::extractTick() {
    QElapsedTimer slice;
    slice.start();
    while (extraction_ && slice.elapsed() < ExtractSliceMs) {
        const std::int64_t index = extraction_->next();
        switch (extraction_->step()) {
        case FrameExtraction::Step::Done:
            return endExtraction(QStringLiteral("Done"));
        case FrameExtraction::Step::Failed:
            return endExtraction(QStringLiteral("Error Extracting Image"));
        case FrameExtraction::Step::Skipped:
            break;
        case FrameExtraction::Step::Wrote:
            emit statusText(SavingStatus(index, extraction_->count() - 1));
            picture->setPixmap(QPixmap::fromImage(extraction_->lastFrame()));
            break;
        }
    }
}

void MovieViewer::endExtraction(const QString& status) {
    extractTimer_.stop();
    extraction_.reset();
    FindKeyed<QAction>(Mastertoolbar, QStringLiteral("extractall"))->setText(Translate(QStringLiteral("Extract All...")));
    MovieControl->setEnabled(true);
    hmovie->setEnabled(true);
    showFrame(current_);
    emit statusText(status);
}

void MovieViewer::recompress() {
    const QString local = Vars.AppFolder + QStringLiteral("kestrova-recompress");
    const QString program = QFileInfo(local).isExecutable() ? local : QStandardPaths::findExecutable(QStringLiteral("kestrova-recompress"));
    if (program.isEmpty() || !QProcess::startDetached(program, {Movie_Filename})) {
        MsgBox(Translate(QStringLiteral("Cannot run the movie compressor")), PromptIcon::Critical);
    }
}

void MovieViewer::closeEvent(QCloseEvent* event) {
    // The window stays while it writes frames; Cancel ends that first.
    if (extraction_) {
        event->ignore();
        return;
    }
    Timer1.stop();
    StopStream();
    event->accept();
}

}  // namespace kestrova
