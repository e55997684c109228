// The movie panel: frame rate (a click on its label gives 29.97), time limit or "No Limit", the movie
// toolbar and the movie file; Record reads them as MovieSettings when a capture starts.

#include "master.h"

#include "capture/video_screen.h"
#include "core/global_state.h"
#include "core/number_forms.h"
#include "core/translate.h"
#include "imaging/image_window.h"
#include "platform/prompts.h"
#include "ui/keyed.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSpinBox>
#include <QToolBar>

#include <functional>

namespace kestrova {

namespace {

// A label that reports a press of the left button.
class ClickLabel final : public QLabel {
public:
    ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}
    std::function<void()> clicked;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && clicked) clicked();
        QLabel::mousePressEvent(event);
    }
};

QSpinBox* upDown(const QString& name, int minimum, int maximum, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

QLabel* display(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

void Master::buildMovieBar() {
    QToolBar* movie = addBand(QStringLiteral("movie"), Translate(QStringLiteral("Movie Capture Toolbar")));
    auto* panel = new QWidget(movie);
    panel->setObjectName(QStringLiteral("MoviePanel"));
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 0, 4, 0);
    grid->setVerticalSpacing(0);

    movieFrameRate_ = upDown(QStringLiteral("MovieFrameRateControl"), 1, 40, 30, panel);
    auto* rateDisplay = new ClickLabel(QStringLiteral(" 0 fps"), panel);
    rateDisplay->setObjectName(QStringLiteral("MovieFrameRateDisplay"));
    rateDisplay->setToolTip(Translate(QStringLiteral("Click for 29.97 fps")));
    rateDisplay->clicked = [this] { movieFrameRateDisplayClicked(); };
    movieFrameRateDisplay_ = rateDisplay;
    movieHours_ = upDown(QStringLiteral("MovieHoursControl"), 0, 59, 0, panel);
    movieMinutes_ = upDown(QStringLiteral("MovieMinutesControl"), 0, 59, 1, panel);
    movieSeconds_ = upDown(QStringLiteral("MovieSecondsControl"), 0, 59, 0, panel);
    movieHoursDisplay_ = display(QStringLiteral("MovieHoursDisplay"), QStringLiteral("00"), panel);
    movieMinutesDisplay_ = display(QStringLiteral("MovieMinutesDisplay"), QStringLiteral("01"), panel);
    movieSecondsDisplay_ = display(QStringLiteral("MovieSecondsDisplay"), QStringLiteral("00"), panel);
    movieDisableLimit_ = new QCheckBox(Translate(QStringLiteral("No Limit")), panel);
    movieDisableLimit_->setObjectName(QStringLiteral("MovieDisableLimit"));

    grid->addWidget(new QLabel(Translate(QStringLiteral("Frame Rate")), panel), 0, 0, 1, 2);
    grid->addWidget(movieFrameRate_, 1, 0);
    grid->addWidget(movieFrameRateDisplay_, 1, 1);
    grid->addWidget(new QLabel(Translate(QStringLiteral("Time Limit (h:m:s)")), panel), 0, 2, 1, 3);
    grid->addWidget(movieHours_, 1, 2);
    grid->addWidget(movieMinutes_, 1, 3);
    grid->addWidget(movieSeconds_, 1, 4);
    grid->addWidget(movieHoursDisplay_, 2, 2, Qt::AlignHCenter);
    grid->addWidget(movieMinutesDisplay_, 2, 3, Qt::AlignHCenter);
    grid->addWidget(movieSecondsDisplay_, 2, 4, Qt::AlignHCenter);
    grid->addWidget(movieDisableLimit_, 2, 0, 1, 2);

    connect(movieFrameRate_, &QSpinBox::valueChanged, this, &Master::movieFrameRateChanged);
    // The rate and its label hold from the start, even when no later setting changes the control.
    movieFrameRateChanged(movieFrameRate_->value());
    for (QSpinBox* limit : {movieHours_, movieMinutes_, movieSeconds_}) {
        connect(limit, &QSpinBox::valueChanged, this, [this, limit] { movieLimitChanged(limit); });
    }
    connect(movieDisableLimit_, &QCheckBox::toggled, this, [this](bool noLimit) {
        for (QWidget* control : std::initializer_list<QWidget*>{movieHours_, movieMinutes_, movieSeconds_, movieHoursDisplay_,
                                                                movieMinutesDisplay_, movieSecondsDisplay_}) {
            control->setEnabled(!noLimit);
        }
    });

    movieToolbar_ = new QToolBar(panel);
    movieToolbar_->setObjectName(QStringLiteral("MovieToolbar"));
    movieToolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    struct Button {
        const char* key;
        const char* tooltip;
        bool check;
        bool available;  // the windows behind the others come later
    };
    const Button buttons[] = {{"filename", "Set AVI Filename", false, true},
                              {"audio", "Capture Audio", true, true},
                              {"writeinfo", "Write Other Information", true, true},
                              {"otherinfo", "Edit Other Information", false, true},
                              {"compression", "Video Compression", false, true},
                              {"tcr", "", false, false}};
    for (const Button& button : buttons) {
        const QString key = QString::fromLatin1(button.key);
        QAction* action = AddKeyedButton(movieToolbar_, key, key, Translate(QString::fromLatin1(button.tooltip)));
        action->setIcon(ButtonPicture(key));
        action->setCheckable(button.check);
        action->setEnabled(button.available);
        connect(action, &QAction::triggered, this, [this, key] { movieToolbarClicked(key); });
    }
    grid->addWidget(movieToolbar_, 0, 5, 3, 1);
    buildAudioLists(grid, 6);
    movie->addWidget(panel);
}

void Master::movieToolbarClicked(const QString& key) {
    if (key == QLatin1String("filename")) {
        SetMovieFileName();
    } else if (key == QLatin1String("audio")) {
        AudioOnOff(FindKeyed<QAction>(movieToolbar_, key)->isChecked());
    } else if (key == QLatin1String("record")) {
        if (ImageKey(recordButton()) == QLatin1String("record")) {
            StartStopCapture(true);
        } else {
            StopMovieRecord();
        }
    } else if (key == QLatin1String("compression")) {
        showVideoCompression();
    } else if (key == QLatin1String("otherinfo")) {
        showOtherInfo();
    } else if (key == QLatin1String("motion")) {
        armMotion();
        if (QAction* motion = FindKeyed<QAction>(movieToolbar_, key)) motion->setEnabled(false);
    }
    // "autostart" opens the scheduled start window, which comes with the scheduled start.
}

void Master::movieFrameRateChanged(int rate) {
    Vars.MovieFrameRate = double(rate);
    movieFrameRateDisplay_->setText(SignColumn(double(rate)) + QStringLiteral(" fps"));
    // A WDM device previews at the movie's rate.
    if (videoScreen_->PreviewFollowsMovieRate() && previewRate_->currentIndex() + 1 != rate) {
        previewRate_->setCurrentIndex(rate - 1);
    }
}

void Master::movieFrameRateDisplayClicked() {
    movieFrameRate_->setValue(29);
    Vars.MovieFrameRate = 29.97;
    movieFrameRateDisplay_->setText(SignColumn(29.97));
}

void Master::movieLimitChanged(QSpinBox* control) {
    QLabel* label = control == movieHours_ ? movieHoursDisplay_ : control == movieMinutes_ ? movieMinutesDisplay_ : movieSecondsDisplay_;
    label->setText(FormatMask(control->value(), QStringLiteral("#00")));
    // A limit is at least one second.
    if (movieHours_->value() == 0 && movieMinutes_->value() == 0 && movieSeconds_->value() == 0) movieSeconds_->setValue(1);
}

void Master::SetMovieFileName() {
    QString name = Vars.CaptureFileName;
    if (Vars.CaptureMode == QLatin1String("movie")) {
        name = CurrentPrompts().saveFile(Translate(QStringLiteral("Set Movie Clip filename...")),
                                         QtFileFilter(QStringLiteral("Movie Clips (*.AVI)|*.avi")), Vars.CaptureFileName);
        if (name.isEmpty()) return;
    }
    Vars.CaptureFileName = name;
    videoScreen_->values.commonDialogFileName = name;
    videoScreen_->SetFilename(name);
}

MovieSettings Master::movieSettings() const {
    MovieSettings settings;
    settings.audio = FindKeyed<QAction>(movieToolbar_, QStringLiteral("audio"))->isChecked();
    settings.noLimit = movieDisableLimit_->isChecked();
    settings.hours = movieHours_->value();
    settings.minutes = movieMinutes_->value();
    settings.seconds = movieSeconds_->value();
    settings.frameRate = Vars.MovieFrameRate.toDouble();
    settings.audioBitsPos = audioBits_->currentIndex();
    settings.audioChannelsPos = audioChannels_->currentIndex();
    settings.audioRatePos = audioRate_->currentIndex();
    return settings;
}

}  // namespace kestrova
