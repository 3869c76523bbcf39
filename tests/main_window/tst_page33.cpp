// The 33-item page as a health worker uses it: a form answered with the
// mouse or with digits and Enter, the results on both pages and the item
// strings in page 2's type fields, the reset box, the key filter, the error
// box for a pasted letter, and question 9's BMI calculator.
#include "test_registry.h"

#include "modal.h"

#include "catalogue.h"
#include "control_kinds.h"
#include "uniCalcBMI.h"
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace tizhi;
using namespace tizhi::test;

namespace {

struct Page33Window {
    QPointer<TfrmMedDiaClientInfoEdit> window = new TfrmMedDiaClientInfoEdit;

    Page33Window() { QVERIFY(showActive(window)); }
    ~Page33Window() { delete window.data(); }

    template <class T = QWidget> T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    TEdit *answer(int n) const
    {
        return find<TEdit>(QStringLiteral("edtOriginal%1").arg(n, 2, 10, QLatin1Char('0')));
    }
    TBitBtn *button(int n, int value) const
    {
        return find<TBitBtn>(
            QStringLiteral("btn_%1_%2").arg(n, 2, 10, QLatin1Char('0')).arg(value));
    }
    QString con33(const char *type) const
    {
        return find<TwwDBEdit>(QStringLiteral("edtCMH33%1Con").arg(type))->text();
    }
    QString result33(const char *type) const
    {
        return find<TwwDBLookupCombo>(QStringLiteral("edtCMH33%1Result").arg(type))->text();
    }
    QString text66(const char *pattern, const char *type) const
    {
        auto *widget = find(QString::fromLatin1(pattern).arg(type));
        if (auto *lookup = qobject_cast<TwwDBLookupCombo *>(widget))
            return lookup->text();
        return static_cast<TwwDBEdit *>(widget)->text();
    }
    QStringList answers() const
    {
        QStringList texts;
        for (int n = 1; n <= kQuestionCount33; ++n)
            texts << answer(n)->text();
        return texts;
    }
};

// The sample form: question n answered (n mod 5) + 1. Checked by hand for
// YangXu (questions 11, 12, 13, 29 answered 2 3 4 5: 14, 是) and PingHe
// (questions 1, 2, 4, 5, 13 answered 2 3 5 1 4, the last four reversed to
// 3 1 5 2: 13, 否).
int sampleAnswer(int n)
{
    return n % 5 + 1;
}

struct TypeResult {
    const char *type;
    const char *itemString;
    const char *score;
    const char *verdict;
};

const TypeResult kSampleResults[] = {
    {"YangXu", "2;3;4;5;", "14", "是"},   {"YinXu", "1;2;2;2;", "7", "否"},
    {"QiXu", "3;4;5;5;", "17", "是"},     {"TanShi", "5;2;4;3;", "14", "是"},
    {"ShiRe", "4;1;3;1;", "9", "倾向是"}, {"XueYu", "5;3;5;4;", "17", "是"},
    {"QiYu", "1;2;3;4;", "10", "倾向是"}, {"TeBing", "1;3;4;1;", "9", "倾向是"},
    {"PingHe", "2;3;5;1;4;", "13", "否"},
};

const char *const kSampleSummary =
    "[不是平和体质] [阳虚体质] [气虚体质] [痰湿体质] [有湿热体质倾向] [血瘀体质] "
    "[有气郁体质倾向] [有特禀体质倾向]";

void verifySampleResults(const Page33Window &p)
{
    for (const TypeResult &r : kSampleResults) {
        QCOMPARE(p.con33(r.type), QString(r.score));
        QCOMPARE(p.result33(r.type), QString::fromUtf8(r.verdict));
        // The same record on page 2, with the 33-item item strings.
        QCOMPARE(p.text66("edtCMH%1Field", r.type), QString(r.itemString));
        QCOMPARE(p.text66("edtCMH%1Org", r.type), QString(r.score));
        QCOMPARE(p.text66("edtCMH%1Con", r.type), QString(r.score));
        QCOMPARE(p.text66("edtCMH%1Result", r.type), QString::fromUtf8(r.verdict));
    }
    QCOMPARE(p.find<TwwDBEdit>("edtCMHResultTotal")->text(), QString::fromUtf8(kSampleSummary));
    QVERIFY(
        p.find<TwwDBEdit>("edtCMHConTotal")->text().startsWith("[平和体质: 13]; [阳虚体质: 14]"));
}

// Closes the next message box with `button` and returns its text.
void answerMessageBox(QMessageBox::StandardButton button, QString *text, int *boxes = nullptr)
{
    whenModal([=](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            modal->close();
            return;
        }
        if (boxes)
            ++*boxes;
        *text = box->windowTitle() + "|" + box->text();
        box->button(button)->click();
    });
}

} // namespace

