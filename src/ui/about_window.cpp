#include "about_window.h"

#include "core/translate.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kestrova {

AboutWindow::AboutWindow(const QString& versionText, const QString& homePage, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(Translate(QStringLiteral("About Video Kestrova")));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Video Kestrova"), this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    auto* version = new QLabel(versionText, this);
    version->setObjectName(QStringLiteral("AboutVersion"));
    layout->addWidget(version);
    layout->addWidget(new QLabel(Translate(QStringLiteral("Movies, stills, time-lapse series and a live web page from any camera.")), this));
    auto* home = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(homePage.toHtmlEscaped()), this);
    home->setObjectName(QStringLiteral("AboutHomePage"));
    home->setOpenExternalLinks(true);
    layout->addWidget(home);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace kestrova
