// The batch scorer's named OUTPUT when it is a regular file, or none yet:
// replaced whole or not at all. The rows go to a temporary file in OUTPUT's
// folder, which takes OUTPUT's name only once everything is written and on
// disk. Where the filesystem has unnamed files (Linux's O_TMPFILE) the
// temporary file has no name until then, so nothing is left even when the
// process is killed; elsewhere (vfat, exFAT, SMB, NFSv3) it is named after
// OUTPUT with a dot and six random characters, and SIGINT, SIGTERM, SIGHUP
// and SIGPIPE remove it before the process ends. Names are bytes, used
// exactly as given, whatever their encoding.
#pragma once

#include <string>

namespace tizhi::cli {

class ReplacedFile {
public:
    ReplacedFile() = default;
    ReplacedFile(const ReplacedFile &) = delete;
    ReplacedFile &operator=(const ReplacedFile &) = delete;
    // Drops the temporary file unless it was published.
    ~ReplacedFile();

    // Opens the temporary file for OUTPUT `path`: a regular file, a
    // symbolic link (the file it names is replaced and the link stays) or
    // no file yet. The new file gets an existing file's permissions. False,
    // errno set, when it cannot be opened, or when OUTPUT exists and the
    // user may not write it.
    bool open(const std::string &path);
    int fd() const { return fd_; }
    // The temporary file's name in OUTPUT's folder while it has one, else empty.
    const std::string &temporaryName() const { return temporary_; }

    // Puts the temporary file on disk and gives it OUTPUT's name. False,
    // errno set, when that fails; OUTPUT is as it was and the temporary
    // file is gone then. Unless `replace`, a file that has OUTPUT's name by
    // then is kept, and the failure's errno is EEXIST. Without `sync` the
    // caller has put the file on disk itself.
    bool publish(bool replace = true, bool sync = true);
    // Drops the temporary file; OUTPUT stays as it was.
    void cancel();

private:
    bool openNamed(unsigned mode);
    bool nameUnnamed();
    bool linkUnnamed();
    bool renameNamed(bool replace);
    bool fail();

    int folder_ = -1;
    int fd_ = -1;
    std::string base_;      // OUTPUT's name in its folder
    std::string temporary_; // the temporary file's name in the folder while it has one
};

} // namespace tizhi::cli