class TestPage33 : public QObject {
    Q_OBJECT

private slots:
    void startState()
    {
        Page33Window p;
        QCOMPARE(p.window->pgcClient->currentIndex(), 1);
        QCOMPARE(p.answers(), QStringList(33, QString()));
        for (int n = 1; n <= 33; ++n) {
            QVERIFY(p.answer(n)->isEnabled());
            QVERIFY(!p.answer(n)->readOnlyFlag());
            QCOMPARE(p.answer(n)->color(), clWindow);
            QVERIFY(p.answer(n)->font().bold());
        }
        QCOMPARE(p.find<QAbstractButton>("lblTitleNot")->text(), "没有\n( 根本不 / \n从来没有 )");
        QCOMPARE(p.find<QAbstractButton>("lblCMH33HabResult")->text(), "体质\n辨识");
        QCOMPARE(p.find<QAbstractButton>("lblPrompt01")->text(),
                 "您精力充沛吗？（指精神头足，乐于做事）");
        QCOMPARE(p.find<QAbstractButton>("lblPrompt09")->text(),
                 "您感到身体沉重不轻松吗?（感觉身体沉重）\n[ BMI指数 = 体重（kg）/ 身高㎡ ]");
        QCOMPARE(p.button(9, 1)->text(), "1（BMI \n＜ 24）");
        QCOMPARE(p.button(28, 5)->text(), "5（腹围 > \n105cm，\n3.15尺）");
        QCOMPARE(p.button(1, 3)->text(), "3");
        QCOMPARE(p.find<QAbstractButton>("lblCMH33QiXuResult")->text(), "气虚体质");
        QCOMPARE(p.con33("QiXu"), QString());
        QVERIFY(p.find<TSpeedButton>("btnCMH33ConSch")->isEnabled());
        QCOMPARE(p.find<TwwDBLookupCombo>("edtCMH33TestType")->text(), "33项中医体质测试");
        // The answer boxes come first in tab order within the page.
        QCOMPARE(p.answer(1)->nextInFocusChain(), p.answer(2));
        QCOMPARE(p.answer(32)->nextInFocusChain(), p.answer(33));
    }

    // The identification button on an empty form: all 0, all 否.
    void identificationOnAnEmptyForm()
    {
        Page33Window p;
        QTest::mouseClick(p.find<QAbstractButton>("lblCMH33HabResult"), Qt::LeftButton);
        for (const TypeResult &r : kSampleResults) {
            QCOMPARE(p.con33(r.type), "0");
            QCOMPARE(p.result33(r.type), "否");
        }
        QCOMPARE(p.text66("edtCMH%1Field", "YangXu"), ";;;;");
        QCOMPARE(p.text66("edtCMH%1Field", "PingHe"), ";;;;;");
    }

    // A whole form by the mouse, scored by the identification button.
    void wholeFormByButtons()
    {
        Page33Window p;
        for (int n = 1; n <= 33; ++n) {
            p.find<TScrollBox>("scbCMH33Field")->ensureWidgetVisible(p.button(n, 1));
            QTest::mouseClick(p.button(n, sampleAnswer(n)), Qt::LeftButton);
        }
        QCOMPARE(p.answer(9)->text(), "5");
        QCOMPARE(p.con33("YangXu"), QString()); // a click does not score
        QTest::mouseClick(p.find<QAbstractButton>("lblCMH33HabResult"), Qt::LeftButton);
        verifySampleResults(p);
    }

