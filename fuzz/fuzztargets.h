// The readers' fuzz entry points: each takes arbitrary bytes, runs one reader (and its writer's
// round trip where it has one) and aborts when the reader breaks a promise. Returns 0.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brisko::fuzz {

int fuzzRaceFile(const uint8_t* data, size_t size);
int fuzzTrack(const uint8_t* data, size_t size);
int fuzzGpx(const uint8_t* data, size_t size);
int fuzzNmea(const uint8_t* data, size_t size);
int fuzzWind(const uint8_t* data, size_t size);
int fuzzCoastline(const uint8_t* data, size_t size);

}  // namespace brisko::fuzz
