// libFuzzer entry point for the GPS track file reader.
#include "fuzztargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return brisko::fuzz::fuzzTrack(data, size);
}
