// The full-screen text viewer: a maximised modal window that shows a copy
// of a rich text box too small to read in place, with Find (Ctrl+F) and
// Find Continue (F3). Opened by ShowRichTextFullScreen and destroyed by
// ReleaseFullScreenViewer (uniChineseMedicinePublic.h).
#pragma once

#include <QDialog>

class QAction;
class QMenu;
class TRichEdit;

class TfrmRichTextProcessFullScreen : public QDialog {
    Q_OBJECT

public:
    explicit TfrmRichTextProcessFullScreen(QWidget *parent = nullptr);
    ~TfrmRichTextProcessFullScreen() override;

    static const QString kDesignCaption;

    TRichEdit *reFullScreen = nullptr;
    QMenu *pmButton = nullptr;
    QAction *pmiQuit = nullptr;
    QAction *actQuit = nullptr;
    QAction *actFind = nullptr;
    QAction *actFindContinue = nullptr;

    QString lastSearchText() const { return lastSearchText_; }

    void FormCreate();
    void actQuitExecute();
    void actFindExecute();
    void actFindContinueExecute();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createActions();
    // Selects the next match of `text` after the current selection (from
    // the start when nothing is selected); silent when there is none.
    void searchStep(const QString &text);

    QString lastSearchText_;
};

// The one viewer, while it exists.
inline TfrmRichTextProcessFullScreen *frmRichTextProcessFullScreen = nullptr;
