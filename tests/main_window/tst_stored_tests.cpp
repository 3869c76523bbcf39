// The two test pages in the database edition, on a real engine: a whole
// test of each form stored and shown again in a new window, edited and
// saved, guarded on every way out, saved before any client was chosen
// (attached, made, refused), refused over a change from another
// workstation, and each page keeping a test of its own.
#include "test_registry.h"

#include "db_window.h"
#include "record_page_binding.h"
#include "record_table.h"
#include "test_database.h"
#include "test_records.h"

#include "form_printing.h"

#include <QHeaderView>
#include <QInputDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

using namespace tizhi;
using namespace tizhi::test;

namespace {

enum class Form { Q33, Q66 };

QString pinyin(const ConstitutionType &type)
{
    return QString::fromLatin1(type.pinyin.data(), qsizetype(type.pinyin.size()));
}

// Every control of a test page that shows the test, by name.
QStringList shownControls(Form form)
{
    QStringList names;
    const QString page = form == Form::Q33 ? QStringLiteral("CMH33") : QStringLiteral("CMH");
    for (const char *header : {"Name", "IdentNo", "Doctor", "Site"})
        names << QStringLiteral("edt%1%2").arg(page, QLatin1String(header));
    if (form == Form::Q33)
        for (int n = 1; n <= kQuestionCount33; ++n)
            names << QStringLiteral("edtOriginal%1").arg(n, 2, 10, QLatin1Char('0'));
    for (const ConstitutionType &type : kTypes) {
        const QStringList parts = form == Form::Q33 ? QStringList{"Con", "Result"}
                                                    : QStringList{"Field", "Org", "Con", "Result"};
        for (const QString &part : parts)
            names << QStringLiteral("edt%1%2%3").arg(page, pinyin(type), part);
    }
    if (form == Form::Q66)
        names << "edtCMHConTotal"
              << "edtCMHResultTotal";
    return names;
}

struct TestWindow : DbWindow {
    using DbWindow::DbWindow;

    QString text(const QString &name) const
    {
        QWidget *widget = find(name);
        if (auto *lookup = qobject_cast<TwwDBLookupCombo *>(widget))
            return lookup->text();
        if (auto *edit = qobject_cast<TwwDBEdit *>(widget))
            return edit->text();
        if (auto *box = qobject_cast<TEdit *>(widget))
            return box->text();
        return noControl(name);
    }

    // name=text for every control that shows the page's test.
    QStringList shown(Form form) const
    {
        QStringList texts;
        for (const QString &name : shownControls(form))
            texts << name + u'=' + text(name);
        const auto *time =
            find<TwwDBDateTimePicker>(form == Form::Q33 ? "edtCMH33TestTime" : "edtCMHTestTime");
        texts << (time ? time->dateTime().toString(Qt::ISODate) : noControl("time"));
        return texts;
    }

    // Types one digit per question, blank for none, leaving each box by Tab
    // as a health worker does.
    void answer33(const QByteArray &digits)
    {
        for (int n = 1; n <= kQuestionCount33; ++n) {
            auto *box =
                find<TEdit>(QStringLiteral("edtOriginal%1").arg(n, 2, 10, QLatin1Char('0')));
            QVERIFY2(box, qPrintable(missing()));
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Backspace);
            if (digits.at(n - 1) != ' ')
                QTest::keyClicks(box, QString(QChar(digits.at(n - 1))));
            QTest::keyClick(box, Qt::Key_Tab);
        }
    }

