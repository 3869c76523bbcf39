// The 33-item page as a health worker uses it: a form answered with the
// mouse or with digits and Enter, the results on both pages and the item
// strings in page 2's type fields, the reset box, the key filter, the error
// box for a pasted letter, and question 9's BMI calculator.
#include "test_registry.h"

#include "control_access.h"
#include "modal.h"

#include "catalogue.h"
#include "control_kinds.h"
#include "uniCalcBMI.h"
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

#include <memory>

using namespace tizhi;
using namespace tizhi::test;

namespace {

struct Page33Window : ControlFinder {
    QPointer<TfrmMedDiaClientInfoEdit> window = new TfrmMedDiaClientInfoEdit;

    Page33Window()
    {
        root = window;
        QVERIFY(showActive(window));
    }
    ~Page33Window() { delete window.data(); }

    static QString answerName(int n)
    {
        return QStringLiteral("edtOriginal%1").arg(n, 2, 10, QLatin1Char('0'));
    }
    static QString buttonName(int n, int value)
    {
        return QStringLiteral("btn_%1_%2").arg(n, 2, 10, QLatin1Char('0')).arg(value);
    }
    TEdit *answer(int n) const { return find<TEdit>(answerName(n)); }
    TBitBtn *button(int n, int value) const { return find<TBitBtn>(buttonName(n, value)); }
    QString answerText(int n) const { return textOf<TEdit>(answerName(n)); }
    QString buttonText(int n, int value) const { return textOf<TBitBtn>(buttonName(n, value)); }
    QString con33(const char *type) const
    {
        return textOf<TwwDBEdit>(QStringLiteral("edtCMH33%1Con").arg(type));
    }
    QString result33(const char *type) const
    {
        return textOf<TwwDBLookupCombo>(QStringLiteral("edtCMH33%1Result").arg(type));
    }
    QString text66(const char *pattern, const char *type) const
    {
        const QString name = QString::fromLatin1(pattern).arg(type);
        QWidget *widget = find(name);
        if (auto *lookup = qobject_cast<TwwDBLookupCombo *>(widget))
            return lookup->text();
        if (auto *edit = qobject_cast<TwwDBEdit *>(widget))
            return edit->text();
        return noControl(name);
    }
    QStringList answers() const
    {
        QStringList texts;
        for (int n = 1; n <= kQuestionCount33; ++n)
            texts << answerText(n);
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
    QCOMPARE(p.textOf<TwwDBEdit>("edtCMHResultTotal"), QString::fromUtf8(kSampleSummary));
    const QString conTotal = p.textOf<TwwDBEdit>("edtCMHConTotal");
    QVERIFY2(conTotal.startsWith("[平和体质: 13]; [阳虚体质: 14]"), qPrintable(conTotal));
}

// Closes the next message box with `button`. What it returns becomes the
// box's "title|text" once the box is answered; it is shared with the timer
// that answers, which outlives a test that stops early.
std::shared_ptr<QString> answerMessageBox(QMessageBox::StandardButton button)
{
    auto shown = std::make_shared<QString>();
    whenModal([shown, button](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QAbstractButton *choice = box ? box->button(button) : nullptr;
        if (!choice) {
            modal->close();
            return;
        }
        *shown = box->windowTitle() + "|" + box->text();
        choice->click();
    });
    return shown;
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
        QList<TEdit *> boxes = {nullptr}; // boxes[n] answers question n
        for (int n = 1; n <= 33; ++n) {
            TEdit *box = p.answer(n);
            QVERIFY2(box, qPrintable(p.missing()));
            QVERIFY(box->isEnabled());
            QVERIFY(!box->readOnlyFlag());
            QCOMPARE(box->color(), clWindow);
            QVERIFY(box->font().bold());
            boxes << box;
        }
        QCOMPARE(p.textOf<QAbstractButton>("lblTitleNot"), "没有\n( 根本不 / \n从来没有 )");
        QCOMPARE(p.textOf<QAbstractButton>("lblCMH33HabResult"), "体质\n辨识");
        QCOMPARE(p.textOf<QAbstractButton>("lblPrompt01"),
                 "您精力充沛吗？（指精神头足，乐于做事）");
        QCOMPARE(p.textOf<QAbstractButton>("lblPrompt09"),
                 "您感到身体沉重不轻松吗?（感觉身体沉重）\n[ BMI指数 = 体重（kg）/ 身高㎡ ]");
        QCOMPARE(p.buttonText(9, 1), "1（BMI \n＜ 24）");
        QCOMPARE(p.buttonText(28, 5), "5（腹围 > \n105cm，\n3.15尺）");
        QCOMPARE(p.buttonText(1, 3), "3");
        QCOMPARE(p.textOf<QAbstractButton>("lblCMH33QiXuResult"), "气虚体质");
        QCOMPARE(p.con33("QiXu"), QString());
        auto *scheme = p.find<TSpeedButton>("btnCMH33ConSch");
        QVERIFY2(scheme, qPrintable(p.missing()));
        QVERIFY(scheme->isEnabled());
        QCOMPARE(p.textOf<TwwDBLookupCombo>("edtCMH33TestType"), "33项中医体质测试");
        // The answer boxes come first in tab order within the page.
        QCOMPARE(boxes[1]->nextInFocusChain(), boxes[2]);
        QCOMPARE(boxes[32]->nextInFocusChain(), boxes[33]);
    }

