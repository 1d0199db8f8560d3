// What stopped or marred an action at the core's edges: reading and writing
// files, the exchange text, the write-back. Core procedures return it with
// their results; each front end puts it into words of its own. Exceptions
// stay inside the core, for the failure rule.
#pragma once

#include <optional>
#include <string>

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
        NoSamples,     // a header without one whole sample record; records_expected
        ShortSamples,  // records_read, records_expected (a warning)
        // The exchange writer; well: the test's well.
        NoExchangeTarget,
        StrokeOutOfRange,     // stroke
        CurvesNotWritable,    // fault
        CannotWriteExchange,  // io
        // The exchange reader; path: the exchange file, line: the tag line.
        NoExtension,
        CannotReadExchange,  // io
        CannotCreateFolder,  // detail: the folder; io
        EndsInSection,       // detail: the section's tag
        LineTooShort,        // quantity; short_line
        CountTooLarge,       // count
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
        RebuildStroke,      // stroke
        RebuildCurves,      // fault
        RebuildTestMode,    // fault
        SampleNotShort,     // quantity; sample; detail: the value
        CannotWriteTester,  // detail: the tester file; io
        // The write-back.
        CannotWriteBack,  // io
        // A picture or a report written; path: the file.
        CannotWriteFile,     // detail: the reason as the writer gives it
        CannotDrawInto,      // the painter could not start on the report
        CannotDrawPicture,   // the painter could not draw the picture
        CannotFinish,        // the painter could not finish the file
        BadScale,            // a picture's scale outside (0, 32]
        UnknownPictureType,  // detail: the file's extension
        NoPictureSize,       // a picture of no width or height
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
    // A tester file read: the records the header announces and those read
    // whole (also without a problem: a reading that went through).
    long records_expected = 0, records_read = 0;
    long stroke = 0;  // the stroke length in samples
    long count = 0;   // the count of points of a curve
    long sample = 0;  // the sample's number
    // A line of the exchange text too short for its fields.
    struct ShortLine {
        long line = 0, characters = 0, needed = 0, fields = 0, width = 0;
    } short_line;

    explicit operator bool() const { return kind != Kind::None; }
    // A warning: the action went through, with a shortcoming to report.
    bool warning() const { return kind == Kind::ShortSamples || kind == Kind::UnfinishedBlock; }
};

// Whether a reading of a tester file refused it: it could not be opened, is
// no ordinary file, is shorter than its header or holds no whole sample.
bool not_analysed(const Problem& load);
// Whether a reading of a tester file that met `load` analysed it: a whole
// file or one whose samples end early; not a file that could not be read,
// nor before the first reading (nothing read: no problem and no records).
bool analysed(const Problem& load);

// A problem of `kind` stopped by `f`.
Problem fault_problem(Problem::Kind kind, const Fault& f);

// The problem in English, as tavo-cli writes it.
std::string english(const Problem& p);
// The English words of a failed read or write, e.g. "it is a folder".
std::string english(const IoFailure& io);

// The problem in Chinese, with its place in the exchange text where it has
// one, as the window shows it.
std::string chinese(const Problem& p);
// The Chinese words of a failed read or write, e.g. "这是一个文件夹".
std::string chinese(const IoFailure& io);
// The system's reason for a failed call (an errno value), in Chinese.
std::string chinese_system_reason(int error);
// Why a test has no analysis, or what it lacks, as a report page and the
// browser's panel say it; empty for a test read whole.
std::string chinese_test_note(const Problem& load);

}  // namespace tavo
