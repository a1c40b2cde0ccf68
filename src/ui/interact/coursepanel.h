// The course order panel over the map's top right corner: its caption, the list of the course
// entries and the button that clears the course.
#pragma once

#include <QWidget>

#include "app/appsettings.h"
#include "race/racedefinition.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace brisko {

class CoursePanel : public QWidget {
    Q_OBJECT
public:
    CoursePanel(const AppSettings& settings, QWidget* map);

    // Fills the list with the race's course and sizes and places the panel for a map box of
    // mapWidth pixels.
    void refresh(const RaceDefinition& race, int mapWidth);
    QPushButton* clearButton() const { return clearButton_; }
    QListWidget* list() const { return list_; }

private:
    const AppSettings& settings_;
    QLabel* titleLabel_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* clearButton_ = nullptr;
};

}  // namespace brisko
