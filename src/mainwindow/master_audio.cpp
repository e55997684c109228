// The audio settings: six lists on the movie panel and the "&Audio Settings" menu kept in step,
// audio capture switched on and off, device, input and level passed to the capture control.

#include "master.h"

#include "capture/audio_format.h"
#include "capture/video_screen.h"
#include "core/translate.h"
#include "ui/keyed.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QToolBar>

namespace kestrova {

namespace {

QComboBox* audioList(const QString& name, const QString& tip, const QStringList& items, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    if (!tip.isEmpty()) list->setToolTip(Translate(tip));
    list->addItems(items);
    return list;
}

// The mixer that stands in for the system's volume control; its second tab is the recording one.
QString MixerProgram() { return QStandardPaths::findExecutable(QStringLiteral("pavucontrol")); }

}  // namespace

void Master::buildAudioLists(QGridLayout* grid, int column) {
    QWidget* panel = grid->parentWidget();
    audioBits_ = audioList(QStringLiteral("AudioBits"), QStringLiteral("Audio Bits (8bit/16bit)"),
                           {QStringLiteral("8 bit"), QStringLiteral("16 bit")}, panel);
    audioChannels_ = audioList(QStringLiteral("AudioChannels"), QStringLiteral("Audio Channels (Stereo/Mono)"),
                               {QStringLiteral("Mono"), QStringLiteral("Stereo")}, panel);
    audioRate_ = audioList(QStringLiteral("AudioRate"), QStringLiteral("Audio Sample Rate (8Khz,11Khz,22Khz,44Khz)"),
                           {QStringLiteral("8000 Hz"), QStringLiteral("11025 Hz"), QStringLiteral("22050 Hz"),
                            QStringLiteral("44100 Hz")},
                           panel);
    audioDevice_ = audioList(QStringLiteral("AudioDevice"), QString(), {}, panel);
    audioInput_ = audioList(QStringLiteral("AudioInput"), QString(), {}, panel);
    QStringList levels;
    for (int level = 1; level <= 100; ++level) levels << QString::number(level);
    audioLevel_ = audioList(QStringLiteral("AudioLevel"), QString(), levels, panel);
    const std::array<QComboBox*, 6> lists = {audioBits_, audioChannels_, audioRate_, audioDevice_, audioInput_, audioLevel_};
    const std::array<const char*, 6> captions = {"Bits:", "Channels:", "Rate:", "Sound:", "Input:", "Level:"};
    for (int i = 0; i < 6; ++i) {
        auto* caption = new QLabel(Translate(QString::fromLatin1(captions[size_t(i)])), panel);
        caption->setBuddy(lists[size_t(i)]);
        grid->addWidget(caption, i % 3, column + 2 * (i / 3), Qt::AlignRight);
        grid->addWidget(lists[size_t(i)], i % 3, column + 2 * (i / 3) + 1);
    }

    connect(audioBits_, &QComboBox::currentIndexChanged, this, [this](int position) {
        audioMenuItems_[7]->setChecked(position == 1);
        audioMenuItems_[6]->setChecked(position == 0);
    });
    connect(audioChannels_, &QComboBox::currentIndexChanged, this, [this](int position) {
        audioMenuItems_[4]->setChecked(position == 1);
        audioMenuItems_[3]->setChecked(position == 0);
    });
    connect(audioRate_, &QComboBox::currentIndexChanged, this, [this](int position) {
        // One mark: the entry of the rate the list shows.
        for (int i = 0; i < 4; ++i) sampleRateItems_[size_t(i)]->setChecked(i == position);
    });
    connect(audioDevice_, &QComboBox::currentIndexChanged, this, &Master::audioDeviceChosen);
    connect(audioInput_, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (position >= 0) videoScreen_->ChooseAudioInput(position);
    });
    connect(audioLevel_, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (position >= 0) videoScreen_->wdmX()->RecordingLevel(position + 1);
    });
}

