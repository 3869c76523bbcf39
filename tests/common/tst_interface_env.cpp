// Loading "Config.ini": the all-or-nothing fallback, the number and colour
// forms a health worker may type, and where the file is looked for.
#include "test_registry.h"

#include "settings_values.h"
#include "uniChineseMedicinePublic.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace tizhi;

namespace {

const char *const kSlotNames[] = {"Form", "ScrollBox", "Button", "Panel",     "Label",
                                  "Grid", "Edit",      "DBEdit", "DBRichEdit"};

// A complete file in which every value differs from its default: size 10 + i,
// font colour i, R colour 0x100 + i, E colour 0x200 + i for the i-th key prefix.
QMap<QByteArray, QByteArray> completeSettings()
{
    QMap<QByteArray, QByteArray> keys;
    for (int i = 0; i < 9; ++i) {
        const QByteArray slot = kSlotNames[i];
        keys[slot + "FontSize"] = QByteArray::number(10 + i);
        keys[slot + "FontColor"] = QByteArray::number(i);
        keys[slot + "RColor"] = "$" + QByteArray::number(0x100 + i, 16);
        keys[slot + "EColor"] = "0x" + QByteArray::number(0x200 + i, 16);
    }
    return keys;
}

QByteArray iniText(const QMap<QByteArray, QByteArray> &keys,
                   const QByteArray &section = "InterfaceEnv")
{
    QByteArray text = "; appearance of Tizhi\n[" + section + "]\n";
    for (auto it = keys.begin(); it != keys.end(); ++it)
        text += it.key() + "=" + it.value() + "\n";
    return text;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

TInterfaceRecord loaded(const QByteArray &ini)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("Config.ini"), ini);
    TInterfaceRecord record;
    record.CreateFonts();
    record.LoadInterfaceEnv(dir.path());
    return record;
}

bool isDefault(const TInterfaceRecord &r)
{
    TInterfaceRecord defaults;
    defaults.CreateFonts();
    defaults.SetDefaults();
    for (int i = 0; i < kSlotCount; ++i) {
        const Slot s = Slot(i);
        if (r.font(s)->Size != defaults.font(s)->Size ||
            r.font(s)->Color != defaults.font(s)->Color || r.rColor(s) != defaults.rColor(s) ||
            r.eColor(s) != defaults.eColor(s))
            return false;
    }
    return true;
}

void verifyCheckBoxFollowsLabel(const TInterfaceRecord &r)
{
    QCOMPARE(r.font(Slot::CheckBox)->Size, r.font(Slot::Label)->Size);
    QCOMPARE(r.font(Slot::CheckBox)->Color, r.font(Slot::Label)->Color);
    QCOMPARE(r.rColor(Slot::CheckBox), r.rColor(Slot::Label));
    QCOMPARE(r.eColor(Slot::CheckBox), r.eColor(Slot::Label));
}

// The keys whose values are read back one at a time.
enum class Key { LabelFontSize, GridFontSize, EditFontSize, DBEditRColor };

QByteArray keyName(Key key)
{
    switch (key) {
    case Key::LabelFontSize:
        return "LabelFontSize";
    case Key::GridFontSize:
        return "GridFontSize";
    case Key::EditFontSize:
        return "EditFontSize";
    case Key::DBEditRColor:
        return "DBEditRColor";
    }
    return {};
}

// The value `key` gave, as the record holds it; the label size is read
// through the check boxes, which follow the labels.
quint32 readBack(const TInterfaceRecord &r, Key key)
{
    switch (key) {
    case Key::LabelFontSize:
        return quint32(r.font(Slot::CheckBox)->Size);
    case Key::GridFontSize:
        return quint32(r.font(Slot::Grid)->Size);
    case Key::EditFontSize:
        return quint32(r.font(Slot::Edit)->Size);
    case Key::DBEditRColor:
        return r.GetReadOnlyColor();
    }
    return 0;
}

} // namespace

