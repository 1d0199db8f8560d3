// What each kind of damage does to the readers and the writers: a clear
// error or the defined fallback, never a crash, never a half-written file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/pick_file.h"
#include "analysis/pipeline.h"
#include "common/file_io.h"
#include "exchange/exchange.h"
#include "record/tester_file.h"
#include "support/files.h"
#include "support/scratch.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using testing::read_bytes;
using testing::temp_dir;
using testing::write_bytes;

const std::string kSample = std::string(TAVO_SOURCE_DIR) + "/samples/T7-15.O00";
const std::string kSample2 = std::string(TAVO_SOURCE_DIR) + "/samples/w101.o00";

bool contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

// The names in a folder, sorted.
std::vector<std::string> names_in(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// A sample test analysed as a click on it would.
std::unique_ptr<State> analysed(const std::string& file) {
    auto st = std::make_unique<State>();
    pick_file(*st, file);
    return st;
}

// The problem an export or a rebuild met, in tavo-cli's words.
std::string exchange_error(const std::function<Problem()>& f) {
    const Problem p = f();
    return p ? english(p) : "";
}

// The exchange text of the given tests, one block each.
std::string exchange_text(const std::vector<std::string>& files) {
    std::string text;
    for (const auto& f : files) text += exchange_block(*analysed(f));
    return text;
}

// A small file system of its own, so that a full disk or a read-only folder
// can be made; needs root. Unmounted however the test ends.
class SmallDisk {
public:
    explicit SmallDisk(const char* size = "size=64k") : dir_(temp_dir("disk")) {
        if (::geteuid() != 0) {
            why_ = "needs root to mount a small file system";
            return;
        }
        if (::mount("tmpfs", dir_.c_str(), "tmpfs", 0, size) != 0) {
            why_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool ok() const { return mounted_; }
    const std::string& why() const { return why_; }
    const fs::path& dir() const { return dir_.path(); }

    // Takes all free space but `leave` bytes (rounded to pages).
    void fill(std::size_t leave = 0) {
        const std::string path = (dir_ / "filler").string();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string chunk(4096, 'f');
        off_t size = 0;
        for (;;) {
            const ssize_t n = ::write(fd, chunk.data(), chunk.size());
            if (n <= 0) break;
            size += n;
        }
        if (leave > 0) {
            ASSERT_EQ(::ftruncate(fd, std::max<off_t>(0, size - static_cast<off_t>(leave))), 0);
        }
        ::close(fd);
    }

    void read_only() {
        ASSERT_EQ(::mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    }

private:
    testing::ScratchDir dir_;
    bool mounted_ = false;
    std::string why_;
};

#define NEED_SMALL_DISK(disk) \
    if (!(disk).ok()) GTEST_SKIP() << (disk).why()

// ---- a truncated file -----------------------------------------------------

// Everything of the analysis that the views, the writers and the front ends
// read from the state.
void expect_same_analysis(const State& a, const State& b) {
    for (auto arr : {&State::Cur_Dat, &State::Vol_Dat, &State::Pow_Dat, &State::Var_Dat, &State::VA_Dat,
                     &State::PF_Dat, &State::Pos_Dat, &State::Force_Dat})
        EXPECT_EQ(a.*arr, b.*arr);
    for (auto q : {&State::Quad_Num, &State::Quad_Cur, &State::Quad_Pow, &State::Quad_Var, &State::Quad_VA,
                   &State::Quad_PF})
        EXPECT_EQ(a.*q, b.*q);
    EXPECT_EQ(encode_head(a.head), encode_head(b.head));
    EXPECT_EQ(a.Text3, b.Text3);
    EXPECT_EQ(std::tie(a.Txt_WellName, a.Txt_TestTime, a.Rec_Spd, a.CircleDot, a.Cur_File),
              std::tie(b.Txt_WellName, b.Txt_TestTime, b.Rec_Spd, b.CircleDot, b.Cur_File));
    EXPECT_EQ(std::tie(a.Circle_Num, a.Pow_Circle_Num, a.Circle_Corr, a.Pow_Mode, a.Sgt_Period, a.Sgt_Stroke,
                       a.Sgt_MaxLoad, a.Sgt_MinLoad, a.Sgt_Work, a.Sgt_Power),
              std::tie(b.Circle_Num, b.Pow_Circle_Num, b.Circle_Corr, b.Pow_Mode, b.Sgt_Period, b.Sgt_Stroke,
                       b.Sgt_MaxLoad, b.Sgt_MinLoad, b.Sgt_Work, b.Sgt_Power));
    EXPECT_EQ(std::tie(a.Max_Up_Cur, a.Max_Down_Cur, a.Avg_Up_Pow, a.Avg_Down_Pow),
              std::tie(b.Max_Up_Cur, b.Max_Down_Cur, b.Avg_Up_Pow, b.Avg_Down_Pow));
}

TEST(DamageTruncated, AFileThatCannotBeReadLeavesTheTestHeld) {
    const std::string whole = read_bytes(kSample);
    const auto dir = temp_dir("dmg");
    const fs::path pipe = dir / "pipe.O00";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    fs::create_directory(dir / "folder.O00");
    struct Case {
        std::string path;
        Problem::Kind kind;
    };
    std::vector<Case> cases = {{(dir / "none.O00").string(), Problem::Kind::CannotOpen},
                               {(dir / "folder.O00").string(), Problem::Kind::CannotOpen},
                               {pipe.string(), Problem::Kind::CannotOpen}};
    for (std::size_t len : {std::size_t{0}, std::size_t{10}, kHeadSize - 1}) {
        const fs::path p = dir / ("cut" + std::to_string(len) + ".O00");
        write_bytes(p, whole.substr(0, len));
        cases.push_back({p.string(), Problem::Kind::ShortHeader});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        auto st = analysed(kSample2);
        const State before = *st;
        EXPECT_EQ(tx_org(*st, c.path, 1).kind, c.kind);
        EXPECT_EQ(st->last_load.kind, c.kind);
        expect_same_analysis(*st, before);
    }
}

TEST(DamageTruncated, SamplesEndingEarlyAreTheTestOfTheRecordsHeld) {
    const std::string whole = read_bytes(kSample);
    const auto dir = temp_dir("dmg");
    const std::string path = (dir / "cut.O00").string();
    for (std::size_t len :
         {kHeadSize, kHeadSize + 1, kHeadSize + 15, kHeadSize + 10 * 999 + 3, whole.size() - 1}) {
        SCOPED_TRACE(len);
        const int held = static_cast<int>((len - kHeadSize) / kPointSize);
        write_bytes(path, whole.substr(0, len));
        auto cut = analysed(kSample2);
        if (held == 0) {
            // A header without a whole record is no test: the test before stays.
            const State before = *cut;
            EXPECT_EQ(tx_org(*cut, path, 1).kind, Problem::Kind::NoSamples);
            expect_same_analysis(*cut, before);
            continue;
        }
        tx_org(*cut, path, 1);
        EXPECT_EQ(cut->last_load.kind, Problem::Kind::ShortSamples);
        EXPECT_EQ(cut->last_load.records_read, held);
        EXPECT_EQ(cut->last_load.records_expected, 3000);
        EXPECT_TRUE(
            contains(english(cut->last_load), "holds " + std::to_string(held) + " of the 3000 samples"))
            << english(cut->last_load);
        // No record is invented, and nothing of the test before is read:
        // beyond the records held the arrays are 0.
        EXPECT_TRUE(
            std::all_of(cut->Vol_Dat.begin() + held, cut->Vol_Dat.end(), [](float v) { return v == 0.0f; }));

        // Exactly the test of a file that announces the records it holds.
        std::string honest = whole.substr(0, kHeadSize + static_cast<std::size_t>(held) * kPointSize);
        honest[28] = static_cast<char>(held & 0xFF);
        honest[29] = static_cast<char>(held >> 8);
        write_bytes(path, honest);
        auto same = analysed(kSample2);
        tx_org(*same, path, 1);
        EXPECT_EQ(same->last_load.kind, Problem::Kind::None);
        expect_same_analysis(*cut, *same);
    }
}

TEST(DamageTruncated, ExchangeTextCutAnywhereGivesWholeFilesOrAnError) {
    const std::string text = exchange_text({kSample, kSample2});
    const auto dir = temp_dir("dmg");
    // Every line end, and a point inside every line.
    std::vector<std::size_t> cuts;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') cuts.insert(cuts.end(), {i + 1, i + 1 + 3});
    int failed = 0, quiet = 0;
    for (std::size_t cut : cuts) {
        if (cut >= text.size()) continue;
        SCOPED_TRACE(cut);
        const fs::path file = dir / ("c" + std::to_string(cut) + ".txt");
        write_bytes(file, text.substr(0, cut));
        State st;
        const Rebuilt r = InvOutFile(st, file.string());
        const std::vector<std::string>& files = r.files;
        const std::string err = r.problem && !r.problem.warning() ? english(r.problem) : "";
        if (!err.empty()) {
            ++failed;
            EXPECT_TRUE(contains(err, file.filename().string())) << err;
        } else if (!r.problem) {
            // Silent only when the cut follows a complete block.
            std::size_t done = 0, last_end = 0;
            for (std::size_t e = text.find("\r\n\r\n"); e != std::string::npos && e + 2 <= cut;
                 e = text.find("\r\n\r\n", e + 4))
                ++done, last_end = e + 2;
            EXPECT_EQ(files.size(), done);
            EXPECT_FALSE(contains(text.substr(last_end, cut - last_end), "[wellname]\r\n"));
            ++quiet;
        }
        // Whatever was written is whole; nothing else is in the folder.
        const fs::path out = dir / ("c" + std::to_string(cut));
        for (const auto& name : names_in(out))
            EXPECT_EQ(fs::file_size(out / name), kHeadSize + 3000 * kPointSize) << name;
        EXPECT_LE(names_in(out).size(), 2u);
        EXPECT_LE(files.size(), 2u);
    }
    EXPECT_GT(failed, 0);
    EXPECT_GT(quiet, 0);
}

TEST(DamageTruncated, AnUnfinishedLastBlockIsNamedButRaisesNothing) {
    const std::string text = exchange_text({kSample, kSample2});
    const auto dir = temp_dir("dmg");
    write_bytes(dir / "cut.txt", text.substr(0, text.rfind("[glsj]")));
    State st;
    const Rebuilt r = InvOutFile(st, (dir / "cut.txt").string());
    const std::string unfinished = english(r.problem);
    EXPECT_TRUE(r.problem.warning());
    EXPECT_EQ(r.files.size(), 1u);
    EXPECT_TRUE(contains(unfinished, "well \"W-101\"")) << unfinished;
    EXPECT_TRUE(contains(unfinished, "the file ends inside a block that has no [glsj] section"))
        << unfinished;
    EXPECT_EQ(names_in(dir / "cut"), std::vector<std::string>{"T7-15.O00"});
}

// ---- absurd header words --------------------------------------------------

TEST(DamageHeader, AbsurdWordsAreReadAsFarAsTheyMakeSenseAndWrittenBackWhole) {
    struct Case {
        const char* what;
        std::size_t offset;
        int16_t value;
        int records;  // sample records read
    };
    const Case cases[] = {{"Point_Num 32767", 28, 32767, 3000},
                          {"Point_Num -1", 28, -1, 0},
                          {"Point_Num 0", 28, 0, 0},
                          {"Rec_Speed 0", 66, 0, 3000},
                          {"Rec_Speed -7", 66, -7, 3000},
                          {"Rec_Speed 32767", 66, 32767, 3000},
                          {"Test_Mode -1", 30, -1, 3000},
                          {"Test_Mode 32767", 30, 32767, 3000}};
    const std::string whole = read_bytes(kSample);
    const auto dir = temp_dir("dmg");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = whole;
        bytes[c.offset] = static_cast<char>(c.value & 0xFF);
        bytes[c.offset + 1] = static_cast<char>((c.value >> 8) & 0xFF);
        const fs::path in = dir / "in.O00", out = dir / "out.O00";
        write_bytes(in, bytes);
        fs::remove(out);
        auto st = analysed(in.string());
        EXPECT_EQ(st->last_load.records_read, c.records);
        if (c.records == 0) {
            // No sample record: no test, nothing analysed and nothing to write back.
            EXPECT_EQ(st->last_load.kind, Problem::Kind::NoSamples);
            EXPECT_EQ(st->Cur_File, "");
            continue;
        }
        EXPECT_GE(st->head.Rec_Speed, 1);
        EXPECT_EQ(st->Rec_Spd, std::to_string(st->head.Rec_Speed));
        const std::string target = out.string();
        const SaveReport r = Save_Data(*st, target);
        ASSERT_EQ(r.kind, SaveReport::Kind::Written) << english(r.problem);
        const std::size_t held = std::min<int>(std::max<int>(st->head.Point_Num, 0), 3000);
        EXPECT_EQ(fs::file_size(out), kHeadSize + held * kPointSize);
    }
}

// ---- non-numeric fields ---------------------------------------------------

TEST(DamageNonNumeric, CurveAndStrokeFieldsReadAsZeroButACountMustBeOne) {
    const std::string good = exchange_text({kSample});
    const auto dir = temp_dir("dmg");
    // A curve line of letters reads as zeros, as the lenient reading does.
    {
        std::string text = good;
        const std::size_t vol = text.find("\r\n", text.find("[glsj]") + 8) + 2;
        text.replace(vol, 576, std::string(576, 'x'));
        const std::size_t stroke = text.find("[gtsj]\r\n") + 8;
        text.replace(stroke, text.find("\r\n", stroke) - stroke, "abc");
        write_bytes(dir / "letters.txt", text);
        State st;
        ASSERT_EQ(InvOutFile(st, (dir / "letters.txt").string()).files.size(), 1u);
        EXPECT_EQ(st.head.Stroke_Len, 0);
        EXPECT_EQ(st.Vol_Dat[0], 0.0f);
    }
    // A count that reads as no points would build the file from the curves
    // held before: an error, and the blocks before it stay.
    for (const char* count : {"abc", "0", "-5", ""}) {
        SCOPED_TRACE(count);
        std::string bad = good;
        const std::size_t at = bad.find("[count]\r\n") + 9;
        bad.replace(at, 3, count);
        const fs::path file = dir / "count.txt";
        fs::remove_all(dir / "count");
        write_bytes(file, exchange_text({kSample2}) + bad);
        State st;
        const std::string err = exchange_error([&] { return InvOutFile(st, file.string()).problem; });
        EXPECT_TRUE(contains(err, "the count \"" + std::string(count) + "\" is not a number of points"))
            << err;
        EXPECT_TRUE(contains(err, "well \"T7-15\"")) << err;
        EXPECT_EQ(names_in(dir / "count"), std::vector<std::string>{"W-101.O00"});
    }
}

// ---- a missing section ----------------------------------------------------

TEST(DamageMissingSection, AMiddleBlockWithoutASectionStopsBeforeMixingTwoWells) {
    const auto dir = temp_dir("dmg");
    const std::string first = exchange_text({kSample2}), last = exchange_text({kSample2});
    const std::string middle = exchange_text({kSample});
    struct Case {
        const char* tag;
        int lines;  // the tag and the lines after it
    };
    for (const Case c : {Case{"[wellname]", 2}, Case{"[testdate]", 2}, Case{"[count]", 2}, Case{"[gtsj]", 5},
                         Case{"[glsj]", 5}}) {
        SCOPED_TRACE(c.tag);
        std::string m = middle;
        const std::size_t at = m.find(c.tag);
        std::size_t end = at;
        for (int i = 0; i < c.lines; ++i) end = m.find("\r\n", end) + 2;
        m.erase(at, end - at);
        const fs::path file = dir / "miss.txt";
        fs::remove_all(dir / "miss");
        write_bytes(file, first + m + last);
        State st;
        const std::string err = exchange_error([&] { return InvOutFile(st, file.string()).problem; });
        EXPECT_TRUE(contains(err, std::string("has no ") + c.tag + " section")) << err;
        // Only the first block became a file; no file of the last well holds
        // the middle one's data.
        EXPECT_EQ(names_in(dir / "miss"), std::vector<std::string>{"W-101.O00"});
    }
}

TEST(DamageMissingSection, ACountBeforeTheFirstBlockStillServesIt) {
    std::string text = exchange_text({kSample});
    const std::size_t at = text.find("[count]");
    const std::string count = text.substr(at, text.find("[gtsj]") - at);
    text.erase(at, count.size());
    const auto dir = temp_dir("dmg");
    write_bytes(dir / "lead.txt", count + text);
    State st;
    EXPECT_EQ(InvOutFile(st, (dir / "lead.txt").string()).files.size(), 1u);
}

// ---- a rate of 0 ----------------------------------------------------------

TEST(DamageRateZero, ZeroRatesInTheHeaderChangeNoResult) {
    std::string bytes = read_bytes(kSample);
    for (std::size_t off : {24, 64, 66})
        bytes[off] = bytes[off + 1] = 0;  // Sample_Rate, Stroke_Pnt, Rec_Speed
    const auto dir = temp_dir("dmg");
    write_bytes(dir / "zero.O00", bytes);
    const auto plain = analysed(kSample);
    const auto zero = analysed((dir / "zero.O00").string());
    EXPECT_EQ(zero->head.Rec_Speed, 1);
    EXPECT_EQ(zero->Circle_Num, plain->Circle_Num);
    EXPECT_EQ(zero->Text3, plain->Text3);
}

TEST(DamageRateZero, AZeroStrokeRateInTheExchangeTextIsAnError) {
    std::string text = exchange_text({kSample});
    const std::size_t stroke = text.find("[gtsj]\r\n") + 8;
    const std::size_t rate = text.find("\r\n", stroke) + 2;
    for (const char* r : {"0", "000.0", "-0"}) {
        SCOPED_TRACE(r);
        std::string bad = text;
        bad.replace(rate, text.find("\r\n", rate) - rate, r);
        const auto dir = temp_dir("dmg");
        write_bytes(dir / "r.txt", bad);
        State st;
        const std::string err =
            exchange_error([&] { return InvOutFile(st, (dir / "r.txt").string()).problem; });
        EXPECT_TRUE(contains(err, "is 0: no stroke length follows from it")) << err;
        EXPECT_TRUE(fs::is_empty(dir / "r"));
    }
}

// ---- an unwritable output folder, or no file at the path --------------------

TEST(DamageUnwritable, AFolderUnderAFileIsReportedForEveryOutput) {
    const auto dir = temp_dir("dmg");
    write_bytes(dir / "plain", "x");
    auto st = analysed(kSample);

    std::string target = (dir / "plain" / "Out.Txt").string();
    EXPECT_TRUE(contains(exchange_error([&] { return out_txt_file(*st, target); }), "Not a directory"));

    target = (dir / "plain" / "T.O00").string();
    const SaveReport r = Save_Data(*st, target);
    EXPECT_EQ(r.kind, SaveReport::Kind::Failed);
    EXPECT_EQ(english(r.problem), "Not a directory");

    // The rebuild's folder "In" is taken by a file.
    write_bytes(dir / "In", "keep");
    write_bytes(dir / "In.Txt", exchange_text({kSample}));
    State back;
    const std::string err =
        exchange_error([&] { return InvOutFile(back, (dir / "In.Txt").string()).problem; });
    EXPECT_TRUE(contains(err, "cannot write the tester file")) << err;
    EXPECT_EQ(read_bytes(dir / "In"), "keep");
}

TEST(DamageUnwritable, FoldersDevicesAndPipesAreNoFiles) {
    const auto dir = temp_dir("dmg");
    const fs::path pipe = dir / "pipe.O00";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    fs::create_directory(dir / "folder.O00");

    // Reading: refused at once, not waiting for a writer.
    auto st = analysed(kSample);
    EXPECT_EQ(english(Load_Data(*st, pipe.string())), "cannot open the file (it is not an ordinary file)");
    EXPECT_EQ(english(Load_Data(*st, (dir / "folder.O00").string())),
              "cannot open the file (it is a folder)");
    EXPECT_EQ(st->Txt_WellName, "T7-15");
    EXPECT_TRUE(contains(exchange_error([&] { return InvOutFile(*st, pipe.string()).problem; }),
                         "not an ordinary file"));

    // Writing: nothing is put in their place.
    for (const fs::path& target : {pipe, dir / "folder.O00", fs::path("/dev/full")}) {
        SCOPED_TRACE(target);
        EXPECT_TRUE(contains(exchange_error([&] { return out_txt_file(*st, target.string()); }),
                             "cannot write the exchange file"));
    }
    int asked = 0;
    WindowHooks hooks;
    hooks.ask_yes_no = [&](const std::string&, const std::string&) { return ++asked, true; };
    for (const fs::path& target : {pipe, dir / "folder.O00"}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(Save_Data(*st, target.string(), hooks).kind, SaveReport::Kind::Failed);
    }
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_empty(dir / "folder.O00"));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(DamageUnwritable, AReadOnlyFolderLeavesEveryFileAsItWas) {
    SmallDisk disk;
    NEED_SMALL_DISK(disk);
    const fs::path d = disk.dir();
    fs::copy_file(kSample, d / "T.O00");
    const std::string text = exchange_text({kSample});
    write_bytes(d / "Out.Txt", text);
    fs::create_directory(d / "Out");
    disk.read_only();

    auto st = analysed((d / "T.O00").string());
    std::string target = (d / "Out.Txt").string();
    EXPECT_TRUE(contains(exchange_error([&] { return out_txt_file(*st, target); }), "Read-only file system"));
    EXPECT_EQ(read_bytes(d / "Out.Txt"), text);

    target = (d / "T.O00").string();
    const SaveReport r = Save_Data(*st, target);
    EXPECT_EQ(r.kind, SaveReport::Kind::Failed);
    EXPECT_EQ(english(r.problem), "Read-only file system");
    EXPECT_EQ(read_bytes(d / "T.O00"), read_bytes(kSample));

    State back;
    EXPECT_TRUE(contains(exchange_error([&] { return InvOutFile(back, (d / "Out.Txt").string()).problem; }),
                         "Read-only file system"));
    EXPECT_TRUE(fs::is_empty(d / "Out"));
}

// ---- a full disk ----------------------------------------------------------

TEST(DamageFullDisk, TheExchangeFileEndsExactlyAsBefore) {
    SmallDisk disk;
    NEED_SMALL_DISK(disk);
    const fs::path out = disk.dir() / "Out.Txt";
    auto st = analysed(kSample);
    std::string target = out.string();
    out_txt_file(*st, target);
    const std::string before = read_bytes(out);
    disk.fill();  // the block can still begin in the file's last page
    const std::string err = exchange_error([&] { return out_txt_file(*st, target); });
    EXPECT_TRUE(contains(err, "No space left on device")) << err;
    EXPECT_EQ(read_bytes(out), before);

    // A new exchange file that cannot be written is not left behind empty.
    target = (disk.dir() / "New.Txt").string();
    EXPECT_FALSE(exchange_error([&] { return out_txt_file(*st, target); }).empty());
    EXPECT_FALSE(fs::exists(disk.dir() / "New.Txt"));
}

TEST(DamageFullDisk, TheRebuildLeavesOnlyWholeTesterFiles) {
    SmallDisk disk;
    NEED_SMALL_DISK(disk);
    const fs::path in = disk.dir() / "In.Txt";
    write_bytes(in, exchange_text({kSample, kSample2}));  // room for one file of the two
    State st;
    std::vector<std::string> seen;
    const std::string err = exchange_error([&] {
        return InvOutFile(st, in.string(), [&](const std::string& p) { seen.push_back(p); }).problem;
    });
    EXPECT_TRUE(contains(err, "cannot write the tester file")) << err;
    EXPECT_TRUE(contains(err, "No space left on device")) << err;
    EXPECT_TRUE(contains(err, "well \"W-101\"")) << err;
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(names_in(disk.dir() / "In"), std::vector<std::string>{"T7-15.O00"});
    EXPECT_EQ(fs::file_size(disk.dir() / "In" / "T7-15.O00"), kHeadSize + 3000 * kPointSize);
}

TEST(DamageFullDisk, TheWriteBackLeavesTheOldFileUntouched) {
    SmallDisk disk;
    NEED_SMALL_DISK(disk);
    const fs::path t = disk.dir() / "T.O00";
    fs::copy_file(kSample, t);
    const std::string before = read_bytes(t);
    auto st = analysed(t.string());
    st->Txt_WellName = "T7-16";
    const std::string target = t.string();
    disk.fill(8192);
    const SaveReport r = Save_Data(*st, target);
    EXPECT_EQ(r.kind, SaveReport::Kind::Failed);
    EXPECT_EQ(english(r.problem), "No space left on device");
    EXPECT_EQ(read_bytes(t), before);
    EXPECT_EQ(names_in(disk.dir()), (std::vector<std::string>{"T.O00", "filler"}));  // no temporary file
}

TEST(DamageFullDisk, AWriteInPlaceThatDoesNotFitPutsTheOldContentBack) {
    SmallDisk disk;
    NEED_SMALL_DISK(disk);
    const fs::path f = disk.dir() / "T.O00";
    const std::string old(5000, 'o');
    write_bytes(f, old);
    disk.fill();
    const IoFailure err = file_io::write_in_place(f.string(), std::string(40000, 'n'));
    EXPECT_EQ(err.error, ENOSPC);
    EXPECT_EQ(read_bytes(f), old);
}

}  // namespace
}  // namespace tavo
