// What a copy of the program needs beside it on Linux: the executable with its start script,
// and the runtime files (the Qt libraries it links, the platform, image-format, input and
// multimedia plugins, and a qt.conf that makes Qt look for them in the copy's own folder).
// Used by the distribution builder.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "distrib/distribution.h"

namespace brisko {

// Names inside a distribution folder.
inline constexpr const char* kProgramFileName = "brisko";
inline constexpr const char* kStartScriptName = "Brisko.sh";
inline constexpr const char* kLibraryFolder = "lib";
inline constexpr const char* kPluginFolder = "plugins";

// The start script: runs the program beside it on the races of its folder.
std::string startScript();
// Qt's configuration beside the program: libraries in lib/, plugins in plugins/.
std::string qtConf();

// The plugins copied, as "group/file" under Qt's plugin folder, when present there.
QStringList distributedPlugins(const QString& qtPluginFolder);

// The libraries `ldd` resolves for the files: the Qt libraries and the few libraries that only
// Qt brings onto a Debian desktop. Each soname once, with the absolute path it resolves to.
// Libraries ldd cannot find, and files it cannot examine, are added to `missing`.
struct RuntimeLibrary {
    QString soname;
    QString path;
};
QList<RuntimeLibrary> runtimeLibraries(const QStringList& files, QStringList* missing = nullptr);

// Whether a library (by its soname) goes into a distribution's lib folder.
bool isDistributedLibrary(const QString& soname);

// The program file and start script, and the runtime files, for the given executable and Qt's
// plugin folder (QLibraryInfo's when empty).
ProgramFiles programFilesFor(const QString& executable, const QString& qtPluginFolder = {});

}  // namespace brisko
