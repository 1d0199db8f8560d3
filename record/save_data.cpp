#include <sys/stat.h>

#include <filesystem>

#include "common/fault.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "common/numbers.h"
#include "common/text.h"
#include "record/tester_file.h"

namespace fs = std::filesystem;

namespace tavo {

SaveReport Save_Data(State& st, const std::string& target_text, const WindowHooks& hooks) {
    SaveReport report;
    // The target: the name in the output box.
    st.Cur_File = MyTrim(target_text);
    report.path = st.Cur_File;
    report.problem.path = st.Cur_File;
    auto failed = [&](IoFailure io) {
        report.kind = SaveReport::Kind::Failed;
        report.problem.kind = Problem::Kind::CannotWriteBack;
        report.problem.io = io;
        return report;
    };
    const fs::path target(st.Cur_File);

    // An existing file is overwritten only when the user agrees.
    std::error_code ec;
    if (fs::exists(target, ec)) {
        // A folder, device or pipe is no tester file to overwrite.
        if (!fs::is_regular_file(target, ec))
            return failed(
                {fs::is_directory(target, ec) ? IoFailure::Why::Folder : IoFailure::Why::NotOrdinaryFile, 0,
                 IoFailure::Damage::None});
        const std::string text = target.filename().string() + "已经存在，你确定要覆盖它吗？";
        const bool yes = hooks.ask_yes_no ? hooks.ask_yes_no("警告信息", text) : true;
        if (!yes) {
            report.kind = SaveReport::Kind::Declined;
            return report;
        }
    }

    // The header fields the write-back sets.
    st.head.Test_Mode = static_cast<int16_t>(st.head.Test_Mode | kModeReactiveFirst);
    st.head.Well_Name = st.Txt_WellName;
    st.head.Test_Time = st.Txt_TestTime;
    stmt([&] { st.head.Rec_Speed = to_i16(leading_number(st.Rec_Spd)); });

    // The header bytes, with the recording speed as it stands.
    const HeadBytes hb = encode_head(st.head);
    std::string bytes(reinterpret_cast<const char*>(hb.data()), hb.size());

    // A recording speed below 1 is raised to 1 in memory only; the file
    // keeps the value written.
    if (st.head.Rec_Speed < 1) st.head.Rec_Speed = 1;

    // The records the arrays hold; a word that does not fit is saturated.
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
    // A symbolic link stays a link: its target is what gets replaced, and it
    // keeps its permissions.
    fs::path real = target;
    int mode = -1;
    if (fs::exists(target, ec)) {
        real = fs::canonical(target, ec);
        if (ec) real = target;
        std::string old;
        if (!file_io::read_all(real.string(), old) && old.size() > bytes.size())
            bytes.append(old, bytes.size(), std::string::npos);
        struct stat sb {};
        if (::stat(real.c_str(), &sb) == 0) mode = static_cast<int>(sb.st_mode & 07777);
    }

    // Where the folder does not allow a temporary file but the file may be
    // written, it is written in place as the tester's software did.
    bool no_temp = false;
    IoFailure err = file_io::replace_all(real.string(), bytes, mode, &no_temp);
    if (err && no_temp) err = file_io::write_in_place(real.string(), bytes);
    if (err) return failed(err);

    // The file list shows the file written.
    if (hooks.refresh_file_list) hooks.refresh_file_list();
    report.kind = SaveReport::Kind::Written;
    return report;
}

}  // namespace tavo
