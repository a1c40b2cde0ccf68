// The screen picture: the main view (map with boats, speed graph or data view), the overview,
// the race file name, the shown date and time and the boats' colour legend, composed into one
// image and saved as a standard bitmap file that the desktop's image program opens.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <string>
#include <vector>

#include "util/fileutil.h"

namespace brisko {

struct ScreenPictureParts {
    QImage main;      // what the map area shows
    QImage overview;  // the overview map
    QString raceFile;
    QString dateTime;
    struct Row {
        QString name;
        QColor colour;
    };
    std::vector<Row> legend;
    QFont font;
};

constexpr int kLegendPitch = 16;
constexpr int kLegendRowHeight = 13;

// Where the legend's first row starts (its top), for the parts given.
int legendTop(const ScreenPictureParts& parts);
// The composed picture: the main view at (5, 5), the right column beside it. The picture is as
// tall as the main view or the legend needs, so that no legend row is cut off.
QImage composeScreenPicture(const ScreenPictureParts& parts);

// Saves the picture as a Windows bitmap, replacing the file atomically.
WriteResult saveBitmap(const QImage& picture, const std::string& path);

}  // namespace brisko
