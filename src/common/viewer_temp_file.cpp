#include "viewer_temp_file.h"

#include <QDir>
#include <QThread>

ViewerTempFile::ViewerTempFile(const QStringList &folders, const QString &windowName,
                               const QString &controlName)
{
    for (const QString &folder : folders) {
        // Two openings within one millisecond would meet the same name: wait
        // for the next millisecond rather than touch another's file.
        for (int attempt = 0; attempt < 5; ++attempt) {
            const QString name = fileName(windowName, controlName, QDateTime::currentDateTime());
            file_.setFileName(QDir(folder).filePath(name));
            if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                exists_ = true;
                return;
            }
            if (!QFile::exists(file_.fileName()))
                break; // the folder does not take files: try the next one
            QThread::msleep(1);
        }
        error_ = QStringLiteral("Cannot create file \"%1\". %2")
                     .arg(QDir::toNativeSeparators(file_.fileName()), file_.errorString());
    }
}

ViewerTempFile::~ViewerTempFile()
{
    file_.close();
    if (exists_)
        QFile::remove(file_.fileName());
}

QString ViewerTempFile::fileName(const QString &windowName, const QString &controlName,
                                 const QDateTime &time)
{
    return QStringLiteral("tmp_%1-%2-%3_temp.rtf")
        .arg(windowName, controlName, time.toString(QStringLiteral("yyyy-MM-dd-HH-mm-ss-zzz")));
}

bool ViewerTempFile::write(const QByteArray &bytes)
{
    if (!file_.isOpen())
        return false;
    const bool written = file_.write(bytes) == bytes.size() && file_.flush();
    if (!written)
        error_ = QStringLiteral("Cannot write file \"%1\". %2")
                     .arg(QDir::toNativeSeparators(file_.fileName()), file_.errorString());
    file_.close();
    return written;
}
