// The bad-input matrix: damaged race, track, wind and coastline files, unsafe names and more
// records than the race holds, each run through brisko-analyse (exit status, message, time and
// peak memory) and through the race opening itself (result and message). The cases are a table;
// big inputs are made here at run time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "race/racedefinition.h"
#include "session/openrace.h"
#include "util/fileutil.h"

namespace brisko {
namespace {

namespace fs = std::filesystem;

const std::string kDemo = BRISKO_DEMO_DIR;
// Every case stays under 200 MB. A sanitizer's shadow memory alone takes more than half of
// that, so under one the bound says nothing and is widened.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr long kMaxPeakKiB = 1024 * 1024;
#else
constexpr long kMaxPeakKiB = 200 * 1024;
#endif
constexpr double kMaxSeconds = 20;  // a run that takes longer has hung

// The race every case starts from: two boats of the demo race, its marks, lines, course,
// wind file and coastline tile.
const std::string kRace =
    "WF, race_WIND.CSV\r\n"
    "ST, 2026/06/07 11:00:00\r\n"
    "FT, 2026/06/07 11:48:00\r\n"
    "TD,  9\r\n"
    "WD,  205\r\n"
    "BN, JPN4012.trk, Alpha\r\n"
    "BN, JPN3877.trk, Bravo\r\n"
    "MK, 2115.5192, 8367.9329\r\n"
    "MK, 2116.1363, 8368.2838\r\n"
    "LN, 2116.2217, 8368.2632, 2116.1783, 8368.3768\r\n"
    "LN, 2116.117, 8368.3965, 2116.0896, 8368.4682\r\n"
    "CRS, L1, MK1, MK2, MK1, L2\r\n"
    "MAP, 5239\r\n"
    "LL, 45,160\r\n"
    "BT, 5\r\n";

// A scratch application folder holding the race above; removed afterwards.
struct App {
    App() {
        char tmpl[] = "/tmp/brisko-badinput-XXXXXX";
        root = ::mkdtemp(tmpl);
        path = root + "/app";
        fs::create_directories(path + "/RaceAdmin");
        fs::create_directories(path + "/GPSDAT");
        fs::create_directories(path + "/WINDDAT");
        fs::create_directories(path + "/coastline");
        for (const char* f : {"JPN4012.trk", "JPN3877.trk"})
            fs::copy_file(kDemo + "/GPSDAT/" + f, path + "/GPSDAT/" + f);
        fs::copy_file(kDemo + "/WINDDAT/enoshima_0607_WIND.CSV", path + "/WINDDAT/race_WIND.CSV");
        for (const char* f : {"5238.cst", "5239.cst", "5339.cst"})
            fs::copy_file(kDemo + "/coastline/" + f, path + "/coastline/" + f);
        put("RaceAdmin/race.txt", kRace);
    }
    ~App() { fs::remove_all(root); }
    void put(const std::string& relative, const std::string& bytes) const {
        fs::remove_all(path + "/" + relative);
        std::ofstream(path + "/" + relative, std::ios::binary) << bytes;
    }
    std::string get(const std::string& relative) const {
        return readFileBytes(path + "/" + relative).value_or("");
    }
    void folder(const std::string& relative) const {
        fs::remove_all(path + "/" + relative);
        fs::create_directories(path + "/" + relative);
    }
    // The race with `from` replaced by `to`.
    void race(const std::string& from, const std::string& to) const {
        std::string r = kRace;
        r.replace(r.find(from), from.size(), to);
        put("RaceAdmin/race.txt", r);
    }
    std::string root, path;
};

std::string repeat(const std::string& line, int times) {
    std::string s;
    s.reserve(line.size() * static_cast<size_t>(times));
    for (int i = 0; i < times; ++i) s += line;
    return s;
}

std::string garbage(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        s[i] = static_cast<char>(seed >> 16);
    }
    return s;
}

std::string cutAfter(const std::string& text, const std::string& marker, int extra) {
    return text.substr(0, text.find(marker) + static_cast<size_t>(extra));
}

// A track file whose track lines get the given coordinates in turn (NaN, infinite, ...).
std::string trackWithCoordinates(const std::string& real, const std::vector<std::string>& lats) {
    std::string out;
    size_t i = 0, n = 0;
    while (i < real.size()) {
        size_t j = real.find('\n', i);
        if (j == std::string::npos) j = real.size() - 1;
        std::string line = real.substr(i, j + 1 - i);
        if (line.rfind("T ", 0) == 0 && n < lats.size() * 40) {
            size_t a = line.find_first_not_of(' ', 1);
            size_t b = line.find(' ', a);
            line.replace(a, b - a, lats[n++ % lats.size()]);
        }
        out += line;
        i = j + 1;
    }
    return out;
}

// A GPX log of `points` fixes a second apart from 2026-06-07 01:59:00 UTC (the race starts
// at 02:00 UTC), sailing about the demo's marks.
std::string gpxLog(int points) {
    std::string s =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"test\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>Bravo</name><trkseg>\n";
    s.reserve(s.size() + static_cast<size_t>(points) * 140);
    char line[200];
    for (int i = 0; i < points; ++i) {
        const int t = 1 * 3600 + 59 * 60 + i;
        std::snprintf(
            line, sizeof line,
            "  <trkpt lat=\"%.9f\" lon=\"%.9f\"><ele>1.5</ele><time>2026-06-%02dT%02d:%02d:"
            "%02d.000Z</time></trkpt>\n",
            35.2586 + 0.002 * ((i / 600) % 5), 139.4731 + 0.00001 * (i % 600), 7 + t / 86400,
            t / 3600 % 24, t / 60 % 60, t % 60);
        s += line;
    }
    return s + "</trkseg></trk></gpx>\n";
}

// The NMEA RMC sentence of such a fix from the given talker ("GP", "GN"...), with its checksum.
std::string rmc(int i, const char* talker) {
    const int t = 1 * 3600 + 59 * 60 + i;
    char body[120];
    std::snprintf(body, sizeof body,
                  "%sRMC,%02d%02d%02d.00,A,3515.%04d,N,13928.%04d,E,4.1,80.0,070626,,,A", talker,
                  t / 3600 % 24, t / 60 % 60, t % 60, 5160 + i % 100, 3860 + i % 300);
    unsigned char sum = 0;
    for (const char* c = body; *c; ++c) sum ^= static_cast<unsigned char>(*c);
    char sentence[140];
    std::snprintf(sentence, sizeof sentence, "$%s*%02X\r\n", body, sum);
    return sentence;
}

enum class Output { File, DevFull, Closed, BrokenPipe };

struct Case {
    const char* name;
    std::function<void(const App&)> make;
    std::vector<std::string> args;  // after --app-dir; {} is --race race.txt
    int exitStatus;
    const char* message;  // stderr holds it (and the opening's messages, when it runs)
    Output output = Output::File;
    bool open = true;  // also run the race opening in this process
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        // The race file itself.
        {"race file is a folder",
         [](const App& a) { a.folder("RaceAdmin/race.txt"); },
         {},
         1,
         "is a folder"},
        {"race file empty",
         [](const App& a) { a.put("RaceAdmin/race.txt", ""); },
         {},
         1,
         "race file is empty"},
        {"race file one 1 MB line",
         [](const App& a) { a.put("RaceAdmin/race.txt", std::string(1 << 20, 'x')); },
         {},
         1,
         "no boat (BN) line"},
        {"race file 2 million junk lines",
         [](const App& a) {
             a.put("RaceAdmin/race.txt", repeat("junk; no key here\r\n", 2000000));
         },
         {},
         1,
         "no boat (BN) line"},
        {"race file binary garbage",
         [](const App& a) { a.put("RaceAdmin/race.txt", garbage(65536, 7)); },
         {},
         1,
         "binary data"},
        {"race file UTF-16",
         [](const App& a) {
             std::string u16 = "\xFF\xFE";
             for (char c : kRace) u16 += std::string{c, '\0'};
             a.put("RaceAdmin/race.txt", u16);
         },
         {},
         1,
         "UTF-16"},
        {"race file cut at 1 byte",
         [](const App& a) { a.put("RaceAdmin/race.txt", kRace.substr(0, 1)); },
         {},
         1,
         "no boat (BN) line"},
        {"race file cut before the boats",
         [](const App& a) { a.put("RaceAdmin/race.txt", cutAfter(kRace, "TD,", 2)); },
         {},
         1,
         "no boat (BN) line"},
        {"race file cut in a boat line",
         [](const App& a) { a.put("RaceAdmin/race.txt", cutAfter(kRace, "BN, JPN38", 9)); },
         {},
         0,
         "cut short"},
        {"race file cut in the course",
         [](const App& a) { a.put("RaceAdmin/race.txt", cutAfter(kRace, "CRS, L1", 7)); },
         {},
         0,
         "cut short (its last line has no line end): it has no LL line, no BT line"},
        {"race file cut after LL",
         [](const App& a) { a.put("RaceAdmin/race.txt", cutAfter(kRace, "LL, 45,160\r\n", 12)); },
         {},
         0,
         "cut short (LL without BT): it has no BT line"},
        {"race file BN line without values",
         [](const App& a) { a.race("BN, JPN3877.trk, Bravo", "BN"); },
         {},
         0,
         "line 7: a BN line without values"},
        {"time difference 1e300",
         [](const App& a) { a.race("TD,  9", "TD, 1e300"); },
         {},
         0,
         "no fix lies within the race's time window"},
        // Track files.
        {"track file is a folder",
         [](const App& a) { a.folder("GPSDAT/JPN3877.trk"); },
         {},
         0,
         "GPS file names are folders"},
        {"single track is a folder",
         [](const App& a) { a.folder("GPSDAT/dir.trk"); },
         {"--track", "dir.trk"},
         1,
         "is a folder, not a track file"},
        {"track file empty",
         [](const App& a) { a.put("GPSDAT/JPN3877.trk", ""); },
         {},
         0,
         "not read, it has 0 bytes"},
        {"single track empty",
         [](const App& a) { a.put("GPSDAT/empty.trk", ""); },
         {"--track", "empty.trk"},
         1,
         "no start time"},
        {"track file 2 million junk lines",
         [](const App& a) {
             a.put("GPSDAT/JPN3877.trk", repeat("T junk junk junk junk junk\n", 2000000));
         },
         {},
         0,
         "2000000 of 2000000 track lines have a position, date or time"},
        {"single track 2 million junk lines",
         [](const App& a) {
             a.put("GPSDAT/junk.trk", repeat("T junk junk junk junk junk\n", 2000000));
         },
         {"--track", "junk.trk"},
         1,
         "no start time"},
        {"track file one 1 MB line",
         [](const App& a) {
             a.put("GPSDAT/JPN3877.trk", "T " + std::string(1 << 20, '9') + " x\n");
         },
         {},
         0,
         "no fix can be read"},
        {"track numbers NaN, infinite, huge, digitless",
         [](const App& a) {
             a.put("GPSDAT/JPN3877.trk",
                   trackWithCoordinates(
                       a.get("GPSDAT/JPN3877.trk"),
                       {"NNaN", "Ninf", "N1e300", "N99999999999999999999", "N", "Nxyz"}));
         },
         {},
         0,
         "240 of"},
        {"track numbers negative zero",
         [](const App& a) {
             a.put("GPSDAT/JPN3877.trk",
                   trackWithCoordinates(a.get("GPSDAT/JPN3877.trk"), {"N-0", "N-0.0"}));
         },
         {},
         0,
         ""},
        {"track file wrong extension",
         [](const App& a) {
             fs::copy_file(a.path + "/GPSDAT/JPN3877.trk", a.path + "/GPSDAT/JPN3877.Trk");
             a.race("JPN3877.trk", "JPN3877.Trk");
         },
         {},
         0,
         "does not end in .trk or .dtr"},
        // GPX and NMEA logs.
        {"GPX of 200 MB",
         [](const App& a) {
             a.put("GPSDAT/big.gpx", gpxLog(1750000));
             a.race("JPN3877.trk", "big.gpx");
         },
         {},
         0,
         ""},
        {"GPX cut in a point",
         [](const App& a) {
             const std::string log = gpxLog(3000);
             a.put("GPSDAT/cut.gpx", log.substr(0, log.size() / 2 + 17));
             a.race("JPN3877.trk", "cut.gpx");
         },
         {},
         0,
         "the XML cannot be read past line 1503, column 62"},
        {"GPX without a track",
         [](const App& a) {
             a.put("GPSDAT/none.gpx",
                   "<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"x\"><wpt lat=\"35.3\" "
                   "lon=\"139.5\"><time>2026-06-07T02:10:00Z</time></wpt></gpx>");
             a.race("JPN3877.trk", "none.gpx");
         },
         {},
         0,
         "none.gpx"},
        {"GPX named .trk",
         [](const App& a) { a.put("GPSDAT/JPN3877.trk", gpxLog(3000)); },
         {},
         0,
         ""},
        {"NMEA with garbage between sentences, mixed talkers",
         [](const App& a) {
             std::string log;
             for (int i = 0; i < 3000; ++i) {
                 const char* talkers[] = {"GP", "GN", "GL", "GA", "BD"};
                 log += rmc(i, talkers[i % 5]) +
                        (i % 7 == 0 ? garbage(40, static_cast<unsigned>(i)) + "\r\n" : "");
             }
             a.put("GPSDAT/mixed.nmea", log);
             a.race("JPN3877.trk", "mixed.nmea");
         },
         {},
         0,
         ""},
        // Wind and coastline files.
        {"wind file garbage",
         [](const App& a) { a.put("WINDDAT/race_WIND.CSV", garbage(4096, 3)); },
         {},
         0,
         "Wind file \"race_WIND.CSV\": "},
        {"wind file cut in a date",
         [](const App& a) {
             a.put("WINDDAT/race_WIND.CSV", cutAfter(a.get("WINDDAT/race_WIND.CSV"), "11:30", 3));
         },
         {},
         0,
         "1 lines without a date and time"},
        {"wind file is a folder",
         [](const App& a) { a.folder("WINDDAT/race_WIND.CSV"); },
         {},
         0,
         "is a folder, not a file"},
        {"coastline garbage",
         [](const App& a) { a.put("coastline/5239.cst", garbage(65536, 5)); },
         {"--race", "race.txt", "--coastline"},
         0,
         ""},
        {"coastline cut short",
         [](const App& a) {
             const std::string c = a.get("coastline/5239.cst");
             a.put("coastline/5239.cst", c.substr(0, c.size() / 2 + 3));
         },
         {"--race", "race.txt", "--coastline"},
         0,
         ""},
        // Names from the race file.
        {"GPS name with ..",
         [](const App& a) {
             a.put("outside.trk", a.get("GPSDAT/JPN3877.trk"));
             a.race("JPN3877.trk", "..\\..\\outside.trk");
         },
         {},
         0,
         "GPS file \"..\\..\\outside.trk\""},
        {"GPS name with ../",
         [](const App& a) { a.race("JPN3877.trk", "../outside.trk"); },
         {},
         0,
         "GPS file \"../outside.trk\""},
        {"GPS name absolute",
         [](const App& a) { a.race("JPN3877.trk", "/etc/passwd"); },
         {},
         0,
         "GPS file \"/etc/passwd\""},
        {"GPS name with a line break",
         [](const App& a) {
             a.race("JPN3877.trk",
                    "JPN38\x0b"
                    "77.trk");
         },
         {},
         0,
         "GPS file \"JPN38\xEF\xBF\xBD"
         "77.trk\""},
        {"GPS name cut by a carriage return",
         [](const App& a) { a.race("JPN3877.trk", "JPN38\r77.trk"); },
         {},
         0,
         "GPSfile -- JPN38 -- could not be found"},
        {"wind name with ..",
         [](const App& a) {
             a.put("outside_WIND.CSV", a.get("WINDDAT/race_WIND.CSV"));
             a.race("race_WIND.CSV", "../../outside_WIND.CSV");
         },
         {},
         0,
         "wind file \"../../outside_WIND.CSV\""},
        {"tile and attachment names with folders",
         [](const App& a) { a.race("MAP, 5239", "MAP, ../5239\r\nAT, C:\\x.pdf"); },
         {},
         0,
         "coastline tile \"../5239\""},
        {"boat name not UTF-8 nor CP932",
         [](const App& a) {
             a.race("Bravo",
                    "Br\x85\xFF"
                    "avo");
         },
         {},
         0,
         ""},
        {"GPS name not UTF-8 nor CP932",
         [](const App& a) { a.race("JPN3877.trk", "JPN\xFD\xFE.trk"); },
         {},
         0,
         "GPSfile -- JPN\xEF\xBF\xBD\xEF\xBF\xBD.trk -- could not be found"},
        // More than the race holds.
        {"51 boats",
         [](const App& a) {
             a.race("BN, JPN3877.trk, Bravo\r\n", repeat("BN, JPN3877.trk, B\r\n", 50));
         },
         {},
         0,
         "at most 50 boats (BN): the 1 after the 50th are left out"},
        {"35 marks",
         [](const App& a) {
             a.race("MK, 2116.1363, 8368.2838\r\n", repeat("MK, 2116.1, 8368.2\r\n", 34));
         },
         {},
         0,
         "at most 30 marks (MK): the 5 after"},
        {"12 lines",
         [](const App& a) {
             a.race("LN, 2116.117,", repeat("LN, 1, 2, 3, 4\r\n", 11) + "LN, 2116.117,");
         },
         {},
         0,
         "at most 10 lines (LN): the 3 after"},
        {"55 course entries",
         [](const App& a) {
             a.race("CRS, L1, MK1, MK2, MK1, L2", "CRS, L1" + repeat(", MK1, MK2", 27));
         },
         {},
         0,
         "at most 50 course entries (CRS): the 5 after"},
        {"25 course entries",
         [](const App& a) {
             a.race("CRS, L1, MK1, MK2, MK1, L2", "CRS, L1" + repeat(", MK1, MK2", 12));
         },
         {},
         0,
         "Only the first 20 course entries take part"},
        {"mark with NaN and infinite",
         [](const App& a) { a.race("MK, 2115.5192, 8367.9329", "MK, nan, 1e999"); },
         {},
         0,
         "mark 1 has no position"},
        // Where the output goes.
        {"output to a full disk",
         [](const App&) {},
         {},
         1,
         "could not be written",
         Output::DevFull,
         false},
        {"output closed",
         [](const App&) {},
         {},
         1,
         "standard output is closed",
         Output::Closed,
         false},
        {"output a broken pipe",
         [](const App&) {},
         {},
         1,
         "Broken pipe",
         Output::BrokenPipe,
         false},
    };
    return all;
}

