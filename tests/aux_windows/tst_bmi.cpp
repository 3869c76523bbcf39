// The BMI calculator: the number it shows for a weight and a height, the
// failure box, the key filters, Enter and the result box computing when
// the focus arrives in it.
#include "test_registry.h"

#include "default_settings.h"
#include "modal.h"

#include "control_kinds.h"
#include "uniCalcBMI.h"
#include "uniChineseMedicinePublic.h"

#include <QMessageBox>
#include <QTest>

using namespace tizhi;
using namespace tizhi::test;

Q_DECLARE_METATYPE(std::optional<QString>)

class TestBmi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useDefaultSettings(); }

    void numbers_data()
    {
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("height");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("shown");
        QTest::newRow("70 kg, 175 cm") << "70"
                                       << "175" << false << "22.8571428571429";
        QTest::newRow("60 kg, 200 cm: no point, no zeros") << "60"
                                                           << "200" << false << "15";
        QTest::newRow("80 kg, 180 cm") << "80"
                                       << "180" << false << "24.6913580246914";
        QTest::newRow("decimals") << "62.5"
                                  << "158.5" << false << "24.8783448934709";
        QTest::newRow("blanks around") << " 70 "
                                       << " 175 " << false << "22.8571428571429";
        QTest::newRow("height empty: empty, no failure") << "70"
                                                         << "" << false << "";
        QTest::newRow("height only blanks") << "70"
                                            << "   " << false << "";
        QTest::newRow("weight empty") << ""
                                      << "175" << false << "";
        QTest::newRow("height 0: division by zero") << "70"
                                                    << "0" << true << "";
        QTest::newRow("height 0.0") << "70"
                                    << "0.0" << true << "";
        QTest::newRow("two decimal points") << "70"
                                            << "17.5.0" << true << "";
        QTest::newRow("a lone point") << "."
                                      << "175" << true << "";
        QTest::newRow("a letter pasted") << "7O"
                                         << "175" << true << "";
        QTest::newRow("a result beyond a double") << "1e308"
                                                  << "0.000001" << true << "";
        QTest::newRow("weight 0") << "0"
                                  << "175" << false << "0";
    }

    void numbers()
    {
        QFETCH(QString, weight);
        QFETCH(QString, height);
        QFETCH(bool, fails);
        QFETCH(QString, shown);
        const std::optional<QString> bmi = bmiText(weight, height);
        QCOMPARE(!bmi.has_value(), fails);
        if (bmi)
            QCOMPARE(*bmi, shown);
    }

    void startState()
    {
        TfrmCalcBMI dialog;
        QCOMPARE(dialog.windowTitle(), "计算BMI");
        for (TEdit *box : {dialog.edtWeight, dialog.edtHeight, dialog.edtBMI}) {
            QVERIFY(box->isEnabled());
            QCOMPARE(box->color(), clWindow);
            QCOMPARE(box->text(), QString());
        }
        QVERIFY(!dialog.edtWeight->readOnlyFlag());
        QVERIFY(dialog.edtBMI->readOnlyFlag());
        QCOMPARE(dialog.lblWeight->text(), "体重（kg）     ");
        QCOMPARE(dialog.lblBMI->toolTip(), "BMI指数 = 体重（kg）/ 身高㎡");
        QCOMPARE(dialog.btnConfirm->text(), "计算");
        QCOMPARE(dialog.btnConfirm->toolTip(), "确定");
        QCOMPARE(dialog.btnConfirm->focusPolicy(), Qt::NoFocus);
    }

    void keyFilter_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("weight: digits and points") << "weight"
                                                   << "70.5.1"
                                                   << "70.5.1";
        QTest::newRow("weight: letters and minus refused") << "weight"
                                                           << "a-7e"
                                                           << "7";
        QTest::newRow("height: blank refused") << "height"
                                               << "1 75"
                                               << "175";
    }

    void keyFilter()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        TfrmCalcBMI dialog;
        QVERIFY(showActive(&dialog));
        TEdit *edit = box == "weight" ? dialog.edtWeight : dialog.edtHeight;
        edit->setFocus();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), kept);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), kept.chopped(1));
    }

    // Enter walks weight, height, result (which computes), weight.
    void enterComputes()
    {
        TfrmCalcBMI dialog;
        QVERIFY(showActive(&dialog));
        dialog.edtWeight->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(dialog.edtWeight, "80");
        QTest::keyClick(dialog.edtWeight, Qt::Key_Return);
        QVERIFY(dialog.edtHeight->hasFocus());
        QTest::keyClicks(dialog.edtHeight, "180");
        QTest::keyClick(dialog.edtHeight, Qt::Key_Return);
        QVERIFY(dialog.edtBMI->hasFocus());
        QCOMPARE(dialog.edtBMI->text(), "24.6913580246914");
        QTest::keyClick(dialog.edtBMI, Qt::Key_Return);
        QVERIFY(dialog.edtWeight->hasFocus());
        QVERIFY(dialog.isVisible()); // "计算" does not close, nor does Enter
    }

    // Tabbing into the result box recomputes from the boxes as they stand.
    void tabbingIntoTheResultRecomputes()
    {
        TfrmCalcBMI dialog;
        QVERIFY(showActive(&dialog));
        dialog.edtWeight->setText("70");
        dialog.edtHeight->setText("175");
        dialog.edtHeight->setFocus(Qt::TabFocusReason);
        QTest::keyClick(dialog.edtHeight, Qt::Key_Tab);
        QCOMPARE(dialog.edtBMI->text(), "22.8571428571429");
        dialog.edtHeight->setText("");
        dialog.edtHeight->setFocus(Qt::TabFocusReason);
        QTest::keyClick(dialog.edtHeight, Qt::Key_Tab);
        QCOMPARE(dialog.edtBMI->text(), QString());
    }

    // A height of 0 shows the failure box once; the result shown before
    // stays; closing the box does not start another computation.
    void failureBox()
    {
        TfrmCalcBMI dialog;
        QVERIFY(showActive(&dialog));
        dialog.edtWeight->setText("70");
        dialog.edtHeight->setText("175");
        QTest::mouseClick(dialog.btnConfirm, Qt::LeftButton);
        QCOMPARE(dialog.edtBMI->text(), "22.8571428571429");
        dialog.edtHeight->setText("0");

        int boxes = 0;
        QString shown;
        QMessageBox::Icon icon = QMessageBox::Critical;
        QList<QMessageBox::StandardButton> buttons;
        auto answer = [&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box)
                return;
            ++boxes;
            shown = box->windowTitle() + "|" + box->text();
            icon = box->icon();
            for (QAbstractButton *b : box->buttons())
                buttons << box->standardButton(b);
            box->button(QMessageBox::Cancel)->click();
        };
        whenModal(answer, &dialog);
        dialog.edtHeight->setFocus(Qt::TabFocusReason);
        QTest::keyClick(dialog.edtHeight, Qt::Key_Tab); // into the result box: computes
        QTRY_COMPARE(boxes, 1);
        QCOMPARE(shown, "温馨提示|计算出现异常！ ");
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons.size(), 2);
        QVERIFY(buttons.contains(QMessageBox::Ok) && buttons.contains(QMessageBox::Cancel));
        QCOMPARE(dialog.edtBMI->text(), "22.8571428571429");
        // The focus comes back to the result box from the failure box:
        // that is no arrival from another box.
        dialog.activateWindow();
        QTRY_VERIFY(dialog.isActiveWindow());
        QTest::qWait(50);
        QCOMPARE(boxes, 1);
        QVERIFY(dialog.isVisible());
    }

    void cancelling_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("取消") << false;
        QTest::newRow("close box") << true;
    }

    void cancelling()
    {
        QFETCH(bool, closeBox);
        TfrmCalcBMI dialog;
        QVERIFY(showActive(&dialog));
        dialog.edtWeight->setFocus();
        QTest::keyClick(dialog.edtWeight, Qt::Key_Escape); // no way out
        QVERIFY(dialog.isVisible());
        if (closeBox)
            dialog.close();
        else
            QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

TIZHI_REGISTER_TEST(TestBmi);

#include "tst_bmi.moc"
