// Picking a file: a file that cannot be read as a tester file changes
// nothing of the state, and says why.
#include "analysis/pick_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "record/tester_file.h"
#include "session/session.h"
#include "support/files.h"
#include "support/scratch.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

const std::string kSample = std::string(TAVO_SOURCE_DIR) + "/samples/T7-15.O00";

// The parts of the state a pick may change, as bytes.
std::string snapshot(const State& st) {
    std::string s;
    for (const SampleArray* a : {&st.Cur_Dat, &st.Vol_Dat, &st.Pow_Dat, &st.Var_Dat, &st.VA_Dat, &st.PF_Dat,
                                 &st.Pos_Dat, &st.Force_Dat})
        s.append(reinterpret_cast<const char*>(a->data()), a->size() * sizeof(float));
    const HeadBytes hb = encode_head(st.head);
    s.append(reinterpret_cast<const char*>(hb.data()), hb.size());
    for (const std::string& t : st.Text3) s += t + '|';
    s += st.Cur_File + '|' + st.Txt_WellName + '|' + st.Txt_TestTime + '|' + st.Rec_Spd + '|' + st.CircleDot +
         '|' + std::to_string(st.Circle_Num) + '|' + std::to_string(st.Sgt_Period);
    return s;
}

// The same with what the session holds beside the analysis.
std::string snapshot(const Session& s) {
    return snapshot(s.st) + '|' + s.TxtOutFile + '|' + s.Picture1_ToolTip + '|' + std::to_string(s.Disp_Mode);
}

TEST(PickFile, AFileThatCannotBeReadChangesNothing) {
    const auto dir = testing::temp_dir("pick");
    testing::write_bytes(dir / "short.O00", std::string(10, '\0'));
    testing::write_bytes(dir / "header.O00", testing::read_bytes(kSample).substr(0, kHeadSize - 1));
    // A header and no whole sample record: no test, whatever its Point_Num.
    testing::write_bytes(dir / "nosamples.O00",
                         testing::read_bytes(kSample).substr(0, kHeadSize + kPointSize - 1));
    std::string zero_count = testing::read_bytes(kSample);
    zero_count[28] = zero_count[29] = '\0';  // Point_Num
    testing::write_bytes(dir / "zerocount.O00", zero_count);
    fs::create_directory(dir / "folder.O00");
    ASSERT_EQ(::mkfifo((dir / "pipe.O00").c_str(), 0644), 0);

    auto s = std::make_unique<Session>();
    int repaints = 0;
    s->hooks.repaint = [&] { ++repaints; };
    s->Opt_fil = 1;  // write-back mode: the target follows the file picked
    ASSERT_FALSE(pick_file(*s, kSample));
    EXPECT_EQ(s->TxtOutFile, kSample);
    EXPECT_EQ(s->Disp_Mode, 1);  // a picked file shows its chart first
    EXPECT_EQ(s->Picture1_ToolTip, "单击此处可显示电能数据");
    EXPECT_EQ(repaints, 1);
    s->Disp_Mode = 2;  // the table on display
    const std::string before = snapshot(*s);
    const struct {
        const char* name;
        Problem::Kind kind;
        IoFailure::Why why;
    } cases[] = {{"short.O00", Problem::Kind::ShortHeader, IoFailure::Why::None},
                 {"header.O00", Problem::Kind::ShortHeader, IoFailure::Why::None},
                 {"nosamples.O00", Problem::Kind::NoSamples, IoFailure::Why::None},
                 {"zerocount.O00", Problem::Kind::NoSamples, IoFailure::Why::None},
                 {"folder.O00", Problem::Kind::CannotOpen, IoFailure::Why::Folder},
                 {"pipe.O00", Problem::Kind::CannotOpen, IoFailure::Why::NotOrdinaryFile},
                 {"gone.O00", Problem::Kind::CannotOpen, IoFailure::Why::System}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Problem p = pick_file(*s, (dir / c.name).string());
        EXPECT_EQ(p.kind, c.kind);
        EXPECT_EQ(p.io.why, c.why);
        EXPECT_EQ(p.path, (dir / c.name).string());
        EXPECT_TRUE(not_analysed(p));
        EXPECT_EQ(snapshot(*s), before);
        // The failure names the file that failed, not the one still held.
        EXPECT_EQ(s->st.last_load.path, (dir / c.name).string());
    }
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(pick_file(*s, (dir / "gone.O00").string()).io.error, ENOENT);
}

