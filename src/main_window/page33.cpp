// Page 1, "中老年人体质测试": the 33-item test, answered on the page itself,
// one click or one digit per question; scored whenever an answer box is
// left and by the identification and scheme buttons.
#include "uniMedDiaClientInfoEdit.h"

#include "catalogue.h"
#include "control_kinds.h"
#include "uniCalcBMI.h"
#include "uniChineseMedicinePublic.h"

#include <QAction>
#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QStyle>
#include <QVBoxLayout>

using namespace tizhi;

namespace {

const TestPageDefs kPage33 = makeTestPageDefs({
    "edtCMH33TestType",
    "edtCMH33TestTime",
    "edtCMH33Name",
    "edtCMH33IdentNo",
    "edtCMH33Doctor",
    "edtCMH33Site",
    "edtCMH33ConSch",
    "edtCMH33Remark",
    "btnCMH33ConSch",
});

// Design sizes at 96 dots per inch.
constexpr int kRowHeight = 45;
constexpr int kNumberWidth = 38;
constexpr int kPromptWidth = 360;
constexpr int kButtonWidth = 88;
constexpr int kAnswerWidth = 80;
constexpr int kGridMargin = 5;    // the question grid's left and right margins
constexpr int kColumnWidth = 102; // one type column of the summary area

// The summary area's columns, left to right.
constexpr std::array<int, kTypeCount> kColumnOrder = {3, 1, 2, 4, 5, 6, 7, 8, 9};

QFont bold(QFont font)
{
    font.setBold(true);
    return font;
}

// A button shows its command: caption, enabled and visible follow it, and
// a click triggers it.
void showCommand(TBitBtn *button, QAction *command)
{
    auto follow = [button, command] {
        button->setText(captionText(command->text()));
        button->setEnabled(command->isEnabled());
        button->setVisible(command->isVisible());
    };
    follow();
    QObject::connect(command, &QAction::changed, button, follow);
    QObject::connect(button, &QPushButton::clicked, command, [command] { command->trigger(); });
}

} // namespace

QStringList tizhi::page33HelpPoints()
{
    return {
        QStringLiteral("1、在按钮【单项原始分数】下面的文本框可以输入具体的数字；"
                       "或者单击那些【数字按钮】。"),
        QStringLiteral("2、单击按钮【单项原始分数】可以初始化所有数字文本框。"),
        QStringLiteral("3、让光标在【数字文本框】之间切换，可以自动计算【体质分数、结果】。"),
        QStringLiteral("4、单击按钮【体质辨识】，可以自动计算【体质分数、结果】。"),
        QStringLiteral("5、单击按钮【疗养方案】，可以自动计算【体质分数、结果】。"),
        QStringLiteral("6、双击某些【文本框】，可以全屏浏览文字。"),
        QStringLiteral("7、本软件不能保存数据，只能计算体质分数、结果。") +
            databaseEditionSentence(),
    };
}