void Master::buildAudioMenu() {
    auto* menu = new QMenu(Translate(QStringLiteral("&Audio Settings")), this);
    menu->setObjectName(QStringLiteral("AudioMenu"));
    if (auto* window = menuBar()->findChild<QMenu*>(QStringLiteral("mnuWindow"))) {
        menuBar()->insertMenu(window->menuAction(), menu);
    } else {
        menuBar()->addMenu(menu);
    }
    auto item = [&](int index, const char* caption) {
        QAction* action = menu->addAction(Translate(QString::fromLatin1(caption)));
        action->setObjectName(QStringLiteral("mnuAudio%1").arg(index));
        audioMenuItems_[size_t(index)] = action;
        return action;
    };
    auto separator = [&](int index) { audioMenuItems_[size_t(index)] = menu->addSeparator(); };
    connect(item(0, "Audio O&ff"), &QAction::triggered, this, [this] { AudioOnOff(false); });
    connect(item(1, "Audio &On"), &QAction::triggered, this, [this] { AudioOnOff(true); });
    separator(2);
    connect(item(3, "&Mono"), &QAction::triggered, this, [this] { audioChannels_->setCurrentIndex(0); });
    connect(item(4, "&Stereo"), &QAction::triggered, this, [this] { audioChannels_->setCurrentIndex(1); });
    separator(5);
    connect(item(6, " &8 bits"), &QAction::triggered, this, [this] { audioBits_->setCurrentIndex(0); });
    connect(item(7, "1&6 bits"), &QAction::triggered, this, [this] { audioBits_->setCurrentIndex(1); });
    separator(8);
    auto* rates = new QMenu(Translate(QStringLiteral("Sample &Rate")), menu);
    rates->setObjectName(QStringLiteral("SampleRateMenu"));
    audioMenuItems_[9] = menu->addMenu(rates);
    const std::array<const char*, 4> rateCaptions = {"8 Khz", "11 Khz", "22 Khz", "44 Khz"};
    for (int i = 0; i < 4; ++i) {
        QAction* rate = rates->addAction(Translate(QString::fromLatin1(rateCaptions[size_t(i)])));
        rate->setObjectName(QStringLiteral("mnuSampleRate%1").arg(i));
        rate->setCheckable(true);
        sampleRateItems_[size_t(i)] = rate;
        connect(rate, &QAction::triggered, this, [this, i] {
            for (QAction* each : sampleRateItems_) each->setChecked(false);
            audioRate_->setCurrentIndex(i);
            sampleRateItems_[size_t(i)]->setChecked(true);
        });
    }
    separator(10);
    connect(item(11, "Recording Settings"), &QAction::triggered, this,
            [] { QProcess::startDetached(MixerProgram(), {QStringLiteral("--tab=2")}); });
    separator(12);
    connect(item(13, "Sound Volume"), &QAction::triggered, this, [] { QProcess::startDetached(MixerProgram(), {}); });
    separator(14);
    QAction* preview = item(15, "Preview Audio");
    preview->setCheckable(true);
    connect(preview, &QAction::toggled, this, [this](bool on) { videoScreen_->wdmX()->setAudioPreview(on); });
    for (int index : {0, 1, 3, 4, 6, 7}) audioMenuItems_[size_t(index)]->setCheckable(true);
    // The mixer may be installed while the program runs.
    connect(menu, &QMenu::aboutToShow, this, &Master::updateMixerItems);
    updateMixerItems();

    audioBits_->setCurrentIndex(1);
    audioChannels_->setCurrentIndex(1);
    audioRate_->setCurrentIndex(3);
    AudioOnOff(false);

    connect(videoScreen_, &VideoScreen::audioMenuEnabled, this, &Master::audioSourceKind);
    connect(videoScreen_, &VideoScreen::controlsChanged, this, [this](const DeviceControls& controls) {
        QStringList shown;
        for (int i = 0; i < audioDevice_->count(); ++i) shown << audioDevice_->itemText(i);
        if (shown == controls.audioDevices) return;
        const QSignalBlocker quiet(audioDevice_);
        audioDevice_->clear();
        audioDevice_->addItems(controls.audioDevices);
        if (!controls.audioDevices.isEmpty()) {
            audioDevice_->setCurrentIndex(0);
            audioDeviceChosen(0);
        } else {
            audioInput_->clear();
        }
    });
}

void Master::updateMixerItems() {
    const bool mixer = !MixerProgram().isEmpty();
    audioMenuItems_[11]->setEnabled(mixer);
    audioMenuItems_[13]->setEnabled(mixer);
}

void Master::AudioOnOff(bool on) {
    FindKeyed<QAction>(movieToolbar_, QStringLiteral("audio"))->setChecked(on);
    audioMenuItems_[1]->setChecked(on);
    audioMenuItems_[0]->setChecked(!on);
    for (QComboBox* list : {audioBits_, audioChannels_, audioRate_, audioDevice_, audioInput_, audioLevel_}) {
        list->setEnabled(on);
    }
}

void Master::ShowAudioFormat(const WAVEFORMATEX& format) {
    const AudioListPositions positions = AudioPositionsOf(format);
    audioChannels_->setCurrentIndex(positions.channels);
    audioBits_->setCurrentIndex(positions.bits);
    if (positions.rate >= 0) audioRate_->setCurrentIndex(positions.rate);
}

void Master::audioSourceKind(bool captureWindow) {
    // A capture-window driver shows its own format when it connects; for the others the lists show
    // what their movies get.
    if (!captureWindow) ShowAudioFormat(videoScreen_->wdmX()->RecordedAudioFormat());
    for (int index = 2; index <= 9; ++index) audioMenuItems_[size_t(index)]->setEnabled(captureWindow);
    for (QComboBox* list : {audioBits_, audioChannels_, audioRate_}) list->setEnabled(captureWindow);
    for (QComboBox* list : {audioDevice_, audioInput_, audioLevel_}) list->setEnabled(!captureWindow);
}

void Master::audioDeviceChosen(int position) {
    if (position < 0 || !videoScreen_->ChooseAudioDevice(position)) return;
    CaptureControl& control = *videoScreen_->wdmX();
    // The format lists show what a movie of this device gets.
    ShowAudioFormat(control.RecordedAudioFormat());
    {
        const QSignalBlocker quiet(audioInput_);
        audioInput_->clear();
        for (int i = 0; i < control.AudioInputCount(); ++i) audioInput_->addItem(control.AudioInputName(i));
        const int input = control.AudioInputIndex();
        audioInput_->setCurrentIndex(input >= 0 && input < audioInput_->count() ? input : 0);
    }
    const QSignalBlocker quiet(audioLevel_);
    audioLevel_->setCurrentIndex(control.RecordingLevel(-1) - 1);
}

}  // namespace kestrova
