// Reading the exchange text back: one tester file per complete block.
#include <array>
#include <filesystem>
#include <optional>
#include <utility>

#include "analysis/pick_file.h"
#include "common/fault.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "common/numbers.h"
#include "common/text.h"
#include "exchange/exchange.h"

namespace fs = std::filesystem;

namespace tavo {
namespace {

enum Section : int { kWellName = 1, kTestDate = 2, kCount = 4, kCard = 8, kPower = 16, kComplete = 31 };

std::string trim_blanks(std::string_view s) {
    const std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    const std::size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

// Lines end at CR LF, CR or LF; a last line without an end counts.
std::vector<std::string> split_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        lines.push_back(gbk_to_utf8(std::string_view(bytes).substr(start, i - start)));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back(gbk_to_utf8(std::string_view(bytes).substr(start)));
    return lines;
}

// A line cut into fixed-width fields, counted in characters.
class Fields {
public:
    explicit Fields(const std::string& line) : line_(line) {
        for (std::size_t off = 0; off < line.size();) {
            starts_.push_back(off);
            const auto c = static_cast<unsigned char>(line[off]);
            off += c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        }
        starts_.push_back(line.size());
    }
    std::size_t chars() const { return starts_.size() - 1; }
    float value(int i, int width) const {
        const std::size_t b = starts_[std::min<std::size_t>(static_cast<std::size_t>(i) * width, chars())];
        const std::size_t e =
            starts_[std::min<std::size_t>(static_cast<std::size_t>(i + 1) * width, chars())];
        return MyVal(std::string_view(line_).substr(b, std::min(e, line_.size()) - b));
    }

private:
    const std::string& line_;
    std::vector<std::size_t> starts_;
};

struct Line {
    std::string text;
    std::size_t no;  // 1-based line number in the file
};

struct BusyPointer {
    explicit BusyPointer(const WindowHooks& hooks) : hooks_(hooks) {
        if (hooks_.set_busy) hooks_.set_busy(true);
    }
    ~BusyPointer() {
        if (hooks_.set_busy) hooks_.set_busy(false);
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    const WindowHooks& hooks_;
};

// Reads the blocks of the text. Each step returns false when it met a
// problem, which `problem` then holds with its place in the file.
class Reader {
public:
    Reader(State& st, const std::string& file, std::vector<std::string> lines)
        : st_(st), file_(file), lines_(std::move(lines)) {}

    std::optional<std::string> next_tag_line() {
        if (pos_ >= lines_.size()) return std::nullopt;
        tag_line_ = pos_ + 1;
        return lines_[pos_++];
    }

    // The next line of a section; the file must not end inside it.
    std::optional<Line> next(const char* section, bool trim = true) {
        if (pos_ >= lines_.size()) {
            fail(Problem::Kind::EndsInSection, section);
            return std::nullopt;
        }
        const std::string& line = lines_[pos_++];
        return Line{trim ? trim_blanks(line) : line, pos_};
    }

    // Fields 0..count-1 of one line into `a`.
    bool read_fields(SampleArray& a, const std::optional<Line>& line, int width, Quantity what) {
        if (!line) return false;
        if (count <= 0) return true;
        if (count > kArrayLen) {
            Problem p;
            p.kind = Problem::Kind::CountTooLarge;
            p.count = count;
            return fail(std::move(p));
        }
        const Fields f(line->text);
        const std::size_t need = static_cast<std::size_t>(count) * static_cast<std::size_t>(width);
        if (f.chars() < need) {
            Problem p;
            p.kind = Problem::Kind::LineTooShort;
            p.quantity = what;
            p.short_line = {static_cast<long>(line->no), static_cast<long>(f.chars()),
                            static_cast<long>(need), count, width};
            return fail(std::move(p));
        }
        for (int i = 0; i < count; ++i) a[static_cast<std::size_t>(i)] = f.value(i, width);
        return true;
    }

    // Three lines of one phase each, summed per field and divided.
    bool read_phases(SampleArray& a, const char* section, int width, float divisor, Quantity what,
                     const std::optional<Line>& first = std::nullopt,
                     const std::optional<Line>& second = std::nullopt) {
        SampleArray p1{}, p2{}, p3{};
        if (!read_fields(p1, first ? first : next(section), width, what) ||
            !read_fields(p2, second ? second : next(section), width, what) ||
            !read_fields(p3, next(section), width, what))
            return false;
        for (int i = 0; i < count; ++i) {
            const auto k = static_cast<std::size_t>(i);
            a[k] = checked(checked(checked(p1[k] + p2[k]) + p3[k]) / divisor);
        }
        return true;
    }