void TfrmMedDiaClientInfoEdit::createPage33Body()
{
    page33_ = buildTestPage(frames_[Test33].content, kPage33, requiredCommand("actCMH33ConSch"));
    QWidget *content = page33_.grid.container;
    auto *body = new QWidget(content);
    auto *column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    page33_.grid.layout->addWidget(body, kFirstBodyRow, 0, 1, 8);

    // The column title row. Captions that come from the catalogue are set
    // by FormCreate.
    auto *titles = new QHBoxLayout;
    titles->setSpacing(0);
    titles->setContentsMargins(0, 0, 0, 0);
    column->addLayout(titles);
    titleNo33_ = new TPanel(body);
    titleNo33_->setObjectName(QStringLiteral("lblTitleNo"));
    titleNo33_->setCaption(QStringLiteral("编号"));
    titlePrompt33_ = new TPanel(body);
    titlePrompt33_->setObjectName(QStringLiteral("lblTitlePrompt"));
    titlePrompt33_->setCaption(fromCatalogue(kInstruction));
    for (TPanel *panel : {titleNo33_, titlePrompt33_}) {
        panel->setFont(bold(panel->font()));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setMinimumHeight(kRowHeight);
        titles->addWidget(panel);
    }
    static constexpr std::array<const char *, 5> kTitleNames = {
        "lblTitleNot", "lblTitleSeldom", "lblTitleSometimes", "lblTitleOften", "lblTitleAlways"};
    for (std::size_t i = 0; i < kTitleNames.size(); ++i) {
        auto *title = new TBitBtn(body);
        title->setObjectName(QString::fromLatin1(kTitleNames[i]));
        title->setFont(bold(title->font()));
        title->setMinimumHeight(kRowHeight);
        answerTitles33_[i] = title;
        titles->addWidget(title);
    }
    lblTitleOriginal = new TBitBtn(body);
    lblTitleOriginal->setObjectName(QStringLiteral("lblTitleOriginal"));
    lblTitleOriginal->setText(QStringLiteral("单项原始分数"));
    lblTitleOriginal->setFont(bold(lblTitleOriginal->font()));
    lblTitleOriginal->setMinimumHeight(kRowHeight);
    titles->addWidget(lblTitleOriginal);
    titles->addStretch(1);

    // The question grid: 33 rows in question order, in a scroll box.
    scbCMH33Field = new TScrollBox(body);
    scbCMH33Field->setObjectName(QStringLiteral("scbCMH33Field"));
    scbCMH33Field->setDesignSize({957, 406});
    scbCMH33Field->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *questions = new QWidget;
    scbCMH33Field->setWidget(questions);
    auto *grid = new QGridLayout(questions);
    grid->setContentsMargins(kGridMargin, 0, kGridMargin, 0);
    grid->setSpacing(0);
    for (int n = 1; n <= kQuestionCount33; ++n) {
        QuestionRow33 &row = questionRows33_[std::size_t(n - 1)];
        const QString two = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
        row.number = new TPanel(questions);
        row.number->setObjectName(QStringLiteral("lblNo") + two);
        row.number->setCaption(QString::number(n));
        row.number->setFrameShape(QFrame::StyledPanel);
        grid->addWidget(row.number, n - 1, 0);
        row.prompt = new TBitBtn(questions);
        row.prompt->setObjectName(QStringLiteral("lblPrompt") + two);
        row.prompt->setStyleSheet(QStringLiteral("text-align: left; padding-left: 4px;"));
        grid->addWidget(row.prompt, n - 1, 1);
        row.group = new QButtonGroup(questions);
        row.group->setExclusive(false);
        for (int value = 1; value <= 5; ++value) {
            auto *button = new TBitBtn(questions);
            button->setObjectName(QStringLiteral("btn_%1_%2").arg(two).arg(value));
            button->setText(QString::number(value));
            row.group->addButton(button, value);
            row.buttons[std::size_t(value - 1)] = button;
            grid->addWidget(button, n - 1, 1 + value);
        }
        row.answer = new TEdit(questions);
        row.answer->setObjectName(fromCatalogue(answerBoxName33(n)));
        row.answer->setFont(bold(row.answer->font()));
        row.answer->setAlignment(Qt::AlignCenter);
        // Digits only: an input method has nothing to offer here.
        row.answer->setAttribute(Qt::WA_InputMethodEnabled, false);
        grid->addWidget(row.answer, n - 1, 7);
        grid->setRowMinimumHeight(n - 1, kRowHeight);
    }
    grid->setColumnStretch(8, 1); // room to spare stays right of the answers
    column->addWidget(scbCMH33Field);

    // The summary area: the identification button, then a column per type.
    auto *summary = new QHBoxLayout;
    summary->setSpacing(0);
    summary->setContentsMargins(0, 0, 0, 0);
    column->addLayout(summary);
    lblCMH33HabResult = new TBitBtn(body);
    lblCMH33HabResult->setObjectName(QStringLiteral("lblCMH33HabResult"));
    lblCMH33HabResult->setFont(bold(lblCMH33HabResult->font()));
    lblCMH33HabResult->setDesignSize({43, 65});
    summary->addWidget(lblCMH33HabResult);
    for (const int code : kColumnOrder) {
        const ConstitutionType &type = kTypes[std::size_t(code - 1)];
        const QString pinyin = fromCatalogue(type.pinyin);
        TypeColumn33 &typeColumn = typeColumns33_[std::size_t(code - 1)];
        auto *cell = new QWidget(body);
        auto *stack = new QVBoxLayout(cell);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(0);
        typeColumn.title = new TBitBtn(cell);
        typeColumn.title->setObjectName(QStringLiteral("lblCMH33%1Result").arg(pinyin));
        typeColumn.title->setText(fromCatalogue(type.displayName));
        typeColumn.title->setFont(bold(typeColumn.title->font()));
        typeColumn.con = new TwwDBEdit(cell);
        typeColumn.con->setObjectName(QStringLiteral("edtCMH33%1Con").arg(pinyin));
        typeColumn.result = new TwwDBLookupCombo(cell);
        typeColumn.result->setObjectName(QStringLiteral("edtCMH33%1Result").arg(pinyin));
        typeColumn.result->setEditable(false);
        for (QWidget *part : std::initializer_list<QWidget *>{typeColumn.title, typeColumn.con,
                                                              typeColumn.result}) {
            controlKind(part)->setDesignSize({kColumnWidth, 21});
            stack->addWidget(part);
        }
        summary->addWidget(cell);

        const TypeFields &fields = fieldsOf(type);
        record_.bind(fields.con, typeColumn.con);
        record_.bind(fields.result, typeColumn.result);
    }
    summary->addStretch(1);

    // Tab order: the header, the 33 answer boxes (Tab and Enter walk from
    // one to the next), then the identification button and the results,
    // scheme and remark, and last the buttons of the grid and its titles.
    QList<QWidget *> order = {page33_.testType, page33_.testTime, page33_.name,
                              page33_.identNo,  page33_.doctor,   page33_.site};
    for (const QuestionRow33 &row : questionRows33_)
        order << row.answer;
    order << lblCMH33HabResult;
    for (const int code : kColumnOrder) {
        const TypeColumn33 &typeColumn = typeColumns33_[std::size_t(code - 1)];
        order << typeColumn.title << typeColumn.con << typeColumn.result;
    }
    order << page33_.scheme << page33_.remark;
    for (const QuestionRow33 &row : questionRows33_) {
        order << row.prompt;
        for (TBitBtn *button : row.buttons)
            order << button;
    }
    order << titleNo33_ << titlePrompt33_;
    for (TBitBtn *title : answerTitles33_)
        order << title;
    order << lblTitleOriginal;
    setTabOrderChain(order);

    showCommand(questionRows33_[8].prompt, requiredCommand("actCalcBMI"));

    // The answer boxes and the nine scores must be in view without
    // scrolling sideways: on a narrow screen the record list beside the
    // page gives up width first, down to 200 pixels.
    frames_[Test33].dataArea->setFitsContentWidth(200);
}

