// The well records' database: one SQLite file, keyed by the trimmed well
// name. Every change is one transaction; the rollback journal with full
// synchronisation keeps a crash or a full disk from leaving a change half
// written (SQLite rolls the journal back at the next open). The schema's
// version is the file's user_version; an older file is migrated on open,
// a newer one is refused untouched.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "well/well_problem.h"
#include "well/well_record.h"

struct sqlite3;

namespace tavo::welldb {

// The schema this program writes.
inline constexpr int schema_version = 1;

// Why the database could not do what was asked. Front ends word it.
struct StoreProblem {
    enum class Kind {
        None,
        NoLocation,   // no path given and no home folder to put it in
        CannotOpen,   // the file or its folder cannot be opened or made
        Locked,       // another program holds the database longer than the wait
        Damaged,      // not a database, or its pages are corrupt
        NewerSchema,  // version: the file's schema, newer than this program's
        ReadOnly,     // the file or its folder cannot be written
        DiskFull,     // the change was rolled back
        NotFound,     // well: no record of that name
        Invalid,      // problems: the record's errors; nothing was stored
        Failed,       // any other SQLite failure; detail: its message
    };
    Kind kind = Kind::None;
    std::string path;             // the database file
    std::string well;             // the well concerned, if any
    int code = 0;                 // SQLite's extended result code
    std::string detail;           // SQLite's own message, for a log
    int version = 0;              // NewerSchema: the file's schema version
    well::WellProblems problems;  // Invalid: what the checks found

    explicit operator bool() const { return kind != Kind::None; }
};

class WellStore {
public:
    enum class Mode {
        Read,   // a missing file reads as an empty database and is not made
        Write,  // a missing file is made (with its folder)
    };
    // Opens (or, to write, makes) the database at `path`, migrating an older
    // schema and checking the pages. `busy_ms`: how long to wait for another
    // program's lock before reporting Locked.
    static std::unique_ptr<WellStore> open(const std::string& path, Mode mode, StoreProblem& problem,
                                           int busy_ms = 2000);
    ~WellStore();
    WellStore(const WellStore&) = delete;
    WellStore& operator=(const WellStore&) = delete;

    const std::string& path() const { return path_; }

    // The wells' names, sorted.
    StoreProblem names(std::vector<std::string>& out) const;
    // The record of `well` (trimmed); NotFound when there is none.
    StoreProblem get(const std::string& well, well::WellRecord& out) const;
    // Every record, sorted by name.
    StoreProblem get_all(std::vector<well::WellRecord>& out) const;
    // Stores the records in one transaction, each replacing the record of
    // its name: all of them or none. A record with an error in its checks
    // is refused (Invalid) and nothing is stored.
    StoreProblem put(const std::vector<well::WellRecord>& records);
    // Removes the record of `well`; NotFound when there is none.
    StoreProblem remove(const std::string& well);

private:
    WellStore(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
    sqlite3* db_;  // nullptr: a missing file opened to read
    std::string path_;
};

}  // namespace tavo::welldb
