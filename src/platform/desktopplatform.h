// The desktop answers to PlatformServices: Qt and Linux in place of the Windows calls.
// Created once by main() and handed to the windows that open documents, start programs or play.
#pragma once

#include <memory>

#include "app/platformservices.h"

class QSoundEffect;

namespace brisko {

// Why a document could not be opened, numbered as the shell's failure codes that the messages
// were written for.
enum class OpenFailure {
    OutOfResources = 0,
    FileNotFound = 2,
    PathNotFound = 3,
    AccessDenied = 5,
    BadFormat = 11,
    IncompleteAssociation = 27,
    NoAssociation = 31,
    Other = -1,
};

// The Japanese message shown for a failure, whatever the language setting.
std::string openFailureMessage(OpenFailure failure);

class DesktopPlatform : public PlatformServices {
public:
    DesktopPlatform();
    ~DesktopPlatform() override;
    bool isOnCdRom(const std::string& folder) override;
    bool startDetached(const std::string& program) override;
    std::string openDocument(const std::string& path) override;
    void playSound(const std::string& path) override;

private:
    std::unique_ptr<QSoundEffect> sound_;
};

}  // namespace brisko
