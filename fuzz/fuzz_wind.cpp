// libFuzzer entry point for the wind data file reader and its writer's round trip.
#include "fuzztargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return brisko::fuzz::fuzzWind(data, size);
}
