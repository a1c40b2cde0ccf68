// The replay paints the map once a tick, whether the boats are in the map box or the replay
// crosses a stretch with none in it.
#include <QtTest>

#include "racescreen.h"

using namespace brisko;
using namespace brisko::test;

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) : w_(w) { w->installEventFilter(this); }
    ~PaintCounter() override { w_->removeEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == w_ && e->type() == QEvent::Paint) ++paints;
        return false;
    }

private:
    QWidget* w_;
};

struct Count {
    int ticks = 0;
    int paints = 0;
    double raceSeconds = 0;
};

// About a second of replay on the screen: the replay timer's ticks, the map box's paint events
// and the race time gained.
Count replayASecond(Screen& s) {
    Count c;
    QTimer* timer = s.c<QTimer>("replayTimer");
    PaintCounter painted(s.map());
    const QMetaObject::Connection counting =
        QObject::connect(timer, &QTimer::timeout, [&c] { ++c.ticks; });
    const double before = s.clock().RaceTime;
    QTest::qWait(1000);
    timer->stop();
    QObject::disconnect(counting);
    QCoreApplication::processEvents();  // the last tick's paint
    c.paints = painted.paints;
    c.raceSeconds = s.clock().RaceTime - before;
    return c;
}

}  // namespace

class TstFramePaints : public QObject {
    Q_OBJECT
private slots:
    void onePaintPerTickWithBoatsInView() {
        Screen s(kDemo, 1, 1);
        QVERIFY(s.showOnScreen());
        s.jump(600);  // mid-race: the fleet is in the map box
        const Count c = replayASecond(s);
        qInfo("boats in view: %d paints over %d ticks", c.paints, c.ticks);
        QVERIFY(c.ticks >= 10);
        QVERIFY2(c.paints <= c.ticks + 1, qPrintable(QString::number(c.paints)));
        QVERIFY(c.paints >= c.ticks / 2);
    }

    void onePaintPerTickWhileCrossingAStretchWithNoBoat() {
        Screen s(kDemo, 1, 1);
        QVERIFY(s.showOnScreen());
        s.jump(600);
        // Zoomed in on the map box's corner, far from the fleet.
        for (int i = 0; i < 12; ++i)
            QTest::mouseClick(s.map(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        const Count c = replayASecond(s);
        qInfo("no boat in view: %d paints over %d ticks, %.1f race seconds", c.paints, c.ticks,
              c.raceSeconds);
        QVERIFY(c.ticks >= 10);
        // The stretch is crossed faster, three catch-up steps of 5 s a tick...
        QVERIFY(c.raceSeconds > 10 * c.ticks);
        // ...and still painted once a tick.
        QVERIFY2(c.paints <= c.ticks + 1, qPrintable(QString::number(c.paints)));
    }
};

QTEST_MAIN(TstFramePaints)
#include "tst_framepaints.moc"
