// The race screen's map mouse: zooming, moving and measuring on the map box, setting marks,
// lines and the course order on it, the overview's clicks and the hints. See racescreen.h.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <variant>

#include "interact/mapmouse.h"
#include "interact/mapmousemachine.h"
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

MouseButton mouseButton(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return MouseButton::Left;
        case Qt::RightButton:
            return MouseButton::Right;
        default:
            return MouseButton::Middle;
    }
}

MouseButtons mouseButtons(Qt::MouseButtons b) {
    return {.left = b.testFlag(Qt::LeftButton),
            .right = b.testFlag(Qt::RightButton),
            .middle = b.testFlag(Qt::MiddleButton)};
}

KeyModifiers keyModifiers(Qt::KeyboardModifiers m) {
    return {.shift = m.testFlag(Qt::ShiftModifier),
            .control = m.testFlag(Qt::ControlModifier),
            .alt = m.testFlag(Qt::AltModifier)};
}

// Picks the handler of each kind of map mouse action.
template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

}  // namespace

void RaceScreen::connectMapMouse() {
    connect(mapPicture, &PictureWidget::mouseDown, this, &RaceScreen::onMapPressed);
    connect(mapPicture, &PictureWidget::mouseMove, this,
            [this](Qt::MouseButtons b, Qt::KeyboardModifiers, double x, double y) {
                onMapMouseMoved(b, x, y);
            });
    connect(mapPicture, &PictureWidget::mouseUp, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, double, double) { onMapReleased(b); });
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

void RaceScreen::resetMapMouse() { carryOut(mouse_.reset()); }

MapMouseScene RaceScreen::mouseScene() const {
    return {.view = view_,
            .race = session_ ? &session_->race() : nullptr,
            .mapShown = options_.ViewMode == ViewModeKind::Map,
            .autoTrace = options_.AutoTrace,
            .hintsOn = hintsOn_,
            .browserMode = browserMode()};
}

void RaceScreen::redrawView() {
    redrawBackground();
    paintFrame();
}

void RaceScreen::onMapPressed(Qt::MouseButton button, Qt::KeyboardModifiers mods, double x,
                              double y) {
    KeyModifiers keys = keyModifiers(mods);
    keys.shift |= lastKeyCode_ == kShiftKeyCode;
    carryOut(mouse_.press(mouseButton(button), keys, {x, y}, mouseScene()));
}

void RaceScreen::onMapReleased(Qt::MouseButton button) {
    carryOut(mouse_.release(mouseButton(button), mouseScene()));
}

void RaceScreen::onMapWheel(double x, double y, int angle) {
    carryOut(mouse_.wheel({x, y}, angle, mouseScene()));
}

void RaceScreen::onMapMouseMoved(Qt::MouseButtons buttons, double x, double y) {
    const int k = session_ ? session_->frameLayout().boatAt(x, y) : 0;
    const int boat = k > 0 && options_.shown(k) ? k : 0;
    std::string manoeuvre;
    if (session_) {
        const std::vector<ManoeuvreMark>& marks = session_->manoeuvreMarks();
        if (const int m = manoeuvreMarkAt(marks, x, y); m >= 0)
            manoeuvre = marks[static_cast<size_t>(m)].hint;
    }
    carryOut(mouse_.move(mouseButtons(buttons), {x, y}, boat, mouseScene(), manoeuvre));
}

void RaceScreen::onOverviewPressed(Qt::MouseButton button, QPointF pos) {
    carryOut(mouse_.overviewPress(mouseButton(button), {pos.x(), pos.y()}, overview_.view(),
                                  mouseScene()));
}