    // Keeps the first problem met, placed at the current tag line (or, for
    // the rebuild of a block, the block's last one).
    bool fail(Problem p) {
        if (!problem) {
            p.path = file_;
            p.line = static_cast<long>(tag_line_);
            if (flags & kWellName) p.well = st_.Txt_WellName;
            problem = std::move(p);
        }
        return false;
    }
    bool fail(Problem::Kind kind, std::string detail = {}) {
        Problem p;
        p.kind = kind;
        p.detail = std::move(detail);
        return fail(std::move(p));
    }

    State& st_;
    const std::string& file_;
    std::vector<std::string> lines_;
    std::size_t pos_ = 0;       // index of the next line
    std::size_t tag_line_ = 0;  // 1-based number of the last tag line
    int16_t count = 0;
    int flags = 0;
    Problem problem;
};

bool read_well_name(Reader& r) {
    const auto line = r.next("[wellname]");
    if (line) r.st_.Txt_WellName = line->text;
    return line.has_value();
}

bool read_test_date(Reader& r) {
    const auto line = r.next("[testdate]");
    if (!line) return false;
    auto time = test_time_of_date_line(line->text);
    if (!time) return r.fail(Problem::Kind::DateWithoutDash, line->text);
    r.st_.Txt_TestTime = std::move(*time);
    return true;
}

bool read_count(Reader& r) {
    const auto line = r.next("[count]", false);
    if (!line) return false;
    try {
        r.count = to_i16(MyVal(line->text));
    } catch (const Fault&) {
        return r.fail(Problem::Kind::CountNotShort, trim_blanks(line->text));
    }
    // No field would be read: the block would carry the curves held before.
    if (r.count < 1) return r.fail(Problem::Kind::CountNotPoints, trim_blanks(line->text));
    return true;
}

// The sections a block in progress still lacks, as their tags.
std::string missing_sections(int flags) {
    static constexpr std::pair<int, const char*> kTags[] = {{kWellName, "[wellname]"},
                                                            {kTestDate, "[testdate]"},
                                                            {kCount, "[count]"},
                                                            {kCard, "[gtsj]"},
                                                            {kPower, "[glsj]"}};
    std::string out;
    for (const auto& [bit, tag] : kTags) {
        if (flags & bit) continue;
        if (!out.empty()) out += ", ";
        out += tag;
    }
    return out;
}

// A new well begins while the one before it lacks a section: going on
// would build one tester file from the sections of two wells.
bool check_block_start(Reader& r) {
    if ((r.flags & ~kCount) == 0) return true;
    return r.fail(Problem::Kind::BlockLacksSections, missing_sections(r.flags));
}

bool read_card(Reader& r) {
    State& st = r.st_;
    const auto stroke = r.next("[gtsj]");
    if (!stroke) return false;
    const auto rate = r.next("[gtsj]");
    if (!rate) return false;
    const auto load = r.next("[gtsj]");
    if (!load) return false;
    const auto pos = r.next("[gtsj]");
    if (!pos) return false;

    const float stroke_m = MyVal(stroke->text);
    try {
        st.head.Stroke_Len = to_i16(checked(stroke_m * 1000.0f));
    } catch (const Fault&) {
        return r.fail(Problem::Kind::StrokeNotShort, stroke->text);
    }
    const float spm = MyVal(rate->text);
    if (spm == 0.0f) return r.fail(Problem::Kind::RateZero, rate->text);
    try {
        st.Circle_Num = to_i16(fdiv(3000.0f, spm));
    } catch (const Fault&) {
        return r.fail(Problem::Kind::RateTooSmall, rate->text);
    }
    st.head.Stroke_Pnt = st.Circle_Num;
    return r.read_fields(st.Force_Dat, load, 5, Quantity::Load) &&
           r.read_fields(st.Pos_Dat, pos, 4, Quantity::Displacement);
}

bool read_power(Reader& r) {
    State& st = r.st_;
    const int c = r.count;
    const auto a = r.next("[glsj]");
    if (!r.read_fields(st.Cur_Dat, a, 5, Quantity::Current)) return false;
    const auto b = r.next("[glsj]");
    if (!b) return false;
    if (static_cast<long>(char_count(b->text)) < 5L * c) {
        // One line per curve.
        return r.read_fields(st.Vol_Dat, b, 4, Quantity::Voltage) &&
               r.read_fields(st.Pow_Dat, r.next("[glsj]"), 5, Quantity::ActivePower) &&
               r.read_fields(st.Var_Dat, r.next("[glsj]"), 5, Quantity::ReactivePower);
    }
    // Three lines per curve, one per phase.
    return r.read_phases(st.Cur_Dat, "[glsj]", 5, 3.0f, Quantity::Current, a, b) &&
           r.read_phases(st.Vol_Dat, "[glsj]", 4, 3.0f, Quantity::Voltage) &&
           r.read_phases(st.Pow_Dat, "[glsj]", 5, 10.0f, Quantity::ActivePower) &&
           r.read_phases(st.Var_Dat, "[glsj]", 5, 10.0f, Quantity::ReactivePower);
}

}  // namespace

std::optional<std::string> rebuild_directory(const std::string& FileName) {
    const fs::path p(FileName);
    const std::string name = p.filename().string();
    const std::size_t start = name.find_first_not_of('.');
    const std::size_t dot = start == std::string::npos ? std::string::npos : name.find('.', start);
    if (dot == std::string::npos) return std::nullopt;
    return (p.parent_path() / name.substr(0, dot)).string();
}

Rebuilt InvOutFile(State& st, const std::string& FileName, const RebuiltFileHook& on_file,
                   const WindowHooks& hooks) {
    Rebuilt out;
    auto stop = [&](Problem::Kind kind) {
        out.problem.kind = kind;
        out.problem.path = FileName;
        return out;
    };
    // The fixed header fields of every rebuilt file.
    static constexpr std::array<uint8_t, 12> kMark = {26,  21,  'P', 'e', 'l', 'o',
                                                      'r', '.', 'V', 'a', 'n', 't'};
    st.head.Head_Mark = kMark;
    st.head.Sample_Rate = 50;
    st.head.Head_26 = 1;
    st.head.Point_Num = 3000;

    // The target folder, made once the text has been read.
    const std::optional<std::string> folder = rebuild_directory(FileName);
    if (!folder) return stop(Problem::Kind::NoExtension);
    const std::string& dir = *folder;
    const BusyPointer busy(hooks);
    std::string content;
    out.problem.io = file_io::read_all(FileName, content);
    if (out.problem.io) return stop(Problem::Kind::CannotReadExchange);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(dir, ec))) {
        fs::create_directory(dir, ec);
        if (ec) {
            out.problem.io = IoFailure::system(ec.value());
            out.problem.detail = dir;
            return stop(Problem::Kind::CannotCreateFolder);
        }
    }

