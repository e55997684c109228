// Output names: the capture file after a mode switch, multiple-image files and the image counter.

#include "controller/output_names.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kestrova;

TEST(OutputNames, MultipleImageFilesFollowMaskOffsetAndType) {
    struct Case {
        const char* capture;
        int type;
        int counter;
        int offset;
        const char* mask;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"/capture/kestrova.bmp", 1, 1, 0, "#000000", "/capture/kestrova000001.bmp"},
        {"/capture/kestrova.bmp", 2, 1, 0, "#000000", "/capture/kestrova000001.jpg"},
        {"/capture/kestrova.bmp", 3, 7, 0, "#000000", "/capture/kestrova.bmp"},
        {"/capture/kestrova.jpg", 4, 7, 0, "#000000", "/capture/kestrova.jpg"},
        {"/capture/kestrova.jpg", 2, 1, 10, "#0000000", "/capture/kestrova0000011.jpg"},
        {"/capture/kestrova.bmp", 1, 1234567, 0, "#000000", "/capture/kestrova1234567.bmp"},
        {"/capture/kestrova.bmp", 1, 1, 0, "#", "/capture/kestrova1.bmp"},
        {"/capture/kestrova.bmp", 1, 0, 0, "#", "/capture/kestrova.bmp"},
        {"/capture/kestrova.bmp", 1, 3, -5, "#000", "/capture/kestrova-002.bmp"},
        // No three-letter extension: the last four characters go all the same.
        {"/capture/film", 1, 1, 0, "#000000", "/capture/000001.bmp"},
        {"abc", 2, 2, 0, "#00", "02.jpg"},
        {"/capture/kestrova.avi", 0, 1, 0, "#000000", ""},
        {"/capture/kestrova.avi", 5, 1, 0, "#000000", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(MultipleImageFileName(c.capture, c.type, c.counter, c.offset, c.mask), c.expected);
    }
}

TEST(OutputNames, ExtensionsPerModeAndOutputType) {
    struct Case {
        const char* name;
        bool movie, image, multiple;
        int type;
        const char* fileName;
        const char* panel;  // nullptr: the panel keeps its text
    };
    const std::vector<Case> cases = {
        {"/c/clip.jpg", true, false, false, 0, "/c/clip.avi", "Filename: /c/clip.avi"},
        {"/c/clip.avi", false, true, false, 0, "/c/clip.avi", ""},
        {"/c/clip.avi", false, false, true, 0, "/c/clip.avi", "Filename: /c/clip.avi"},
        {"/c/clip.avi", false, false, true, 1, "/c/clip.bmp", "Filename: /c/clip.bmp"},
        {"/c/clip.avi", false, false, true, 2, "/c/clip.jpg", "Filename: /c/clip.jpg"},
        {"/c/clip.avi", false, false, true, 3, "/c/clip.bmp", "Filename: /c/clip.bmp"},
        {"/c/clip.avi", false, false, true, 4, "/c/clip.jpg", "Filename: /c/clip.jpg"},
        {"/c/clip.avi", false, false, true, 5, "/c/clip.avi", ""},
        {"/c/clip.avi", false, false, true, 6, "/c/clip.avi", nullptr},
        {"/c/clip.avi", false, false, false, 1, "/c/clip.avi", nullptr},
        {"/c/film", true, false, false, 0, "/c/favi", "Filename: /c/favi"},
        {"ab", true, false, false, 0, "avi", "Filename: avi"},
        // Every test runs: with two bands shown the later one has the last word.
        {"/c/clip.avi", true, false, true, 2, "/c/clip.jpg", "Filename: /c/clip.jpg"},
        {"/c/clip.jpg", true, true, false, 0, "/c/clip.avi", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        const CaptureExtension result = ApplyCaptureExtension(c.name, c.movie, c.image, c.multiple, c.type);
        EXPECT_EQ(result.fileName, c.fileName);
        ASSERT_EQ(result.panel.has_value(), c.panel != nullptr);
        if (c.panel) {
            EXPECT_EQ(*result.panel, c.panel);
        }
    }
}

TEST(OutputNames, TheVideoWindowsErrorGivesTheDefaultMovie) {
    EXPECT_EQ(SyncedCaptureFileName("Error", "/home/k/"), "/home/k/kestrova.avi");
    EXPECT_EQ(SyncedCaptureFileName("ERROR", "/home/k/"), "/home/k/kestrova.avi");
    EXPECT_EQ(SyncedCaptureFileName("", "/home/k/"), "");
    EXPECT_EQ(SyncedCaptureFileName("/m/error.avi", "/home/k/"), "/m/error.avi");
}

TEST(OutputNames, AStillFromADvDeviceIsNamedAfterTheTape) {
    EXPECT_EQ(StillCaption(false, "00:01:02:03", "2026-12-10 13:50:00"), "Untitled");
    EXPECT_EQ(StillCaption(true, "00:01:02:03", "2026-12-10 13:50:00"), "Untitled_DV_00_01_02_03_Taken 2026-12-10 13_50_00");
    EXPECT_EQ(StillCaption(true, "", ""), "Untitled_DV__Taken ");
}

TEST(OutputNames, TheCounterAnswerSetsMaskAndOffset) {
    struct Case {
        const char* answer;
        const char* mask;
        int offset;
    };
    const std::vector<Case> cases = {
        {"0000010", "#0000000", 10},
        {"", "#", 0},  // cancelled
        {"abc", "#000", 0},
        {"5", "#0", 5},
        {"99999999999", "#00000000000", 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const ImageCounter counter = ImageCounterFromAnswer(c.answer);
        EXPECT_EQ(counter.mask, c.mask);
        EXPECT_EQ(counter.offset, c.offset);
    }
    EXPECT_EQ(ImageCounterPrompt(), "Enter the offset on image counter:\r\n\r\nExample: 0000010 to define number of zeros");
}
