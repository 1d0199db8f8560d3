// Reading the exchange text back: one tester file per complete block.
#include <array>
#include <filesystem>
#include <optional>
#include <utility>

#include "analysis/pipeline.h"
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
    explicit BusyPointer(State& st) : st_(st) {
        if (st_.hooks.set_busy) st_.hooks.set_busy(true);
    }
    ~BusyPointer() {
        if (st_.hooks.set_busy) st_.hooks.set_busy(false);
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    State& st_;
};

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
    Line next(const char* section, bool trim = true) {
        if (pos_ >= lines_.size()) fail(std::string("the file ends inside the ") + section + " section");
        const std::string& line = lines_[pos_++];
        return {trim ? trim_blanks(line) : line, pos_};
    }

    // Fields 0..count-1 of one line into `a`.
    void read_fields(SampleArray& a, const Line& line, int width, const char* what) {
        if (count <= 0) return;
        check_count();
        const Fields f(line.text);
        const std::size_t need = static_cast<std::size_t>(count) * static_cast<std::size_t>(width);
        if (f.chars() < need)
            fail(std::string("the ") + what + " line (line " + int_text(static_cast<long>(line.no)) +
                 ") holds " + int_text(static_cast<long>(f.chars())) + " characters, " +
                 int_text(static_cast<long>(need)) + " needed for " + int_text(count) + " fields of " +
                 int_text(width));
        for (int i = 0; i < count; ++i) a[static_cast<std::size_t>(i)] = f.value(i, width);
    }

    // Three lines of one phase each, summed per field and divided.
    void read_phases(SampleArray& a, const char* section, int width, float divisor, const char* what,
                     const Line* first = nullptr, const Line* second = nullptr) {
        SampleArray p1{}, p2{}, p3{};
        read_fields(p1, first ? *first : next(section), width, what);
        read_fields(p2, second ? *second : next(section), width, what);
        read_fields(p3, next(section), width, what);
        for (int i = 0; i < count; ++i) {
            const auto k = static_cast<std::size_t>(i);
            a[k] = checked(checked(checked(p1[k] + p2[k]) + p3[k]) / divisor);
        }
    }

    [[noreturn]] void fail(const std::string& reason, bool block_end = false) const {
        std::string where = "exchange file \"" + file_ + "\", " +
                            (block_end ? "block ending at line " : "line ") +
                            int_text(static_cast<long>(tag_line_));
        if (flags & kWellName) where += " (well \"" + st_.Txt_WellName + "\")";
        throw ExchangeError(where + ": " + reason);
    }

    void check_count() const {
        if (count > kArrayLen)
            fail("the count " + int_text(count) + " is more than the " + int_text(kArrayLen) +
                 " samples a curve holds");
    }

    State& st_;
    const std::string& file_;
    std::vector<std::string> lines_;
    std::size_t pos_ = 0;       // index of the next line
    std::size_t tag_line_ = 0;  // 1-based number of the last tag line
    int16_t count = 0;
    int flags = 0;
};

void read_well_name(Reader& r) {
    r.st_.Txt_WellName = r.next("[wellname]").text;
}

void read_test_date(Reader& r) {
    const std::string line = r.next("[testdate]").text;
    try {
        r.st_.Txt_TestTime = test_time_of_date_line(line);
    } catch (const ExchangeError& e) {
        r.fail(e.what());
    }
}

void read_count(Reader& r) {
    const std::string line = r.next("[count]", false).text;
    try {
        r.count = to_i16(MyVal(line));
    } catch (const Fault&) {
        r.fail("the count \"" + trim_blanks(line) + "\" does not fit a 16-bit number");
    }
    // No field would be read: the block would carry the curves held before.
    if (r.count < 1) r.fail("the count \"" + trim_blanks(line) + "\" is not a number of points");
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
void check_block_start(Reader& r) {
    if ((r.flags & ~kCount) == 0) return;
    r.fail("a new block begins here, but the block before it has no " + missing_sections(r.flags) +
           " section");
}

void read_card(Reader& r) {
    State& st = r.st_;
    const std::string stroke = r.next("[gtsj]").text;
    const std::string rate = r.next("[gtsj]").text;
    const Line load = r.next("[gtsj]");
    const Line pos = r.next("[gtsj]");

    const float stroke_m = MyVal(stroke);
    try {
        st.head.Stroke_Len = to_i16(checked(stroke_m * 1000.0f));
    } catch (const Fault&) {
        r.fail("the stroke \"" + stroke + "\" m does not fit its 16-bit field in mm");
    }
    const float spm = MyVal(rate);
    if (spm == 0.0f) r.fail("the stroke rate \"" + rate + "\" is 0: no stroke length follows from it");
    try {
        st.Circle_Num = to_i16(fdiv(3000.0f, spm));
    } catch (const Fault&) {
        r.fail("the stroke rate \"" + rate + "\" gives a stroke longer than a 16-bit field holds");
    }
    st.head.Stroke_Pnt = st.Circle_Num;
    r.read_fields(st.Force_Dat, load, 5, "load");
    r.read_fields(st.Pos_Dat, pos, 4, "displacement");
}

void read_power(Reader& r) {
    State& st = r.st_;
    const int c = r.count;
    const Line a = r.next("[glsj]");
    r.read_fields(st.Cur_Dat, a, 5, "current");
    const Line b = r.next("[glsj]");
    if (static_cast<long>(char_count(b.text)) < 5L * c) {
        // One line per curve.
        r.read_fields(st.Vol_Dat, b, 4, "voltage");
        r.read_fields(st.Pow_Dat, r.next("[glsj]"), 5, "active power");
        r.read_fields(st.Var_Dat, r.next("[glsj]"), 5, "reactive power");
        return;
    }
    // Three lines per curve, one per phase.
    r.read_phases(st.Cur_Dat, "[glsj]", 5, 3.0f, "current", &a, &b);
    r.read_phases(st.Vol_Dat, "[glsj]", 4, 3.0f, "voltage");
    r.read_phases(st.Pow_Dat, "[glsj]", 5, 10.0f, "active power");
    r.read_phases(st.Var_Dat, "[glsj]", 5, 10.0f, "reactive power");
}

}  // namespace

