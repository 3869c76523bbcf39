// The short-lived RTF file through which the full-screen viewer receives its
// copy: "tmp_<window>-<control>-<YYYY-MM-DD-HH-MM-SS-ZZZ>_temp.rtf". It is
// created exclusively (an existing file is never overwritten) in the first
// folder that allows it, normally the program's own folder and otherwise the
// system's temporary folder, and removed when the object goes, on every path.
#pragma once

#include <QDateTime>
#include <QFile>
#include <QStringList>

class ViewerTempFile {
public:
    ViewerTempFile(const QStringList &folders, const QString &windowName,
                   const QString &controlName);
    ~ViewerTempFile();
    ViewerTempFile(const ViewerTempFile &) = delete;
    ViewerTempFile &operator=(const ViewerTempFile &) = delete;

    // The name for a moment, as the viewer forms it.
    static QString fileName(const QString &windowName, const QString &controlName,
                            const QDateTime &time);

    bool isCreated() const { return file_.isOpen(); }
    QString path() const { return file_.fileName(); }
    QString errorString() const { return error_; }

    // Writes the bytes and closes the file; false with errorString() set on failure.
    bool write(const QByteArray &bytes);

private:
    QFile file_;
    QString error_;
    bool exists_ = false;
};