    // A whole form by the keyboard: a digit and Enter per question; each
    // box left scores the form as it stands.
    void wholeFormByDigitsAndEnter()
    {
        Page33Window p;
        p.answer(1)->setFocus(Qt::TabFocusReason);
        for (int n = 1; n <= 33; ++n) {
            QVERIFY2(p.answer(n)->hasFocus(), qPrintable(QString::number(n)));
            // The box with the focus is scrolled into view.
            QVERIFY2(!p.answer(n)->visibleRegion().isEmpty(), qPrintable(QString::number(n)));
            QTest::keyClicks(p.answer(n), QString::number(sampleAnswer(n)));
            QTest::keyClick(p.answer(n), Qt::Key_Return);
        }
        // From the last box on to the identification button.
        QVERIFY(p.find<QAbstractButton>("lblCMH33HabResult")->hasFocus());
        QCOMPARE(p.answers().join(""), "234512345123451234512345123451234");
        verifySampleResults(p);
    }

    // Clicking a number button while a box has the focus: the box is left
    // first, so the run sees the answers before the click.
    void clickWhileABoxHasTheFocus()
    {
        Page33Window p;
        p.answer(11)->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(p.answer(11), "5");
        p.find<TScrollBox>("scbCMH33Field")->ensureWidgetVisible(p.button(12, 1));
        QTest::mouseClick(p.button(12, 5), Qt::LeftButton);
        QCOMPARE(p.answer(12)->text(), "5");
        QCOMPARE(p.text66("edtCMH%1Field", "YangXu"), "5;;;;"); // without the click's 5
        QCOMPARE(p.con33("YangXu"), "5");
        QTest::mouseClick(p.find<QAbstractButton>("lblCMH33HabResult"), Qt::LeftButton);
        QCOMPARE(p.con33("YangXu"), "10");
    }