    // The identification button on an empty form: all 0, all 否.
    void identificationOnAnEmptyForm()
    {
        Page33Window p;
        auto *identify = p.find<QAbstractButton>("lblCMH33HabResult");
        QVERIFY2(identify, qPrintable(p.missing()));
        QTest::mouseClick(identify, Qt::LeftButton);
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
        auto *scroll = p.find<TScrollBox>("scbCMH33Field");
        auto *identify = p.find<QAbstractButton>("lblCMH33HabResult");
        QVERIFY2(scroll && identify, qPrintable(p.missing()));
        for (int n = 1; n <= 33; ++n) {
            TBitBtn *first = p.button(n, 1);
            TBitBtn *chosen = p.button(n, sampleAnswer(n));
            QVERIFY2(first && chosen, qPrintable(p.missing()));
            scroll->ensureWidgetVisible(first);
            QTest::mouseClick(chosen, Qt::LeftButton);
        }
        QCOMPARE(p.answerText(9), "5");
        QCOMPARE(p.con33("YangXu"), QString()); // a click does not score
        QTest::mouseClick(identify, Qt::LeftButton);
        verifySampleResults(p);
    }

    // A whole form by the keyboard: a digit and Enter per question; each
    // box left scores the form as it stands.
    void wholeFormByDigitsAndEnter()
    {
        Page33Window p;
        auto *identify = p.find<QAbstractButton>("lblCMH33HabResult");
        TEdit *first = p.answer(1);
        QVERIFY2(identify && first, qPrintable(p.missing()));
        first->setFocus(Qt::TabFocusReason);
        for (int n = 1; n <= 33; ++n) {
            TEdit *box = p.answer(n);
            QVERIFY2(box, qPrintable(p.missing()));
            QVERIFY2(box->hasFocus(), qPrintable(QString::number(n)));
            // The box with the focus is scrolled into view.
            QVERIFY2(!box->visibleRegion().isEmpty(), qPrintable(QString::number(n)));
            QTest::keyClicks(box, QString::number(sampleAnswer(n)));
            QTest::keyClick(box, Qt::Key_Return);
        }
        // From the last box on to the identification button.
        QVERIFY(identify->hasFocus());
        QCOMPARE(p.answers().join(""), "234512345123451234512345123451234");
        verifySampleResults(p);
    }

