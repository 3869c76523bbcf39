#include "uniCalcBMI.h"

#include "bmi_text.h"
#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <optional>
#include <string>

using namespace tizhi;

namespace {

const QString kFormula = QStringLiteral("BMI指数 = 体重（kg）/ 身高㎡");

// The dialog's design, at 96 dots per inch: the boxes' left edge and width,
// the labels' left edge, the top of each row and the buttons' size.
constexpr int kLabelLeft = 72;
constexpr int kBoxLeft = 136;
constexpr int kBoxWidth = 201;
constexpr int kBoxHeight = 21;
constexpr std::array<int, 4> kRowTops = {30, 78, 127, 181}; // three boxes, the buttons
constexpr int kLabelDrop = 5; // a label stands this far below its box's top
constexpr QSize kButtonSize(68, 30);

bool isBmiCharacter(QChar c)
{
    return (c >= QChar('0') && c <= QChar('9')) || c == QChar('.') || c == QChar(8);
}

} // namespace

TfrmCalcBMI::TfrmCalcBMI(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCalcBMI"));
    setWindowTitle(QStringLiteral("计算BMI"));
    resize(431, 290);
    createControls();
    FormCreate();
}

TfrmCalcBMI::~TfrmCalcBMI()
{
    if (frmCalcBMI == this)
        frmCalcBMI = nullptr;
}

void TfrmCalcBMI::createControls()
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    pnlClient = new TPanel(this);
    pnlClient->setObjectName(QStringLiteral("pnlClient"));
    pnlClient->setFrameShape(QFrame::NoFrame);
    outer->addWidget(pnlClient);

    // Column 0 holds the captions, column 1 the boxes and buttons; the rows
    // are as far apart as designed, or as far as larger fonts need.
    grid_ = new QGridLayout(pnlClient);
    grid_->setContentsMargins(kLabelLeft, kRowTops[0], 0, 0);
    grid_->setSpacing(0);
    grid_->setColumnMinimumWidth(0, kBoxLeft - kLabelLeft);
    grid_->setColumnStretch(2, 1);
    for (std::size_t r = 0; r + 1 < kRowTops.size(); ++r)
        grid_->setRowMinimumHeight(int(r), kRowTops[r + 1] - kRowTops[r]);
    grid_->setRowStretch(int(kRowTops.size()), 1);
    std::tie(lblWeight, edtWeight) =
        createRow(0, "lblWeight", QStringLiteral("体重（kg）     "), "edtWeight");
    std::tie(lblHeight, edtHeight) =
        createRow(1, "lblHeight", QStringLiteral("身高（cm）     "), "edtHeight");
    std::tie(lblBMI, edtBMI) = createRow(2, "lblBMI", QStringLiteral("BMI (kg/㎡)     "), "edtBMI");
    lblBMI->setToolTip(kFormula);
    edtBMI->setToolTip(kFormula);
    QWidget::setTabOrder(edtWeight, edtHeight);
    QWidget::setTabOrder(edtHeight, edtBMI);
    createButtons(3);
    connectHandlers();
}

// A caption and its box. The caption's trailing blanks run on under the
// box, which is created after it and so drawn over it; only its visible
// text claims room in the caption column (see FormCreate).
std::pair<TLabel *, TEdit *> TfrmCalcBMI::createRow(int row, const char *labelName,
                                                    const QString &caption, const char *editName)
{
    auto *label = new TLabel(pnlClient);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setText(caption);
    auto *edit = new TEdit(pnlClient);
    edit->setObjectName(QString::fromLatin1(editName));
    edit->setDesignSize({kBoxWidth, kBoxHeight});
    // Digits and a point only: an input method has nothing to offer.
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    auto *captionCell = new QVBoxLayout;
    captionCell->setContentsMargins(0, kLabelDrop, 0, 0);
    captionCell->addWidget(label, 0, Qt::AlignLeft | Qt::AlignTop);
    captionCell->addStretch(1);
    grid_->addLayout(captionCell, row, 0, 1, 2);
    grid_->addWidget(edit, row, 1, Qt::AlignTop);
    return {label, edit};
}

// "计算" under the left end of the boxes, "取消" under their right end.
void TfrmCalcBMI::createButtons(int row)
{
    auto button = [this](const char *name, const QString &caption, const QString &hint) {
        auto *b = new TSpeedButton(pnlClient);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        b->setDesignSize(kButtonSize);
        return b;
    };
    btnConfirm = button("btnConfirm", QStringLiteral("计算"), QStringLiteral("确定"));
    btnCancel = button("btnCancel", QStringLiteral("取消"), QStringLiteral("取消"));
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    buttons->addWidget(btnConfirm, 0, Qt::AlignTop);
    buttons->addStretch(1);
    buttons->addWidget(btnCancel, 0, Qt::AlignTop);
    grid_->addLayout(buttons, row, 1);
}

void TfrmCalcBMI::connectHandlers()
{
    connect(btnConfirm, &QToolButton::clicked, this, &TfrmCalcBMI::btnConfirmClick);
    connect(btnCancel, &QToolButton::clicked, this, &TfrmCalcBMI::btnCancelClick);
    connect(edtBMI->events(), &ControlEvents::entered, this, &TfrmCalcBMI::btnConfirmClick);
    connect(edtWeight->events(), &ControlEvents::keyPressed, this, &TfrmCalcBMI::edtWeightKeyPress);
    for (TEdit *box : {edtHeight, edtBMI})
        connect(box->events(), &ControlEvents::keyPressed, this, &TfrmCalcBMI::edtHeightKeyPress);
    for (TEdit *box : {edtWeight, edtHeight, edtBMI})
        connect(box->events(), &ControlEvents::keyDown, this, &TfrmCalcBMI::edtWeightKeyDown);
}

// The caption column is as wide as designed, or as the widest caption's
// visible text and a gap at the font the settings gave the captions.
void TfrmCalcBMI::fitCaptionColumn()
{
    constexpr int kGap = 3;
    int widest = 0;
    for (const TLabel *label : {lblWeight, lblHeight, lblBMI})
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(label->text().trimmed()));
    grid_->setColumnMinimumWidth(0, std::max(kBoxLeft - kLabelLeft, widest + kGap));
}

void TfrmCalcBMI::FormCreate()
{
    ApplyInterfaceEnv(InterfaceRecord, this);
    SetFormEditState(this, true);
    // The result is read, never typed; it keeps the editable colour.
    edtBMI->setReadOnlyFlag(true);
    fitCaptionColumn();
}

void TfrmCalcBMI::btnConfirmClick()
{
    const std::optional<std::string> bmi =
        bmiText(edtWeight->text().toStdString(), edtHeight->text().toStdString());
    if (bmi) {
        edtBMI->setText(QString::fromStdString(*bmi));
        return;
    }
    // The result shown before stays.
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("温馨提示"),
                    QStringLiteral("计算出现异常！ "), QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("bmiFailureBox"));
    box.exec();
}

void TfrmCalcBMI::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmCalcBMI::btnCancelClick()
{
    reject();
}

void TfrmCalcBMI::edtWeightKeyPress(QWidget *, QChar &key)
{
    if (!isBmiCharacter(key))
        key = QChar();
}

void TfrmCalcBMI::edtHeightKeyPress(QWidget *, QChar &key)
{
    if (!isBmiCharacter(key))
        key = QChar();
}

void TfrmCalcBMI::edtWeightKeyDown(QWidget *, int key, Qt::KeyboardModifiers)
{
    FocusNextOnEnter(this, key);
}
