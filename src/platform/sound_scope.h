#pragma once
// The sound level meter: lists the sound inputs (the system's, then the built-in Test Tone),
// measures the chosen input's level on a thread of its own, draws it against the limit and says
// when the level reaches the limit.
//
// The level is the peak of the last 50 ms in percent of full scale (0..100): 80 is about -2 dBFS.

#include <QAudioDevice>
#include <QAudioFormat>
#include <QList>
#include <QString>
#include <QThread>
#include <QWidget>

namespace kestrova {

// How long one measurement listens.
inline constexpr int LevelWindowMs = 50;

// The Test Tone as the meter hears it: 1000 Hz at this share of full scale for the first 100 ms
// of every second, as it sounds in a movie.
inline constexpr int TestToneLevel = 50;

// The peak of a block of samples in percent of full scale, rounded; 0 for an empty block or a
// sample format the meter does not know.
int PeakPercent(const QAudioFormat& format, const char* data, qsizetype bytes);

class LevelMeter;

class SoundScope final : public QWidget {
    Q_OBJECT
public:
    explicit SoundScope(QWidget* parent = nullptr);
    ~SoundScope() override;

    // The inputs as they were when the meter was made; the Test Tone is always the last.
    int deviceCount() const;
    QString deviceName(int index) const;

    int device() const { return device_; }
    void setDevice(int index);  // restarts the measuring when it is on
    int limit() const { return limit_; }
    void setLimit(int limit);  // clamped to 0..100
    bool active() const { return active_; }
    void setActive(bool on);

    int level() const { return level_; }
    // Why the chosen input gives no level ("" while it does).
    QString problem() const { return problem_; }

signals:
    // Every measurement of an active meter that reaches the limit.
    void limitReached();
    void problemChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void restart();
    void measured(int generation, int level);
    void failed(int generation, const QString& text);

    QList<QAudioDevice> inputs_;
    int device_ = 0;
    int limit_ = 80;
    bool active_ = false;
    int level_ = 0;
    QString problem_;
    // Raised at every restart, so that a level still on its way from the last input is ignored.
    int generation_ = 0;
    QThread thread_;
    LevelMeter* meter_;  // lives on thread_
};

}  // namespace kestrova
