// The 66-item page as a health worker uses it: type fields answered in the
// questionnaire window or typed, scores and verdicts when a field is left or
// the scheme button pressed, the error box for a field that holds no
// numbers, and the record both test pages show.
#include "test_registry.h"

#include "control_access.h"
#include "modal.h"

#include "catalogue.h"
#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientChiModHabFieldEdit.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QAction>
#include <QClipboard>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

#include <memory>

using namespace tizhi;
using namespace tizhi::test;

namespace {

struct Page66Window : ControlFinder {
    QPointer<TfrmMedDiaClientInfoEdit> window = new TfrmMedDiaClientInfoEdit;

    Page66Window()
    {
        root = window;
        window->pgcClient->setCurrentIndex(2);
        QVERIFY(showActive(window));
    }
    ~Page66Window() { delete window.data(); }

    TwwDBEdit *field(const QString &pinyin) const { return edit("edtCMH%1Field", pinyin); }
    TwwDBEdit *org(const QString &pinyin) const { return edit("edtCMH%1Org", pinyin); }
    TwwDBEdit *con(const QString &pinyin) const { return edit("edtCMH%1Con", pinyin); }
    TwwDBEdit *edit(const char *pattern, const QString &pinyin) const
    {
        return find<TwwDBEdit>(QString::fromLatin1(pattern).arg(pinyin));
    }
    QString orgText(const QString &pinyin) const { return text("edtCMH%1Org", pinyin); }
    QString conText(const QString &pinyin) const { return text("edtCMH%1Con", pinyin); }
    QString text(const char *pattern, const QString &pinyin) const
    {
        return textOf<TwwDBEdit>(QString::fromLatin1(pattern).arg(pinyin));
    }
    QString result(const QString &pinyin) const
    {
        return textOf<TwwDBLookupCombo>(QStringLiteral("edtCMH%1Result").arg(pinyin));
    }
    QString conTotal() const { return textOf<TwwDBEdit>("edtCMHConTotal"); }
    QString resultTotal() const { return textOf<TwwDBEdit>("edtCMHResultTotal"); }

    // Gives `from` the focus and moves it on to the name field by the mouse.
    // The window is made active first, as a desktop does when a modal
    // window closes. False, with a warning in the log, when there is no
    // name field or the window never became active.
    [[nodiscard]] bool leave(TwwDBEdit *from) const
    {
        auto *name = find<TwwDBEdit>("edtCMHName");
        if (!name) {
            qWarning().noquote() << missing();
            return false;
        }
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window)) {
            qWarning("the main window did not become active");
            return false;
        }
        from->setFocus(Qt::MouseFocusReason);
        name->setFocus(Qt::MouseFocusReason);
        return true;
    }
};

const char *const kPinyin[] = {"YangXu", "YinXu",  "QiXu", "TanShi", "ShiRe",
                               "XueYu",  "TeBing", "QiYu", "PingHe"};

// How a type field is scored.
enum class Trigger { LeaveByMouse, Tab, Enter, SchemeButton };

// How the questionnaire of a type is opened, and how it is closed.
enum class Open { DoubleClickOnField, FieldButton };
enum class Finish { Confirm, Cancel, CloseBox };

// In a list of answers: the row's buttons are left alone.
constexpr int kNoClick = 0;

// What the questionnaire showed when it opened. Shared with the timer that
// answers the questionnaire, which outlives a test that stops early.
struct SeenQuestionnaire {
    QString title;
    QString passed; // the answer of the first row the window was given
};

// Answers the questionnaire that opens next: clicks the answer button of
// each row in `answers` (1 to 5, or kNoClick) and then finishes it.
std::shared_ptr<SeenQuestionnaire> answerQuestionnaire(const QList<int> &answers, Finish finish)
{
    auto seen = std::make_shared<SeenQuestionnaire>();
    whenModal([seen, answers, finish](QWidget *modal) {
        auto *window = qobject_cast<TfrmMedDiaClientChiModHabFieldEdit *>(modal);
        if (!window) {
            modal->close();
            return;
        }
        seen->title = window->lblTitleTop->text();
        seen->passed = window->rows()[0].answer->text();
        for (qsizetype k = 0; k < answers.size(); ++k) {
            if (answers[k] == kNoClick)
                continue;
            QTest::mouseClick(window->rows()[std::size_t(k)].buttons[std::size_t(answers[k] - 1)],
                              Qt::LeftButton);
        }
        switch (finish) {
        case Finish::Confirm:
            window->actConfirm->trigger();
            break;
        case Finish::Cancel:
            window->actQuit->trigger();
            break;
        case Finish::CloseBox:
            window->close();
            break;
        }
    });
    return seen;
}

