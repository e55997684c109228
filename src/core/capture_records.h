#pragma once
// The capture window's parameter records, kept in the global state. They carry the fields of the
// records a capture driver publishes; our capture-window layer fills them from the media engine.

#include <cstdint>

namespace kestrova {

struct CAPDRIVERCAPS {
    uint32_t wDeviceIndex = 0;
    int32_t fHasOverlay = 0;
    int32_t fHasDlgVideoSource = 0;
    int32_t fHasDlgVideoFormat = 0;
    int32_t fHasDlgVideoDisplay = 0;
    int32_t fCaptureInitialized = 0;
    int32_t fDriverSuppliesPalettes = 0;
};

struct CAPSTATUS {
    uint32_t uiImageWidth = 0;
    uint32_t uiImageHeight = 0;
    int32_t fLiveWindow = 0;
    int32_t fOverlayWindow = 0;
    int32_t fScale = 0;
    int32_t ptScrollX = 0;
    int32_t ptScrollY = 0;
    int32_t fUsingDefaultPalette = 0;
    int32_t fAudioHardware = 0;
    int32_t fCapFileExists = 0;
    uint32_t dwCurrentVideoFrame = 0;
    uint32_t dwCurrentVideoFramesDropped = 0;
    uint32_t dwCurrentWaveSamples = 0;
    uint32_t dwCurrentTimeElapsedMS = 0;
    int32_t fCapturingNow = 0;
    uint32_t dwReturn = 0;
    uint32_t wNumVideoAllocated = 0;
    uint32_t wNumAudioAllocated = 0;
};

struct CAPTUREPARMS {
    uint32_t dwRequestMicroSecPerFrame = 66667;
    int32_t fMakeUserHitOKToCapture = 0;
    uint32_t wPercentDropForError = 10;
    int32_t fYield = 1;
    uint32_t dwIndexSize = 324000;
    uint32_t wChunkGranularity = 0;
    int32_t fUsingDOSMemory = 0;
    uint32_t wNumVideoRequested = 0;
    int32_t fCaptureAudio = 0;
    uint32_t wNumAudioRequested = 0;
    uint32_t vKeyAbort = 0;
    int32_t fAbortLeftMouse = 1;
    int32_t fAbortRightMouse = 1;
    int32_t fLimitEnabled = 0;
    uint32_t wTimeLimit = 0;
    int32_t fMCIControl = 0;
    int32_t fStepMCIDevice = 0;
    uint32_t dwMCIStartTime = 0;
    uint32_t dwMCIStopTime = 0;
    int32_t fStepCaptureAt2x = 0;
    uint32_t wStepCaptureAverageFrames = 0;
    uint32_t dwAudioBufferSize = 0;
    int32_t fDisableWriteCache = 1;
    uint32_t AVStreamMaster = 0;  // 0: audio is the master stream
};

constexpr uint16_t WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
    uint16_t wFormatTag = WAVE_FORMAT_PCM;
    uint16_t nChannels = 1;
    uint32_t nSamplesPerSec = 11025;
    uint32_t nAvgBytesPerSec = 11025;
    uint16_t nBlockAlign = 1;
    uint16_t wBitsPerSample = 8;
    uint16_t cbSize = 0;
};

}  // namespace kestrova
