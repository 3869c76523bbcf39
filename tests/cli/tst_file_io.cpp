// The scorer's output: every byte reaches the descriptor in order, into a
// regular file (where it is handed to the disk as it goes), a file published
// whole, and a pipe; a failed write is remembered; and a replaced file takes
// its place whole, with its folder holding nothing else afterwards.
#include "test_registry.h"

#include "file_io.h"
#include "output_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <ostream>
#include <thread>
#include <unistd.h>

using namespace tizhi::cli;

namespace {

// Pieces of every size the buffer treats apart: single bytes, short
// writes, writes larger than its own buffer and larger than the
// write-behind step, until `total` bytes, each byte telling its place.
QByteArray writeInPieces(std::ostream &out, qint64 total)
{
    QByteArray all;
    const qint64 sizes[] = {1, 100, 70'000, 1, FdWriteBuffer::kWriteBehind + 3, 4'093};
    std::size_t next = 0;
    while (all.size() < total) {
        const qint64 size = std::min(sizes[next++ % std::size(sizes)], total - all.size());
        QByteArray piece(size, Qt::Uninitialized);
        for (qint64 i = 0; i < size; ++i)
            piece[i] = char((all.size() + i) * 7 % 251);
        if (size == 1)
            out.put(piece[0]);
        else
            out.write(piece.constData(), size);
        all += piece;
    }
    out.flush();
    return all;
}

QByteArray readBack(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Everything that comes out of a pipe, read beside the writer.
class PipeReader {
public:
    PipeReader()
    {
        if (pipe(ends_) == 0)
            thread_ = std::thread([this] {
                char chunk[65536];
                ssize_t got = 0;
                while ((got = ::read(ends_[0], chunk, sizeof chunk)) > 0)
                    bytes_.append(chunk, got);
            });
    }
    int writeEnd() const { return ends_[1]; }
    // Closes the writing end and waits for the rest.
    QByteArray all()
    {
        ::close(ends_[1]);
        if (thread_.joinable())
            thread_.join();
        ::close(ends_[0]);
        return bytes_;
    }

private:
    int ends_[2] = {-1, -1};
    std::thread thread_;
    QByteArray bytes_;
};

} // namespace

class TestFileIo : public QObject {
    Q_OBJECT

private slots:
    void everyByteInOrder_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<qint64>("total");
        for (const char *target : {"published file", "plain file", "pipe"}) {
            QTest::addRow("%s, short", target) << QString(target) << qint64(5'000);
            QTest::addRow("%s, past the write-behind step thrice", target)
                << QString(target) << qint64(3 * FdWriteBuffer::kWriteBehind + 12'345);
        }
    }

    void everyByteInOrder()
    {
        QFETCH(QString, target);
        QFETCH(qint64, total);
        QTemporaryDir dir;
        const QString path = dir.filePath("out.csv");
        ReplacedFile published;
        PipeReader pipe;
        int fd = pipe.writeEnd();
        if (target == "published file") {
            QVERIFY(published.open(QFile::encodeName(path).toStdString()));
            fd = published.fd();
        } else if (target == "plain file") {
            fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        }
        QVERIFY(fd >= 0);

        QByteArray expected;
        {
            FdWriteBuffer buffer(fd, target != "pipe");
            std::ostream out(&buffer);
            expected = writeInPieces(out, total);
            QVERIFY(out.good());
            QVERIFY(!buffer.failed());
        }
        QByteArray written;
        if (target == "published file") {
            QVERIFY(published.publish());
            written = readBack(path);
        } else if (target == "plain file") {
            QCOMPARE(::close(fd), 0);
            written = readBack(path);
        } else {
            written = pipe.all();
        }
        if (target != "pipe")
            pipe.all();
        QCOMPARE(written.size(), expected.size());
        QVERIFY(written == expected);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
                 target == "pipe" ? 0 : 1);
    }

    // A device that refuses a write: the failure is kept with its reason,
    // and nothing after it is written.
    void aFailedWriteIsRemembered()
    {
        const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
        if (full < 0)
            QSKIP("no /dev/full on this machine");
        FdWriteBuffer buffer(full);
        std::ostream out(&buffer);
        writeInPieces(out, 200'000);
        ::close(full);
        QVERIFY(buffer.failed());
        QCOMPARE(buffer.error(), ENOSPC);
        QVERIFY(!out.good());
    }

    // A replaced file that is dropped leaves the old file and nothing else.
    void aDroppedFileLeavesTheOldOne()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.csv");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old\n");
        old.close();
        {
            ReplacedFile replaced;
            QVERIFY(replaced.open(QFile::encodeName(path).toStdString()));
            QVERIFY(writeAll(replaced.fd(), "new\n"));
        }
        QCOMPARE(readBack(path), "old\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{"out.csv"});
    }
};

TIZHI_REGISTER_TEST(TestFileIo);

#include "tst_file_io.moc"
