// What the program asks of the desktop it runs on. The core states the questions; the platform
// layer answers them with Qt and the operating system, and tests answer them with a fake.
#pragma once

#include <string>

namespace brisko {

class PlatformServices {
public:
    virtual ~PlatformServices() = default;
    // Whether the folder lies on a CD-ROM or DVD filesystem (ISO 9660 or UDF).
    virtual bool isOnCdRom(const std::string& folder) = 0;
    // Starts a program in a normal window without waiting for it; false when it cannot start.
    virtual bool startDetached(const std::string& program) = 0;
    // Opens a document with its associated program; empty on success, else the failure message.
    virtual std::string openDocument(const std::string& path) = 0;
    // Plays a sound file without waiting; silent where there is no audio device.
    virtual void playSound(const std::string& path) = 0;
};

}  // namespace brisko
