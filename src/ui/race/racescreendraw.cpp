// The race screen's drawing: the frame the race session derived from its clock and laid out,
// painted once, and the layers of the map, the overview and the wind panel redrawn in their
// fixed order. See racescreen.h.
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <cmath>

#include "session/racesession.h"
#include "ui/analysis/analysisviews.h"
#include "ui/display/backgroundrenderer.h"
#include "ui/display/boatpanel.h"
#include "ui/display/mapflags.h"
#include "ui/display/timebar.h"
#include "ui/display/timepanel.h"
#include "ui/race/playback.h"
#include "ui/race/racescreen.h"
#include "ui/race/windcontrols.h"
#include "ui/widgets/colour.h"
#include "ui/widgets/picturewidget.h"

namespace brisko {

void RaceScreen::buildOverlays() {
    mapPicture->setOverlay([this](QPainter& p) {
        if (session_) {
            // The manoeuvres under the boats.
            renderer_.paintManoeuvres(p, scene_, session_->manoeuvreMarks());
            renderer_.paintMovingLayer(p, scene_, session_->frameLayout());
        }
        paintMouseLayer(p);
    });
    overviewPicture->setOverlay([this](QPainter& p) {
        if (!session_) return;
        // While the time bar previews a time, each boat where it was then.
        if (session_->frameLayout().previewing)
            overview_.drawPreview(p, scene_, session_->frameLayout());
        else
            overview_.drawDots(p, scene_);
    });
}

void RaceScreen::buildAnalysis() {
    analysis_ = new AnalysisViews(this, sidePanel, settings_, sink_, platform_);
}

void RaceScreen::replayTick() {
    if (!session_) return;
    view_.MapSize = layout_.mapSize;
    view_.recompute();
    takeFrame(session_->replayTick(view_, options_));
}

void RaceScreen::showFrame() {
    if (!session_) return;
    view_.MapSize = layout_.mapSize;
    view_.recompute();
    takeFrame(session_->showFrame(view_, options_));
}

void RaceScreen::takeFrame(const FrameShown& shown) {
    if (!shown.laidOut) return;
    if (shown.events.playGun) playGun();
    if (shown.viewFitted) {
        // Auto trace: the view moved onto the boats, the background follows it.
        redrawBackground();
    } else if (!options_.AutoTrace && shown.layLinesDue && options_.LayLines &&
               session_->windDirNow() != lastMarksWind_) {
        // The lay lines follow the wind: the whole background again, so that the old ones go.
        redrawBackground();
    }
    if (shown.windChanged) redrawWindPanel();
    paintLaidOutFrame();
}

void RaceScreen::paintFrame() {
    if (!session_) return;
    session_->layOutFrame(view_, options_);
    paintLaidOutFrame();
}

void RaceScreen::paintLaidOutFrame() {
    const FrameLayout& f = session_->frameLayout();
    if (f.mapMode && !mapPicture->picture().isNull()) {
        QPainter p(&mapPicture->picture());
        renderer_.paint(p, scene_, f);
    }
    timePanel->setClock(QString::fromStdString(f.clockText), toQColor(f.clockColour));
    timePanel->setCountdown(f.countdownVisible, QString::fromStdString(f.countdownText),
                            toQColor(f.countdownColour));
    timePanel->setTimeOfDay(QString::fromStdString(f.timeOfDay));
    const int boats = std::min(f.boatCount, boatPanel->rowCount());
    for (int k = 1; k <= boats; ++k) {
        const BoatPanelRow& row = f.panel[k];
        if (row.speedChanged) boatPanel->setSpeed(k, QString::fromStdString(row.speedText));
        boatPanel->setTwa(k, QString::fromStdString(row.twaText));
        boatPanel->setBar(k, row.barLength);
    }
    timeBar->setCursorTime(f.raceTime);
    analysis_->timeShown(f.raceTime);
    flags_->followFrame(session_->frame(), &scene_, timePanelOnMap());
    mapPicture->update();
    overviewPicture->update();
}

void RaceScreen::redrawBackground() {
    if (!session_) return;
    view_.MapSize = layout_.mapSize;
    view_.applyZoomFloor();
    view_.recompute();
    {
        QPainter p(&mapPicture->picture());
        p.setRenderHint(QPainter::Antialiasing);
        // Background, time marks, then marks and lines over them. Auto trace redraws the map
        // as the boats move and shows no time marks (their box is disabled then).
        BackgroundRenderer::drawBackground(p, scene_);
        if (options_.TimeMarks && !options_.AutoTrace) BackgroundRenderer::drawTimeMarks(p, scene_);
        BackgroundRenderer::drawMarksAndLines(p, scene_);
    }
    // The lay lines now shown follow this wind.
    lastMarksWind_ = session_->windDirNow();
    mapPicture->update();
}

void RaceScreen::redrawOverview() {
    overviewPicture->clear(toQColor(options_.SeaColour));
    if (!session_) return;
    QPainter p(&overviewPicture->picture());
    p.setRenderHint(QPainter::Antialiasing);
    overview_.draw(p, scene_, overviewPicture->width(), overviewPicture->height());
    overviewPicture->update();
}

void RaceScreen::redrawWindPanel() {
    PictureWidget* dial = wind_->dial();
    dial->clear(toQColor(options_.SeaColour));
    if (!session_) return;
    QPainter p(&dial->picture());
    p.setRenderHint(QPainter::Antialiasing);
    windIndicator_.draw(p, scene_, dial->width(), toQColor(options_.SeaColour));
    wind_->showWindNow(windIndicator_.directionText(), windIndicator_.speedText());
    dial->update();
}

void RaceScreen::fitViewToBoats() {
    if (!session_) return;
    if (view_.fitToBoats(session_->frame().positionsForFit(options_))) redrawBackground();
}

}  // namespace brisko
