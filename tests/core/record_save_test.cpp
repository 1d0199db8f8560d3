#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "common/numbers.h"
#include "record/tester_file.h"
#include "support/files.h"
#include "support/scratch.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using testing::file_bytes;
using testing::read_bytes;
using testing::temp_dir;
using testing::write_bytes;

State loaded_state(const std::string& path) {
    Org_Head h;
    h.Test_Time = "200506181230";
    h.Well_Name = "北3-17";
    h.Point_Num = 3;
    h.Test_Mode = 1;
    h.Rec_Speed = 1;
    h.Head_Fill[10] = 0x5A;
    write_bytes(
        path,
        file_bytes(h, {{2000, -30536, 1500, 1523, 4567}, {1000, 19000, -200, 0, 100}, {0, 0, 0, 0, 0}}));
    State st;
    Load_Data(st, path);
    return st;
}

TEST(SaveData, WrittenBackAndReadAgainGivesTheSameCurves) {
    const auto dir = temp_dir("save");
    State st = loaded_state((dir / "a.O00").string());
    const SampleArray U = st.Vol_Dat, P = st.Pow_Dat, Q = st.Var_Dat, S = st.VA_Dat;
    int asked = 0;
    WindowHooks hooks;
    hooks.ask_yes_no = [&](const std::string&, const std::string&) { return ++asked, true; };
    const SaveReport r = Save_Data(st, "  " + (dir / "b.O00").string() + " ", hooks);
    ASSERT_EQ(r.kind, SaveReport::Kind::Written) << english(r.problem);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(st.Cur_File, (dir / "b.O00").string());

    State back;
    Load_Data(back, st.Cur_File);
    EXPECT_EQ(back.head.Test_Mode, 16385);
    EXPECT_EQ(back.head.Head_Fill[10], 0x5A);
    EXPECT_EQ(back.Txt_WellName, "北3-17");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back.Vol_Dat[i], U[i]);
        EXPECT_EQ(back.Pow_Dat[i], P[i]);
        EXPECT_NEAR(back.Var_Dat[i], Q[i], 0.005f);
        EXPECT_NEAR(back.VA_Dat[i], S[i], 0.01f);
    }
    // The current is recomputed from the apparent power: S / k / U.
    EXPECT_NEAR(back.Cur_Dat[0], 20.0f, 0.01f);
    EXPECT_EQ(back.Pos_Dat[0], 1.523f);
    EXPECT_EQ(back.Force_Dat[0], 45.67f);
}

TEST(SaveData, AsksOnceBeforeOverwritingAndNoWritesNothing) {
    const auto dir = temp_dir("save");
    const std::string path = (dir / "a.O00").string();
    State st = loaded_state(path);
    const std::string before = read_bytes(path);
    std::string title, text;
    int asked = 0;
    WindowHooks hooks;
    hooks.ask_yes_no = [&](const std::string& t, const std::string& x) {
        ++asked;
        title = t;
        text = x;
        return false;
    };
    EXPECT_EQ(Save_Data(st, path, hooks).kind, SaveReport::Kind::Declined);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(title, "警告信息");
    EXPECT_EQ(text, "a.O00已经存在，你确定要覆盖它吗？");
    EXPECT_EQ(read_bytes(path), before);

    hooks.ask_yes_no = [&](const std::string&, const std::string&) { return ++asked, true; };
    EXPECT_EQ(Save_Data(st, path, hooks).kind, SaveReport::Kind::Written);
    EXPECT_EQ(asked, 2);
}

TEST(SaveData, KeepsTheTailPermissionsAndSymbolicLinks) {
    const auto dir = temp_dir("save");
    const std::string path = (dir / "a.O00").string();
    State st = loaded_state(path);
    std::string bytes = read_bytes(path) + "TAIL";
    write_bytes(path, bytes);
    ::chmod(path.c_str(), 0640);
    fs::create_symlink(path, dir / "link.O00");
    st.Txt_WellName = "W";
    ASSERT_EQ(Save_Data(st, (dir / "link.O00").string()).kind, SaveReport::Kind::Written);
    EXPECT_TRUE(fs::is_symlink(dir / "link.O00"));
    const std::string after = read_bytes(path);
    ASSERT_EQ(after.size(), bytes.size());
    EXPECT_EQ(after.substr(after.size() - 4), "TAIL");
    struct stat sb {};
    ::stat(path.c_str(), &sb);
    EXPECT_EQ(sb.st_mode & 0777, 0640u);
    // No temporary file is left behind.
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir)) files += e.is_symlink() ? 0 : 1;
    EXPECT_EQ(files, 1);
}

TEST(SaveData, AFailedWriteIsReportedAndReplacesNothing) {
    const auto dir = temp_dir("save");
    State st = loaded_state((dir / "a.O00").string());
    const SaveReport r = Save_Data(st, (dir / "missing-folder" / "b.O00").string());
    EXPECT_EQ(r.kind, SaveReport::Kind::Failed);
    EXPECT_EQ(r.problem.kind, Problem::Kind::CannotWriteBack);
    EXPECT_EQ(r.problem.io.error, ENOENT);
    EXPECT_FALSE(fs::exists(dir / "missing-folder"));
}

TEST(SaveData, RecordsOnlyForHeldSamplesAndWordsSaturate) {
    const auto dir = temp_dir("save");
    State st = loaded_state((dir / "a.O00").string());
    st.head.Point_Num = 3005;  // more than the arrays hold
    st.Pow_Dat[0] = 400.0f;    // 40000 does not fit a word
    st.Force_Dat[0] = -500.0f;
    const std::string target = (dir / "c.O00").string();
    ASSERT_EQ(Save_Data(st, target).kind, SaveReport::Kind::Written);
    const std::string out = read_bytes(target);
    EXPECT_EQ(out.size(), kHeadSize + 3000 * kPointSize);
    State back;
    Load_Data(back, target);
    EXPECT_EQ(back.Pow_Dat[0], 327.67f);
    EXPECT_EQ(back.Force_Dat[0], -327.68f);
}

TEST(VoltageWord, RoundsBeforeWrapping) {
    EXPECT_EQ(voltage_word(700.0f * 50.0f), -30536);
    EXPECT_EQ(voltage_word(32767.0f), 32767);
    EXPECT_EQ(voltage_word(32767.5f), -32768);  // 655.35 V: rounded first, then wrapped
    EXPECT_EQ(voltage_word(32767.25f), 32767);
    EXPECT_EQ(voltage_word(65535.0f), -1);
    EXPECT_EQ(voltage_word(70000.0f), -1);  // saturated at 1310.7 V
    EXPECT_EQ(voltage_word(-5.0f), 0);
}

}  // namespace
}  // namespace tavo
