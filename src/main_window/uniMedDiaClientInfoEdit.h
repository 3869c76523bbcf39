// The main window "中医体质辨识": five pages (client base information, the
// 33-item test, the 66-item test, diagnosis records, contact records), each
// in the common page frame. The record pages are laid out for a client
// database and stay read-only and inert in this edition.
//
// Each page is a unit of its own (Page33, Page66, BaseInfoPage, DiagnosePage,
// ContactPage) that builds its rows and connects them to the handlers
// below. The window keeps its commands, the frames, the assessment record's
// binding (which spans pages 1 and 2) and every handler, each a short call
// into its page.
#pragma once

#include "database_edition.h"
#include "page_frame.h"
#include "record_binding.h"
#include "window_commands.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QAbstractButton;
class TPageControl;

namespace tizhi {
class BaseInfoPage;
class DatabaseEdition;
class ContactPage;
class DiagnosePage;
class Page33;
class Page66;
} // namespace tizhi

class TfrmMedDiaClientInfoEdit : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmMedDiaClientInfoEdit(QWidget *parent = nullptr);
    ~TfrmMedDiaClientInfoEdit() override;

    TPageControl *pgcClient = nullptr;

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
    // Alt+Down in a type field opens its questionnaire, as the usual key
    // for opening what belongs to a field.
    void edtCMHYangXuFieldKeyDown(QWidget *sender, int key, Qt::KeyboardModifiers modifiers);
    void actCMHConvalesceSchemeExecute();
    // A page shown while the focus was on the page left: the focus goes to
    // the new page's first field.
    void pgcClientChange(int index);
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
    void createFrames();
    void createPages();
    void addSaveExpandItemMenus();
    void connectHandlers();

    // The steps of FormCreate, in their order.
    void createAppearanceAndCloseFields();
    void selectStartPage();
    void showSchemeButtons();
    void hidePrintSetup();
    void setPage33FixedTexts();
    void openTestPages();
    void closeLookupsAndRichTextsStartPickers();
    void fillSchemeHelpTexts();
    void clearTypeFields();
    void enableNoticePanels();
    void openDatabaseEdition();

    void FormClose();

    // Page 1's assessment: the answers into the item strings, then scores.
    void recompute33();
    // Page 2's assessment of the nine type fields.
    void recompute66();
    // Runs `assess` on `record`, which keeps what was computed before a
    // conversion error; the error's text, or nothing.
    static QString assessInPlace(tizhi::AssessmentRecord &record,
                                 const std::function<void(tizhi::AssessmentRecord &)> &assess);
    // Whether a test page takes answers: always in the edition that keeps
    // nothing; in the database edition a stored test only while edited.
    bool takesAnswers(int page) const;
    tizhi::DatabaseEdition::Pages databasePages();
    void selectPage(const QAction *command, int index);
    void showFullScreen(QWidget *sender);
    void openQuestionnaire(int code);

    tizhi::WindowCommands commands_;
    std::array<tizhi::PageFrame, 5> frames_;
    tizhi::RecordBinding record_;
    // Each test page's own part of the record: in the database edition
    // each page shows a test of its own.
    tizhi::RecordBinding record33_;
    tizhi::RecordBinding record66_;
    std::unique_ptr<tizhi::BaseInfoPage> baseInfo_;
    std::unique_ptr<tizhi::Page33> page33_;
    std::unique_ptr<tizhi::Page66> page66_;
    std::unique_ptr<tizhi::DiagnosePage> diagnose_;
    std::unique_ptr<tizhi::ContactPage> contact_;
    // The database edition's pages, while a database is open; none in the
    // edition that keeps nothing.
    tizhi::DatabaseEdition *database_ = nullptr;
    int shownPage_ = 0;

public:
    tizhi::DatabaseEdition *databaseEdition() const { return database_; }
};

// The one main window, while it is open.
inline TfrmMedDiaClientInfoEdit *frmMedDiaClientInfoEdit = nullptr;
