// What `titles`, `discs` and `search` print over a generated library of every
// model class, plus two recorders of hand-made odd lines, compared byte for
// byte with the output kept in tests/cli/golden/. The loader and the printer
// may be rewritten for speed; what they print may not change.
//
// LV_UPDATE_GOLDEN=1 rewrites the kept files instead of comparing (only when
// a change of output is intended).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "sample/sample_library.h"
#include "support/run_cli.h"
#include "support/sjis.h"
#include "support/temp_dir.h"

using namespace lv::test;

namespace {

const std::string kGoldenDir = std::string(LV_SOURCE_DIR) + "/tests/cli/golden/";

// Library lines that hit the splitter's and the record's corners: over-long
// fields, both quoting modes' faults, stray lead bytes, escaped characters in
// the printed line, unknown and duplicate discs, odd genre keys.
std::string OddLibrary() {
    std::string s;
    auto line = [&s](const std::string& l) { s += l + "\r\n"; };
    line("\"HDD\",\"" + std::string(127, 'A') + "\x83\x41" + "BB\",\"2005/12/21\",\"" + SJ("水") +
         "\",\"21:00\",\"081\",\"x\",\"_ " + SJ("ｱﾆﾒ") + "\",\"1:30\",\"\",\"page1.html\",\"\",\"0000300012\"");
    line(
        "\"HDD_\",\"a\"\"b\x83\x5C"
        "c\",\"2005/12/21\",\"\",\"21:00\",\"0\\8/1\",\"\",\"  abc\",\"\",\"\",\"p2\",\"\","
        "\"+0001-0002\"");
    line(
        "\"0001\",\"ab\"c,d\",e\",\"2006/01/"
        "01\",\"\",\"10:00\",\"012\",\"\",\"g\",\"\",\"\",\"p3\",\"\",\"0000100081\"");
    line("9999,tab\there,2006/1/2," + SJ("月") + ",7:5,BS1,,genre,0:30,,p4,,abc");
    line("\"0002\",\"stray\x83\",\"2006/02/03\",\"" + SJ("火") +
         "\",\"12:00\",\"L1\",\"\",\"_\",\"\",\"\",\"p5\",\"\","
         "\"00001\"");
    line("   ");
    line("");
    s += "\"0001\",\"trail  \",\"2006/03/04\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"   \r\r\n";
    line("x,,y");
    line("\"0001\",\"lead\x83\ttab\\back\",\"2006/04/05\",\"\",\"09:30\",\"C\\D\",\"" + std::string(5000, 'z') +
         "\",\"" + SJ("　abc") + "\",\"1:00\",\"1\",\"" + std::string(40, 'p') + "\",\"\",\"0000800080\"");
    line("\"0003\",\"comma, inside\",\"2006/05/06\",\"" + SJ("木") + "\",\"23:59\",\"\",\"\",\"" + SJ("ドラマ") +
         "\",\"\",\"\",\"p7\",\"\",\"0001500064xyz\"");
    line(
        "\"HDD\",\"\x80\xA0\xFD\xFF odd bytes \xE0\",\"2006/06/07\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
        "\"0000000000\"");
    line("\"0001\",\"" + SJ("ＮＨＫ特集") + "\",\"" + std::string(12, '9') + "\",\"abc\",\"1234567\",\"" +
         std::string(10, 'c') + "\",\"\",\"" + std::string(40, 'g') + "\",\"" + std::string(9, '8') +
         "\",\"\",\"p9\",\"\",\"1234567890123\"");
    line("\"ab\"c");
    return s;
}

// A disc list with a "HDD_" number, a duplicate number, short and odd times.
std::string OddDiscs(bool class1) {
    if (class1)
        return "\"Disc No.\",\"" + SJ("ディスク名") + "\",\"" + SJ("残量時間") +
               "\"\r\nHDD,,1:30\r\n0001,,0:5\r\n0001,,9:99\r\n0002,,123:45\r\n";
    return "\"a\",\"b\",\"c\",\"" + SJ("モード1") + "\",\"" + SJ("モード2") + "\",\"M3\",\"M4\",\"" +
           std::string(40, 'L') +
           "\"\r\n\"HDD_\",\"HDD\",\"1:30\",\"0:5\",\"123:45\",\"1234:5\",\"--\",\"\"\r\n"
           "\"0001\",\"DVD \"\"one\"\"\",\"2:00\",\"1:00\",\"1:01\",\"1:02\",\"1:03\",\"1:04\"\r\n"
           "\"0001\",\"dup\",\"0:00\",\"0:01\",\"0:02\",\"0:03\",\"0:04\",\"0:05\"\r\n"
           "\"0002\",\"" +
           SJ("短い") +
           "\",\"3:3\"\r\n\r\n"
           "\"0003\",\"bad\"x,\"1:00\"\r\n";
}

class GoldenHome {
public:
    GoldenHome() {
        // One generated recorder per model class; the same seed always gives the same library.
        const char* models[] = {"RD-X9", "RD-XS40", "RD-XS41", "RD-Z1"};
        std::string doc;
        for (int cls = 0; cls < 4; ++cls) {
            lv::sample::SampleOptions o;
            o.titles = 200;
            o.discs = 6;
            o.modelClass = cls;
            o.seed = 31 + static_cast<unsigned>(cls);
            const std::string name = "Class" + std::to_string(cls);
            Profile(name, models[cls]);
            EXPECT_TRUE(lv::sample::SampleLibrary(o).WriteCacheFiles(m_dir.dir() + name + "/"));
            doc += name + "\r\n";
        }
        Profile("OddDoubled", "RD-XS41");
        WriteFile(m_dir.dir() + "OddDoubled/Library.csv", OddLibrary());
        WriteFile(m_dir.dir() + "OddDoubled/Disc.csv", OddDiscs(false));
        Profile("OddPlain", "RD-XS40");
        WriteFile(m_dir.dir() + "OddPlain/Library.csv", OddLibrary());
        WriteFile(m_dir.dir() + "OddPlain/Disc.csv", OddDiscs(true));
        // A recorder without caches and a name without a profile stay in the document.
        Profile("Empty", "RD-Z1");
        doc += "OddDoubled\r\nOddPlain\r\nEmpty\r\nNoProfile\r\n";
        WriteFile(m_dir.file("Default.lbv"), doc);
    }

