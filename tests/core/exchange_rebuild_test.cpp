#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "common/text.h"
#include "exchange/exchange.h"
#include "record/org_records.h"
#include "support/files.h"
#include "support/scratch.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using testing::read_bytes;
using testing::temp_dir;
using testing::write_bytes;

constexpr double kTwoPi = 6.283185307179586;

using testing::repeat;

// 144 fields of a curve given per point.
template <class F>
std::string curve(F f, int16_t width, int16_t decimals) {
    std::string s;
    for (int i = 0; i < 144; ++i) s += MyStr(static_cast<float>(f(i)), width, decimals);
    return s;
}

struct Block {
    std::string well = "W1", date = "2005-11-5", count = "144", stroke = "1.50", rate = "6";
    std::string load = curve([](int i) { return 30.0 + 5.0 * std::cos(kTwoPi * i / 144.0); }, 5, 1);
    std::string pos = curve([](int i) { return 1.5 - 1.5 * std::cos(kTwoPi * i / 144.0); }, 4, 2);
    std::string cur = repeat("040.0"), vol = repeat("0380"), pow = repeat("015.0"), var = repeat("010.0");

    std::string text(const std::string& e = "\r\n") const {
        return "[wellname]" + e + well + e + "[testdate]" + e + date + e + "[count]" + e + count + e +
               "[gtsj]" + e + stroke + e + rate + e + load + e + pos + e + "[glsj]" + e + cur + e + vol + e +
               pow + e + var + e + e;
    }
};

struct Rebuilt {
    Org_Head head;
    std::vector<Org_Point> points;
};

Rebuilt read_rebuilt(const std::string& path) {
    const std::string bytes = read_bytes(path);
    EXPECT_EQ(bytes.size(), kHeadSize + 3000 * kPointSize) << path;
    Rebuilt r;
    HeadBytes hb{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), kHeadSize), hb.begin());
    r.head = decode_head(hb);
    for (std::size_t off = kHeadSize; off + kPointSize <= bytes.size(); off += kPointSize) {
        PointBytes pb{};
        std::copy_n(bytes.begin() + static_cast<long>(off), kPointSize, pb.begin());
        r.points.push_back(decode_point(pb));
    }
    return r;
}

// Rebuilds `text` written as DIR/name and returns the error text ("" if none).
std::string rebuild_error(State& st, const fs::path& file, const std::string& text) {
    write_bytes(file, text);
    const Problem p = InvOutFile(st, file.string()).problem;
    return p && !p.warning() ? english(p) : "";
}

bool contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

