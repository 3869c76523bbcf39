// Cross-checks of the catalogue tables against each other and against the
// texts the windows must show word for word.
#include "test_registry.h"

#include "catalogue.h"
#include "item_string.h"

#include <QTest>

#include <set>

using namespace tizhi;

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void typeCodesFollowTableOrder()
    {
        for (std::size_t i = 0; i < kTypes.size(); ++i) {
            QCOMPARE(kTypes[i].code, int(i) + 1);
            QCOMPARE(typeByCode(int(i) + 1), &kTypes[i]);
        }
        QVERIFY(typeByCode(0) == nullptr);
        QVERIFY(typeByCode(10) == nullptr);
        QCOMPARE(typeByCode(kPingHeCode)->pinyin, std::string_view("PingHe"));
    }

    // Every 33-item question scores exactly one biased type, except 1, which
    // scores PingHe only; PingHe shares 2, 4, 5 and 13 with a biased type.
    void eachQuestion33IsUsedByTheRightTypes()
    {
        std::multiset<int> biased;
        for (const ConstitutionType &type : kTypes) {
            QCOMPARE(type.questionCount33, type.isBiased() ? 4 : 5);
            if (type.isBiased())
                biased.insert(type.questions33Used().begin(), type.questions33Used().end());
        }
        for (int q = 1; q <= kQuestionCount33; ++q)
            QCOMPARE(int(biased.count(q)), q == 1 ? 0 : 1);
        const auto pingHe = typeByCode(kPingHeCode)->questions33Used();
        QCOMPARE(std::vector<int>(pingHe.begin(), pingHe.end()),
                 (std::vector<int>{1, 2, 4, 5, 13}));
    }

    // The 66-item lists mark their reversed rows twice: by " *" at the end of
    // the text and by the keying that SumItemString uses. They must agree.
    void reversedRowsAgreeWithKeying()
    {
        int rows = 0;
        for (const ConstitutionType &type : kTypes) {
            for (std::size_t row = 0; row < type.questions66.size(); ++row) {
                const Question66 &q = type.questions66[row];
                QCOMPARE(q.reversed, isReversedPosition(type.keying66, std::int64_t(row) + 1));
                QCOMPARE(q.reversed, q.text.ends_with(" *"));
                ++rows;
            }
        }
        QCOMPARE(rows, 67);
    }

    void listLengthsAndCountedItems_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("counted");
        const int table[9][2] = {{7, 7}, {8, 8}, {8, 8}, {8, 8}, {7, 6},
                                 {7, 7}, {7, 7}, {7, 7}, {8, 8}};
        for (int code = 1; code <= 9; ++code)
            QTest::addRow("%s", typeByCode(code)->pinyin.data())
                << code << table[code - 1][0] << table[code - 1][1];
    }

    void listLengthsAndCountedItems()
    {
        QFETCH(int, code);
        QFETCH(int, rows);
        QFETCH(int, counted);
        QCOMPARE(int(typeByCode(code)->questions66.size()), rows);
        QCOMPARE(typeByCode(code)->counted66, counted);
    }

    void shiReSexRestrictedRows()
    {
        const auto rows = typeByCode(5)->questions66;
        for (std::size_t i = 0; i < 5; ++i)
            QVERIFY(rows[i].appliesTo == Sex::Any);
        QVERIFY(rows[5].appliesTo == Sex::Female);
        QVERIFY(rows[6].appliesTo == Sex::Male);
        QCOMPARE(rows[5].text, std::string_view("您带下色黄（白带颜色发黄）吗？（限女性回答）"));
    }

    void texts_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, std::string_view actual, const char *expected) {
            QTest::newRow(name) << QString::fromUtf8(actual.data(), qsizetype(actual.size()))
                                << QString::fromUtf8(expected);
        };
        row("question 9 keeps its ASCII ? and line break", kQuestions33[8],
            "您感到身体沉重不轻松吗?（感觉身体沉重）\r[ BMI指数 = 体重（kg）/ 身高㎡ ]");
        row("question 18 keeps the blank before its break", kQuestions33[17],
            "您的皮肤容易起荨麻疹吗？ \r（包括风团、风疹块、风疙瘩）");
        row("question 33", kQuestions33[32],
            "您舌下静脉瘀紫或增粗吗？\r（可由调查员辅助观察后填写）");
        row("header 1 on the 33-item page", kAnswerScale[0].header33,
            "没有\r( 根本不 / \r从来没有 )");
        row("header 5 in the questionnaire", kAnswerScale[4].headerQuestionnaire, "总是\r( 非常 )");
        row("PingHe row 5", typeByCode(9)->questions66[4].text,
            "您比一般人耐受不了寒冷（冬天的寒冷，夏天的冷空调，电扇等）吗？ *");
        row("YangXu row 7", typeByCode(1)->questions66[6].text,
            "您受凉或者吃（喝）凉的东西后，容易腹泻（拉肚子）吗？");
        const std::string c9 = answerCaption33(9, 2), c17 = answerCaption33(17, 5),
                          c28 = answerCaption33(28, 1), c14 = answerCaption33(14, 4),
                          plain = answerCaption33(10, 3);
        row("caption 9/2", c9, "2（24 <= \rBMI ＜ 25）");
        row("caption 14/4", c14, "4（一年8\r次以上）");
        row("caption 17/5", c17, "5（每次遇到\r上述原因\r都过敏）");
        row("caption 28/1", c28, "1（腹围 < \r80cm，相当\r于2.4尺）");
        row("other questions are plain digits", plain, "3");
        const std::string box = answerBoxName33(7), field = fieldName(kTypes[0]),
                          org = orgName(kTypes[4]), con = conName(kTypes[8]),
                          result = resultName(kTypes[7]);
        row("answer box name", box, "edtOriginal07");
        row("field name", field, "V_YANGXU_FIELD");
        row("raw score name", org, "N_SHIRE_ORG");
        row("score name", con, "N_PINGHE_CON");
        row("verdict name", result, "V_TEBING_RESULT");
    }

    void texts()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    // Band captions describe the band but still begin with the value they set.
    void bandCaptionsBeginWithTheirValue()
    {
        for (int question : {9, 14, 17, 28}) {
            for (int value = 1; value <= 5; ++value) {
                const std::string caption = answerCaption33(question, value);
                QVERIFY2(caption.size() > 1 && caption.front() == char('0' + value),
                         caption.c_str());
            }
        }
        QCOMPARE(answerCaption33(1, 5), std::string("5"));
    }

    void summaryPhrases()
    {
        QStringList yes, leaning;
        for (const ConstitutionType &type : kTypes) {
            if (!type.isBiased())
                continue;
            yes << QString::fromStdString(summaryPhrase(type, Level::Yes));
            leaning << QString::fromStdString(summaryPhrase(type, Level::Leaning));
            QVERIFY(summaryPhrase(type, Level::No).empty());
        }
        QCOMPARE(yes.join('|'), QStringLiteral(" [阳虚体质]| [阴虚体质]| [气虚体质]| [痰湿体质]| "
                                               "[湿热体质]| [血瘀体质]| [气郁体质]| [特禀体质]"));
        QCOMPARE(leaning.join('|'),
                 QStringLiteral(" [有阳虚体质倾向]| [有阴虚体质倾向]| [有气虚体质倾向]| "
                                "[有痰湿体质倾向]| [有湿热体质倾向]| [有血瘀体质倾向]| "
                                "[有气郁体质倾向]| [有特禀体质倾向]"));
        const ConstitutionType &pingHe = *typeByCode(9);
        QCOMPARE(QString::fromStdString(summaryPhrase(pingHe, Level::Yes)), "[平和体质]");
        QCOMPARE(QString::fromStdString(summaryPhrase(pingHe, Level::Leaning)), "[基本是平和体质]");
        QCOMPARE(QString::fromStdString(summaryPhrase(pingHe, Level::No)), "[不是平和体质]");
    }
};

TIZHI_REGISTER_TEST(TestCatalogue);

#include "tst_catalogue.moc"
