#pragma once

#include "capture_modes.h"

#include "core/capture_records.h"
#include "persistence/tuner_stations.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QScrollBar;
class QSlider;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSpinBox;
class QToolBar;

namespace kestrova {

class AudioDetector;
class ChooseDevice;
class Fullscreen;
class HelpWindow;
class DeviceToolbar;
class Image;
class Insertion;
class OtherInfo;
class MovieViewer;
class AviBuilderPanel;
class CodecsWindow;
class Preferences;
class RS232;
class ScannerSource;
class ScanProgress;
struct ScanOutcome;
class StreamServer;
class VideoScreen;
struct DeviceControls;
struct MovieSettings;

// How the main window is being closed; the system's request stores everything and asks nothing.
enum class UnloadMode { User, Program, System };

// The main window: a multi-document area for the video window and the tool windows, the tool bands,
// the menus and the status bar.
class Master final : public QMainWindow {
    Q_OBJECT
public:
    explicit Master(QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return mdiArea_; }
    UnloadMode unloadMode() const { return unloadMode_; }
    VideoScreen* videoScreen() const { return videoScreen_; }
    DeviceToolbar* deviceToolbar() const { return deviceToolbar_; }
    QLabel* statusString() const { return statusString_; }

    // Fills the device list and opens the chooser over the main window, as the load does.
    ChooseDevice* startDeviceChoice();

    // Restores the layout, opens the device chooser, selects the first mode; commandLine names a
    // capture parameters file.
    void Load(const QString& commandLine = QString());
    // Stores the layout; true when the window may close. Only the user's close box asks.
    bool QueryUnload(UnloadMode mode);
    void SyncCaptureFileName();
    // Fits the capture file's extension to the mode band shown and shows it in the status bar.
    void ApplyCaptureExtension();
    // A closing request from the system (SIGTERM, SIGINT, end of the session).
    void closeBySystem();
    // File menu "E&xit": the program's own close, without the question.
    void exitProgram();
    // File menu "&Preferences" shows it without blocking; the main toolbar's button modally.
    void showPreferences(Qt::WindowModality modality = Qt::NonModal);
    void showAbout();
    // The help page in the program's help window (Help menu and F1); one window, brought forward.
    void showHelp();
    // Edit menu "Other Information" and the movie toolbar's "otherinfo": one window, brought forward.
    void showOtherInfo();
    // The compressor of the connected source's movies, with the movie toolbar's sound choice.
    void showVideoCompression();
    // "Video Codecs": the installed codecs' window, one, brought forward.
    void showCodecs();
    // A new movie viewer on the file (several may be open); the main toolbar's "viewer" asks first.
    MovieViewer* openMovieViewer(const QString& fileName);
    void chooseMovieForViewer();
    OtherInfo* otherInfoWindow() const;

    // Capture modes and the operation of the current one.
    void SetCaptureMode(const QString& mode);
    // Empties the AVI builder (and ends a build); every change of mode does.
    void ClearAVIBuilderBuffer();
    AviBuilderPanel* aviBuilder() const { return aviBuilder_; }
    QComboBox* aviBuildFps() const { return aviBuildFps_; }
    void StartStopCapture(bool start);
    void StopMovieRecord();
    void RecordNow();
    void AllControls(bool enable);
    void armMotion();
    // The sound level trigger's window (a second press raises it) and the serial switch's window,
    // open while the "rs232" button is down.
    void showAudioDetector();
    void switchSerialTrigger(bool on);
    // A still from the video into a new image editor window, also on the clipboard when asked.
    void SaveImage(bool toClipboard);
    // File menu "&Open Capture File...".
    void openCaptureFile();

    // Bands by key ("device", "operation", "movie", ...), their buttons, the Toolbars items.
    QToolBar* band(const QString& key) const;
    QToolBar* operationBar() const { return operationBar_; }
    QToolBar* mainToolbar() const { return mainToolbar_; }
    QAction* recordButton() const;
    QAction* toolbarsItem(int index) const { return toolbarsItems_[index]; }
    ToolbarTicks toolbarTicks() const;
    void toolbarsItemClicked(int index);
    QWidget* statusPanel() const { return statusPanel_; }
    bool statusPanelShown() const;
    QLabel* statusBarPanel(const QString& key) const;

    QTimer& motionTimer() { return motionTimer_; }
    QTimer& multipleImageTimer() { return multipleImageTimer_; }
    // The web share's server (`stream`): on only in the "webshare" mode.
    bool webShareOn() const;
    int webSharePort() const;
    StreamServer& stream() const;
    QString webShareAddress() const;
    // The one image editor window that image mode captures into; null until the first still.
    Image* imageEditor() const { return imageEditor_; }
    // The multiple-image output type (0 movie file .. 5 clipboard).
    int multipleImageMode() const;

    // Free bytes of the file system holding a path; tests inject their own.
    std::function<double(const QString&)> freeSpace;
    // Opens an address in the web browser; tests record it instead.
    std::function<void(const QString&)> openInBrowser;

