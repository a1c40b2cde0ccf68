// Running another program to the end and collecting what it prints: found on PATH, started with
// posix_spawn (no shell in between), standard input from /dev/null. Used to read shorelines
// through gmt; callers that need to fake the program take a ProgramRunner instead.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace brisko {

struct ProgramRun {
    int spawnError = 0;  // errno of a program that could not be started (ENOENT: not found)
    int status = -1;     // exit status when it ended normally, else -1
    std::string out, err;
};

// Runs args[0] (looked up on PATH) with the arguments that follow and waits for it.
ProgramRun runProgram(const std::vector<std::string>& args);

using ProgramRunner = std::function<ProgramRun(const std::vector<std::string>& args)>;

}  // namespace brisko
