#include "cli/well_english.h"

#include "common/number_text.h"
#include "welldb/store_path.h"

namespace tavo::cli {

namespace {

using WK = well::WellProblem::Kind;
using SK = welldb::StoreProblem::Kind;

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}
std::string num(double v) {
    return shortest_text(v);
}

// Where the problem is: file, line or JSON path, field, well.
std::string place(const well::WellProblem& p) {
    std::string at;
    if (!p.file.empty()) at += p.file;
    const bool csv_column =
        p.line > 0 && !p.field.empty() && p.field.front() != '.' && p.field.front() != '[';
    if (p.line > 0) {
        at += (at.empty() ? "" : ": ") + std::string("line ") + std::to_string(p.line);
        if (p.column > 0) at += ", column " + std::to_string(p.column);
    }
    if (!p.field.empty()) {
        if (csv_column) {
            at += ", column " + p.field;
        } else {
            at += (at.empty() ? "" : ": ") + p.field;
        }
    }
    if (!p.well.empty()) at += " (well " + quoted(p.well) + ")";
    return at;
}

std::string reason(const well::WellProblem& p) {
    switch (p.kind) {
        case WK::None:
            return "no problem";
        case WK::CannotRead:
            return "cannot read the file: " + english(p.io);
        case WK::CannotWrite:
            return "cannot write the file: " + english(p.io);
        case WK::UnknownFormat:
            return "the extension " + quoted(p.detail) + " is neither .json nor .csv";
        case WK::BadJson:
            return "not valid JSON here";
        case WK::BadCsv:
            return "bad CSV: " + p.detail;
        case WK::MissingColumn:
            return "the header has no column " + quoted(p.field);
        case WK::NoRecords:
            return "the file holds no well record";
        case WK::DuplicateWell:
            return "the well is given twice in the file";
        case WK::Missing:
            return "a value is required";
        case WK::WrongType:
            if (p.detail == "boolean") return "must be true or false";
            if (p.detail == "text") return "must be text in quotes";
            return "must be " + std::string(p.detail == "object" || p.detail == "array" ? "an " : "a ") +
                   p.detail;
        case WK::NotANumber:
            return quoted(p.detail) + " is not a number";
        case WK::NotPositive:
            return num(p.value) + " is not above 0";
        case WK::OutOfRange:
            return num(p.value) + " is outside the plausible range " + num(p.low) + " to " + num(p.high);
        case WK::NoWeight:
            return "no weight is known for a rod of " + num(p.value) +
                   " mm (the table covers steel rods of 16, 19, 22, 25, 29 mm and sinker bars of 32 to 44 "
                   "mm); "
                   "give weight_kg_per_m";
        case WK::NoTapers:
            return "the rod string needs at least one taper";
        case WK::Contradicts:
            return quoted(p.detail) +
                   " differs from the value on the well's first row; leave it empty or repeat it";
        case WK::LengthMismatch:
            return "the tapers add up to " + num(p.value) + " m, not the pump depth " + num(p.low) +
                   " m (tolerance " + num(p.high) + " m)";
    }
    return "unknown problem";
}

}  // namespace

std::string english(const well::WellProblem& p) {
    const std::string at = place(p);
    return (p.warning() ? "warning: " : "") + (at.empty() ? std::string() : at + ": ") + reason(p);
}

std::string english(const welldb::StoreProblem& p) {
    const std::string db = "the well database " + quoted(p.path);
    switch (p.kind) {
        case SK::None:
            return "no problem";
        case SK::NoLocation:
            return "no place for the well database: set TAVO_WELLS_DB or HOME, or give --wells PATH";
        case SK::CannotOpen:
            return "cannot open " + db + " (" + p.detail + ")";
        case SK::Locked:
            return db + " is locked by another program; try again when it is done";
        case SK::Damaged:
            return db + " is damaged or not a database (" + p.detail +
                   "); restore it from a backup or move it away to start a new one";
        case SK::NewerSchema:
            return db + " was written by a newer version of the program (schema " +
                   std::to_string(p.version) + "); it is left untouched";
        case SK::ReadOnly:
            return db + " cannot be written (" + (p.detail.empty() ? "read-only" : p.detail) + ")";
        case SK::DiskFull:
            return "the disk is full: nothing was changed in " + db;
        case SK::NotFound:
            return "no record of the well " + quoted(p.well) + " in " + db;
        case SK::Invalid: {
            std::string s = "the record of the well " + quoted(p.well) + " was refused:";
            for (const well::WellProblem& w : p.problems) s += "\n  " + english(w);
            return s;
        }
        case SK::Failed:
            return db + ": " + p.detail;
    }
    return db + ": unknown problem";
}

std::string wells_db_path(const std::string& option) {
    return option.empty() ? welldb::default_store_path() : option;
}

}  // namespace tavo::cli
