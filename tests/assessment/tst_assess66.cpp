// The 66-item assessment: transformed scores, their exact rounding, the
// verdict thresholds, and what a run leaves behind when it stops.
#include "gcc12_restrict.h"
#include "test_registry.h"

#include "assessment_helpers.h"

#include <QTest>

using namespace tizhi;
using namespace tizhi::test;

namespace {

// Start record with the given item strings, by type code.
AssessmentRecord record66(std::initializer_list<std::pair<int, const char *>> itemStrings)
{
    AssessmentRecord record = startRecord();
    for (const auto &[code, text] : itemStrings)
        record.*fieldsOf(*typeByCode(code)).field = text;
    return record;
}

// n answers of `value`, each followed by ";".
std::string repeated(int n, const char *value)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += std::string(value) + ";";
    return s;
}

} // namespace

class TestAssess66 : public QObject {
    Q_OBJECT

private slots:
    void startState()
    {
        AssessmentRecord record = startRecord();
        Assess66(record);
        QCOMPARE(column(record, &TypeFields::org), "0|0|0|0|0|0|0|0|0");
        QCOMPARE(column(record, &TypeFields::con), "0|0|0|0|0|0|0|0|0");
        QCOMPARE(column(record, &TypeFields::result), "否|否|否|否|否|否|否|否|否");
        QCOMPARE(q(record.V_CON_TOTAL),
                 "[平和体质: 0]; [阳虚体质: 0]; [阴虚体质: 0]; [气虚体质: 0]; [痰湿体质: 0]; "
                 "[湿热体质: 0]; [血瘀体质: 0]; [气郁体质: 0]; [特禀体质: 0].");
        QCOMPARE(q(record.V_RESULT_TOTAL), "[不是平和体质]");
    }

