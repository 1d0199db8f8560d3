#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "common/text.h"
#include "record/tester_file.h"
#include "support/files.h"
#include "support/scratch.h"

namespace tavo {
namespace {

using testing::file_bytes;
using testing::temp_dir;
using testing::write_bytes;

Org_Head head(int16_t mode, int16_t points) {
    Org_Head h;
    h.Test_Time = "200506181230";
    h.Well_Name = "杨12-5";
    h.Point_Num = points;
    h.Test_Mode = mode;
    h.Rec_Speed = 1;
    return h;
}

std::string write_test(const std::string& dir, const std::string& name, const Org_Head& h,
                       const std::vector<Org_Point>& pts) {
    const std::string path = dir + "/" + name;
    write_bytes(path, file_bytes(h, pts));
    return path;
}

TEST(RecordLayout, HeaderFieldsAtTheirOffsetsLittleEndian) {
    Org_Head h = head(16385, 3000);
    h.Sample_Rate = 50;
    h.Stroke_Len = 1500;
    h.Stroke_Pnt = 500;
    h.Rec_Speed = 2;
    h.Head_Mark = {26, 21, 'P', 'e', 'l', 'o', 'r', '.', 'V', 'a', 'n', 't'};
    h.Head_Fill[0] = 0xAB;
    h.Head_Fill[955] = 0xCD;
    const HeadBytes b = encode_head(h);
    EXPECT_EQ(b[0], 26);
    EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 24), "200506181230");
    EXPECT_EQ(b[24], 50);
    EXPECT_EQ(b[28], 3000 & 0xFF);
    EXPECT_EQ(b[29], 3000 >> 8);
    EXPECT_EQ(b[30], 0x01);
    EXPECT_EQ(b[31], 0x40);
    EXPECT_EQ(b[46], 1500 & 0xFF);
    // 杨 is D1 EE in code page 936; the field is padded with blanks.
    EXPECT_EQ(b[48], 0xD1);
    EXPECT_EQ(b[49], 0xEE);
    EXPECT_EQ(std::string(b.begin() + 50, b.begin() + 64), std::string("12-5") + std::string(10, ' '));
    EXPECT_EQ(b[64], 500 & 0xFF);
    EXPECT_EQ(b[66], 2);
    EXPECT_EQ(b[68], 0xAB);
    EXPECT_EQ(b[1023], 0xCD);

    const Org_Head back = decode_head(b);
    EXPECT_EQ(back.Test_Mode, 16385);
    EXPECT_EQ(MyTrim(back.Well_Name), "杨12-5");
    EXPECT_EQ(back.Head_Mark, h.Head_Mark);
    EXPECT_EQ(back.Head_Fill, h.Head_Fill);
    EXPECT_EQ(encode_head(back), b);
}

TEST(RecordLayout, SampleWordsRoundTrip) {
    const Org_Point p{-2, -30536, 1500, -1234, 32767};
    const PointBytes b = encode_point(p);
    EXPECT_EQ(b[0], 0xFE);
    EXPECT_EQ(b[1], 0xFF);
    const Org_Point q = decode_point(b);
    EXPECT_EQ(q.Vol_Raw, -30536);
    EXPECT_EQ(q.Pos_Raw, -1234);
    EXPECT_EQ(q.Force_Raw, 32767);
}

TEST(RecordLayout, EightChineseCharactersFillTheNameAndLongerIsCutWhole) {
    Org_Head h = head(1, 0);
    h.Well_Name = "一二三四五六七八";
    HeadBytes b = encode_head(h);
    EXPECT_EQ(MyTrim(decode_head(b).Well_Name), "一二三四五六七八");
    h.Well_Name = "A一二三四五六七八";  // 17 bytes: the last character is dropped whole
    b = encode_head(h);
    EXPECT_EQ(b[63], ' ');
    EXPECT_EQ(MyTrim(decode_head(b).Well_Name), "A一二三四五六七");
}

TEST(LoadData, VoltageWordsAboveTheSignedRange) {
    const auto tmp = temp_dir("load");
    const std::string dir = tmp.string();
    const std::string p = write_test(dir, "v.O00", head(1, 2), {{0, -1, 0, 0, 0}, {0, -30536, 0, 0, 0}});
    State st;
    Load_Data(st, p);
    EXPECT_EQ(st.Vol_Dat[0], 65535.0f / 50.0f);
    EXPECT_EQ(st.Vol_Dat[0], 1310.7f);
    EXPECT_EQ(st.Vol_Dat[1], 700.0f);
}

