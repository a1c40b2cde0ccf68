// The race file editor's captions and messages in both languages.
#pragma once

#include <QString>
#include <vector>

#include "app/appsettings.h"
#include "ui/widgets/captions.h"

namespace brisko {

// Every captioned control of the editor; controls whose caption stays in English mode carry
// the designed text in both columns.
const std::vector<ControlCaption>& raceEditorCaptions();

QString editorHelpText(const AppSettings& settings);
QString tooManyBoatsMessage(const AppSettings& settings);
QString tooManyAttachmentsMessage(const AppSettings& settings);
// A boat's GPS log that is no longer in the GPS data folder when the race is saved.
QString gpsFileGoneMessage(const AppSettings& settings, const QString& file);

}  // namespace brisko