    // One type's raw score, given as a bare number, against its score text
    // and verdict. ShiRe counts 6 items, YangXu 7, QiXu and PingHe 8.
    void transformedScores_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("itemString");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("score");
        QTest::addColumn<QString>("verdict");
        auto row = [](const char *name, int code, const std::string &s, const char *raw,
                      const char *score, const char *verdict) {
            QTest::newRow(name) << code << QByteArray::fromStdString(s) << QString(raw)
                                << QString(score) << QString(verdict);
        };
        row("YangXu all seven at 3", 1, repeated(7, "3"), "21", "50", "是");
        row("QiXu raw 17 is 28.125, below 30", 3, "17", "17", "28.13", "否");
        row("ShiRe six answers giving 14", 5, "2;2;2;3;3;2;;", "14", "33.33", "倾向是");
        row("ShiRe all seven at 5 counts both sex rows", 5, repeated(7, "5"), "35", "120.83", "是");
        row("n=6 raw 13", 5, "13", "13", "29.17", "否");
        row("n=6 raw 15", 5, "15", "15", "37.5", "倾向是");
        row("n=6 raw 16", 5, "16", "16", "41.67", "是");
        row("n=7 raw 15", 6, "15", "15", "28.57", "否");
        row("n=7 raw 16", 6, "16", "16", "32.14", "倾向是");
        row("n=7 raw 18", 7, "18", "18", "39.29", "倾向是");
        row("n=7 raw 19", 8, "19", "19", "42.86", "是");
        row("n=7 raw 35", 1, "35", "35", "100", "是");
        row("n=8 raw 9", 2, "9", "9", "3.13", "否");
        row("n=8 raw 18", 4, "18", "18", "31.25", "倾向是");
        row("n=8 raw 20", 3, "20", "20", "37.5", "倾向是");
        row("n=8 raw 21", 3, "21", "21", "40.63", "是");
        row("n=8 raw 40", 2, "40", "40", "100", "是");
        row("raw below n scores 0, raw shows the sum", 3, "3;;;;;;;;", "3", "0", "否");
        row("negative raw scores 0", 1, "-5;", "-5", "0", "否");
        row("PingHe raw 27", 9, "27", "27", "59.38", "否");
        row("PingHe raw 28", 9, "28", "28", "62.5", "是");
        row("PingHe raw 29", 9, "29", "29", "65.63", "是");
        row("PingHe raw 31", 9, "31", "31", "71.88", "是");
        row("PingHe raw 33", 9, "33", "33", "78.13", "是");
        row("PingHe all eight at 1", 9, repeated(8, "1"), "32", "75", "是");
        row("PingHe 33-item string read with 66-item keying", 9, "1;1;1;1;1;", "21", "40.63", "否");
    }

    void transformedScores()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, itemString);
        QFETCH(QString, raw);
        QFETCH(QString, score);
        QFETCH(QString, verdict);
        AssessmentRecord record = record66({{code, itemString.constData()}});
        Assess66(record);
        const TypeFields &f = fieldsOf(*typeByCode(code));
        QCOMPARE(q(record.*f.org), raw);
        QCOMPARE(q(record.*f.con), score);
        QCOMPARE(q(record.*f.result), verdict);
    }

    void pingHeVerdicts_data()
    {
        QTest::addColumn<QByteArray>("pingHe");
        QTest::addColumn<int>("otherCode");
        QTest::addColumn<QByteArray>("other");
        QTest::addColumn<QString>("resultTotal");
        auto row = [](const char *name, const char *p, int code, const char *o, const char *t) {
            QTest::newRow(name) << QByteArray(p) << code << QByteArray(o) << QString(t);
        };
        row("PingHe 75 with every biased type below 30", "1;1;1;1;1;1;1;1;", 1, "0", "[平和体质]");
        row("PingHe 59.38 is 否 whatever the others", "27", 1, "0", "[不是平和体质]");
        row("PingHe 62.5 with one type at 32.14 is 基本是", "28", 6, "16",
            "[基本是平和体质] [有血瘀体质倾向]");
        row("PingHe 62.5 with one type at 39.29 is 基本是", "28", 7, "18",
            "[基本是平和体质] [有气郁体质倾向]");
        row("PingHe 62.5 with one type at 40.63 is 否", "28", 4, "21", "[不是平和体质] [痰湿体质]");
        row("PingHe 62.5 with one type at 28.13 is 是", "28", 3, "17", "[平和体质]");
    }

    void pingHeVerdicts()
    {
        QFETCH(QByteArray, pingHe);
        QFETCH(int, otherCode);
        QFETCH(QByteArray, other);
        QFETCH(QString, resultTotal);
        AssessmentRecord record =
            record66({{kPingHeCode, pingHe.constData()}, {otherCode, other.constData()}});
        Assess66(record);
        QCOMPARE(q(record.V_RESULT_TOTAL), resultTotal);
        QCOMPARE(q(record.V_PINGHE_RESULT), resultTotal.startsWith("[平和")     ? "是"
                                            : resultTotal.startsWith("[基本是") ? "基本是"
                                                                                : "否");
    }

    void scoreSummaryShowsStoredTexts()
    {
        AssessmentRecord record = record66({{9, "28"}, {1, "15"}, {3, "17"}});
        Assess66(record);
        QCOMPARE(q(record.V_CON_TOTAL),
                 "[平和体质: 62.5]; [阳虚体质: 28.57]; [阴虚体质: 0]; [气虚体质: 28.13]; "
                 "[痰湿体质: 0]; [湿热体质: 0]; [血瘀体质: 0]; [气郁体质: 0]; [特禀体质: 0].");
    }

    // The verdict of a type comes from its exact score, the summaries from the
    // rounded text read back; for every reachable raw score they must agree.
    void roundedAndExactVerdictsAgree()
    {
        for (int code : {1, 2, 5, 9}) {
            for (int raw = 0; raw <= 60; ++raw) {
                const std::string s = std::to_string(raw);
                AssessmentRecord record = record66({{code, s.c_str()}});
                Assess66(record);
                const TypeFields &f = fieldsOf(*typeByCode(code));
                const QString phrase = q(
                    summaryPhrase(*typeByCode(code), record.*f.result == "是"       ? Level::Yes
                                                     : record.*f.result == "倾向是" ? Level::Leaning
                                                                                    : Level::No));
                if (code != kPingHeCode && !phrase.isEmpty())
                    QVERIFY2(q(record.V_RESULT_TOTAL).endsWith(phrase), s.c_str());
                if (code != kPingHeCode && phrase.isEmpty())
                    QCOMPARE(q(record.V_RESULT_TOTAL), "[不是平和体质]");
                if (code == kPingHeCode)
                    QCOMPARE(q(record.V_PINGHE_RESULT) == "是", raw >= 28);
            }
        }
    }

    // A letter in the ShiRe string stops the run at ShiRe: earlier types are
    // new, ShiRe and the later types and both summaries keep their values.
    void letterStopsTheRunMidway()
    {
        AssessmentRecord record = sentinelRecord();
        record.V_YANGXU_FIELD = "3;3;3;3;3;3;3;";
        record.V_SHIRE_FIELD = "1;1;q;";
        try {
            Assess66(record);
            QFAIL("no conversion error");
        } catch (const ConvertError &error) {
            QCOMPARE(QByteArray(error.what()), "'q' is not a valid integer value");
        }
        QCOMPARE(column(record, &TypeFields::org),
                 "21|0|0|0|old-org-ShiRe|old-org-XueYu|old-org-QiYu|old-org-TeBing|"
                 "old-org-PingHe");
        QCOMPARE(column(record, &TypeFields::con), "50|0|0|0|7|7|7|7|7");
        QCOMPARE(q(record.V_CON_TOTAL), "old-con-total");
        QCOMPARE(q(record.V_RESULT_TOTAL), "old-result-total");
    }

    // A type left blank before it was ever scored has an empty score: the
    // read-back stops there, after every per-type value is written.
    void emptyScoreStopsTheSummaries()
    {
        AssessmentRecord record = sentinelRecord();
        record.V_TEBING_FIELD = " ";
        record.N_TEBING_CON = "";
        try {
            Assess66(record);
            QFAIL("no conversion error");
        } catch (const ConvertError &error) {
            QCOMPARE(QByteArray(error.what()), "'' is not a valid floating point value");
        }
        QCOMPARE(column(record, &TypeFields::con), "0|0|0|0|0|0|0||0");
        QCOMPARE(q(record.V_PINGHE_RESULT), "old-result-PingHe");
        QCOMPARE(q(record.V_CON_TOTAL), "old-con-total");
        QCOMPARE(q(record.V_RESULT_TOTAL), "old-result-total");
    }

    // After a 33-item run the type fields hold 33-item answers; blanking one
    // and leaving a field on the 66-item page scores the rest by 66-item rules
    // and keeps the blank type's whole-number score in the summaries.
    void after33ItemRun()
    {
        AssessmentRecord record = startRecord();
        BuildItemStrings33(answers33("3"), record);
        Assess33(record);
        record.V_TANSHI_FIELD = "";
        Assess66(record);
        // YangXu "3;3;3;3;" is raw 12 against n = 7: (12 - 7) x 25 / 7 = 17.86.
        QCOMPARE(q(record.N_YANGXU_CON), "17.86");
        QCOMPARE(q(record.N_TANSHI_CON), "12");
        QCOMPARE(q(record.V_TANSHI_RESULT), "是");
        QVERIFY(q(record.V_CON_TOTAL).contains("[痰湿体质: 12]"));
        QCOMPARE(q(record.V_RESULT_TOTAL), "[不是平和体质]");
    }
};

TIZHI_REGISTER_TEST(TestAssess66);

#include "tst_assess66.moc"
