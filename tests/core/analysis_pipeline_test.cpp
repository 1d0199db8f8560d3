// The whole pipeline on tester files of known stroke, and on damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "analysis/pick_file.h"
#include "analysis/pipeline.h"
#include "record/state.h"
#include "support/files.h"
#include "support/scratch.h"

namespace tavo {
namespace {

constexpr double kPi = 3.14159265358979323846;

using Curve = std::function<double(int)>;

Curve cosine_rod(int period, double stroke = 3.0) {
    return [=](int i) { return 0.2 + stroke / 2.0 * (1.0 - std::cos(2.0 * kPi * (i + 37) / period)); };
}
Curve triangle_rod(int period, double stroke = 3.0) {
    return [=](int i) {
        const double u = std::fmod(static_cast<double>(i + period / 2 - 250), period) / period;
        return 0.2 + stroke * (u < 0.5 ? 2.0 * u : 2.0 - 2.0 * u);
    };
}
Curve motor(int period) {
    return [=](int i) { return 10.0 + 6.0 * std::cos(2.0 * kPi * (i + 60) / period); };
}
Curve flat(double v) {
    return [=](int) { return v; };
}

// Mode 1 with the current in the first word; 380 V.
std::string test_file(const Curve& pos, const Curve& pow, int n = 3000) {
    Org_Head h;
    h.Test_Time = "202611051230";
    h.Well_Name = "TEST-1";
    h.Point_Num = static_cast<int16_t>(n);
    h.Test_Mode = 1;
    h.Rec_Speed = 1;
    std::vector<Org_Point> pts(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        auto& p = pts[static_cast<std::size_t>(i)];
        const double P = pow(i);
        p.IQ_Raw = static_cast<int16_t>(std::lround(100.0 * P / (0.6 * 380.0 * std::sqrt(3.0) / 1000.0)));
        p.Vol_Raw = 19000;
        p.Pow_Raw = static_cast<int16_t>(std::lround(100.0 * P));
        p.Pos_Raw = static_cast<int16_t>(std::lround(1000.0 * pos(i)));
        p.Force_Raw =
            static_cast<int16_t>(std::lround(100.0 * (30.0 + 8.0 * std::sin(2.0 * kPi * i / 600.0))));
    }
    return testing::file_bytes(h, pts);
}

struct Pipeline : ::testing::Test {
    testing::ScratchDir dir{"pipeline"};
    std::unique_ptr<State> st = std::make_unique<State>();
    void run(const std::string& bytes, const std::string& name = "T.O00") {
        const auto path = dir / name;
        testing::write_bytes(path, bytes);
        pick_file(*st, path.string());
    }
};

TEST_F(Pipeline, DisplacementDecides) {
    run(test_file(cosine_rod(600), motor(400)));
    EXPECT_EQ(st->Circle_Num, 601);
    EXPECT_EQ(st->Pow_Circle_Num, 601);
    EXPECT_EQ(st->CircleDot, "601");
    EXPECT_EQ(st->Rec_Spd, "1");
    EXPECT_EQ(st->Sgt_Period, 601);
    EXPECT_EQ(st->Quad_Num[5], 601.0f);
    EXPECT_EQ(st->Cur_File, (dir / "T.O00").string());
    EXPECT_EQ(st->last_load.kind, Problem::Kind::None);
}

TEST_F(Pipeline, NoCardLetsThePowerDecide) {
    run(test_file(flat(0.0), motor(550)));
    EXPECT_EQ(st->Circle_Num, 551);
    EXPECT_EQ(st->CircleDot, "551");
    EXPECT_EQ(st->Sgt_Stroke, 0);
}

TEST_F(Pipeline, DisplacementLengthLimits) {
    run(test_file(triangle_rod(2449), motor(400)));
    EXPECT_EQ(st->Circle_Num, 2450);  // accepted
    run(test_file(triangle_rod(2450), motor(400)));
    EXPECT_EQ(st->Circle_Num, 401);  // 2451 rejected
    run(test_file(cosine_rod(209), motor(400)));
    EXPECT_EQ(st->Circle_Num, 401);  // 210 rejected
    run(test_file(cosine_rod(600, 0.9), motor(400)));
    EXPECT_EQ(st->Circle_Num, 401);  // amplitude 0.45 m: the rod hardly moves
}

TEST_F(Pipeline, SecondPowerAttemptSkipsTheFirstTenSeconds) {
    // The first 500 samples run at another speed; the first attempt finds no
    // plausible stroke, the second one finds the later one.
    const Curve fast = motor(200), slow = motor(600);
    run(test_file(flat(0.0), [&](int i) { return i < 500 ? 2.0 * fast(i) : slow(i); }));
    EXPECT_EQ(st->Circle_Num, 601);

    // Nothing repeats after the first 10 s: the second attempt's 2500 (no
    // cycle) becomes 3000.
    run(test_file(flat(0.0), [&](int i) { return i < 500 ? motor(300)(i) : 7.0; }));
    EXPECT_EQ(st->Circle_Num, 3000);
    EXPECT_EQ(st->CircleDot, "3000");
}

TEST_F(Pipeline, ShortFileUsesTheSamplesItHolds) {
    run(test_file(cosine_rod(500), motor(500), 2000));
    EXPECT_EQ(st->last_load.kind, Problem::Kind::None);
    EXPECT_EQ(st->Circle_Num, 501);
}

TEST_F(Pipeline, MissingFileIsNotAnalysed) {
    run(test_file(cosine_rod(600), motor(400)));
    const std::string held = st->Cur_File;
    st->Circle_Num = 77;  // as a manual entry leaves it
    const auto path = (dir / "none.O00").string();
    st->Circle_Tol = 0.02f;
    EXPECT_EQ(tx_org(*st, path, 1).kind, Problem::Kind::CannotOpen);
    EXPECT_EQ(st->last_load.kind, Problem::Kind::CannotOpen);
    EXPECT_EQ(st->Cur_File, held);
    EXPECT_EQ(st->Circle_Num, 77);
}

TEST_F(Pipeline, DamagedFilesNeverCrash) {
    const std::string good = test_file(cosine_rod(600), motor(400));
    std::vector<std::string> damaged;
    damaged.push_back(std::string(1024 + 10 * 3000, '\xFF'));
    damaged.push_back(std::string(1024 + 10 * 3000, '\0'));
    damaged.push_back(std::string(10, 'x'));
    damaged.push_back(good.substr(0, 1024));
    damaged.push_back(good.substr(0, 1024 + 10 * 700 + 3));
    for (int16_t points : {int16_t{-1}, int16_t{-32768}, int16_t{32767}, int16_t{1}, int16_t{20}}) {
        std::string b = good;
        b[28] = static_cast<char>(points & 0xFF);
        b[29] = static_cast<char>((points >> 8) & 0xFF);
        damaged.push_back(b);
    }
    for (int16_t speed : {int16_t{0}, int16_t{-7}, int16_t{32767}}) {
        std::string b = good;
        b[66] = static_cast<char>(speed & 0xFF);
        b[67] = static_cast<char>((speed >> 8) & 0xFF);
        damaged.push_back(b);
    }
    uint32_t s = 5;
    std::string noise(1024 + 10 * 3000, '\0');
    for (auto& c : noise) {
        s = s * 1664525u + 1013904223u;
        c = static_cast<char>(s >> 24);
    }
    damaged.push_back(noise);
    for (const auto& b : damaged) {
        run(b);
        if (not_analysed(st->last_load)) continue;  // no test: nothing analysed
        EXPECT_GE(st->Circle_Num, 1);
        EXPECT_LE(st->Circle_Num, 3000);
        EXPECT_EQ(st->CircleDot, std::to_string(st->Circle_Num));
        EXPECT_EQ(st->Pow_Circle_Num, st->Circle_Num);
    }
}

}  // namespace
}  // namespace tavo
