// The race screen's wind boxes: the mean wind direction, typed in its box; the wind now
// (direction and speed) while the race has wind data; the wind dial that the window draws; and
// the wind strip chart that a click on the dial shows under it, over the boat list. The controls
// are made under the side panel; a typed direction goes to the window as a signal.
#pragma once

#include <QObject>
#include <QString>

#include "app/appsettings.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace brisko {

class PictureWidget;
class RaceSession;

class WindControls : public QObject {
    Q_OBJECT
public:
    WindControls(QWidget* sidePanel, const AppSettings& settings);

    // The wind dial: the window draws the wind indicator into it.
    PictureWidget* dial() const { return dial_; }

    // A race shown: its mean wind in the box, the wind now shown when it has wind data, the
    // strip drawn from its wind and hidden until the dial is clicked. The session is read
    // until the next race is shown or raceGone().
    void raceShown(const RaceSession& session);
    // No race shown: the boxes empty, the strip hidden.
    void raceGone();
    // A direction set elsewhere (on the overview) shown in the box; it is not a typed one.
    void showMeanWind(double degrees);
    void showWindNow(const QString& direction, const QString& speed);

signals:
    // The user typed in the mean wind box: the direction the text gives.
    void meanWindTyped(double degrees);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void toggleStrip();
    void placeStrip();
    void redrawStrip();

    const AppSettings& settings_;
    const RaceSession* session_ = nullptr;
    QLabel* meanWindLabel_ = nullptr;
    QLineEdit* meanWindEdit_ = nullptr;
    QWidget* windNowPanel_ = nullptr;
    QLabel* windNowLabel_ = nullptr;
    QLabel* directionLabel_ = nullptr;
    QLabel* speedLabel_ = nullptr;
    PictureWidget* dial_ = nullptr;
    PictureWidget* strip_ = nullptr;
    bool stripShown_ = false;
    // The box was clicked into: from then on its text changes are the user's typing.
    bool typing_ = false;
};

}  // namespace brisko
