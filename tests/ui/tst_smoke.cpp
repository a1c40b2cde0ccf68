// The placeholder window opens offscreen.
#include <QtTest>

#include "ui/app/placeholderwindow.h"

class TstSmoke : public QObject {
    Q_OBJECT
private slots:
    void opens() {
        brisko::PlaceholderWindow w("/tmp", "race.txt");
        w.show();
        QVERIFY(w.isVisible());
    }
};

QTEST_MAIN(TstSmoke)
#include "tst_smoke.moc"
