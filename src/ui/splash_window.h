#pragma once

#include <QDialog>

namespace kestrova {

// The start-up picture: the program's name and version on a frameless window that closes itself.
class SplashWindow final : public QDialog {
    Q_OBJECT
public:
    explicit SplashWindow(const QString& versionText, int closeAfterMilliseconds = 3000, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString versionText_;
    int closeAfterMilliseconds_;
};

}  // namespace kestrova
