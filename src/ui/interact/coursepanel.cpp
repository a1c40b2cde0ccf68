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
    setObjectName(QStringLiteral("coursePanel"));
    setAutoFillBackground(true);
    titleLabel_ = new QLabel(QString::fromUtf8(settings.tr("レースコース", "Course Order")), this);
    titleLabel_->setObjectName(QStringLiteral("courseOrderLabel"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("courseList"));
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    clearButton_ =
        new QPushButton(QString::fromUtf8(settings.tr("ﾃﾞｰﾀ消去", "Delete Order")), this);
    clearButton_->setObjectName(QStringLiteral("clearCourseButton"));
    QFont f = font();
    f.setPointSizeF(scaledPointSize(kPointSize, settings));
    for (QWidget* w : {static_cast<QWidget*>(titleLabel_), static_cast<QWidget*>(list_),
                       static_cast<QWidget*>(clearButton_)})
        w->setFont(f);
    hide();
}

void CoursePanel::refresh(const RaceDefinition& race, int mapWidth) {
    const int count = std::clamp(race.CourseCount, 0, kMaxCourse);
    const int h = coursePanelH(count);
    setGeometry(mapWidth - kFromRight, kTop, kPanelWidth, h + 55);
    titleLabel_->setGeometry(8, 5, 97, 17);
    list_->setGeometry(5, 20, 75, courseListHeight(count));
    clearButton_->setGeometry(5, h + 30, 76, 17);
    list_->clear();
    for (int i = 1; i <= count; ++i)
        list_->addItem(QString::fromStdString(courseListLine(i, race.Course[i])));
    show();
    raise();
}

}  // namespace brisko