    void answer66(const QList<QByteArray> &itemStrings)
    {
        for (const ConstitutionType &type : kTypes) {
            auto *field = find<TwwDBEdit>(QStringLiteral("edtCMH%1Field").arg(pinyin(type)));
            QVERIFY2(field, qPrintable(missing()));
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, QString::fromLatin1(itemStrings[type.code - 1]));
            QTest::keyClick(field, Qt::Key_Tab);
        }
    }

    void answer(Form form)
    {
        if (form == Form::Q33)
            answer33("123451234512345123451234512345123");
        else
            answer66({"1;2;3;4;5;1;2;", "2;3;4;5;1;2;3;4;", "3;4;5;1;2;3;4;5;", "4;5;1;2;3;4;5;1;",
                      "5;1;2;3;4;5;1;", "1;1;2;2;3;3;4;", "2;2;3;3;4;4;5;", "3;3;4;4;5;5;1;",
                      "4;4;5;5;1;1;2;3;"});
    }

    int page(Form form) const { return form == Form::Q33 ? 1 : 2; }
    // Chooses the newest client on the client page, as a click on the
    // navigator's first button does.
    void chooseNewestClient()
    {
        auto *first = find<TSpeedButton>("navCBIButton1");
        QVERIFY2(first, qPrintable(missing()));
        QTest::mouseClick(first, Qt::LeftButton);
    }
    const char *prefix(Form form) const { return form == Form::Q33 ? "actCMH33" : "actCMH"; }
    void testCommand(Form form, const char *name)
    {
        command(qPrintable(QLatin1String(prefix(form)) + QLatin1String(name)));
    }
    RecordPageBinding *tests(Form form) const
    {
        return form == Form::Q33 ? edition()->tests33() : edition()->tests66();
    }
    int listedTests(Form form) const
    {
        const auto *grid = find<TwwDBGrid>(form == Form::Q33 ? "grdCMH33Master" : "grdCMHMaster");
        return grid ? grid->rowCount() : -1;
    }
};

void addClient(DbWindow &w, const Client &client)
{
    w.window->pgcClient->setCurrentIndex(0);
    w.command("actCBINew");
    w.fill(client);
    w.command("actCBISave");
}

int storedTests(const Database &db)
{
    return stored(db, "SELECT COUNT(*) FROM habitus_test").toInt();
}

} // namespace

class TestStoredTests : public QObject {
    Q_OBJECT

    TestDatabase databases_;

    void forms()
    {
        QTest::addColumn<Form>("form");
        QTest::newRow("33-item form") << Form::Q33;
        QTest::newRow("66-item form") << Form::Q66;
    }

    // A client with one stored test of `form`, made through the window.
    QStringList storeOneTest(TestWindow &w, Form form)
    {
        addClient(w, kZhang);
        w.command(form == Form::Q33 ? "actInsert33" : "actInsert66");
        w.find<TwwDBEdit>(form == Form::Q33 ? "edtCMH33Doctor" : "edtCMHDoctor")->setFocus();
        w.type(form == Form::Q33 ? "edtCMH33Doctor" : "edtCMHDoctor", "钱医生");
        w.answer(form);
        w.testCommand(form, "Save");
        return w.shown(form);
    }

private slots:
    void init() { qApp->setActiveWindow(nullptr); }

    void wholeTestShownAgainInANewWindow_data() { forms(); }
    void wholeTestShownAgainInANewWindow()
    {
        QFETCH(Form, form);
        const DatabaseSettings settings = databases_.fresh();
        QStringList before;
        {
            TestWindow w(settings);
            QVERIFY2(w.edition(), "the database did not open");
            before = storeOneTest(w, form);
            QCOMPARE(w.tests(form)->state(), RecordPageBinding::State::Browse);
            QCOMPARE(storedTests(w.edition()->database()), 1);
            QVERIFY(w.window->close());
        }
        TestWindow w(settings);
        QVERIFY2(w.edition(), "the database did not open");
        // At start no client is current: the test page is blank, ready.
        QCOMPARE(w.tests(form)->table()->recordCount(), 0);
        QCOMPARE(w.tests(form)->state(), RecordPageBinding::State::Insert);
        QCOMPARE(w.text(form == Form::Q33 ? "edtCMH33Name" : "edtCMHName"), QString());
        // The client chosen, its test stands on its page.
        w.chooseNewestClient();
        QCOMPARE(w.tests(form)->state(), RecordPageBinding::State::Browse);
        QCOMPARE(w.listedTests(form), 1);
        QCOMPARE(w.shown(form), before);
        // YangXu asks questions 11, 12, 13 and 29, answered 1, 2, 3 and 4.
        if (form == Form::Q33)
            QVERIFY2(before.contains(u"edtCMH33YangXuCon=10"_qs), qPrintable(before.join(u' ')));
    }