    // The status monitor's ticks, every 100 ms and 3 s after a capture has ended.
    void masterTimerTick();
    // The capture window's last status in the status texts; the end of a capture once.
    void ShowCaptureProgress(int id);
    void ViewFullscreen();
    void previewRateClicked(int position);
    void cpuPriorityClicked(int entry);
    void toggleDirectX(bool checked);
    void OverlayImage();
    // Sets the process priority (a nice value); empty or why the system refused. Tests inject their own.
    std::function<QString(int)> setPriority;
    // Called with the full screen window before it runs modal; tests close it from here.
    std::function<void(Fullscreen&)> fullscreenOpened = [](Fullscreen&) {};
    void masterTimer2Tick();
    QTimer& masterTimer() { return masterTimer_; }
    QTimer& masterTimer2() { return masterTimer2_; }

    QSpinBox* movieFrameRateControl() const { return movieFrameRate_; }
    QCheckBox* movieDisableLimit() const { return movieDisableLimit_; }
    QSpinBox* movieHoursControl() const { return movieHours_; }
    QSpinBox* movieMinutesControl() const { return movieMinutes_; }
    QSpinBox* movieSecondsControl() const { return movieSeconds_; }
    QComboBox* previewRate() const { return previewRate_; }

    // The movie panel.
    QLabel* movieFrameRateDisplay() const { return movieFrameRateDisplay_; }
    QToolBar* movieToolbar() const { return movieToolbar_; }
    void movieToolbarClicked(const QString& key);
    void movieFrameRateDisplayClicked();
    void SetMovieFileName();
    // What Record reads when a movie starts.
    MovieSettings movieSettings() const;

    // The audio lists and the "&Audio Settings" menu (entries by index, separators included).
    void AudioOnOff(bool on);
    // The format lists show a capture driver's sound format (a rate they do not hold leaves theirs).
    void ShowAudioFormat(const WAVEFORMATEX& format);
    QComboBox* audioBits() const { return audioBits_; }
    QComboBox* audioChannels() const { return audioChannels_; }
    QComboBox* audioRate() const { return audioRate_; }
    QComboBox* audioDevice() const { return audioDevice_; }
    QComboBox* audioInput() const { return audioInput_; }
    QComboBox* audioLevel() const { return audioLevel_; }
    QAction* audioMenuItem(int index) const { return audioMenuItems_[size_t(index)]; }
    QAction* sampleRateItem(int index) const { return sampleRateItems_[size_t(index)]; }

    // The image settings toolbar: element 0 on the image panel, 1 on the multiple-image panel.
    QToolBar* imageSettings(int element) const { return imageSettings_[size_t(element)]; }
    bool insertDown(int element) const;
    Insertion* insertionWindow() const { return insertion_; }
    void imageCounterClicked();

    // The TV tuner band (TunerBar): its keyed buttons, the channel slider, the scan timer (Tuner,
    // 500 ms, its step in the "Tag" property) and the stations of the "tuner_station" menu, kept in
    // AppFolder's "TVTuner.ini".
    QToolBar* tunerBar() const { return TunerBar; }
    QScrollBar* tunerSlider() const { return TunerSlider; }
    QLabel* channelLabel() const { return channelLabel_; }
    QMenu* stationsMenu() const { return stationsMenu_; }
    QTimer& tunerTimer() { return Tuner; }
    void tunerButtonClicked(const QString& key);
    void tunerTick();
    void stationChosen(QAction* entry);
    Stations stations() const;
    static QString stationsFilePath();

    // The scanner menu and buttons: "Select Source" chooses the scanner for this session (empty:
    // the first SANE lists), "Acquire" scans into a new image editor window.
    QMenu* scannerMenu() const { return TWAINx; }
    // Select Source and Acquire of the menu, then the "choose_scanner" and "scanner" buttons.
    QList<QAction*> scannerControls() const;
    void selectScannerSource();
    void acquireScan();
    QString scannerDevice() const { return scannerDevice_; }
    ScannerSource* scannerSourceWindow() const;
    ScanProgress* scanProgressWindow() const;

signals:
    // A finished capture file wants to be shown in the movie viewer.
    void movieViewerWanted(const QString& fileName);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    // The compression and codec entries of the Video Settings menu.
    void buildVideoSettingsMenu();
    void storeLayout();
    void fitFirstPicture();
    void setUpStatusMonitor();
    void setUpVideo();
    void setUpDisplay();
    void buildBands();
    void buildOperationBar();
    void buildMovieBar();
    void layOutStatusPanel();
    void buildWebShareBar();
    void buildSeriesBands();
    void fillSeriesLists();
    void loadWebShareSettings();
    void storeWebShareSettings();
    // A port of -1 keeps the server's port.
    void switchWebShare(bool on, int port = -1);
    void buildMainToolbar();
    void buildToolbarsMenu(QMenu* menu);
    void buildStatusBar();
    QToolBar* bandOfItem(int index) const;
    QToolBar* addBand(const QString& key, const QString& title);
    void recordClicked();
    void setRecordImage(const QString& imageKey);
    void captureIntoEditor();
    // An editor at its picture's size (within the screen), beside the video window or over it.
    void placeEditor(Image& editor) const;
    void movieFrameRateChanged(int rate);
    void movieLimitChanged(QSpinBox* control);
    void buildAudioLists(QGridLayout* grid, int column);
    void buildAudioMenu();
    void updateMixerItems();
    void audioSourceKind(bool captureWindow);
    void audioDeviceChosen(int position);
    void buildImageSettings();
    void insertClicked(bool down);
    void shutterPressed();
    void buildTunerBar();
    void applyTunerControls(const DeviceControls& controls);
    void tunerSliderChanged(int channel);
    // The slider to `channel`, tuned also when it is there already.
    void tuneChannel(int channel);
    void setStations(const Stations& stations);
    void buildScannerMenu(QMenu* menu);
    void noScannerFound();
    void scanFinished(const ScanOutcome& outcome);

