// The start check: "brisko --check" (or "--screenshot FILE") opens the start-up race as the
// program would, writes what the race screen shows on standard output (and its picture to FILE),
// and ends. Lets a user, an installer or a test see that a copy of the program works.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

#include "app/messages.h"

namespace brisko {

class RaceScreen;

struct StartCheckRequest {
    bool wanted = false;
    QString screenshot;  // empty: no picture
};

// Reads "--check", "--screenshot FILE" and "--screenshot=FILE" from the arguments.
StartCheckRequest startCheckRequest(const QStringList& arguments);

// Writes the report of the opened race screen; 0 when a race with boats is shown and the
// picture (when asked for) was saved, else 1.
int reportStartCheck(RaceScreen& raceScreen, const StartCheckRequest& request, int messages);

}  // namespace brisko
