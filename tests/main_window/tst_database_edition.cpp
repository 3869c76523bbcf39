// The main window in the database edition, on a real engine (a SQLite file,
// or PostgreSQL under pg_virtualenv): clients inserted, checked, edited,
// cancelled, deleted, navigated and found through the window's own
// commands; look-ups storing codes; the unsaved-changes question; a save
// refused because another workstation saved first; databases that cannot
// be opened; and no database chosen leaving the edition that keeps nothing.
#include "test_registry.h"

#include "db_window.h"

#include "control_access.h"
#include "control_kinds.h"
#include "database.h"
#include "database_edition.h"
#include "edition.h"
#include "modal.h"
#include "record_page_binding.h"
#include "record_table.h"
#include "test_database.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QAbstractButton>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStyledItemDelegate>
#include <QTest>

#include <unistd.h>

#include <deque>

using namespace tizhi;
using namespace tizhi::test;

class TestDatabaseEdition : public QObject {
    Q_OBJECT

    TestDatabase databases_;

    void addClient(DbWindow &w, const Client &client)
    {
        w.command("actCBINew");
        w.fill(client);
        w.command("actCBISave");
    }

private slots:
    void init() { qApp->setActiveWindow(nullptr); }

    void noDatabaseKeepsTheEditionThatKeepsNothing()
    {
        DbWindow w(std::nullopt);
        QVERIFY(!w.edition());
        for (const char *name : {"actCBINew", "actCBISave", "actFind", "actMDRNew", "actCRNew",
                                 "actCMH33New", "actCMHSave", "actCMH33Print", "actCMHPrint",
                                 "actMDRPrint", "actClearReportTempFile"}) {
            auto *action = w.window->findChild<QAction *>(QLatin1String(name));
            QVERIFY2(action && !action->isEnabled(), name);
        }
        QCOMPARE(w.listed(), 0);
        auto *setUp = w.window->findChild<QAction *>("actCMHPrintSet");
        QVERIFY(setUp && !setUp->isVisible());
    }

    void insertSavesCodesAndLists()
    {
        DbWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        MessageAnswerer answers;
        addClient(w, kZhang);
        QVERIFY2(answers.seen.isEmpty(), qPrintable(answers.seen.join('\n')));
        QCOMPARE(w.edition()->clients()->state(), RecordPageBinding::State::Browse);
        QCOMPARE(w.listed(), 1);
        const Database &db = w.edition()->database();
        // The look-up boxes store codes, the list shows names.
        QCOMPARE(stored(db, "SELECT V_IDENT_TYPE FROM client").toString(), QStringLiteral("01"));
        QCOMPARE(stored(db, "SELECT V_SEX FROM client").toString(), QStringLiteral("1"));
        QCOMPARE(stored(db, "SELECT V_NAME FROM client").toString(), QStringLiteral("张三"));
        auto *grid = w.find<TwwDBGrid>("grdCBIMaster");
        const int sexColumn = w.edition()->clients()->table()->column("V_SEX");
        const QString shown =
            qobject_cast<QStyledItemDelegate *>(grid->itemDelegateForColumn(sexColumn))
                ->displayText(grid->model()->index(0, sexColumn).data(), QLocale());
        QCOMPARE(shown, QStringLiteral("男性"));
        // The notice stands below the list instead of covering it, and says
        // where the records are kept.
        auto *notice = w.find<TRichEdit>("memAdvertising1");
        QVERIFY2(notice, qPrintable(w.missing()));
        w.window->pgcClient->setCurrentIndex(0);
        QVERIFY(notice->isVisible() && grid->isVisible());
        QVERIFY(notice->mapToGlobal(QPoint(0, 0)).y() >=
                grid->mapToGlobal(QPoint(0, grid->height())).y());
        QVERIFY2(notice->toPlainText().contains(w.edition()->database().location()),
                 qPrintable(notice->toPlainText()));
        // So do the test pages' help texts, in place of "nothing is saved".
        for (const char *scheme : {"edtCMH33ConSch", "edtCMHConvalesceScheme"}) {
            auto *box = w.find<TwwDBRichEdit>(QLatin1String(scheme));
            QVERIFY2(box, scheme);
            const QString help = box->toPlainText();
            QVERIFY2(help.contains(w.edition()->database().location()), qPrintable(help));
            QVERIFY2(!help.contains(QStringLiteral("不能保存数据")), qPrintable(help));
            QVERIFY2(help.contains(QStringLiteral("保存本页的测试")), qPrintable(help));
        }
    }