TEST(PickFile, TheExportTargetStaysInExportMode) {
    auto s = std::make_unique<Session>();
    ASSERT_FALSE(pick_file(*s, kSample));
    EXPECT_EQ(s->TxtOutFile, "OutDataFile.Txt");
    EXPECT_EQ(s->st.Cur_File, kSample);
}

TEST(PickFile, MissingSamplesAreAWarningAndTheFileIsAnalysed) {
    const auto dir = testing::temp_dir("pick");
    const fs::path cut = dir / "cut.O00";
    testing::write_bytes(cut, testing::read_bytes(kSample).substr(0, kHeadSize + 1000 * kPointSize));
    State st;
    const Problem p = pick_file(st, cut.string());
    EXPECT_EQ(p.kind, Problem::Kind::ShortSamples);
    EXPECT_TRUE(p.warning());
    EXPECT_FALSE(not_analysed(p));
    EXPECT_EQ(english(p), "the file holds 1000 of the 3000 samples its header announces");
    EXPECT_EQ(st.Cur_File, cut.string());
}

// Everything a pick computes, as text: the arrays, the header, the boxes and
// the electrical and card results.
std::string results(const State& st) {
    std::string s = snapshot(st);
    for (const QuadTable* q :
         {&st.Quad_Num, &st.Quad_Cur, &st.Quad_Pow, &st.Quad_Var, &st.Quad_VA, &st.Quad_PF})
        for (float v : *q) s += std::to_string(v) + ',';
    for (double v : {st.Max_Up_Cur, st.Max_Down_Cur, st.Avg_Up_Pow, st.Avg_Down_Pow, double(st.Sgt_Work),
                     double(st.Sgt_Power), double(st.Circle_Corr)})
        s += std::to_string(v) + ',';
    for (int v : {int(st.Pow_Circle_Num), int(st.Pow_Mode), int(st.Sgt_Stroke), int(st.Sgt_MaxLoad),
                  int(st.Sgt_MinLoad)})
        s += std::to_string(v) + ',';
    return s;
}

TEST(PickFile, AShortFileGivesTheSameResultsWhateverWasReadBefore) {
    const auto dir = testing::temp_dir("pick");
    const fs::path cut = dir / "cut.O00";
    testing::write_bytes(cut, testing::read_bytes(kSample).substr(0, kHeadSize + 1200 * kPointSize));
    auto fresh = std::make_unique<State>();
    pick_file(*fresh, cut.string());
    auto after = std::make_unique<State>();
    pick_file(*after, std::string(TAVO_SOURCE_DIR) + "/samples/北3-17.O01");
    pick_file(*after, cut.string());
    EXPECT_EQ(results(*after), results(*fresh));
    EXPECT_EQ(after->Pow_Dat[2999], 0.0f);
    EXPECT_EQ(after->Force_Dat[1200], 0.0f);
}

TEST(PickFile, TheLockBoxesKeepTheirCurvesPastAShortFile) {
    const auto dir = testing::temp_dir("pick");
    const fs::path cut = dir / "cut.O00";
    testing::write_bytes(cut, testing::read_bytes(kSample).substr(0, kHeadSize + 1200 * kPointSize));
    auto st = std::make_unique<State>();
    pick_file(*st, std::string(TAVO_SOURCE_DIR) + "/samples/北3-17.O01");
    const State before = *st;
    st->Chk_POW = true;  // the electrical curves stay the file before's, all of them
    Load_Data(*st, cut.string());
    EXPECT_EQ(st->Pow_Dat, before.Pow_Dat);
    EXPECT_EQ(st->Cur_Dat, before.Cur_Dat);
    EXPECT_EQ(st->Pos_Dat[2000], 0.0f);
    EXPECT_EQ(st->Force_Dat[2999], 0.0f);
}

}  // namespace
}  // namespace tavo
