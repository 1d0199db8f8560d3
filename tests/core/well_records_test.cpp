// The well records' weight table, checks, and JSON and CSV exchange.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/text.h"
#include "support/files.h"
#include "tools/sample_gen.h"
#include "well/rod_table.h"
#include "well/well_check.h"
#include "well/well_csv.h"
#include "well/well_defaults.h"
#include "well/well_files.h"
#include "well/well_json.h"

namespace tavo::well {
namespace {

using Kind = WellProblem::Kind;

// The issue's example, as another tool would hand it over.
const char* kExample = R"({"well": "杨12-5", "rods": [
  {"length_m": 800, "diameter_mm": 22, "weight_kg_per_m": 3.33, "modulus_GPa": 206, "tensile_MPa": 793},
  {"length_m": 700, "diameter_mm": 19}],
  "pump": {"depth_m": 1500, "plunger_mm": 44},
  "tubing": {"inner_mm": 62, "anchored": true},
  "fluid": {"water_cut_pct": 80, "oil_kg_m3": 850, "water_kg_m3": 1050},
  "pressure": {"tubing_head_MPa": 0.5, "casing_MPa": 0.3}})";

RodTaper taper(double length_m, double diameter_mm) {
    RodTaper t;
    t.length_m = length_m;
    t.diameter_mm = diameter_mm;
    return t;
}

WellRecord good_record() {
    WellRecord r;
    r.well = "W1";
    r.rods = {{600.0, 22.0, std::nullopt, 206.0, 793.0, "D"}, {400.0, 19.0, 2.5, 206.0, std::nullopt, ""}};
    r.pump = {1000.0, 38.0};
    return r;
}

bool has(const WellProblems& ps, Kind kind, const std::string& field) {
    for (const WellProblem& p : ps) {
        if (p.kind == kind && p.field == field) return true;
    }
    return false;
}

TEST(RodTable, CatalogueWeightsByNominalOrInchSize) {
    // 7/8 in: 2.224 lb/ft; 3/4 in: 1.634 lb/ft; 1 in: 2.904 lb/ft.
    EXPECT_NEAR(*table_weight_kg_per_m(22.0), 2.224 * 1.488164, 1e-6);
    EXPECT_NEAR(*table_weight_kg_per_m(22.225), 2.224 * 1.488164, 1e-6);
    EXPECT_NEAR(*table_weight_kg_per_m(19.05), 1.634 * 1.488164, 1e-6);
    EXPECT_NEAR(*table_weight_kg_per_m(25.0), 2.904 * 1.488164, 1e-6);
    EXPECT_TRUE(rod_size(38.0)->sinker_bar);
    EXPECT_FALSE(table_weight_kg_per_m(27.0));
    EXPECT_FALSE(table_weight_kg_per_m(0.0));

    RodTaper t = taper(100.0, 22.0);
    EXPECT_NEAR(*weight_kg_per_m(t), 3.3097, 1e-3);
    t.weight_kg_per_m = 3.5;
    EXPECT_EQ(*weight_kg_per_m(t), 3.5);
    // Fibreglass: the steel table does not apply.
    RodTaper glass = taper(100.0, 25.0);
    glass.modulus_GPa = 48.0;
    EXPECT_FALSE(weight_kg_per_m(glass));
}

TEST(WellCheck, GoodRecordHasNoProblemAndTaperSumIsAWarningBeyondOnePercent) {
    WellRecord r = good_record();
    EXPECT_TRUE(check(r).empty());
    r.pump.depth_m = 1009.0;  // 0.9 % off
    EXPECT_TRUE(check(r).empty());
    r.pump.depth_m = 1200.0;
    const WellProblems ps = check(r);
    ASSERT_EQ(ps.size(), 1U);
    EXPECT_EQ(ps[0].kind, Kind::LengthMismatch);
    EXPECT_TRUE(ps[0].warning());
    EXPECT_FALSE(has_error(ps));
    EXPECT_EQ(ps[0].value, 1000.0);
    EXPECT_EQ(ps[0].low, 1200.0);
}

