// Helpers of the window tests: a platform that records what it is asked, a copy of the demo
// folder, and answering the next modal dialog.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "app/platformservices.h"

namespace brisko::test {

class FakePlatform : public PlatformServices {
public:
    bool isOnCdRom(const std::string&) override { return false; }
    bool startDetached(const std::string& program) override {
        started.push_back(program);
        return startResult;
    }
    std::string openDocument(const std::string& path) override {
        opened.push_back(path);
        return openResult;
    }
    void playSound(const std::string&) override {}

    std::vector<std::string> started, opened;
    bool startResult = true;
    std::string openResult;  // empty: the document opened
};

// Copies a folder tree; false when a file could not be copied.
inline bool copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir src(from);
    for (const QFileInfo& fi : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + fi.fileName();
        if (fi.isDir() ? !copyTree(fi.filePath(), target) : !QFile::copy(fi.filePath(), target))
            return false;
    }
    return true;
}

inline void writeText(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// Calls `answer` with the next modal dialog as soon as it is shown.
inline void onNextModal(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(w);
        }
    });
    timer->start();
}

}  // namespace brisko::test
