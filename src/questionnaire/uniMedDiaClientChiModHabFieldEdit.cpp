#include "uniMedDiaClientChiModHabFieldEdit.h"

#include "answer_box.h"
#include "catalogue.h"
#include "control_kinds.h"
#include "item_string.h"
#include "uniChineseMedicinePublic.h"

#include <QAction>
#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

using namespace tizhi;

namespace {

// Component names of the five answers, value 1 first.
constexpr std::array<const char *, 5> kAnswerNames = {"Not", "Seldom", "Sometimes", "Often",
                                                      "Always"};

// Design sizes at 96 dots per inch.
constexpr QSize kDesignSize(1173, 550);
constexpr int kRowHeight = 40;
constexpr int kNumberWidth = 68;
constexpr int kPromptWidth = 514;
constexpr int kButtonWidth = 88;
constexpr int kAnswerWidth = 127;

// Colours of the marked questions, in the 0x00BBGGRR encoding.
constexpr TColor kReversedMark = 0x0000FFu;  // red: PingHe's reversed questions
constexpr TColor kWomenOnlyMark = 0x00FFFFu; // yellow
constexpr TColor kMenOnlyMark = 0x0000FFu;   // red

template <class Kind> Kind *named(QWidget *parent, const QString &name)
{
    auto *widget = new Kind(parent);
    widget->setObjectName(name);
    return widget;
}

} // namespace

TfrmMedDiaClientChiModHabFieldEdit::TfrmMedDiaClientChiModHabFieldEdit(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMedDiaClientChiModHabFieldEdit"));
    setWindowTitle(QStringLiteral("中医体质测试项目"));
    resize(kDesignSize);
    createControls();
    createActions();
    FormCreate();
}

TfrmMedDiaClientChiModHabFieldEdit::~TfrmMedDiaClientChiModHabFieldEdit()
{
    if (frmMedDiaClientChiModHabFieldEdit == this)
        frmMedDiaClientChiModHabFieldEdit = nullptr;
}

void TfrmMedDiaClientChiModHabFieldEdit::createControls()
{
    auto *window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    createTitle(window);
    QGridLayout *grid = createScrollArea(window);
    TBitBtn *titleOriginal = createHeaderRow(grid);
    for (int k = 1; k <= kRows; ++k)
        createRow(grid, k);
    grid->setRowMinimumHeight(0, kRowHeight);
    grid->setColumnStretch(8, 1);
    createHelp();
    createTabOrder(titleOriginal);
}

void TfrmMedDiaClientChiModHabFieldEdit::createTitle(QVBoxLayout *window)
{
    lblTitleTop = named<TPanel>(this, QStringLiteral("lblTitleTop"));
    lblTitleTop->setMinimumHeight(39);
    QFont bold = lblTitleTop->font();
    bold.setBold(true);
    lblTitleTop->setFont(bold);
    window->addWidget(lblTitleTop);
}

// The scrolling area: the grid of question rows, the note below it.
QGridLayout *TfrmMedDiaClientChiModHabFieldEdit::createScrollArea(QVBoxLayout *window)
{
    scbClient = named<TScrollBox>(this, QStringLiteral("scbClient"));
    auto *content = new QWidget;
    scbClient->setWidget(content);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(0);
    auto *grid = new QGridLayout;
    grid->setSpacing(0);
    contentLayout->addLayout(grid);
    window->addWidget(scbClient, 1);
    return grid;
}

// The column titles; returns the last, which ends the tab order.
TBitBtn *TfrmMedDiaClientChiModHabFieldEdit::createHeaderRow(QGridLayout *grid)
{
    QWidget *content = grid->parentWidget();
    auto *titleNo = named<TPanel>(content, QStringLiteral("lblTitleNo"));
    titleNo->setCaption(QStringLiteral("编号"));
    titleNo->setDesignSize({kNumberWidth, kRowHeight});
    grid->addWidget(titleNo, 0, 0);
    auto *titlePrompt = named<TPanel>(content, QStringLiteral("lblTitlePrompt"));
    titlePrompt->setCaption(fromCatalogue(kInstruction));
    titlePrompt->setDesignSize({kPromptWidth, kRowHeight});
    grid->addWidget(titlePrompt, 0, 1);
    for (int value = 1; value <= 5; ++value) {
        auto *head =
            named<TBitBtn>(content, QStringLiteral("lblTitle%1").arg(kAnswerNames[value - 1]));
        head->setText(fromCatalogue(kAnswerScale[std::size_t(value - 1)].word));
        head->setDesignSize({kButtonWidth, kRowHeight});
        columnHeads_[std::size_t(value - 1)] = head;
        grid->addWidget(head, 0, 1 + value);
    }
    auto *titleOriginal = named<TBitBtn>(content, QStringLiteral("lblTitleOriginal"));
    titleOriginal->setText(QStringLiteral("单项原始分数"));
    titleOriginal->setDesignSize({kAnswerWidth, kRowHeight});
    grid->addWidget(titleOriginal, 0, 7);
    return titleOriginal;
}

