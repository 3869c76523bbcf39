// The main window "中医体质辨识": five pages (client base information, the
// 33-item test, the 66-item test, diagnosis records, contact records), each
// in the common page frame. The record pages are laid out for a client
// database and stay read-only and inert in this edition.
//
// The window's parts live in files of their own: this class's frame,
// commands and creation in uniMedDiaClientInfoEdit.cpp, the record pages in
// record_pages.cpp, the test pages in page33.cpp and page66.cpp.
#pragma once

#include "field_grid.h"
#include "page_frame.h"
#include "record_binding.h"
#include "test_page.h"

#include <QMainWindow>

#include <array>

#include <functional>

class QAbstractButton;
class QAction;
class QButtonGroup;
class TBitBtn;
class TEdit;
class TPageControl;
class TPanel;
class TScrollBox;
class TSpeedButton;
class TwwDBEdit;
class TwwDBLookupCombo;

class TfrmMedDiaClientInfoEdit : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmMedDiaClientInfoEdit(QWidget *parent = nullptr);
    ~TfrmMedDiaClientInfoEdit() override;

    TPageControl *pgcClient = nullptr;

    // The command named `name` ("actQuit"), or nullptr.
    QAction *command(const QString &name) const;

    void FormCreate();
    void actQuitExecute();
    void actInsert33Execute();
    void actInsert66Execute();
    void actInsertMDExecute();
    void actInsertCRExecute();
    void edtVerifyIfKeyDown(QWidget *sender, int key, Qt::KeyboardModifiers modifiers);
    void edtVerifyIfKeyPress(QWidget *sender, QChar &key);
    void memAdvertisingDblClick(QWidget *sender);
    void edtCMH33ConSchDblClick(QWidget *sender);
    void edtCMHConvalesceSchemeDblClick(QWidget *sender);

    void SetPage33EditState(bool editable);
    void SetPage66EditState(bool editable);

    // Page 1: the 33 questions.
    // All 165 number buttons: "btn_", the question as two digits, "_", the answer.
    void btn_01_1Click(QAbstractButton *sender);
    void edtOriginal01KeyPress(QWidget *sender, QChar &key);
    void edtOriginal01Exit(QWidget *sender);
    void lblTitleOriginalClick();
    void lblCMH33HabResultClick();
    void actCMH33ConSchExecute();
    void actCalcBMIExecute();

    // Page 2: the type fields.
    void edtCMHYangXuFieldExit(QWidget *sender);
    void edtCMHYangXuFieldKeyPress(QWidget *sender, QChar &key);
    void actCMHConvalesceSchemeExecute();
    // Each opens the questionnaire window for its type; also the click
    // handler of the type's ">>>" button.
    void edtCMHYangXuFieldDblClick(QWidget *sender);
    void edtCMHYinXuFieldDblClick(QWidget *sender);
    void edtCMHQiXuFieldDblClick(QWidget *sender);
    void edtCMHTanShiFieldDblClick(QWidget *sender);
    void edtCMHShiReFieldDblClick(QWidget *sender);
    void edtCMHXueYuFieldDblClick(QWidget *sender);
    void edtCMHQiYuFieldDblClick(QWidget *sender);
    void edtCMHTeBingFieldDblClick(QWidget *sender);
    void edtCMHPingHeFieldDblClick(QWidget *sender);

    // The one routine behind every assessment trigger: read the record
    // from the controls, run `assess` on it, write it back; on a conversion
    // error write back what was computed before it and show the standard
    // error box.
    void runAssessment(const std::function<void(tizhi::AssessmentRecord &)> &assess);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum Page { BaseInfo = 0, Test33 = 1, Test66 = 2, Diagnose = 3, Contact = 4 };

    // Construction.
    void createActions();
    void createPages();
    void createPage33Body(); // page33.cpp
    void createPage66Body(); // page66.cpp
    void connectHandlers();
    void connectPage33Handlers(); // page33.cpp
    void connectPage66Handlers(); // page66.cpp

    // The steps of FormCreate, in their order.
    void createAppearanceAndCloseFields();
    void selectStartPage();
    void showSchemeButtons();
    void hidePrintSetup();
    void setPage33FixedTexts(); // page33.cpp
    void openTestPages();
    void closeLookupsAndRichTextsStartPickers();
    void fillSchemeHelpTexts();
    void clearTypeFields(); // page66.cpp
    void enableNoticePanels();

    void FormClose();

    // Page 1's assessment: the answers into the item strings, then scores.
    void recompute33();
    // Gives the question grid's columns and the title row above it one
    // width each, wide enough for every caption at the fonts in use.
    void alignQuestionColumns();

    // Page 2's questionnaire protocol for the type with code `code`.
    void openQuestionnaire(int code);

    // Whether a command may act: enabled and visible.
    static bool mayExecute(const QAction *action);
    // The command named `name`, which the window's tables guarantee.
    QAction *requiredCommand(const QString &name) const;
    void selectPage(QAction *action, int index);
    void showFullScreen(QWidget *sender);
    QAction *addCommand(const QString &name, const QString &caption, const QString &hint = {});

    std::array<tizhi::PageFrame, 5> frames_;
    tizhi::FieldGrid baseInfo_;
    tizhi::FieldGrid diagnose_;
    tizhi::FieldGrid contact_;
    tizhi::TestPage page33_;
    tizhi::TestPage page66_;

    // One question row of page 1.
    struct QuestionRow33 {
        TPanel *number = nullptr;
        TBitBtn *prompt = nullptr;
        std::array<TBitBtn *, 5> buttons{}; // answer 1 to 5
        QButtonGroup *group = nullptr;
        TEdit *answer = nullptr;
    };
    std::array<QuestionRow33, 33> questionRows33_{};
    // The title row above the question grid: number, prompt, five answer
    // columns, the reset button "单项原始分数".
    TPanel *titleNo33_ = nullptr;
    TPanel *titlePrompt33_ = nullptr;
    std::array<TBitBtn *, 5> answerTitles33_{};
    TBitBtn *lblTitleOriginal = nullptr;
    TScrollBox *scbCMH33Field = nullptr;
    TBitBtn *lblCMH33HabResult = nullptr;
    // One column of page 1's summary area, in type-code order.
    struct TypeColumn33 {
        TBitBtn *title = nullptr;
        TwwDBEdit *con = nullptr;
        TwwDBLookupCombo *result = nullptr;
    };
    std::array<TypeColumn33, 9> typeColumns33_{};

    // One type row of page 2.
    struct TypeRow66 {
        TwwDBEdit *org = nullptr;
        TwwDBEdit *con = nullptr;
        TwwDBEdit *field = nullptr; // the item string of whichever test ran last
        TSpeedButton *button = nullptr;
        TwwDBLookupCombo *result = nullptr;
    };
    // In type-code order: index 0 is YangXu (code 1).
    std::array<TypeRow66, 9> typeRows66_{};
    TwwDBEdit *conTotal_ = nullptr;
    TwwDBEdit *resultTotal_ = nullptr;

    tizhi::RecordBinding record_;
};

// The one main window, while it is open.
inline TfrmMedDiaClientInfoEdit *frmMedDiaClientInfoEdit = nullptr;
