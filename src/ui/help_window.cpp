#include "help_window.h"

#include "core/translate.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kestrova {

HelpWindow::HelpWindow(const QUrl& page, std::function<void(const QString&)> openInBrowser, QWidget* parent)
    : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(Translate(QStringLiteral("Video Kestrova Help")));
    browser_->setObjectName(QStringLiteral("HelpPage"));
    // Links to other pages of the help stay here; addresses outside open in the browser.
    browser_->setOpenExternalLinks(true);
    browser_->setSource(page);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* browse = buttons->addButton(Translate(QStringLiteral("Open in the Web Browser")), QDialogButtonBox::ActionRole);
    browse->setObjectName(QStringLiteral("OpenInBrowser"));
    connect(browse, &QPushButton::clicked, this, [this, openInBrowser = std::move(openInBrowser)] {
        openInBrowser(browser_->source().toString());
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(buttons);
    resize(720, 560);
}

}  // namespace kestrova