std::string rebuild_directory(const std::string& FileName) {
    const fs::path p(FileName);
    const std::string name = p.filename().string();
    const std::size_t start = name.find_first_not_of('.');
    const std::size_t dot = start == std::string::npos ? std::string::npos : name.find('.', start);
    if (dot == std::string::npos)
        throw ExchangeError("the exchange file name \"" + FileName +
                            "\" has no extension, so no folder for the rebuilt files can be named after it");
    return (p.parent_path() / name.substr(0, dot)).string();
}

std::vector<std::string> InvOutFile(State& st, const std::string& FileName) {
    return InvOutFile(st, FileName, {});
}

std::vector<std::string> InvOutFile(State& st, const std::string& FileName, const RebuiltFileHook& on_file,
                                    std::string* unfinished) {
    if (unfinished) unfinished->clear();
    // 1. The fixed header fields of every rebuilt file.
    static constexpr std::array<uint8_t, 12> kMark = {26,  21,  'P', 'e', 'l', 'o',
                                                      'r', '.', 'V', 'a', 'n', 't'};
    st.head.Head_Mark = kMark;
    st.head.Sample_Rate = 50;
    st.head.Head_26 = 1;
    st.head.Point_Num = 3000;

    // 2./3. The target folder, made once the text has been read.
    const std::string dir = rebuild_directory(FileName);
    const BusyPointer busy(st);
    std::string content;
    const std::string err = file_io::read_all(FileName, content);
    if (!err.empty()) throw ExchangeError("cannot read the exchange file \"" + FileName + "\": " + err);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(dir, ec))) {
        fs::create_directory(dir, ec);
        if (ec)
            throw ExchangeError("cannot create the folder \"" + dir +
                                "\" for the rebuilt files: " + ec.message());
    }

    // 4./5. Dispatch on the tags; a complete block becomes a tester file.
    Reader r(st, FileName, split_lines(content));
    std::vector<std::string> written;
    while (const auto raw = r.next_tag_line()) {
        const std::string tag = left_chars(trim_blanks(*raw), 10);
        try {
            if (tag == "[wellname]") {
                check_block_start(r);
                read_well_name(r);
                r.flags |= kWellName;
            } else if (tag == "[testdate]") {
                read_test_date(r);
                r.flags |= kTestDate;
            } else if (tag.starts_with("[count]")) {
                read_count(r);
                r.flags |= kCount;
            } else if (tag.starts_with("[gtsj]")) {
                read_card(r);
                r.flags |= kCard;
            } else if (tag.starts_with("[glsj]")) {
                read_power(r);
                r.flags |= kPower;
            } else {
                continue;
            }
        } catch (const Fault& f) {
            r.fail(std::string("a number field cannot be read (") + f.what() + ")");
        }
        if (r.flags != kComplete) continue;

        std::string name;
        try {
            name = Save_Org_file(st, dir, st.Txt_WellName, r.count);
        } catch (const ExchangeError& e) {
            r.fail(e.what(), true);
        }
        const std::string path = (fs::path(dir) / name).string();
        written.push_back(path);
        std::string why;
        try {
            st.Circle_Tol = 0.02f;
            const LoadReport load = tx_org(st, path, 1);
            if (load.unreadable()) why = load.detail;
        } catch (const std::exception& e) {
            why = e.what();
        }
        if (!why.empty())
            r.fail("the rebuilt file \"" + path + "\" was written but cannot be analysed: " + why, true);
        if (on_file) on_file(path);
        r.flags = 0;
    }
    if (unfinished && (r.flags & ~kCount) != 0) {
        *unfinished = "exchange file \"" + FileName + "\", line " + int_text(static_cast<long>(r.tag_line_));
        if (r.flags & kWellName) *unfinished += " (well \"" + st.Txt_WellName + "\")";
        *unfinished += ": the file ends inside a block that has no " + missing_sections(r.flags) +
                       " section; that block gives no tester file";
    }
    return written;
}

}  // namespace tavo
