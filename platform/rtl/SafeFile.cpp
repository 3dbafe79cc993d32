#include "platform/rtl/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <map>
#include <mutex>

#include "platform/rtl/Exceptions.h"

namespace vel {

namespace {

std::mutex& WritesLock() {
    static std::mutex m;
    return m;
}

std::map<std::string, std::uint64_t>& WriteCounts() {
    static std::map<std::string, std::uint64_t> counts;
    return counts;
}

std::string Reason(int err) {
    return std::strerror(err);
}

std::string FolderOf(const std::string& fileName) {
    std::size_t slash = fileName.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return fileName.substr(0, slash);
}

// Closes and removes the temporary file unless the rename went through.
struct TTempFile {
    int Fd = -1;
    std::string Name;
    bool Keep = false;
    ~TTempFile() {
        if (Fd >= 0) ::close(Fd);
        if (!Keep && !Name.empty()) ::unlink(Name.c_str());
    }
};

}  // namespace

void WriteFileAtomic(const std::string& FileName, std::string_view Data, bool Sync) {
    if (FileName.empty()) throw EFCreateError("Cannot create file \"\": the file name is empty.");
    // A symbolic link stays a link: the file it points to is replaced.
    std::string target = FileName;
    struct stat link {};
    if (::lstat(FileName.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* real = ::realpath(FileName.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const std::string folder = FolderOf(target);
    std::string base =
        target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
    TTempFile tmp;
    std::string pattern = folder + "/." + base + ".tmp.XXXXXX";
    tmp.Fd = ::mkstemp(pattern.data());
    if (tmp.Fd < 0)
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + Reason(errno) + ".");
    tmp.Name = pattern;

    struct stat old {};
    mode_t mode;
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(tmp.Fd, mode);

    const char* p = Data.data();
    std::size_t left = Data.size();
    while (left > 0) {
        ssize_t n = ::write(tmp.Fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EWriteError("Cannot write file \"" + FileName + "\". " + Reason(errno) + ".");
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (Sync && ::fsync(tmp.Fd) != 0)
        throw EWriteError("Cannot write file \"" + FileName + "\". " + Reason(errno) + ".");
    int fd = tmp.Fd;
    tmp.Fd = -1;
    if (::close(fd) != 0)
        throw EWriteError("Cannot write file \"" + FileName + "\". " + Reason(errno) + ".");
    if (::rename(tmp.Name.c_str(), target.c_str()) != 0)
        throw EWriteError("Cannot write file \"" + FileName + "\". " + Reason(errno) + ".");
    tmp.Keep = true;
    std::lock_guard<std::mutex> lock(WritesLock());
    ++WriteCounts()[FileName];
}

std::string ReadFileBytes(const std::string& FileName) {
    int fd = ::open(FileName.c_str(), O_RDONLY);
    if (fd < 0) throw EFOpenError("Cannot open file \"" + FileName + "\". " + Reason(errno) + ".");
    std::string out;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            throw EFOpenError("Cannot read file \"" + FileName + "\". " + Reason(err) + ".");
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
}

bool FileExists(const std::string& FileName) {
    struct stat st {};
    return ::stat(FileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

TFileStamp GetFileStamp(const std::string& FileName) {
    struct stat st {};
    if (::stat(FileName.c_str(), &st) != 0) return {};
    TFileStamp s;
    s.Device = static_cast<std::uint64_t>(st.st_dev);
    s.Inode = static_cast<std::uint64_t>(st.st_ino);
    s.Size = static_cast<std::uint64_t>(st.st_size);
    s.ModSec = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    s.ModNsec = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    std::lock_guard<std::mutex> lock(WritesLock());
    auto it = WriteCounts().find(FileName);
    if (it != WriteCounts().end()) s.LocalWrites = it->second;
    return s;
}

}  // namespace vel
