#include "welldb/well_store.h"

#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <system_error>

#include "well/well_check.h"

namespace tavo::welldb {

namespace {

using well::RodTaper;
using well::WellRecord;
using Kind = StoreProblem::Kind;

// The schema, one step per version: step i takes a file of version i to
// version i + 1. A later version appends its step; a step never changes.
constexpr std::array<const char*, schema_version> kMigrations = {
    R"sql(
CREATE TABLE wells (
  name TEXT PRIMARY KEY NOT NULL,
  pump_depth_m REAL NOT NULL,
  plunger_mm REAL NOT NULL,
  tubing_inner_mm REAL NOT NULL,
  tubing_anchored INTEGER NOT NULL,
  water_cut_pct REAL NOT NULL,
  oil_kg_m3 REAL NOT NULL,
  water_kg_m3 REAL NOT NULL,
  tubing_head_MPa REAL NOT NULL,
  casing_MPa REAL NOT NULL,
  damping_nu REAL,
  notes TEXT NOT NULL DEFAULT '',
  updated_utc TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))
);
CREATE TABLE rod_tapers (
  well TEXT NOT NULL REFERENCES wells(name) ON DELETE CASCADE,
  position INTEGER NOT NULL,
  length_m REAL NOT NULL,
  diameter_mm REAL NOT NULL,
  weight_kg_per_m REAL,
  modulus_GPa REAL NOT NULL,
  tensile_MPa REAL,
  grade TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (well, position)
);
)sql",
};

StoreProblem sqlite_problem(sqlite3* db, int rc, const std::string& path) {
    StoreProblem p;
    p.path = path;
    p.code = db != nullptr ? sqlite3_extended_errcode(db) : rc;
    p.detail = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    switch (rc & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            p.kind = Kind::Locked;
            break;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            p.kind = Kind::Damaged;
            break;
        case SQLITE_FULL:
            p.kind = Kind::DiskFull;
            break;
        case SQLITE_READONLY:
        case SQLITE_PERM:
            p.kind = Kind::ReadOnly;
            break;
        case SQLITE_CANTOPEN:
            p.kind = Kind::CannotOpen;
            break;
        default:
            p.kind = Kind::Failed;
            break;
    }
    return p;
}

