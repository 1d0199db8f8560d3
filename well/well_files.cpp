#include "well/well_files.h"

#include <cctype>

#include "common/file_io.h"
#include "well/well_csv.h"

namespace tavo::well {

namespace {

std::string extension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string e = path.substr(dot + 1);
    for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return e;
}

WellProblem unknown_format(const std::string& path) {
    WellProblem p;
    p.kind = WellProblem::Kind::UnknownFormat;
    p.file = path;
    p.detail = extension(path);
    return p;
}

}  // namespace

WellFormat format_of(const std::string& path) {
    const std::string e = extension(path);
    if (e == "json") return WellFormat::Json;
    if (e == "csv") return WellFormat::Csv;
    return WellFormat::Unknown;
}

ImportResult read_well_file(const std::string& path) {
    ImportResult result;
    const WellFormat format = format_of(path);
    if (format == WellFormat::Unknown) {
        result.problems.push_back(unknown_format(path));
        return result;
    }
    std::string text;
    if (const IoFailure io = file_io::read_all(path, text)) {
        WellProblem p;
        p.kind = WellProblem::Kind::CannotRead;
        p.file = path;
        p.io = io;
        result.problems.push_back(std::move(p));
        return result;
    }
    result = format == WellFormat::Json ? read_json(text) : read_csv(text);
    for (WellProblem& p : result.problems) p.file = path;
    return result;
}

WellProblem write_well_file(const std::string& path, const std::vector<WellRecord>& records) {
    const WellFormat format = format_of(path);
    if (format == WellFormat::Unknown) return unknown_format(path);
    const std::string text =
        format == WellFormat::Json ? write_json(records, records.size() == 1) : write_csv(records);
    WellProblem p;
    if (const IoFailure io = file_io::replace_all(path, text)) {
        p.kind = WellProblem::Kind::CannotWrite;
        p.file = path;
        p.io = io;
    }
    return p;
}

}  // namespace tavo::well
