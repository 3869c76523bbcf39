#include "uniCalcBMI.h"

#include "bmi_text.h"
#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QVBoxLayout>

#include <optional>
#include <string>

using namespace tizhi;

namespace {

const QString kFormula = QStringLiteral("BMI指数 = 体重（kg）/ 身高㎡");

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

    auto *grid = new QGridLayout(pnlClient);
    grid->setContentsMargins(72, 28, 24, 24);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(24);
    auto row = [this, grid](int index, const char *labelName, const QString &caption,
                            const char *editName) {
        auto *label = new TLabel(pnlClient);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setText(caption);
        auto *edit = new TEdit(pnlClient);
        edit->setObjectName(QString::fromLatin1(editName));
        edit->setDesignSize({201, 21});
        // Digits and a point only: an input method has nothing to offer.
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        grid->addWidget(label, index, 0);
        grid->addWidget(edit, index, 1, 1, 3);
        return std::pair{label, edit};
    };
    std::tie(lblWeight, edtWeight) =
        row(0, "lblWeight", QStringLiteral("体重（kg）     "), "edtWeight");
    std::tie(lblHeight, edtHeight) =
        row(1, "lblHeight", QStringLiteral("身高（cm）     "), "edtHeight");
    std::tie(lblBMI, edtBMI) = row(2, "lblBMI", QStringLiteral("BMI (kg/㎡)     "), "edtBMI");
    lblBMI->setToolTip(kFormula);
    edtBMI->setToolTip(kFormula);
    QWidget::setTabOrder(edtWeight, edtHeight);
    QWidget::setTabOrder(edtHeight, edtBMI);

    auto button = [this](const char *name, const QString &caption, const QString &hint) {
        auto *b = new TSpeedButton(pnlClient);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        b->setDesignSize({68, 30});
        return b;
    };
    btnConfirm = button("btnConfirm", QStringLiteral("计算"), QStringLiteral("确定"));
    btnCancel = button("btnCancel", QStringLiteral("取消"), QStringLiteral("取消"));
    grid->addWidget(btnConfirm, 3, 1, Qt::AlignLeft);
    grid->addWidget(btnCancel, 3, 3, Qt::AlignRight);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);

    connect(btnConfirm, &QToolButton::clicked, this, &TfrmCalcBMI::btnConfirmClick);
    connect(btnCancel, &QToolButton::clicked, this, &TfrmCalcBMI::btnCancelClick);
    connect(edtBMI->events(), &ControlEvents::entered, this, &TfrmCalcBMI::btnConfirmClick);
    connect(edtWeight->events(), &ControlEvents::keyPressed, this, &TfrmCalcBMI::edtWeightKeyPress);
    for (TEdit *box : {edtHeight, edtBMI})
        connect(box->events(), &ControlEvents::keyPressed, this, &TfrmCalcBMI::edtHeightKeyPress);
    for (TEdit *box : {edtWeight, edtHeight, edtBMI})
        connect(box->events(), &ControlEvents::keyDown, this, &TfrmCalcBMI::edtWeightKeyDown);
}

void TfrmCalcBMI::FormCreate()
{
    ApplyInterfaceEnv(InterfaceRecord, this);
    SetFormEditState(this, true);
    // The result is read, never typed; it keeps the editable colour.
    edtBMI->setReadOnlyFlag(true);
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