    // Clicking a number button while a box has the focus: the box is left
    // first, so the run sees the answers before the click.
    void clickWhileABoxHasTheFocus()
    {
        Page33Window p;
        TEdit *box = p.answer(11);
        auto *scroll = p.find<TScrollBox>("scbCMH33Field");
        TBitBtn *first = p.button(12, 1);
        TBitBtn *five = p.button(12, 5);
        auto *identify = p.find<QAbstractButton>("lblCMH33HabResult");
        QVERIFY2(box && scroll && first && five && identify, qPrintable(p.missing()));
        box->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(box, "5");
        scroll->ensureWidgetVisible(first);
        QTest::mouseClick(five, Qt::LeftButton);
        QCOMPARE(p.answerText(12), "5");
        QCOMPARE(p.text66("edtCMH%1Field", "YangXu"), "5;;;;"); // without the click's 5
        QCOMPARE(p.con33("YangXu"), "5");
        QTest::mouseClick(identify, Qt::LeftButton);
        QCOMPARE(p.con33("YangXu"), "10");
    }

    void resetAnswers_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("button");
        QTest::addColumn<bool>("reset");
        QTest::newRow("Yes sets every box to 1") << QMessageBox::Yes << true;
        QTest::newRow("No changes nothing") << QMessageBox::No << false;
        QTest::newRow("Cancel changes nothing") << QMessageBox::Cancel << false;
    }

    void resetAnswers()
    {
        QFETCH(QMessageBox::StandardButton, button);
        QFETCH(bool, reset);
        Page33Window p;
        TEdit *box = p.answer(3);
        auto *identify = p.find<QAbstractButton>("lblCMH33HabResult");
        auto *title = p.find<QAbstractButton>("lblTitleOriginal");
        QVERIFY2(box && identify && title, qPrintable(p.missing()));
        box->setText("4");
        QTest::mouseClick(identify, Qt::LeftButton);
        const QString scoreBefore = p.con33("QiXu");
        const auto shown = answerMessageBox(button);
        QTest::mouseClick(title, Qt::LeftButton);
        QCOMPARE(*shown, "温馨提示|是否真的还原【单项原始分数】? ");
        QStringList expected(33, QString());
        expected[2] = "4";
        QCOMPARE(p.answers(), reset ? QStringList(33, "1") : expected);
        QCOMPARE(p.con33("QiXu"), scoreBefore); // nothing recomputes
    }

    void answerFilter_data()
    {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        QTest::newRow("0 is accepted") << Entry::Keys << "0"
                                       << "0";
        QTest::newRow("one character at most") << Entry::Keys << "34"
                                               << "3";
        QTest::newRow("6, a letter and a blank are refused") << Entry::Keys << "6a "
                                                             << "";
        QTest::newRow("full-width digit from an input method") << Entry::InputMethod << "１"
                                                               << "";
    }

    void answerFilter()
    {
        QFETCH(Entry, entry);
        QFETCH(QString, text);
        QFETCH(QString, kept);
        Page33Window p;
        TEdit *box = p.answer(7);
        QVERIFY2(box, qPrintable(p.missing()));
        box->setFocus();
        enter(box, entry, text);
        QCOMPARE(box->text(), kept);
    }

    // A pasted letter stops the run with the standard error box; what was
    // scored before it stays and no answer is lost.
    void pastedLetterShowsTheErrorBox()
    {
        Page33Window p;
        auto *identify = p.find<QAbstractButton>("lblCMH33HabResult");
        QVERIFY2(identify, qPrintable(p.missing()));
        for (int n = 1; n <= 33; ++n) {
            TEdit *box = p.answer(n);
            QVERIFY2(box, qPrintable(p.missing()));
            box->setText("1");
        }
        QTest::mouseClick(identify, Qt::LeftButton);
        QCOMPARE(p.con33("PingHe"), "21");
        TEdit *qiXu = p.answer(3);
        TEdit *next = p.answer(4);
        TEdit *yangXu = p.answer(11);
        QVERIFY2(qiXu && next && yangXu, qPrintable(p.missing()));
        yangXu->setText("5"); // scored before the failing type
        QApplication::clipboard()->setText("x");
        qiXu->setFocus(Qt::MouseFocusReason);
        qiXu->selectAll();
        qiXu->paste();
        QCOMPARE(qiXu->text(), "x");
        const auto shown = answerMessageBox(QMessageBox::Ok);
        next->setFocus(Qt::MouseFocusReason);
        QCOMPARE(shown->section('|', 1), "'x' is not a valid integer value");
        QCOMPARE(p.con33("YangXu"), "8");                        // scored before QiXu
        QCOMPARE(p.con33("QiXu"), "4");                          // as before
        QCOMPARE(p.con33("PingHe"), "21");                       // as before
        QCOMPARE(p.text66("edtCMH%1Field", "QiXu"), "1;x;1;1;"); // questions 2, 3, 4, 14
        QCOMPARE(qiXu->text(), "x");                             // nothing typed is lost
        QCOMPARE(yangXu->text(), "5");
    }

