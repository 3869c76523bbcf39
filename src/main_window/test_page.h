// What the two test pages share: six header fields at the top, the page's
// own body under them (built by Page33 or Page66), the scheme row
// (the flat scheme button bound to the page's scheme command, the plain
// caption shown instead while that command is hidden, the scheme box with
// the help text) and the remark row. All of them sit on one grid of four
// caption-field columns, so that the body's fields line up with the header.
#pragma once

#include "field_grid.h"

#include <QStringList>

class QAction;
class TLabel;
class TSpeedButton;
class TwwDBDateTimePicker;
class TwwDBEdit;
class TwwDBLookupCombo;
class TwwDBRichEdit;

namespace tizhi {

// The component names of one test page.
struct TestPageNames {
    const char *testType;
    const char *testTime;
    const char *name;
    const char *identNo;
    const char *doctor;
    const char *site;
    const char *scheme;       // the scheme box
    const char *remark;       // the remark box
    const char *schemeButton; // the flat button of the scheme command
};

// The field table of one test page: header, scheme and remark rows. It
// lives as long as the program, since the grid built from it points into it.
struct TestPageDefs {
    TestPageNames names;
    QList<FieldDef> fields;
};

// Grid rows of a test page: the page's own body takes the rows from
// kFirstBodyRow up to kSchemeRow.
inline constexpr int kFirstBodyRow = 2;
inline constexpr int kSchemeRow = 1000;

TestPageDefs makeTestPageDefs(const TestPageNames &names);

struct TestPage {
    TwwDBLookupCombo *testType = nullptr;
    TwwDBDateTimePicker *testTime = nullptr;
    TwwDBEdit *name = nullptr;
    TwwDBEdit *identNo = nullptr;
    TwwDBEdit *doctor = nullptr;
    TwwDBEdit *site = nullptr;
    TSpeedButton *schemeButton = nullptr;
    TLabel *schemeCaption = nullptr; // shown only while the command is hidden
    TwwDBRichEdit *scheme = nullptr;
    TwwDBRichEdit *remark = nullptr;
    // The header, scheme and remark rows; the page's body adds its own.
    FieldGrid grid;
};

// Builds a test page on `content`, the page's data area.
TestPage buildTestPage(QWidget *content, const TestPageDefs &defs, QAction *schemeCommand);

// Gives the height the page has to spare to its body, instead of leaving
// it below the remark.
void letTestPageBodyGrow(const TestPage &page);

// Opens the header fields, the scheme and remark boxes for entry or closes
// them, with the editable or read-only colour; the test-type box only takes
// the colour.
void setTestPageHeaderEditState(const TestPage &page, bool editable);

// A help text of a scheme box: a leading line break, then the numbered
// points, each followed by an empty line.
QString schemeHelpText(const QStringList &points);

// The sentence that follows the last point of both help texts.
QString databaseEditionSentence();

} // namespace tizhi
