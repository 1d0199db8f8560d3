// The well records' database: round trips, all-or-nothing changes, and a
// locked, damaged or newer database.
#include "welldb/well_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "support/files.h"
#include "support/scratch.h"
#include "well/well_csv.h"
#include "well/well_files.h"
#include "well/well_json.h"
#include "welldb/store_path.h"

namespace tavo::welldb {
namespace {

namespace fs = std::filesystem;
using Kind = StoreProblem::Kind;
using testing::read_bytes;
using testing::temp_dir;
using testing::write_bytes;
using well::WellRecord;

WellRecord record(const std::string& name, double depth) {
    WellRecord r;
    r.well = name;
    well::RodTaper top;
    top.length_m = depth / 2;
    top.diameter_mm = 22.0;
    top.tensile_MPa = 793.0;
    top.grade = "D";
    well::RodTaper bottom;
    bottom.length_m = depth / 2;
    bottom.diameter_mm = 19.0;
    bottom.weight_kg_per_m = 2.45;
    r.rods = {top, bottom};
    r.pump = {depth, 38.0};
    r.fluid.water_cut_pct = 85.5;
    r.damping_nu = 0.15;
    r.notes = "换泵 2024";
    return r;
}

std::unique_ptr<WellStore> open_ok(const fs::path& path, WellStore::Mode mode = WellStore::Mode::Write) {
    StoreProblem p;
    auto store = WellStore::open(path.string(), mode, p, 50);
    EXPECT_FALSE(p) << static_cast<int>(p.kind) << " " << p.detail;
    return store;
}

TEST(WellStore, JsonAndCsvRoundTripThroughTheDatabase) {
    const auto dir = temp_dir("welldb");
    const std::string json = well::write_json({record("杨12-5", 1500.0), record("北1-2", 900.0)});
    write_bytes(dir / "in.json", json);
    const well::ImportResult in = well::read_well_file((dir / "in.json").string());
    ASSERT_EQ(in.records.size(), 2U);
    {
        auto store = open_ok(dir / "sub" / "wells.sqlite");  // the folder is made
        ASSERT_TRUE(store);
        EXPECT_FALSE(store->put(in.records));
    }
    auto store = open_ok(dir / "sub" / "wells.sqlite", WellStore::Mode::Read);
    std::vector<std::string> names;
    EXPECT_FALSE(store->names(names));
    EXPECT_EQ(names, (std::vector<std::string>{"北1-2", "杨12-5"}));
    std::vector<WellRecord> all;
    EXPECT_FALSE(store->get_all(all));
    // Sorted by name: the file's order reversed.
    EXPECT_EQ(well::write_json({all[1], all[0]}), json);

    EXPECT_FALSE(well::write_well_file((dir / "out.csv").string(), all));
    const well::ImportResult csv = well::read_well_file((dir / "out.csv").string());
    ASSERT_EQ(csv.records.size(), 2U);
    EXPECT_EQ(well::write_json(csv.records), well::write_json(all));

    WellRecord one;
    EXPECT_FALSE(store->get("  杨12-5 ", one));
    EXPECT_EQ(well::write_json({one}), well::write_json({record("杨12-5", 1500.0)}));
    EXPECT_EQ(store->get("杨12", one).kind, Kind::NotFound);
}

TEST(WellStore, ReplaceAndRemoveAndReadingAMissingFileMakesNothing) {
    const auto dir = temp_dir("welldb");
    const fs::path db = dir / "wells.sqlite";
    auto reader = open_ok(db, WellStore::Mode::Read);
    std::vector<std::string> names;
    EXPECT_FALSE(reader->names(names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(fs::exists(db));

    auto store = open_ok(db);
    EXPECT_FALSE(store->put({record("W1", 1000.0)}));
    WellRecord shorter = record("W1", 800.0);
    shorter.rods.pop_back();
    shorter.rods[0].length_m = 800.0;
    EXPECT_FALSE(store->put({shorter}));
    WellRecord back;
    EXPECT_FALSE(store->get("W1", back));
    EXPECT_EQ(back.rods.size(), 1U);
    EXPECT_EQ(back.pump.depth_m, 800.0);
    EXPECT_EQ(store->remove("W2").kind, Kind::NotFound);
    EXPECT_FALSE(store->remove(" W1"));
    EXPECT_EQ(store->get("W1", back).kind, Kind::NotFound);
}

TEST(WellStore, OneInvalidRecordStoresNone) {
    const auto dir = temp_dir("welldb");
    auto store = open_ok(dir / "wells.sqlite");
    WellRecord bad = record("W2", 1000.0);
    bad.fluid.water_kg_m3 = 100.0;
    const StoreProblem p = store->put({record("W1", 1000.0), bad});
    EXPECT_EQ(p.kind, Kind::Invalid);
    EXPECT_EQ(p.well, "W2");
    ASSERT_EQ(p.problems.size(), 1U);
    EXPECT_EQ(p.problems[0].field, ".fluid.water_kg_m3");
    std::vector<std::string> names;
    EXPECT_FALSE(store->names(names));
    EXPECT_TRUE(names.empty());
}

TEST(WellStore, LockedDatabaseIsReportedAndLeftAsItWas) {
    const auto dir = temp_dir("welldb");
    const fs::path db = dir / "wells.sqlite";
    auto store = open_ok(db);
    ASSERT_FALSE(store->put({record("W1", 1000.0)}));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(store->put({record("W2", 1000.0)}).kind, Kind::Locked);
    EXPECT_EQ(store->remove("W1").kind, Kind::Locked);
    StoreProblem p;
    EXPECT_FALSE(WellStore::open(db.string(), WellStore::Mode::Write, p, 50));
    EXPECT_EQ(p.kind, Kind::Locked);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    std::vector<std::string> names;
    EXPECT_FALSE(store->names(names));
    EXPECT_EQ(names, std::vector<std::string>{"W1"});
}

TEST(WellStore, DamagedOrNewerDatabaseIsRefusedUntouched) {
    const auto dir = temp_dir("welldb");
    // Not a database at all.
    const fs::path junk = dir / "junk.sqlite";
    write_bytes(junk, std::string(3000, 'x'));
    for (const auto mode : {WellStore::Mode::Read, WellStore::Mode::Write}) {
        StoreProblem p;
        EXPECT_FALSE(WellStore::open(junk.string(), mode, p, 50));
        EXPECT_EQ(p.kind, Kind::Damaged);
    }
    EXPECT_EQ(read_bytes(junk), std::string(3000, 'x'));

    // A database whose pages were overwritten after its header.
    const fs::path db = dir / "wells.sqlite";
    {
        auto store = open_ok(db);
        std::vector<WellRecord> many;
        for (int i = 0; i < 200; ++i) many.push_back(record("W" + std::to_string(i), 1000.0));
        ASSERT_FALSE(store->put(many));
    }
    std::string bytes = read_bytes(db);
    ASSERT_GT(bytes.size(), 8192U);
    for (std::size_t i = 4096; i < bytes.size(); i += 97) bytes[i] = static_cast<char>(0xA5);
    write_bytes(db, bytes);
    StoreProblem p;
    EXPECT_FALSE(WellStore::open(db.string(), WellStore::Mode::Write, p, 50));
    EXPECT_EQ(p.kind, Kind::Damaged);
    EXPECT_EQ(read_bytes(db), bytes);

    // Written by a later schema.
    const fs::path newer = dir / "newer.sqlite";
    open_ok(newer);
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(newer.c_str(), &raw), SQLITE_OK);
    sqlite3_exec(raw, "PRAGMA user_version = 9", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    EXPECT_FALSE(WellStore::open(newer.string(), WellStore::Mode::Write, p, 50));
    EXPECT_EQ(p.kind, Kind::NewerSchema);
    EXPECT_EQ(p.version, 9);
}

TEST(WellStore, LocationFromTheEnvironment) {
    const char* saved[] = {getenv(wells_db_variable), getenv("XDG_DATA_HOME"), getenv("HOME")};
    const std::string keep[] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : "", saved[2] ? saved[2] : ""};
    setenv(wells_db_variable, "/x/w.sqlite", 1);
    EXPECT_EQ(default_store_path(), "/x/w.sqlite");
    unsetenv(wells_db_variable);
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(default_store_path(), "/data/TAVO/wells.sqlite");
    setenv("XDG_DATA_HOME", "relative", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(default_store_path(), "/home/u/.local/share/TAVO/wells.sqlite");
    const char* names[] = {wells_db_variable, "XDG_DATA_HOME", "HOME"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i] != nullptr) {
            setenv(names[i], keep[i].c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
}

}  // namespace
}  // namespace tavo::welldb