TEST(ExchangeRebuild, TwoBlocksOfOneWellGiveTwoNumberedFiles) {
    const auto dir = temp_dir("exr");
    Block second;
    second.date = "2005-1-25";
    write_bytes(dir / "OutDataFile.Txt", Block{}.text() + second.text());
    State st;
    st.head.Rsv_32 = 7;  // kept from the header held
    st.head.Head_Fill[3] = 0x42;

    const auto files = InvOutFile(st, (dir / "OutDataFile.Txt").string()).files;
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], (dir / "OutDataFile" / "W1.O00").string());
    EXPECT_EQ(files[1], (dir / "OutDataFile" / "W1.O01").string());
    EXPECT_EQ(st.Cur_File, files[1]);  // the last one is analysed and shown

    const Rebuilt a = read_rebuilt(files[0]);
    const std::array<uint8_t, 12> mark = {26, 21, 'P', 'e', 'l', 'o', 'r', '.', 'V', 'a', 'n', 't'};
    EXPECT_EQ(a.head.Head_Mark, mark);
    EXPECT_EQ(a.head.Sample_Rate, 50);
    EXPECT_EQ(a.head.Head_26, 1);
    EXPECT_EQ(a.head.Point_Num, 3000);
    EXPECT_EQ(a.head.Stroke_Len, 1500);
    EXPECT_EQ(a.head.Stroke_Pnt, 500);
    EXPECT_EQ(a.head.Rec_Speed, 1);
    EXPECT_EQ(a.head.Test_Mode, 16385);  // 18 kVA at 380 V and 40 A: about √3/1000
    EXPECT_EQ(a.head.Test_Time, "20051105    ");
    EXPECT_EQ(a.head.Well_Name, "W1              ");
    EXPECT_EQ(a.head.Rsv_32, 7);
    EXPECT_EQ(a.head.Head_Fill[3], 0x42);
    EXPECT_EQ(read_rebuilt(files[1]).head.Test_Time, "20050125    ");
    EXPECT_EQ(read_rebuilt(files[1]).head.Rsv_32, 7);

    // Six repetitions of the 500-sample stroke.
    ASSERT_EQ(a.points.size(), 3000u);
    for (int p = 500; p < 3000; ++p) {
        const Org_Point &x = a.points[p], &y = a.points[p % 500];
        ASSERT_TRUE(x.IQ_Raw == y.IQ_Raw && x.Vol_Raw == y.Vol_Raw && x.Pow_Raw == y.Pow_Raw &&
                    x.Pos_Raw == y.Pos_Raw && x.Force_Raw == y.Force_Raw)
            << p;
    }
    // The 144 points spread over the stroke; the displacement smoothed.
    for (int p = 0; p < 500; p += 7) {
        const Org_Point& x = a.points[p];
        EXPECT_NEAR(x.Force_Raw / 100.0, 30.0 + 5.0 * std::cos(kTwoPi * p / 500.0), 0.08) << p;
        EXPECT_NEAR(x.Pos_Raw / 1000.0, 1.5 - 1.5 * std::cos(kTwoPi * p / 500.0), 0.008) << p;
        EXPECT_NEAR(x.Vol_Raw, 19000, 3) << p;
        EXPECT_NEAR(x.Pow_Raw, 1500, 2) << p;
        EXPECT_NEAR(x.IQ_Raw, 1000, 2) << p;
    }
}

TEST(ExchangeRebuild, ThreePhaseLinesAreAveraged) {
    const auto dir = temp_dir("exr");
    Block b;
    const std::string e = "\r\n";
    b.cur = repeat("010.0") + e + repeat("020.0") + e + repeat("030.0");
    b.vol = repeat("0370") + e + repeat("0380") + e + repeat("0390");
    // The power lines are summed and divided by 10, as the format's readers do.
    b.pow = repeat("050.0") + e + repeat("050.0") + e + repeat("050.0");
    b.var = repeat("033.3") + e + repeat("033.3") + e + repeat("033.3");
    write_bytes(dir / "p3.txt", b.text());
    State st;
    const auto files = InvOutFile(st, (dir / "p3.txt").string()).files;
    ASSERT_EQ(files.size(), 1u);
    const Rebuilt r = read_rebuilt(files[0]);
    EXPECT_EQ(r.head.Test_Mode, 16388);  // 18 kVA at 380 V and 20 A: about 3/1000
    for (int p : {0, 123, 499, 2999}) {
        EXPECT_NEAR(r.points[p].Vol_Raw, 19000, 3) << p;
        EXPECT_NEAR(r.points[p].Pow_Raw, 1500, 2) << p;
        EXPECT_NEAR(r.points[p].IQ_Raw, 999, 2) << p;
    }
}

TEST(ExchangeRebuild, OtherLineEndsUnknownTagsAndStrayLinesAreAccepted) {
    const auto dir = temp_dir("exr");
    Block b;
    b.well = "W\xFF";  // not code page 936
    std::string text = "exported by hand\n[comment]\nsome text\n\n" + b.text("\n");
    text.resize(text.size() - 2);  // the last line without an end
    text = "  [other]\r" + text;
    write_bytes(dir / "lf.txt", text);
    State st;
    const auto files = InvOutFile(st, (dir / "lf.txt").string()).files;
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(fs::path(files[0]).filename(), "W\uFFFD.O00");
}

