// Page 2, "中医体质测试": the 66-item test, answered type by type in the
// questionnaire window. Its nine type fields hold the item strings of both
// tests, and its two summary boxes the summaries of whichever ran last. The
// page builds its type rows and connects each one to the window's handlers
// as it makes it.
#pragma once

#include "test_page.h"

#include <QStringList>

#include <array>

class QWidget;
class TSpeedButton;
class TfrmMedDiaClientInfoEdit;
class TwwDBEdit;
class TwwDBLookupCombo;

namespace tizhi {

class RecordBinding;
struct ConstitutionType;
struct PageFrame;
struct WindowCommands;

class Page66 {
public:
    // Builds the page into `frame`'s data area and binds its type fields,
    // scores, verdicts and summaries into `record`.
    Page66(TfrmMedDiaClientInfoEdit *window, const PageFrame &frame, const WindowCommands &commands,
           RecordBinding &record);

    const TestPage &header() const { return header_; }
    // Where the focus goes when the page is shown: the first type field.
    QWidget *firstField() const;
    // The type code of a type field, or 0 for any other control.
    int typeCodeOf(const QWidget *field) const;

    // Opens the header and the type fields for entry, or closes them.
    void setEditState(bool editable);
    // Every type field "0", as the page starts.
    void clearTypeFields();

    // The questionnaire of the type with code `code`, answered in a modal
    // window over `parent` and taken into the type field on OK; only shown
    // when `viewOnly` (a stored test not being edited).
    void openQuestionnaire(int code, QWidget *parent, bool viewOnly = false);
    // The type field of the type with code `code`.
    TwwDBEdit *typeField(int code) const { return typeRows_[std::size_t(code - 1)].field; }

    // Whether a type field takes the typed character `key`.
    static bool typeFieldTakes(QChar key);

    // The points of the help text in the scheme box.
    static QStringList helpPoints();

private:
    struct TypeRow {
        TwwDBEdit *org = nullptr;
        TwwDBEdit *con = nullptr;
        TwwDBEdit *field = nullptr; // the item string of whichever test ran last
        TSpeedButton *button = nullptr;
        TwwDBLookupCombo *result = nullptr;
    };

    TwwDBEdit *createSummary(const char *name, const char *caption, int column, int width);
    void createTypeRow(const ConstitutionType &type, int row, RecordBinding &record);
    QWidget *createTypeFieldCell(const ConstitutionType &type, TypeRow &typeRow);
    // A caption in design column `column` of grid row `row`, then its field.
    void place(int row, int column, const QString &caption, QWidget *field, int width,
               const QString &fieldName);
    void setTabOrder();

    TfrmMedDiaClientInfoEdit *window_;
    TestPage header_;
    // In type-code order: index 0 is YangXu (code 1).
    std::array<TypeRow, 9> typeRows_{};
    TwwDBEdit *conTotal_ = nullptr;
    TwwDBEdit *resultTotal_ = nullptr;
};

} // namespace tizhi
