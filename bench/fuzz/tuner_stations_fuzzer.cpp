// libFuzzer target: the stations file's text, as UTF-8 or Windows-1252, read into stations. What is
// read and written again must read back the same: no name or key may lose or gain a line.
#include "core/text_files.h"
#include "persistence/tuner_stations.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const kestrova::Stations stations = kestrova::ParseStations(kestrova::DecodeText(bytes));
    const QByteArray written = kestrova::FormatStations(stations);
    if (kestrova::ParseStations(kestrova::DecodeText(written)) != stations) std::abort();
    return 0;
}