    void newRecordStartsEmptyAndKeepsRichTextAsRtf()
    {
        DbWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        w.command("actCBINew");
        auto *remark = w.find<TwwDBRichEdit>("edtRemark");
        auto *birthday = w.find<TwwDBDateTimePicker>("edtBirthday");
        QVERIFY2(remark && birthday, qPrintable(w.missing()));
        QCOMPARE(remark->toPlainText(), QString()); // not the "*" of the other edition
        QCOMPARE(birthday->text().trimmed(), QString());
        w.fill(kZhang);
        remark->setFocus();
        enter(remark, Entry::InputMethod, QStringLiteral("高血压病史"));
        w.command("actCBISave");
        const Database &db = w.edition()->database();
        QVERIFY(stored(db, "SELECT T_BIRTHDAY FROM client").isNull());
        const QString rtf = stored(db, "SELECT V_REMARK FROM client").toString();
        QVERIFY2(rtf.startsWith(QStringLiteral("{\\rtf")), qPrintable(rtf));
        QCOMPARE(remark->toPlainText(), QStringLiteral("高血压病史"));
        // Shown again from what was stored.
        w.command("actCBIRefresh");
        QCOMPARE(remark->toPlainText(), QStringLiteral("高血压病史"));
    }

    void textPastItsSizeIsNamed()
    {
        DbWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        MessageAnswerer answers;
        w.command("actCBINew");
        w.fill(kZhang);
        w.type("edtPhone", QString(33, u'1'));
        w.command("actCBISave");
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY2(answers.seen[0].contains(QStringLiteral("联络电话")) &&
                     answers.seen[0].contains("32"),
                 qPrintable(answers.seen[0]));
        QCOMPARE(w.edition()->clients()->state(), RecordPageBinding::State::Insert);
    }

    void saveChecks_data()
    {
        QTest::addColumn<QString>("identNo");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cardNo");
        QTest::addColumn<bool>("duplicate"); // another client has the number
        QTest::addColumn<QString>("named");
        QTest::newRow("name missing") << "11010519491231002X"
                                      << ""
                                      << "K" << false << "客户姓名";
        QTest::newRow("card number missing") << "11010519491231002X"
                                             << "王"
                                             << "" << false << "信息卡号";
        QTest::newRow("wrong check character") << "110105194912310021"
                                               << "王"
                                               << "K" << false << "110105194912310021";
        QTest::newRow("identity number taken") << "11010519491231002X"
                                               << "王"
                                               << "K" << true << "已属于另一位客户";
    }

    void saveChecks()
    {
        QFETCH(QString, identNo);
        QFETCH(QString, name);
        QFETCH(QString, cardNo);
        QFETCH(bool, duplicate);
        QFETCH(QString, named);
        DbWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        if (duplicate)
            addClient(w, kZhang);
        MessageAnswerer answers;
        w.command("actCBINew");
        w.pick("edtIdentType", "居民身份证");
        w.pick("edtSex", "女性");
        w.type("edtIdentNo", identNo);
        w.type("edtName", name);
        w.type("edtCardNo", cardNo);
        w.command("actCBISave");
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY2(answers.seen[0].contains(named), qPrintable(answers.seen[0]));
        // Nothing saved, everything typed still there, still inserting.
        QCOMPARE(w.edition()->clients()->state(), RecordPageBinding::State::Insert);
        QCOMPARE(w.textOf<TwwDBEdit>("edtIdentNo"), identNo);
        QCOMPARE(w.textOf<TwwDBEdit>("edtName"), name);
        QCOMPARE(stored(w.edition()->database(), "SELECT COUNT(*) FROM client").toInt(),
                 duplicate ? 1 : 0);
    }

