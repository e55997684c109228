#pragma once
// A TV card for the capture control: no tuner exists here. It lists Test Pattern as a device with a
// tuner (so it connects and shows a picture), records every frequency tuned and answers the signal
// strength a test scripts per frequency.

#include "platform/capture_control.h"
#include "platform/media/devices.h"

#include <map>
#include <memory>
#include <vector>

namespace kestrova::test {

class FakeTvCard final : public VideoHardware {
public:
    std::vector<media::VideoDevice> devices() override {
        media::VideoDevice card = media::TestPatternDevice();
        card.name = QStringLiteral("TV Card");
        card.tuner = true;
        return {card, media::TestPatternDevice()};
    }
    std::optional<int> tunerSignal(const QString&) override {
        if (tuned.empty()) return std::nullopt;
        const auto found = strength.find(tuned.back());
        return found == strength.end() ? 0 : found->second;
    }
    bool setTunerFrequency(const QString&, std::int64_t hertz) override {
        tuned.push_back(hertz);
        return true;
    }

    std::vector<std::int64_t> tuned;
    std::map<std::int64_t, int> strength;  // percent per frequency; 0 elsewhere
};

// Index 0 of the control's list is the card, 1 the plain Test Pattern.
inline std::shared_ptr<FakeTvCard> InstallFakeTvCard(CaptureControl& control) {
    auto card = std::make_shared<FakeTvCard>();
    control.setHardware(card);
    return card;
}

}  // namespace kestrova::test