    // Question 9's prompt opens the BMI calculator; nothing comes back.
    void bmiFromQuestion9()
    {
        Page33Window p;
        TEdit *box = p.answer(9);
        auto *prompt = p.find<QAbstractButton>("lblPrompt09");
        QVERIFY2(box && prompt, qPrintable(p.missing()));
        box->setText("2");
        // The calculator's title and result; shared with the timer that
        // fills the calculator in, which outlives a test that stops early.
        const auto seen = std::make_shared<QString>();
        whenModal([seen](QWidget *modal) {
            *seen = modal->windowTitle();
            if (auto *bmi = qobject_cast<TfrmCalcBMI *>(modal)) {
                bmi->edtWeight->setText("70");
                bmi->edtHeight->setText("175");
                QTest::mouseClick(bmi->btnConfirm, Qt::LeftButton);
                *seen += " " + bmi->edtBMI->text();
            }
            modal->close();
        });
        QTest::mouseClick(prompt, Qt::LeftButton);
        QCOMPARE(*seen, "计算BMI 22.8571428571429");
        QVERIFY(frmCalcBMI == nullptr);
        QCOMPARE(box->text(), "2");
        QCOMPARE(p.con33("TanShi"), QString());
    }

    // The prompt button of question 9 follows its command.
    void promptFollowsItsCommand()
    {
        Page33Window p;
        auto *command = p.find<QAction>("actCalcBMI");
        auto *prompt = p.find<QAbstractButton>("lblPrompt09");
        QVERIFY2(command && prompt, qPrintable(p.missing()));
        command->setEnabled(false);
        QVERIFY(!prompt->isEnabled());
        command->setEnabled(true);
        command->setVisible(false);
        QVERIFY(prompt->isHidden());
    }

    // Only question 9's prompt opens a window: the others and the column
    // titles do nothing when clicked.
    void otherPromptsAndTitlesDoNothing()
    {
        Page33Window p;
        auto *scroll = p.find<TScrollBox>("scbCMH33Field");
        auto *bmiPrompt = p.find<QAbstractButton>("lblPrompt09");
        QVERIFY2(scroll && bmiPrompt, qPrintable(p.missing()));
        QList<QAbstractButton *> buttons;
        for (const char *name : {"lblPrompt01", "lblPrompt33", "lblTitleNot", "lblCMH33QiXuResult",
                                 "lblCMH33PingHeResult"}) {
            auto *button = p.find<QAbstractButton>(name);
            QVERIFY2(button, qPrintable(p.missing()));
            buttons << button;
        }
        ModalWindowCounter opened;
        for (QAbstractButton *button : buttons) {
            scroll->ensureWidgetVisible(button);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCoreApplication::processEvents(); // anything the clicks queued
        QCOMPARE(opened.count(), 0);
        QCOMPARE(p.answers(), QStringList(33, QString()));
        QCOMPARE(p.con33("QiXu"), QString());
        // The same count sees the window question 9's prompt opens.
        scroll->ensureWidgetVisible(bmiPrompt);
        QTest::mouseClick(bmiPrompt, Qt::LeftButton);
        QCOMPARE(opened.count(), 1);
        QVERIFY(frmCalcBMI == nullptr);
    }
};

TIZHI_REGISTER_TEST(TestPage33);

#include "tst_page33.moc"