    void editCancelAndDelete()
    {
        DbWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        MessageAnswerer answers({"Yes"});
        addClient(w, kZhang);
        addClient(w, kLi);
        QCOMPARE(w.listed(), 2);
        // Newest first: 李四 is current.
        QCOMPARE(w.textOf<TwwDBEdit>("edtName"), QStringLiteral("李四"));
        w.command("actCBIEdit");
        w.type("edtName", "李四四");
        w.command("actCBICancel");
        QCOMPARE(w.textOf<TwwDBEdit>("edtName"), QStringLiteral("李四"));
        w.command("actCBIEdit");
        w.type("edtPhone", "13800000000");
        w.command("actCBISave");
        const Database &db = w.edition()->database();
        QCOMPARE(stored(db, "SELECT I_VERSION FROM client WHERE V_NAME = '李四'").toInt(), 2);
        QCOMPARE(stored(db, "SELECT V_PHONE FROM client WHERE V_NAME = '李四'").toString(),
                 QStringLiteral("13800000000"));
        w.command("actCBIDelete");
        QVERIFY2(answers.seen.size() == 1 && answers.seen[0].contains(QStringLiteral("李四")),
                 qPrintable(answers.seen.join('\n')));
        QCOMPARE(w.listed(), 1);
        QCOMPARE(w.textOf<TwwDBEdit>("edtName"), QStringLiteral("张三"));
    }

