// The race screen's map mouse: zooming, moving and measuring on the map box, setting marks,
// lines and the course order on it, the overview's clicks and the hints. See racescreen.h.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "interact/mapmouse.h"
#include "session/racesession.h"
#include "ui/analysis/analysisviews.h"
#include "ui/interact/coursepanel.h"
#include "ui/interact/racehints.h"
#include "ui/race/racescreen.h"
#include "ui/race/racesetup.h"
#include "ui/race/windcontrols.h"
#include "ui/widgets/picturewidget.h"
#include "util/numbers.h"

namespace brisko {

namespace {
constexpr int kShiftKeyCode = 16;
constexpr double kDragSlop = 4;  // pixels a left press may move and still be a click
constexpr int kWheelNotch = 120;
constexpr double kOverviewRecentreZoom = 0.6;
constexpr int kCourseCountForTable = 2;

// The prompts of the set-up modes exist in Japanese only.
const char* const kFirstEndPrompt = "まずは１点目をクリック";
const char* const kSecondEndPrompt = "続いて2点目をクリック";
const char* const kMarkPrompt = "地図をクリックしてマーク設定";

QString mapHelp(const AppSettings& s, bool wholeAreaLine, int& height) {
    QStringList lines;
    if (s.english()) {
        lines << QStringLiteral("Click L-btn=> Enlarge Map")
              << QStringLiteral("      R-btn=> Shrink Map")
              << QStringLiteral("(shift + L => Move area)");
        if (wholeAreaLine) lines << QStringLiteral("( Shift + R => Show all area)");
        height = wholeAreaLine ? 54 : 42;
    } else {
        lines << QString::fromUtf8("左ｸﾘｯｸで拡大/右ｸﾘｯｸで縮小")
              << QString::fromUtf8("（shift + 左ｸﾘｯｸで地図移動）");
        if (wholeAreaLine) lines << QString::fromUtf8("（Shift + 右ｸﾘｯｸで全図表示）");
        height = wholeAreaLine ? 42 : 32;
    }
    return lines.join(QLatin1Char('\n'));
}
}  // namespace

void RaceScreen::connectMapMouse() {
    connect(mapPicture, &PictureWidget::mouseDown, this, &RaceScreen::onMapPressed);
    connect(mapPicture, &PictureWidget::mouseMove, this,
            [this](Qt::MouseButtons b, Qt::KeyboardModifiers, double x, double y) {
                onMapMouseMoved(b, x, y);
            });
    connect(mapPicture, &PictureWidget::mouseUp, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, double x, double y) {
                onMapReleased(b, x, y);
            });
    connect(mapPicture, &PictureWidget::wheel, this, &RaceScreen::onMapWheel);
    connect(overviewPicture, &PictureWidget::mouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, double x, double y) {
                onOverviewPressed(b, QPointF(x, y));
            });
    // Toggled, not clicked: auto trace and the stop button untick it as well.
    connect(display_, &DisplayControls::rangeBearingToggled, this,
            &RaceScreen::applyRangeBearingCheck);
    connect(setup_, &RaceSetup::markModeClicked, this, &RaceScreen::toggleMarkMode);
    connect(setup_, &RaceSetup::lineModeClicked, this, &RaceScreen::toggleLineMode);
    connect(setup_, &RaceSetup::courseModeClicked, this, &RaceScreen::toggleCourseMode);
    coursePanel_ = new CoursePanel(settings_, mapPicture);
    connect(coursePanel_->clearButton(), &QPushButton::clicked, this, &RaceScreen::clearCourse);
    hints_ = new RaceHints(
        this, sidePanel, hintBox, boatHintBox, settings_, [this] { return hintsOn_; },
        [this] { return !browserMode(); });
    qApp->installEventFilter(hints_);
}

void RaceScreen::resetMapMouse() {
    mouse_ = MapMouseState{};
    setupModeChanged();
    hintBox->hide();
}

bool RaceScreen::mapClicksAct() const {
    return session_ && options_.ViewMode == ViewModeKind::Map && !options_.AutoTrace;
}

void RaceScreen::redrawView() {
    redrawBackground();
    paintFrame();
}

