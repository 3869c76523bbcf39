// The 33-item assessment run as the page runs it: BuildItemStrings33, then
// Assess33, on a record that may hold anything from earlier runs.
#include "gcc12_restrict.h"
#include "test_registry.h"

#include "assessment_helpers.h"

#include <QTest>

using namespace tizhi;
using namespace tizhi::test;

Q_DECLARE_METATYPE(tizhi::Answers33)

namespace {

AssessmentRecord run33(const Answers33 &answers)
{
    AssessmentRecord record = startRecord();
    BuildItemStrings33(answers, record);
    Assess33(record);
    return record;
}

} // namespace

class TestAssess33 : public QObject {
    Q_OBJECT

private slots:
    void buildsItemStringsInQuestionOrder()
    {
        Answers33 answers;
        for (int k = 1; k <= 33; ++k)
            answers[std::size_t(k - 1)] = " " + std::to_string(k) + "\t"; // trimmed on copy
        AssessmentRecord record = sentinelRecord();
        record.V_YANGXU_FIELD = "1;2;3;4;5;6;7;"; // a 66-item answer is replaced
        BuildItemStrings33(answers, record);
        QCOMPARE(column(record, &TypeFields::field),
                 "11;12;13;29;|10;21;26;31;|2;3;4;14;|9;16;28;32;|23;25;27;30;|19;22;24;33;|"
                 "5;6;7;8;|15;17;18;20;|1;2;4;5;13;");
        QCOMPARE(q(record.N_YANGXU_ORG), "old-org-YangXu"); // building writes nothing else
    }

    void scores_data()
    {
        QTest::addColumn<Answers33>("answers");
        QTest::addColumn<QString>("scores");   // type-code order, PingHe last
        QTest::addColumn<QString>("verdicts"); // type-code order, PingHe last
        QTest::addColumn<QString>("resultTotal");

        QTest::newRow("all blank: every score 0") << answers33("") << "0|0|0|0|0|0|0|0|0"
                                                  << "否|否|否|否|否|否|否|否|否"
                                                  << "[不是平和体质]";
        QTest::newRow("all 1: PingHe 21 is 是") << answers33("1") << "4|4|4|4|4|4|4|4|21"
                                                << "否|否|否|否|否|否|否|否|是"
                                                << "[平和体质]";
        QTest::newRow("all 2: biased 8, PingHe 18 is 是") << answers33("2") << "8|8|8|8|8|8|8|8|18"
                                                          << "否|否|否|否|否|否|否|否|是"
                                                          << "[平和体质]";
        QTest::newRow("all 3: every biased type 是, PingHe 15")
            << answers33("3") << "12|12|12|12|12|12|12|12|15"
            << "是|是|是|是|是|是|是|是|否"
            << "[不是平和体质] [阳虚体质] [阴虚体质] [气虚体质] [痰湿体质] [湿热体质] "
               "[血瘀体质] [气郁体质] [特禀体质]";
        QTest::newRow("PingHe 17 with every biased type at most 8 gives 是")
            << answers33("2", {{1, "1"}}) << "8|8|8|8|8|8|8|8|17"
            << "否|否|否|否|否|否|否|否|是"
            << "[平和体质]";
        QTest::newRow("PingHe 17 with YangXu at 9 gives 基本是")
            << answers33("2", {{1, "1"}, {11, "3"}}) << "9|8|8|8|8|8|8|8|17"
            << "倾向是|否|否|否|否|否|否|否|基本是"
            << "[基本是平和体质] [有阳虚体质倾向]";
        QTest::newRow("PingHe 17 with TeBing at 10 gives 基本是")
            << answers33("2", {{1, "1"}, {15, "4"}}) << "8|8|8|8|8|8|8|10|17"
            << "否|否|否|否|否|否|否|倾向是|基本是"
            << "[基本是平和体质] [有特禀体质倾向]";
        QTest::newRow("PingHe 17 with XueYu at 11 gives 否")
            << answers33("2", {{1, "1"}, {19, "5"}}) << "8|8|8|8|8|11|8|8|17"
            << "否|否|否|否|否|是|否|否|否"
            << "[不是平和体质] [血瘀体质]";
        QTest::newRow("PingHe 16 gives 否 with every biased type low")
            << answers33("2", {{1, "1"}, {11, "1"}, {13, "3"}}) << "8|8|8|8|8|8|8|8|16"
            << "否|否|否|否|否|否|否|否|否"
            << "[不是平和体质]";
        QTest::newRow("question 2 at 5 raises QiXu by 3 and lowers PingHe by 2")
            << answers33("2", {{2, "5"}}) << "8|8|11|8|8|8|8|8|15"
            << "否|否|是|否|否|否|否|否|否"
            << "[不是平和体质] [气虚体质]";
        QTest::newRow("questions 4, 5 and 13 count forward and reversed")
            << answers33("1", {{4, "5"}, {5, "5"}, {13, "5"}}) << "8|4|8|4|4|4|8|4|9"
            << "否|否|否|否|否|否|否|否|否"
            << "[不是平和体质]";
        QTest::newRow("QiYu at 10 leans and PingHe 21 becomes 基本是")
            << answers33("1", {{6, "3"}, {7, "3"}, {8, "3"}}) << "4|4|4|4|4|4|10|4|21"
            << "否|否|否|否|否|否|倾向是|否|基本是"
            << "[基本是平和体质] [有气郁体质倾向]";
        QTest::newRow("a blank reversed answer adds nothing, not 6")
            << answers33("1", {{2, ""}}) << "4|4|3|4|4|4|4|4|16"
            << "否|否|否|否|否|否|否|否|否"
            << "[不是平和体质]";
        QTest::newRow("answer 0 adds 6 at a reversed position")
            << answers33("1", {{5, "0"}}) << "4|4|4|4|4|4|3|4|22"
            << "否|否|否|否|否|否|否|否|是"
            << "[平和体质]";
    }

