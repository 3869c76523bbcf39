#include "page33.h"

#include "answer_box.h"
#include "catalogue.h"
#include "control_kinds.h"
#include "page_frame.h"
#include "record_binding.h"
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientInfoEdit.h"
#include "window_commands.h"

#include <QAction>
#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyle>
#include <QVBoxLayout>

namespace tizhi {

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

void makeBold(QWidget *widget)
{
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
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

QHBoxLayout *tightRow(QVBoxLayout *column)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    column->addLayout(row);
    return row;
}

} // namespace

QStringList Page33::helpPoints()
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

Page33::Page33(TfrmMedDiaClientInfoEdit *window, const PageFrame &frame,
               const WindowCommands &commands, RecordBinding &record)
    : window_(window), calcBMI_(commands.actCalcBMI),
      header_(buildTestPage(frame.content, kPage33, commands.actCMH33ConSch))
{
    auto *body = new QWidget(header_.grid.container);
    auto *column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    header_.grid.layout->addWidget(body, kFirstBodyRow, 0, 1, 8);

    createTitleRow(body, column);
    createQuestionGrid(body, column);
    createSummaryArea(body, column, record);
    setTabOrder();
    showCommand(questions_[8].prompt, calcBMI_);
    // A taller window shows more questions at once.
    letTestPageBodyGrow(header_);
}

void Page33::createTitleRow(QWidget *body, QVBoxLayout *column)
{
    // Captions that come from the catalogue are set by setFixedTexts.
    QHBoxLayout *titles = tightRow(column);
    titleNo_ = new TPanel(body);
    titleNo_->setObjectName(QStringLiteral("lblTitleNo"));
    titleNo_->setCaption(QStringLiteral("编号"));
    titlePrompt_ = new TPanel(body);
    titlePrompt_->setObjectName(QStringLiteral("lblTitlePrompt"));
    titlePrompt_->setCaption(fromCatalogue(kInstruction));
    for (TPanel *panel : {titleNo_, titlePrompt_}) {
        makeBold(panel);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setMinimumHeight(kRowHeight);
        titles->addWidget(panel);
    }
    static constexpr std::array<const char *, 5> kTitleNames = {
        "lblTitleNot", "lblTitleSeldom", "lblTitleSometimes", "lblTitleOften", "lblTitleAlways"};
    for (std::size_t i = 0; i < kTitleNames.size(); ++i) {
        answerTitles_[i] = new TBitBtn(body);
        answerTitles_[i]->setObjectName(QString::fromLatin1(kTitleNames[i]));
    }
    lblTitleOriginal = new TBitBtn(body);
    lblTitleOriginal->setObjectName(QStringLiteral("lblTitleOriginal"));
    lblTitleOriginal->setText(QStringLiteral("单项原始分数"));
    for (TBitBtn *title : answerTitles_) {
        makeBold(title);
        title->setMinimumHeight(kRowHeight);
        titles->addWidget(title);
    }
    makeBold(lblTitleOriginal);
    lblTitleOriginal->setMinimumHeight(kRowHeight);
    titles->addWidget(lblTitleOriginal);
    titles->addStretch(1);
    QObject::connect(lblTitleOriginal, &QPushButton::clicked, window_,
                     &TfrmMedDiaClientInfoEdit::lblTitleOriginalClick);
}

void Page33::createQuestionGrid(QWidget *body, QVBoxLayout *column)
{
    // 33 rows in question order, in a scroll box.
    scbCMH33Field = new TScrollBox(body);
    scbCMH33Field->setObjectName(QStringLiteral("scbCMH33Field"));
    scbCMH33Field->setDesignSize({957, 406});
    scbCMH33Field->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *questions = new QWidget;
    scbCMH33Field->setWidget(questions);
    auto *grid = new QGridLayout(questions);
    grid->setContentsMargins(kGridMargin, 0, kGridMargin, 0);
    grid->setSpacing(0);
    for (int n = 1; n <= kQuestionCount33; ++n)
        createQuestionRow(n, questions, grid);
    grid->setColumnStretch(8, 1); // room to spare stays right of the answers
    column->addWidget(scbCMH33Field, 1);
}

void Page33::createQuestionRow(int n, QWidget *questions, QGridLayout *grid)
{
    using W = TfrmMedDiaClientInfoEdit;
    QuestionRow &row = questions_[std::size_t(n - 1)];
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
    QObject::connect(row.group, &QButtonGroup::buttonClicked, window_, &W::btn_01_1Click);

    row.answer = new TEdit(questions);
    row.answer->setObjectName(fromCatalogue(answerBoxName33(n)));
    makeBold(row.answer);
    row.answer->setAlignment(Qt::AlignCenter);
    // Digits only: an input method has nothing to offer here.
    row.answer->setAttribute(Qt::WA_InputMethodEnabled, false);
    setUpAnswerBox(row.answer);
    setEnterMovesOn(row.answer);
    grid->addWidget(row.answer, n - 1, 7);
    grid->setRowMinimumHeight(n - 1, kRowHeight);
    ControlEvents *events = row.answer->events();
    QObject::connect(events, &ControlEvents::keyPressed, window_, &W::edtOriginal01KeyPress);
    QObject::connect(events, &ControlEvents::exited, window_, &W::edtOriginal01Exit);
}