void RaceScreen::carryOut(const MapActions& actions) {
    for (const MapAction& action : actions) {
        std::visit(
            Overloaded{
                [this](const mapmouse::ZoomTo& a) {
                    zoomTo(view_, a.zoom, a.centre);
                    redrawView();
                },
                [this](const mapmouse::PanBy& a) {
                    panBy(view_, a.dx, a.dy);
                    redrawView();
                },
                [this](const mapmouse::ShowPosition& a) {
                    setWindowTitle(
                        QString::fromStdString(positionTitle(windowTitle_.toStdString(), a.at)));
                },
                [this](const mapmouse::ShowBox& a) { showBox(a); },
                [this](const mapmouse::HideBox&) { hintBox->hide(); },
                [this](const mapmouse::ShowRubberLine&) { mapPicture->update(); },
                [this](const mapmouse::HideRubberLine&) { mapPicture->update(); },
                [this](const mapmouse::ModesChanged&) { setupModeChanged(); },
                [this](const mapmouse::EndMeasuring&) {
                    display_->setChecked(DisplayCheck::RangeBearing, false);
                },
                [this](const mapmouse::AddMark& a) {
                    courseDefinitionChanged(session_->setMark(a.at));
                },
                [this](const mapmouse::AddLine& a) {
                    courseDefinitionChanged(session_->setLine(a.end1, a.end2));
                },
                [this](const mapmouse::DeleteMark& a) {
                    courseDefinitionChanged(session_->deleteMark(a.number));
                },
                [this](const mapmouse::DeleteLine& a) {
                    courseDefinitionChanged(session_->deleteLine(a.number));
                },
                [this](const mapmouse::AddCourseEntry& a) {
                    courseDefinitionChanged(session_->addCourseEntry(a.pick));
                },
                [this](const mapmouse::SetWindDirection& a) { setWindFromOverview(a.degrees); },
            },
            action);
    }
}

void RaceScreen::showBox(const mapmouse::ShowBox& b) {
    const QString text = QString::fromStdString(b.text);
    switch (b.box) {
        case MapBox::PickLabel: {
            const int w = fontMetrics().horizontalAdvance(text);
            showMapBox(text, w + 5, 0, b.x - w / 2, b.y - 20, false);
            break;
        }
        case MapBox::RangeBearing:
            showMapBox(text, fontMetrics().horizontalAdvance(text) + 10, 15, 10, 10, false);
            break;
        case MapBox::Boat: {
            const QString label = FrameRenderer::boatLabel(session_->race().Boats[b.boat].BoatName,
                                                           session_->frame().Boats[b.boat].speed);
            showMapBox(label, fontMetrics().horizontalAdvance(label) + 8, 0, b.x, b.y, true);
            break;
        }
        case MapBox::Manoeuvre:
            showMapBox(text, fontMetrics().horizontalAdvance(text) + 8, 0, b.x, b.y, true);
            break;
        case MapBox::MapHelp: {
            int h = 0;
            const QString help = mapHelp(settings_, b.wholeAreaLine, h);
            showMapBox(help, 170, h, b.x, b.y, true);
            break;
        }
        case MapBox::MarkPrompt:
            showMapBox(QString::fromUtf8(kMarkPrompt), 200, 17, b.x, b.y, true);
            break;
        case MapBox::FirstEndPrompt:
            showMapBox(QString::fromUtf8(kFirstEndPrompt), 150, 17, b.x, b.y, true);
            break;
        case MapBox::SecondEndPrompt:
            showMapBox(QString::fromUtf8(kSecondEndPrompt), 150, 17, b.x, b.y, true);
            break;
    }
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
    const MapMouseState& m = mouse_.state();
    if (!m.RubberLineShown) return;
    const Rgb ink = options_.InkColour;
    p.setPen(QPen(QColor(ink.r, ink.g, ink.b), 1));
    p.drawLine(QPointF(m.RubberFrom.x, m.RubberFrom.y), QPointF(m.RubberTo.x, m.RubberTo.y));
}

void RaceScreen::setWindFromOverview(int degrees) {
    const WriteResult w = session_->setWindDirection(degrees);
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
    carryOut(mouse_.setMeasuring(display_->isChecked(DisplayCheck::RangeBearing)));
}

void RaceScreen::toggleMarkMode() { carryOut(mouse_.toggleMarkMode()); }

void RaceScreen::toggleLineMode() { carryOut(mouse_.toggleLineMode()); }

void RaceScreen::toggleCourseMode() { carryOut(mouse_.toggleCourseMode()); }

void RaceScreen::clearCourse() {
    if (session_) courseDefinitionChanged(session_->clearCourse());
}

void RaceScreen::setupModeChanged() {
    const MapMouseState& m = mouse_.state();
    setup_->showModes(m.MarkMode, m.LineMode != LineStage::Off, m.CourseMode);
    if (m.CourseMode && session_)
        coursePanel_->refresh(session_->race(), layout_.mapSize);
    else
        coursePanel_->hide();
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
