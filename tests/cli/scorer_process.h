// The real tizhi-score as the end-to-end tests run it: through the shell,
// so that a case can redirect or close descriptors and give file names in
// any bytes, or spawned directly while its peak memory is read; and the
// small files of 33-item forms the cases feed it.
#pragma once

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tizhi::test::scorer {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// Runs the scorer through the shell; $S is the scorer, the working folder
// is `dir`.
inline Run shell(const QTemporaryDir &dir, const QString &script)
{
    QProcess process;
    process.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("S", QStringLiteral(TIZHI_SCORE_PATH));
    process.setProcessEnvironment(env);
    process.start("/bin/sh", {"-c", script});
    if (!process.waitForStarted() || !process.waitForFinished(120000))
        return {};
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

inline QByteArray header33()
{
    QByteArrayList names{"id"};
    for (int k = 1; k <= 33; ++k)
        names << "q" + QByteArray::number(k);
    return names.join(',');
}

inline QByteArray row33(const QByteArray &id, const QByteArray &answer = "1")
{
    QByteArrayList cells{id};
    for (int k = 1; k <= 33; ++k)
        cells << answer;
    return cells.join(',');
}

inline const QByteArray kForms = header33() + "\n" + row33("a") + "\n" + row33("b", "3") + "\n";

inline bool write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray read(const QTemporaryDir &dir, const QString &name)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Runs the scorer through the shell in a folder of its own that holds
// `forms` as forms.csv.
inline Run shellOnForms(const QByteArray &forms, const QString &script)
{
    QTemporaryDir dir;
    if (!write(dir, "forms.csv", forms))
        return {};
    return shell(dir, script);
}

// The files of the folder, so that a case can see nothing was left behind.
inline QStringList files(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
}

// The names in the folder as the bytes they are, in byte order.
inline QByteArrayList namesIn(const QTemporaryDir &dir)
{
    QByteArrayList names;
    if (DIR *folder = opendir(QFile::encodeName(dir.path()).constData())) {
        while (const dirent *entry = readdir(folder))
            if (QByteArray(entry->d_name) != "." && QByteArray(entry->d_name) != "..")
                names << entry->d_name;
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The bytes of the file named by `name`'s bytes.
inline QByteArray readBytes(const QTemporaryDir &dir, const QByteArray &name)
{
    const QByteArray path = QFile::encodeName(dir.path()) + "/" + name;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "<missing>";
    QByteArray bytes;
    char chunk[65536];
    ssize_t got = 0;
    while ((got = ::read(fd, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, got);
    ::close(fd);
    return bytes;
}

// Whether the name's bytes name a symbolic link in the folder.
inline bool isSymLink(const QTemporaryDir &dir, const QByteArray &name)
{
    struct stat info {};
    const QByteArray path = QFile::encodeName(dir.path()) + "/" + name;
    return lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

// Empties the folder by the names' bytes when it goes out of scope, before
// the QTemporaryDir (declared first), which cannot remove a name that is
// no UTF-8.
class NamesRemovedByBytes {
public:
    explicit NamesRemovedByBytes(const QTemporaryDir &dir) : dir_(dir) {}
    NamesRemovedByBytes(const NamesRemovedByBytes &) = delete;
    NamesRemovedByBytes &operator=(const NamesRemovedByBytes &) = delete;
    ~NamesRemovedByBytes()
    {
        for (const QByteArray &name : namesIn(dir_))
            unlink((QFile::encodeName(dir_.path()) + "/" + name).constData());
    }

private:
    const QTemporaryDir &dir_;
};

// How a spawned scorer ended and the most memory it held.
struct Peak {
    int exitCode = -1; // -1 when it did not exit normally
    long kilobytes = 0;
    bool stopped = false; // killed for passing the limit
};

// Spawns `argv` with the signals' default actions, whatever this process
// set (Qt ignores SIGPIPE), standard input from `input` (or /dev/null when
// it is -1), standard output `output` (or /dev/null when it is -1) and
// messages dropped. The process, or -1.
inline pid_t spawnWithDefaults(const char *const *argv, int input, int output)
{
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input >= 0)
        posix_spawn_file_actions_adddup2(&actions, input, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output >= 0)
        posix_spawn_file_actions_adddup2(&actions, output, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, &attributes, const_cast<char *const *>(argv),
                    environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return pid;
}

// The process's peak memory so far (VmHWM), in kilobytes; 0 when unknown.
inline long peakKilobytes(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const qsizetype start = text.indexOf("VmHWM:");
    if (start < 0)
        return 0;
    const qsizetype end = text.indexOf('\n', start);
    return text.mid(start + 6, end - start - 6).trimmed().split(' ').value(0).toLong();
}

// Spawns the scorer with `arguments`, its standard input what the shell
// command `input` writes (none when empty), and reads its own peak memory
// while it runs; ru_maxrss would carry this test's size over from the
// fork. A scorer past `limitKilobytes` is stopped there, so that a test of
// unbounded memory fails instead of taking the machine.
inline Peak spawnAndWatch(const QStringList &arguments, const QString &input, long limitKilobytes)
{
    int ends[2] = {-1, -1};
    pid_t generator = -1;
    if (!input.isEmpty() && pipe2(ends, O_CLOEXEC) == 0) {
        const QByteArray script = input.toUtf8();
        const char *const argv[] = {"/bin/sh", "-c", script.constData(), nullptr};
        generator = spawnWithDefaults(argv, -1, ends[1]);
    }
    QByteArrayList bytes{TIZHI_SCORE_PATH};
    for (const QString &argument : arguments)
        bytes << QFile::encodeName(argument);
    std::vector<const char *> argv;
    for (const QByteArray &argument : bytes)
        argv.push_back(argument.constData());
    argv.push_back(nullptr);
    const pid_t pid = spawnWithDefaults(argv.data(), ends[0], -1);
    for (const int end : ends)
        if (end >= 0)
            ::close(end);
    Peak peak;
    int status = 0;
    while (pid > 0 && waitpid(pid, &status, WNOHANG) == 0) {
        peak.kilobytes = std::max(peak.kilobytes, peakKilobytes(pid));
        if (peak.kilobytes > limitKilobytes && !peak.stopped) {
            kill(pid, SIGKILL);
            peak.stopped = true;
        }
        usleep(1000);
    }
    // With the scorer gone, the generator's next write ends it.
    if (generator > 0)
        waitpid(generator, nullptr, 0);
    if (pid > 0 && WIFEXITED(status))
        peak.exitCode = WEXITSTATUS(status);
    return peak;
}

} // namespace tizhi::test::scorer
