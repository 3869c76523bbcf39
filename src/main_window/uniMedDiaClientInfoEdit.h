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
#include "test_page.h"

#include <QMainWindow>

#include <array>

class QAction;
class TPageControl;
class TwwDBEdit;

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
    // The nine type fields of page 2, YangXu first; they hold the item
    // strings of whichever test ran last.
    QList<TwwDBEdit *> typeFields_;
};

// The one main window, while it is open.
inline TfrmMedDiaClientInfoEdit *frmMedDiaClientInfoEdit = nullptr;
