#pragma once
// ExportDV ("Export AVI to a DV device..."): sends a movie to a DV camcorder or deck through the
// capture control and follows the transfer. The control does the sending; this window chooses the
// file, starts and stops the transfer and shows its progress.

#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kestrova {

// The capture control's DV export members the window uses.
class DvExportControl {
public:
    virtual ~DvExportControl() = default;
    virtual void StartDVExport(const QString& path) = 0;
    virtual int DVTransport(int command) = 0;
    virtual qint64 Position() const = 0;      // of the transfer, in the unit of StreamLength
    virtual qint64 StreamLength() const = 0;  // of the file being sent
    virtual void CloseStream() = 0;
};

class ExportDV : public QWidget {
    Q_OBJECT
public:
    ExportDV(std::unique_ptr<DvExportControl> control, QWidget* parent = nullptr);

    // Ends a running transfer and goes back to idle; nothing while idle. The control's end
    // notification and "Abort" call it.
    void StopProcess();
    void DVtimerTick();
    bool transferring() const { return DVtimer.isActive(); }

    QLineEdit* AVI_PAth;
    QLabel* Txt;
    QPushButton* OpenPath;
    QPushButton* xStart;
    QPushButton* ExitButton;
    QProgressBar* xProg;

private:
    void idle();
    void browse();
    void start();

    std::unique_ptr<DvExportControl> control_;
    QTimer DVtimer;
};

}  // namespace kestrova