TEST(WellCheck, EachBadValueNamesItsField) {
    WellRecord r = good_record();
    r.well = "  ";
    r.rods[0].length_m = -5.0;
    r.rods[1].diameter_mm = 27.0;  // no table weight, but it has its own
    r.rods[0].diameter_mm = 27.0;  // neither
    r.fluid.water_cut_pct = 120.0;
    r.fluid.oil_kg_m3 = 1500.0;
    r.pressure.casing_MPa = -1.0;
    r.damping_nu = std::numeric_limits<double>::quiet_NaN();
    const WellProblems ps = check(r);
    EXPECT_TRUE(has(ps, Kind::Missing, ".well"));
    EXPECT_TRUE(has(ps, Kind::NotPositive, ".rods[0].length_m"));
    EXPECT_TRUE(has(ps, Kind::NoWeight, ".rods[0].weight_kg_per_m"));
    EXPECT_FALSE(has(ps, Kind::NoWeight, ".rods[1].weight_kg_per_m"));
    EXPECT_TRUE(has(ps, Kind::OutOfRange, ".fluid.water_cut_pct"));
    EXPECT_TRUE(has(ps, Kind::OutOfRange, ".fluid.oil_kg_m3"));
    EXPECT_TRUE(has(ps, Kind::OutOfRange, ".pressure.casing_MPa"));
    EXPECT_TRUE(has(ps, Kind::NotANumber, ".damping_nu"));
    EXPECT_TRUE(has_error(ps));
    r.rods.clear();
    EXPECT_TRUE(has(check(r), Kind::NoTapers, ".rods"));
}

TEST(WellJson, IssueExampleReadsWithDefaults) {
    const ImportResult in = read_json(kExample);
    ASSERT_EQ(in.records.size(), 1U);
    EXPECT_TRUE(in.problems.empty());
    const WellRecord& r = in.records[0];
    EXPECT_EQ(r.well, "杨12-5");
    ASSERT_EQ(r.rods.size(), 2U);
    EXPECT_EQ(*r.rods[0].weight_kg_per_m, 3.33);
    EXPECT_EQ(*r.rods[0].tensile_MPa, 793.0);
    EXPECT_FALSE(r.rods[1].weight_kg_per_m);
    EXPECT_EQ(r.rods[1].modulus_GPa, steel_modulus_GPa);
    EXPECT_EQ(r.pump.plunger_mm, 44.0);
    EXPECT_EQ(r.fluid.water_kg_m3, 1050.0);
    EXPECT_EQ(r.pressure.tubing_head_MPa, 0.5);
    EXPECT_FALSE(r.damping_nu);
    EXPECT_EQ(damping_nu(r), default_damping_nu);

    // Only the required keys, some unknown ones, a padded name.
    const ImportResult bare = read_json(
        R"({"well": " W2 ", "vendor_id": 7, "rods": [{"length_m": 900, "diameter_mm": 19, "colour": "red"}],
            "pump": {"depth_m": 900, "plunger_mm": 38, "type": "insert"}, "damping_nu": 0.2, "notes": "新井"})");
    ASSERT_EQ(bare.records.size(), 1U);
    EXPECT_EQ(bare.records[0].well, "W2");
    EXPECT_EQ(bare.records[0].tubing.inner_mm, default_tubing.inner_mm);
    EXPECT_EQ(bare.records[0].fluid.oil_kg_m3, default_fluid.oil_kg_m3);
    EXPECT_EQ(*bare.records[0].damping_nu, 0.2);
    EXPECT_EQ(bare.records[0].notes, "新井");
}

