// GPX runs of track points read with pugixml: every document gives the same fixes, counts and
// damage place as expat reading it alone, however it is fed and however long the runs; runs
// are refused wherever namespaces, references, comments or a document type change a point's
// meaning; and a plain log is read almost wholly in runs.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "race/racedefinition.h"
#include "track/gpxruns.h"
#include "track/gpxtrack.h"

using namespace brisko;

namespace {

constexpr const char* kGpx11 = "http://www.topografix.com/GPX/1/1";

struct Reading {
    BoatTrack track;
    GpsTrackStats stats;
    std::uint64_t inRuns = 0;
};

// Reads `text` with runs of `runBytes` (0: expat alone), fed in pieces of `piece` bytes.
Reading readGpx(const std::string& text, std::size_t runBytes, std::size_t piece) {
    Reading r;
    RaceDefinition race;
    GpxTrackReader reader(race, r.track, r.stats, runBytes);
    if (text.empty()) reader.feed({}, true);
    for (std::size_t at = 0; at < text.size(); at += piece)
        if (!reader.feed(std::string_view(text).substr(at, piece), at + piece >= text.size()))
            break;
    reader.finish();
    r.inRuns = reader.pointsReadInRuns();
    return r;
}

std::string point(int i, const std::string& inner = "", const std::string& attrs = "") {
    const int s = i % 60, m = i / 60 % 60;
    char text[200];
    std::snprintf(text, sizeof text,
                  "<trkpt lat=\"39.%06d\" lon=\"-0.%06d\"%s><ele>2.4</ele><time>2025-06-21T10:%02d:"
                  "%02dZ</time>%s</trkpt>",
                  400000 + i, 320000 + i, attrs.c_str(), m, s, inner.c_str());
    return text;
}

std::string points(int from, int count, const std::string& gap = "\n      ") {
    std::string out;
    for (int i = from; i < from + count; ++i) out += point(i) + gap;
    return out;
}

std::string document(const std::string& segments, const std::string& rootAttrs = "",
                     const std::string& prolog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {
    return prolog + "<gpx version=\"1.1\" creator=\"test\" xmlns=\"" + kGpx11 + "\"" + rootAttrs +
           ">\n<trk><name>Vela</name>\n" + segments + "</trk>\n</gpx>\n";
}

std::string segment(const std::string& body) { return "<trkseg>\n" + body + "</trkseg>\n"; }

// Expat alone against runs of several lengths, each fed whole and in odd pieces.
void expectSameAsExpat(const std::string& text, const std::string& what) {
    const Reading alone = readGpx(text, 0, text.size() + 1);
    for (std::size_t runBytes : {std::size_t{1}, std::size_t{150}, std::size_t{700}, kGpxRunBytes})
        for (std::size_t piece : {text.size() + 1, std::size_t{7}, std::size_t{333}}) {
            SCOPED_TRACE(what + ", runs of " + std::to_string(runBytes) + " bytes, pieces of " +
                         std::to_string(piece));
            const Reading runs = readGpx(text, runBytes, piece);
            EXPECT_EQ(runs.track.TrkLat, alone.track.TrkLat);
            EXPECT_EQ(runs.track.TrkLon, alone.track.TrkLon);
            EXPECT_EQ(runs.track.TrkSec, alone.track.TrkSec);
            EXPECT_EQ(runs.stats.trackLines, alone.stats.trackLines);
            EXPECT_EQ(runs.stats.unreadable, alone.stats.unreadable);
            EXPECT_EQ(runs.stats.damage, alone.stats.damage);
        }
}

}  // namespace

TEST(GpxRuns, PlainLogIsReadInRunsWithTheSameFixes) {
    const std::string text = document(segment(points(0, 3000)));
    expectSameAsExpat(text, "one segment");
    const Reading runs = readGpx(text, kGpxRunBytes, 1 << 20);
    EXPECT_EQ(runs.stats.kept, 3000);
    // Expat reads the points up to the first run's start and after the last run's end.
    EXPECT_GT(runs.inRuns, 2900u);
}

TEST(GpxRuns, SegmentsTracksAndWindowsLineEndsKeepTheirPoints) {
    std::string segments;
    for (int k = 0; k < 6; ++k) segments += segment(points(k * 40, 40));
    const std::string twoTracks =
        document(segments + "</trk><trk><name>Second</name>\n" + segment(points(300, 30)));
    expectSameAsExpat(twoTracks, "segments and tracks");
    EXPECT_GT(readGpx(twoTracks, 700, 64).inRuns, 100u);
    expectSameAsExpat(document(segment(points(0, 50, "\r\n"))), "CR LF line ends");
    // Points on the poles and the date line, read in runs as expat reads them: kept.
    const std::string ends = document(
        segment(points(0, 60) +
                "<trkpt lat=\"90\" lon=\"180\"><time>2025-06-21T11:00:00Z</time></trkpt>\n" +
                "<trkpt lat=\"-90.0\" lon=\"-180\"><time>2025-06-21T11:00:01Z</time></trkpt>\n" +
                "<trkpt lat=\"0\" lon=\"180.001\"><time>2025-06-21T11:00:02Z</time></trkpt>\n" +
                points(60, 60)));
    expectSameAsExpat(ends, "poles and date line");
    const Reading endsInRuns = readGpx(ends, 700, ends.size() + 1);
    EXPECT_EQ(endsInRuns.stats.kept, 122);
    EXPECT_EQ(endsInRuns.stats.unreadable, 1);
    EXPECT_GT(endsInRuns.inRuns, 100u);
    expectSameAsExpat(document(segment(points(0, 50, ""))), "one line");
    // Text and other elements between points; points without time or position; a second time.
    expectSameAsExpat(
        document(segment(points(0, 10) + "loose text<extensions><trkpt lat=\"1\" lon=\"1\">" +
                         "<time>2025-06-21T11:00:00Z</time></trkpt></extensions>" +
                         "<trkpt lat=\"39.5\" lon=\"-0.3\"/>" +
                         "<trkpt lat=\"x\" lon=\"-0.3\"><time>2025-06-21T11:00:01Z</time></trkpt>" +
                         point(20, "<time>2025-06-21T12:00:00Z</time>") + points(30, 10))),
        "mixed segment");
    // A time padded with blanks past the longest time text, and one just within it.
    expectSameAsExpat(
        document(segment(points(0, 5) + "<trkpt lat=\"39.5\" lon=\"-0.3\"><time>\r\n" +
                         std::string(40, ' ') + "2025-06-21T11:00:00Z\r\n</time></trkpt>\n" +
                         "<trkpt lat=\"39.5\" lon=\"-0.3\"><time>\r\n" + std::string(60, ' ') +
                         "2025-06-21T11:00:01Z</time></trkpt>\n" + points(10, 5))),
        "padded times");
}

TEST(GpxRuns, NamespacesReferencesCommentsAndDocumentTypesGiveExpatsMeaning) {
    const std::string other = "http://example.com/other";
    const std::string cases[][2] = {
        // A point put out of the GPX namespace, and one put into it with a prefix.
        {"default namespace on a point",
         segment(points(0, 10) + point(10, "", " xmlns=\"" + other + "\"") + points(11, 10))},
        {"prefixed GPX point",
         segment(points(0, 10) + "<g:trkpt xmlns:g=\"" + kGpx11 +
                 "\" lat=\"39.5\" lon=\"-0.3\"><g:time>2025-06-21T11:00:00Z</g:time></g:trkpt>" +
                 points(11, 10))},
        {"time of another namespace",
         segment(points(0, 10) +
                 point(10, "<time xmlns=\"" + other + "\">2025-06-21T12:00:00Z</time>") +
                 points(11, 10))},
        {"extensions declaring their namespaces inside each point",
         segment(points(0, 5) +
                 point(5, "<extensions><gpxtpx:TrackPointExtension xmlns:gpxtpx=\"" + other +
                              "\"><gpxtpx:hr>120</gpxtpx:hr></gpxtpx:TrackPointExtension>"
                              "</extensions>") +
                 points(6, 10))},
        {"references", segment(points(0, 10) +
                               "<trkpt lat=\"&#51;9.5\" lon=\"-0.3\"><time>2025-06-21T11:00:00&#90;"
                               "</time></trkpt>" +
                               points(11, 10))},
        {"comment and CDATA",
         segment(points(0, 10) + "<!-- </trkpt> -->" +
                 "<trkpt lat=\"39.5\" lon=\"-0.3\"><time><![CDATA[2025-06-21T11:00:00Z]]></time>"
                 "</trkpt>" +
                 points(11, 10))},
        {"element inside a time",
         segment(points(0, 10) +
                 "<trkpt lat=\"39.5\" lon=\"-0.3\"><time>2025-06-21T11:00<b/>   <c/>:00Z</time>"
                 "</trkpt>" +
                 points(11, 10))},
        // XML names are case-sensitive: "Lat", "Lon" and "Trkpt" are other names, not a position.
        {"names differing only in their first letter's case",
         segment(points(0, 10) +
                 "<trkpt Lat=\"38.5\" lat=\"39.5\" Lon=\"-1.3\" lon=\"-0.3\"><time>"
                 "2025-06-21T11:00:00Z</time></trkpt><Trkpt lat=\"38.5\" lon=\"-1.3\"><time>"
                 "2025-06-21T11:00:01Z</time></Trkpt><trkpt Lat=\"38.5\" Lon=\"-1.3\"><time>"
                 "2025-06-21T11:00:02Z</time></trkpt>" +
                 points(13, 10))},
        {"end tag text in a processing instruction",
         segment(points(0, 10) +
                 "<trkpt lat=\"39.5\" lon=\"-0.3\"><?note a </trkpt> b?>"
                 "<time>2025-06-21T11:00:00Z</time></trkpt>" +
                 points(11, 10))},
    };
    for (const auto& c : cases) expectSameAsExpat(document(c[1]), c[0]);
    // A prefix naming GPX on the root makes prefixed points count anywhere.
    expectSameAsExpat(document(segment(points(0, 10) +
                                       "<g:trkpt lat=\"39.5\" lon=\"-0.3\"><time>"
                                       "2025-06-21T11:00:00Z</time></g:trkpt>" +
                                       points(11, 10)),
                               " xmlns:g=\"" + std::string(kGpx11) + "\""),
                      "GPX prefix on the root");
    // A document type can give a point the position it lacks.
    expectSameAsExpat(
        document(segment(points(0, 10) +
                         "<trkpt lon=\"-0.3\"><time>2025-06-21T11:00:00Z</time>"
                         "</trkpt>" +
                         points(11, 10)),
                 "",
                 "<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [<!ATTLIST trkpt lat CDATA \"39.5\">]>\n"),
        "document type with a default position");
    // Encodings: Latin-1 read again from the start, and one expat knows.
    for (const char* encoding : {"windows-1252", "ISO-8859-1"})
        expectSameAsExpat(
            document(segment(points(0, 30)), "",
                     std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>\n"),
            encoding);
}

TEST(GpxRuns, DamageIsPlacedAsExpatAlonePlacesIt) {
    const std::string body = points(0, 400);
    for (const std::string& text : {
             document(segment(body)).substr(0, document(segment(body)).size() / 2),  // cut off
             document(segment(body + "<trkpt lat=\"1\" lon=\"2\"><time>x</tim></trkpt>")),
             document(segment(points(0, 400, "\r\n") + "<trkpt <")),
             document(segment(points(0, 400, "") + "\r<trkpt lat=\"1\"\rlon=\"2\"></x>")),
             document(segment(body + "</trkseg></trkseg>")),
             // A NUL inside a run, where pugixml would see the run end.
             document(segment(points(0, 200) + std::string(1, '\0') + points(200, 200))),
         })
        expectSameAsExpat(text, "damaged: " + text.substr(text.size() - 40));
    // A point end tag not written "</trkpt>", which a piece may happen to end right after.
    expectSameAsExpat(document(segment(body + "<trkpt lat=\"1\" lon=\"2\"></trkpt\r>" + body)),
                      "end tag with a line end");
}

// pugixml reads a run with a stray control byte that expat stops at: the points after it are
// read, never fewer than expat alone reads, and every piece size gives the same track.
TEST(GpxRuns, AStrayControlByteInARunDoesNotStopTheReading) {
    const std::string text = document(
        segment(points(0, 400) + "<trkpt lat=\"1\" lon=\"2\"></trkpt\r>\x01" + points(400, 400)));
    const Reading alone = readGpx(text, 0, text.size());
    EXPECT_FALSE(alone.stats.damage.empty());
    const Reading whole = readGpx(text, kGpxRunBytes, text.size());
    EXPECT_GE(whole.track.count(), alone.track.count());
    EXPECT_EQ(whole.track.count(), 800);
    for (std::size_t piece : {std::size_t{7}, std::size_t{8}, std::size_t{4096}})
        EXPECT_EQ(readGpx(text, kGpxRunBytes, piece).track.TrkSec, whole.track.TrkSec) << piece;
}

TEST(GpxRuns, RunEndsAndTextSpans) {
    const std::string s = "ab</trkpt>cd</trkpt>e";
    EXPECT_EQ(firstPointEndTag(s, 0), 10u);
    EXPECT_EQ(firstPointEndTag(s, 3), 20u);
    EXPECT_EQ(firstPointEndTag(s, 20), std::string_view::npos);
    EXPECT_EQ(lastPointEndTag(s, 0, s.size()), 20u);
    EXPECT_EQ(lastPointEndTag(s, 0, 19), 10u);  // a tag cut by the window's end does not count
    EXPECT_EQ(lastPointEndTag(s, 11, 19), std::string_view::npos);
    const TextSpan a = spanOf("one\r\ntwo\rthree\nfour αβ");
    EXPECT_EQ(a.lineEnds, 3u);
    EXPECT_EQ(a.tailChars, 7u);  // "four αβ": characters, not bytes
    const TextSpan b = spanOf(std::string(1000, 'x') + "\n" + std::string(17, '\n') + "yz");
    EXPECT_EQ(b.lineEnds, 18u);
    EXPECT_EQ(b.tailChars, 2u);
    EXPECT_EQ(spanOf("abc\r").lineEnds, 1u);
    EXPECT_EQ(spanOf("abc\r").tailChars, 0u);
}

// The Garmin Connect logs of a real race: read in runs almost wholly, to the same samples.
TEST(GpxRuns, RealGarminLogsGiveExpatsSamples) {
    const std::string folder = BRISKO_SHARED_DATA "/real/valencia-2025-06-21/";
    for (const char* name : {"2025-06-21-ESP29375-P01.gpx", "2025-06-21-ESP30782-P02.gpx"}) {
        SCOPED_TRACE(name);
        std::ifstream in(folder + name, std::ios::binary);
        ASSERT_TRUE(in) << "missing real data";
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        const Reading alone = readGpx(text, 0, text.size());
        const Reading runs = readGpx(text, kGpxRunBytes, 1 << 20);
        EXPECT_EQ(runs.track.TrkLat, alone.track.TrkLat);
        EXPECT_EQ(runs.track.TrkLon, alone.track.TrkLon);
        EXPECT_EQ(runs.track.TrkSec, alone.track.TrkSec);
        EXPECT_EQ(runs.stats.trackLines, alone.stats.trackLines);
        EXPECT_GT(runs.inRuns, static_cast<std::uint64_t>(alone.stats.trackLines) * 9 / 10);
    }
}
