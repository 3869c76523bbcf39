// The BMI calculator "计算BMI": weight in kilograms and height in
// centimetres give the body mass index, which the health worker reads to
// choose the band of the 33-item form's question 9. Nothing is handed back.
// The arithmetic is the assessment's bmiText; the window only wires it.
#pragma once

#include <QDialog>

#include <utility>

class QAction;
class QGridLayout;
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
    std::pair<TLabel *, TEdit *> createRow(int row, const char *labelName, const QString &caption,
                                           const char *editName);
    void createButtons(int row);
    void connectHandlers();
    void fitCaptionColumn();

    QGridLayout *grid_ = nullptr;
};

// The one calculator, while it is open.
inline TfrmCalcBMI *frmCalcBMI = nullptr;
