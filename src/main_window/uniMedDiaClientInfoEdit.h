// The main window "中医体质辨识": five pages (client base information, the
// 33-item test, the 66-item test, diagnosis records, contact records), each
// in the common page frame. The record pages are laid out for a client
// database and stay read-only and inert in this edition.
#pragma once

#include <QMainWindow>

class QAction;
class QTextEdit;
class TPageControl;

namespace tizhi {
struct PageDef;
}

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
    void createActions();
    void createPages();
    void createPage(QWidget *page, const tizhi::PageDef &def);
    void connectHandlers();
    void fillNoticePanels();
    void FormClose();
    void setHeaderEditState(const char *const names[8], bool editable);

    // Whether a command may act: enabled and visible.
    static bool mayExecute(const QAction *action);
    void selectPage(QAction *action, int index);
    void showFullScreen(QWidget *sender);
    QAction *addCommand(const QString &name, const QString &caption, const QString &hint = {});
};

// The one main window, while it is open.
inline TfrmMedDiaClientInfoEdit *frmMedDiaClientInfoEdit = nullptr;