    void scores()
    {
        QFETCH(Answers33, answers);
        QFETCH(QString, scores);
        QFETCH(QString, verdicts);
        QFETCH(QString, resultTotal);
        const AssessmentRecord record = run33(answers);
        QCOMPARE(column(record, &TypeFields::org), scores);
        QCOMPARE(column(record, &TypeFields::con), scores);
        QCOMPARE(column(record, &TypeFields::result), verdicts);
        QCOMPARE(q(record.V_RESULT_TOTAL), resultTotal);
    }

    void scoreSummaryLayout()
    {
        QCOMPARE(q(run33(answers33("1")).V_CON_TOTAL),
                 "[平和体质: 21]; [阳虚体质: 4]; [阴虚体质: 4]; [气虚体质: 4]; [痰湿体质: 4]; "
                 "[湿热体质: 4]; [血瘀体质: 4]; [气郁体质: 4]; [特禀体质: 4].");
        QCOMPARE(q(run33(answers33("")).V_CON_TOTAL),
                 "[平和体质: 0]; [阳虚体质: 0]; [阴虚体质: 0]; [气虚体质: 0]; [痰湿体质: 0]; "
                 "[湿热体质: 0]; [血瘀体质: 0]; [气郁体质: 0]; [特禀体质: 0].");
    }

    // A letter in question 23 (ShiRe) stops the run at ShiRe: the item
    // strings are all new, YangXu to TanShi are scored, ShiRe and every later
    // type and both summaries keep what they held.
    void letterStopsTheRunMidway()
    {
        AssessmentRecord record = sentinelRecord();
        const Answers33 answers = answers33("3", {{23, "x"}});
        BuildItemStrings33(answers, record);
        try {
            Assess33(record);
            QFAIL("no conversion error");
        } catch (const ConvertError &error) {
            QCOMPARE(QByteArray(error.what()), "'x' is not a valid integer value");
        }
        QCOMPARE(q(record.V_SHIRE_FIELD), "x;3;3;3;");
        QCOMPARE(q(record.V_PINGHE_FIELD), "3;3;3;3;3;");
        QCOMPARE(column(record, &TypeFields::org),
                 "12|12|12|12|old-org-ShiRe|old-org-XueYu|old-org-QiYu|old-org-TeBing|"
                 "old-org-PingHe");
        QCOMPARE(column(record, &TypeFields::con), "12|12|12|12|7|7|7|7|7");
        QCOMPARE(column(record, &TypeFields::result),
                 "是|是|是|是|old-result-ShiRe|old-result-XueYu|old-result-QiYu|"
                 "old-result-TeBing|old-result-PingHe");
        QCOMPARE(q(record.V_CON_TOTAL), "old-con-total");
        QCOMPARE(q(record.V_RESULT_TOTAL), "old-result-total");
    }

    // Called on its own (the library allows it), Assess33 skips blank item
    // strings and reads every score back, so a skipped type's old score enters
    // the summaries, and a non-integer one stops the run before them.
    void skippedTypesEnterTheSummaries()
    {
        AssessmentRecord record = sentinelRecord(); // every score "7"
        BuildItemStrings33(answers33("1"), record);
        record.V_QIYU_FIELD = "  ";
        record.N_QIYU_CON = "10";
        Assess33(record);
        QCOMPARE(q(record.N_QIYU_ORG), "old-org-QiYu");
        QCOMPARE(q(record.V_QIYU_RESULT), "old-result-QiYu");
        QVERIFY(q(record.V_CON_TOTAL).contains("[气郁体质: 10]"));
        QCOMPARE(q(record.V_RESULT_TOTAL), "[基本是平和体质] [有气郁体质倾向]");

        record.N_QIYU_CON = "28.13"; // a 66-item score is no integer
        record.V_CON_TOTAL = "kept";
        try {
            Assess33(record);
            QFAIL("no conversion error");
        } catch (const ConvertError &error) {
            QCOMPARE(QByteArray(error.what()), "'28.13' is not a valid integer value");
        }
        QCOMPARE(q(record.V_CON_TOTAL), "kept");
    }
};

TIZHI_REGISTER_TEST(TestAssess33);

#include "tst_assess33.moc"