class TestInterfaceEnv : public QObject {
    Q_OBJECT

private slots:
    void defaults()
    {
        TInterfaceRecord record;
        QVERIFY(record.font(Slot::Form) == nullptr);
        QCOMPARE(record.rColor(Slot::Grid), 0u);
        record.CreateFonts();
        record.SetDefaults();
        for (int i = 0; i < kSlotCount; ++i) {
            QCOMPARE(record.font(Slot(i))->Size, 8);
            QCOMPARE(record.font(Slot(i))->Color, clWindowText);
        }
        QCOMPARE(record.rColor(Slot::Panel), clBtnFace);
        QCOMPARE(record.rColor(Slot::Grid), clInfoBk);
        QCOMPARE(record.eColor(Slot::Edit), clWindow);
        QCOMPARE(record.eColor(Slot::CheckBox), clBtnFace);
        QCOMPARE(record.GetReadOnlyColor(), clInfoBk);
        QCOMPARE(record.GetEditableColor(), clWindow);
    }

    void completeFileLoadsEveryKey()
    {
        const TInterfaceRecord r = loaded(iniText(completeSettings()));
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(r.font(Slot(i))->Size, 10 + i);
            QCOMPARE(r.font(Slot(i))->Color, TColor(i));
            QCOMPARE(r.rColor(Slot(i)), TColor(0x100 + i));
            QCOMPARE(r.eColor(Slot(i)), TColor(0x200 + i));
        }
        verifyCheckBoxFollowsLabel(r);
        QCOMPARE(r.GetReadOnlyColor(), TColor(0x107));
        QCOMPARE(r.GetEditableColor(), TColor(0x207));
    }

    // One key changed in an otherwise complete file to what is no setting,
    // or left out: every value falls back to its default.
    void oneFaultyKey_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<std::optional<QByteArray>>("value"); // none: the key is left out
        auto row = [](const char *name, const char *key, std::optional<QByteArray> value) {
            QTest::newRow(name) << QByteArray(key) << value;
        };
        row("FormFontSize missing", "FormFontSize", std::nullopt);
        row("FormFontColor no colour name", "FormFontColor", "clNoSuchColour");
        row("FormEColor empty", "FormEColor", "");
        row("DBEditRColor over-long hex", "DBEditRColor", "$1FF000018");
        row("DBEditRColor decimal beyond 32 bits", "DBEditRColor", "4278190104");
        row("DBEditRColor name with inner blank", "DBEditRColor", "cl InfoBk");
        row("DBEditRColor lone marker", "DBEditRColor", "$");
        row("DBEditRColor 0x without digits", "DBEditRColor", "0x");
        row("DBEditRColor hex letter beyond f", "DBEditRColor", "$FG");
        row("GridFontSize 9pt", "GridFontSize", "9pt");
        row("GridFontSize 9.5", "GridFontSize", "9.5");
        row("GridFontSize inner blank", "GridFontSize", "9 5");
        row("GridFontSize lone sign", "GridFontSize", "-");
        row("GridFontSize beyond int32", "GridFontSize", "2147483648");
    }

    void oneFaultyKey()
    {
        QFETCH(QByteArray, key);
        QFETCH(std::optional<QByteArray>, value);
        auto keys = completeSettings();
        if (value)
            keys[key] = *value;
        else
            keys.remove(key);
        const TInterfaceRecord r = loaded(iniText(keys));
        verifyCheckBoxFollowsLabel(r);
        QVERIFY(isDefault(r));
    }

    // One key changed in an otherwise complete file to a value in one of the
    // forms a health worker may type: that value is read, as stored (a
    // negative size as its 32 bits).
    void oneKeyRead_data()
    {
        QTest::addColumn<Key>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<quint32>("expected");
        auto row = [](const char *name, Key key, const char *value, quint32 expected) {
            QTest::newRow(name) << key << QByteArray(value) << expected;
        };
        row("LabelFontSize with blanks", Key::LabelFontSize, "  12\t", 12);
        row("LabelFontSize with control characters", Key::LabelFontSize, "\x01\x02 12 \x1f", 12);
        row("DBEditRColor clinfobk", Key::DBEditRColor, "clinfobk", 0xff000018);
        row("DBEditRColor CLINFOBK", Key::DBEditRColor, "CLINFOBK", 0xff000018);
        row("DBEditRColor $FF000018", Key::DBEditRColor, "$FF000018", 0xff000018);
        row("DBEditRColor -16777192", Key::DBEditRColor, "-16777192", 0xff000018);
        row("DBEditRColor 0xff000018", Key::DBEditRColor, "0xff000018", 0xff000018);
        row("DBEditRColor X marker", Key::DBEditRColor, "XFF000018", 0xff000018);
        row("DBEditRColor x marker with plus", Key::DBEditRColor, "+xff000018", 0xff000018);
        row("DBEditRColor 255 is red", Key::DBEditRColor, "255", 0xff);
        row("DBEditRColor minus hex negates", Key::DBEditRColor, "-$10", 0xfffffff0);
        row("DBEditRColor leading zeros in hex", Key::DBEditRColor, "$000000000018", 0x18);
        row("DBEditRColor clNone", Key::DBEditRColor, "clNone", 0x1fffffff);
        row("DBEditRColor clDefault", Key::DBEditRColor, "cldefault", 0x20000000);
        row("DBEditRColor cl3DDkShadow", Key::DBEditRColor, "cl3DDkShadow", 0xff000015);
        row("GridFontSize int32 max", Key::GridFontSize, "2147483647", 0x7fffffff);
        row("GridFontSize int32 min", Key::GridFontSize, "-2147483648", 0x80000000);
        row("EditFontSize 0 kept", Key::EditFontSize, "0", 0);
        row("EditFontSize -3 kept", Key::EditFontSize, "-3", 0xfffffffd);
        row("EditFontSize hex", Key::EditFontSize, "$C", 12);
    }

    void oneKeyRead()
    {
        QFETCH(Key, key);
        QFETCH(QByteArray, value);
        QFETCH(quint32, expected);
        auto keys = completeSettings();
        keys[keyName(key)] = value;
        const TInterfaceRecord r = loaded(iniText(keys));
        verifyCheckBoxFollowsLabel(r);
        QVERIFY(!isDefault(r));
        QCOMPARE(readBack(r, key), expected);
    }

    void fileForms_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("loads");
        QByteArray complete = iniText(completeSettings());
        QTest::newRow("section and keys in another case")
            << QByteArray(complete)
                   .replace("[InterfaceEnv]", "[interfaceENV]")
                   .replace("LabelFontSize", "LABELFONTSIZE")
            << true;
        QTest::newRow("byte order mark and CRLF")
            << "\xef\xbb\xbf" + QByteArray(complete).replace("\n", "\r\n") << true;
        QTest::newRow("blanks around the equals sign")
            << QByteArray(complete).replace("=", " = ") << true;
        QTest::newRow("another section name") << iniText(completeSettings(), "Interface") << false;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("binary bytes") << QByteArray("\x00\xff\xfe[\x01=\x02\n", 9) << false;
    }

    void fileForms()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, loads);
        const TInterfaceRecord r = loaded(ini);
        QCOMPARE(!isDefault(r), loads);
        verifyCheckBoxFollowsLabel(r);
    }

    // Config.ini as administrators write it, read as a Windows program
    // reads its settings. The complete file has LabelFontSize 14.
    void writtenAsPeopleWriteIt_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("labelSize"); // 8: every value fell back to its default
        const QByteArray complete = iniText(completeSettings());
        auto withLabel = [&complete](const QByteArray &line) {
            return QByteArray(complete).replace("LabelFontSize=14", line);
        };
        QTest::newRow("indented keys")
            << QByteArray(complete).replace("\n", "\n    ").replace("\n    [", "\n[") << 14;
        QTest::newRow("tab-indented section and keys")
            << "\t" + QByteArray(complete).replace("\n", "\n\t") << 14;
        QTest::newRow("a long line in another section")
            << "[Notes]\nText=" + QByteArray(20000, 'x') + "\n" + complete << 14;
        QTest::newRow("a long line after the settings")
            << complete + "[Notes]\nText=" + QByteArray(20000, 'x') + "\n"
            << 14;
        QTest::newRow("a key written twice: the first counts")
            << withLabel("LabelFontSize=12\nLabelFontSize=16") << 12;
        QTest::newRow("a malformed first of two keys")
            << withLabel("LabelFontSize=9pt\nLabelFontSize=12") << 8;
        QTest::newRow("a second InterfaceEnv section is not read")
            << complete + "[InterfaceEnv]\nLabelFontSize=16\n"
            << 14;
        QTest::newRow("value in double quotes") << withLabel("LabelFontSize=\"12\"") << 12;
        QTest::newRow("value in double quotes with blanks")
            << withLabel("LabelFontSize = \" 12 \" ") << 12;
        QTest::newRow("value in single quotes") << withLabel("LabelFontSize='12'") << 12;
        QTest::newRow("an unmatched quote is part of the value")
            << withLabel("LabelFontSize=\"12") << 8;
        QTest::newRow("comment lines between the keys")
            << QByteArray(complete).replace("\n", "\n; a comment\n") << 14;
        QTest::newRow("blanks inside the section brackets")
            << QByteArray(complete).replace("[InterfaceEnv]", "[ InterfaceEnv ]") << 14;
        QTest::newRow("key missing: every default") << withLabel("") << 8;
    }

    void writtenAsPeopleWriteIt()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, labelSize);
        const TInterfaceRecord r = loaded(ini);
        QCOMPARE(r.font(Slot::Label)->Size, labelSize);
        verifyCheckBoxFollowsLabel(r);
        QCOMPARE(isDefault(r), labelSize == 8);
    }

    void missingFileGivesDefaults()
    {
        QTemporaryDir dir;
        TInterfaceRecord record;
        record.CreateFonts();
        QVERIFY(record.LoadInterfaceEnv(dir.path()));
        QVERIFY(isDefault(record));
    }

    // A second load starts from the defaults again: nothing of the first
    // survives a faulty second file.
    void failedLoadForgetsEarlierValues()
    {
        QTemporaryDir dir;
        TInterfaceRecord record;
        record.CreateFonts();
        writeFile(dir.filePath("Config.ini"), iniText(completeSettings()));
        record.LoadInterfaceEnv(dir.path());
        QVERIFY(!isDefault(record));
        auto keys = completeSettings();
        keys["PanelRColor"] = "clNothing";
        writeFile(dir.filePath("Config.ini"), iniText(keys));
        record.LoadInterfaceEnv(dir.path());
        QVERIFY(isDefault(record));
    }

    // Only the program's own folder counts, never the working folder.
    void programFolderNotWorkingFolder()
    {
        QTemporaryDir work;
        QVERIFY(writeFile(work.filePath("Config.ini"), iniText(completeSettings())));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(work.path());
        const QString besideProgram =
            QDir(QCoreApplication::applicationDirPath()).filePath("Config.ini");
        QFile::remove(besideProgram);

        TInterfaceRecord record;
        record.CreateFonts();
        record.LoadInterfaceEnv();
        const bool ignoredInWorkingFolder = isDefault(record);

        QVERIFY(writeFile(besideProgram, iniText(completeSettings())));
        record.LoadInterfaceEnv();
        const bool readBesideProgram = !isDefault(record);
        QFile::remove(besideProgram);
        QDir::setCurrent(previous);

        QVERIFY(ignoredInWorkingFolder);
        QVERIFY(readBesideProgram);
    }

    // The example shipped beside the program holds all 36 keys, each valid:
    // changing one value shows that none of the others made the load fail.
    // Its second section chooses the database edition on SQLite.
    void exampleFileIsComplete()
    {
        QFile example(QStringLiteral(TIZHI_SOURCE_DIR "/Config.ini.example"));
        QVERIFY(example.open(QIODevice::ReadOnly));
        QByteArray text = example.readAll();
        QCOMPARE(text.count("\n["), 2);
        QVERIFY(text.contains("\n[Database]\nDriver=sqlite\n"));
        QVERIFY(text.contains("LabelFontSize=8\n"));
        const TInterfaceRecord r = loaded(text.replace("LabelFontSize=8\n", "LabelFontSize=11\n"));
        QCOMPARE(r.font(Slot::Label)->Size, 11);
        QCOMPARE(r.font(Slot::CheckBox)->Size, 11);
        QCOMPARE(r.GetReadOnlyColor(), clInfoBk);
    }

    void allColourNamesRead()
    {
        QCOMPARE(int(kColorNames.size()), 52);
        for (const ColorName &entry : kColorNames) {
            QCOMPARE(parseSettingColor(entry.name), std::optional<TColor>(entry.value));
            QByteArray upper =
                QByteArray(entry.name.data(), qsizetype(entry.name.size())).toUpper();
            QCOMPARE(parseSettingColor(upper.toStdString()), std::optional<TColor>(entry.value));
        }
        QCOMPARE(parseSettingColor("clMoneyGreen"), std::optional<TColor>(0xC0DCC0));
        QCOMPARE(parseSettingColor("clBlue"), std::optional<TColor>(0xFF0000));
    }
};

TIZHI_REGISTER_TEST(TestInterfaceEnv);

#include "tst_interface_env.moc"