// Question row `k`: number, question, five answer buttons, answer box.
void TfrmMedDiaClientChiModHabFieldEdit::createRow(QGridLayout *grid, int k)
{
    QWidget *content = grid->parentWidget();
    Row &row = rows_[std::size_t(k - 1)];
    row.number = named<TPanel>(content, QStringLiteral("lblNo%1").arg(k));
    row.number->setCaption(QString::number(k));
    row.number->setDesignSize({kNumberWidth, kRowHeight});
    grid->addWidget(row.number, k, 0);
    row.prompt = named<TPanel>(content, QStringLiteral("lblPrompt%1").arg(k));
    row.prompt->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    row.prompt->setWordWrap(true);
    row.prompt->setDesignSize({kPromptWidth, kRowHeight});
    grid->addWidget(row.prompt, k, 1);
    createAnswerButtons(grid, k);
    createAnswerBox(grid, k);
    grid->setRowMinimumHeight(k, kRowHeight);
}

// One button group per row, the answer as each button's id.
void TfrmMedDiaClientChiModHabFieldEdit::createAnswerButtons(QGridLayout *grid, int k)
{
    Row &row = rows_[std::size_t(k - 1)];
    row.group = new QButtonGroup(this);
    row.group->setExclusive(false);
    for (int value = 1; value <= 5; ++value) {
        auto *button = named<TBitBtn>(
            grid->parentWidget(), QStringLiteral("btn%1%2").arg(kAnswerNames[value - 1]).arg(k));
        button->setText(QString::number(value));
        button->setDesignSize({kButtonWidth, kRowHeight});
        row.group->addButton(button, value);
        row.buttons[std::size_t(value - 1)] = button;
        grid->addWidget(button, k, 1 + value);
    }
    connect(row.group, &QButtonGroup::buttonClicked, this,
            &TfrmMedDiaClientChiModHabFieldEdit::btnNot1Click);
}

void TfrmMedDiaClientChiModHabFieldEdit::createAnswerBox(QGridLayout *grid, int k)
{
    Row &row = rows_[std::size_t(k - 1)];
    row.answer = named<TEdit>(grid->parentWidget(), QStringLiteral("edtOriginal%1").arg(k));
    QFont bold = row.answer->font();
    bold.setBold(true);
    row.answer->setFont(bold);
    row.answer->setAlignment(Qt::AlignCenter);
    row.answer->setDesignSize({kAnswerWidth, 21});
    // Only digits and Backspace: an input method has nothing to offer.
    row.answer->setAttribute(Qt::WA_InputMethodEnabled, false);
    setUpAnswerBox(row.answer);
    connect(row.answer->events(), &ControlEvents::keyPressed, this,
            &TfrmMedDiaClientChiModHabFieldEdit::edtOriginal1KeyPress);
    connect(row.answer->events(), &ControlEvents::keyDown, this,
            &TfrmMedDiaClientChiModHabFieldEdit::edtOriginal1KeyDown);
    grid->addWidget(row.answer, k, 7);
}

// The note, docked at the bottom of the scrolling area, in the answer
// boxes' bold font.
void TfrmMedDiaClientChiModHabFieldEdit::createHelp()
{
    QWidget *content = scbClient->widget();
    auto *contentLayout = static_cast<QVBoxLayout *>(content->layout());
    contentLayout->addStretch(1);
    lblHelp = named<TLabel>(content, QStringLiteral("lblHelp"));
    lblHelp->setText(fromCatalogue(kReversedNote));
    lblHelp->setFont(rows_.back().answer->font());
    lblHelp->setContentsMargins(6, 4, 6, 4);
    contentLayout->addWidget(lblHelp);
}

