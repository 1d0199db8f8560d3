// What stopped or marred an action at the core's edges: reading and writing
// files, the exchange text, the write-back. Core procedures return it with
// their results; each front end puts it into words of its own. Exceptions
// stay inside the core, for the failure rule.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/fault.h"

namespace tavo {

// Why a file operation failed.
struct IoFailure {
    enum class Why { None, System, Folder, NotOrdinaryFile, SymbolicLink };
    // What a failed write may have left behind.
    enum class Damage { None, IncompleteBlock, PartlyOverwritten };
    Why why = Why::None;
    int error = 0;  // errno, for Why::System
    Damage damage = Damage::None;

    explicit operator bool() const { return why != Why::None; }
    static IoFailure system(int error) { return {Why::System, error, Damage::None}; }
};

// The curves and sample words a problem may name.
enum class Quantity { Load, Displacement, Current, Voltage, ActivePower, ReactivePower };

struct Problem {
    enum class Kind {
        None,
        // A tester file picked for analysis.
        CannotOpen,    // io: why
        ShortHeader,   // shorter than the 1024-byte header
        NoSamples,     // a header without one whole sample record; numbers: records announced
        ShortSamples,  // numbers: records read, records announced (a warning)
        // The exchange writer; well: the test's well.
        NoExchangeTarget,
        StrokeOutOfRange,     // numbers: the stroke length
        CurvesNotWritable,    // fault
        CannotWriteExchange,  // io
        // The exchange reader; path: the exchange file, line: the tag line.
        NoExtension,
        CannotReadExchange,  // io
        CannotCreateFolder,  // detail: the folder; io
        EndsInSection,       // detail: the section's tag
        LineTooShort,        // quantity; numbers: line, characters, needed, fields, width
        CountTooLarge,       // numbers: the count
        CountNotShort,       // detail: the count's text
        CountNotPoints,      // detail: the count's text
        BlockLacksSections,  // detail: the missing tags
        StrokeNotShort,      // detail: the stroke's text
        RateZero,            // detail: the rate's text
        RateTooSmall,        // detail: the rate's text
        FieldUnreadable,     // fault
        DateWithoutDash,     // detail: the date's text
        UnfinishedBlock,     // detail: the missing tags (a warning: the whole blocks were rebuilt)
        // The rebuild of one tester file from a block; line: the block's last tag line.
        RebuildStroke,      // numbers: the stroke length
        RebuildCurves,      // fault
        RebuildTestMode,    // fault
        SampleNotShort,     // quantity; numbers: the sample; detail: the value
        CannotWriteTester,  // detail: the tester file; io
        // The write-back.
        CannotWriteBack,  // io
    };

    Kind kind = Kind::None;
    std::string path;    // the file the action read or wrote
    long line = 0;       // line of the exchange text, 0 when none
    std::string well;    // well of the test or block, empty when unknown
    std::string detail;  // the text at fault, as the file holds it
    IoFailure io;
    std::optional<FaultKind> fault;  // the fault that stopped a calculation
    std::string fault_text;          // its own words
    Quantity quantity = Quantity::Load;
    std::vector<long> numbers;

    explicit operator bool() const { return kind != Kind::None; }
    // A warning: the action went through, with a shortcoming to report.
    bool warning() const { return kind == Kind::ShortSamples || kind == Kind::UnfinishedBlock; }
};

// A problem of `kind` stopped by `f`.
Problem fault_problem(Problem::Kind kind, const Fault& f);

// The problem in English, as tavo-cli writes it.
std::string english(const Problem& p);
// The English words of a failed read or write, e.g. "it is a folder".
std::string english(const IoFailure& io);

}  // namespace tavo
