#include "output_file.h"

#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tizhi::cli {

namespace {

// The signals that end a run (a terminal's Ctrl+C, kill, a closed terminal
// or pipe) and find a named temporary file to remove first.
constexpr std::array<int, 4> kEndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// What the handler removes, set and cleared only while those signals are
// blocked, so the handler sees it whole or not at all. One run, one file.
int cleanupFolder = -1;
char cleanupName[NAME_MAX + 1] = {};
volatile sig_atomic_t cleanupArmed = 0;
std::array<struct sigaction, kEndingSignals.size()> previousActions{};

// Async-signal-safe: unlinkat, sigaction and raise only.
extern "C" void removeTemporaryFile(int signal)
{
    const int savedErrno = errno;
    if (cleanupArmed != 0)
        unlinkat(cleanupFolder, cleanupName, 0);
    // Then the signal does what it did before the run: as a rule it ends
    // the process, as soon as this handler returns.
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
        if (kEndingSignals[i] == signal)
            sigaction(signal, &previousActions[i], nullptr);
    raise(signal);
    errno = savedErrno;
}

class EndingSignalsBlocked {
public:
    EndingSignalsBlocked()
    {
        sigset_t set;
        sigemptyset(&set);
        for (const int signal : kEndingSignals)
            sigaddset(&set, signal);
        pthread_sigmask(SIG_BLOCK, &set, &previous_);
    }
    EndingSignalsBlocked(const EndingSignalsBlocked &) = delete;
    EndingSignalsBlocked &operator=(const EndingSignalsBlocked &) = delete;
    ~EndingSignalsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

// With the ending signals blocked: from now on they remove `name`. A signal
// ignored at start (as for a job in the background) stays ignored.
void armCleanup(int folder, const std::string &name)
{
    cleanupFolder = folder;
    std::memcpy(cleanupName, name.c_str(), name.size() + 1);
    cleanupArmed = 1;
    struct sigaction handler {};
    handler.sa_handler = removeTemporaryFile;
    sigemptyset(&handler.sa_mask);
    for (const int signal : kEndingSignals)
        sigaddset(&handler.sa_mask, signal);
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        sigaction(kEndingSignals[i], nullptr, &previousActions[i]);
        if (previousActions[i].sa_handler != SIG_IGN)
            sigaction(kEndingSignals[i], &handler, nullptr);
    }
}

// With the ending signals blocked: they do again what they did before.
void disarmCleanup()
{
    cleanupArmed = 0;
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
        sigaction(kEndingSignals[i], &previousActions[i], nullptr);
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file `path` names: through symbolic links to the file they lead to,
// or to where the last of them points when that is no file yet.
std::string throughLinks(std::string path)
{
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        if (char *real = realpath(path.c_str(), nullptr)) {
            path = real;
            std::free(real);
            return path;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) == target.size())
            return path;
        target.resize(static_cast<std::size_t>(length));
        path = target.starts_with('/') ? target : folderOf(path) + "/" + target;
    }
    return path; // a loop of links, which open() refuses
}

// OUTPUT's name, a dot and six random letters or digits, within NAME_MAX.
std::string randomNameBeside(const std::string &base)
{
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::string name = base.substr(0, NAME_MAX - 7) + ".";
    for (int i = 0; i < 6; ++i)
        name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

// A new name beside OUTPUT that `create` makes a file of (failing with
// EEXIST when the name is taken); empty, errno set, when it cannot.
template <typename Create> std::string takeNameBeside(const std::string &base, Create create)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = randomNameBeside(base);
        if (create(name))
            return name;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

} // namespace

ReplacedFile::~ReplacedFile()
{
    cancel();
    if (folder_ >= 0)
        ::close(folder_);
}

bool ReplacedFile::open(const std::string &path)
{
    const std::string file = throughLinks(path);
    base_ = baseOf(file);
    if (base_.empty()) {
        errno = EISDIR;
        return false;
    }
    folder_ = ::open(folderOf(file).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0)
        return false;
    struct stat existing {};
    const bool exists = fstatat(folder_, base_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && (S_ISLNK(existing.st_mode) || S_ISDIR(existing.st_mode))) {
        errno = S_ISDIR(existing.st_mode) ? EISDIR : ELOOP;
        return false;
    }
    // A file the user may not write is not replaced either.
    if (exists && faccessat(folder_, base_.c_str(), W_OK, 0) != 0)
        return false;
    // Private until it has the existing file's permissions.
    const unsigned mode = exists ? 0600 : 0666;
    fd_ = openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd_ < 0 && !openNamed(mode))
        return false;
    if (exists && fchmod(fd_, existing.st_mode & 0777) != 0)
        return fail();
    return true;
}

// The temporary file where the filesystem has no unnamed files.
bool ReplacedFile::openNamed(unsigned mode)
{
    const EndingSignalsBlocked blocked;
    temporary_ = takeNameBeside(base_, [this, mode](const std::string &name) {
        fd_ = openat(folder_, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        return fd_ >= 0;
    });
    if (temporary_.empty())
        return false;
    armCleanup(folder_, temporary_);
    return true;
}

// Gives the unnamed temporary file a name beside OUTPUT, the first step of
// putting it in OUTPUT's place. With the ending signals blocked.
bool ReplacedFile::nameUnnamed()
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    temporary_ = takeNameBeside(base_, [this, &self](const std::string &name) {
        return linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    });
    if (temporary_.empty())
        return false;
    armCleanup(folder_, temporary_);
    return true;
}

bool ReplacedFile::publish(bool replace, bool sync)
{
    // Whatever the disk has not taken would be lost with the old file in a
    // crash. A file that cannot be synced (EINVAL) is written as it is.
    if (sync && fdatasync(fd_) != 0 && errno != EINVAL && errno != ENOSYS)
        return fail();
    const EndingSignalsBlocked blocked;
    // An unnamed file takes a new name in one step, which fails when the
    // name is taken: nothing to remove after that.
    if (!replace && temporary_.empty())
        return linkUnnamed();
    if (temporary_.empty() && !nameUnnamed())
        return fail();
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0 && errno != EINTR)
        return fail();
    if (!renameNamed(replace))
        return fail();
    disarmCleanup();
    temporary_.clear();
    return true;
}

// With the ending signals blocked.
bool ReplacedFile::linkUnnamed()
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (linkat(AT_FDCWD, self.c_str(), folder_, base_.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return fail();
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0 && errno != EINTR) {
        const int error = errno;
        unlinkat(folder_, base_.c_str(), 0);
        errno = error;
        return false;
    }
    return true;
}

// The named temporary file to OUTPUT's name; unless `replace`, only when
// that name is free.
bool ReplacedFile::renameNamed(bool replace)
{
    if (replace)
        return renameat(folder_, temporary_.c_str(), folder_, base_.c_str()) == 0;
    if (renameat2(folder_, temporary_.c_str(), folder_, base_.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A filesystem that cannot refuse a taken name as it renames (vfat,
    // SMB): the name is checked first.
    struct stat taken {};
    if (fstatat(folder_, base_.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    return renameat(folder_, temporary_.c_str(), folder_, base_.c_str()) == 0;
}

bool ReplacedFile::fail()
{
    const int error = errno;
    cancel();
    errno = error;
    return false;
}

void ReplacedFile::cancel()
{
    const EndingSignalsBlocked blocked;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        unlinkat(folder_, temporary_.c_str(), 0);
        disarmCleanup();
        temporary_.clear();
    }
}

} // namespace tizhi::cli
