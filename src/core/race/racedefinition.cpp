// Course entry resolution, shared by the roundings, the map's course set-up and the tables.
#include "race/racedefinition.h"

#include "util/numbers.h"

namespace brisko {

CourseTarget resolveCourseEntry(const std::string& entry) {
    CourseTarget t;
    std::string_view e = trimBlanks(entry);
    if (e.empty()) return t;
    t.isLine = e[0] == 'L';
    std::string_view rest = t.isLine ? e.substr(1) : (e.size() > 2 ? e.substr(2) : "");
    t.number = roundToInt(numericPrefix(rest));
    return t;
}

}  // namespace brisko
