// The questionnaire window "中医体质测试项目": the seven or eight questions of
// one constitution type of the 66-item test, each with five answer buttons
// and an answer box. "确定" builds the type's item string from the boxes and
// hands it back; "取消" and the close box hand back nothing. The window does
// no scoring: its opener prepares it with PrepareForType, shows it modally,
// reads GetItemString() after OK and destroys it.
#pragma once

#include <QDialog>
#include <QList>

#include <array>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QGridLayout;
class QVBoxLayout;
class TBitBtn;
class TEdit;
class TPanel;
class TLabel;
class TScrollBox;
class TSpeedButton;

class TfrmMedDiaClientChiModHabFieldEdit : public QDialog {
    Q_OBJECT

public:
    static constexpr int kRows = 8;
    // Modes of PrepareForType.
    static constexpr int kViewOnly = 1;
    static constexpr int kAnswering = 2;

    explicit TfrmMedDiaClientChiModHabFieldEdit(QWidget *parent = nullptr);
    ~TfrmMedDiaClientChiModHabFieldEdit() override;

    // Called once by the opener before showing the window: `mode` 1 shows
    // the answers only, 2 lets them be changed; `typeCode` 1 to 9 chooses
    // the questions; `itemString` is what the type field held.
    void PrepareForType(int mode, int typeCode, const QString &itemString);
    // The item string held, trimmed: the caller's until "确定" replaces it.
    QString GetItemString() const;

    void SetAnswerControlsEnabled(bool enabled);
    void FillAnswerBoxes(const QString &itemString, int rowCount);
    void SetRow8Visible(bool visible);

    void FormCreate();
    void actConfirmExecute();
    void actQuitExecute();
    // All forty answer buttons: the row is the last character of the
    // sender's name, the answer its id in the row's group.
    void btnNot1Click(QAbstractButton *sender);
    void edtOriginal1KeyPress(QWidget *sender, QChar &key);
    void edtOriginal1KeyDown(QWidget *sender, int key, Qt::KeyboardModifiers modifiers);

    // The window's parts, for its opener's tests.
    TPanel *lblTitleTop = nullptr;
    TScrollBox *scbClient = nullptr;
    TLabel *lblHelp = nullptr;
    QAction *actConfirm = nullptr;
    QAction *actQuit = nullptr;

    struct Row {
        TPanel *number = nullptr;
        TPanel *prompt = nullptr;
        std::array<TBitBtn *, 5> buttons{}; // answer 1 to 5
        QButtonGroup *group = nullptr;
        TEdit *answer = nullptr;
    };
    const std::array<Row, kRows> &rows() const { return rows_; }

    // Opens at the design size, or as large as the screen it opens on
    // allows (down to 1024 x 768).
    void setVisible(bool visible) override;

protected:
    // Escape does nothing here: 取消, Ctrl+Shift+F11 and the close box are
    // the ways out, so a stray key does not lose the answers given.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
    void createTitle(QVBoxLayout *window);
    QGridLayout *createScrollArea(QVBoxLayout *window);
    TBitBtn *createHeaderRow(QGridLayout *grid);
    void createRow(QGridLayout *grid, int k);
    void createAnswerButtons(QGridLayout *grid, int k);
    void createAnswerBox(QGridLayout *grid, int k);
    void createHelp();
    void createTabOrder(TBitBtn *titleOriginal);
    void createActions();
    void fitToScreen();
    int rowCount() const;

    std::array<Row, kRows> rows_{};
    std::array<TBitBtn *, 5> columnHeads_{};
    int mode_ = 0;
    int typeCode_ = 0;
    QString itemString_;
};

// The one questionnaire window, while it is open.
inline TfrmMedDiaClientChiModHabFieldEdit *frmMedDiaClientChiModHabFieldEdit = nullptr;
