// The vertical time bar beside the map: time runs upwards; a click jumps to a time,
// hovering previews it, a Shift-drag chooses the replay period and Shift + right click cancels it.
// The strip (upwind/downwind zones, start and finish lines) is painted by a replaceable painter;
// over it the bar draws its minute ticks with their times and marks a chosen replay period.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

#include "app/appsettings.h"
#include "race/racetimes.h"
#include "display/playbackclock.h"

namespace brisko {

class TimeBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 30;
    static constexpr int kDragStripWidth = 6;

    explicit TimeBar(QWidget* parent = nullptr);

    // The race's length; the bar's height is its own.
    void setRace(double raceSeconds, double raceSecondsPlus);
    const TimeBarScale& scale() const { return scale_; }
    // The replay period; a period the user chose (Shift-drag) is marked beside the strip.
    void setPeriod(double from, double to, bool limited);
    bool periodMarked() const { return periodLimited_; }
    // Minutes between the ticks of the time scale for a bar of the given scale: the first of
    // 1, 2, 5, 10, 15, 30, 60 whose ticks lie far enough apart for their labels.
    static int tickMinutes(const TimeBarScale& scale);
    // The current time's cursor.
    void setCursorTime(double raceTime);
    double cursorTime() const { return cursorTime_; }

    // Paints the strip into the bar's kept picture (called when the bar is resized or the race
    // changes). The default painter draws a plain strip with the start and finish lines.
    using StripPainter = std::function<void(QPainter&, const TimeBarScale&, QSize)>;
    void setStripPainter(StripPainter painter);
    void repaintStrip();
    const QImage& strip() const { return strip_; }

    bool dragging() const { return dragStartY_ >= 0; }
    int dragStartY() const { return dragStartY_; }

    // The hover text: the time of day at t, "   (", t, " Sec)", then the help lines.
    static QString hoverText(double t, const RaceTime& raceStart, const AppSettings& settings);

signals:
    void timeClicked(double t);                    // press without Shift
    void previewTime(double t, QPoint globalPos);  // mouse over the bar
    void previewEnded();
    void periodChosen(double from, double to);  // Shift-drag released
    void periodCancelled();                     // Shift + other than the left button

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;

private:
    static void defaultStrip(QPainter& p, const TimeBarScale& scale, QSize size);
    void drawTicks(QPainter& p) const;

    TimeBarScale scale_;
    double cursorTime_ = 0;
    QImage strip_;
    StripPainter painter_;
    int dragStartY_ = -1;  // where a Shift-drag began, -1 when none
    int dragY_ = -1;
    bool stripCleared_ = false;  // the 6-pixel drag strip shows the bar's background
    double periodFrom_ = 0, periodTo_ = 0;
    bool periodLimited_ = false;
};

}  // namespace brisko
