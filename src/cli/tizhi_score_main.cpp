#include "tizhi_score_main.h"
#include "gcc12_restrict.h"

#include "batch_scorer.h"
#include "command_line.h"
#include "file_io.h"
#include "output_file.h"
#include "progress.h"
#include "score_forms.h"

#include <cerrno>
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
        if (!paths.empty() && paths[0] != "-") {
            name_ = "'" + printableBytes(paths[0]) + "'";
            fd_ = ::open(paths[0].c_str(), O_RDONLY | O_CLOEXEC);
            if (fd_ < 0) {
                const int error = errno;
                complain("cannot open " + name_ + " for reading: " + std::strerror(error));
                return false;
            }
        }
        buffer_.emplace(fd(), name_);
        stream_.emplace(&*buffer_);
        return true;
    }

    int fd() const { return fd_ < 0 ? STDIN_FILENO : fd_; }
    bool named() const { return fd_ >= 0; }
    // As messages show it: "standard input" or the name in quotes.
    const std::string &name() const { return name_; }
    std::istream &stream() { return *stream_; }

private:
    int fd_ = -1; // a file the run opened, else -1
    std::string name_ = "standard input";
    std::optional<FdReadBuffer> buffer_;
    std::optional<std::istream> stream_;
};

// Where the scored rows go: standard output, or a named OUTPUT. A regular
// file (or none yet) is replaced whole when the whole input was read and
// written (ReplacedFile); a device or FIFO is written directly.
class Output {
public:
    Output() = default;
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;
    ~Output()
    {
        if (direct_ >= 0)
            close(direct_);
    }

    // Opens OUTPUT when one is named (not "-"), else takes standard output;
    // either is refused when it is the input's own file. The exit status,
    // the reason told, when it cannot.
    std::optional<ExitStatus> open(const std::vector<std::string> &paths, const Input &input)
    {
        if (paths.size() < 2 || paths[1] == "-")
            return openStandardOutput(input);
        const std::string &path = paths[1];
        name_ = "'" + printableBytes(path) + "'";
        struct stat target {};
        struct stat source {};
        const bool exists = stat(path.c_str(), &target) == 0;
        if (exists && fstat(input.fd(), &source) == 0 && sameFile(source, target))
            return usageError("INPUT and OUTPUT are the same file " + name_ +
                              ": the scored rows would replace the forms");
        int fd = -1;
        if (exists && !S_ISREG(target.st_mode)) {
            fd = direct_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        } else {
            replaced_.emplace();
            if (replaced_->open(path))
                fd = replaced_->fd();
        }
        if (fd < 0) {
            const int error = errno;
            complain("cannot write " + name_ + ": " + std::strerror(error));
            return ExitStatus::Trouble;
        }
        buffer_.emplace(fd, replaced_.has_value());
        stream_.emplace(&*buffer_);
        return std::nullopt;
    }

    std::ostream &stream() { return *stream_; }

    // Ends the output of a run: a named OUTPUT appears when the run read
    // and wrote everything and told all it had to tell. The run's status,
    // or Trouble when the output does not stand.
    ExitStatus finish(const RunResult &result)
    {
        const bool complete = result.status != ExitStatus::Trouble;
        if (!finishWriting(complete) || (replaced_ && !complete)) {
            drop();
            return ExitStatus::Trouble;
        }
        if (result.failedRows > 0)
            complain(std::to_string(result.failedRows) + " of " + std::to_string(result.rows) +
                     " rows carry an error");
        // A message that could not be told fails the run like a row that
        // could not be written.
        if (!std::cerr) {
            drop();
            return ExitStatus::Trouble;
        }
        if (replaced_ && !replaced_->publish()) {
            const int error = errno;
            complain("cannot write " + name_ + ": " + std::strerror(error));
            return ExitStatus::Trouble;
        }
        return result.status;
    }

private:
    std::optional<ExitStatus> openStandardOutput(const Input &input)
    {
        // Appended to its own input (">> forms.csv"), the scorer would read
        // its rows again, without end. A terminal may be both.
        struct stat target {};
        struct stat source {};
        if (fstat(STDOUT_FILENO, &target) == 0 && S_ISREG(target.st_mode) &&
            fstat(input.fd(), &source) == 0 && sameFile(source, target))
            return usageError((input.named()
                                   ? "INPUT and standard output are the same file " + input.name()
                                   : std::string("standard input and standard output are the same "
                                                 "file")) +
                              ": the scored rows would be written into the forms");
        buffer_.emplace(STDOUT_FILENO);
        stream_.emplace(&*buffer_);
        return std::nullopt;
    }

