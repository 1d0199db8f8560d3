#include "common/problem.h"

#include <cstring>

namespace tavo {
namespace {

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

std::string num(const Problem& p, std::size_t i) {
    return i < p.numbers.size() ? std::to_string(p.numbers[i]) : std::string("?");
}

const char* quantity_name(Quantity q) {
    switch (q) {
        case Quantity::Load:
            return "load";
        case Quantity::Displacement:
            return "displacement";
        case Quantity::Current:
            return "current";
        case Quantity::Voltage:
            return "voltage";
        case Quantity::ActivePower:
            return "active power";
        case Quantity::ReactivePower:
            return "reactive power";
    }
    return "";
}

const char* quantity_unit(Quantity q) {
    switch (q) {
        case Quantity::Load:
            return "kN";
        case Quantity::Displacement:
            return "m";
        case Quantity::ActivePower:
            return "kW";
        case Quantity::ReactivePower:
            return "kVar";
        case Quantity::Current:
            return "A";
        case Quantity::Voltage:
            return "V";
    }
    return "";
}

std::string io_text(const IoFailure& io) {
    std::string s;
    switch (io.why) {
        case IoFailure::Why::None:
            break;
        case IoFailure::Why::System:
            s = std::strerror(io.error);
            break;
        case IoFailure::Why::Folder:
            s = "it is a folder";
            break;
        case IoFailure::Why::NotOrdinaryFile:
            s = "it is not an ordinary file";
            break;
        case IoFailure::Why::SymbolicLink:
            s = "it is a symbolic link";
            break;
    }
    if (io.damage == IoFailure::Damage::IncompleteBlock) s += " (the file may end in an incomplete block)";
    if (io.damage == IoFailure::Damage::PartlyOverwritten) s += " (the file may be partly overwritten)";
    return s;
}

bool at_block_end(Problem::Kind k) {
    using K = Problem::Kind;
    return k == K::RebuildStroke || k == K::RebuildCurves || k == K::RebuildTestMode ||
           k == K::SampleNotShort || k == K::CannotWriteTester;
}

// What went wrong, without the place.
std::string reason(const Problem& p) {
    using K = Problem::Kind;
    switch (p.kind) {
        case K::None:
            return {};
        case K::CannotOpen:
            if (p.io.why == IoFailure::Why::Folder || p.io.why == IoFailure::Why::NotOrdinaryFile)
                return "cannot open the file (" + io_text(p.io) + ")";
            return "cannot open the file";
        case K::ShortHeader:
            return "the file is shorter than its 1024-byte header";
        case K::NoSamples:
            return "the file holds its header but no whole sample record (the header announces " + num(p, 0) +
                   " samples): it is no test";
        case K::ShortSamples:
            return "the file holds " + num(p, 0) + " of the " + num(p, 1) + " samples its header announces";
        case K::NoExchangeTarget:
            return "no exchange file is named to write the well " + quoted(p.well) + " to";
        case K::StrokeOutOfRange:
            return "the stroke length of " + num(p, 0) + " samples is outside 1..3001";
        case K::CurvesNotWritable:
            return "the curves cannot be resampled and written as fields (" + p.fault_text + ")";
        case K::CannotWriteExchange:
            return "cannot write the exchange file " + quoted(p.path) + ": " + io_text(p.io);
        case K::NoExtension:
            return "the exchange file name " + quoted(p.path) +
                   " has no extension, so no folder for the rebuilt files can be named after it";
        case K::CannotReadExchange:
            return "cannot read the exchange file " + quoted(p.path) + ": " + io_text(p.io);
        case K::CannotCreateFolder:
            return "cannot create the folder " + quoted(p.detail) +
                   " for the rebuilt files: " + io_text(p.io);
        case K::EndsInSection:
            return "the file ends inside the " + p.detail + " section";
        case K::LineTooShort:
            return std::string("the ") + quantity_name(p.quantity) + " line (line " + num(p, 0) + ") holds " +
                   num(p, 1) + " characters, " + num(p, 2) + " needed for " + num(p, 3) + " fields of " +
                   num(p, 4);
        case K::CountTooLarge:
            return "the count " + num(p, 0) + " is more than the 3001 samples a curve holds";
        case K::CountNotShort:
            return "the count " + quoted(p.detail) + " does not fit a 16-bit number";
        case K::CountNotPoints:
            return "the count " + quoted(p.detail) + " is not a number of points";
        case K::BlockLacksSections:
            return "a new block begins here, but the block before it has no " + p.detail + " section";
        case K::StrokeNotShort:
            return "the stroke " + quoted(p.detail) + " m does not fit its 16-bit field in mm";
        case K::RateZero:
            return "the stroke rate " + quoted(p.detail) + " is 0: no stroke length follows from it";
        case K::RateTooSmall:
            return "the stroke rate " + quoted(p.detail) + " gives a stroke longer than a 16-bit field holds";
        case K::FieldUnreadable:
            return "a number field cannot be read (" + p.fault_text + ")";
        case K::DateWithoutDash:
            return "the test date " + quoted(p.detail) + " holds no \"-\"";
        case K::UnfinishedBlock:
            return "the file ends inside a block that has no " + p.detail +
                   " section; that block gives no tester file";
        case K::RebuildStroke:
            return "the stroke rate gives a stroke of " + num(p, 0) +
                   " samples (3000 / rate), outside the 1..3001 a curve holds";
        case K::RebuildCurves:
            return "the curves cannot be resampled (" + p.fault_text + ")";
        case K::RebuildTestMode:
            return "the test mode cannot be estimated (" + p.fault_text + ")";
        case K::SampleNotShort:
            return "sample " + num(p, 0) + ": the " + quantity_name(p.quantity) + " " + p.detail + " " +
                   quantity_unit(p.quantity) + " does not fit its 16-bit field";
        case K::CannotWriteTester:
            return "cannot write the tester file " + quoted(p.detail) + ": " + io_text(p.io);
        case K::CannotWriteBack:
            return io_text(p.io);
    }
    return {};
}

}  // namespace

Problem fault_problem(Problem::Kind kind, const Fault& f) {
    Problem p;
    p.kind = kind;
    p.fault = f.kind();
    p.fault_text = f.what();
    return p;
}

std::string english(const Problem& p) {
    using K = Problem::Kind;
    // The place: the exchange file and its line, or the well of a block written.
    std::string where;
    if (p.kind == K::StrokeOutOfRange || p.kind == K::CurvesNotWritable) {
        where = "exchange file " + quoted(p.path) + ", well " + quoted(p.well) + ": ";
    } else if (p.line > 0) {
        where = "exchange file " + quoted(p.path) + ", " +
                (at_block_end(p.kind) ? "block ending at line " : "line ") + std::to_string(p.line);
        if (!p.well.empty()) where += " (well " + quoted(p.well) + ")";
        where += ": ";
    }
    return where + reason(p);
}

std::string english(const IoFailure& io) {
    return io_text(io);
}

}  // namespace tavo