    std::string Run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--home", m_dir.dir()});
        CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }

private:
    void Profile(const std::string& name, const std::string& model) {
        WriteFile(m_dir.file(name + ".ini"),
                  "[NetNavi]\r\nHost=192.168.0.2\r\nPort=80\r\nAuth=0\r\nModel=" + model + "\r\n");
        std::filesystem::create_directories(m_dir.dir() + name);
    }

    TempDir m_dir;
};

void CompareWithGolden(const std::string& name, const std::string& out) {
    const std::string path = kGoldenDir + name;
    const char* update = std::getenv("LV_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        WriteFile(path, out);
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    const std::string want = ReadFile(path);
    if (out == want) return;
    const std::vector<std::string> got = Lines(out), exp = Lines(want);
    for (std::size_t i = 0; i < std::max(got.size(), exp.size()); ++i) {
        const std::string g = i < got.size() ? got[i] : "<none>", e = i < exp.size() ? exp[i] : "<none>";
        if (g != e) {
            ADD_FAILURE() << name << " differs first at line " << i + 1 << "\n got: " << g << "\nwant: " << e;
            return;
        }
    }
    ADD_FAILURE() << name << " differs in its line ends";
}

}  // namespace

TEST(CliGolden, ListingsPrintAsBefore) {
    GoldenHome home;
    CompareWithGolden("titles.txt", home.Run({"titles"}));
    CompareWithGolden("discs.txt", home.Run({"discs"}));
    CompareWithGolden("labels.txt", home.Run({"labels"}));
    CompareWithGolden("recorders.txt", home.Run({"recorders"}));
    // Raw bytes: the escaping works on code page 932 characters.
    CompareWithGolden("odd_cp932.txt", home.Run({"--cp932", "titles", "OddDoubled"}) +
                                           home.Run({"--cp932", "titles", "OddPlain"}) +
                                           home.Run({"--cp932", "discs", "OddDoubled"}));
}

TEST(CliGolden, SearchesPrintAsBefore) {
    GoldenHome home;
    // A frequent keyword that needs folding (the samples spell it full-width).
    CompareWithGolden("search_nhk.txt", home.Run({"search", "--text", "nhk"}));
    CompareWithGolden("search_disc.txt", home.Run({"search", "--dvd-titles", "--disc", "DVD", "--text", "a"}));
    CompareWithGolden("search_dvd_discs.txt", home.Run({"search", "--disc", "DVD"}));
    CompareWithGolden("search_cp932.txt", home.Run({"--cp932", "search", "--text", TypedWithCp932("ニュース")}));
}
