#include "formats/FileBytes.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zv::formats {
namespace {

// Smaller files are read: mapping them costs more than copying.
constexpr std::size_t kMapFrom = 256 * 1024;

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

// Reads up to n bytes; fewer only at the end of the file. -1 on an error.
std::int64_t ReadUpTo(int fd, std::uint8_t* to, std::size_t n) {
    std::size_t have = 0;
    while (have < n) {
        const ssize_t got = ::read(fd, to + have, n - have);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        have += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(have);
}

// The guard against files cut short while mapped. Touching a mapped page past the new end of
// its file raises SIGBUS; the handler puts a zero page there and marks the mapping, so the
// decoder reads zeros and the reader refuses the file afterwards. Signals are process-wide, so
// this table is too; it holds only the address ranges of the mappings alive at the moment.
struct GuardSlot {
    std::atomic<std::uintptr_t> Begin{0};
    std::atomic<std::uintptr_t> End{0};
    std::atomic<bool> Cut{false};
};
std::array<GuardSlot, 16> guardSlots;
struct sigaction previousBus {};
std::uintptr_t pageSize = 4096;

void OnBus(int sig, siginfo_t* info, void* context) {
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (GuardSlot& slot : guardSlots) {
        const std::uintptr_t begin = slot.Begin.load(std::memory_order_acquire);
        if (begin != 0 && at >= begin && at < slot.End.load(std::memory_order_acquire)) {
            void* page = reinterpret_cast<void*>(at & ~(pageSize - 1));
            if (::mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
                slot.Cut.store(true, std::memory_order_release);
                return;
            }
        }
    }
    // Not one of ours: as it would have gone without this handler.
    if ((previousBus.sa_flags & SA_SIGINFO) != 0 && previousBus.sa_sigaction != nullptr) {
        previousBus.sa_sigaction(sig, info, context);
        return;
    }
    if (previousBus.sa_handler != SIG_DFL && previousBus.sa_handler != SIG_IGN) {
        previousBus.sa_handler(sig);
        return;
    }
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

bool InstallGuard() {
    static std::once_flag once;
    static bool installed = false;
    std::call_once(once, [] {
        pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = &OnBus;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        installed = ::sigaction(SIGBUS, &action, &previousBus) == 0;
    });
    return installed;
}

// A free slot for the range, or -1.
int Guard(const void* begin, std::size_t length) {
    if (!InstallGuard()) {
        return -1;
    }
    for (std::size_t i = 0; i < guardSlots.size(); ++i) {
        std::uintptr_t expected = 0;
        const auto b = reinterpret_cast<std::uintptr_t>(begin);
        if (guardSlots[i].Begin.compare_exchange_strong(expected, b, std::memory_order_acq_rel)) {
            guardSlots[i].Cut.store(false, std::memory_order_relaxed);
            guardSlots[i].End.store(b + length, std::memory_order_release);
            return static_cast<int>(i);
        }
    }
    return -1;
}

void Unguard(int slot) {
    if (slot >= 0) {
        guardSlots[static_cast<std::size_t>(slot)].End.store(0, std::memory_order_release);
        guardSlots[static_cast<std::size_t>(slot)].Begin.store(0, std::memory_order_release);
    }
}

} // namespace

FileBytes::FileBytes(FileBytes&& other) noexcept
    : owned_(std::move(other.owned_)), bytes_(other.bytes_), size_(other.size_), mapped_(other.mapped_),
      guard_(other.guard_) {
    other.bytes_ = nullptr;
    other.size_ = other.mapped_ = 0;
    other.guard_ = -1;
}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
    if (this != &other) {
        Release();
        owned_ = std::move(other.owned_);
        bytes_ = other.bytes_;
        size_ = other.size_;
        mapped_ = other.mapped_;
        guard_ = other.guard_;
        other.bytes_ = nullptr;
        other.size_ = other.mapped_ = 0;
        other.guard_ = -1;
    }
    return *this;
}

FileBytes::~FileBytes() {
    Release();
}

void FileBytes::Release() {
    if (mapped_ != 0) {
        Unguard(guard_);
        ::munmap(const_cast<std::uint8_t*>(bytes_), mapped_);
    }
    owned_.reset();
    bytes_ = nullptr;
    size_ = mapped_ = 0;
    guard_ = -1;
}

bool FileBytes::Changed() const {
    return guard_ >= 0 && guardSlots[static_cast<std::size_t>(guard_)].Cut.load(std::memory_order_acquire);
}

bool IsFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::optional<FileBytes> ReadFileBytes(const std::string& path, std::uint64_t maxBytes) {
    // Not blocking: a named pipe given as a model must be refused, not waited on.
    const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        return std::nullopt; // refused before anything is read
    }
    FileBytes out;
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size >= kMapFrom) {
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd.Get(), 0);
        if (map != MAP_FAILED) {
            out.guard_ = Guard(map, size);
            if (out.guard_ >= 0) {
                ::madvise(map, size, MADV_SEQUENTIAL | MADV_WILLNEED);
                out.bytes_ = static_cast<const std::uint8_t*>(map);
                out.size_ = out.mapped_ = size;
                return out;
            }
            ::munmap(map, size);
        }
    }
    // One spare byte shows whether the file grew since its size was taken.
    std::size_t capacity = size + 1;
    out.owned_ = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    for (;;) {
        const std::int64_t got = ReadUpTo(fd.Get(), out.owned_.get() + out.size_, capacity - out.size_);
        if (got < 0) {
            return std::nullopt;
        }
        out.size_ += static_cast<std::size_t>(got);
        out.bytes_ = out.owned_.get();
        if (out.size_ < capacity) {
            return out;
        }
        if (out.size_ > maxBytes) {
            return std::nullopt; // it grew past the limit while being read
        }
        // It grew: read on into a larger buffer.
        const auto larger = static_cast<std::size_t>(std::min<std::uint64_t>(capacity * 2, maxBytes) + 1);
        auto bigger = std::make_unique_for_overwrite<std::uint8_t[]>(larger);
        std::memcpy(bigger.get(), out.owned_.get(), out.size_);
        out.owned_ = std::move(bigger);
        capacity = larger;
    }
}

} // namespace zv::formats