    QMdiArea* mdiArea_ = nullptr;
    Preferences* preferences_ = nullptr;
    VideoScreen* videoScreen_ = nullptr;
    QMdiSubWindow* videoFrame_ = nullptr;
    DeviceToolbar* deviceToolbar_ = nullptr;
    QToolBar* operationBar_ = nullptr;
    QToolBar* mainToolbar_ = nullptr;
    QWidget* statusPanel_ = nullptr;
    QAction* statusPanelAction_ = nullptr;
    QLabel* statusString_ = nullptr;
    std::array<QAction*, ToolbarItemCount> toolbarsItems_{};
    QSpinBox* movieFrameRate_ = nullptr;
    QCheckBox* movieDisableLimit_ = nullptr;
    QLabel* movieFrameRateDisplay_ = nullptr;
    QSpinBox* movieHours_ = nullptr;
    QSpinBox* movieMinutes_ = nullptr;
    QSpinBox* movieSeconds_ = nullptr;
    QLabel* movieHoursDisplay_ = nullptr;
    QLabel* movieMinutesDisplay_ = nullptr;
    QLabel* movieSecondsDisplay_ = nullptr;
    QToolBar* movieToolbar_ = nullptr;
    QComboBox* audioBits_ = nullptr;
    QComboBox* audioChannels_ = nullptr;
    QComboBox* audioRate_ = nullptr;
    QComboBox* audioDevice_ = nullptr;
    QComboBox* audioInput_ = nullptr;
    QComboBox* audioLevel_ = nullptr;
    std::array<QAction*, 16> audioMenuItems_{};
    std::array<QAction*, 4> sampleRateItems_{};
    std::array<QToolBar*, 2> imageSettings_{};
    Insertion* insertion_ = nullptr;
    QComboBox* previewRate_ = nullptr;
    Image* imageEditor_ = nullptr;
    QTimer masterTimer_;
    QTimer masterTimer2_;
    QSet<int> pressedShortcuts_;
    QTimer motionTimer_;
    QTimer multipleImageTimer_;
    StreamServer* stream_ = nullptr;
    QLineEdit* webSharePortBox_ = nullptr;
    QSlider* webShareQuality_ = nullptr;
    QLabel* webShareUrl_ = nullptr;
    QLabel* webShareStatus_ = nullptr;
    QComboBox* multipleImageModeList_ = nullptr;
    QComboBox* multipleImageFrameRate_ = nullptr;
    QComboBox* aviBuildFps_ = nullptr;
    QToolBar* TunerBar = nullptr;
    QScrollBar* TunerSlider = nullptr;
    QLabel* channelLabel_ = nullptr;
    QMenu* stationsMenu_ = nullptr;
    QTimer Tuner;
    QMenu* TWAINx = nullptr;
    QString scannerDevice_;
    QPointer<ScannerSource> scannerSource_;
    QPointer<ScanProgress> scanProgress_;
    UnloadMode unloadMode_ = UnloadMode::User;
    QPointer<HelpWindow> helpWindow_;
    QPointer<AudioDetector> audioDetector_;
    QPointer<RS232> serialTrigger_;
    AviBuilderPanel* aviBuilder_ = nullptr;
    QPointer<OtherInfo> otherInfo_;
    QPointer<CodecsWindow> codecs_;
    // The load has put the stored layout in place: only then does a close store it again.
    bool layoutRestored_ = false;
    bool fitsFirstPicture_ = false;
};

// The Window menu's tiling: side by side (horizontal) or one above another (vertical).
void ArrangeSubWindows(QMdiArea& area, Qt::Orientation orientation);
// Lines the minimised child windows up along the bottom.
void ArrangeIcons(QMdiArea& area);

// Twips per pixel of the window's screen, for the stored geometry.
double TwipsPerPixel(const QWidget& window);
// The window rectangle from the stored geometry, or 800 x 600 centred on the available area.
QRect RestoredGeometry(const QRect& available, double twipsPerPixel);

// Ends the program: marks the shutdown, disconnects the video window (a movie being recorded is
// finished), closes every other window and leaves the event loop, also from inside a modal window.
void EndProgram(Master& master);

// The main window once it exists; none during the splash or after the end.
Master* RunningMaster();

}  // namespace kestrova