struct AnalyseRun {
    int exitStatus = -1;
    std::string out, err;
    long peakKiB = 0;
    double seconds = 0;
};

AnalyseRun runAnalyse(const std::vector<std::string>& args, Output output,
                      const std::string& scratch) {
    AnalyseRun r;
    const std::string outPath = scratch + "/stdout", errPath = scratch + "/stderr";
    int pipeFds[2] = {-1, -1};
    if (output == Output::BrokenPipe) {
        EXPECT_EQ(::pipe(pipeFds), 0);
        ::close(pipeFds[0]);  // nobody reads
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGPIPE, SIG_DFL);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(err, 2);
        switch (output) {
            case Output::File:
                ::dup2(::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
                break;
            case Output::DevFull:
                ::dup2(::open("/dev/full", O_WRONLY), 1);
                break;
            case Output::Closed:
                ::close(1);
                break;
            case Output::BrokenPipe:
                ::dup2(pipeFds[1], 1);
                break;
        }
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pipeFds[1] >= 0) ::close(pipeFds[1]);
    int status = 0;
    struct rusage usage {};
    for (;;) {
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (done == pid) break;
        if (r.seconds > kMaxSeconds) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    r.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.peakKiB = usage.ru_maxrss;
    r.out = readFileBytes(outPath).value_or("");
    r.err = readFileBytes(errPath).value_or("");
    return r;
}

std::string firstLine(const std::string& s) {
    const size_t n = s.find('\n');
    return s.substr(0, n == std::string::npos ? s.size() : n);
}

TEST(BadInputMatrix, EveryCaseEndsWithItsStatusAndMessage) {
    std::printf("| case | message | exit | peak memory | time |\n|---|---|---|---|---|\n");
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        App app;
        c.make(app);
        std::vector<std::string> args = {BRISKO_ANALYSE, "--app-dir", app.path};
        const std::vector<std::string> own =
            c.args.empty() ? std::vector<std::string>{"--race", "race.txt"} : c.args;
        args.insert(args.end(), own.begin(), own.end());
        const AnalyseRun r = runAnalyse(args, c.output, app.root);
        std::printf("| %s | %s | %d | %.1f MB | %.2f s |\n", c.name, firstLine(r.err).c_str(),
                    r.exitStatus, r.peakKiB / 1024.0, r.seconds);
        EXPECT_EQ(r.exitStatus, c.exitStatus) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << "stderr: " << r.err;
        EXPECT_LT(r.peakKiB, kMaxPeakKiB);
        EXPECT_LT(r.seconds, kMaxSeconds);
        // Output only on success, and then a whole JSON object.
        if (c.output == Output::File) {
            if (c.exitStatus == 0) {
                ASSERT_GT(r.out.size(), 2u);
                EXPECT_EQ(r.out.front(), '{');
                EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
            } else {
                EXPECT_TRUE(r.out.empty()) << r.out.substr(0, 200);
            }
        }
        // Nothing outside the application folder was opened as a race's file.
        if (fs::exists(app.root + "/outside.trk") || fs::exists(app.root + "/outside_WIND.CSV")) {
            EXPECT_EQ(r.out.find("\"count\":0"), std::string::npos);
        }
        if (!c.open) continue;

        // The race screen's opening on the same folder says the same and fails the same.
        AppSettings settings;
        settings.AppPath = app.path;
        settings.Lang = 1;
        settings.ProductTitle = "Brisko";
        RaceDefinition race;
        RaceData data;
        CapturingMessageSink sink;
        OpenRaceOptions options;
        if (own[0] == "--track")
            options.singleTrackFile = own[1];
        else
            race.RaceFileName = own[1];
        const OpenRaceResult opened = openRace(settings, race, data, sink, options);
        EXPECT_EQ(opened.ok, c.exitStatus == 0) << opened.error;
        std::string told;
        for (const Message& m : sink.messages) told += m.text + "\r\n";
        EXPECT_NE(told.find(c.message), std::string::npos) << "told: " << told;
        if (opened.ok) {
            EXPECT_GE(data.tracks.boatCount(), 1);
        }
    }
}

