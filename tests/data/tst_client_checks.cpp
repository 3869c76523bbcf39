// The checks before a client is saved: the marked fields, the age, and a
// resident identity number's check character and birth date.
#include "test_registry.h"

#include "client_checks.h"

#include <QTest>

using namespace tizhi;

class TestClientChecks : public QObject {
    Q_OBJECT

private slots:
    void residentIdentNo_data()
    {
        QTest::addColumn<QString>("identNo");
        QTest::addColumn<bool>("valid");
        // The two numbers the national standard gives as its examples.
        QTest::newRow("standard example ending in X") << "11010519491231002X" << true;
        QTest::newRow("the same with a small x") << "11010519491231002x" << true;
        QTest::newRow("standard example ending in 4") << "440524188001010014" << true;
        QTest::newRow("wrong check character") << "110105194912310021" << false;
        QTest::newRow("one digit changed") << "11010519491231003X" << false;
        QTest::newRow("two digits swapped") << "11010519491213002X" << false;
        QTest::newRow("17 characters") << "11010519491231002" << false;
        QTest::newRow("19 characters") << "11010519491231002X1" << false;
        QTest::newRow("a letter inside") << "1101051949123100AX" << false;
        QTest::newRow("full-width digits") << "１１０１０５１９４９１２３１００２Ｘ" << false;
    }

    void residentIdentNo()
    {
        QFETCH(QString, identNo);
        QFETCH(bool, valid);
        QCOMPARE(residentIdentNoValid(identNo), valid);
    }

    void problems_data()
    {
        QTest::addColumn<QString>("identType");
        QTest::addColumn<QString>("identNo");
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cardNo");
        QTest::addColumn<QString>("age");
        QTest::addColumn<QDate>("birthday"); // invalid: not given
        QTest::addColumn<QString>("named");  // what the message names; empty: none
        auto row = [](const char *what, const char *type, const char *no, const char *sex,
                      const char *name, const char *card, const char *age, QDate birthday,
                      const char *named) {
            QTest::newRow(what) << QString::fromUtf8(type) << QString::fromUtf8(no)
                                << QString::fromUtf8(sex) << QString::fromUtf8(name)
                                << QString::fromUtf8(card) << QString::fromUtf8(age) << birthday
                                << QString::fromUtf8(named);
        };
        const char *good = "11010519491231002X";
        row("complete", "01", good, "1", "张三", "A1", "76", QDate(1949, 12, 31), "");
        row("birthday not given", "01", good, "1", "张三", "A1", "", QDate(), "");
        row("every marked field empty", "", "", "", "", "", "", QDate(),
            "证件类型、证件号码、客户性别、客户姓名、信息卡号");
        row("only blanks in the name", "01", good, "1", "  ", "A1", "", QDate(), "客户姓名");
        row("card number missing", "01", good, "1", "张三", "", "", QDate(), "信息卡号");
        row("age not a number", "01", good, "1", "张三", "A1", "七十", QDate(), "客户年龄");
        row("age past 150", "01", good, "1", "张三", "A1", "151", QDate(), "客户年龄");
        row("wrong check character", "01", "110105194912310021", "1", "张三", "A1", "", QDate(),
            "110105194912310021");
        row("17 characters on an identity card", "01", "11010519491231002", "1", "张三", "A1", "",
            QDate(), "11010519491231002");
        row("old 15-digit number", "01", "110105491231002", "1", "张三", "A1", "", QDate(), "");
        row("birthday disagrees", "01", good, "1", "张三", "A1", "", QDate(1949, 12, 30),
            "1949-12-31");
        row("a passport is not checked", "03", "E12345678", "2", "李四", "B2", "", QDate(), "");
    }

    void problems()
    {
        QFETCH(QString, identType);
        QFETCH(QString, identNo);
        QFETCH(QString, sex);
        QFETCH(QString, name);
        QFETCH(QString, cardNo);
        QFETCH(QString, age);
        QFETCH(QDate, birthday);
        QFETCH(QString, named);
        ClientValues values{identType, identNo, sex, name, cardNo, age, std::nullopt};
        if (birthday.isValid())
            values.birthday = birthday;
        const QString problem = clientProblem(values);
        if (named.isEmpty())
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        else
            QVERIFY2(problem.contains(named), qPrintable(problem));
    }
};

TIZHI_REGISTER_TEST(TestClientChecks);

#include "tst_client_checks.moc"
