// The committed sample tests and their generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>

#include "common/text.h"
#include "record/tester_file.h"
#include "support/files.h"
#include "tools/sample_gen.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using samples::WellPlan;

const std::string kSamplesDir = testing::samples_dir().string();
// The real card data some sample wells are drawn from lies outside the
// repository; without it those wells fall back to synthetic cards.
const std::optional<fs::path> kRealData = testing::shared_data("realdata");
const char* const kNoRealData = "needs the real card data in ../shared/realdata beside the source tree";

std::vector<uint8_t> read_bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path sample_path(const WellPlan& w) {
    return fs::path(kSamplesDir) / fs::path(w.file_name);
}

const samples::RealCards* real_cards() {
    static samples::RealCards cards;
    static const bool ok = kRealData && samples::read_real_cards(kRealData->string(), cards).ok;
    return ok ? &cards : nullptr;
}

TEST(SampleFiles, HeadersCarryWhatThePlanSays) {
    for (const WellPlan& w : samples::sample_plans()) {
        SCOPED_TRACE(w.file_name);
        const std::vector<uint8_t> bytes = read_bytes(sample_path(w));
        ASSERT_EQ(bytes.size(), kHeadSize + kPointSize * static_cast<std::size_t>(w.point_num));
        HeadBytes hb{};
        std::copy_n(bytes.begin(), kHeadSize, hb.begin());
        const Org_Head h = decode_head(hb);
        EXPECT_EQ(h.Point_Num, w.point_num);
        EXPECT_EQ(h.Test_Mode & 7, w.mode);
        EXPECT_EQ((h.Test_Mode & kModeReactiveFirst) != 0, w.reactive_first);
        EXPECT_EQ(h.Test_Mode & ~(7 | kModeReactiveFirst), 0);
        EXPECT_EQ(h.Rec_Speed, w.rec_speed);
        EXPECT_EQ(h.Sample_Rate, 50 / w.rec_speed);
        EXPECT_EQ(h.Stroke_Pnt, w.cycle);
        EXPECT_EQ(MyTrim(h.Well_Name), w.well_name);
        EXPECT_EQ(MyTrim(h.Test_Time), w.test_time);
        EXPECT_EQ(h.Head_Mark, samples::tester_mark());
    }
}

