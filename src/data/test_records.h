// The stored constitution tests: one record per test of either form, a
// detail of its client like the diagnosis and contact records. A record
// holds everything the test page showed (the header, the 33 answers of the
// 33-item form, the nine item strings, per type the raw score, score and
// verdict, the two summaries, the remark), so that a stored test is shown
// again exactly as it was, without scoring it again. Scores are kept as the
// text the page showed ("42.86"), never as numbers an engine may reformat.
#pragma once

#include "assessment.h"
#include "record_kinds.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <array>

class QSqlDatabase;
class QSqlRecord;

namespace tizhi {

// The codes of the two forms in T_MEDICINE_DIAGNOSE_HAB_TEST_TYPE.
inline constexpr const char *kForm33Code = "33";
inline constexpr const char *kForm66Code = "66";
inline constexpr const char *kTestTypeColumn = "V_TEST_TYPE";
inline constexpr const char *kTestTimeColumn = "T_TEST_TIME";
inline constexpr const char *kUnansweredColumn = "I_UNANSWERED";

const RecordKind &testKind();

// "V_ANSWER_01" ... "V_ANSWER_33": the answer of 33-item question `question`.
QString answerColumn(int question);

// The column of each member of AssessmentRecord: the member's own name.
struct AssessmentColumn {
    std::string AssessmentRecord::*member;
    const char *name;
};
const std::array<AssessmentColumn, 38> &assessmentColumns();

// One test as the pages and the exchange with tizhi-score see it.
struct StoredTest {
    QString form; // kForm33Code or kForm66Code
    QDateTime testTime;
    QString name;
    QString identNo;
    QString doctor;
    QString site;
    Answers33 answers; // the 33-item form only; empty for the other
    AssessmentRecord record;
    QString remark; // RTF, or empty
};

// The unanswered questions of a test: for the 33-item form the questions
// without an answer; for the 66-item form the questions of each type
// without an answer in its item string (of the questions asked only of
// women or only of men, one answer is enough). Each as the form names it:
// "第 3 题", "阳虚体质第 2 题".
QStringList unansweredQuestions(const StoredTest &test);

// The test's values in the order of testKind().columns.
QVariantList testValues(const StoredTest &test);
// The test's values into a record of the test table (as read from it).
void writeTest(const StoredTest &test, QSqlRecord &values);
// A test from a record of the test table.
StoredTest readTest(const QSqlRecord &values);

// Stores tests in the test table, the statement prepared once: the import
// writes thousands in one transaction.
class TestWriter {
public:
    explicit TestWriter(const QSqlDatabase &db);
    ~TestWriter();
    TestWriter(const TestWriter &) = delete;
    TestWriter &operator=(const TestWriter &) = delete;

    // Empty on success, the engine's message otherwise.
    QString insert(const StoredTest &test);
    qint64 lastId() const { return lastId_; }

private:
    struct Statement;
    Statement *statement_;
    qint64 lastId_ = 0;
};

} // namespace tizhi