// The answer boxes, the answer buttons row by row, the column titles.
void TfrmMedDiaClientChiModHabFieldEdit::createTabOrder(TBitBtn *titleOriginal)
{
    QList<QWidget *> order;
    for (const Row &row : rows_)
        order << row.answer;
    for (const Row &row : rows_)
        for (TBitBtn *button : row.buttons)
            order << button;
    for (TBitBtn *head : columnHeads_)
        order << head;
    order << titleOriginal;
    setTabOrderChain(order);
    rows_[0].answer->setFocus();
}

void TfrmMedDiaClientChiModHabFieldEdit::createActions()
{
    auto *pnlButton = named<TPanel>(this, QStringLiteral("pnlButton"));
    pnlButton->setFixedHeight(36);
    auto *bar = new QHBoxLayout(pnlButton);
    bar->setContentsMargins(6, 4, 6, 4);
    bar->addStretch(1);
    layout()->addWidget(pnlButton);

    auto makeAction = [this](const char *name, const QString &caption, const QKeySequence &key) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(caption);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        return action;
    };
    actConfirm = makeAction("actConfirm", QStringLiteral("确定"),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F3));
    actQuit = makeAction("actQuit", QStringLiteral("取消"),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F11));
    connect(actConfirm, &QAction::triggered, this,
            &TfrmMedDiaClientChiModHabFieldEdit::actConfirmExecute);
    connect(actQuit, &QAction::triggered, this,
            &TfrmMedDiaClientChiModHabFieldEdit::actQuitExecute);

    for (const auto &[name, action] :
         {std::pair{"btnConfirm", actConfirm}, std::pair{"btnCancel", actQuit}}) {
        auto *button = named<TSpeedButton>(pnlButton, QString::fromLatin1(name));
        button->setDefaultAction(action);
        button->setFocusPolicy(Qt::NoFocus);
        button->setDesignSize({68, 28});
        bar->addWidget(button);
    }
}

void TfrmMedDiaClientChiModHabFieldEdit::FormCreate()
{
    // 1. The two-line column heads.
    for (std::size_t i = 0; i < columnHeads_.size(); ++i)
        columnHeads_[i]->setText(captionText(fromCatalogue(kAnswerScale[i].headerQuestionnaire)));
    // 2, 3. The appearance, then every answer box open for entry.
    ApplyInterfaceEnv(InterfaceRecord, this);
    SetFormEditState(this, true);
}

int TfrmMedDiaClientChiModHabFieldEdit::rowCount() const
{
    const ConstitutionType *type = typeByCode(typeCode_);
    return type ? int(type->questions66.size()) : 7;
}

void TfrmMedDiaClientChiModHabFieldEdit::PrepareForType(int mode, int typeCode,
                                                        const QString &itemString)
{
    mode_ = mode;
    typeCode_ = typeCode;
    itemString_ = itemString;
    if (mode == kViewOnly)
        SetAnswerControlsEnabled(false);
    else if (mode == kAnswering)
        SetAnswerControlsEnabled(true);

    if (const ConstitutionType *type = typeByCode(typeCode)) {
        lblTitleTop->setCaption(fromCatalogue(type->displayName));
        const int count = int(type->questions66.size());
        for (int k = 1; k <= kRows; ++k) {
            TPanel *prompt = rows_[std::size_t(k - 1)].prompt;
            if (k > count) {
                prompt->setCaption(QString());
                continue;
            }
            // The texts carry their marks (" *", "（限女性回答）"); the
            // colour follows them.
            const Question66 &question = type->questions66[std::size_t(k - 1)];
            prompt->setCaption(fromCatalogue(question.text));
            if (question.reversed)
                prompt->setFontColor(kReversedMark);
            else if (question.appliesTo == Sex::Female)
                prompt->setFontColor(kWomenOnlyMark);
            else if (question.appliesTo == Sex::Male)
                prompt->setFontColor(kMenOnlyMark);
        }
        FillAnswerBoxes(itemString.trimmed(), count);
        SetRow8Visible(count == kRows);
    }
    // After the appearance settings, whatever they say.
    lblTitleTop->setFontSize(18);
}

QString TfrmMedDiaClientChiModHabFieldEdit::GetItemString() const
{
    return itemString_.trimmed();
}