    // Writes what is left and closes a device; false when a write failed,
    // told when the run was complete (else the run has told its own reason).
    bool finishWriting(bool complete)
    {
        stream_->flush();
        int error = buffer_->error();
        if (direct_ >= 0) {
            // Some devices and network files report a failed write only here.
            if (close(direct_) != 0 && error == 0 && errno != EINTR)
                error = errno;
            direct_ = -1;
        }
        if (error != 0 && complete)
            complain("cannot write " + name_ + ": " + std::strerror(error));
        return error == 0;
    }

    void drop()
    {
        if (replaced_)
            replaced_->cancel();
    }

    std::string name_ = "standard output"; // as messages show it
    int direct_ = -1;                      // a device or FIFO the run opened, else -1
    std::optional<ReplacedFile> replaced_;
    std::optional<FdWriteBuffer> buffer_;
    std::optional<std::ostream> stream_;
};

// Prints the help or the version; Trouble when standard output fails.
ExitStatus tell(const std::string &text)
{
    if (writeAll(STDOUT_FILENO, text))
        return ExitStatus::AllScored;
    const int error = errno;
    complain(std::string("cannot write standard output: ") + std::strerror(error));
    return ExitStatus::Trouble;
}

// The forms of --forms: their module loaded and their folder opened
// before any row is read. Trouble, the reason told, when they cannot be.
std::optional<ExitStatus> openForms(const Options &options, FormFiles &files)
{
    std::string error = files.load();
    if (error.empty())
        error = files.openFolder(*options.forms, options.force);
    if (error.empty())
        return std::nullopt;
    complain(error);
    return ExitStatus::Trouble;
}

// The run's status with its forms': a form that could not be written is
// trouble, a row that got none for its own cells an error of the row.
ExitStatus withForms(ExitStatus status, const ScoreForms &forms, FormFiles &files)
{
    files.finish();
    complain(files.summary());
    const auto worse = [&status](ExitStatus other) {
        status = static_cast<int>(other) > static_cast<int>(status) ? other : status;
    };
    if (files.failed())
        worse(ExitStatus::Trouble);
    else if (forms.rowsWithoutForm() > 0)
        worse(ExitStatus::RowsWithErrors);
    return status;
}

ExitStatus run(int argc, char **argv)
{
    auto parsed = parseOptions(argc, argv);
    if (const auto *message = std::get_if<std::string>(&parsed))
        return usageError(*message);
    const Options &options = std::get<Options>(parsed);
    if (options.help || options.version)
        return tell(options.help ? kUsage : versionText());
    if (!options.form)
        return usageError("--form 33 or --form 66 is required");
    if (options.paths.size() > 2)
        return usageError("at most two files: INPUT and OUTPUT");

    Input input;
    if (!input.open(options.paths))
        return ExitStatus::Trouble;
    Output output;
    if (const auto refused = output.open(options.paths, input))
        return *refused;
    const DiagnosticSink report = [](const Diagnostic &diagnostic) {
        std::cerr << formatDiagnostic(diagnostic);
    };
    FormFiles files(report);
    std::optional<ScoreForms> forms;
    if (options.forms) {
        if (const auto trouble = openForms(options, files))
            return *trouble;
        forms.emplace(files, *options.form, report);
    }

    Progress progress(isatty(STDERR_FILENO) == 1, "tizhi-score: scored");
    const RunResult result = scoreCsv(
        input.stream(), output.stream(), *options.form, options.encoding, report,
        [&progress](std::int64_t rows) { progress.update(rows); }, forms ? &*forms : nullptr);
    progress.finish();
    const ExitStatus status = output.finish(result);
    return forms ? withForms(status, *forms, files) : status;
}

} // namespace

std::string formatDiagnostic(const Diagnostic &diagnostic)
{
    return formatDiagnostic(diagnostic, "tizhi-score");
}

std::string formatDiagnostic(const Diagnostic &diagnostic, std::string_view program)
{
    std::string text(program);
    text += ": ";
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
    // A failed message of an earlier run in this process is no failure of this one.
    std::cerr.clear();
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

int closeStandardOutput(int status)
{
    // A file on a network filesystem may report a failed write only when
    // it is closed.
    if (close(STDOUT_FILENO) != 0 && errno != EBADF && errno != EINTR) {
        const int error = errno;
        complain(std::string("cannot write standard output: ") + std::strerror(error));
        return static_cast<int>(ExitStatus::Trouble);
    }
    return status;
}

} // namespace tizhi::cli