TEST(LoadData, CurrentFirstModeOneDerivesApparentAndReactivePower) {
    const auto tmp = temp_dir("load");
    const std::string dir = tmp.string();
    const std::string p = write_test(dir, "m1.O00", head(1, 1), {{2000, -30536, 1500, 1523, 4567}});
    State st;
    const Problem r = Load_Data(st, p);
    EXPECT_EQ(r.kind, Problem::Kind::None);
    EXPECT_EQ(r.records_read, 1);
    const float k = static_cast<float>(std::sqrt(3.0) / 1000.0);
    EXPECT_EQ(st.Cur_Dat[0], 20.0f);
    EXPECT_EQ(st.Vol_Dat[0], 700.0f);
    EXPECT_EQ(st.Pow_Dat[0], 15.0f);
    const float S = 20.0f * 700.0f * k;
    EXPECT_EQ(st.VA_Dat[0], S);
    EXPECT_NEAR(S, 24.249f, 0.001f);
    EXPECT_EQ(st.Var_Dat[0], std::sqrt(S * S - 15.0f * 15.0f));
    EXPECT_NEAR(st.Var_Dat[0], 19.05f, 0.01f);
    EXPECT_EQ(st.PF_Dat[0], 15.0f / S);
    EXPECT_NEAR(st.PF_Dat[0], 0.619f, 0.001f);
    EXPECT_EQ(st.Pos_Dat[0], 1.523f);
    EXPECT_EQ(st.Force_Dat[0], 45.67f);
    EXPECT_EQ(st.Txt_WellName, "杨12-5");
    EXPECT_EQ(st.Txt_TestTime, "200506181230");
    EXPECT_EQ(st.Rec_Spd, "1");
}

TEST(LoadData, ReactiveFirstCurrentIsZeroAtLowVoltageAndWithoutAFactor) {
    const auto tmp = temp_dir("load");
    const std::string dir = tmp.string();
    // 3 V exactly is not above 3: no current.
    const std::string p =
        write_test(dir, "q.O00", head(16385, 2), {{500, 150, 1200, 0, 0}, {500, 19000, 1200, 0, 0}});
    State st;
    Load_Data(st, p);
    EXPECT_EQ(st.Cur_Dat[0], 0.0f);
    EXPECT_GT(st.Cur_Dat[1], 0.0f);
    EXPECT_EQ(st.Var_Dat[0], 5.0f);
    EXPECT_EQ(st.VA_Dat[0], 13.0f);

    // Mode 0 with bit 14: the division by k = 0 fails, the current stays 0.
    const std::string p0 = write_test(dir, "q0.O00", head(16384, 1), {{500, 19000, 1200, 0, 0}});
    State st0;
    Load_Data(st0, p0);
    EXPECT_EQ(st0.Cur_Dat[0], 0.0f);
    EXPECT_EQ(st0.VA_Dat[0], 13.0f);
}

TEST(LoadData, NegativeMeanPowerIsNegatedAndDerivedReactivePowerKept) {
    const auto tmp = temp_dir("load");
    const std::string dir = tmp.string();
    const std::string p =
        write_test(dir, "n.O00", head(1, 2), {{5000, 19000, -1500, 0, 0}, {5000, 19000, 500, 0, 0}});
    State st;
    Load_Data(st, p);
    EXPECT_EQ(st.Pow_Dat[0], 15.0f);
    EXPECT_EQ(st.Pow_Dat[1], -5.0f);
    EXPECT_GT(st.Var_Dat[0], 0.0f);  // a magnitude, not negated
    EXPECT_GT(st.PF_Dat[0], 0.0f);

    // Read from the file (bit 14), the reactive power is negated too.
    const std::string q = write_test(dir, "nq.O00", head(16385, 1), {{300, 19000, -1500, 0, 0}});
    State sq;
    Load_Data(sq, q);
    EXPECT_EQ(sq.Pow_Dat[0], 15.0f);
    EXPECT_EQ(sq.Var_Dat[0], -3.0f);
}

TEST(LoadData, LockBoxesKeepTheirGroupAndThePolarityCorrectionLeavesLockedCurves) {
    const auto tmp = temp_dir("load");
    const std::string dir = tmp.string();
    const std::string a = write_test(dir, "a.O00", head(1, 1), {{1000, 19000, 500, 1000, 2000}});
    const std::string b = write_test(dir, "b.O00", head(1, 1), {{3000, 19500, -700, 2000, 4000}});
    State st;
    Load_Data(st, a);
    st.Chk_SGT = true;
    Load_Data(st, b);
    EXPECT_EQ(st.Pow_Dat[0], 7.0f);  // b's, negated
    EXPECT_EQ(st.Pos_Dat[0], 1.0f);  // a's
    EXPECT_EQ(st.Force_Dat[0], 20.0f);

    st.Chk_SGT = false;
    st.Chk_POW = true;
    Load_Data(st, b);
    EXPECT_EQ(st.Pow_Dat[0], 7.0f);  // kept, not negated again
    EXPECT_EQ(st.Pos_Dat[0], 2.0f);
}