void Page33::createSummaryArea(QWidget *body, QVBoxLayout *column, RecordBinding &record)
{
    // The identification button, then a column per type.
    QHBoxLayout *summary = tightRow(column);
    lblCMH33HabResult = new TBitBtn(body);
    lblCMH33HabResult->setObjectName(QStringLiteral("lblCMH33HabResult"));
    makeBold(lblCMH33HabResult);
    lblCMH33HabResult->setDesignSize({43, 65});
    summary->addWidget(lblCMH33HabResult);
    QObject::connect(lblCMH33HabResult, &QPushButton::clicked, window_,
                     &TfrmMedDiaClientInfoEdit::lblCMH33HabResultClick);
    for (const int code : kColumnOrder)
        createTypeColumn(code, body, summary, record);
    summary->addStretch(1);
}

void Page33::createTypeColumn(int code, QWidget *body, QHBoxLayout *summary, RecordBinding &record)
{
    const ConstitutionType &type = kTypes[std::size_t(code - 1)];
    const QString pinyin = fromCatalogue(type.pinyin);
    TypeColumn &typeColumn = typeColumns_[std::size_t(code - 1)];
    auto *cell = new QWidget(body);
    auto *stack = new QVBoxLayout(cell);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    typeColumn.title = new TBitBtn(cell);
    typeColumn.title->setObjectName(QStringLiteral("lblCMH33%1Result").arg(pinyin));
    typeColumn.title->setText(fromCatalogue(type.displayName));
    makeBold(typeColumn.title);
    typeColumn.con = new TwwDBEdit(cell);
    typeColumn.con->setObjectName(QStringLiteral("edtCMH33%1Con").arg(pinyin));
    typeColumn.result = new TwwDBLookupCombo(cell);
    typeColumn.result->setObjectName(QStringLiteral("edtCMH33%1Result").arg(pinyin));
    typeColumn.result->setEditable(false);
    for (QWidget *part :
         std::initializer_list<QWidget *>{typeColumn.title, typeColumn.con, typeColumn.result}) {
        controlKind(part)->setDesignSize({kColumnWidth, 21});
        stack->addWidget(part);
    }
    setEnterMovesOn(typeColumn.con);
    setEnterMovesOn(typeColumn.result);
    summary->addWidget(cell);

    const TypeFields &fields = fieldsOf(type);
    record.bind(fields.con, typeColumn.con);
    record.bind(fields.result, typeColumn.result);
}

void Page33::setTabOrder()
{
    // The header, the 33 answer boxes (Tab and Enter walk from one to the
    // next), then the identification button and the results, scheme and
    // remark, and last the buttons of the grid and its titles.
    const TestPage &h = header_;
    QList<QWidget *> order = {h.testType, h.testTime, h.name, h.identNo, h.doctor, h.site};
    for (const QuestionRow &row : questions_)
        order << row.answer;
    order << lblCMH33HabResult;
    for (const int code : kColumnOrder) {
        const TypeColumn &typeColumn = typeColumns_[std::size_t(code - 1)];
        order << typeColumn.title << typeColumn.con << typeColumn.result;
    }
    order << h.scheme << h.remark;
    for (const QuestionRow &row : questions_) {
        order << row.prompt;
        for (TBitBtn *button : row.buttons)
            order << button;
    }
    order << titleNo_ << titlePrompt_;
    for (TBitBtn *title : answerTitles_)
        order << title;
    order << lblTitleOriginal;
    setTabOrderChain(order);
}

void Page33::setFixedTexts()
{
    for (std::size_t i = 0; i < answerTitles_.size(); ++i)
        answerTitles_[i]->setText(captionText(fromCatalogue(kAnswerScale[i].header33)));
    lblCMH33HabResult->setText(captionText(QStringLiteral("体质\r辨识")));
    for (int n = 1; n <= kQuestionCount33; ++n) {
        const QuestionRow &row = questions_[std::size_t(n - 1)];
        const QString prompt = fromCatalogue(kQuestions33[std::size_t(n - 1)]);
        if (n == 9)
            calcBMI_->setText(prompt); // the button shows its command
        else
            row.prompt->setText(captionText(prompt));
        for (int value = 1; value <= 5; ++value)
            row.buttons[std::size_t(value - 1)]->setText(
                captionText(QString::fromStdString(answerCaption33(n, value))));
    }
    alignQuestionColumns();
}