    void storedTestIsOnlyShownUntilEdit_data() { forms(); }
    void storedTestIsOnlyShownUntilEdit()
    {
        QFETCH(Form, form);
        const DatabaseSettings settings = databases_.fresh();
        TestWindow w(settings);
        QVERIFY2(w.edition(), "the database did not open");
        const QStringList saved = storeOneTest(w, form);
        w.window->pgcClient->setCurrentIndex(w.page(form));
        // Shown only: typing, the number buttons and recomputing change nothing.
        if (form == Form::Q33) {
            auto *button = w.find<TBitBtn>("btn_01_5");
            QVERIFY2(button, qPrintable(w.missing()));
            QTest::mouseClick(button, Qt::LeftButton);
            auto *box = w.find<TEdit>("edtOriginal02");
            box->setFocus();
            QTest::keyClicks(box, "5");
            QTest::keyClick(box, Qt::Key_Tab);
        } else {
            auto *field = w.find<TwwDBEdit>("edtCMHYangXuField");
            field->setFocus();
            QTest::keyClicks(field, "5;");
            QTest::keyClick(field, Qt::Key_Tab);
        }
        QCOMPARE(w.shown(form), saved);
        // Edit makes it answerable, with the usual recomputation.
        w.testCommand(form, "Edit");
        if (form == Form::Q33)
            w.answer33("555555555555555555555555555555555");
        else
            w.answer66(QList<QByteArray>(9, "5;5;5;5;5;5;5;5;"));
        const QStringList edited = w.shown(form);
        QVERIFY(edited != saved);
        w.testCommand(form, "Save");
        QCOMPARE(w.tests(form)->state(), RecordPageBinding::State::Browse);
        Database look(settings);
        QCOMPARE(look.open(), QString());
        QCOMPARE(stored(look, "SELECT N_YANGXU_CON FROM habitus_test").toString(),
                 w.text(form == Form::Q33 ? "edtCMH33YangXuCon" : "edtCMHYangXuCon"));
        QCOMPARE(stored(look, "SELECT I_VERSION FROM habitus_test").toInt(), 2);
        QCOMPARE(storedTests(look), 1);
    }

