#include "tizhi_score_main.h"

#include "batch_scorer.h"
#include "file_io.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>

namespace tizhi::cli {

namespace {

const char *const kUsage =
    R"(Usage: tizhi-score --form 33|66 [--encoding utf-8|gbk] [INPUT [OUTPUT]]

Scores TCM constitution forms (中医体质辨识) collected on paper, one client per
CSV row, exactly as Tizhi scores the same answers on screen.

  --form 33        columns q1 ... q33: the answer typed for each question
  --form 66        either the nine item-string columns YangXu, YinXu, QiXu,
                   TanShi, ShiRe, XueYu, QiYu, TeBing, PingHe (e.g. 3;1;;5;)
                   or the 67 answer columns YangXu1 ... YangXu7, YinXu1 ...
                   YinXu8, QiXu1 ... QiXu8, TanShi1 ... TanShi8, ShiRe1 ...
                   ShiRe7, XueYu1 ... XueYu7, QiYu1 ... QiYu7, TeBing1 ...
                   TeBing7, PingHe1 ... PingHe8
  --encoding gbk   read and write GBK (code page 936) instead of UTF-8
  -h, --help       show this help

The first line names the columns (any case, any order; others are ignored).
An 'id' column is copied to the output. INPUT and OUTPUT default to standard
input and output; '-' names them too.

Output columns: id, then per type V_<TYPE>_FIELD, N_<TYPE>_ORG, N_<TYPE>_CON,
V_<TYPE>_RESULT, then V_CON_TOTAL, V_RESULT_TOTAL and error.

Exit status: 0 every row scored; 1 some rows carry an error in the error
column; 2 wrong usage or unreadable input.
)";

// Prints one of the command's own messages.
void complain(const std::string &message)
{
    std::cerr << "tizhi-score: " << message << "\n";
}

ExitStatus usageError(const std::string &message)
{
    std::cerr << "tizhi-score: " << message << "\nTry 'tizhi-score --help'.\n";
    return ExitStatus::Trouble;
}

// Shows "scored N rows" on a terminal, at most a few times a second.
class Progress {
public:
    explicit Progress(bool enabled) : enabled_(enabled) {}
    void update(std::int64_t rows)
    {
        const auto now = std::chrono::steady_clock::now();
        if (!enabled_ || now - last_ < std::chrono::milliseconds(250))
            return;
        last_ = now;
        shown_ = true;
        std::cerr << "\rtizhi-score: scored " << rows << " rows" << std::flush;
    }
    void finish()
    {
        if (shown_)
            std::cerr << "\r\033[K" << std::flush;
    }

private:
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The input, read so that a read error is never taken for its end.
class Input {
public:
    Input() = default;
    Input(const Input &) = delete;
    Input &operator=(const Input &) = delete;
    ~Input()
    {
        if (fd_ > 2)
            close(fd_);
    }

    // Opens INPUT, or takes standard input for none or "-"; false, the
    // reason told, when it cannot be opened.
    bool open(const std::vector<std::string> &paths)
    {
        std::string name = "standard input";
        if (!paths.empty() && paths[0] != "-") {
            fd_ = ::open(paths[0].c_str(), O_RDONLY | O_CLOEXEC);
            if (fd_ < 0) {
                const int error = errno;
                complain("cannot open '" + paths[0] + "' for reading: " + std::strerror(error));
                return false;
            }
            name = "'" + paths[0] + "'";
        }
        buffer_.emplace(fd(), name);
        stream_.emplace(&*buffer_);
        return true;
    }

    int fd() const { return fd_ < 0 ? STDIN_FILENO : fd_; }
    std::istream &stream() { return *stream_; }

private:
    int fd_ = -1; // a file the run opened, else -1
    std::optional<FdReadBuffer> buffer_;
    std::optional<std::istream> stream_;
};

// Where the scored rows go: standard output, or a named OUTPUT, which
// appears only when the whole input was read and written. A regular file
// is new, or replaced whole by a temporary file beside it, with its
// permissions kept and through a symbolic link; a device or FIFO is
// written directly.
class Output {
public:
    // Opens OUTPUT when one is named (not "-"), refusing the input's own
    // file; else takes standard output. The exit status, the reason told,
    // when it cannot.
    std::optional<ExitStatus> open(const std::vector<std::string> &paths, int inFd)
    {
        if (paths.size() < 2 || paths[1] == "-") {
            // Written in large pieces, with nothing of C's stdio between them.
            std::ios::sync_with_stdio(false);
            return std::nullopt;
        }
        name_ = paths[1];
        struct stat target {};
        struct stat source {};
        const bool exists = stat(name_.c_str(), &target) == 0;
        if (exists && fstat(inFd, &source) == 0 && sameFile(source, target))
            return usageError("INPUT and OUTPUT are the same file '" + name_ +
                              "': the scored rows would replace the forms");
        const QString path = QFile::decodeName(name_.c_str());
        if (exists && !S_ISREG(target.st_mode)) {
            direct_.emplace(path);
        } else {
            // Through a symbolic link to the file it names, so that the link stays.
            const QFileInfo info(path);
            QString file = path;
            if (info.isSymLink())
                file = exists ? info.canonicalFilePath() : info.symLinkTarget();
            saved_.emplace(file);
        }
        QIODevice &device = saved_ ? static_cast<QIODevice &>(*saved_) : *direct_;
        if (!device.open(QIODevice::WriteOnly)) {
            complain("cannot write '" + name_ + "': " + device.errorString().toStdString());
            return ExitStatus::Trouble;
        }
        buffer_.emplace(device);
        stream_.emplace(&*buffer_);
        return std::nullopt;
    }