void RaceScreen::onMapPressed(Qt::MouseButton button, Qt::KeyboardModifiers mods, double x,
                              double y) {
    if (!session_) return;
    MapMouseState& m = mouse_;
    if (m.RangeBearingOn) {
        if (button == Qt::LeftButton) {
            m.RBOrigin = view_.toLatLon(x, y);
            m.RBOriginX = x;
            m.RBOriginY = y;
        } else {
            display_->setChecked(DisplayCheck::RangeBearing, false);  // ends the measuring
        }
        return;
    }
    if (!mapClicksAct()) return;
    const GeoPoint p = view_.toLatLon(x, y);
    const RaceDefinition& race = session_->race();
    if (m.CourseMode) {
        const MapPick pick = pickAt(race, p, view_.LonFactor, view_.Zoom);
        if (pick.any()) courseDefinitionChanged(session_->addCourseEntry(pick));
        return;
    }
    if (button != Qt::LeftButton && (m.MarkMode || m.LineMode != LineStage::Off)) {
        const MapPick pick = pickAt(race, p, view_.LonFactor, view_.Zoom);
        if (pick.kind == MapPick::Kind::Mark)
            courseDefinitionChanged(session_->deleteMark(pick.number));
        else if (pick.kind == MapPick::Kind::Line)
            courseDefinitionChanged(session_->deleteLine(pick.number));
        return;
    }
    if (lastKeyCode_ == kShiftKeyCode || (mods & Qt::ShiftModifier)) {
        if (button == Qt::LeftButton)
            moveCentreTo(view_, p);
        else
            showWholeArea(view_);
        redrawView();
        return;
    }
    if (m.MarkMode) {
        m.MarkMode = false;  // one mark a press of the button
        setupModeChanged();
        hintBox->hide();
        courseDefinitionChanged(session_->setMark(p));
        return;
    }
    if (m.LineMode == LineStage::FirstEnd) {
        m.LineStart = p;
        m.LineStartX = x;
        m.LineStartY = y;
        m.RubberLineShown = true;
        m.RubberX1 = m.RubberX2 = x;
        m.RubberY1 = m.RubberY2 = y;
        m.LineMode = LineStage::SecondEnd;
        mapPicture->update();
        return;
    }
    if (m.LineMode == LineStage::SecondEnd) {
        m.LineMode = LineStage::Off;
        m.RubberLineShown = false;
        m.LineStartX = m.LineStartY = 0;
        setupModeChanged();
        hintBox->hide();
        courseDefinitionChanged(session_->setLine(m.LineStart, p));
        return;
    }
    if (button == Qt::LeftButton) {
        // A left press zooms when it is let go where it was; moved further it drags the map.
        m.pressPending = true;
        m.dragging = false;
        m.pressX = m.lastX = x;
        m.pressY = m.lastY = y;
        return;
    }
    mapClickZoom(button, x, y);
}

void RaceScreen::mapClickZoom(Qt::MouseButton button, double x, double y) {
    if (zoomStep(view_, button == Qt::LeftButton, view_.toLatLon(x, y))) redrawView();
}

void RaceScreen::onMapReleased(Qt::MouseButton button, double, double) {
    MapMouseState& m = mouse_;
    if (button != Qt::LeftButton || !m.pressPending) return;
    m.pressPending = false;
    if (!m.dragging && mapClicksAct()) mapClickZoom(Qt::LeftButton, m.pressX, m.pressY);
    m.dragging = false;
}

void RaceScreen::onMapWheel(double x, double y, int angle) {
    const MapMouseState& m = mouse_;
    if (!mapClicksAct() || m.RangeBearingOn || m.anySetupMode()) return;
    mouse_.wheelRest += angle;
    const GeoPoint under = view_.toLatLon(x, y);
    bool changed = false;
    while (std::abs(mouse_.wheelRest) >= kWheelNotch) {
        const bool in = mouse_.wheelRest > 0;
        mouse_.wheelRest += in ? -kWheelNotch : kWheelNotch;
        changed |= zoomAround(view_, in, under);
    }
    if (changed) redrawView();
}