    // Dispatch on the tags; a complete block becomes a tester file.
    Reader r(st, FileName, split_lines(content));
    while (const auto raw = r.next_tag_line()) {
        const std::string tag = left_chars(trim_blanks(*raw), 10);
        bool ok = true;
        try {
            if (tag == "[wellname]") {
                ok = check_block_start(r) && read_well_name(r);
                r.flags |= kWellName;
            } else if (tag == "[testdate]") {
                ok = read_test_date(r);
                r.flags |= kTestDate;
            } else if (tag.starts_with("[count]")) {
                ok = read_count(r);
                r.flags |= kCount;
            } else if (tag.starts_with("[gtsj]")) {
                ok = read_card(r);
                r.flags |= kCard;
            } else if (tag.starts_with("[glsj]")) {
                ok = read_power(r);
                r.flags |= kPower;
            } else {
                continue;
            }
        } catch (const Fault& f) {
            ok = r.fail(fault_problem(Problem::Kind::FieldUnreadable, f));
        }
        if (!ok) break;
        if (r.flags != kComplete) continue;

        std::string name;
        if (Problem p = Save_Org_file(st, dir, st.Txt_WellName, r.count, name)) {
            r.fail(std::move(p));
            break;
        }
        const std::string path = (fs::path(dir) / name).string();
        out.files.push_back(path);
        pick_file(st, path);
        if (on_file) on_file(path);
        r.flags = 0;
    }
    if (!r.problem && (r.flags & ~kCount) != 0)
        r.fail(Problem::Kind::UnfinishedBlock, missing_sections(r.flags));
    out.problem = std::move(r.problem);
    return out;
}

}  // namespace tavo