    std::ostream &stream() { return stream_ ? *stream_ : std::cout; }

    // Publishes the named OUTPUT when the run read and wrote everything,
    // else drops it. False, the reason told, when the output does not stand.
    bool publish(const RunResult &result)
    {
        std::ostream &out = stream();
        out.flush();
        const bool written = buffer_ ? !buffer_->failed() && bool(out) : bool(out);
        const bool wholeInput = result.status != ExitStatus::Trouble;
        if (wholeInput && !written)
            complain("the output could not be written");
        if (!saved_)
            return written;
        if (!wholeInput || !written) {
            saved_->cancelWriting(); // the temporary file goes, nothing is published
            return false;
        }
        if (!saved_->commit()) {
            complain("cannot write '" + name_ + "': " + saved_->errorString().toStdString());
            return false;
        }
        return true;
    }

private:
    std::string name_;
    std::optional<QSaveFile> saved_;
    std::optional<QFile> direct_;
    std::optional<DeviceWriteBuffer> buffer_;
    std::optional<std::ostream> stream_;
};

// The options as the command line gives them.
struct Options {
    bool help = false;
    std::optional<Form> form;
    Encoding encoding = Encoding::Utf8;
    std::vector<std::string> paths; // the bytes given, whatever their encoding
};

// Parses the command line; a message for the user when it is wrong.
std::variant<Options, std::string> parseOptions(int argc, char **argv)
{
    // Paths go back to the system as the bytes they came in, also when they
    // are no text in the locale's encoding.
    QStringList arguments;
    QHash<QString, std::string> bytesOf;
    for (int i = 0; i < argc; ++i) {
        arguments << QFile::decodeName(argv[i]);
        bytesOf.insert(arguments.back(), argv[i]);
    }
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption form("form", {}, "33|66");
    const QCommandLineOption encoding("encoding", {}, "utf-8|gbk");
    parser.addOptions({help, form, encoding});
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().front();
            return "unknown option '" + std::string(name.size() > 1 ? "--" : "-") +
                   name.toStdString() + "'";
        }
        if (arguments.back() == "--form")
            return std::string("--form needs 33 or 66");
        if (arguments.back() == "--encoding")
            return std::string("--encoding needs utf-8 or gbk");
        return parser.errorText().toStdString();
    }

    Options options;
    options.help = parser.isSet(help);
    if (options.help)
        return options;
    if (parser.isSet(form)) {
        const QString value = parser.value(form);
        if (value == "33")
            options.form = Form::Items33;
        else if (value == "66")
            options.form = Form::Items66;
        else
            return "--form must be 33 or 66, not '" + value.toStdString() + "'";
    }
    if (parser.isSet(encoding)) {
        const QString value = parser.value(encoding).toLower();
        if (value == "utf-8" || value == "utf8")
            options.encoding = Encoding::Utf8;
        else if (value == "gbk" || value == "cp936")
            options.encoding = Encoding::Gbk;
        else
            return "--encoding must be utf-8 or gbk, not '" + parser.value(encoding).toStdString() +
                   "'";
    }
    for (const QString &path : parser.positionalArguments())
        options.paths.push_back(bytesOf.value(path));
    return options;
}

ExitStatus run(int argc, char **argv)
{
    auto parsed = parseOptions(argc, argv);
    if (const auto *message = std::get_if<std::string>(&parsed))
        return usageError(*message);
    const Options &options = std::get<Options>(parsed);
    if (options.help) {
        std::cout << kUsage;
        return ExitStatus::AllScored;
    }
    if (!options.form)
        return usageError("--form 33 or --form 66 is required");
    if (options.paths.size() > 2)
        return usageError("at most two files: INPUT and OUTPUT");

    Input input;
    if (!input.open(options.paths))
        return ExitStatus::Trouble;
    Output output;
    if (const auto refused = output.open(options.paths, input.fd()))
        return *refused;

    Progress progress(isatty(STDERR_FILENO) == 1);
    const RunResult result = scoreCsv(
        input.stream(), output.stream(), *options.form, options.encoding,
        [](const Diagnostic &diagnostic) { std::cerr << formatDiagnostic(diagnostic); },
        [&progress](std::int64_t rows) { progress.update(rows); });
    progress.finish();

    if (!output.publish(result))
        return ExitStatus::Trouble;
    if (result.failedRows > 0)
        complain(std::to_string(result.failedRows) + " of " + std::to_string(result.rows) +
                 " rows carry an error");
    return result.status;
}

} // namespace

std::string formatDiagnostic(const Diagnostic &diagnostic)
{
    std::string text = "tizhi-score: ";
    if (diagnostic.line > 0)
        text += "line " + std::to_string(diagnostic.line) + ": ";
    // A row's error column holds the whole message; the terminal gets its
    // head only, whatever was pasted into a cell.
    constexpr std::size_t kHead = 300;
    if (diagnostic.rowError && diagnostic.message.size() > kHead)
        text.append(diagnostic.message, 0, kHead) += "...";
    else
        text += diagnostic.message;
    return text + "\n";
}

int tizhiScoreMain(int argc, char **argv)
{
    // No exception leaves the command: whatever goes wrong is trouble.
    try {
        return static_cast<int>(run(argc, argv));
    } catch (const std::exception &error) {
        complain(error.what());
    } catch (...) {
        complain("an unexpected error");
    }
    return static_cast<int>(ExitStatus::Trouble);
}

} // namespace tizhi::cli
