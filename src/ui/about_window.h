#pragma once

#include <QDialog>

namespace kestrova {

// The program's name, version and home page, with a button to close it.
class AboutWindow final : public QDialog {
    Q_OBJECT
public:
    AboutWindow(const QString& versionText, const QString& homePage, QWidget* parent = nullptr);
};

}  // namespace kestrova
