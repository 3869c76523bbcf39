// The assessment record as the two test pages show it: a table from each
// field of AssessmentRecord to the controls that show it (the type fields,
// scores, verdicts and summaries of the 66-item page; the scores and
// verdicts of the 33-item page). Every assessment run reads the record from
// the controls, scores it and writes it back through this one table.
#pragma once

#include "assessment.h"

#include <QList>

class QWidget;
class TwwDBEdit;
class TwwDBLookupCombo;

namespace tizhi {

class RecordBinding {
public:
    using Member = std::string AssessmentRecord::*;

    // Binds `member` to one more control. The first control bound to a
    // member is the one the record is read from.
    void bind(Member member, TwwDBEdit *control);
    void bind(Member member, TwwDBLookupCombo *control);

    // The rows whose controls lie on `page`: each test page's own part of
    // the record, in the database edition where the pages show two tests.
    RecordBinding within(const QWidget *page) const;

    AssessmentRecord read() const;
    void write(const AssessmentRecord &record) const;

private:
    struct Row {
        Member member;
        TwwDBEdit *edit = nullptr;
        TwwDBLookupCombo *lookup = nullptr;
    };
    QList<Row> rows_;
};

} // namespace tizhi