    void unsavedChangesQuestion_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("shownName");  // after moving on
        QTest::addColumn<QString>("storedName"); // of the newest client
        QTest::newRow("保存: saved, moved on") << "保存"
                                               << "张三"
                                               << "李四改";
        QTest::newRow("放弃: discarded, moved on") << "放弃"
                                                   << "张三"
                                                   << "李四";
        QTest::newRow("取消: stays with the change") << "取消"
                                                     << "李四改"
                                                     << "李四";
    }

    void unsavedChangesQuestion()
    {
        QFETCH(QString, answer);
        QFETCH(QString, shownName);
        QFETCH(QString, storedName);
        DbWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        addClient(w, kZhang);
        addClient(w, kLi);
        w.command("actCBIEdit");
        w.type("edtName", "李四改");
        MessageAnswerer answers({answer});
        auto *next = w.find<TSpeedButton>("navCBIButton4");
        QVERIFY2(next, qPrintable(w.missing()));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(answers.seen.size(), 1);
        QCOMPARE(w.textOf<TwwDBEdit>("edtName"), shownName);
        QCOMPARE(stored(w.edition()->database(), "SELECT V_NAME FROM client ORDER BY ID DESC")
                     .toString(),
                 storedName);
    }

    void movingOnFromANewRecordReachesTheRecordAsked()
    {
        DbWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        addClient(w, kZhang);
        addClient(w, kLi);
        w.command("actCBINew");
        w.type("edtName", "新客户");
        // The new record stands first; "next" is the newest saved client,
        // whose row moves up when the new one is discarded.
        MessageAnswerer answers({"放弃"});
        auto *next = w.find<TSpeedButton>("navCBIButton4");
        QVERIFY2(next, qPrintable(w.missing()));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(answers.seen.size(), 1);
        QCOMPARE(w.textOf<TwwDBEdit>("edtName"), QStringLiteral("李四"));
        QCOMPARE(w.listed(), 2);
    }

    void leavingThePageOrTheWindowAsks()
    {
        const DatabaseSettings settings = databases_.fresh();
        DbWindow w(settings);
        QVERIFY2(w.edition(), "the database did not open");
        addClient(w, kZhang);
        w.window->pgcClient->setCurrentIndex(0);
        w.command("actCBIEdit");
        w.type("edtPhone", "333");
        MessageAnswerer answers({"取消", "取消", "放弃"});
        w.window->pgcClient->setCurrentIndex(2); // stays: 取消
        QCOMPARE(w.window->pgcClient->currentIndex(), 0);
        QVERIFY(!w.window->close()); // stays: 取消
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.textOf<TwwDBEdit>("edtPhone"), QStringLiteral("333"));
        QVERIFY(w.window->close()); // 放弃
        QCOMPARE(answers.seen.size(), 3);
        Database look(settings);
        QVERIFY(look.open().isEmpty());
        QVERIFY(stored(look, "SELECT V_PHONE FROM client").isNull());
    }

    void findGoesOnToTheNextMatch()
    {
        DbWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        addClient(w, kZhang);
        addClient(w, {"护照", "E7654321", "男性", "张小明", "K-003"});
        addClient(w, kLi);
        QStringList shown;
        for (int i = 0; i < 2; ++i) {
            whenModal([](QWidget *dialog) {
                auto *input = qobject_cast<QInputDialog *>(dialog);
                if (!input)
                    return;
                input->setTextValue(QStringLiteral("张"));
                input->accept();
            });
            w.command("actFind");
            shown << w.textOf<TwwDBEdit>("edtName");
        }
        QCOMPARE(shown, QStringList({"张小明", "张三"}));
    }

    void conflictKeepsTheUsersValues()
    {
        const DatabaseSettings settings = databases_.fresh();
        DbWindow w(settings);
        QVERIFY2(w.edition(), "the database did not open");
        addClient(w, kZhang);
        w.command("actCBIEdit");
        w.type("edtPhone", "111");
        {
            // Another workstation saves the same client meanwhile.
            Database other(settings);
            QVERIFY(other.open().isEmpty());
            QVERIFY(QSqlQuery(other.connection())
                        .exec("UPDATE client SET V_PHONE = '999', I_VERSION = I_VERSION + 1"));
        }
        MessageAnswerer answers;
        w.command("actCBISave");
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY2(answers.seen[0].contains(QStringLiteral("其他工作站")),
                 qPrintable(answers.seen[0]));
        QCOMPARE(w.edition()->clients()->state(), RecordPageBinding::State::Edit);
        QCOMPARE(w.textOf<TwwDBEdit>("edtPhone"), QStringLiteral("111"));
        QCOMPARE(stored(w.edition()->database(), "SELECT V_PHONE FROM client").toString(),
                 QStringLiteral("999"));
    }

    void clientWithDetailsIsNotDeleted()
    {
        DbWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        addClient(w, kZhang);
        w.command("actInsertMD");
        QCOMPARE(w.window->pgcClient->currentIndex(), 3);
        QCOMPARE(w.textOf<TwwDBEdit>("edtMDRName"), QStringLiteral("张三"));
        QCOMPARE(w.textOf<TwwDBEdit>("edtMDRIdentNo"), QStringLiteral("11010519491231002X"));
        auto *fixedName = w.find<TwwDBEdit>("edtMDRName");
        QVERIFY2(fixedName && fixedName->isReadOnly(), "the client's name can be typed over");
        w.type("edtMDRDoctor", "刘医生");
        w.command("actMDRSave");
        auto *details = w.find<TwwDBGrid>("grdMDRMaster");
        QVERIFY2(details, qPrintable(w.missing()));
        QCOMPARE(details->rowCount(), 1);
        const int timeColumn = w.edition()->diagnoses()->table()->column("T_TREAT_TIME");
        // The list shows the time as the picker does.
        auto *timeDelegate =
            qobject_cast<QStyledItemDelegate *>(details->itemDelegateForColumn(timeColumn));
        auto *picker = w.find<TwwDBDateTimePicker>("edtMDRTreatTime");
        QVERIFY2(timeDelegate && picker, qPrintable(w.missing()));
        QCOMPARE(
            timeDelegate->displayText(details->model()->index(0, timeColumn).data(), QLocale()),
            picker->text());
        MessageAnswerer answers;
        w.command("actCBIDelete");
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY2(answers.seen[0].contains(QStringLiteral("1 条诊疗记录")),
                 qPrintable(answers.seen[0]));
        QCOMPARE(stored(w.edition()->database(), "SELECT COUNT(*) FROM client").toInt(), 1);
    }

    void serverStoppedAndStartedAgain()
    {
        if (!TestDatabase::postgres())
            QSKIP("a server to stop");
        DbWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        addClient(w, kZhang);
        w.command("actCBIEdit");
        w.type("edtPhone", "222");
        const QString version = qEnvironmentVariable("PGVERSION");
        QCOMPARE(QProcess::execute("pg_ctlcluster", {version, "regress", "stop"}), 0);
        MessageAnswerer answers;
        w.command("actCBISave");
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY2(answers.seen[0].contains(QStringLiteral("保存失败")), qPrintable(answers.seen[0]));
        QCOMPARE(w.edition()->clients()->state(), RecordPageBinding::State::Edit);
        QCOMPARE(w.textOf<TwwDBEdit>("edtPhone"), QStringLiteral("222"));
        QCOMPARE(QProcess::execute("pg_ctlcluster", {version, "regress", "start"}), 0);
        w.command("actCBISave");
        QCOMPARE(answers.seen.size(), 1); // no second message
        QCOMPARE(w.edition()->clients()->state(), RecordPageBinding::State::Browse);
        QCOMPARE(stored(w.edition()->database(), "SELECT V_PHONE FROM client").toString(),
                 QStringLiteral("222"));
    }

    void databaseThatCannotBeOpened_data()
    {
        QTest::addColumn<QByteArray>("content"); // of the SQLite file
        QTest::addColumn<QString>("named");
        QTest::newRow("not a database") << QByteArray(4096, 'x') << "损坏";
        QTest::newRow("newer schema") << QByteArray() << "比本程序认识的版本";
    }

    void databaseThatCannotBeOpened()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, named);
        if (TestDatabase::postgres())
            QSKIP("SQLite files; the server's refusals are in the data layer's tests");
        const DatabaseSettings settings = databases_.fresh();
        if (content.isEmpty()) {
            Database newer(settings);
            QVERIFY(newer.open().isEmpty());
            QVERIFY(QSqlQuery(newer.connection()).exec("UPDATE schema_version SET I_VERSION = 7"));
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(settings.name).path()));
            QFile file(settings.name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        MessageAnswerer answers;
        DbWindow w(settings);
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY2(answers.seen[0].contains(named), qPrintable(answers.seen[0]));
        QVERIFY(!w.edition());
        auto *insert = w.window->findChild<QAction *>("actCBINew");
        QVERIFY(insert && !insert->isEnabled());
    }

    void readOnlySqliteFile_data()
    {
        QTest::addColumn<bool>("folder"); // the folder read-only, not the file
        QTest::newRow("file") << false;
        QTest::newRow("folder") << true;
    }

    void readOnlySqliteFile()
    {
        QFETCH(bool, folder);
        if (TestDatabase::postgres())
            QSKIP("SQLite files");
        const DatabaseSettings settings = databases_.fresh();
        QVERIFY(Database(settings).open().isEmpty());
        const QString dir = QFileInfo(settings.name).path();
        // The rights are taken from the program's effective user: as root,
        // the window is opened as nobody, who may read but not write.
        const auto world = QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                           QFileDevice::ReadOther | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                           QFileDevice::ExeOther;
        QVERIFY(QFile::setPermissions(databases_.folder(), world | QFileDevice::WriteOwner));
        QVERIFY(QFile::setPermissions(
            dir, folder ? world : world | QFileDevice::WriteOwner | QFileDevice::WriteOther));
        const auto file = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        QVERIFY(QFile::setPermissions(settings.name, folder ? file | QFileDevice::WriteOwner |
                                                                  QFileDevice::WriteOther
                                                            : file));
        const bool root = ::geteuid() == 0;
        if (root) {
            QCOMPARE(::setegid(65534), 0);
            QCOMPARE(::seteuid(65534), 0);
        }
        MessageAnswerer answers;
        DbWindow w(settings);
        if (root) {
            QCOMPARE(::seteuid(0), 0);
            QCOMPARE(::setegid(0), 0);
        }
        QFile::setPermissions(dir, world | QFileDevice::WriteOwner);
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY2(answers.seen[0].contains(QStringLiteral("只读")), qPrintable(answers.seen[0]));
        QVERIFY2(answers.seen[0].contains(folder ? dir : settings.name),
                 qPrintable(answers.seen[0]));
        QVERIFY(!w.edition());
    }

    void lockedSqliteFileIsReportedOnSave()
    {
        if (TestDatabase::postgres())
            QSKIP("a lock of the SQLite engine's file");
        const DatabaseSettings settings = databases_.fresh();
        DbWindow w(settings);
        QVERIFY2(w.edition(), "the database did not open");
        Database other(settings);
        QVERIFY(other.open().isEmpty());
        QSqlQuery lock(other.connection());
        QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        w.command("actCBINew");
        w.fill(kLi);
        MessageAnswerer answers;
        w.command("actCBISave");
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY2(answers.seen[0].contains(QStringLiteral("锁定")), qPrintable(answers.seen[0]));
        QCOMPARE(w.edition()->clients()->state(), RecordPageBinding::State::Insert);
        QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        w.command("actCBISave");
        QCOMPARE(answers.seen.size(), 1);
        QCOMPARE(stored(other, "SELECT V_NAME FROM client").toString(), QStringLiteral("李四"));
    }
};

TIZHI_REGISTER_TEST(TestDatabaseEdition);

#include "tst_database_edition.moc"
