// Settings files that are damaged or hostile: each ends with the defaults,
// or with the valid keys it holds, in time linear in its size.
#include "test_registry.h"

#include "uniChineseMedicinePublic.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tizhi;

namespace {

QByteArray completeSettings()
{
    QByteArray text = "[InterfaceEnv]\n";
    for (const char *slot : {"Form", "ScrollBox", "Button", "Panel", "Label", "Grid", "Edit",
                             "DBEdit", "DBRichEdit"}) {
        text += QByteArray(slot) + "FontSize=11\n";
        text += QByteArray(slot) + "FontColor=clWindowText\n";
        text += QByteArray(slot) + "RColor=clInfoBk\n";
        text += QByteArray(slot) + "EColor=clWindow\n";
    }
    return text;
}

// Loads `bytes` as Config.ini; the elapsed milliseconds go to `ms`.
TInterfaceRecord load(const QByteArray &bytes, qint64 &ms)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("Config.ini"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
        file.close();
    }
    TInterfaceRecord record;
    record.CreateFonts();
    QElapsedTimer timer;
    timer.start();
    record.LoadInterfaceEnv(dir.path());
    ms = timer.elapsed();
    return record;
}

} // namespace

class TestHostileSettings : public QObject {
    Q_OBJECT

private slots:
    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("labelSize"); // 8 is the default, 11 the file's value
        const QByteArray complete = completeSettings();
        QByteArray tenMegabytes = complete;
        while (tenMegabytes.size() < 10 * 1024 * 1024)
            tenMegabytes += "; padding comment line of the kind a careless export leaves\n";
        QTest::newRow("10 MB of comments after valid keys") << tenMegabytes << 11;

        QByteArray binary(1024 * 1024, Qt::Uninitialized);
        QRandomGenerator random(42);
        for (char &c : binary)
            c = char(random.bounded(256));
        QTest::newRow("1 MB of binary bytes") << binary << 8;
        // The first of two equal keys counts, so what follows cannot override.
        QTest::newRow("valid keys, then binary bytes") << complete + binary << 11;

        QByteArray manyKeys = complete;
        for (int i = 0; i < 100000; ++i)
            manyKeys += "Unknown" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
        QTest::newRow("100 000 unknown keys") << manyKeys << 11;

        QTest::newRow("1 MB line") << complete + "Note=" + QByteArray(1024 * 1024, 'x') + "\n"
                                   << 11;
        // The tail of a long line must not pass for a setting of its own.
        QByteArray injected = complete;
        injected.replace("LabelFontSize=11",
                         "LabelFontSize=" + QByteArray(300, '1') + "\nLabelFontSize=11");
        QTest::newRow("long value does not leak into a key") << injected << 8;
        QTest::newRow("long comment line is ignored")
            << "; " + QByteArray(100000, 'c') + "LabelFontSize=99\n" + complete << 11;
        QTest::newRow("NUL byte inside")
            << complete.left(40) + QByteArray(1, '\0') + complete.mid(40) << 8;
    }

    void hostileFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, labelSize);
        qint64 ms = 0;
        const TInterfaceRecord record = load(bytes, ms);
        QCOMPARE(record.font(Slot::Label)->Size, labelSize);
        QCOMPARE(record.font(Slot::CheckBox)->Size, labelSize);
    }

    // Reading time grows with the file, not faster: ten times the keys,
    // about ten times the time.
    void timeIsLinearInTheFile()
    {
        auto timeFor = [](int keys) {
            QByteArray text = completeSettings();
            for (int i = 0; i < keys; ++i)
                text += "Unknown" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
            qint64 ms = 0;
            load(text, ms);
            return std::max<qint64>(ms, 1);
        };
        const qint64 small = timeFor(20000);
        const qint64 large = timeFor(200000);
        QVERIFY2(large < 40 * small + 200,
                 qPrintable(QStringLiteral("%1 ms vs %2 ms").arg(large).arg(small)));
    }

    // A FIFO named Config.ini would block the start for ever if it were
    // opened; it is no settings file.
    void fifoGivesDefaultsAtOnce()
    {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("Config.ini"));
        QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        TInterfaceRecord record;
        record.CreateFonts();
        record.LoadInterfaceEnv(dir.path());
        QCOMPARE(record.font(Slot::Label)->Size, 8);
    }

    void oversizedFileGivesDefaults()
    {
        QByteArray huge = completeSettings();
        huge += QByteArray(17 * 1024 * 1024, ';');
        qint64 ms = 0;
        QCOMPARE(load(huge, ms).font(Slot::Label)->Size, 8);
    }
};

TIZHI_REGISTER_TEST(TestHostileSettings);

#include "tst_hostile_settings.moc"
