// Fuzz target: the wind data file reader on arbitrary bytes, and the writer's round trip — the
// samples written back read again to the same text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "track/windfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace brisko;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RaceDefinition race;
    race.RaceStart = "2005/08/11 10:00:00";
    race.RaceEnd = "2005/08/11 12:00:00";
    race.ViewStart = "2005/08/11 09:50:00";
    race.ViewEnd = "2005/08/11 12:10:00";
    WindStore first;
    parseWindText(bytes, race, first);
    const std::string written = formatWindText(race, first);
    WindStore second;
    parseWindText(written, race, second);
    if (formatWindText(race, second) != written) std::abort();
    return 0;
}
