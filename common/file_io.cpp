#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace tavo::file_io {
namespace {

bool write_fd(int fd, const std::string& bytes) {
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

IoFailure reason() {
    return IoFailure::system(errno);
}

// Why `info` is no file to read or write whole: a folder, a device or a
// pipe would block, never end, or be replaced by the rename.
IoFailure not_ordinary(const struct stat& info) {
    if (S_ISDIR(info.st_mode)) return {IoFailure::Why::Folder, 0, IoFailure::Damage::None};
    if (!S_ISREG(info.st_mode)) return {IoFailure::Why::NotOrdinaryFile, 0, IoFailure::Damage::None};
    return {};
}

// Opens without waiting for the other end of a pipe, then makes sure it is
// an ordinary file; returns -1 with `err` set otherwise.
int open_ordinary(const std::string& path, int flags, IoFailure& err, struct stat& info,
                  bool blocking = true) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        err = reason();
        return -1;
    }
    if (::fstat(fd, &info) != 0) {
        err = reason();
        ::close(fd);
        return -1;
    }
    err = not_ordinary(info);
    if (err) {
        ::close(fd);
        return -1;
    }
    // Reads of an ordinary file never wait; writers get a blocking file back.
    if (blocking) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

IoFailure not_ordinary(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? not_ordinary(info) : IoFailure{};
}

std::string not_ordinary_file(const std::string& path) {
    switch (not_ordinary(path).why) {
        case IoFailure::Why::Folder:
            return kIsFolder;
        case IoFailure::Why::NotOrdinaryFile:
            return kNotOrdinary;
        default:
            return {};
    }
}

IoFailure read_all(const std::string& path, std::string& content) {
    IoFailure err;
    struct stat info {};
    const int fd = open_ordinary(path, O_RDONLY, err, info, false);
    if (fd < 0) {
        content.clear();
        return err;
    }
    // Sized from the file so that an ordinary file takes one read (a read
    // of an ordinary file is short only at its end); a file that grows
    // meanwhile is read on in chunks. The buffer's old bytes are
    // overwritten, not cleared first.
    std::size_t have = 0;
    content.resize(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)) + 1);
    for (;;) {
        if (have == content.size()) content.resize(have + 65536);
        const ssize_t n = ::read(fd, content.data() + have, content.size() - have);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = reason();
            break;
        }
        have += static_cast<std::size_t>(n);
        if (have < content.size()) break;
    }
    content.resize(have);
    if (err) content.clear();
    ::close(fd);
    return err;
}

IoFailure append_all(const std::string& path, const std::string& bytes) {
    // A pipe or device at the path is refused before opening it for
    // writing, which would wait for a reader.
    IoFailure err = not_ordinary(path);
    if (err) return err;
    // A file made here and then not written is removed again.
    struct stat info {};
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    const bool created = fd >= 0;
    if (!created) {
        if (errno != EEXIST) return reason();
        fd = open_ordinary(path, O_WRONLY | O_APPEND, err, info);
        if (fd < 0) return err;
    }
    if (!write_fd(fd, bytes)) {
        err = reason();
        if (!created && ::ftruncate(fd, info.st_size) != 0) err.damage = IoFailure::Damage::IncompleteBlock;
    }
    if (::close(fd) != 0 && !err) err = reason();
    if (err && created) ::unlink(path.c_str());
    return err;
}

IoFailure replace_all(const std::string& path, const std::string& bytes, int mode, bool* no_temp) {
    // The rename would put the file in place of a folder, device or link.
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) return {IoFailure::Why::SymbolicLink, 0, IoFailure::Damage::None};
        const IoFailure err = not_ordinary(info);
        if (err) return err;
    }
    const std::filesystem::path real(path);
    const std::filesystem::path folder = real.parent_path();
    std::string tmpl = (folder / ("." + real.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        if (no_temp) *no_temp = errno == EACCES || errno == EPERM || errno == EROFS;
        return reason();
    }
    IoFailure err;
    if (!write_fd(fd, bytes)) err = reason();
    if (!err && ::fsync(fd) != 0) err = reason();
    if (mode < 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = static_cast<int>(0666 & ~mask);
    }
    if (!err && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) err = reason();
    if (::close(fd) != 0 && !err) err = reason();
    if (!err && ::rename(tmpl.c_str(), path.c_str()) != 0) err = reason();
    if (err) ::unlink(tmpl.c_str());
    return err;
}

IoFailure write_in_place(const std::string& path, const std::string& bytes) {
    IoFailure err;
    struct stat info {};
    const int fd = open_ordinary(path, O_RDWR | O_CREAT, err, info);
    if (fd < 0) return err;
    // The old content, to put back when the new one does not fit.
    std::string old;
    old.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < old.size()) {
        const ssize_t n = ::pread(fd, old.data() + got, old.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    old.resize(got);
    if (!write_fd(fd, bytes)) {
        err = reason();
        // Rewriting the old bytes needs no new space.
        const bool restored = ::lseek(fd, 0, SEEK_SET) == 0 && write_fd(fd, old) &&
                              ::ftruncate(fd, static_cast<off_t>(old.size())) == 0;
        if (!restored) err.damage = IoFailure::Damage::PartlyOverwritten;
    }
    if (::close(fd) != 0 && !err) err = reason();
    return err;
}

}  // namespace tavo::file_io