// The set covers what the tests of the other parts rely on.
TEST(SampleFiles, SetCoversModesLayoutsPeriodsAndOddFiles) {
    const auto plans = samples::sample_plans();
    EXPECT_GE(plans.size(), 10u);
    EXPECT_LE(plans.size(), 14u);
    std::set<std::pair<int, bool>> layouts;
    std::set<std::string> lower_names;
    double shortest = 1e9, longest = 0.0, min_stroke = 1e9, max_stroke = 0.0;
    int no_card = 0, short_file = 0, slow = 0, chinese = 0, ascii = 0, negative = 0;
    for (const WellPlan& w : plans) {
        layouts.insert({w.mode, w.reactive_first});
        const double period = w.cycle * w.rec_speed * 0.02;
        shortest = std::min(shortest, period);
        longest = std::max(longest, period);
        if (!w.no_card) {
            min_stroke = std::min(min_stroke, w.stroke_m);
            max_stroke = std::max(max_stroke, w.stroke_m);
        }
        no_card += w.no_card;
        short_file += w.point_num < 3000;
        slow += w.rec_speed == 2;
        negative += w.negative_power;
        const bool wide = std::any_of(w.well_name.begin(), w.well_name.end(),
                                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        (wide ? chinese : ascii)++;
        EXPECT_LE(utf8_to_gbk(w.well_name).size(), 16u) << w.well_name;
        EXPECT_EQ(w.test_time.size(), 12u);
        // The file list shows "*.o*", whatever the case.
        std::string ext = fs::path(w.file_name).extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_EQ(ext.rfind(".o", 0), 0u) << w.file_name;
        std::string lower = w.file_name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        EXPECT_TRUE(lower_names.insert(lower).second) << "file names differ only by case: " << w.file_name;
    }
    EXPECT_EQ(layouts.size(), 8u) << "every mode 1..4 with bit 14 clear and set";
    EXPECT_EQ(shortest, 5.0);
    EXPECT_EQ(longest, 30.0);
    EXPECT_EQ(min_stroke, 1.0);
    EXPECT_EQ(max_stroke, 6.0);
    EXPECT_EQ(no_card, 1);
    EXPECT_EQ(short_file, 1);
    EXPECT_EQ(slow, 1);
    EXPECT_GE(negative, 2);
    EXPECT_GE(chinese, 3);
    EXPECT_GE(ascii, 3);
}

float mean_of(const SampleArray& a, int n) {
    float s = 0.0f;
    for (int i = 0; i < n; ++i) s += a[i];
    return s / static_cast<float>(n);
}

TEST(SampleFiles, LoadGivesPlausibleCurves) {
    for (const WellPlan& w : samples::sample_plans()) {
        SCOPED_TRACE(w.file_name);
        State st;
        const Problem r = Load_Data(st, sample_path(w).string());
        ASSERT_EQ(r.kind, Problem::Kind::None) << english(r);
        const int n = std::min(w.point_num, kMaxSamples);
        const float u_nom = w.mode == 3 ? 220.0f : 380.0f;

        EXPECT_NEAR(mean_of(st.Vol_Dat, n), u_nom, 0.02f * u_nom);
        EXPECT_GT(mean_of(st.Pow_Dat, n), 0.0f);
        const auto [pmin, pmax] = std::minmax_element(st.Pow_Dat.begin(), st.Pow_Dat.begin() + n);
        EXPECT_GT(*pmax, 0.5f);
        if (w.negative_power) {
            EXPECT_LT(*pmin, -0.5f) << "the motor should generate in part of the stroke";
        }
        for (int i = 0; i < n; ++i) {
            ASSERT_NEAR(st.Vol_Dat[i], u_nom, 0.05f * u_nom) << i;
            ASSERT_GT(st.Cur_Dat[i], 0.0f) << i;
            ASSERT_LT(st.Cur_Dat[i], 100.0f) << i;
            ASSERT_GT(st.Var_Dat[i], 0.0f) << i;
            ASSERT_GT(st.VA_Dat[i], std::abs(st.Pow_Dat[i]) * 0.999f) << i;
        }

        const auto [dmin, dmax] = std::minmax_element(st.Pos_Dat.begin(), st.Pos_Dat.begin() + n);
        const auto [lmin, lmax] = std::minmax_element(st.Force_Dat.begin(), st.Force_Dat.begin() + n);
        if (w.no_card) {
            EXPECT_EQ(*dmin, 0.0f);
            EXPECT_EQ(*dmax, 0.0f);
            EXPECT_EQ(*lmin, 0.0f);
            EXPECT_EQ(*lmax, 0.0f);
        } else {
            const double range = w.load_max_kn - w.load_min_kn;
            EXPECT_NEAR(*dmax - *dmin, w.stroke_m, 0.01);
            EXPECT_NEAR(*lmin, w.load_min_kn, 0.01 * range);
            EXPECT_NEAR(*lmax, w.load_max_kn, 0.01 * range);
            // One stroke repeats every `cycle` samples, up to the noise.
            for (int i = 0; i + w.cycle < n; ++i) {
                ASSERT_NEAR(st.Pos_Dat[i + w.cycle], st.Pos_Dat[i], 0.01f) << i;
                ASSERT_NEAR(st.Force_Dat[i + w.cycle], st.Force_Dat[i], 0.01 * range + 0.02) << i;
            }
        }
        // A short file leaves the rest of the arrays alone.
        for (int i = n; i < kArrayLen; ++i) ASSERT_EQ(st.Vol_Dat[i], 0.0f) << i;
    }
}

// The first word follows bit 14 with the mode's factor: current read from
// a bit-14-clear file and current derived from reactive power in a
// bit-14-set file must both reproduce S = k·U·I.
TEST(SampleFiles, FirstWordAgreesWithTheFactor) {
    for (const WellPlan& w : samples::sample_plans()) {
        SCOPED_TRACE(w.file_name);
        State st;
        Load_Data(st, sample_path(w).string());
        const float k = apparent_factor(static_cast<int16_t>(w.mode));
        for (int i = 0; i < 50; ++i)
            ASSERT_NEAR(st.VA_Dat[i], k * st.Vol_Dat[i] * st.Cur_Dat[i], 0.01f * st.VA_Dat[i] + 0.01f) << i;
        // The generator's current needs the well's card.
        if (w.card.kind != samples::CardRef::Kind::Synthetic && real_cards() == nullptr) continue;
        const samples::Curves c = samples::make_curves(w, samples::card_for(w.card, real_cards()));
        for (int i = 0; i < 50; ++i)
            ASSERT_NEAR(st.Cur_Dat[i], c.current[i], 0.02 * c.current[i] + 0.02) << i;
    }
}

TEST(SampleGenerator, SameBytesEveryRun) {
    const auto a = samples::generate_samples(real_cards());
    const auto b = samples::generate_samples(real_cards());
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].bytes, b[i].bytes) << a[i].file_name;
    const auto s1 = samples::generate_samples(nullptr);
    const auto s2 = samples::generate_samples(nullptr);
    for (std::size_t i = 0; i < s1.size(); ++i) EXPECT_EQ(s1[i].bytes, s2[i].bytes) << s1[i].file_name;
}

TEST(SampleGenerator, CommittedSamplesAreWhatItGeneratesNow) {
    if (real_cards() == nullptr) GTEST_SKIP() << kNoRealData;
    std::set<std::string> expected{"README.md", "wells.json"};
    for (const samples::SampleFile& f : samples::generate_samples(real_cards())) {
        expected.insert(f.file_name);
        EXPECT_TRUE(read_bytes(fs::path(kSamplesDir) / fs::path(f.file_name)) == f.bytes)
            << f.file_name << " differs from the generator's output; regenerate samples/";
    }
    std::set<std::string> present;
    for (const auto& e : fs::directory_iterator(fs::path(kSamplesDir)))
        present.insert(e.path().filename().string());
    EXPECT_EQ(present, expected);
}

