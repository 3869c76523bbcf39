#include "form_files.h"

#include "file_io.h"
#include "number_text.h"
#include "output_file.h"
#include "text_encoding.h"

#include <QCoreApplication>

#include <cerrno>
#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tizhi::cli {

namespace {

// Ids are cut to this many bytes, which leaves room for a number and
// ".pdf" within any filesystem's longest name.
constexpr std::size_t kLongestBase = 200;

// The bytes of one UTF-8 character starting at `text[at]`.
std::size_t characterLength(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return std::min(length, text.size() - at);
}

bool unsafeCharacter(std::string_view character)
{
    const auto first = static_cast<unsigned char>(character[0]);
    if (character.size() == 1)
        return first < 0x20 || first == 0x7F ||
               std::string_view("/\\:*?\"<>|").find(character[0]) != std::string_view::npos;
    // U+0080 ... U+009F, the second set of control characters.
    return first == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
}

// A name as this run compares it: two names a folder on a Windows disk
// takes for one are one.
std::string foldedCase(std::string name)
{
    for (char &c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}

// The module beside the program: its private folder, found from where the
// program's own file is, in the build tree as when installed.
std::string modulePath()
{
    std::string exe(PATH_MAX, '\0');
    const ssize_t length = readlink("/proc/self/exe", exe.data(), exe.size());
    exe.resize(length > 0 ? std::size_t(length) : 0);
    const std::size_t slash = exe.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : exe.substr(0, slash);
    return folder + "/" TIZHI_FORMS_MODULE;
}

} // namespace

std::string formBaseName(std::string_view id, std::int64_t line)
{
    const std::string_view trimmed = trimText(id);
    std::string name;
    for (std::size_t at = 0; at < trimmed.size();) {
        const std::string_view character = trimmed.substr(at, characterLength(trimmed, at));
        if (name.size() + character.size() > kLongestBase)
            break;
        if (unsafeCharacter(character) || (name.empty() && character == "."))
            name += '_';
        else
            name += character;
        at += character.size();
    }
    return name.empty() ? "line-" + std::to_string(line) : name;
}

// A form written to its unnamed temporary file, to be put on disk and named.
struct FormFiles::Pending {
    std::unique_ptr<ReplacedFile> file;
    std::int64_t line;
    std::string name;
};

FormFiles::FormFiles(DiagnosticSink report) : report_(std::move(report)) {}

FormFiles::~FormFiles()
{
    pending_.clear();
    if (folder_ >= 0)
        ::close(folder_);
}

std::string FormFiles::load()
{
    const std::string path = modulePath();
    // Never unloaded: the application object and Qt's plugins live in it.
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return std::string("cannot load the record forms' module: ") + dlerror();
    auto *entry = reinterpret_cast<forms::EntryPoint *>(dlsym(handle, forms::kEntryPoint));
    module_ = entry ? entry() : nullptr;
    if (!module_ || module_->version != forms::kModuleVersion) {
        module_ = nullptr;
        return "the record forms' module '" + printableBytes(path) +
               "' belongs to another version of the program";
    }
    if (!QCoreApplication::instance())
        application_.reset(module_->makeApplication());
    return {};
}

std::string FormFiles::openFolder(const std::string &dir, bool replace)
{
    dir_ = dir;
    replace_ = replace;
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST)
        return "cannot make the folder '" + printableBytes(dir) +
               "' for the forms: " + std::strerror(errno);
    // Readable: the folder's filesystem is synced through it.
    folder_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0)
        return "cannot open the folder '" + printableBytes(dir) +
               "' for the forms: " + std::strerror(errno);
    return {};
}

std::string FormFiles::uniqueName(std::string_view id, std::int64_t line)
{
    const std::string base = formBaseName(id, line);
    std::string name = base + ".pdf";
    for (int n = 2; !taken_.insert(foldedCase(name)).second; ++n)
        name = base + "-" + std::to_string(n) + ".pdf";
    return name;
}

bool FormFiles::write(std::string_view id, std::int64_t line, const forms::FormContent &form)
{
    if (failed_)
        return false;
    const std::string name = uniqueName(id, line);
    struct stat existing {};
    // What was there is not drawn again only to be kept.
    if (!replace_ && fstatat(folder_, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        kept(line, name);
        return true;
    }
    if (const QString error = module_->renderPdf(form, pdf_); !error.isEmpty())
        return fail(line, name, error.toStdString());
    auto file = std::make_unique<ReplacedFile>();
    if (!file->open(dir_ + "/" + name) ||
        !writeAll(file->fd(), std::string_view(pdf_.constData(), std::size_t(pdf_.size()))))
        return fail(line, name, std::strerror(errno));
    pending_.push_back({std::move(file), line, name});
    // A named temporary file (where the filesystem has no unnamed ones) is
    // published at once: the signals that end the run remove one only.
    constexpr std::size_t kBatch = 32;
    if (pending_.size() >= kBatch || !pending_.back().file->temporaryName().empty())
        return finish();
    return true;
}

bool FormFiles::finish()
{
    if (pending_.empty())
        return !failed_;
    // One wait for the disk for all of them.
    if (syncfs(folder_) != 0 && errno != EINVAL && errno != ENOSYS) {
        const Pending &first = pending_.front();
        const int error = errno;
        pending_.clear();
        return fail(first.line, first.name, std::strerror(error));
    }
    std::vector<Pending> pending = std::move(pending_);
    pending_.clear();
    for (Pending &form : pending) {
        if (form.file->publish(replace_, false))
            ++written_;
        else if (errno == EEXIST && !replace_)
            kept(form.line, form.name);
        else
            return fail(form.line, form.name, std::strerror(errno));
    }
    return true;
}

void FormFiles::kept(std::int64_t line, const std::string &name)
{
    ++kept_;
    if (report_)
        report_({line, 0, "kept '" + shownPath(name) + "', which was there (--force replaces it)"});
}

bool FormFiles::fail(std::int64_t line, const std::string &name, const std::string &error)
{
    failed_ = true;
    pending_.clear();
    if (report_)
        report_({line, 0,
                 "cannot write the form '" + shownPath(name) + "': " + error +
                     "; no more forms are written"});
    return false;
}

std::string FormFiles::shownPath(const std::string &name) const
{
    return printableBytes(dir_ + "/" + name);
}

std::string FormFiles::summary() const
{
    std::string text = "wrote " + std::to_string(written_) + (written_ == 1 ? " form" : " forms") +
                       " to '" + printableBytes(dir_) + "'";
    if (kept_ > 0)
        text += "; kept " + std::to_string(kept_) +
                (kept_ == 1 ? " file that was there" : " files that were there") +
                " (--force replaces them)";
    return text;
}

} // namespace tizhi::cli