TEST(WellJson, OneBadValueImportsNothingAndNamesThePath) {
    const std::string text = std::string("[") + kExample +
                             R"(, {"well": "W2", "rods": [{"length_m": 900, "diameter_mm": "19"}],
                                   "pump": {"depth_m": 900}, "tubing": {"anchored": "yes"}}])";
    const ImportResult in = read_json(text);
    EXPECT_TRUE(in.records.empty());
    EXPECT_TRUE(has(in.problems, Kind::WrongType, "[1].rods[0].diameter_mm"));
    EXPECT_TRUE(has(in.problems, Kind::Missing, "[1].pump.plunger_mm"));
    EXPECT_TRUE(has(in.problems, Kind::WrongType, "[1].tubing.anchored"));
    for (const WellProblem& p : in.problems) EXPECT_EQ(p.well, "W2");

    // The same well twice; a value beyond a double; not JSON at all.
    EXPECT_TRUE(has(read_json(std::string("[") + kExample + "," + kExample + "]").problems,
                    Kind::DuplicateWell, "[1].well"));
    const ImportResult huge = read_json(
        R"({"well": "W", "rods": [{"length_m": 1e999, "diameter_mm": 19}], "pump": {"depth_m": 9, "plunger_mm": 38}})");
    EXPECT_TRUE(huge.records.empty());
    ASSERT_EQ(huge.problems.size(), 1U);
    EXPECT_EQ(huge.problems[0].kind, Kind::BadJson);
    const ImportResult broken = read_json("[\n{\"well\": \"W\",\n  \"rods\": [}\n]");
    ASSERT_EQ(broken.problems.size(), 1U);
    EXPECT_EQ(broken.problems[0].kind, Kind::BadJson);
    EXPECT_EQ(broken.problems[0].line, 3);
    EXPECT_EQ(read_json("[]").problems[0].kind, Kind::NoRecords);
    EXPECT_TRUE(has(read_json("[1]").problems, Kind::WrongType, "[0]"));
}

TEST(WellJson, WrittenRecordsReadBackTheSame) {
    WellRecord a = good_record();
    a.damping_nu = 0.05;
    a.notes = "line one\n\"quoted\", 注";
    a.fluid.water_cut_pct = 92.5;
    a.tubing.anchored = false;
    a.rods[0].weight_kg_per_m = 0.1 + 0.2;  // a value with no short decimal form
    WellRecord b = good_record();
    b.well = "杨8-21";
    const std::string text = write_json({a, b});
    const ImportResult in = read_json(text);
    ASSERT_EQ(in.records.size(), 2U) << text;
    EXPECT_EQ(write_json(in.records), text);
    EXPECT_EQ(*in.records[0].rods[0].weight_kg_per_m, 0.1 + 0.2);
    EXPECT_EQ(in.records[0].notes, a.notes);
    // One record alone is one object.
    EXPECT_EQ(write_json({b}, true).front(), '{');
}

const char* kCsv =
    "well,length_m,diameter_mm,weight_kg_per_m,pump_depth_m,plunger_mm,water_cut_pct,notes,spare\r\n"
    "W1,600,22,,1000,38,80,\"pumped off, \"\"twice\"\"\",x\r\n"
    "W1,400,19,2.5,,,,,\r\n"
    ",,,,,,,,\r\n"
    "W2 ,800,19,,900,44,80,\"two\nlines\",\r\n"
    "W2,100,25,,900,,80,,\r\n";

TEST(WellCsv, RowsPerTaperWithWellValuesOnTheFirstOrRepeated) {
    const ImportResult in = read_csv(kCsv);
    ASSERT_EQ(in.records.size(), 2U);
    EXPECT_TRUE(in.problems.empty()) << in.problems.size();
    const WellRecord& a = in.records[0];
    EXPECT_EQ(a.well, "W1");
    ASSERT_EQ(a.rods.size(), 2U);
    EXPECT_FALSE(a.rods[0].weight_kg_per_m);
    EXPECT_EQ(*a.rods[1].weight_kg_per_m, 2.5);
    EXPECT_EQ(a.pump.depth_m, 1000.0);
    EXPECT_EQ(a.fluid.water_cut_pct, 80.0);
    EXPECT_EQ(a.notes, "pumped off, \"twice\"");
    EXPECT_EQ(a.fluid.oil_kg_m3, default_fluid.oil_kg_m3);
    const WellRecord& b = in.records[1];
    EXPECT_EQ(b.well, "W2");
    EXPECT_EQ(b.rods.size(), 2U);
    EXPECT_EQ(b.notes, "two\nlines");
}

