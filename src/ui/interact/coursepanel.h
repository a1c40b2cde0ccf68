// The course order panel `Picture9` over the map's top right corner: the caption `Label4`, the
// list `List1` of the course entries and the button `Command8` that clears the course.
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
    QPushButton* clearButton() const { return Command8; }
    QListWidget* list() const { return List1; }

private:
    const AppSettings& settings_;
    QLabel* Label4 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command8 = nullptr;
};

}  // namespace brisko
