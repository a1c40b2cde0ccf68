// The replay paints the map once a tick: the race session works the frame out once, and the map
// box is painted from it once, whether the boats are in the map box or the replay crosses a
// stretch with none in it. The mouse finds the boats where the frame laid them out.
#include <QLabel>
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
    long long framesLaidOut = 0;
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
    const long long laidOut = s.session().frameLayout().framesLaidOut;
    QTest::qWait(1000);
    timer->stop();
    QObject::disconnect(counting);
    QCoreApplication::processEvents();  // the last tick's paint
    c.paints = painted.paints;
    c.framesLaidOut = s.session().frameLayout().framesLaidOut - laidOut;
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
        qInfo("boats in view: %d paints, %lld frames laid out over %d ticks", c.paints,
              c.framesLaidOut, c.ticks);
        QVERIFY(c.ticks >= 10);
        QCOMPARE(c.framesLaidOut, c.ticks);
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
        qInfo("no boat in view: %d paints, %lld frames laid out over %d ticks, %.1f race seconds",
              c.paints, c.framesLaidOut, c.ticks, c.raceSeconds);
        QVERIFY(c.ticks >= 10);
        QVERIFY(!s.session().frameLayout().anyInView);
        QCOMPARE(c.framesLaidOut, c.ticks);
        // The stretch is crossed faster, three catch-up steps of 5 s a tick...
        QVERIFY(c.raceSeconds > 10 * c.ticks);
        // ...and still painted once a tick.
        QVERIFY2(c.paints <= c.ticks + 1, qPrintable(QString::number(c.paints)));
    }

    void theMouseFindsTheBoatsWhereTheFrameLaidThemOut() {
        Screen s(kDemo, 1, 1);
        QVERIFY(s.showOnScreen());
        s.jump(600);
        s.stop();
        const FrameLayout& f = s.session().frameLayout();
        QLabel* hint = s.c<QLabel>("hintBox");
        int found = 0;
        for (int k = 1; k <= f.boatCount; ++k) {
            const BoatPlace& b = f.boats[k];
            if (!b.drawn || !b.inView) continue;
            const QPoint at(qRound(b.x), qRound(b.y));
            // Where symbols overlap the one on top is named.
            const int top = f.boatAt(at.x(), at.y());
            QVERIFY(top >= k);
            QTest::mouseMove(s.map(), at);
            const QString name = QString::fromStdString(s.race().Boats[top].BoatName);
            QVERIFY2(hint->isVisible() && hint->text().startsWith(name + QStringLiteral(" (")),
                     qPrintable(hint->text()));
            ++found;
        }
        QVERIFY(found >= 5);
        // Open sea, away from every symbol and from the panels over the map: the map's help,
        // no boat.
        QPoint sea;
        for (int y = s.map()->height() / 2; y < s.map()->height() && sea.isNull(); y += 20)
            for (int x = 5; x < s.map()->width() && sea.isNull(); x += 20)
                if (f.boatAt(x, y) == 0 && f.boatAt(x + 1, y + 1) == 0 &&
                    s.map()->childAt(x, y) == nullptr &&
                    !s.c("timePanel")->geometry().contains(s.map()->mapTo(s.w.get(), QPoint(x, y))))
                    sea = QPoint(x, y);
        QVERIFY(!sea.isNull());
        QTest::mouseMove(s.map(), sea);
        QVERIFY(hint->isVisible());
        for (int k = 1; k <= f.boatCount; ++k)
            QVERIFY(!hint->text().startsWith(QString::fromStdString(s.race().Boats[k].BoatName)));
    }
};

QTEST_MAIN(TstFramePaints)
#include "tst_framepaints.moc"
