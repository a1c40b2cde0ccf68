// The core's colours as Qt colours, for every painter and control that shows one.
#pragma once

#include <QColor>

#include "display/displayoptions.h"

namespace brisko {

inline QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

}  // namespace brisko