    void resetAnswers_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("reset");
        QTest::newRow("Yes sets every box to 1") << int(QMessageBox::Yes) << true;
        QTest::newRow("No changes nothing") << int(QMessageBox::No) << false;
        QTest::newRow("Cancel changes nothing") << int(QMessageBox::Cancel) << false;
    }

    void resetAnswers()
    {
        QFETCH(int, button);
        QFETCH(bool, reset);
        Page33Window p;
        p.answer(3)->setText("4");
        QTest::mouseClick(p.find<QAbstractButton>("lblCMH33HabResult"), Qt::LeftButton);
        const QString scoreBefore = p.con33("QiXu");
        QString shown;
        answerMessageBox(QMessageBox::StandardButton(button), &shown);
        QTest::mouseClick(p.find<QAbstractButton>("lblTitleOriginal"), Qt::LeftButton);
        QCOMPARE(shown, "温馨提示|是否真的还原【单项原始分数】? ");
        QStringList expected(33, QString());
        expected[2] = "4";
        QCOMPARE(p.answers(), reset ? QStringList(33, "1") : expected);
        QCOMPARE(p.con33("QiXu"), scoreBefore); // nothing recomputes
    }

    void answerFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("0 is accepted") << "0"
                                       << "0";
        QTest::newRow("one character at most") << "34"
                                               << "3";
        QTest::newRow("6, a letter and a blank are refused") << "6a "
                                                             << "";
        QTest::newRow("full-width digit from an input method") << "ime:１"
                                                               << "";
    }

    void answerFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        Page33Window p;
        TEdit *box = p.answer(7);
        box->setFocus();
        if (typed.startsWith("ime:")) {
            QInputMethodEvent commit;
            commit.setCommitString(typed.mid(4));
            QApplication::sendEvent(box, &commit);
        } else {
            QTest::keyClicks(box, typed);
        }
        QCOMPARE(box->text(), kept);
    }

    // A pasted letter stops the run with the standard error box; what was
    // scored before it stays and no answer is lost.
    void pastedLetterShowsTheErrorBox()
    {
        Page33Window p;
        for (int n = 1; n <= 33; ++n)
            p.answer(n)->setText("1");
        QTest::mouseClick(p.find<QAbstractButton>("lblCMH33HabResult"), Qt::LeftButton);
        QCOMPARE(p.con33("PingHe"), "21");
        p.answer(11)->setText("5"); // YangXu, scored before the failing type
        QApplication::clipboard()->setText("x");
        p.answer(3)->setFocus(Qt::MouseFocusReason); // QiXu
        p.answer(3)->selectAll();
        p.answer(3)->paste();
        QCOMPARE(p.answer(3)->text(), "x");
        QString shown;
        answerMessageBox(QMessageBox::Ok, &shown);
        p.answer(4)->setFocus(Qt::MouseFocusReason);
        QCOMPARE(shown.section('|', 1), "'x' is not a valid integer value");
        QCOMPARE(p.con33("YangXu"), "8");                        // scored before QiXu
        QCOMPARE(p.con33("QiXu"), "4");                          // as before
        QCOMPARE(p.con33("PingHe"), "21");                       // as before
        QCOMPARE(p.text66("edtCMH%1Field", "QiXu"), "1;x;1;1;"); // questions 2, 3, 4, 14
        QCOMPARE(p.answer(3)->text(), "x");                      // nothing typed is lost
        QCOMPARE(p.answer(11)->text(), "5");
    }

    // Question 9's prompt opens the BMI calculator; nothing comes back.
    void bmiFromQuestion9()
    {
        Page33Window p;
        p.answer(9)->setText("2");
        QString title;
        whenModal([&title](QWidget *modal) {
            title = modal->windowTitle();
            if (auto *bmi = qobject_cast<TfrmCalcBMI *>(modal)) {
                bmi->edtWeight->setText("70");
                bmi->edtHeight->setText("175");
                QTest::mouseClick(bmi->btnConfirm, Qt::LeftButton);
                title += " " + bmi->edtBMI->text();
            }
            modal->close();
        });
        QTest::mouseClick(p.find<QAbstractButton>("lblPrompt09"), Qt::LeftButton);
        QCOMPARE(title, "计算BMI 22.8571428571429");
        QVERIFY(frmCalcBMI == nullptr);
        QCOMPARE(p.answer(9)->text(), "2");
        QCOMPARE(p.con33("TanShi"), QString());
    }

    // The prompt button of question 9 follows its command.
    void promptFollowsItsCommand()
    {
        Page33Window p;
        auto *command = p.find<QAction>("actCalcBMI");
        QVERIFY2(command, "actCalcBMI");
        auto *prompt = p.find<QAbstractButton>("lblPrompt09");
        command->setEnabled(false);
        QVERIFY(!prompt->isEnabled());
        command->setEnabled(true);
        command->setVisible(false);
        QVERIFY(prompt->isHidden());
    }

    void otherPromptsAndTitlesDoNothing()
    {
        Page33Window p;
        int opened = 0;
        auto *timer = new QTimer(p.window);
        QObject::connect(timer, &QTimer::timeout, p.window, [&opened] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                ++opened;
                modal->close();
            }
        });
        timer->start(10);
        for (const char *name : {"lblPrompt01", "lblPrompt33", "lblTitleNot", "lblCMH33QiXuResult",
                                 "lblCMH33PingHeResult"}) {
            auto *button = p.find<QAbstractButton>(name);
            p.find<TScrollBox>("scbCMH33Field")->ensureWidgetVisible(button);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QTest::qWait(50);
        QCOMPARE(opened, 0);
        QCOMPARE(p.answers(), QStringList(33, QString()));
        QCOMPARE(p.con33("QiXu"), QString());
    }
};

TIZHI_REGISTER_TEST(TestPage33);

#include "tst_page33.moc"