TEST(BadInputMatrix, UnsafeNamesAreNeverOpenedAndAreListed) {
    App app;
    app.put("outside.trk", app.get("GPSDAT/JPN3877.trk"));
    app.race("JPN3877.trk", "..\\..\\outside.trk");
    const AnalyseRun r = runAnalyse({BRISKO_ANALYSE, "--app-dir", app.path, "--race", "race.txt"},
                                    Output::File, app.root);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find(R"("dropped_boats":[{"name":"Bravo","gps_file":"..\\..\\outside.trk",)"
                         R"("reason":"refused name"}])"),
              std::string::npos)
        << r.out.substr(r.out.find("dropped_boats"), 200);
    EXPECT_NE(r.err.find("boat \"Bravo\" left out: GPS file \"..\\..\\outside.trk\" is no plain"),
              std::string::npos);
}

TEST(BadInputMatrix, DroppedFixesAreCountedPerBoat) {
    App app;
    app.put("GPSDAT/JPN3877.trk",
            trackWithCoordinates(app.get("GPSDAT/JPN3877.trk"), {"NNaN", "N"}));
    const AnalyseRun r = runAnalyse({BRISKO_ANALYSE, "--app-dir", app.path, "--race", "race.txt"},
                                    Output::File, app.root);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find(R"("track_file":"read","dropped_fixes":{"unreadable":80,)"),
              std::string::npos);
    EXPECT_NE(r.out.find(R"("warnings":["Boat \"Bravo\", GPS file \"JPN3877.trk\": 80 of )"),
              std::string::npos);
    // No fix is kept at 0°, 0°: the map stays where the race is.
    EXPECT_NE(r.out.find("\"center_lat\":211"), std::string::npos);
}

}  // namespace
}  // namespace brisko
