// The race screen's hints: a text of one to six lines in the user's language shown in a
// borderless box beside a control while the mouse is over it. Most are shown only while
// `HintsOn` (the "HINT" box) is set; some always.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "app/appsettings.h"

class QLabel;
class QWidget;

namespace brisko {

struct HintText {
    QString text;   // lines joined with line breaks
    int width = 0;  // pixels, as designed; the box grows when the text needs more
    int height = 0;
    bool guarded = true;   // shown only while HintsOn
    bool boatBox = false;  // shown in the boat panel's hint box rather than the map side's
};

// The hint of a race-screen control by its object name ("boatName_3" and "boatMark_0" name the boat
// list's rows); nullopt for a control without one. `fullMode`: the overview's hint tells of the
// right click too.
std::optional<HintText> raceScreenHint(const QString& control, const AppSettings& settings,
                                       bool fullMode);

// Watches the race screen's controls for the mouse: entering or moving over a control with a
// hint shows it beside the control inside the side panel; leaving it, moving onto the window
// background or a side panel, or onto the map-side box itself hides the box.
class RaceHints : public QObject {
    Q_OBJECT
public:
    RaceHints(QWidget* form, QWidget* sidePanel, QLabel* hintBox, QLabel* boatHintBox,
              const AppSettings& settings, std::function<bool()> hintsOn,
              std::function<bool()> fullMode);

    // Shows the hint of `control` if it has one and its guard allows; true when shown.
    bool showFor(QWidget* control);
    void hide();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // The boat list's own background (its scroll area, the speed bars): moving over it hides
    // the boat panel's hint box.
    static bool isBoatListBackground(const QWidget* w);

    QWidget* form_;
    QWidget* panel_;
    QLabel* hintBox_;
    QLabel* boatHintBox_;
    const AppSettings& settings_;
    std::function<bool()> hintsOn_;
    std::function<bool()> fullMode_;
    QWidget* shownFor_ = nullptr;
};

}  // namespace brisko
