#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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

std::string reason() {
    return std::strerror(errno);
}

}  // namespace

std::string read_all(const std::string& path, std::string& content) {
    content.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return reason();
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return "it is a folder";
    }
    char buf[65536];
    std::string err;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = reason();
            break;
        }
        if (n == 0) break;
        content.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return err;
}

std::string append_all(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return reason();
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const std::string err = reason();
        ::close(fd);
        return err;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return "it is not an ordinary file";
    }
    std::string err;
    if (!write_fd(fd, bytes)) {
        err = reason();
        if (::ftruncate(fd, info.st_size) != 0) err += " (the file may end in an incomplete block)";
    }
    if (::close(fd) != 0 && err.empty()) err = reason();
    return err;
}

std::string replace_all(const std::string& path, const std::string& bytes, int mode, bool* no_temp) {
    const std::filesystem::path real(path);
    const std::filesystem::path folder = real.parent_path();
    std::string tmpl = (folder / ("." + real.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        if (no_temp) *no_temp = errno == EACCES || errno == EPERM || errno == EROFS;
        return reason();
    }
    std::string err;
    if (!write_fd(fd, bytes)) err = reason();
    if (err.empty() && ::fsync(fd) != 0) err = reason();
    if (mode < 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = static_cast<int>(0666 & ~mask);
    }
    if (err.empty() && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) err = reason();
    if (::close(fd) != 0 && err.empty()) err = reason();
    if (err.empty() && ::rename(tmpl.c_str(), path.c_str()) != 0) err = reason();
    if (!err.empty()) ::unlink(tmpl.c_str());
    return err;
}

std::string write_in_place(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return reason();
    std::string err;
    if (!write_fd(fd, bytes)) err = reason();
    if (::close(fd) != 0 && err.empty()) err = reason();
    return err;
}

}  // namespace tavo::file_io