// Closes the next modal window. What it returns becomes the text of the
// message box it closes; it is shared with the timer that closes it, which
// outlives a test that stops early.
std::shared_ptr<QString> closeMessageBox()
{
    auto message = std::make_shared<QString>();
    whenModal([message](QWidget *box) {
        if (auto *error = qobject_cast<QMessageBox *>(box))
            *message = error->text();
        box->close();
    });
    return message;
}

} // namespace

class TestPage66 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(frmMedDiaClientChiModHabFieldEdit == nullptr); }

    void startState()
    {
        Page66Window p;
        for (const char *type : kPinyin) {
            TwwDBEdit *field = p.field(type);
            TwwDBEdit *org = p.org(type);
            TwwDBEdit *con = p.con(type);
            auto *result = p.find(QStringLiteral("edtCMH%1Result").arg(type));
            auto *button = p.find<TSpeedButton>(QStringLiteral("btnCMH%1Field").arg(type));
            QVERIFY2(field && org && con && result && button, qPrintable(p.missing()));
            QCOMPARE(field->text(), "0");
            QVERIFY(field->wordWrap());
            QVERIFY(!field->isReadOnly());
            QCOMPARE(field->color(), clWindow);
            QCOMPARE(org->text(), QString());
            QCOMPARE(con->text(), QString());
            QVERIFY(con->isReadOnly());
            QCOMPARE(p.result(type), QString());
            QVERIFY(!result->isEnabled());
            QCOMPARE(button->text(), ">>>");
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        }
        QCOMPARE(p.conTotal(), QString());
        auto *conTotal = p.find<TwwDBEdit>("edtCMHConTotal");
        auto *resultTotal = p.find<TwwDBEdit>("edtCMHResultTotal");
        auto *scheme = p.find<TSpeedButton>("btnCMHConvalesceScheme");
        auto *schemeCaption = p.find<TLabel>("lblCMHConvalesceSchemeCaption");
        QVERIFY2(conTotal && resultTotal && scheme && schemeCaption, qPrintable(p.missing()));
        QVERIFY(conTotal->wordWrap());
        QVERIFY(resultTotal->isReadOnly());
        QCOMPARE(p.textOf<TLabel>("lblCMHYangXuOrgCaption"), "阳虚原始");
        QCOMPARE(p.textOf<TLabel>("lblCMHPingHeResultCaption"), "平和体质");
        QVERIFY(scheme->isVisible());
        QVERIFY(!schemeCaption->isVisible());
    }

    // Leaving a type field right after start scores all nine types 0.
    void startStateRun()
    {
        Page66Window p;
        TwwDBEdit *qiXu = p.field("QiXu");
        QVERIFY2(qiXu, qPrintable(p.missing()));
        QVERIFY(p.leave(qiXu));
        for (const char *type : kPinyin) {
            QCOMPARE(p.orgText(type), "0");
            QCOMPARE(p.conText(type), "0");
            QCOMPARE(p.result(type), "否");
        }
        QCOMPARE(p.conTotal(), "[平和体质: 0]; [阳虚体质: 0]; [阴虚体质: 0]; [气虚体质: 0]; "
                               "[痰湿体质: 0]; [湿热体质: 0]; [血瘀体质: 0]; [气郁体质: 0]; "
                               "[特禀体质: 0].");
        QCOMPARE(p.resultTotal(), "[不是平和体质]");
    }

    // Typed item strings, scored on leaving a field or by the scheme button.
    void triggers_data()
    {
        QTest::addColumn<Trigger>("trigger");
        QTest::newRow("leaving the field by the mouse") << Trigger::LeaveByMouse;
        QTest::newRow("Tab") << Trigger::Tab;
        QTest::newRow("Enter") << Trigger::Enter;
        QTest::newRow("scheme button") << Trigger::SchemeButton;
    }

    void triggers()
    {
        QFETCH(Trigger, trigger);
        Page66Window p;
        TwwDBEdit *yangXu = p.field("YangXu");
        TwwDBEdit *yinXu = p.field("YinXu");
        auto *scheme = p.find<TSpeedButton>("btnCMHConvalesceScheme");
        QVERIFY2(yangXu && yinXu && scheme, qPrintable(p.missing()));
        yangXu->setFocus(Qt::MouseFocusReason);
        yangXu->selectAll();
        QTest::keyClicks(yangXu, "5;5;5;5;4;4;4;");
        QCOMPARE(p.orgText("YangXu"), QString()); // typing does not score
        switch (trigger) {
        case Trigger::LeaveByMouse:
            QVERIFY(p.leave(yangXu));
            break;
        case Trigger::Tab:
            QTest::keyClick(yangXu, Qt::Key_Tab);
            QVERIFY(yinXu->hasFocus());
            break;
        case Trigger::Enter:
            QTest::keyClick(yangXu, Qt::Key_Return);
            QVERIFY(yinXu->hasFocus());
            // Reached by Enter, the field's "0" is selected: typing replaces it.
            QTest::keyClicks(yinXu, "2;2;");
            QCOMPARE(yinXu->text(), "2;2;");
            break;
        case Trigger::SchemeButton:
            QTest::mouseClick(scheme, Qt::LeftButton);
            QVERIFY(yangXu->hasFocus()); // the flat button takes no focus
            break;
        }
        QCOMPARE(yangXu->text(), "5;5;5;5;4;4;4;"); // Enter inserted nothing
        QCOMPARE(p.orgText("YangXu"), "32");
        QCOMPARE(p.conText("YangXu"), "89.29");
        QCOMPARE(p.result("YangXu"), "是");
        QCOMPARE(p.result("PingHe"), "否");
        QVERIFY(p.resultTotal().contains("[阳虚体质]"));
    }

    void typeFieldFilter_data()
    {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        QTest::newRow("digits 0 to 5 and ;") << Entry::Keys << "0;1;2;3;4;5;"
                                             << "0;1;2;3;4;5;";
        QTest::newRow("a letter, a blank and 6 are ignored") << Entry::Keys << "1a; 6;"
                                                             << "1;;";
        QTest::newRow("full-width digit committed by an input method") << Entry::InputMethod << "１"
                                                                       << "";
    }

    void typeFieldFilter()
    {
        QFETCH(Entry, entry);
        QFETCH(QString, text);
        QFETCH(QString, kept);
        Page66Window p;
        TwwDBEdit *field = p.field("TanShi");
        QVERIFY2(field, qPrintable(p.missing()));
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        enter(field, entry, text);
        QCOMPARE(field->text(), kept);
    }

    // The questionnaire protocol, opened by double-click or by ">>>".
    void questionnaire_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<Open>("open");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<Finish>("finish");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("after");
        QTest::newRow("ShiRe by double-click, OK")
            << "ShiRe" << Open::DoubleClickOnField << "0" << QList<int>{1, 2, 3, 4, 5, 1, 2}
            << Finish::Confirm << "湿热体质"
            << "1;2;3;4;5;1;2;";
        QTest::newRow("PingHe by >>>, OK")
            << "PingHe" << Open::FieldButton << "0" << QList<int>{3, 3, 3, 3, 3, 3, 3, 3}
            << Finish::Confirm << "平和体质"
            << "3;3;3;3;3;3;3;3;";
        QTest::newRow("answers kept and changed")
            << "QiXu" << Open::FieldButton << "1;2;3;" << QList<int>{kNoClick, 5} << Finish::Confirm
            << "气虚体质"
            << "1;5;3;;;;;;";
        QTest::newRow("cancel leaves the field") << "YinXu" << Open::DoubleClickOnField << "0"
                                                 << QList<int>{5, 5} << Finish::Cancel << "阴虚体质"
                                                 << "0";
        QTest::newRow("close box leaves a typed field")
            << "XueYu" << Open::FieldButton << "2;2;" << QList<int>{5, 5} << Finish::CloseBox
            << "血瘀体质"
            << "2;2;";
    }

    void questionnaire()
    {
        QFETCH(QString, type);
        QFETCH(Open, open);
        QFETCH(QString, start);
        QFETCH(QList<int>, answers);
        QFETCH(Finish, finish);
        QFETCH(QString, title);
        QFETCH(QString, after);
        Page66Window p;
        TwwDBEdit *field = p.field(type);
        auto *name = p.find<TwwDBEdit>("edtCMHName");
        auto *button = p.find<TSpeedButton>("btnCMH" + type + "Field");
        QVERIFY2(field && name && button, qPrintable(p.missing()));
        field->setText(start);
        name->setFocus(Qt::MouseFocusReason);
        const auto seen = answerQuestionnaire(answers, finish);
        switch (open) {
        case Open::DoubleClickOnField:
            field->setFocus(Qt::MouseFocusReason);
            QTest::mouseDClick(field->viewport(), Qt::LeftButton);
            break;
        case Open::FieldButton:
            QTest::mouseClick(button, Qt::LeftButton);
            break;
        }
        QCOMPARE(seen->title, title);
        QCOMPARE(seen->passed, start.section(';', 0, 0));
        QCOMPARE(field->text(), after);
        QVERIFY(frmMedDiaClientChiModHabFieldEdit == nullptr);
        // The window returned no score: the field's type is unscored until
        // the focus leaves a type field.
        QCOMPARE(p.orgText(type), QString());
        if (open == Open::FieldButton)
            QVERIFY(name->hasFocus() || !QApplication::focusWidget() ||
                    QApplication::focusWidget() == name);
    }

    // A field that holds no numbers stops the run with the standard error
    // box; the types scored before it keep their new values.
    void pastedLetterShowsTheErrorBox()
    {
        Page66Window p;
        TwwDBEdit *yangXu = p.field("YangXu");
        TwwDBEdit *qiXu = p.field("QiXu");
        TwwDBEdit *pingHe = p.field("PingHe");
        QVERIFY2(yangXu && qiXu && pingHe, qPrintable(p.missing()));
        QVERIFY(p.leave(yangXu)); // every type scored 0
        yangXu->setText("5;5;5;5;5;5;5;");
        // A letter reaches a type field only from the clipboard.
        qiXu->setText("3;");
        QApplication::clipboard()->setText("x;");
        qiXu->moveCursor(QTextCursor::End);
        qiXu->paste();
        QCOMPARE(qiXu->text(), "3;x;");
        pingHe->setText("5;1;1;1;1;5;1;1;");
        const auto message = closeMessageBox();
        QVERIFY(p.leave(qiXu));
        QCOMPARE(*message, "'x' is not a valid integer value");
        QCOMPARE(p.orgText("YangXu"), "35"); // before the error: new
        QCOMPARE(p.result("YangXu"), "是");
        QCOMPARE(p.orgText("QiXu"), "0"); // at and after it: as before
        QCOMPARE(p.orgText("PingHe"), "0");
        QVERIFY(p.resultTotal() == "[不是平和体质]");
    }

    // A type emptied before it was ever scored has no score to summarise.
    void typeEmptiedBeforeItWasScored()
    {
        Page66Window p;
        TwwDBEdit *teBing = p.field("TeBing");
        QVERIFY2(teBing, qPrintable(p.missing()));
        teBing->setText("");
        const auto message = closeMessageBox();
        QVERIFY(p.leave(teBing));
        QCOMPARE(*message, "'' is not a valid floating point value");
        QCOMPARE(p.orgText("YangXu"), "0");
        QCOMPARE(p.orgText("TeBing"), QString());
        QCOMPARE(p.conTotal(), QString());
    }

    // The focus goes to a modal window and comes back: that is not leaving
    // the field, so no run and no error box loops.
    void openingTheQuestionnaireIsNotLeavingTheField()
    {
        Page66Window p;
        TwwDBEdit *field = p.field("QiYu");
        QVERIFY2(field, qPrintable(p.missing()));
        field->setFocus(Qt::MouseFocusReason);
        answerQuestionnaire({1, 1, 1, 1, 1, 1, 1}, Finish::Confirm);
        QTest::mouseDClick(field->viewport(), Qt::LeftButton);
        QCOMPARE(field->text(), "1;1;1;1;1;1;1;");
        QCOMPARE(p.orgText("QiYu"), QString());
        QVERIFY(p.leave(field));
        QCOMPARE(p.orgText("QiYu"), "7");
        QCOMPARE(p.result("QiYu"), "否");
    }
};

TIZHI_REGISTER_TEST(TestPage66);

#include "tst_page66.moc"
