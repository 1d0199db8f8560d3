#include "analysis/pick_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "analysis/pipeline.h"
#include "common/file_io.h"
#include "record/org_records.h"

namespace tavo {
namespace {

// Why `path` cannot be read as a tester file, checked before anything of
// the state is touched: reading it would leave the previous file's arrays
// under a new name.
Problem check_readable(const std::string& path) {
    Problem p;
    p.path = path;
    p.io = file_io::not_ordinary(path);
    if (p.io) {
        p.kind = Problem::Kind::CannotOpen;
        return p;
    }
    // Opened without waiting, in case a pipe took the file's place meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        p.kind = Problem::Kind::CannotOpen;
        p.io = IoFailure::system(errno);
    } else if (info.st_size < static_cast<off_t>(kHeadSize)) {
        p.kind = Problem::Kind::ShortHeader;
    }
    if (fd >= 0) ::close(fd);
    return p;
}

// What the reader met, as a problem of the picked file.
Problem load_problem(const LoadReport& r, const std::string& path) {
    Problem p;
    p.path = path;
    switch (r.kind) {
        case LoadReport::Kind::CannotOpen:
            p.kind = Problem::Kind::CannotOpen;
            p.io = IoFailure::system(0);
            break;
        case LoadReport::Kind::ShortHeader:
            p.kind = Problem::Kind::ShortHeader;
            break;
        case LoadReport::Kind::ShortSamples:
            p.kind = Problem::Kind::ShortSamples;
            p.numbers = {r.records_read, r.records_expected};
            break;
        default:
            break;
    }
    return p;
}

}  // namespace

bool not_analysed(const Problem& p) {
    return p.kind == Problem::Kind::CannotOpen || p.kind == Problem::Kind::ShortHeader;
}

Problem pick_file(State& st, const std::string& path) {
    Problem p = check_readable(path);
    if (not_analysed(p)) {
        st.last_load = LoadReport{};
        st.last_load.kind = p.kind == Problem::Kind::ShortHeader ? LoadReport::Kind::ShortHeader
                                                                 : LoadReport::Kind::CannotOpen;
        st.last_load.detail = english(p);
        return p;
    }
    st.Circle_Tol = 0.02f;
    tx_org(st, path, 1);
    return load_problem(st.last_load, path);
}

}  // namespace tavo
