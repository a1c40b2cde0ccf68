// The race screen's captions in both languages, the English font switch and the fixed texts of
// the clock panel, the size label and the time bar's help. Used by RaceScreen and its parts.
#pragma once

#include <QString>
#include <QStringList>

#include "app/appsettings.h"
#include "ui/widgets/captions.h"

class QWidget;

namespace brisko {

// The caption table, in the order the English captions are applied.
const ControlCaption* raceScreenCaptions(int& count);

// Sets the caption of every control of the table found under `root` (buttons, labels, group
// boxes) in the chosen language. The view options get their smaller English font.
void applyRaceScreenCaptions(QWidget* root, const AppSettings& settings);

// The size label: "Enlarged" / "変形サイズ" or "Real Size" / "実サイズ".
QString sizeLabelText(bool enlarged, const AppSettings& settings);

// The help lines of the time bar, in the user's language.
QStringList timeBarHelp(const AppSettings& settings);

// The title of the race screen: the product, the race titles and the file name in brackets.
QString raceWindowTitle(const AppSettings& settings, const QString& title1, const QString& title2,
                        const QString& title3, const QString& fileName);

// Texts of the race screen's messages.
QString alreadyShownMessage(const AppSettings& settings);
QString badTimesMessage(const AppSettings& settings);
// A race that opened without a single boat track to show (the file name in brackets).
QString noTracksMessage(const AppSettings& settings, const QString& fileName);
// A race whose logs hold no fix between its start and finish.
QString noFixesMessage(const AppSettings& settings, const QString& fileName);
// Added to the reason when a race switch is refused: the race shown stays.
QString raceStaysMessage(const AppSettings& settings, const QString& shownFile);
// Headings of the wind row and of the boat list's columns.
QString meanWindHeading(const AppSettings& settings);
QString windNowHeading(const AppSettings& settings);
QStringList boatListHeadings(const AppSettings& settings);  // name, speed, wind angle, bar
QString saveQuestion(const AppSettings& settings);          // after confirming times
QString leaveSaveQuestion(const AppSettings& settings);     // when leaving
QString fileNamePrompt(const AppSettings& settings, bool leaving);
QString fileNameTitle(const AppSettings& settings, bool leaving);
QString badFileNameMessage(const AppSettings& settings);
QString saveFailedMessage(const AppSettings& settings, const QString& why);

}  // namespace brisko
