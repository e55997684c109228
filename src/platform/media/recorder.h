#pragma once
// Movies: frames of a source encoded and muxed into an AVI file on the recorder's own thread, behind
// a bounded queue. A frame that does not fit the queue is dropped and counted. Live movies keep a
// constant frame rate on the source's clock (frames are repeated or dropped to stay in step); a
// frame-by-frame movie gives each pushed frame the next slot. Every packet goes to the file as it
// is made, so that a killed process or a full disk leaves a file that plays up to its last picture.

#include "devices.h"
#include "frame_queue.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct AVIOContext;

namespace kestrova::media {

struct VideoCompressor {
    QString name;     // as the compressor lists show it
    QString key;      // as --codec takes it
    QString encoder;  // FFmpeg encoder
};

// The compressors the installed FFmpeg can encode, the default (MJPEG) first.
const std::vector<VideoCompressor>& VideoCompressors();
// Index in VideoCompressors() of a --codec key, or -1.
int VideoCompressorByKey(const QString& key);

// Audio goes into the movie as 16-bit PCM; the list keeps the shape of the video one.
QStringList AudioCompressors();

inline constexpr int TestToneRate = 44100;
inline constexpr int TestToneHz = 1000;
// The Test Tone, mono at TestToneRate unless asked otherwise, beeps for the first BeepMs of every second of movie time, starting at frame 0.
inline constexpr int TestToneBeepMs = 100;

struct RecorderSettings {
    QString path;
    int compressor = 0;  // index in VideoCompressors()
    QSize size;          // the source's picture size; frames of another size are scaled
    double fps = 30;
    // An audio stream from this input; Test Tone (generated in step with the video) when its format
    // is empty.
    std::optional<AudioDevice> audio;
    // The sound's format in the file: rate and channels (0: the input's own, for the Test Tone
    // 44100 Hz mono) and 8 or 16 bits per sample.
    int audioRate = 0;
    int audioChannels = 0;
    int audioBits = 16;
    bool frameByFrame = false;
    std::int64_t frameLimit = 0;  // the movie ends by itself after this many frames; 0: none
    std::size_t queueCapacity = 16;
    // Drawn into every frame before encoding (on the recorder thread), with the movie time.
    std::function<void(QImage&, std::int64_t elapsedMs)> overlay;
    // Where the muxer writes; empty: the file at `path`. Tests inject failing I/O here. The recorder
    // frees the context and its buffer (made with avio_alloc_context and av_malloc).
    std::function<AVIOContext*()> openOutput;
};

struct RecorderStatistics {
    std::int64_t elapsedMs = 0;
    std::int64_t frames = 0;   // pictures that reached the file whole
    // Frames the movie should have had and lost: the queue was full, or the source missed their slot
    // (the previous picture stands in). A source faster than the movie's rate loses nothing: its
    // extra frames are left out.
    std::int64_t dropped = 0;
    std::int64_t bytes = 0;
    std::int64_t audioSamples = 0;
};

// start(), stop() and the destructor are called from one thread, the owner's; queue(), running() and
// statistics() from any thread once start() has returned.
class Recorder {
public:
    // Called once on the recorder thread when the movie ends by itself: empty reason for the frame
    // limit, else why (a write failure). Not called after stop().
    using EndedHandler = std::function<void(QString reason)>;

    Recorder(RecorderSettings settings, EndedHandler ended);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Opens the file and the encoders, then starts the thread; empty on success, else the reason.
    // A recorder starts once: a second call is refused.
    QString start();
    // Finishes the file (the queued frames first) and joins the thread. Empty, or the failure.
    QString stop();

    // The queue a source runner feeds; frames taken before start() are ignored.
    std::shared_ptr<BoundedFrameQueue> queue() const { return queue_; }
    bool running() const { return running_; }
    RecorderStatistics statistics() const;

private:
    struct Muxer;
    void run();
    void finish();

    RecorderSettings settings_;
    EndedHandler ended_;
    std::shared_ptr<BoundedFrameQueue> queue_;
    std::unique_ptr<Muxer> muxer_;
    std::chrono::steady_clock::time_point started_{};
    std::chrono::steady_clock::time_point endedAt_{};
    std::atomic<bool> begun_{false};
    std::atomic<bool> running_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<std::int64_t> frames_{0};
    std::atomic<std::int64_t> missedSlots_{0};
    std::atomic<std::int64_t> bytes_{0};
    std::atomic<std::int64_t> samples_{0};
    std::atomic<std::int64_t> endedMs_{-1};
    std::atomic<std::int64_t> queueDropped_{0};
    QString failure_;
    struct Thread;
    std::unique_ptr<Thread> thread_;
};

// Finishes a movie on a thread of its own (the queued frames, the encoder's last frames, the index),
// then calls `done` there with the failure, if any, and the final statistics: the caller's thread
// never waits for the file. The program's end waits for it (WaitForEngineThreads).
void FinishInBackground(std::unique_ptr<Recorder> recorder, std::function<void(QString failure, RecorderStatistics done)> done);

}  // namespace kestrova::media
