// The BMI calculator "计算BMI": weight in kilograms and height in
// centimetres give the body mass index, which the health worker reads to
// choose the band of the 33-item form's question 9. Nothing is handed back.
#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QAction;
class TEdit;
class TLabel;
class TPanel;
class TSpeedButton;

class TfrmCalcBMI : public QDialog {
    Q_OBJECT

public:
    explicit TfrmCalcBMI(QWidget *parent = nullptr);
    ~TfrmCalcBMI() override;

    TPanel *pnlClient = nullptr;
    TLabel *lblWeight = nullptr;
    TEdit *edtWeight = nullptr;
    TLabel *lblHeight = nullptr;
    TEdit *edtHeight = nullptr;
    TLabel *lblBMI = nullptr;
    TEdit *edtBMI = nullptr;
    TSpeedButton *btnConfirm = nullptr;
    TSpeedButton *btnCancel = nullptr;

    void FormCreate();
    // Computes the BMI into edtBMI: on "计算" and whenever edtBMI receives
    // the focus from another box.
    void btnConfirmClick();
    void btnCancelClick();
    void edtWeightKeyPress(QWidget *sender, QChar &key);
    void edtHeightKeyPress(QWidget *sender, QChar &key);
    void edtWeightKeyDown(QWidget *sender, int key, Qt::KeyboardModifiers modifiers);

protected:
    // "取消" and the close box are the only ways out: Escape does not close.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createControls();
};

// The one calculator, while it is open.
inline TfrmCalcBMI *frmCalcBMI = nullptr;

namespace tizhi {

// The BMI of `weight` kilograms and `height` centimetres as the calculator
// shows it: a general number of at most 15 significant digits ("15",
// "22.8571428571429"). Empty when either text is blank; nothing when a text
// is no number, the height is 0 or the result is no finite number.
std::optional<QString> bmiText(const QString &weight, const QString &height);

} // namespace tizhi
