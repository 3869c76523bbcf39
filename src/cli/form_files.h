// The record forms a run writes into a folder, one PDF file per row, for
// tizhi-score and tizhi-records. Each file is named from the row's id,
// made safe to be a file name, and is published whole: written to a
// temporary file in the folder and given its name when complete and on
// disk, so that a run that stops leaves the forms it finished and no part
// of another. A file that was in the folder before is kept unless
// replacing is asked for. Forms are put on disk some dozens at a time: one
// wait for the disk per form would take longer than drawing it. The
// drawing is done by the module tizhi-forms, loaded only here.
#pragma once

#include "batch_scorer.h"
#include "forms_module.h"

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class QCoreApplication;

namespace tizhi::cli {

// The name of a row's form without its ".pdf": the id without the blanks
// around it, each character a file name cannot hold or a folder may not
// take ("/", "\", ":", "*", "?", """, "<", ">", "|", control characters) as
// "_", a leading dot as "_" (no hidden file, no ".."), at most 200 bytes;
// "line-N" for an empty id, N the row's line.
std::string formBaseName(std::string_view id, std::int64_t line);

class FormFiles {
public:
    // Tells `report` of each file kept and of a form that cannot be written.
    explicit FormFiles(DiagnosticSink report);
    ~FormFiles();
    FormFiles(const FormFiles &) = delete;
    FormFiles &operator=(const FormFiles &) = delete;

    // Loads the module and, when the process has none yet, makes the
    // application object it draws with. Empty on success, else why not.
    std::string load();
    // Opens the folder `dir` (bytes as given), made when missing. With
    // `replace`, files of the same names are replaced. Empty on success,
    // else why not.
    std::string openFolder(const std::string &dir, bool replace);

    // Writes the form of the row at `line` whose id is `id` (UTF-8); a
    // file of its name that was there is kept, and told. False, told, when
    // it cannot be written; then no more are.
    bool write(std::string_view id, std::int64_t line, const forms::FormContent &form);
    // Publishes the forms written and not yet published. False, told, when
    // they cannot be.
    bool finish();
    bool failed() const { return failed_; }

    std::int64_t written() const { return written_; }
    std::int64_t kept() const { return kept_; }
    // "wrote 3 forms to 'DIR'", and the files kept.
    std::string summary() const;

private:
    struct Pending;

    std::string uniqueName(std::string_view id, std::int64_t line);
    std::string shownPath(const std::string &name) const;
    bool fail(std::int64_t line, const std::string &name, const std::string &error);
    void kept(std::int64_t line, const std::string &name);

    const forms::Module *module_ = nullptr;
    std::unique_ptr<QCoreApplication> application_;
    std::string dir_;
    int folder_ = -1;
    bool replace_ = false;
    std::unordered_set<std::string> taken_; // names of this run, ASCII in lower case
    std::vector<Pending> pending_;
    DiagnosticSink report_;
    bool failed_ = false;
    QByteArray pdf_;
    std::int64_t written_ = 0;
    std::int64_t kept_ = 0;
};

} // namespace tizhi::cli