    void storedTestsQuestionnaireIsOnlyShown_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::newRow("stored test shown") << false;
        QTest::newRow("stored test being edited") << true;
    }
    void storedTestsQuestionnaireIsOnlyShown()
    {
        QFETCH(bool, editing);
        TestWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        storeOneTest(w, Form::Q66);
        w.window->pgcClient->setCurrentIndex(2);
        if (editing)
            w.command("actCMHEdit");
        auto *field = w.find<TwwDBEdit>("edtCMHYangXuField");
        QVERIFY2(field, qPrintable(w.missing()));
        const QString before = field->text();
        bool answerable = !editing;
        whenModal([&answerable](QWidget *modal) {
            const auto *box = modal->findChild<QWidget *>("edtOriginal1");
            answerable = box && box->isEnabled();
            // Answer the first question with 5 where that can be done.
            if (auto *five = modal->findChild<QAbstractButton *>("btnAlways1");
                five && five->isEnabled())
                five->click();
            if (auto *ok = modal->findChild<QAbstractButton *>("btnConfirm"))
                ok->click();
            else
                modal->close();
        });
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(answerable, editing);
        QCOMPARE(field->text() != before, editing);
    }

    void eachPageKeepsItsOwnTest()
    {
        TestWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        const QStringList page2 = w.shown(Form::Q66);
        w.window->pgcClient->setCurrentIndex(1);
        w.answer(Form::Q33);
        QCOMPARE(w.text("edtCMH33YangXuCon"), QStringLiteral("10"));
        // Page 2 still shows its own blank test.
        QCOMPARE(w.shown(Form::Q66), page2);
        QCOMPARE(w.text("edtCMHYangXuField"), QStringLiteral("0"));
    }

    void unsavedTestIsAskedAboutOnEveryWayOut_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("another test") << 0;
        QTest::newRow("another client (Find)") << 1;
        QTest::newRow("a record page") << 2;
        QTest::newRow("closing the window") << 3;
    }
    void unsavedTestIsAskedAboutOnEveryWayOut()
    {
        QFETCH(int, way);
        TestWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        addClient(w, kLi);
        storeOneTest(w, Form::Q33); // 张三, the current client, with one test
        w.command("actInsert33");
        w.answer33("3                                ");
        MessageAnswerer answers({"取消"});
        switch (way) {
        case 0: {
            auto *next = w.find<TSpeedButton>("navCMH33Button4");
            QVERIFY2(next, qPrintable(w.missing()));
            QTest::mouseClick(next, Qt::LeftButton);
            break;
        }
        case 1: {
            whenModal([](QWidget *modal) {
                auto *dialog = qobject_cast<QInputDialog *>(modal);
                if (!dialog)
                    return modal->close();
                dialog->setTextValue(QStringLiteral("李四"));
                dialog->accept();
                return true;
            });
            w.command("actFind");
            break;
        }
        case 2:
            w.window->pgcClient->setCurrentIndex(0);
            break;
        case 3:
            QVERIFY(!w.window->close());
            break;
        }
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY2(answers.seen[0].contains(QStringLiteral("未保存")), qPrintable(answers.seen[0]));
        // Stayed: the new test with its answer, on its page, of its client.
        QCOMPARE(w.window->pgcClient->currentIndex(), 1);
        QCOMPARE(w.tests(Form::Q33)->state(), RecordPageBinding::State::Insert);
        QCOMPARE(w.text("edtOriginal01"), QStringLiteral("3"));
        QCOMPARE(w.text("edtCMH33Name"), QStringLiteral("张三"));
    }

    void movingBetweenTheTestPagesNeverAsks()
    {
        TestWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        w.window->pgcClient->setCurrentIndex(1);
        w.answer33("3                                ");
        MessageAnswerer answers;
        w.window->pgcClient->setCurrentIndex(2);
        w.window->pgcClient->setCurrentIndex(1);
        QCOMPARE(answers.seen.size(), 0);
        QCOMPARE(w.text("edtOriginal01"), QStringLiteral("3"));
        // Leaving the pair for a record page asks.
        MessageAnswerer stay({"取消"});
        w.window->pgcClient->setCurrentIndex(2);
        w.window->pgcClient->setCurrentIndex(3);
        QCOMPARE(stay.seen.size(), 1);
        QCOMPARE(w.window->pgcClient->currentIndex(), 2);
    }

    void saveWithoutClient_data()
    {
        QTest::addColumn<QString>("identNo");
        QTest::addColumn<QString>("answer"); // to the question whether to make the client
        QTest::addColumn<int>("clients");    // afterwards
        QTest::addColumn<int>("tests");
        QTest::newRow("attached to the client with that number")
            << QString::fromUtf8(kZhang.identNo) << QString() << 1 << 1;
        QTest::newRow("client made from name and number") << "NEW-7"
                                                          << "Yes" << 2 << 1;
        QTest::newRow("no client made, nothing stored") << "NEW-7"
                                                        << "No" << 1 << 0;
        QTest::newRow("no identity number, refused") << "" << QString() << 1 << 0;
    }
    void saveWithoutClient()
    {
        QFETCH(QString, identNo);
        QFETCH(QString, answer);
        QFETCH(int, clients);
        QFETCH(int, tests);
        const DatabaseSettings settings = databases_.fresh();
        {
            TestWindow setup(settings);
            QVERIFY2(setup.edition(), "the database did not open");
            addClient(setup, kZhang);
        }
        // A client is listed, but a new window starts with none chosen.
        TestWindow w(settings);
        w.window->pgcClient->setCurrentIndex(1);
        w.type("edtCMH33Name", "孙七");
        w.type("edtCMH33IdentNo", identNo);
        w.answer(Form::Q33);
        MessageAnswerer answers({answer});
        w.command("actCMH33Save");
        Database look(settings);
        QCOMPARE(look.open(), QString());
        QCOMPARE(stored(look, "SELECT COUNT(*) FROM client").toInt(), clients);
        QCOMPARE(storedTests(look), tests);
        if (tests) {
            QCOMPARE(stored(look, "SELECT V_IDENT_NO FROM habitus_test").toString(), identNo);
            // The test's client is now the current one, its test on show.
            QCOMPARE(w.text("edtIdentNo"), identNo);
            QCOMPARE(w.listedTests(Form::Q33), 1);
        } else {
            QCOMPARE(answers.seen.size(), 1);
            QCOMPARE(w.tests(Form::Q33)->state(), RecordPageBinding::State::Insert);
            QCOMPARE(w.text("edtCMH33Name"), QStringLiteral("孙七"));
        }
    }

    void unansweredQuestionsAreNamedBeforeSaving_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("tests");
        QTest::newRow("save anyway") << "仍然保存" << 1;
        QTest::newRow("back to the first") << "回到第一个未答的问题" << 0;
    }
    void unansweredQuestionsAreNamedBeforeSaving()
    {
        QFETCH(QString, answer);
        QFETCH(int, tests);
        TestWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        addClient(w, kZhang);
        w.command("actInsert33");
        w.answer33("1111 111111111111111111111111111 ");
        MessageAnswerer answers({answer});
        w.command("actCMH33Save");
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY2(answers.seen[0].contains(QStringLiteral("第 5 题、第 33 题")),
                 qPrintable(answers.seen[0]));
        QCOMPARE(storedTests(w.edition()->database()), tests);
        if (tests) {
            // The list marks the test as incomplete.
            const auto *grid = w.find<TwwDBGrid>("grdCMH33Master");
            const int column = w.tests(Form::Q33)->table()->column(kUnansweredColumn);
            QVERIFY(!grid->isColumnHidden(column));
            QCOMPARE(grid->horizontalHeader()->visualIndex(column), 0); // first
            QCOMPARE(grid->model()->headerData(column, Qt::Horizontal).toString(),
                     QStringLiteral("未答"));
            QCOMPARE(grid->model()->index(0, column).data().toInt(), 2);
        } else {
            QCOMPARE(w.window->focusWidget(), w.find<QWidget>("edtOriginal05"));
        }
    }

    void historyOnTheClientPageOpensATest()
    {
        TestWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        storeOneTest(w, Form::Q33);
        const QString pingHe33 =
            w.text("edtCMH33PingHeCon") + u' ' + w.text("edtCMH33PingHeResult");
        w.command("actInsert66");
        w.answer(Form::Q66);
        w.command("actCMHSave");
        w.window->pgcClient->setCurrentIndex(0);
        auto *history = w.find<TwwDBGrid>("grdCBITests");
        QVERIFY2(history, qPrintable(w.missing()));
        QCOMPARE(history->rowCount(), 2);
        // Oldest last: the 33-item test, PingHe in the third column.
        const QAbstractItemModel *model = history->model();
        QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("33项"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("平和"));
        QCOMPARE(model->index(1, 2).data().toString(), pingHe33);
        // Opening the row shows that test on its page.
        history->setCurrentIndex(model->index(1, 0));
        QTest::keyClick(history, Qt::Key_Return);
        QCOMPARE(w.window->pgcClient->currentIndex(), 1);
        QCOMPARE(w.text("edtCMH33PingHeCon") + u' ' + w.text("edtCMH33PingHeResult"), pingHe33);
    }

    void printsWhatIsOnScreen_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("title");
        QTest::newRow("33-item test, saved") << "actCMH33Print" << false << 2 << "33项";
        QTest::newRow("33-item test, changed") << "actCMH33Print" << true << 2 << "33项";
        QTest::newRow("66-item test, saved") << "actCMHPrint" << false << 2 << "66项";
        QTest::newRow("diagnosis record, new") << "actMDRPrint" << true << 1 << "诊疗记录";
    }
    void printsWhatIsOnScreen()
    {
        QFETCH(QString, command);
        QFETCH(bool, unsaved);
        QFETCH(int, pages);
        QFETCH(QString, title);
        TestWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        const bool diagnose = command == u"actMDRPrint";
        storeOneTest(w, command == u"actCMHPrint" ? Form::Q66 : Form::Q33);
        if (diagnose) {
            w.command("actInsertMD");
            w.type("edtMDRDoctor", "周医生");
        } else if (unsaved) {
            w.command("actCMH33Edit");
            w.answer33("555555555555555555555555555555555");
        }
        // The preview prints into a PDF file, which is read back.
        QTemporaryDir dir;
        const QString pdf = dir.filePath("form.pdf");
        QPrinter &printer = w.edition()->printing()->printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        int shownPages = -1;
        whenModal([&shownPages](QWidget *modal) {
            if (auto *preview = modal->findChild<QPrintPreviewWidget *>()) {
                shownPages = preview->pageCount();
                preview->print();
            }
            modal->close();
        });
        w.command(qPrintable(command));
        QCOMPARE(shownPages, pages);
        QProcess text;
        text.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
        QVERIFY(text.waitForFinished(60000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput()).remove(u' ');
        for (const QString &expected :
             {title, QString::fromUtf8(kZhang.name), QString::fromUtf8(kZhang.identNo),
              QString::fromUtf8(kZhang.cardNo), QStringLiteral("男性")})
            QVERIFY2(printed.contains(expected), qPrintable(expected + u'\n' + printed));
        QCOMPARE(printed.contains(QStringLiteral("未保存")), unsaved);
        if (diagnose)
            QVERIFY2(printed.contains(QStringLiteral("周医生")), qPrintable(printed));
        else
            QVERIFY2(printed.contains(w.text(command == u"actCMHPrint" ? "edtCMHYangXuCon"
                                                                       : "edtCMH33YangXuCon")),
                     qPrintable(printed));
    }

    void printSetUpOpens()
    {
        TestWindow w(databases_.fresh());
        QVERIFY2(w.edition(), "the database did not open");
        auto *setUp = w.window->findChild<QAction *>("actCMHPrintSet");
        QVERIFY(setUp && setUp->isVisible() && setUp->isEnabled());
        QString opened;
        whenModal([&opened](QWidget *modal) {
            opened = modal->objectName();
            modal->close();
        });
        setUp->trigger();
        QCOMPARE(opened, QStringLiteral("dlgPageSetup"));
        auto *clear = w.window->findChild<QAction *>("actClearReportTempFile");
        QVERIFY(clear && !clear->isEnabled());
    }

    void secondWorkstationIsRefused()
    {
        const DatabaseSettings settings = databases_.fresh();
        TestWindow first(settings);
        QVERIFY2(first.edition(), "the database did not open");
        storeOneTest(first, Form::Q66);
        TestWindow second(settings);
        QVERIFY2(second.edition(), "the database did not open");
        second.chooseNewestClient();
        second.window->pgcClient->setCurrentIndex(2);
        first.window->pgcClient->setCurrentIndex(2);
        for (TestWindow *w : {&first, &second}) {
            w->command("actCMHEdit");
            w->type("edtCMHSite", w == &first ? "一号站" : "二号站");
        }
        first.command("actCMHSave");
        MessageAnswerer answers;
        second.command("actCMHSave");
        QCOMPARE(answers.seen.size(), 1);
        QVERIFY2(answers.seen[0].contains(QStringLiteral("其他工作站")),
                 qPrintable(answers.seen[0]));
        QCOMPARE(second.tests(Form::Q66)->state(), RecordPageBinding::State::Edit);
        QCOMPARE(second.text("edtCMHSite"), QStringLiteral("二号站"));
        QCOMPARE(stored(first.edition()->database(), "SELECT V_SITE FROM habitus_test").toString(),
                 QStringLiteral("一号站"));
    }
};

TIZHI_REGISTER_TEST(TestStoredTests);

#include "tst_stored_tests.moc"
