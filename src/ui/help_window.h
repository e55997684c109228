#pragma once
// The help: the shipped page in a window of the program's own, with a button that opens it in the
// web browser for those who have one.

#include <QDialog>
#include <QUrl>

#include <functional>

class QTextBrowser;

namespace kestrova {

class HelpWindow final : public QDialog {
public:
    HelpWindow(const QUrl& page, std::function<void(const QString&)> openInBrowser, QWidget* parent = nullptr);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace kestrova
