// The BMI calculator's window: its start state, the failure box, the key
// filters, Enter and the result box computing when the focus arrives in it.
// The numbers it shows are its arithmetic's, tested with the assessment.
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

namespace {

// The two boxes that take typed digits.
enum class Box { Weight, Height };

} // namespace

class TestBmi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useDefaultSettings(); }

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

    // At the design size every control stands where the dialog was drawn:
    // position in the client panel, and the size where one was drawn.
    void designLayout_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QSize>("size"); // an invalid size: only the width, or none, was drawn
        auto row = [](const char *name, QPoint position, QSize size) {
            QTest::newRow(name) << QString::fromLatin1(name) << position << size;
        };
        row("lblWeight", {72, 35}, {});
        row("edtWeight", {136, 30}, {201, -1});
        row("lblHeight", {72, 83}, {});
        row("edtHeight", {136, 78}, {201, -1});
        row("lblBMI", {72, 132}, {});
        row("edtBMI", {136, 127}, {201, -1});
        row("btnConfirm", {136, 181}, {68, 30});
        row("btnCancel", {269, 181}, {68, 30});
    }

    void designLayout()
    {
        QFETCH(QString, control);
        QFETCH(QPoint, position);
        QFETCH(QSize, size);
        TfrmCalcBMI dialog;
        QVERIFY(showActive(&dialog));
        QCOMPARE(dialog.size(), QSize(431, 290));
        QCOMPARE(dialog.pnlClient->geometry(), dialog.rect());
        auto *widget = dialog.pnlClient->findChild<QWidget *>(control);
        QVERIFY2(widget, qPrintable(control));
        QCOMPARE(widget->parentWidget(), dialog.pnlClient);
        QCOMPARE(widget->pos(), position);
        if (size.width() > 0)
            QCOMPARE(widget->width(), size.width());
        if (size.height() > 0)
            QCOMPARE(widget->height(), size.height());
    }

    void keyFilter_data()
    {
        QTest::addColumn<Box>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("weight: digits and points") << Box::Weight << "70.5.1"
                                                   << "70.5.1";
        QTest::newRow("weight: letters and minus refused") << Box::Weight << "a-7e"
                                                           << "7";
        QTest::newRow("height: blank refused") << Box::Height << "1 75"
                                               << "175";
    }

    void keyFilter()
    {
        QFETCH(Box, box);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        TfrmCalcBMI dialog;
        QVERIFY(showActive(&dialog));
        TEdit *edit = box == Box::Weight ? dialog.edtWeight : dialog.edtHeight;
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
    // stays; the focus coming back from the box starts no computation.
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
        QString title;
        auto answer = [&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box)
                return;
            ++boxes;
            title = box->windowTitle();
            shown = box->text();
            icon = box->icon();
            for (QAbstractButton *b : box->buttons())
                buttons << box->standardButton(b);
            // A height that computes: a computation when the focus comes
            // back would show 17.5.
            dialog.edtHeight->setText("200");
            box->button(QMessageBox::Cancel)->click();
        };
        whenModal(answer, &dialog);
        dialog.edtHeight->setFocus(Qt::TabFocusReason);
        QTest::keyClick(dialog.edtHeight, Qt::Key_Tab); // into the result box: computes
        QTRY_COMPARE(boxes, 1);
        QCOMPARE(title, "温馨提示");
        QCOMPARE(shown, "计算出现异常！ ");
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons.size(), 2);
        QVERIFY(buttons.contains(QMessageBox::Ok) && buttons.contains(QMessageBox::Cancel));
        QCOMPARE(dialog.edtBMI->text(), "22.8571428571429");
        // The focus comes back to the result box from the failure box:
        // that is no arrival from another box. The focus event arrives with
        // the activation, so a computation would have run by now.
        dialog.activateWindow();
        QTRY_VERIFY(dialog.isActiveWindow() && dialog.edtBMI->hasFocus());
        QCOMPARE(dialog.edtBMI->text(), "22.8571428571429");
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
