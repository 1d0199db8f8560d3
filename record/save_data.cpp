#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/fault.h"
#include "common/number_text.h"
#include "common/numbers.h"
#include "common/text.h"
#include "record/tester_file.h"

namespace fs = std::filesystem;

namespace tavo {
namespace {

bool write_all(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Replaces `real` by `bytes` through a temporary file in the same folder; an
// interrupted or failed write leaves the old file as it was. Returns an
// empty text on success, the reason otherwise; `no_temp` is set when the
// folder does not allow a temporary file.
std::string replace_atomically(const fs::path& real, const std::string& bytes, bool& no_temp) {
    std::string tmpl = (real.parent_path() / ("." + real.filename().string() + ".XXXXXX")).string();
    if (real.parent_path().empty()) tmpl = "." + real.filename().string() + ".XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        no_temp = errno == EACCES || errno == EPERM || errno == EROFS;
        return std::strerror(errno);
    }
    struct stat old {};
    mode_t mode = 0666 & ~[] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    if (::stat(real.c_str(), &old) == 0) mode = old.st_mode & 07777;
    std::string err;
    if (!write_all(fd, bytes)) err = std::strerror(errno);
    if (err.empty() && ::fsync(fd) != 0) err = std::strerror(errno);
    if (err.empty() && ::fchmod(fd, mode) != 0) err = std::strerror(errno);
    if (::close(fd) != 0 && err.empty()) err = std::strerror(errno);
    if (err.empty() && ::rename(tmpl.c_str(), real.c_str()) != 0) err = std::strerror(errno);
    if (!err.empty()) ::unlink(tmpl.c_str());
    return err;
}

// Writes `bytes` over the start of the file, as the tester's own in-place
// write does (bytes beyond stay); used where the folder cannot be written.
std::string write_in_place(const fs::path& real, const std::string& bytes) {
    const int fd = ::open(real.c_str(), O_WRONLY | O_CREAT, 0666);
    if (fd < 0) return std::strerror(errno);
    std::string err;
    if (!write_all(fd, bytes)) err = std::strerror(errno);
    if (::close(fd) != 0 && err.empty()) err = std::strerror(errno);
    return err;
}

}  // namespace

SaveReport Save_Data(State& st) {
    SaveReport report;
    // 1. The target.
    st.Cur_File = MyTrim(st.TxtOutFile);
    report.path = st.Cur_File;
    const fs::path target(st.Cur_File);

    // 2. The overwrite question.
    std::error_code ec;
    if (fs::exists(target, ec)) {
        const std::string text = target.filename().string() + "已经存在，你确定要覆盖它吗？";
        const bool yes = st.hooks.ask_yes_no ? st.hooks.ask_yes_no("警告信息", text) : true;
        if (!yes) {
            report.kind = SaveReport::Kind::Declined;
            return report;
        }
    }

    // 4./5. The header fields the write-back sets.
    st.head.Test_Mode = static_cast<int16_t>(st.head.Test_Mode | kModeReactiveFirst);
    st.head.Well_Name = st.Txt_WellName;
    st.head.Test_Time = st.Txt_TestTime;
    stmt([&] { st.head.Rec_Speed = to_i16(leading_number(st.Rec_Spd)); });

    // 6. The header bytes.
    const HeadBytes hb = encode_head(st.head);
    std::string bytes(reinterpret_cast<const char*>(hb.data()), hb.size());

    // 7. Raised in memory only.
    if (st.head.Rec_Speed < 1) st.head.Rec_Speed = 1;

    // 8. The records the arrays hold; a word that does not fit is saturated.
    for (int i = 0; i < st.head.Point_Num && i < kMaxSamples; ++i) {
        Org_Point p;
        p.IQ_Raw = to_i16_saturated(st.Var_Dat[i] * 100.0f);
        p.Vol_Raw = voltage_word(st.Vol_Dat[i] * 50.0f);
        p.Pow_Raw = to_i16_saturated(st.Pow_Dat[i] * 100.0f);
        p.Pos_Raw = to_i16_saturated(st.Pos_Dat[i] * 1000.0f);
        p.Force_Raw = to_i16_saturated(st.Force_Dat[i] * 100.0f);
        st.point = p;
        const PointBytes pb = encode_point(p);
        bytes.append(reinterpret_cast<const char*>(pb.data()), pb.size());
    }

    // The old file's bytes beyond the last record written stay.
    fs::path real = target;
    if (fs::exists(target, ec)) {
        real = fs::canonical(target, ec);
        if (ec) real = target;
        const std::string old = read_file(real);
        if (old.size() > bytes.size()) bytes.append(old, bytes.size(), std::string::npos);
    }

    bool no_temp = false;
    std::string err = replace_atomically(real, bytes, no_temp);
    if (!err.empty() && no_temp) err = write_in_place(real, bytes);
    if (!err.empty()) {
        report.kind = SaveReport::Kind::Failed;
        report.detail = err;
        return report;
    }

    // 9. Refresh the file list.
    if (st.hooks.refresh_file_list) st.hooks.refresh_file_list();
    report.kind = SaveReport::Kind::Written;
    return report;
}

}  // namespace tavo
