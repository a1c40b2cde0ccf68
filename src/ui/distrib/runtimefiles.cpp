// The program's own files for a distribution folder; see runtimefiles.h.
#include "ui/distrib/runtimefiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

namespace brisko {

namespace {

constexpr int kLddTimeoutMs = 20000;

// Libraries that Debian installs only as dependencies of Qt; a desktop without Qt lacks them.
// Everything else Qt links (X11, fontconfig, freetype, ICU, glib, GStreamer, PulseAudio) is
// part of every Debian 12 desktop.
const char* const kQtCompanions[] = {
    "libdouble-conversion.so", "libb2.so",        "libpcre2-16.so",      "libmd4c.so",
    "libxcb-cursor.so",        "libxcb-icccm.so", "libxcb-image.so",     "libxcb-keysyms.so",
    "libxcb-render-util.so",   "libxcb-util.so",  "libxkbcommon-x11.so", "libts.so",
};

DistributionFile copied(const QString& target, const QString& source) {
    DistributionFile f;
    f.target = target.toStdString();
    f.source = source.toStdString();
    return f;
}

DistributionFile written(const char* target, std::string bytes, bool executable = false) {
    DistributionFile f;
    f.target = target;
    f.bytes = std::move(bytes);
    f.executable = executable;
    return f;
}

}  // namespace

std::string startScript() {
    return "#!/bin/sh\n"
           "# Opens the races of this folder with the Brisko beside this script.\n"
           "here=$(dirname \"$(readlink -f \"$0\")\")\n"
           "LD_LIBRARY_PATH=\"$here/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}\"\n"
           "export LD_LIBRARY_PATH\n"
           "exec \"$here/brisko\" --app-dir \"$here\" \"$@\"\n";
}

std::string qtConf() {
    return "[Paths]\n"
           "Prefix = .\n"
           "Libraries = lib\n"
           "Plugins = plugins\n";
}

QStringList distributedPlugins(const QString& qtPluginFolder) {
    QStringList wanted = {QStringLiteral("platforms/libqxcb.so"),
                          // headless starts: --check on a machine without a display
                          QStringLiteral("platforms/libqoffscreen.so"),
                          // the start gun; GStreamer is Qt 6.4's media backend on Linux
                          QStringLiteral("multimedia/libgstreamermediaplugin.so")};
    for (const char* group : {"imageformats", "platforminputcontexts"}) {
        const QDir dir(qtPluginFolder + "/" + group);
        for (const QString& f : dir.entryList({QStringLiteral("*.so")}, QDir::Files, QDir::Name))
            wanted << QString::fromLatin1(group) + "/" + f;
    }
    QStringList present;
    for (const QString& p : wanted)
        if (QFileInfo(qtPluginFolder + "/" + p).isFile()) present << p;
    return present;
}

bool isDistributedLibrary(const QString& soname) {
    if (soname.startsWith(QLatin1String("libQt6"))) return true;
    for (const char* c : kQtCompanions)
        if (soname.startsWith(QLatin1String(c))) return true;
    return false;
}

QList<RuntimeLibrary> runtimeLibraries(const QStringList& files, QStringList* missing) {
    const QString ldd = QStandardPaths::findExecutable(QStringLiteral("ldd"));
    QList<RuntimeLibrary> result;
    if (ldd.isEmpty() || files.isEmpty()) {
        if (missing && !files.isEmpty()) *missing << QStringLiteral("ldd");
        return result;
    }
    QSet<QString> seen;
    // "\tlibQt6Core.so.6 => /lib/x86_64-linux-gnu/libQt6Core.so.6 (0x...)" or "... => not found"
    static const QRegularExpression line(
        QStringLiteral(R"(^\s*(\S+)\s+=>\s+(.+?)(\s+\(0x[0-9a-f]+\))?\s*$)"));
    for (const QString& file : files) {
        QProcess p;
        p.start(ldd, {file});
        if (!p.waitForFinished(kLddTimeoutMs) || p.exitCode() != 0) {
            p.kill();
            if (missing) *missing << file;
            continue;
        }
        for (const QString& l : QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n')) {
            auto m = line.match(l);
            if (!m.hasMatch()) continue;
            const QString soname = m.captured(1);
            const QString path = m.captured(2).trimmed();
            if (!isDistributedLibrary(soname) || seen.contains(soname)) continue;
            seen.insert(soname);
            if (path == QLatin1String("not found") || !QFileInfo(path).isFile()) {
                if (missing) *missing << soname;
                continue;
            }
            result.push_back({soname, path});
        }
    }
    return result;
}

ProgramFiles programFilesFor(const QString& executable, const QString& qtPluginFolder) {
    ProgramFiles pf;
    pf.program.push_back(copied(QString::fromLatin1(kProgramFileName), executable));
    pf.program.push_back(written(kStartScriptName, startScript(), true));

    const QString plugins =
        qtPluginFolder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::PluginsPath) : qtPluginFolder;
    QStringList examined = {executable};
    for (const QString& p : distributedPlugins(plugins)) {
        pf.runtime.push_back(
            copied(QString::fromLatin1(kPluginFolder) + "/" + p, plugins + "/" + p));
        examined << plugins + "/" + p;
    }
    // The soname is the name the program asks for, so the copy takes it whatever file the
    // name links to.
    QStringList missing;
    for (const RuntimeLibrary& lib : runtimeLibraries(examined, &missing))
        pf.runtime.push_back(
            copied(QString::fromLatin1(kLibraryFolder) + "/" + lib.soname, lib.path));
    // What cannot be found is left out and said, like any other skipped file.
    for (const QString& m : missing) pf.missing.push_back(m.toStdString());
    pf.runtime.push_back(written("qt.conf", qtConf()));
    return pf;
}

}  // namespace brisko