void TfrmMedDiaClientInfoEdit::connectPage33Handlers()
{
    for (const QuestionRow33 &row : questionRows33_) {
        connect(row.group, &QButtonGroup::buttonClicked, this,
                &TfrmMedDiaClientInfoEdit::btn_01_1Click);
        ControlEvents *answer = row.answer->events();
        connect(answer, &ControlEvents::keyPressed, this,
                &TfrmMedDiaClientInfoEdit::edtOriginal01KeyPress);
        connect(answer, &ControlEvents::exited, this, &TfrmMedDiaClientInfoEdit::edtOriginal01Exit);
        connect(answer, &ControlEvents::keyDown, this,
                &TfrmMedDiaClientInfoEdit::edtVerifyIfKeyDown);
    }
    for (const TypeColumn33 &typeColumn : typeColumns33_) {
        for (IControlKind *kind :
             std::initializer_list<IControlKind *>{typeColumn.con, typeColumn.result})
            connect(kind->events(), &ControlEvents::keyDown, this,
                    &TfrmMedDiaClientInfoEdit::edtVerifyIfKeyDown);
        connect(typeColumn.result->events(), &ControlEvents::keyPressed, this,
                &TfrmMedDiaClientInfoEdit::edtVerifyIfKeyPress);
    }
    connect(lblTitleOriginal, &QPushButton::clicked, this,
            &TfrmMedDiaClientInfoEdit::lblTitleOriginalClick);
    connect(lblCMH33HabResult, &QPushButton::clicked, this,
            &TfrmMedDiaClientInfoEdit::lblCMH33HabResultClick);
    for (const auto &[name, handler] :
         {std::pair{"actCMH33ConSch", &TfrmMedDiaClientInfoEdit::actCMH33ConSchExecute},
          std::pair{"actCalcBMI", &TfrmMedDiaClientInfoEdit::actCalcBMIExecute}}) {
        QAction *action = requiredCommand(name);
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, handler);
    }
}

void TfrmMedDiaClientInfoEdit::setPage33FixedTexts()
{
    for (std::size_t i = 0; i < answerTitles33_.size(); ++i)
        answerTitles33_[i]->setText(captionText(fromCatalogue(kAnswerScale[i].header33)));
    lblCMH33HabResult->setText(captionText(QStringLiteral("体质\r辨识")));
    for (int n = 1; n <= kQuestionCount33; ++n) {
        const QuestionRow33 &row = questionRows33_[std::size_t(n - 1)];
        const QString prompt = fromCatalogue(kQuestions33[std::size_t(n - 1)]);
        if (n == 9)
            requiredCommand("actCalcBMI")->setText(prompt); // the button shows its command
        else
            row.prompt->setText(captionText(prompt));
        for (int value = 1; value <= 5; ++value)
            row.buttons[std::size_t(value - 1)]->setText(
                captionText(QString::fromStdString(answerCaption33(n, value))));
    }
    alignQuestionColumns();
}