void Page33::alignQuestionColumns()
{
    // Each column as wide as its design or its widest caption, whichever is
    // more, so that a 12-point setting still shows every caption whole.
    std::array<int, 8> widths = {kNumberWidth, kPromptWidth, kButtonWidth, kButtonWidth,
                                 kButtonWidth, kButtonWidth, kButtonWidth, kAnswerWidth};
    // The cells of a row, left to right.
    auto cellsOf = [](const QuestionRow &row) {
        return std::array<QWidget *, 8>{row.number,     row.prompt,     row.buttons[0],
                                        row.buttons[1], row.buttons[2], row.buttons[3],
                                        row.buttons[4], row.answer};
    };
    // An answer box holds one digit: what a line edit would like for a
    // line of text (17 characters) would push the grid past a small screen.
    auto neededWidth = [](const QWidget *cell) {
        return qobject_cast<const QLineEdit *>(cell) ? cell->minimumSizeHint().width()
                                                     : cell->sizeHint().width();
    };
    for (const QuestionRow &row : questions_) {
        const auto cells = cellsOf(row);
        for (std::size_t c = 0; c < cells.size(); ++c)
            widths[c] = std::max(widths[c], neededWidth(cells[c]));
    }
    for (std::size_t c = 0; c < answerTitles_.size(); ++c)
        widths[2 + c] = std::max(widths[2 + c], answerTitles_[c]->sizeHint().width());
    widths[1] = std::max(widths[1], titlePrompt_->sizeHint().width());
    for (const QuestionRow &row : questions_) {
        const auto cells = cellsOf(row);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            cells[c]->setFixedWidth(widths[c]);
            // A row grows where a caption needs more than the design's
            // height: two lines of a BMI band at 14 points.
            cells[c]->setMinimumHeight(cells[c]->sizeHint().height());
        }
    }
    // The title row stands over the grid's margin and its scroll bar.
    const int scrollBar = scbCMH33Field->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    titleNo_->setFixedWidth(kGridMargin + widths[0]);
    titlePrompt_->setFixedWidth(widths[1]);
    for (std::size_t c = 0; c < answerTitles_.size(); ++c)
        answerTitles_[c]->setFixedWidth(widths[2 + c]);
    lblTitleOriginal->setFixedWidth(
        std::max(widths[7] + kGridMargin + scrollBar, lblTitleOriginal->sizeHint().width()));
    // The titles as tall as their captions need: three lines at 14 points.
    for (QWidget *title : std::initializer_list<QWidget *>{
             titleNo_, titlePrompt_, answerTitles_[0], answerTitles_[1], answerTitles_[2],
             answerTitles_[3], answerTitles_[4], lblTitleOriginal})
        title->setMinimumHeight(std::max(kRowHeight, title->sizeHint().height()));
    // The identification button may be as narrow as its design where the
    // window is narrow, not the style's 80 pixels for a dialog's button,
    // as long as its caption fits.
    const QSize caption = lblCMH33HabResult->fontMetrics().size(0, lblCMH33HabResult->text());
    lblCMH33HabResult->setMinimumWidth(std::max(43, caption.width() + 12));
    int total = 2 * kGridMargin + scrollBar + 2 * scbCMH33Field->frameWidth();
    for (int width : widths)
        total += width;
    scbCMH33Field->setMinimumWidth(total);
}

void Page33::setEditState(bool editable)
{
    setTestPageHeaderEditState(header_, editable);
    const TColor color =
        editable ? InterfaceRecord->GetEditableColor() : InterfaceRecord->GetReadOnlyColor();
    // The answer boxes stay enabled in both states: the appearance routines
    // disabled them with every plain box.
    for (const QuestionRow &row : questions_) {
        row.answer->setEnabled(true);
        row.answer->setReadOnlyFlag(!editable);
        row.answer->setColor(color);
    }
}

QWidget *Page33::firstField() const
{
    return questions_[0].answer;
}

void Page33::setAnswers(const Answers33 &answers)
{
    for (std::size_t i = 0; i < answers.size(); ++i)
        questions_[i].answer->setText(QString::fromStdString(answers[i]));
}

QWidget *Page33::answerBox(int question) const
{
    return questions_[std::size_t(question - 1)].answer;
}

Answers33 Page33::answers() const
{
    Answers33 answers;
    for (std::size_t i = 0; i < answers.size(); ++i)
        answers[i] = questions_[i].answer->text().toStdString();
    return answers;
}

void Page33::setAnswerFrom(const QAbstractButton *numberButton)
{
    // "btn_NN_V": characters 5 and 6 are the question, character 8 the answer.
    const QString name = numberButton->objectName();
    if (name.size() != 8 || !name.startsWith(QLatin1String("btn_")))
        return;
    const int question = name.mid(4, 2).toInt();
    if (question < 1 || question > kQuestionCount33)
        return;
    questions_[std::size_t(question - 1)].answer->setText(name.mid(7, 1));
}

void Page33::askToResetAnswers(QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("温馨提示"),
                    QStringLiteral("是否真的还原【单项原始分数】? "),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("resetAnswersBox"));
    if (box.exec() != QMessageBox::Yes)
        return;
    for (const QuestionRow &row : questions_)
        row.answer->setText(QStringLiteral("1"));
}

} // namespace tizhi
