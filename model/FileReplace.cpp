#include "model/FileReplace.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zv::model {
namespace {

// Writes everything; returns the number of bytes written.
std::size_t WriteAll(int fd, std::string_view data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

// Writes a new file from its start, leaving pages of zeros as holes. Written() counts the bytes
// taken so far, holes included; after a failure it is where the failing piece began.
class SparseWriter {
public:
    explicit SparseWriter(int fd) : fd_(fd) {}

    bool Write(std::string_view piece) {
        if (failed_) {
            return false;
        }
        // Runs of data between whole zero pages go out in one write each.
        const std::uint64_t base = Written();
        std::size_t runStart = 0, at = 0;
        while (at < piece.size()) {
            // Pages are counted from the start of the file, so a hole is whole pages.
            const std::size_t n =
                std::min(kPage - static_cast<std::size_t>((base + at) % kPage), piece.size() - at);
            if (n == kPage && IsZero(piece.substr(at, n))) {
                if (!Put(piece.substr(runStart, at - runStart))) {
                    return false;
                }
                pendingHole_ += n;
                runStart = at + n;
            }
            at += n;
        }
        return Put(piece.substr(runStart));
    }

    // A file that ends in a hole still needs its length.
    bool Finish() {
        if (failed_) {
            return false;
        }
        if (pendingHole_ == 0) {
            return true;
        }
        written_ += pendingHole_;
        pendingHole_ = 0;
        return ::ftruncate(fd_, static_cast<off_t>(written_)) == 0;
    }

    std::uint64_t Written() const { return written_ + pendingHole_; }

private:
    static constexpr std::size_t kPage = 4096;

    static bool IsZero(std::string_view page) {
        static const char zeros[kPage] = {};
        return std::memcmp(page.data(), zeros, kPage) == 0;
    }

    // Writes part after any pending hole; on a failure written_ says how far it got.
    bool Put(std::string_view part) {
        if (part.empty()) {
            return true;
        }
        if (pendingHole_ != 0) {
            if (::lseek(fd_, static_cast<off_t>(pendingHole_), SEEK_CUR) < 0) {
                failed_ = true;
                return false;
            }
            written_ += pendingHole_;
            pendingHole_ = 0;
        }
        const std::size_t done = WriteAll(fd_, part);
        written_ += done;
        failed_ = done != part.size();
        return !failed_;
    }

    int fd_;
    std::uint64_t written_ = 0;
    std::uint64_t pendingHole_ = 0;
    bool failed_ = false;
};

// The new file keeps the old one's permissions; a first file gets the usual 0666 less umask.
void CopyMode(int fd, const std::string& target) {
    struct stat st {};
    mode_t mode = 0;
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    (void)::fchmod(fd, mode); // mkstemp's 0600 is an acceptable fallback
}

// The file a save must replace: a symbolic link is followed to what it names (the link stays a
// link); nullopt when that is something other than a regular file or a missing one (a folder,
// a device node, a loop of links), which a save must not replace.
std::optional<std::filesystem::path> SaveTarget(const std::filesystem::path& path) {
    std::filesystem::path at = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0) {
            return errno == ENOENT ? std::optional(at) : std::nullopt;
        }
        if (S_ISREG(st.st_mode)) {
            return at;
        }
        if (!S_ISLNK(st.st_mode)) {
            return std::nullopt;
        }
        std::error_code ec;
        const std::filesystem::path next = std::filesystem::read_symlink(at, ec);
        if (ec) {
            return std::nullopt;
        }
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::uint64_t> ReplaceFile(const std::string& path, std::string_view data) {
    return ReplaceFileWith(path, [data](const ChunkSink& sink) { return sink(data); });
}

std::optional<std::uint64_t> ReplaceFileWith(const std::string& path,
                                             const std::function<bool(const ChunkSink&)>& produce) {
    const std::optional<std::filesystem::path> resolved = SaveTarget(path);
    if (!resolved) {
        return 1;
    }
    const std::filesystem::path target(*resolved);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return 1;
    }
    CopyMode(fd, target.string());
    SparseWriter out(fd);
    const bool produced = produce([&out](std::string_view piece) { return out.Write(piece); });
    bool ok = produced && out.Finish() && ::fdatasync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(temp.c_str());
        return out.Written() + 1;
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return out.Written() + 1;
    }
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        (void)::fsync(dir); // make the rename itself durable; not fatal when it fails
        ::close(dir);
    }
    return std::nullopt;
}

} // namespace zv::model