void RaceScreen::onMapMouseMoved(Qt::MouseButtons buttons, double x, double y) {
    if (!session_) return;
    MapMouseState& m = mouse_;
    if (m.pressPending && (buttons & Qt::LeftButton)) {
        if (!m.dragging && std::hypot(x - m.pressX, y - m.pressY) > kDragSlop) m.dragging = true;
        if (m.dragging) {
            if (mapClicksAct()) {
                panBy(view_, x - m.lastX, y - m.lastY);
                redrawView();
            }
            m.lastX = x;
            m.lastY = y;
            return;
        }
    }
    const GeoPoint p = view_.toLatLon(x, y);
    if (!options_.AutoTrace)
        setWindowTitle(QString::fromStdString(positionTitle(windowTitle_.toStdString(), p)));
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    if (!m.MarkMode && m.LineMode == LineStage::Off) {
        if (m.CourseMode) {
            const MapPick pick = pickAt(session_->race(), p, view_.LonFactor, view_.Zoom);
            if (!pick.any()) {
                hintBox->hide();
                return;
            }
            const QString label = QString::fromStdString(pickLabel(pick));
            const int w = fontMetrics().horizontalAdvance(label);
            showMapBox(label, w + 5, 0, ix - w / 2, iy - 20, false);
        } else if (m.RangeBearingOn && m.hasOrigin()) {
            m.RubberLineShown = true;
            m.RubberX1 = m.RBOriginX, m.RubberY1 = m.RBOriginY, m.RubberX2 = x, m.RubberY2 = y;
            const RangeBearing rb =
                rangeAndBearing(m.RBOrigin, p, view_.LonFactor, view_.MPerMinLat,
                                session_->race().MagneticVariation);
            const QString text = QString::fromStdString(rb.text);
            showMapBox(text, fontMetrics().horizontalAdvance(text) + 10, 15, 10, 10, false);
            mapPicture->update();
        } else if (const int k = renderer_.boatAt(x, y); k > 0 && options_.shown(k)) {
            // Over a boat symbol: its name and speed, whatever the hint box says.
            const QString label = FrameRenderer::boatLabel(session_->race().Boats[k].BoatName,
                                                           session_->frame().Boats[k].speed);
            const int w = fontMetrics().horizontalAdvance(label);
            showMapBox(label, w + 8, 0, ix, iy, true);
        } else if (!options_.AutoTrace && hintsOn_ && !m.RangeBearingOn) {
            int h = 0;
            const QString help = mapHelp(settings_, view_.Zoom > kOverviewRecentreZoom, h);
            showMapBox(help, 170, h, ix, iy, true);
        } else {
            hintBox->hide();
        }
        return;
    }
    if (m.LineMode == LineStage::SecondEnd) {
        m.RubberLineShown = true;
        m.RubberX1 = m.LineStartX, m.RubberY1 = m.LineStartY, m.RubberX2 = x, m.RubberY2 = y;
        mapPicture->update();
    } else if (m.RubberLineShown) {
        m.RubberLineShown = false;
        mapPicture->update();
    }
    if (!hintsOn_) {
        hintBox->hide();
        return;
    }
    if (m.MarkMode)
        showMapBox(QString::fromUtf8(kMarkPrompt), 200, 17, ix, iy, true);
    else if (m.LineMode == LineStage::FirstEnd)
        showMapBox(QString::fromUtf8(kFirstEndPrompt), 150, 17, ix, iy, true);
    else
        showMapBox(QString::fromUtf8(kSecondEndPrompt), 150, 17, ix, iy, true);
}

void RaceScreen::showMapBox(const QString& text, int width, int height, int x, int y, bool beside) {
    hintBox->setText(text);
    const QSize need = hintBox->sizeHint();
    const int w = std::max(width, need.width());
    const int h = std::max(height, need.height());
    hintBox->resize(w, h);
    const int left = beside ? boxLeftBesideCursor(0, x, w) : x;
    hintBox->move(mapPicture->mapToGlobal(QPoint(left, y)));
    hintBox->show();
    hintBox->raise();
}

void RaceScreen::paintMouseLayer(QPainter& p) const {
    const MapMouseState& m = mouse_;
    if (!m.RubberLineShown) return;
    const Rgb ink = options_.InkColour;
    p.setPen(QPen(QColor(ink.r, ink.g, ink.b), 1));
    p.drawLine(QPointF(m.RubberX1, m.RubberY1), QPointF(m.RubberX2, m.RubberY2));
}

