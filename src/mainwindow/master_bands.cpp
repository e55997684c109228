// The tool bands of the main window's rebar, the main toolbar, the Toolbars menu and the status bar.

#include "master.h"
#include "status_monitor.h"

#include "capture/device_toolbar.h"
#include "capture/video_screen.h"

#include "core/translate.h"
#include "ui/keyed.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrova {

QToolBar* Master::addBand(const QString& key, const QString& title) {
    auto* bar = new QToolBar(title, this);
    SetKey(bar, key);
    bar->setObjectName(key + QStringLiteral("Band"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

QToolBar* Master::band(const QString& key) const { return FindKeyed<QToolBar>(this, key); }

QAction* Master::recordButton() const { return FindKeyed<QAction>(operationBar_, QStringLiteral("record")); }

bool Master::statusPanelShown() const { return statusPanelAction_->isVisible(); }

QLabel* Master::statusBarPanel(const QString& key) const { return FindKeyed<QLabel>(statusBar(), key); }

void Master::buildBands() {
    SetKey(deviceToolbar_, QStringLiteral("device"));
    addToolBarBreak(Qt::TopToolBarArea);
    buildOperationBar();
    addToolBarBreak(Qt::TopToolBarArea);  // the mode bands get a row of their own
    buildMovieBar();
    // Its contents come with the image window.
    addBand(QStringLiteral("image"), Translate(QStringLiteral("Image Toolbar")));
    buildSeriesBands();
    buildWebShareBar();
    buildImageSettings();
    buildTunerBar();
    for (const char* key : ModeBandKeys) band(QString::fromLatin1(key))->hide();
}

void Master::buildOperationBar() {
    operationBar_ = addBand(QStringLiteral("operation"), Translate(QStringLiteral("Capture")));
    QAction* record = AddKeyedButton(operationBar_, QStringLiteral("record"), Translate(QStringLiteral("Rec/Stop")),
                                     Translate(QStringLiteral("Start/Stop Capture")));
    SetImageKey(record, QStringLiteral("record"));
    connect(record, &QAction::triggered, this, &Master::recordClicked);
    videoScreen_->values.stopButton = operationBar_->widgetForAction(record);
    // Its window comes with the scheduled start.
    AddKeyedButton(operationBar_, QStringLiteral("autostart"), Translate(QStringLiteral("Autostart")),
                   Translate(QStringLiteral("Autostart")))->setEnabled(false);
    QAction* motion = AddKeyedButton(operationBar_, QStringLiteral("motion"), Translate(QStringLiteral("Motion")),
                                     Translate(QStringLiteral("Motion Detector")));
    connect(motion, &QAction::triggered, this, &Master::armMotion);
    QAction* sound = AddKeyedButton(operationBar_, QStringLiteral("sound"), Translate(QStringLiteral("Audio Trigged")), QString());
    connect(sound, &QAction::triggered, this, &Master::showAudioDetector);
    QAction* rs232 = AddKeyedButton(operationBar_, QStringLiteral("rs232"), Translate(QStringLiteral("RS232    ")), QString());
    rs232->setCheckable(true);
    connect(rs232, &QAction::toggled, this, &Master::switchSerialTrigger);
    for (QAction* button : operationBar_->actions()) {
        if (ImageKey(button).isEmpty()) button->setIcon(ButtonPicture(KeyOf(button)));
    }

    auto* previewSpace = new QWidget(operationBar_);
    previewSpace->setObjectName(QStringLiteral("pr_space"));
    auto* previewColumn = new QVBoxLayout(previewSpace);
    previewColumn->setContentsMargins(4, 0, 4, 0);
    previewColumn->setSpacing(0);
    previewColumn->addWidget(new QLabel(Translate(QStringLiteral("Preview Rate:")), previewSpace));
    previewRate_ = new QComboBox(previewSpace);
    previewRate_->setObjectName(QStringLiteral("previewrate"));
    previewRate_->setToolTip(Translate(QStringLiteral("Preview Rate")));
    for (int rate = 1; rate <= 40; ++rate) previewRate_->addItem(QStringLiteral("%1 FPS").arg(rate, 2, 10, QLatin1Char('0')));
    previewRate_->setCurrentIndex(29);
    previewColumn->addWidget(previewRate_);
    operationBar_->addWidget(previewSpace);

    statusPanel_ = new QWidget(operationBar_);
    statusPanel_->setObjectName(QStringLiteral("StatusPanel"));
    statusPanel_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    const std::array<std::pair<const char*, const char*>, 6> labels = {{{"TimeCaption", "Capture Time:"},
                                                                        {"DroppedCaption", "Dropped Frames:"},
                                                                        {"StatusCaption", "Driver Status:"},
                                                                        {"StatusTime", "00:00:00.00"},
                                                                        {"DroppedString", "-"},
                                                                        {"StatusString", ""}}};
    for (int i = 0; i < 6; ++i) {
        // Captions are translated; the values are the program's own texts.
        const QString text = QString::fromLatin1(labels[i].second);
        auto* label = new QLabel(i < 3 ? Translate(text) : text, statusPanel_);
        label->setObjectName(QString::fromLatin1(labels[i].first));
    }
    const int lineHeight = statusPanel_->fontMetrics().height();
    statusPanel_->setMinimumSize(3 * 110, 2 * lineHeight + 2);
    layOutStatusPanel();
    statusString_ = statusPanel_->findChild<QLabel*>(QStringLiteral("StatusString"));
    // In a toolbar a widget is shown and hidden through its action.
    statusPanelAction_ = operationBar_->addWidget(statusPanel_);
}

void Master::layOutStatusPanel() {
    const int lineHeight = statusPanel_->fontMetrics().height();
    const auto columns = StatusPanelColumns(statusPanel_->width(), lineHeight, lineHeight, TwipsPerPixel(*this));
    const std::array<std::pair<const char*, const char*>, 3> names = {
        {{"TimeCaption", "StatusTime"}, {"DroppedCaption", "DroppedString"}, {"StatusCaption", "StatusString"}}};
    for (int i = 0; i < 3; ++i) {
        statusPanel_->findChild<QLabel*>(QString::fromLatin1(names[i].first))->setGeometry(columns[i].caption);
        statusPanel_->findChild<QLabel*>(QString::fromLatin1(names[i].second))->setGeometry(columns[i].value);
    }
}

void Master::buildMainToolbar() {
    mainToolbar_ = new QToolBar(Translate(QStringLiteral("Main Toolbar")), this);
    mainToolbar_->setObjectName(QStringLiteral("MainToolbar"));
    mainToolbar_->setMovable(false);
    addToolBar(Qt::LeftToolBarArea, mainToolbar_);
    auto button = [this](const char* key, const char* tooltip) {
        const QString buttonKey = QString::fromLatin1(key);
        QAction* made = AddKeyedButton(mainToolbar_, buttonKey, Translate(QString::fromLatin1(tooltip)),
                                       Translate(QString::fromLatin1(tooltip)));
        made->setIcon(ButtonPicture(buttonKey));
        return made;
    };
    connect(button("open", "Open"), &QAction::triggered, this, &Master::openCaptureFile);
    // The capture parameters file comes with its window.
    button("save", "Save Capture Parameters")->setEnabled(false);
    const std::array<std::pair<const char*, const char*>, 5> modes = {{{"movie", "Movie Capture"},
                                                                       {"image", "Image Capture"},
                                                                       {"multiple", "Multiple Image Capture"},
                                                                       {"avibuilder", "Avi Builder"},
                                                                       {"webshare", "Share on Web"}}};
    for (const auto& [key, tooltip] : modes) {
        QAction* mode = button(key, tooltip);
        mode->setCheckable(true);
        const QString modeKey = QString::fromLatin1(key);
        connect(mode, &QAction::triggered, this, [this, modeKey] { SetCaptureMode(modeKey); });
    }
    connect(button("viewer", "Movie Viewer"), &QAction::triggered, this, &Master::chooseMovieForViewer);
    connect(button("preferences", "Preferences"), &QAction::triggered, this, [this] { showPreferences(Qt::ApplicationModal); });
    button("scanner", "Scan Now");
    button("choose_scanner", "Choose Scanner...");
    connect(button("about", "About"), &QAction::triggered, this, &Master::showAbout);
}

void Master::buildToolbarsMenu(QMenu* menu) {
    const std::array<const char*, ToolbarItemCount> captions = {
        "Device Toolbars", "Capture", "Movie Capture Toolbar", "Image Toolbar", "Multiple Image Capture",
        "Avi Builder", "Web Share ", "Status Panel", "TV Tuner"};
    for (int i = 0; i < ToolbarItemCount; ++i) {
        QAction* item = menu->addAction(Translate(QString::fromLatin1(captions[i])));
        item->setObjectName(QStringLiteral("mnuToolbars%1").arg(i));
        item->setCheckable(true);
        item->setChecked(true);
        // The tuner's item is shown with a device that has a tuner.
        item->setVisible(i != 8);
        // The tick is toggled by the click handler, not by Qt.
        connect(item, &QAction::triggered, this, [this, item, i] {
            item->setChecked(!item->isChecked());
            toolbarsItemClicked(i);
        });
        toolbarsItems_[i] = item;
    }
}

ToolbarTicks Master::toolbarTicks() const {
    ToolbarTicks ticks{};
    for (int i = 0; i < ToolbarItemCount; ++i) ticks[i] = toolbarsItems_[i]->isChecked();
    return ticks;
}

QToolBar* Master::bandOfItem(int index) const {
    if (index == 0) return deviceToolbar_;
    if (index == 1) return operationBar_;
    if (index == 8) return TunerBar;
    return band(QString::fromLatin1(ModeBandKeys[index - 2]));
}

void Master::toolbarsItemClicked(int index) {
    QAction* item = toolbarsItems_[index];
    item->setChecked(!item->isChecked());
    if (index == 7) {
        statusPanelAction_->setVisible(item->isChecked());
    } else {
        bandOfItem(index)->setVisible(item->isChecked());
    }
    const bool anyLeft = std::any_of(toolbarsItems_.begin(), toolbarsItems_.end(),
                                     [](const QAction* each) { return each->isChecked() && each->isEnabled(); });
    // The rebar goes when nothing is left to show in it.
    if (!anyLeft) {
        for (int i = 0; i < ToolbarItemCount; ++i) {
            if (i != 7) bandOfItem(i)->hide();
        }
    }
}

void Master::buildStatusBar() {
    statusBar()->setObjectName(QStringLiteral("MasterStatus"));
    for (const char* key : {"filename", "resolution", "filesize", "diskcap"}) {
        auto* panel = new QLabel(statusBar());
        SetKey(panel, QString::fromLatin1(key));
        panel->setObjectName(QString::fromLatin1(key));
        statusBar()->addWidget(panel, QLatin1String(key) == QLatin1String("filename") ? 2 : 1);
    }
}

}  // namespace kestrova
