// How a test page shows a stored test: the header fields, the answers (the
// 33 answer boxes of page 1, the nine type fields of page 2), the scores,
// verdicts and summaries the page shows, and the remark. Page 1 shows only
// the scores and verdicts of its test; the item strings, raw scores and
// summaries it does not show are kept here, so that a 33-item test is
// stored and shown again whole without touching page 2.
#pragma once

#include "record_binding.h"
#include "record_view.h"
#include "test_records.h"

#include <functional>

namespace tizhi {

class Page33;
class Page66;
struct TestPage;

class TestRecordView : public RecordView {
public:
    struct Parts {
        const char *form; // kForm33Code or kForm66Code
        const TestPage *header;
        RecordBinding binding; // the assessment's controls on this page
        Page33 *page33;        // the answer boxes; nullptr on page 2
        Page66 *page66;        // the type fields; nullptr on page 1
        std::function<void(bool)> setPageEditable;
        // Whether the page's test belongs to the current client, whose name
        // and identity number it then shows without letting them be typed.
        std::function<bool()> linked;
    };

    explicit TestRecordView(Parts parts);

    // The assessment record of the test shown, and a new one after a run.
    AssessmentRecord record() const;
    void setRecord(const AssessmentRecord &record);
    // The test as the page shows it.
    StoredTest test() const;
    // Whether the page takes answers (a new test, or one being edited).
    bool editable() const { return editable_; }
    // Where question `question` of page 1, or the type with code `code` of
    // page 2, is answered; nullptr on the other page.
    QWidget *answerBox(int question) const;
    QWidget *typeField(int code) const;

    void show(RecordTable &table, int row) override;
    void store(RecordTable &table, int row) override;
    void setEditable(bool editable) override;
    QWidget *firstField() const override;
    QString problem(const RecordTable &table, int row) const override;
    QStringList enteredColumns(const RecordTable &table) const override;

private:
    void showTest(const StoredTest &test);

    Parts parts_;
    AssessmentRecord held_; // page 1's whole record
    bool editable_ = true;
};

} // namespace tizhi
