// Fuzz target: the coastline tile reader on arbitrary bytes, over a drawing window that takes
// in the whole first-level square and its neighbours.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "track/coastline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace brisko;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CoastWindow window{2000, 2200, 8000, 8300};
    CoastLine line;
    readCoastlineText(text, window, line);
    if (line.CoastCount + 1 > static_cast<int>(line.CoastLat.size())) std::abort();
    for (int i = 1; i <= line.CoastCount; ++i)
        if (!std::isfinite(line.CoastLat[i]) || !std::isfinite(line.CoastLon[i])) std::abort();
    return 0;
}