void TfrmMedDiaClientChiModHabFieldEdit::SetAnswerControlsEnabled(bool enabled)
{
    // The answer buttons (the column heads are buttons of the same kind,
    // but their names do not begin with "btn") and the answer boxes.
    const TColor color =
        enabled ? InterfaceRecord->GetEditableColor() : InterfaceRecord->GetReadOnlyColor();
    for (QWidget *widget : findChildren<QWidget *>()) {
        const QByteArray kind = widget->metaObject()->className();
        if (kind == "TBitBtn" && widget->objectName().startsWith(QLatin1String("btn"))) {
            widget->setEnabled(enabled);
        } else if (kind == "TEdit") {
            widget->setEnabled(enabled);
            static_cast<TEdit *>(widget)->setColor(color);
        }
    }
}

void TfrmMedDiaClientChiModHabFieldEdit::FillAnswerBoxes(const QString &itemString, int rowCount)
{
    // The same reading of an item string as the scoring: each piece
    // trimmed, put in without any check of its value or length.
    const QByteArray utf8 = itemString.toUtf8();
    const auto answers =
        itemStringAnswers(std::string_view(utf8.constData(), std::size_t(utf8.size())));
    for (std::size_t i = 0; i < answers.size() && int(i) < rowCount && i < rows_.size(); ++i)
        rows_[i].answer->setText(fromCatalogue(answers[i]));
}

void TfrmMedDiaClientChiModHabFieldEdit::SetRow8Visible(bool visible)
{
    const Row &row = rows_[kRows - 1];
    row.number->setVisible(visible);
    row.prompt->setVisible(visible);
    for (TBitBtn *button : row.buttons)
        button->setVisible(visible);
    row.answer->setVisible(visible);
}

void TfrmMedDiaClientChiModHabFieldEdit::actConfirmExecute()
{
    if (!actConfirm->isEnabled() || !actConfirm->isVisible())
        return;
    // Box 8 belongs to the item string of the eight-question types only.
    const bool eightRows = typeCode_ == 2 || typeCode_ == 3 || typeCode_ == 4 || typeCode_ == 9;
    QString built;
    for (int k = 1; k <= (eightRows ? 8 : 7); ++k)
        built += rows_[std::size_t(k - 1)].answer->text().trimmed() + QLatin1Char(';');
    itemString_ = built;
    accept();
}

void TfrmMedDiaClientChiModHabFieldEdit::actQuitExecute()
{
    if (actQuit->isEnabled() && actQuit->isVisible())
        reject();
}

void TfrmMedDiaClientChiModHabFieldEdit::btnNot1Click(QAbstractButton *sender)
{
    const QString name = sender->objectName();
    const int row = name.right(1).toInt();
    if (row < 1 || row > kRows)
        return;
    const Row &target = rows_[std::size_t(row - 1)];
    target.answer->setText(QString::number(target.group->id(sender)));
}

void TfrmMedDiaClientChiModHabFieldEdit::edtOriginal1KeyPress(QWidget *sender, QChar &key)
{
    filterAnswerKey(static_cast<TEdit *>(sender), key);
}

void TfrmMedDiaClientChiModHabFieldEdit::edtOriginal1KeyDown(QWidget *, int key,
                                                             Qt::KeyboardModifiers)
{
    FocusNextOnEnter(this, key);
}

void TfrmMedDiaClientChiModHabFieldEdit::setVisible(bool visible)
{
    // Sized before the dialog centres itself over its opener.
    if (visible && !isVisible())
        fitToScreen();
    QDialog::setVisible(visible);
}

// The design size, or less where the screen the window opens on has less
// room: the question grid scrolls, the title and the 确定/取消 band stay
// in view. The room left for the window's frame is what the opener's frame
// takes, the nearest guess before this window has a frame of its own.
void TfrmMedDiaClientChiModHabFieldEdit::fitToScreen()
{
    const QRect room = screen()->availableGeometry();
    QSize frame(0, 0);
    if (const QWidget *opener = parentWidget() ? parentWidget()->window() : nullptr;
        opener && opener->isVisible())
        frame = opener->frameGeometry().size() - opener->size();
    resize(kDesignSize.boundedTo(room.size() - frame).expandedTo(minimumSizeHint()));
}

void TfrmMedDiaClientChiModHabFieldEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
