// The launcher's hints and messages in both languages.
#pragma once

#include <QString>

#include "app/appsettings.h"

namespace brisko {

// The hint of a launcher button by its control name, lines joined by "\n"; empty when it has none.
QString coverHint(const QString& control, const AppSettings& settings);

// A sibling tool that is neither in the application folder nor on the PATH.
QString siblingToolMissingMessage(const AppSettings& settings, const QString& what,
                                  const QString& program);
// A sibling tool that was found but would not start.
QString siblingToolFailedMessage(const AppSettings& settings, const QString& program);
// The distribution builder's button while the builder is not part of the program.
QString distributionNotReadyMessage(const AppSettings& settings);

}  // namespace brisko
