// The course order panel; see coursepanel.h.
#include "ui/interact/coursepanel.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "interact/mapmouse.h"
#include "ui/widgets/captions.h"

namespace brisko {

namespace {
constexpr int kPanelWidth = 90;
constexpr int kFromRight = 100;
constexpr int kTop = 10;
constexpr double kPointSize = 9;
}  // namespace

CoursePanel::CoursePanel(const AppSettings& settings, QWidget* map)
    : QWidget(map), settings_(settings) {
    setObjectName(QStringLiteral("Picture9"));
    setAutoFillBackground(true);
    Label4 = new QLabel(QString::fromUtf8(settings.tr("レースコース", "Course Order")), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Command8 = new QPushButton(QString::fromUtf8(settings.tr("ﾃﾞｰﾀ消去", "Delete Order")), this);
    Command8->setObjectName(QStringLiteral("Command8"));
    QFont f = font();
    f.setPointSizeF(scaledPointSize(kPointSize, settings));
    for (QWidget* w : {static_cast<QWidget*>(Label4), static_cast<QWidget*>(List1),
                       static_cast<QWidget*>(Command8)})
        w->setFont(f);
    hide();
}

void CoursePanel::refresh(const RaceDefinition& race, int mapWidth) {
    const int count = std::clamp(race.CourseCount, 0, kMaxCourse);
    const int h = coursePanelH(count);
    setGeometry(mapWidth - kFromRight, kTop, kPanelWidth, h + 55);
    Label4->setGeometry(8, 5, 97, 17);
    List1->setGeometry(5, 20, 75, courseListHeight(count));
    Command8->setGeometry(5, h + 30, 76, 17);
    List1->clear();
    for (int i = 1; i <= count; ++i)
        List1->addItem(QString::fromStdString(courseListLine(i, race.Course[i])));
    show();
    raise();
}

}  // namespace brisko
