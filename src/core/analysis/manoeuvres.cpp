// Tacks, gybes and penalty turns of one boat and what each cost.
#include "analysis/coach.h"

namespace brisko {

const char* manoeuvreKindName(ManoeuvreKind k) {
    switch (k) {
        case ManoeuvreKind::Tack: return "tack";
        case ManoeuvreKind::Gybe: return "gybe";
        case ManoeuvreKind::Penalty: break;
    }
    return "penalty";
}

std::vector<Manoeuvre> findManoeuvres(const TrackStore&, int, const WindInForce&) {
    return {};  // placeholder until the detection lands
}

}  // namespace brisko