// One prepared statement, finalised when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { rc_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    int prepared() const { return rc_; }
    sqlite3_stmt* get() const { return stmt_; }

    void bind(int i, const std::string& s) {
        sqlite3_bind_text(stmt_, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, double v) { sqlite3_bind_double(stmt_, i, v); }
    void bind(int i, int v) { sqlite3_bind_int(stmt_, i, v); }
    void bind(int i, const std::optional<double>& v) {
        if (v) {
            sqlite3_bind_double(stmt_, i, *v);
        } else {
            sqlite3_bind_null(stmt_, i);
        }
    }
    int step() { return sqlite3_step(stmt_); }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    double real(int c) const { return sqlite3_column_double(stmt_, c); }
    std::optional<double> optional_real(int c) const {
        if (sqlite3_column_type(stmt_, c) == SQLITE_NULL) return std::nullopt;
        return sqlite3_column_double(stmt_, c);
    }
    std::string text(int c) const {
        const auto* t = sqlite3_column_text(stmt_, c);
        return t == nullptr ? std::string()
                            : std::string(reinterpret_cast<const char*>(t),
                                          static_cast<std::size_t>(sqlite3_column_bytes(stmt_, c)));
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
    int rc_ = SQLITE_OK;
};

// A transaction rolled back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : db_(db) {
        // IMMEDIATE: the write lock is taken now, so that a locked database
        // is reported before anything is done.
        rc_ = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    ~Transaction() {
        if (rc_ == SQLITE_OK && !done_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    int begun() const { return rc_; }
    int commit() {
        const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) done_ = true;
        return rc;
    }

private:
    sqlite3* db_;
    int rc_;
    bool done_ = false;
};

int user_version(sqlite3* db, int& version) {
    Statement s(db, "PRAGMA user_version");
    if (s.prepared() != SQLITE_OK) return s.prepared();
    const int rc = s.step();
    if (rc != SQLITE_ROW) return rc;
    version = sqlite3_column_int(s.get(), 0);
    return SQLITE_OK;
}

// Brings the schema from `from` to schema_version, one step per transaction.
int migrate(sqlite3* db, int from) {
    for (int v = from; v < schema_version; ++v) {
        Transaction t(db);
        if (t.begun() != SQLITE_OK) return t.begun();
        int rc = sqlite3_exec(db, kMigrations[static_cast<std::size_t>(v)], nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
        const std::string set = "PRAGMA user_version = " + std::to_string(v + 1);
        rc = sqlite3_exec(db, set.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
        rc = t.commit();
        if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}

// "ok" from the quick check of the pages and indexes, else Damaged.
StoreProblem check_pages(sqlite3* db, const std::string& path) {
    Statement s(db, "PRAGMA quick_check");
    if (s.prepared() != SQLITE_OK) return sqlite_problem(db, s.prepared(), path);
    const int rc = s.step();
    if (rc != SQLITE_ROW) return sqlite_problem(db, rc, path);
    const std::string verdict = s.text(0);
    if (verdict == "ok") return {};
    StoreProblem p;
    p.kind = Kind::Damaged;
    p.path = path;
    p.detail = verdict;
    return p;
}

int read_tapers(sqlite3* db, const std::string& name, std::vector<RodTaper>& out) {
    Statement s(db,
                "SELECT length_m, diameter_mm, weight_kg_per_m, modulus_GPa, tensile_MPa, grade "
                "FROM rod_tapers WHERE well = ?1 ORDER BY position");
    if (s.prepared() != SQLITE_OK) return s.prepared();
    s.bind(1, name);
    int rc = SQLITE_OK;
    while ((rc = s.step()) == SQLITE_ROW) {
        RodTaper t;
        t.length_m = s.real(0);
        t.diameter_mm = s.real(1);
        t.weight_kg_per_m = s.optional_real(2);
        t.modulus_GPa = s.real(3);
        t.tensile_MPa = s.optional_real(4);
        t.grade = s.text(5);
        out.push_back(std::move(t));
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

constexpr const char* kSelectWell =
    "SELECT name, pump_depth_m, plunger_mm, tubing_inner_mm, tubing_anchored, water_cut_pct, oil_kg_m3, "
    "water_kg_m3, tubing_head_MPa, casing_MPa, damping_nu, notes FROM wells";

WellRecord record_of(const Statement& s) {
    WellRecord r;
    r.well = s.text(0);
    r.pump.depth_m = s.real(1);
    r.pump.plunger_mm = s.real(2);
    r.tubing.inner_mm = s.real(3);
    r.tubing.anchored = sqlite3_column_int(s.get(), 4) != 0;
    r.fluid.water_cut_pct = s.real(5);
    r.fluid.oil_kg_m3 = s.real(6);
    r.fluid.water_kg_m3 = s.real(7);
    r.pressure.tubing_head_MPa = s.real(8);
    r.pressure.casing_MPa = s.real(9);
    r.damping_nu = s.optional_real(10);
    r.notes = s.text(11);
    return r;
}

}  // namespace

std::unique_ptr<WellStore> WellStore::open(const std::string& path, Mode mode, StoreProblem& problem,
                                           int busy_ms) {
    problem = {};
    problem.path = path;
    if (path.empty()) {
        problem.kind = Kind::NoLocation;
        return nullptr;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    const bool exists = fs::exists(path, ec);
    if (!exists && mode == Mode::Read) return std::unique_ptr<WellStore>(new WellStore(nullptr, path));
    if (!exists) {
        const fs::path folder = fs::path(path).parent_path();
        if (!folder.empty()) fs::create_directories(folder, ec);
    }
    sqlite3* db = nullptr;
    const int flags =
        mode == Mode::Read ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    int rc = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<WellStore> store(new WellStore(db, path));
    if (rc != SQLITE_OK) {
        problem = sqlite_problem(db, rc, path);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busy_ms);
    // A change reaches the disk before the commit returns; the rollback
    // journal undoes a half-done one at the next open.
    if (mode == Mode::Write) {
        rc = sqlite3_exec(db, "PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL", nullptr, nullptr,
                          nullptr);
        if (rc != SQLITE_OK) {
            problem = sqlite_problem(db, rc, path);
            return nullptr;
        }
    }
    sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    int version = 0;
    rc = user_version(db, version);
    if (rc != SQLITE_OK) {
        problem = sqlite_problem(db, rc, path);
        return nullptr;
    }
    if (version > schema_version) {
        problem.kind = Kind::NewerSchema;
        problem.version = version;
        return nullptr;
    }
    if (version > 0) {
        problem = check_pages(db, path);
        if (problem) return nullptr;
    }
    if (version < schema_version) {
        if (mode == Mode::Read) {
            // An empty file or an old schema: nothing to read that this
            // program knows how to; the next write migrates it.
            if (version == 0) {
                sqlite3_close(db);
                store->db_ = nullptr;
                return store;
            }
            problem.kind = Kind::ReadOnly;
            return nullptr;
        }
        rc = migrate(db, version);
        if (rc != SQLITE_OK) {
            problem = sqlite_problem(db, rc, path);
            return nullptr;
        }
    }
    problem = {};
    return store;
}

WellStore::~WellStore() {
    sqlite3_close(db_);
}

StoreProblem WellStore::names(std::vector<std::string>& out) const {
    out.clear();
    if (db_ == nullptr) return {};
    Statement s(db_, "SELECT name FROM wells ORDER BY name");
    if (s.prepared() != SQLITE_OK) return sqlite_problem(db_, s.prepared(), path_);
    int rc = SQLITE_OK;
    while ((rc = s.step()) == SQLITE_ROW) out.push_back(s.text(0));
    if (rc != SQLITE_DONE) return sqlite_problem(db_, rc, path_);
    return {};
}

StoreProblem WellStore::get(const std::string& well, WellRecord& out) const {
    const std::string name = well::trimmed_name(well);
    StoreProblem missing;
    missing.kind = Kind::NotFound;
    missing.path = path_;
    missing.well = name;
    if (db_ == nullptr) return missing;
    Statement s(db_, (std::string(kSelectWell) + " WHERE name = ?1").c_str());
    if (s.prepared() != SQLITE_OK) return sqlite_problem(db_, s.prepared(), path_);
    s.bind(1, name);
    const int rc = s.step();
    if (rc == SQLITE_DONE) return missing;
    if (rc != SQLITE_ROW) return sqlite_problem(db_, rc, path_);
    out = record_of(s);
    const int trc = read_tapers(db_, name, out.rods);
    if (trc != SQLITE_OK) return sqlite_problem(db_, trc, path_);
    return {};
}

StoreProblem WellStore::get_all(std::vector<WellRecord>& out) const {
    out.clear();
    if (db_ == nullptr) return {};
    Statement s(db_, (std::string(kSelectWell) + " ORDER BY name").c_str());
    if (s.prepared() != SQLITE_OK) return sqlite_problem(db_, s.prepared(), path_);
    int rc = SQLITE_OK;
    while ((rc = s.step()) == SQLITE_ROW) out.push_back(record_of(s));
    if (rc != SQLITE_DONE) return sqlite_problem(db_, rc, path_);
    for (WellRecord& r : out) {
        const int trc = read_tapers(db_, r.well, r.rods);
        if (trc != SQLITE_OK) return sqlite_problem(db_, trc, path_);
    }
    return {};
}

StoreProblem WellStore::put(const std::vector<WellRecord>& records) {
    for (const WellRecord& r : records) {
        well::WellProblems errors;
        for (well::WellProblem& p : well::check(r)) {
            if (!p.warning()) errors.push_back(std::move(p));
        }
        if (!errors.empty()) {
            StoreProblem p;
            p.kind = Kind::Invalid;
            p.path = path_;
            p.well = r.well;
            p.problems = std::move(errors);
            return p;
        }
    }
    if (db_ == nullptr) {
        StoreProblem p;
        p.kind = Kind::ReadOnly;
        p.path = path_;
        return p;
    }
    Transaction t(db_);
    if (t.begun() != SQLITE_OK) return sqlite_problem(db_, t.begun(), path_);
    Statement drop_tapers(db_, "DELETE FROM rod_tapers WHERE well = ?1");
    Statement put_well(
        db_,
        "INSERT OR REPLACE INTO wells (name, pump_depth_m, plunger_mm, tubing_inner_mm, "
        "tubing_anchored, water_cut_pct, oil_kg_m3, water_kg_m3, tubing_head_MPa, casing_MPa, "
        "damping_nu, notes, updated_utc) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, "
        "?12, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))");
    Statement put_taper(db_,
                        "INSERT INTO rod_tapers (well, position, length_m, diameter_mm, weight_kg_per_m, "
                        "modulus_GPa, tensile_MPa, grade) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    for (const Statement* s : {&drop_tapers, &put_well, &put_taper}) {
        if (s->prepared() != SQLITE_OK) return sqlite_problem(db_, s->prepared(), path_);
    }
    for (const WellRecord& r : records) {
        const std::string name = well::trimmed_name(r.well);
        drop_tapers.bind(1, name);
        int rc = drop_tapers.step();
        drop_tapers.reset();
        if (rc != SQLITE_DONE) return sqlite_problem(db_, rc, path_);
        put_well.bind(1, name);
        put_well.bind(2, r.pump.depth_m);
        put_well.bind(3, r.pump.plunger_mm);
        put_well.bind(4, r.tubing.inner_mm);
        put_well.bind(5, r.tubing.anchored ? 1 : 0);
        put_well.bind(6, r.fluid.water_cut_pct);
        put_well.bind(7, r.fluid.oil_kg_m3);
        put_well.bind(8, r.fluid.water_kg_m3);
        put_well.bind(9, r.pressure.tubing_head_MPa);
        put_well.bind(10, r.pressure.casing_MPa);
        put_well.bind(11, r.damping_nu);
        put_well.bind(12, r.notes);
        rc = put_well.step();
        put_well.reset();
        if (rc != SQLITE_DONE) return sqlite_problem(db_, rc, path_);
        for (std::size_t k = 0; k < r.rods.size(); ++k) {
            const RodTaper& taper = r.rods[k];
            put_taper.bind(1, name);
            put_taper.bind(2, static_cast<int>(k));
            put_taper.bind(3, taper.length_m);
            put_taper.bind(4, taper.diameter_mm);
            put_taper.bind(5, taper.weight_kg_per_m);
            put_taper.bind(6, taper.modulus_GPa);
            put_taper.bind(7, taper.tensile_MPa);
            put_taper.bind(8, taper.grade);
            rc = put_taper.step();
            put_taper.reset();
            if (rc != SQLITE_DONE) return sqlite_problem(db_, rc, path_);
        }
    }
    const int rc = t.commit();
    if (rc != SQLITE_OK) return sqlite_problem(db_, rc, path_);
    return {};
}

StoreProblem WellStore::remove(const std::string& well) {
    const std::string name = well::trimmed_name(well);
    StoreProblem missing;
    missing.kind = Kind::NotFound;
    missing.path = path_;
    missing.well = name;
    if (db_ == nullptr) return missing;
    Transaction t(db_);
    if (t.begun() != SQLITE_OK) return sqlite_problem(db_, t.begun(), path_);
    Statement tapers(db_, "DELETE FROM rod_tapers WHERE well = ?1");
    Statement wells(db_, "DELETE FROM wells WHERE name = ?1");
    for (Statement* s : {&tapers, &wells}) {
        if (s->prepared() != SQLITE_OK) return sqlite_problem(db_, s->prepared(), path_);
        s->bind(1, name);
        const int rc = s->step();
        if (rc != SQLITE_DONE) return sqlite_problem(db_, rc, path_);
    }
    if (sqlite3_changes(db_) == 0) return missing;
    const int rc = t.commit();
    if (rc != SQLITE_OK) return sqlite_problem(db_, rc, path_);
    return {};
}

}  // namespace tavo::welldb
