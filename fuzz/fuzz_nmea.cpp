// libFuzzer entry point for the NMEA track log reader.
#include "fuzztargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return brisko::fuzz::fuzzNmea(data, size);
}
