// libFuzzer entry point for the coastline tile reader.
#include "fuzztargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return brisko::fuzz::fuzzCoastline(data, size);
}
