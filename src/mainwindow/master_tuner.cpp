// The TV tuner band: stations menu, station add and remove, country, antenna or cable, scanning up
// and down, the channel slider and its label. The stations and the scan's arithmetic live in
// persistence/tuner_stations.h; this file wires them to the capture control of the video window.

#include "master.h"

#include "capture/video_screen.h"
#include "core/global_state.h"
#include "core/settings.h"
#include "core/translate.h"
#include "persistence/tuner_stations.h"
#include "platform/prompts.h"
#include "ui/keyed.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

namespace kestrova {

namespace {

const char* const StepTag = "Tag";

}  // namespace

QString Master::stationsFilePath() { return Vars.AppFolder + QStringLiteral("TVTuner.ini"); }

void Master::buildTunerBar() {
    // A row of its own: beside a mode band neither would fit.
    addToolBarBreak(Qt::TopToolBarArea);
    TunerBar = addBand(QString(), Translate(QStringLiteral("TV Tuner")));
    TunerBar->setObjectName(QStringLiteral("TunerBand"));
    auto button = [this](const char* key, const char* caption, const char* tooltip) {
        const QString buttonKey = QString::fromLatin1(key);
        QAction* made = AddKeyedButton(TunerBar, buttonKey, Translate(QString::fromLatin1(caption)),
                                       Translate(QString::fromLatin1(tooltip)));
        made->setIcon(ButtonPicture(buttonKey));
        return made;
    };
    QAction* station = button("tuner_station", "Stations", "Stations");
    stationsMenu_ = new QMenu(TunerBar);
    stationsMenu_->setObjectName(QStringLiteral("tuner_station_menu"));
    station->setMenu(stationsMenu_);
    if (auto* stationButton = qobject_cast<QToolButton*>(TunerBar->widgetForAction(station))) {
        stationButton->setPopupMode(QToolButton::InstantPopup);
    }
    connect(stationsMenu_, &QMenu::triggered, this, &Master::stationChosen);
    connect(button("tuner_add", "Add", "Add Station"), &QAction::triggered, this, [this] { tunerButtonClicked(QStringLiteral("tuner_add")); });
    connect(button("tuner_remove", "Remove", "Remove Station"), &QAction::triggered, this,
            [this] { tunerButtonClicked(QStringLiteral("tuner_remove")); });
    connect(button("tuner_country", "Country", "Country"), &QAction::triggered, this,
            [this] { tunerButtonClicked(QStringLiteral("tuner_country")); });
    for (const char* key : {"tuner_antena", "tuner_cable"}) {
        QAction* input = button(key, key[6] == 'a' ? "Antenna" : "Cable", key[6] == 'a' ? "Antenna" : "Cable");
        input->setCheckable(true);
        const QString inputKey = QString::fromLatin1(key);
        connect(input, &QAction::triggered, this, [this, inputKey] { tunerButtonClicked(inputKey); });
    }
    connect(videoScreen_, &VideoScreen::controlsChanged, this, &Master::applyTunerControls);
    connect(button("tuner_down", "Scan Down", "Scan Down"), &QAction::triggered, this,
            [this] { tunerButtonClicked(QStringLiteral("tuner_down")); });
    connect(button("tuner_up", "Scan Up", "Scan Up"), &QAction::triggered, this, [this] { tunerButtonClicked(QStringLiteral("tuner_up")); });

    TunerSlider = new QScrollBar(Qt::Horizontal, TunerBar);
    TunerSlider->setObjectName(QStringLiteral("TunerSlider"));
    TunerSlider->setMinimumWidth(160);
    TunerSlider->setPageStep(1);
    TunerBar->addWidget(TunerSlider);
    connect(TunerSlider, &QScrollBar::valueChanged, this, &Master::tunerSliderChanged);
    channelLabel_ = new QLabel(TunerBar);
    channelLabel_->setObjectName(QStringLiteral("Labels_8"));
    channelLabel_->setMinimumWidth(channelLabel_->fontMetrics().horizontalAdvance(Translate(QStringLiteral("Channel:")) + QStringLiteral(" 000")));
    TunerBar->addWidget(channelLabel_);

    Tuner.setObjectName(QStringLiteral("Tuner"));
    Tuner.setInterval(500);
    connect(&Tuner, &QTimer::timeout, this, &Master::tunerTick);
    TunerBar->hide();
}

void Master::applyTunerControls(const DeviceControls& controls) {
    toolbarsItems_[8]->setVisible(controls.tunerVisible);
    FindKeyed<QAction>(TunerBar, QStringLiteral("tuner_cable"))->setChecked(controls.tunerCable);
    FindKeyed<QAction>(TunerBar, QStringLiteral("tuner_antena"))->setChecked(!controls.tunerCable);
    if (!controls.tunerVisible) {
        Tuner.stop();
        TunerBar->hide();
        return;
    }
    TunerSlider->setRange(controls.tunerLow, controls.tunerHigh);
    TunerBar->show();
}

void Master::tunerSliderChanged(int channel) {
    videoScreen_->wdmX()->setTunerChannel(channel);
    channelLabel_->setText(Translate(QStringLiteral("Channel:")) + QStringLiteral(" ") + QString::number(channel));
}

void Master::tuneChannel(int channel) {
    if (TunerSlider->value() == channel) {
        tunerSliderChanged(channel);
    } else {
        TunerSlider->setValue(channel);
    }
}

void Master::tunerTick() {
    const ScanTick tick =
        NextScanTick(TunerSlider->value(), Tuner.property(StepTag).toString(), TunerSlider->minimum(), TunerSlider->maximum());
    if (tick.atEnd) Tuner.stop();
    tuneChannel(tick.value);
    if (videoScreen_->wdmX()->TunerSignal() == 1) Tuner.stop();
}

void Master::tunerButtonClicked(const QString& key) {
    CaptureControl& control = *videoScreen_->wdmX();
    const int channel = TunerSlider->value();
    if (key == QLatin1String("tuner_add")) {
        const std::optional<QString> entered =
            CurrentPrompts().input(Translate(QStringLiteral("Enter the name of the station:")), SettingsAppTitle(), QString());
        // Cancel adds nothing; an empty name is the channel's.
        if (!entered) return;
        Stations stations = this->stations();
        if (AddStation(stations, {StationKey(channel), StationName(*entered, channel)})) setStations(stations);
    } else if (key == QLatin1String("tuner_remove")) {
        Stations stations = this->stations();
        if (RemoveStation(stations, StationKey(channel))) setStations(stations);
    } else if (key == QLatin1String("tuner_country")) {
        const std::optional<QString> answer = CurrentPrompts().input(
            Translate(QStringLiteral("Enter your telephone country code (ex: Portugal +351)")) + QStringLiteral("\r\n") +
                Translate(QStringLiteral("This will this will setup the color system and the frequency settings of the tuner.")),
            SettingsAppTitle(), QStringLiteral("+1"));
        if (!answer) return;
        control.setTunerCountry(CountryCode(*answer));
        // The country's plan has its own channels.
        TunerSlider->setRange(control.TunerChannel(-2), control.TunerChannel(-3));
    } else if (key == QLatin1String("tuner_antena") || key == QLatin1String("tuner_cable")) {
        const bool cable = key == QLatin1String("tuner_cable");
        FindKeyed<QAction>(TunerBar, QStringLiteral("tuner_cable"))->setChecked(cable);
        FindKeyed<QAction>(TunerBar, QStringLiteral("tuner_antena"))->setChecked(!cable);
        control.setTunerInput(cable ? 1 : 2);
        TunerSlider->setRange(control.TunerChannel(-2), control.TunerChannel(-3));
    } else if (key == QLatin1String("tuner_up") || key == QLatin1String("tuner_down")) {
        Tuner.setProperty(StepTag, key == QLatin1String("tuner_up") ? QStringLiteral("1") : QStringLiteral("-1"));
        Tuner.start();
    }
}

void Master::stationChosen(QAction* entry) { tuneChannel(StationChannel(KeyOf(entry))); }

Stations Master::stations() const {
    Stations list;
    for (const QAction* entry : stationsMenu_->actions()) list.push_back({KeyOf(entry), entry->data().toString()});
    return list;
}

void Master::setStations(const Stations& stations) {
    stationsMenu_->clear();
    for (const Station& station : stations) {
        // Names are shown as typed: an "&" is no shortcut here.
        QAction* entry = stationsMenu_->addAction(QString(station.text).replace(u'&', QStringLiteral("&&")));
        entry->setData(station.text);
        SetKey(entry, station.key);
    }
}

}  // namespace kestrova
