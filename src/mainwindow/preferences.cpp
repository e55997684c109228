#include "preferences.h"

#include "core/global_state.h"
#include "core/number_forms.h"
#include "core/settings.h"
#include "core/translate.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace kestrova {

namespace {

const QString jpegSection = QStringLiteral("JPEG");
const QString motionSection = QStringLiteral("MD");
const QString netSection = QStringLiteral("NET");

QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

int storedNumber(const QString& section, const QString& key, const QString& defaultValue) {
    return ValInt(GetSetting(SettingsAppVC, section, key, defaultValue));
}

QCheckBox* checkBox(const char* name, const QString& caption) {
    auto* box = new QCheckBox(Translate(caption));
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QSlider* slider(const char* name, int maximum, int pageStep) {
    auto* s = new QSlider(Qt::Horizontal);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(1, maximum);
    s->setPageStep(pageStep);
    s->setSingleStep(1);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(pageStep);
    return s;
}

// A slider between its two end labels, with its number beside it.
QWidget* labelledSlider(QSlider* s, const QString& left, const QString& right) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    row->addWidget(s, 1);
    auto* number = new QLabel(QString::number(s->value()));
    number->setObjectName(s->objectName() + QStringLiteral("Value"));
    number->setMinimumWidth(number->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QObject::connect(s, &QSlider::valueChanged, number, [number](int value) { number->setText(QString::number(value)); });
    row->addWidget(number);
    layout->addLayout(row);
    auto* labels = new QHBoxLayout;
    labels->addWidget(new QLabel(Translate(left)));
    labels->addStretch();
    labels->addWidget(new QLabel(Translate(right)));
    layout->addLayout(labels);
    layout->addStretch();
    return page;
}

QWidget* page(std::initializer_list<QWidget*> widgets) {
    auto* p = new QWidget;
    auto* layout = new QVBoxLayout(p);
    for (QWidget* w : widgets) layout->addWidget(w);
    layout->addStretch();
    return p;
}

}  // namespace

PreferenceValues LoadPreferenceValues() {
    PreferenceValues v;
    v.popUpViewer = Vars.AVIInfo[7] == QStringLiteral("1");
    v.systemSounds = Vars.AVIInfo[9] == QStringLiteral("1");
    v.autoplay = Vars.AVIInfo[8] == QStringLiteral("1");
    v.jpegCompression = storedNumber(jpegSection, QStringLiteral("Compression"), QStringLiteral("90"));
    v.motion = storedNumber(motionSection, QStringLiteral("SENSE"), QStringLiteral("5"));
    v.overwriteQuestion = storedNumber(motionSection, QStringLiteral("OQ"), QStringLiteral("1"));
    v.hangUp = storedNumber(netSection, QStringLiteral("HANGUP"), QStringLiteral("1"));
    return v;
}

void ApplyPreferenceValues(const PreferenceValues& v) {
    // The three flags reach the store only when the main window closes or the video window disconnects.
    Vars.AVIInfo[7] = flag(v.popUpViewer);
    Vars.AVIInfo[8] = flag(v.autoplay);
    Vars.AVIInfo[9] = flag(v.systemSounds);
    SaveSetting(SettingsAppVC, jpegSection, QStringLiteral("Compression"), QString::number(v.jpegCompression));
    Vars.JpegQuality = v.jpegCompression;
    SaveSetting(SettingsAppVC, motionSection, QStringLiteral("SENSE"), QString::number(v.motion));
    SaveSetting(SettingsAppVC, motionSection, QStringLiteral("OQ"), QString::number(v.overwriteQuestion));
    SaveSetting(SettingsAppVC, netSection, QStringLiteral("HANGUP"), QString::number(v.hangUp));
    Vars.MotionTolerance = short(v.motion);
}

Preferences::Preferences(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      PopUpViewer(checkBox("PopUpViewer", QStringLiteral("Pop-Up Movie Viewer after capture"))),
      Autoplay(checkBox("Autoplay", QStringLiteral("Autoplay  "))),
      ESounds(checkBox("ESounds", QStringLiteral("Enable system sounds"))),
      JpegCompression(slider("JpegCompression", 100, 10)),
      Motion(slider("Motion", 15, 5)),
      OverwriteQuestion(checkBox("OverwriteQuestion", QStringLiteral("Pop-Up overwrite file question"))),
      HangUp(checkBox("HangUp", QStringLiteral("Hang Up when image upload is finished"))),
      ok(new QPushButton(Translate(QStringLiteral("OK")))),
      cancelar(new QPushButton(Translate(QStringLiteral("Cancel")))) {
    setObjectName(QStringLiteral("Preferences"));
    setWindowTitle(Translate(QStringLiteral("Preferences")));
    setAutoFillBackground(true);
    ok->setObjectName(QStringLiteral("ok"));
    cancelar->setObjectName(QStringLiteral("cancelar"));

    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("Tabs"));
    tabs->addTab(page({PopUpViewer, Autoplay}), Translate(QStringLiteral("Movie Viewer")));
    tabs->addTab(page({ESounds}), Translate(QStringLiteral("Sound")));
    tabs->addTab(labelledSlider(Motion, QStringLiteral("Increase Sensivity"), QStringLiteral("Decrease Sensivity")),
                 Translate(QStringLiteral("Motion Detector Tolerance")));
    tabs->addTab(page({OverwriteQuestion}), Translate(QStringLiteral("Other")));
    tabs->addTab(page({HangUp}), Translate(QStringLiteral("Internet Broadcast")));
    tabs->addTab(labelledSlider(JpegCompression, QStringLiteral("More Quality"), QStringLiteral("More Compression")),
                 Translate(QStringLiteral("JPEG Compression")));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancelar);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("<b>%1</b>").arg(Translate(QStringLiteral("Preferences"))));
    layout->addWidget(heading);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    // The heading is part of the background that drags the window.
    heading->setAttribute(Qt::WA_TransparentForMouseEvents);

    connect(ok, &QPushButton::clicked, this, &Preferences::ok_Click);
    connect(cancelar, &QPushButton::clicked, this, &Preferences::cancelar_Click);
    // Every tab readable at once: no scroll arrows in the tab row.
    tabs->tabBar()->setUsesScrollButtons(false);
    resize(QSize(520, 260).expandedTo(sizeHint()));
}

void Preferences::LoadValues() {
    const PreferenceValues v = LoadPreferenceValues();
    PopUpViewer->setChecked(v.popUpViewer);
    ESounds->setChecked(v.systemSounds);
    Autoplay->setChecked(v.autoplay);
    JpegCompression->setValue(v.jpegCompression);
    Motion->setValue(v.motion);
    OverwriteQuestion->setChecked(v.overwriteQuestion != 0);
    HangUp->setChecked(v.hangUp != 0);
}

PreferenceValues Preferences::values() const {
    PreferenceValues v;
    v.popUpViewer = PopUpViewer->isChecked();
    v.autoplay = Autoplay->isChecked();
    v.systemSounds = ESounds->isChecked();
    v.jpegCompression = JpegCompression->value();
    v.motion = Motion->value();
    v.overwriteQuestion = OverwriteQuestion->isChecked() ? 1 : 0;
    v.hangUp = HangUp->isChecked() ? 1 : 0;
    return v;
}

void Preferences::ok_Click() {
    ApplyPreferenceValues(values());
    close();
}

void Preferences::cancelar_Click() { close(); }

void Preferences::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle() != nullptr) windowHandle()->startSystemMove();
    QWidget::mousePressEvent(event);
}

}  // namespace kestrova