TEST(ExchangeRebuild, IncompleteBlockWritesNothing) {
    const auto dir = temp_dir("exr");
    std::string text = Block{}.text();
    text = text.substr(0, text.find("[glsj]"));
    write_bytes(dir / "part.txt", text);
    State st;
    const auto r = InvOutFile(st, (dir / "part.txt").string());
    EXPECT_TRUE(r.files.empty());
    EXPECT_EQ(r.problem.kind, Problem::Kind::UnfinishedBlock);
    EXPECT_TRUE(fs::is_empty(dir / "part"));
}

TEST(ExchangeRebuild, WellNamesNeverLeaveTheTargetFolder) {
    EXPECT_EQ(safe_file_name("../x"), ".._x");
    EXPECT_EQ(safe_file_name(".."), "__");
    EXPECT_EQ(safe_file_name("."), "_");
    EXPECT_EQ(safe_file_name(""), "_");
    EXPECT_EQ(safe_file_name("a/b\\c:d*e?f\"g<h>i|j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(safe_file_name("x\ty\x7F"), "x_y_");
    EXPECT_EQ(safe_file_name("北3-17"), "北3-17");

    const auto dir = temp_dir("exr");
    std::string text;
    for (const char* well : {"../x", "..", "/etc/passwd", ""}) {
        Block b;
        b.well = well;
        text += b.text();
    }
    write_bytes(dir / "ex.txt", text);
    State st;
    const auto files = InvOutFile(st, (dir / "ex.txt").string()).files;
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(fs::path(files[0]).filename(), ".._x.O00");
    EXPECT_EQ(fs::path(files[1]).filename(), "__.O00");
    EXPECT_EQ(fs::path(files[2]).filename(), "_etc_passwd.O00");
    EXPECT_EQ(fs::path(files[3]).filename(), "_.O00");
    for (const auto& f : files) EXPECT_EQ(fs::path(f).parent_path(), dir / "ex");
    // Nothing else appeared beside the exchange file.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++entries;
    EXPECT_EQ(entries, 2);
    // The header keeps the name as read.
    EXPECT_EQ(read_rebuilt(files[0]).head.Well_Name, "../x            ");
}

TEST(ExchangeRebuild, AllHundredNamesTakenReusesTheBaseName) {
    const auto dir = temp_dir("exr");
    fs::create_directory(dir / "ex");
    for (int k = 0; k < 100; ++k)
        write_bytes(dir / "ex" / ("W1.O" + std::string(k < 10 ? "0" : "") + std::to_string(k)), "");
    write_bytes(dir / "ex.txt", Block{}.text());
    State st;
    const auto files = InvOutFile(st, (dir / "ex.txt").string()).files;
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(fs::path(files[0]).filename(), "W1.O");
}

TEST(ExchangeRebuild, TargetFolderIsThePathWithoutTheFileNamesExtension) {
    EXPECT_EQ(rebuild_directory("/d/exp.2005/OutDataFile.Txt"), "/d/exp.2005/OutDataFile");
    EXPECT_EQ(rebuild_directory("/d/a.b.txt"), "/d/a");
    EXPECT_EQ(rebuild_directory("/d/.hidden.txt"), "/d/.hidden");
    EXPECT_EQ(rebuild_directory("/d/exp.2005/OutDataFile"), std::nullopt);
    EXPECT_EQ(rebuild_directory("/d/.hidden"), std::nullopt);

    const auto dir = temp_dir("exr");
    fs::create_directory(dir / "exp.2005");
    write_bytes(dir / "exp.2005" / "OutDataFile.Txt", Block{}.text());
    State st;
    const auto files = InvOutFile(st, (dir / "exp.2005" / "OutDataFile.Txt").string()).files;
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(fs::exists(dir / "exp.2005" / "OutDataFile" / "W1.O00"));
}

TEST(ExchangeRebuild, MissingOrUnnamedFilesLeaveNothingBehind) {
    const auto dir = temp_dir("exr");
    State st;
    int busy = 0;
    WindowHooks hooks;
    hooks.set_busy = [&](bool on) { busy += on ? 1 : -1; };
    const std::string typo = english(InvOutFile(st, (dir / "typo.txt").string(), {}, hooks).problem);
    EXPECT_TRUE(contains(typo, "typo.txt")) << typo;
    EXPECT_EQ(busy, 0);  // the pointer is back to the arrow
    EXPECT_FALSE(fs::exists(dir / "typo"));
    write_bytes(dir / "noext", Block{}.text());
    EXPECT_EQ(InvOutFile(st, (dir / "noext").string()).problem.kind, Problem::Kind::NoExtension);
    EXPECT_TRUE(fs::is_regular_file(dir / "noext"));
}

TEST(ExchangeRebuild, ZeroVoltageOrCurrentDoesNotEndTheConversion) {
    const auto dir = temp_dir("exr");
    Block no_current, no_voltage, three_phase;
    no_current.well = "A";
    no_current.cur = repeat("000.0");
    no_voltage.well = "B";
    no_voltage.vol = repeat("0000");
    three_phase.well = "C";
    three_phase.cur = repeat("020.0");
    write_bytes(dir / "z.txt", no_current.text() + no_voltage.text() + three_phase.text());
    State st;
    const auto files = InvOutFile(st, (dir / "z.txt").string()).files;
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(read_rebuilt(files[0]).head.Test_Mode, 16385);
    EXPECT_EQ(read_rebuilt(files[1]).head.Test_Mode, 16385);
    EXPECT_EQ(read_rebuilt(files[2]).head.Test_Mode, 16388);
}

TEST(ExchangeRebuild, HighVoltageIsStoredAsItsWordPattern) {
    const auto dir = temp_dir("exr");
    Block b;
    b.vol = repeat("0700");
    b.cur = repeat("020.0");
    write_bytes(dir / "v.txt", b.text());
    State st;
    const auto files = InvOutFile(st, (dir / "v.txt").string()).files;
    ASSERT_EQ(files.size(), 1u);
    const Rebuilt r = read_rebuilt(files[0]);
    for (int p : {0, 250, 2999}) EXPECT_NEAR(r.points[p].Vol_Raw, 35000 - 65536, 3) << p;
}

TEST(ExchangeRebuild, BadBlocksGiveClearErrorsAndKeepEarlierFiles) {
    struct Case {
        const char* what;
        Block bad;
        const char* reason;
    };
    std::vector<Case> cases;
    {
        Block b;
        b.rate = "0";
        cases.push_back({"rate 0", b, "rate"});
        b.rate = "0.5";  // 6000 samples a stroke
        cases.push_back({"rate too low", b, "6000"});
    }
    {
        Block b;
        b.count = "4000";
        cases.push_back({"count", b, "4000"});
    }
    {
        Block b;
        b.load = repeat("400.0");
        cases.push_back({"load", b, "load"});
    }
    {
        Block b;
        b.stroke = "40";
        cases.push_back({"stroke", b, "stroke"});
    }
    {
        Block b;
        b.pow = repeat("015.0", 100);
        cases.push_back({"short line", b, "line 32"});
    }
    {
        Block b;
        b.date = "20051105";
        cases.push_back({"date", b, "-"});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto dir = temp_dir("exr");
        Block good;
        good.well = "G";
        Block bad = c.bad;
        bad.well = "B";
        State st;
        const std::string err = rebuild_error(st, dir / "bad.txt", good.text() + bad.text() + good.text());
        EXPECT_TRUE(contains(err, "bad.txt")) << err;
        EXPECT_TRUE(contains(err, "well \"B\"")) << err;
        EXPECT_TRUE(contains(err, c.reason)) << err;
        // The first block's file stays; nothing else, no temporary file.
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir / "bad"))
            names.push_back(e.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"G.O00"});
    }
}

TEST(ExchangeRebuild, FileEndingInsideASectionIsAnError) {
    const auto dir = temp_dir("exr");
    std::string text = Block{}.text();
    text = text.substr(0, text.find("[glsj]") + 8) + repeat("020.0");
    State st;
    const std::string err = rebuild_error(st, dir / "cut.txt", text);
    EXPECT_TRUE(contains(err, "ends inside the [glsj] section")) << err;
}

}  // namespace
}  // namespace tavo
