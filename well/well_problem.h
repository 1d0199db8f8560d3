// What is wrong with a well record or a file of them. The library names the
// kind, the place and the values; each front end puts it into words of its
// own (English in tavo-cli, Chinese in the window).
#pragma once

#include <string>
#include <vector>

#include "common/problem.h"

namespace tavo::well {

struct WellProblem {
    enum class Kind {
        None,
        // Reading or writing a file of records.
        CannotRead,     // io
        CannotWrite,    // io
        UnknownFormat,  // the extension is neither .json nor .csv; detail: the extension
        BadJson,        // line, column: where the parser stopped
        BadCsv,         // line; detail: what is wrong ("unclosed quote")
        MissingColumn,  // field: the column of the header that is missing
        NoRecords,      // the file holds no record
        DuplicateWell,  // well: the name given twice in one file; line (CSV) of the second
        // A value; field names it.
        Missing,      // required and absent (or empty)
        WrongType,    // detail: "number", "text", "boolean", "object", "array"
        NotANumber,   // detail: the text that is no number
        NotPositive,  // value
        OutOfRange,   // value, outside [low, high]
        NoWeight,     // a diameter the table does not know, or not steel, without its weight
        NoTapers,     // the rod string has no taper
        Contradicts,  // CSV: a well-level value differs from the well's first row; detail: this row's text
        // A warning: the record is stored, the engineer should look.
        LengthMismatch,  // value: the tapers' sum; low: the pump depth; high: the tolerance
    };

    Kind kind = Kind::None;
    std::string file;  // the file read or written, empty for a record alone
    long line = 0;     // CSV line, or the JSON line of a parse error; 0 when none
    long column = 0;   // JSON parse error: the column
    std::string well;  // the record's well, when known
    // JSON path of the value (".rods[1].diameter_mm", "[2].pump.depth_m"),
    // or the CSV column ("diameter_mm").
    std::string field;
    double value = 0.0;
    double low = 0.0;
    double high = 0.0;
    std::string detail;
    IoFailure io;

    explicit operator bool() const { return kind != Kind::None; }
    bool warning() const { return kind == Kind::LengthMismatch; }
};

using WellProblems = std::vector<WellProblem>;

// A problem of `kind` with nothing else said.
inline WellProblem problem_of(WellProblem::Kind kind) {
    WellProblem p;
    p.kind = kind;
    return p;
}

// True when any problem is not a warning.
inline bool has_error(const WellProblems& ps) {
    for (const WellProblem& p : ps) {
        if (!p.warning()) return true;
    }
    return false;
}

}  // namespace tavo::well