// Without the real data the generator still writes a complete set; wells
// with synthetic cards do not depend on the real data at all.
TEST(SampleGenerator, RunsWithoutRealData) {
    const auto plans = samples::sample_plans();
    const auto synth = samples::generate_samples(nullptr);
    ASSERT_EQ(synth.size(), plans.size());
    const auto real = samples::generate_samples(real_cards());
    for (std::size_t i = 0; i < plans.size(); ++i) {
        SCOPED_TRACE(plans[i].file_name);
        EXPECT_EQ(synth[i].bytes.size(),
                  kHeadSize + kPointSize * static_cast<std::size_t>(plans[i].point_num));
        if (plans[i].card.kind == samples::CardRef::Kind::Synthetic) {
            EXPECT_EQ(synth[i].bytes, real[i].bytes);
        }
    }
}

TEST(SampleGenerator, RealCardsAreReadAsTheirFormatsNeed) {
    const samples::RealCards* rc = real_cards();
    if (rc == nullptr) GTEST_SKIP() << kNoRealData;
    ASSERT_EQ(rc->cn.size(), 60u);
    // 200 real points, then 50 padding pairs (0, 0).
    EXPECT_EQ(rc->cn_labels[14], "PUMP_DOWN_BANG");
    EXPECT_EQ(rc->cn[14].pos.size(), 200u);
    // The closing point that repeats the first is dropped.
    EXPECT_EQ(rc->cn[4].pos.size(), 199u);
    ASSERT_EQ(rc->srp.size(), 7u);
    // Every row of this card appears twice; rows come out of order.
    EXPECT_EQ(rc->srp.at(3462).pos.size(), 535u);
    EXPECT_EQ(rc->srp.at(3787).pos.front(), 20.0);
    // Every real card a well names is found with its label.
    for (const WellPlan& w : samples::sample_plans()) {
        if (w.card.kind == samples::CardRef::Kind::Synthetic) continue;
        EXPECT_EQ(samples::card_for(w.card, rc).source.rfind("synthetic", 0), std::string::npos)
            << w.file_name;
    }
}

TEST(SampleGenerator, CorpusNamesAreDistinctAndFit) {
    const auto plans = samples::corpus_plans(40);
    const auto files = samples::generate_corpus(40, nullptr);
    ASSERT_EQ(files.size(), 40u);
    std::set<std::string> names, wells;
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].file_name);
        EXPECT_TRUE(names.insert(files[i].file_name).second);
        EXPECT_TRUE(wells.insert(plans[i].well_name).second);
        HeadBytes hb{};
        std::copy_n(files[i].bytes.begin(), kHeadSize, hb.begin());
        EXPECT_EQ(MyTrim(decode_head(hb).Well_Name), plans[i].well_name) << "the name must not be cut";
    }
    // The 16-byte name gives way to the number.
    EXPECT_EQ(samples::numbered_name("濮城南区三号斜井", 11), "濮城南区三号-11");
    // Copies of one well differ in their noise, not in their shape.
    EXPECT_NE(files[0].bytes, files[samples::sample_plans().size()].bytes);
}

TEST(SampleGenerator, WideCorpusMixesRealCardsMotorOnlyAndLongStrokes) {
    const int count = 60;
    const auto plans = samples::wide_corpus_plans(count, nullptr);
    const auto files = samples::generate_wide_corpus(count, nullptr);
    ASSERT_EQ(plans.size(), static_cast<std::size_t>(count));
    std::set<std::string> names;
    std::map<samples::WideKind, int> kinds;
    for (int n = 0; n < count; ++n) {
        const auto& w = plans[static_cast<std::size_t>(n)];
        SCOPED_TRACE(w.file_name);
        EXPECT_TRUE(names.insert(w.file_name).second);
        HeadBytes hb{};
        std::copy_n(files[static_cast<std::size_t>(n)].bytes.begin(), kHeadSize, hb.begin());
        EXPECT_EQ(MyTrim(decode_head(hb).Well_Name), w.well_name);
        const double period_s = w.cycle * 0.02 * w.rec_speed;
        const samples::WideKind kind = samples::wide_kind(n);
        ++kinds[kind];
        switch (kind) {
            case samples::WideKind::RealCard:
                EXPECT_GE(period_s, 4.99);
                EXPECT_LE(period_s, 25.01);
                EXPECT_FALSE(w.no_card);
                break;
            case samples::WideKind::PowerOnly:
                EXPECT_TRUE(w.no_card);
                break;
            case samples::WideKind::LongStroke:
                EXPECT_GE(w.stroke_m, 5.0);
                EXPECT_GE(period_s, 14.99);
                EXPECT_FALSE(w.no_card);
                break;
            case samples::WideKind::Sample:
                break;
        }
    }
    EXPECT_EQ(kinds[samples::WideKind::RealCard], 24);
    EXPECT_EQ(kinds[samples::WideKind::PowerOnly], 12);
    EXPECT_EQ(kinds[samples::WideKind::LongStroke], 12);
    // The same plans give the same bytes.
    EXPECT_EQ(samples::generate_wide_corpus(count, nullptr)[7].bytes, files[7].bytes);
}

}  // namespace
}  // namespace tavo
