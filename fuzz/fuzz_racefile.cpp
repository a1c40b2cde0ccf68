// Fuzz target: the race control file reader on arbitrary bytes, and the writer's round trip —
// a race that was read and written back reads again to the same text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "race/racecontrolfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace brisko;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RaceDefinition first;
    parseRaceControlText(bytes, first);
    const std::string written = formatRaceControlFile(first);
    RaceDefinition second;
    parseRaceControlText(written, second);
    if (formatRaceControlFile(second) != written) std::abort();
    return 0;
}