void RaceScreen::onOverviewPressed(Qt::MouseButton button, QPointF pos) {
    if (!session_) return;
    const MapView& ov = overview_.view();
    if (button == Qt::LeftButton) {
        // At the whole-area zoom the map shows all of it already.
        if (options_.AutoTrace || !(view_.Zoom > kOverviewRecentreZoom)) return;
        moveCentreTo(view_, ov.toLatLon(pos.x(), pos.y()));
        redrawView();
        return;
    }
    if (!view_.windUp() || browserMode()) return;
    const double b = overviewScreenBearing(pos.x() - ov.ScreenCx, ov.ScreenCy - pos.y());
    const WriteResult w =
        session_->setWindDirection(windDirectionFromOverview(view_.ViewRotation, b));
    if (!w.ok) {
        sink_.show({w.error, {}, MessageButtons::Ok});
        return;
    }
    // The clicked direction is the wind now and is shown up.
    view_.setWindUp(session_->race().MeanWindDir);
    session_->setOrientation(false);
    wind_->showMeanWind(session_->race().MeanWindDir);
    redrawBackground();
    redrawOverview();
    redrawWindPanel();
    paintFrame();
}

void RaceScreen::applyRangeBearingCheck() {
    MapMouseState& m = mouse_;
    m.RBOriginX = m.RBOriginY = 0;
    m.RangeBearingOn = display_->isChecked(DisplayCheck::RangeBearing);
    if (m.RangeBearingOn) {
        // While measuring the set-up modes are off.
        m.MarkMode = m.CourseMode = false;
        m.LineMode = LineStage::Off;
        setupModeChanged();
    }
    m.RubberLineShown = false;
    hintBox->hide();
    mapPicture->update();
}

void RaceScreen::toggleMarkMode() {
    MapMouseState& m = mouse_;
    m.MarkMode = !m.MarkMode;
    if (m.MarkMode) {
        m.LineMode = LineStage::Off;
        m.CourseMode = false;
        m.RubberLineShown = false;
    }
    setupModeChanged();
}

void RaceScreen::toggleLineMode() {
    MapMouseState& m = mouse_;
    m.LineMode = m.LineMode == LineStage::Off ? LineStage::FirstEnd : LineStage::Off;
    if (m.LineMode != LineStage::Off) {
        m.MarkMode = m.CourseMode = false;
    } else {
        m.LineStartX = m.LineStartY = 0;
    }
    m.RubberLineShown = false;
    mapPicture->update();
    setupModeChanged();
}

void RaceScreen::toggleCourseMode() {
    MapMouseState& m = mouse_;
    m.CourseMode = !m.CourseMode;
    if (m.CourseMode) {
        m.MarkMode = false;
        m.LineMode = LineStage::Off;
        m.RubberLineShown = false;
        mapPicture->update();
    }
    setupModeChanged();
}

void RaceScreen::clearCourse() {
    if (session_) courseDefinitionChanged(session_->clearCourse());
}

void RaceScreen::setupModeChanged() {
    const MapMouseState& m = mouse_;
    setup_->showModes(m.MarkMode, m.LineMode != LineStage::Off, m.CourseMode);
    if (m.CourseMode && session_)
        coursePanel_->refresh(session_->race(), layout_.mapSize);
    else
        coursePanel_->hide();
    if (!m.anySetupMode()) hintBox->hide();
}

void RaceScreen::courseDefinitionChanged(const WriteResult& written) {
    if (!written.ok) {
        // Refused or not written: the race stays as it was, and says why.
        sink_.show({written.error, {}, MessageButtons::Ok});
        return;
    }
    const RaceDefinition& race = session_->race();
    if (coursePanel_->isVisible()) coursePanel_->refresh(race, layout_.mapSize);
    analysis_->setDataViewAvailable(race.CourseCount >= kCourseCountForTable);
    updateSetupButtons();
    // Marks and lines lie in the kept picture: a removed one goes only with a fresh background.
    redrawView();
}

}  // namespace brisko