void TfrmMedDiaClientInfoEdit::alignQuestionColumns()
{
    // Each column as wide as its design or its widest caption, whichever is
    // more, so that a 12-point setting still shows every caption whole.
    std::array<int, 8> widths = {kNumberWidth, kPromptWidth, kButtonWidth, kButtonWidth,
                                 kButtonWidth, kButtonWidth, kButtonWidth, kAnswerWidth};
    // The cells of a row, left to right.
    auto cellsOf = [](const QuestionRow33 &row) {
        return std::array<QWidget *, 8>{row.number,     row.prompt,     row.buttons[0],
                                        row.buttons[1], row.buttons[2], row.buttons[3],
                                        row.buttons[4], row.answer};
    };
    for (const QuestionRow33 &row : questionRows33_) {
        const auto cells = cellsOf(row);
        for (std::size_t c = 0; c < cells.size(); ++c)
            widths[c] = std::max(widths[c], cells[c]->sizeHint().width());
    }
    for (std::size_t c = 0; c < answerTitles33_.size(); ++c)
        widths[2 + c] = std::max(widths[2 + c], answerTitles33_[c]->sizeHint().width());
    widths[1] = std::max(widths[1], titlePrompt33_->sizeHint().width());
    for (const QuestionRow33 &row : questionRows33_) {
        const auto cells = cellsOf(row);
        for (std::size_t c = 0; c < cells.size(); ++c)
            cells[c]->setFixedWidth(widths[c]);
    }
    // The title row stands over the grid's margin and its scroll bar.
    const int scrollBar = scbCMH33Field->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    titleNo33_->setFixedWidth(kGridMargin + widths[0]);
    titlePrompt33_->setFixedWidth(widths[1]);
    for (std::size_t c = 0; c < answerTitles33_.size(); ++c)
        answerTitles33_[c]->setFixedWidth(widths[2 + c]);
    lblTitleOriginal->setFixedWidth(
        std::max(widths[7] + kGridMargin + scrollBar, lblTitleOriginal->sizeHint().width()));
    int total = 2 * kGridMargin + scrollBar + 2 * scbCMH33Field->frameWidth();
    for (int width : widths)
        total += width;
    scbCMH33Field->setMinimumWidth(total);
}

void TfrmMedDiaClientInfoEdit::SetPage33EditState(bool editable)
{
    setTestPageHeaderEditState(page33_, editable);
    const TColor color =
        editable ? InterfaceRecord->GetEditableColor() : InterfaceRecord->GetReadOnlyColor();
    // The answer boxes stay enabled in both states: the appearance routines
    // disabled them with every plain box.
    for (const QuestionRow33 &row : questionRows33_) {
        row.answer->setEnabled(true);
        row.answer->setReadOnlyFlag(!editable);
        row.answer->setColor(color);
    }
}

void TfrmMedDiaClientInfoEdit::recompute33()
{
    Answers33 answers;
    for (std::size_t i = 0; i < answers.size(); ++i)
        answers[i] = questionRows33_[i].answer->text().toStdString();
    runAssessment([&answers](AssessmentRecord &record) {
        BuildItemStrings33(answers, record);
        Assess33(record);
    });
}

void TfrmMedDiaClientInfoEdit::btn_01_1Click(QAbstractButton *sender)
{
    // "btn_NN_V": characters 5 and 6 are the question, character 8 the answer.
    const QString name = sender->objectName();
    if (name.size() != 8 || !name.startsWith(QLatin1String("btn_")))
        return;
    const int question = name.mid(4, 2).toInt();
    if (question < 1 || question > kQuestionCount33)
        return;
    questionRows33_[std::size_t(question - 1)].answer->setText(name.mid(7, 1));
}

void TfrmMedDiaClientInfoEdit::edtOriginal01KeyPress(QWidget *sender, QChar &key)
{
    filterAnswerKey(static_cast<TEdit *>(sender), key);
}

void TfrmMedDiaClientInfoEdit::edtOriginal01Exit(QWidget *)
{
    recompute33();
}

void TfrmMedDiaClientInfoEdit::lblTitleOriginalClick()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("温馨提示"),
                    QStringLiteral("是否真的还原【单项原始分数】? "),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("resetAnswersBox"));
    if (box.exec() != QMessageBox::Yes)
        return;
    // Every answer "1"; the scores stay until the next recomputation.
    for (const QuestionRow33 &row : questionRows33_)
        row.answer->setText(QStringLiteral("1"));
}

void TfrmMedDiaClientInfoEdit::lblCMH33HabResultClick()
{
    recompute33();
}

void TfrmMedDiaClientInfoEdit::actCMH33ConSchExecute()
{
    if (mayExecute(requiredCommand("actCMH33ConSch")))
        recompute33();
}

void TfrmMedDiaClientInfoEdit::actCalcBMIExecute()
{
    if (!mayExecute(requiredCommand("actCalcBMI")))
        return;
    if (!frmCalcBMI)
        frmCalcBMI = new TfrmCalcBMI(this);
    frmCalcBMI->exec();
    delete frmCalcBMI; // also clears the reference
    frmCalcBMI = nullptr;
}

void TfrmMedDiaClientInfoEdit::edtCMH33ConSchDblClick(QWidget *sender)
{
    showFullScreen(sender);
}
