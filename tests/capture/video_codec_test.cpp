// The compression window of device and stream sources: the recorder's compressors, the choice held
// by the capture control at once, and the sound's list only when the movie has sound.

#include "capture/video_codec.h"

#include "platform/capture_control.h"
#include "platform/media/recorder.h"

#include "kestrova_test.h"

#include <QListWidget>
#include <QPushButton>

using namespace kestrova;

namespace {

class VideoCodecTest : public kestrova::test::KestrovaTest {};

}  // namespace

TEST_F(VideoCodecTest, ListsTheCompressorsAndHandsTheChoiceToTheControl) {
    CaptureControl control;
    control.setVideoCompressorIndex(1);
    QWidget owner;
    VideoCODEC* window = ShowVideoCODEC(control, false, &owner);
    ASSERT_EQ(window->VideoCompressor->count(), int(media::VideoCompressors().size()));
    EXPECT_EQ(window->VideoCompressor->item(0)->text(), media::VideoCompressors()[0].name);
    EXPECT_EQ(window->VideoCompressor->currentRow(), 1);
    EXPECT_FALSE(window->CODECsetup->isEnabled());
    EXPECT_FALSE(window->AudioCompressor->isEnabled());
    EXPECT_FALSE(window->aCodecSetup->isEnabled());
    EXPECT_EQ(window->AudioCompressor->count(), 0);

    window->VideoCompressor->setCurrentRow(2);
    EXPECT_EQ(control.VideoCompressorIndex(), 2);
    EXPECT_TRUE(window->CODECsetup->isEnabled());
    window->CODECsetup->click();
    EXPECT_EQ(prompts->messages().size(), 1);
    EXPECT_EQ(ShowVideoCODEC(control, false, &owner), window) << "one window, brought forward";
    window->close();
}

TEST_F(VideoCodecTest, TheSoundCompressorAppliesWhenTheMovieHasSound) {
    CaptureControl control;
    QWidget owner;
    VideoCODEC* window = ShowVideoCODEC(control, true, &owner);
    EXPECT_TRUE(window->AudioCompressor->isEnabled());
    ASSERT_EQ(window->AudioCompressor->count(), control.AudioCompressorCount());
    EXPECT_EQ(window->AudioCompressor->item(0)->text(), "PCM");
    EXPECT_EQ(window->AudioCompressor->currentRow(), 0);
    window->AudioCompressor->setCurrentRow(0);
    EXPECT_FALSE(window->aCodecSetup->isEnabled()) << "the same entry again is no new choice";
    window->close();
}