TEST(LoadData, OnlyTheFirst3000SamplesAreHeldAndIndex3000NeverWritten) {
    const auto tmp = temp_dir("load");
    const std::string dir = tmp.string();
    std::vector<Org_Point> pts(3005, Org_Point{100, 19000, 100, 100, 100});
    pts[3002].Pow_Raw = -30000;  // counts in the mean although not held
    const std::string p = write_test(dir, "long.O00", head(1, 3005), pts);
    State st;
    st.Pow_Dat[3000] = 42.0f;
    const Problem r = Load_Data(st, p);
    EXPECT_EQ(r.records_read, 3005);
    EXPECT_EQ(st.Pow_Dat[2999], 1.0f);
    EXPECT_EQ(st.Pow_Dat[3000], 42.0f);
}

TEST(LoadData, DamagedFilesFollowTheFailureRule) {
    const auto tmp = temp_dir("damaged");
    const std::string dir = tmp.string();
    State st;
    const std::string good =
        write_test(dir, "g.O00", head(1, 2), {{1000, 19000, 500, 1000, 2000}, {1, 2, 3, 4, 5}});
    Load_Data(st, good);

    // Missing file: nothing changes.
    const Problem missing = Load_Data(st, dir + "/none.O00");
    EXPECT_EQ(missing.kind, Problem::Kind::CannotOpen);
    EXPECT_EQ(st.Txt_WellName, "杨12-5");
    EXPECT_EQ(st.Pow_Dat[0], 5.0f);

    // Shorter than the header: the header record stays as it was.
    write_bytes(dir + "/short.O00", std::string(100, 'x'));
    const Problem shorth = Load_Data(st, dir + "/short.O00");
    EXPECT_EQ(shorth.kind, Problem::Kind::ShortHeader);
    EXPECT_EQ(st.head.Point_Num, 2);

    // Fewer records than announced: the test of the records held; the
    // arrays beyond are cleared (the lock boxes aside).
    std::string bytes = testing::file_bytes(head(1, 4), {{1000, 19000, 900, 1000, 2000}});
    bytes += std::string(5, '\0');  // half a record
    write_bytes(dir + "/trunc.O00", bytes);
    const Problem tr = Load_Data(st, dir + "/trunc.O00");
    EXPECT_EQ(tr.kind, Problem::Kind::ShortSamples);
    EXPECT_EQ(tr.records_read, 1);
    EXPECT_EQ(tr.records_expected, 4);
    EXPECT_EQ(st.head.Point_Num, 1);
    EXPECT_EQ(st.Pow_Dat[0], 9.0f);
    EXPECT_EQ(st.Pow_Dat[1], 0.0f);
    EXPECT_EQ(st.Pow_Dat[3], 0.0f);

    // Point_Num of 0 or negative, or all bytes 0xFF (Point_Num -1): no
    // sample record, no test; nothing of the state changes.
    st.Pow_Dat[0] = -3.0f;
    EXPECT_EQ(Load_Data(st, write_test(dir, "zero.O00", head(1, 0), {})).kind, Problem::Kind::NoSamples);
    EXPECT_EQ(st.Pow_Dat[0], -3.0f);
    EXPECT_EQ(Load_Data(st, write_test(dir, "neg.O00", head(1, -5), {})).kind, Problem::Kind::NoSamples);
    EXPECT_EQ(st.Pow_Dat[0], -3.0f);
    write_bytes(dir + "/ff.O00", std::string(1024 + 100, '\xFF'));
    const Problem ff = Load_Data(st, dir + "/ff.O00");
    EXPECT_EQ(ff.kind, Problem::Kind::NoSamples);
    EXPECT_EQ(ff.records_expected, -1);
    EXPECT_EQ(st.head.Point_Num, 1);
    EXPECT_EQ(st.last_load.path, dir + "/ff.O00");
}

TEST(MyTrimTest, BlanksAndNulsAtBothEnds) {
    EXPECT_EQ(MyTrim(std::string("  AB C\0\0", 8)), "AB C");
    EXPECT_EQ(MyTrim(std::string("\0 \0", 3)), "");
    EXPECT_EQ(MyTrim(""), "");
    EXPECT_EQ(MyTrim("　井　"), "　井　");  // the full-width blank stays
}

}  // namespace
}  // namespace tavo
