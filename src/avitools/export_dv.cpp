#include "export_dv.h"

#include "core/translate.h"
#include "imaging/image_window.h"
#include "platform/prompts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace kestrova {

namespace {

// The control's transport commands.
constexpr int TransportRecord = 7;
constexpr int TransportStop = 2;

}  // namespace

ExportDV::ExportDV(std::unique_ptr<DvExportControl> control, QWidget* parent)
    : QWidget(parent), AVI_PAth(new QLineEdit(this)), Txt(new QLabel(this)), OpenPath(new QPushButton(this)), xStart(new QPushButton(this)),
      ExitButton(new QPushButton(this)), xProg(new QProgressBar(this)), control_(std::move(control)) {
    setObjectName(QStringLiteral("ExportDV"));
    AVI_PAth->setObjectName(QStringLiteral("AVI_PAth"));
    Txt->setObjectName(QStringLiteral("Txt"));
    OpenPath->setObjectName(QStringLiteral("OpenPath"));
    xStart->setObjectName(QStringLiteral("xStart"));
    ExitButton->setObjectName(QStringLiteral("ExitButton"));
    xProg->setObjectName(QStringLiteral("xProg"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(Txt, 0, 0);
    grid->addWidget(AVI_PAth, 0, 1);
    grid->addWidget(OpenPath, 0, 2);
    grid->addWidget(xProg, 1, 0, 1, 3);
    grid->addWidget(xStart, 2, 1, Qt::AlignRight);
    grid->addWidget(ExitButton, 2, 2);
    DVtimer.setInterval(1000);
    connect(&DVtimer, &QTimer::timeout, this, &ExportDV::DVtimerTick);
    connect(OpenPath, &QPushButton::clicked, this, &ExportDV::browse);
    connect(xStart, &QPushButton::clicked, this, &ExportDV::start);
    connect(ExitButton, &QPushButton::clicked, this, [this] {
        if (ExitButton->property("tag").toString() == QLatin1String("EXIT")) close();
        else StopProcess();
    });
    idle();
}

void ExportDV::idle() {
    AVI_PAth->clear();
    OpenPath->setText(Translate(QStringLiteral("Browse")));
    ExitButton->setText(Translate(QStringLiteral("Exit")));
    ExitButton->setProperty("tag", QStringLiteral("EXIT"));
    xProg->setRange(0, 100);
    xProg->setValue(0);
    setWindowTitle(Translate(QStringLiteral("Export AVI to a DV device...")));
    xStart->setText(Translate(QStringLiteral("Start")));
    xStart->setVisible(true);
    Txt->setText(Translate(QStringLiteral("Filename:")));
}

void ExportDV::browse() {
    const QString path = CurrentPrompts().openFile(Translate(QStringLiteral("Choose AVI to export...")), QtFileFilter(QStringLiteral("*.AVI|*avi")), QString());
    if (!path.isEmpty()) AVI_PAth->setText(path);
}

void ExportDV::start() {
    control_->StartDVExport(AVI_PAth->text());
    xProg->setRange(0, int(std::clamp<qint64>(control_->StreamLength(), 0, INT32_MAX)));
    control_->DVTransport(TransportRecord);
    DVtimer.start();
    ExitButton->setText(Translate(QStringLiteral("Abort")));
    ExitButton->setProperty("tag", QStringLiteral("ABORT"));
    setWindowTitle(Translate(QStringLiteral("Transfering...")));
    xStart->setVisible(false);
}

void ExportDV::DVtimerTick() { xProg->setValue(int(std::clamp<qint64>(control_->Position(), xProg->minimum(), xProg->maximum()))); }

void ExportDV::StopProcess() {
    if (!DVtimer.isActive()) return;
    DVtimer.stop();
    control_->DVTransport(TransportStop);
    control_->CloseStream();
    idle();
}

}  // namespace kestrova
