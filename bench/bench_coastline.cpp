// Coastline reading speed: 50,000 shore points in eight grid squares, datum shift included.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "track/coastline.h"

namespace {

std::string fiftyThousandPoints() {
    std::string text;
    char buf[64];
    for (int sq = 0; sq < 8; ++sq) {
        text += "M 53390" + std::to_string(sq) + "\r\n";
        for (int line = 0; line < 25; ++line) {
            std::snprintf(buf, sizeof buf, "%6d", 250);
            text += "L" + std::string(48, ' ') + buf + "\r\n";
            for (int i = 0; i < 250; ++i) {
                std::snprintf(buf, sizeof buf, "%5d%5d", (i * 37) % 10000, (i * 41 + line) % 10000);
                text += buf;
                if (i % 7 == 6 || i == 249) text += "\r\n";
            }
        }
    }
    return text;
}

void BM_ReadCoastline50k(benchmark::State& state) {
    const std::string text = fiftyThousandPoints();
    const brisko::CoastWindow wide{2000, 2300, 8200, 8500};
    for (auto _ : state) {
        brisko::CoastLine c;
        c.clear();
        brisko::readCoastlineText(text, wide, c);
        benchmark::DoNotOptimize(c.CoastCount);
    }
    state.counters["points"] = 50000;
}
BENCHMARK(BM_ReadCoastline50k)->Unit(benchmark::kMillisecond);

}  // namespace
