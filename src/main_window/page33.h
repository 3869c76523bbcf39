// Page 1, "中老年人体质测试": the 33-item test, answered on the page itself,
// one click or one digit per question, and the nine scores and verdicts
// under the questions. The page builds its rows and connects each one to
// the window's handlers as it makes it; the window keeps the handlers and
// calls into the page.
#pragma once

#include "test_page.h"

#include "assessment.h"

#include <QStringList>

#include <array>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QGridLayout;
class QHBoxLayout;
class QVBoxLayout;
class QWidget;
class TBitBtn;
class TEdit;
class TPanel;
class TScrollBox;
class TfrmMedDiaClientInfoEdit;
class TwwDBEdit;
class TwwDBLookupCombo;

namespace tizhi {

class RecordBinding;
struct PageFrame;
struct WindowCommands;

class Page33 {
public:
    // Builds the page into `frame`'s data area and binds its scores and
    // verdicts into `record`.
    Page33(TfrmMedDiaClientInfoEdit *window, const PageFrame &frame, const WindowCommands &commands,
           RecordBinding &record);

    const TestPage &header() const { return header_; }
    // Where the focus goes when the page is shown: the first answer box.
    QWidget *firstField() const;

    // The captions that come from the catalogue: the answer columns' titles,
    // the questions and their number buttons; then the columns aligned.
    void setFixedTexts();
    // Opens the header and the answer boxes for entry, or closes them.
    void setEditState(bool editable);

    Answers33 answers() const;
    void setAnswers(const Answers33 &answers);
    // The answer box of question `question` (1 to 33).
    QWidget *answerBox(int question) const;
    // Writes the answer of a number button ("btn_NN_V") into its box.
    void setAnswerFrom(const QAbstractButton *numberButton);
    // Asks, and on Yes sets every answer to "1"; the scores stay until the
    // next recomputation.
    void askToResetAnswers(QWidget *parent);

    // The points of the help text in the scheme box.
    static QStringList helpPoints();

private:
    struct QuestionRow {
        TPanel *number = nullptr;
        TBitBtn *prompt = nullptr;
        std::array<TBitBtn *, 5> buttons{}; // answer 1 to 5
        QButtonGroup *group = nullptr;
        TEdit *answer = nullptr;
    };
    // One column of the summary area, in type-code order.
    struct TypeColumn {
        TBitBtn *title = nullptr;
        TwwDBEdit *con = nullptr;
        TwwDBLookupCombo *result = nullptr;
    };

    void createTitleRow(QWidget *body, QVBoxLayout *column);
    void createQuestionGrid(QWidget *body, QVBoxLayout *column);
    void createQuestionRow(int question, QWidget *questions, QGridLayout *grid);
    void createSummaryArea(QWidget *body, QVBoxLayout *column, RecordBinding &record);
    void createTypeColumn(int code, QWidget *body, QHBoxLayout *summary, RecordBinding &record);
    void setTabOrder();
    // Gives the question grid's columns and the title row above it one
    // width each, wide enough for every caption at the fonts in use.
    void alignQuestionColumns();

    TfrmMedDiaClientInfoEdit *window_;
    QAction *calcBMI_;
    TestPage header_;
    std::array<QuestionRow, 33> questions_{};
    // The title row above the question grid: number, prompt, five answer
    // columns, the reset button "单项原始分数".
    TPanel *titleNo_ = nullptr;
    TPanel *titlePrompt_ = nullptr;
    std::array<TBitBtn *, 5> answerTitles_{};
    TBitBtn *lblTitleOriginal = nullptr;
    TScrollBox *scbCMH33Field = nullptr;
    TBitBtn *lblCMH33HabResult = nullptr;
    std::array<TypeColumn, 9> typeColumns_{};
};

} // namespace tizhi