TEST(WellCsv, BadCellsNameLineAndColumnAndImportNothing) {
    std::string bad = kCsv;
    bad.replace(bad.find("W1,400,19"), 9, "W1,400,l9");                     // line 3
    bad.replace(bad.find("W2,100,25,,900,,80"), 18, "W2,100,25,,950,,80");  // line 7: differs
    const ImportResult in = read_csv(bad);
    EXPECT_TRUE(in.records.empty());
    ASSERT_EQ(in.problems.size(), 2U);
    EXPECT_EQ(in.problems[0].kind, Kind::NotANumber);
    EXPECT_EQ(in.problems[0].line, 3);
    EXPECT_EQ(in.problems[0].field, "diameter_mm");
    EXPECT_EQ(in.problems[0].detail, "l9");
    EXPECT_EQ(in.problems[1].kind, Kind::Contradicts);
    EXPECT_EQ(in.problems[1].line, 7);
    EXPECT_EQ(in.problems[1].field, "pump_depth_m");
    EXPECT_EQ(in.problems[1].detail, "950");
    // Blank notes on a later row are empty notes.
    std::string blank = kCsv;
    blank.replace(blank.find("W1,400,19,2.5,,,,,"), 18, "W1,400,19,2.5,,,,  ,");
    EXPECT_EQ(read_csv(blank).records.size(), 2U);

    // A check's problem is placed on its taper's line.
    std::string neg = kCsv;
    neg.replace(neg.find("W2,100,25"), 9, "W2,-10,25");
    const ImportResult n = read_csv(neg);
    EXPECT_TRUE(n.records.empty());
    ASSERT_FALSE(n.problems.empty());
    EXPECT_EQ(n.problems[0].kind, Kind::NotPositive);
    EXPECT_EQ(n.problems[0].line, 7);
    EXPECT_EQ(n.problems[0].field, "length_m");

    EXPECT_EQ(read_csv("well,length_m,diameter_mm,plunger_mm\n").problems[0].field, "pump_depth_m");
    EXPECT_EQ(read_csv("well,length_m\nW1,3\n").problems.back().kind, Kind::MissingColumn);
    const ImportResult open_quote = read_csv("well,length_m,diameter_mm,pump_depth_m,plunger_mm\n\"W1,3\n");
    ASSERT_EQ(open_quote.problems.size(), 1U);
    EXPECT_EQ(open_quote.problems[0].kind, Kind::BadCsv);
    EXPECT_EQ(open_quote.problems[0].line, 2);
    // The rows of a well follow each other.
    const ImportResult split = read_csv(
        "well,length_m,diameter_mm,pump_depth_m,plunger_mm\nA,9,19,9,38\nB,9,19,9,38\nA,9,19,9,38\n");
    EXPECT_TRUE(split.records.empty());
    EXPECT_EQ(split.problems[0].kind, Kind::DuplicateWell);
    EXPECT_EQ(split.problems[0].line, 4);
}

TEST(WellCsv, CodePage936AndRoundTrip) {
    const std::string gbk =
        utf8_to_gbk("well,length_m,diameter_mm,pump_depth_m,plunger_mm,notes\n杨12-5,900,19,900,38,新井\n");
    const ImportResult in = read_csv(gbk);
    ASSERT_EQ(in.records.size(), 1U);
    EXPECT_EQ(in.records[0].well, "杨12-5");
    EXPECT_EQ(in.records[0].notes, "新井");

    WellRecord a = good_record();
    a.notes = " padded, \"quoted\"\nand two lines ";
    a.damping_nu = 0.3;
    a.tubing.anchored = false;
    a.rods[1].grade = "K";
    WellRecord b = good_record();
    b.well = "北1-2";
    const std::string csv = write_csv({a, b});
    const ImportResult back = read_csv(csv);
    ASSERT_EQ(back.records.size(), 2U) << csv;
    EXPECT_EQ(write_json(back.records), write_json({a, b}));
    EXPECT_EQ(write_csv(back.records), csv);
}

// The records beside the samples: one for each sample well, and none with
// a problem, not even a warning.
TEST(SampleWells, OneCleanRecordForEachSampleWell) {
    const ImportResult in = read_well_file((testing::samples_dir() / "wells.json").string());
    EXPECT_TRUE(in.problems.empty());
    std::set<std::string> names, expected;
    for (const WellRecord& r : in.records) names.insert(r.well);
    for (const samples::WellPlan& w : samples::sample_plans()) expected.insert(w.well_name);
    EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace tavo::well
