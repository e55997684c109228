#pragma once
// The global state record: one instance for the program's life, read and written directly by every
// window and module. Fields keep the names they have in the program's documentation.

#include "core/capture_records.h"

#include <QString>
#include <QVariant>

#include <array>

namespace kestrova {

struct GlobalState {
    // Start-up
    QString VersionText;
    QString HomePageAddress;
    QString AppFolder;  // always ends in "/"
    bool NewerWindows = false;

    // Capture configuration
    QString CaptureMode;  // "movie", "image", "multiple", "avibuilder", "webshare" or empty
    QString CaptureFileName;
    short PreviewRate = 0;
    int JpegQuality = 0;
    short MotionTolerance = 0;
    // 0..5 AVI INFO texts, 6 unused, 7 pop up movie viewer, 8 autoplay, 9 system sounds ("1" = on)
    std::array<QString, 10> AVIInfo;
    int ImageCounterOffset = 0;
    QString ImageCounterMask;
    int ImageCounter = 0;
    QVariant TimerInterval;  // empty until the timer trigger is set
    int TimerCount = 0;
    int CaptureFrameRate = 0;
    bool MotionTriggered = false;
    bool MotionMultiple = false;
    bool ShuttingDown = false;
    short AutostartHours = 0;
    short AutostartMinutes = 0;
    short AutostartSeconds = 0;
    QString InsertionFileName;

    // Capture device state
    int DeviceIndex = 0;
    QString CurrentDeviceID;
    QString CurrentSystemType;
    QVariant MovieFrameRate;
    long long CaptureResult = 0;  // also the scratch place for answers and file lengths
    quintptr CaptureWindow = 0;  // the capture window of a capture-window driver, 0 when none
    CAPDRIVERCAPS DriverCaps;
    CAPSTATUS CaptureStatus;
    CAPTUREPARMS CaptureParms;
    WAVEFORMATEX WaveFormat;
    // The capture window's settings (the VideoSettings window), put into CaptureParms before a capture
    int DropErrorPercent = 10;
    int CaptureYield = 1;
    long MaxIndexSize = 324000;
    int ChunkGranularity = 0;
    bool UseDOSBuffers = false;
    int VideoBuffers = 0;
    int AudioBuffers = 0;
    bool DisableWriteCache = true;

    // Capture status callback
    int LastStatusID = 0;
    QString LastStatusText;
    bool CaptureEnded = false;
    bool ViewerOpen = false;

    // Motion detector reference
    double MotionAverage = 0.0;
    QVariant MotionPrevious;  // empty or 0: no reference yet

    // Disk bookkeeping of a movie capture
    double RecordStartFreeSpace = 0.0;
    double CurrentFreeSpace = 0.0;
    float EstimatedFileSize = 0.0f;

    // FTP upload
    QString FTPServer;
    QString FTPUsername;
    QString FTPPassword;
    short FTPPort = 0;
    QString FTPDirectory;
};

extern GlobalState Vars;

}  // namespace kestrova
