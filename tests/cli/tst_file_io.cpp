// The scorer's output buffer: every byte reaches the device in order, into a
// regular file (where it is handed to the disk as it goes), a file published
// whole, and a device that is no file; and a failed write is remembered.
#include "test_registry.h"

#include "file_io.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <ostream>

using namespace tizhi::cli;

namespace {

// Pieces of every size the buffer treats apart: single bytes, short
// writes, writes larger than its own buffer and larger than the
// write-behind step, until `total` bytes, each byte telling its place.
QByteArray writeInPieces(std::ostream &out, qint64 total)
{
    QByteArray all;
    const qint64 sizes[] = {1, 100, 70'000, 1, DeviceWriteBuffer::kWriteBehind + 3, 4'093};
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

} // namespace

class TestFileIo : public QObject {
    Q_OBJECT

private slots:
    void everyByteInOrder_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<qint64>("total");
        for (const char *device : {"published file", "plain file", "memory"}) {
            QTest::addRow("%s, short", device) << QString(device) << qint64(5'000);
            QTest::addRow("%s, past the write-behind step thrice", device)
                << QString(device) << 3 * DeviceWriteBuffer::kWriteBehind + 12'345;
        }
    }

    void everyByteInOrder()
    {
        QFETCH(QString, device);
        QFETCH(qint64, total);
        QTemporaryDir dir;
        const QString path = dir.filePath("out.csv");
        QBuffer memory;
        std::unique_ptr<QFileDevice> file;
        if (device == "published file")
            file = std::make_unique<QSaveFile>(path);
        else if (device == "plain file")
            file = std::make_unique<QFile>(path);
        QIODevice &target = file ? static_cast<QIODevice &>(*file) : memory;
        QVERIFY(target.open(QIODevice::WriteOnly));

        QByteArray expected;
        {
            DeviceWriteBuffer buffer(target);
            std::ostream out(&buffer);
            expected = writeInPieces(out, total);
            QVERIFY(out.good());
            QVERIFY(!buffer.failed());
        }
        if (auto *saved = dynamic_cast<QSaveFile *>(file.get()))
            QVERIFY(saved->commit());
        else
            target.close();

        QByteArray written = memory.data();
        if (file) {
            QFile back(path);
            QVERIFY(back.open(QIODevice::ReadOnly));
            written = back.readAll();
        }
        QCOMPARE(written.size(), expected.size());
        QVERIFY(written == expected);
    }

    // A device that refuses a write: the failure is kept, and nothing after
    // it is written.
    void aFailedWriteIsRemembered()
    {
        QFile full(QStringLiteral("/dev/full"));
        if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("no /dev/full on this machine");
        DeviceWriteBuffer buffer(full);
        std::ostream out(&buffer);
        writeInPieces(out, 200'000);
        QVERIFY(buffer.failed());
        QVERIFY(!out.good());
    }
};

TIZHI_REGISTER_TEST(TestFileIo);

#include "tst_file_io.moc"
