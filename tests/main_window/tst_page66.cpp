// The 66-item page as a health worker uses it: type fields answered in the
// questionnaire window or typed, scores and verdicts when a field is left or
// the scheme button pressed, the error box for a field that holds no
// numbers, and the record both test pages show.
#include "test_registry.h"

#include "modal.h"

#include "catalogue.h"
#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientChiModHabFieldEdit.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QAction>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

using namespace tizhi;
using namespace tizhi::test;

namespace {

struct Page66Window {
    QPointer<TfrmMedDiaClientInfoEdit> window = new TfrmMedDiaClientInfoEdit;

    Page66Window()
    {
        window->pgcClient->setCurrentIndex(2);
        QVERIFY(showActive(window));
    }
    ~Page66Window() { delete window.data(); }

    template <class T = QWidget> T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    TwwDBEdit *field(const char *pinyin) const { return edit("edtCMH%1Field", pinyin); }
    TwwDBEdit *org(const char *pinyin) const { return edit("edtCMH%1Org", pinyin); }
    TwwDBEdit *con(const char *pinyin) const { return edit("edtCMH%1Con", pinyin); }
    QString result(const char *pinyin) const
    {
        return find<TwwDBLookupCombo>(QStringLiteral("edtCMH%1Result").arg(pinyin))->text();
    }
    TwwDBEdit *edit(const char *pattern, const char *pinyin) const
    {
        return find<TwwDBEdit>(QString::fromLatin1(pattern).arg(pinyin));
    }
    QString conTotal() const { return find<TwwDBEdit>("edtCMHConTotal")->text(); }
    QString resultTotal() const { return find<TwwDBEdit>("edtCMHResultTotal")->text(); }

    // Gives `from` the focus and moves it on to another field by the mouse.
    // The window is made active first, as a desktop does when a modal
    // window closes.
    void leave(TwwDBEdit *from) const
    {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        from->setFocus(Qt::MouseFocusReason);
        find<TwwDBEdit>("edtCMHName")->setFocus(Qt::MouseFocusReason);
    }
};

const char *const kPinyin[] = {"YangXu", "YinXu",  "QiXu", "TanShi", "ShiRe",
                               "XueYu",  "TeBing", "QiYu", "PingHe"};

// Answers the questionnaire that opens next: clicks the answer buttons of
// `answers` (one digit per row, "." for none) and then confirms, or cancels.
void answerQuestionnaire(const QString &answers, const QString &finish, QString *title = nullptr,
                         QString *passed = nullptr)
{
    whenModal([=](QWidget *modal) {
        auto *window = qobject_cast<TfrmMedDiaClientChiModHabFieldEdit *>(modal);
        if (!window) {
            modal->close();
            return;
        }
        if (title)
            *title = window->lblTitleTop->text();
        if (passed)
            *passed = window->rows()[0].answer->text();
        for (qsizetype k = 0; k < answers.size(); ++k) {
            if (answers[k] == '.')
                continue;
            const int value = answers[k].digitValue();
            QTest::mouseClick(window->rows()[std::size_t(k)].buttons[std::size_t(value - 1)],
                              Qt::LeftButton);
        }
        if (finish == "ok")
            window->actConfirm->trigger();
        else if (finish == "cancel")
            window->actQuit->trigger();
        else
            window->close();
    });
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
            QCOMPARE(p.field(type)->text(), "0");
            QVERIFY(p.field(type)->wordWrap());
            QVERIFY(!p.field(type)->isReadOnly());
            QCOMPARE(p.field(type)->color(), clWindow);
            QCOMPARE(p.org(type)->text(), QString());
            QCOMPARE(p.con(type)->text(), QString());
            QVERIFY(p.con(type)->isReadOnly());
            QCOMPARE(p.result(type), QString());
            QVERIFY(!p.find(QStringLiteral("edtCMH%1Result").arg(type))->isEnabled());
            auto *button = p.find<TSpeedButton>(QStringLiteral("btnCMH%1Field").arg(type));
            QCOMPARE(button->text(), ">>>");
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        }
        QCOMPARE(p.conTotal(), QString());
        QVERIFY(p.find<TwwDBEdit>("edtCMHConTotal")->wordWrap());
        QVERIFY(p.find<TwwDBEdit>("edtCMHResultTotal")->isReadOnly());
        QCOMPARE(p.find<TLabel>("lblCMHYangXuOrgCaption")->text(), "阳虚原始");
        QCOMPARE(p.find<TLabel>("lblCMHPingHeResultCaption")->text(), "平和体质");
        QVERIFY(p.find<TSpeedButton>("btnCMHConvalesceScheme")->isVisible());
        QVERIFY(!p.find<TLabel>("lblCMHConvalesceSchemeCaption")->isVisible());
    }

    // Leaving a type field right after start scores all nine types 0.
    void startStateRun()
    {
        Page66Window p;
        p.leave(p.field("QiXu"));
        for (const char *type : kPinyin) {
            QCOMPARE(p.org(type)->text(), "0");
            QCOMPARE(p.con(type)->text(), "0");
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
        QTest::addColumn<QString>("trigger");
        QTest::newRow("leaving the field by the mouse") << "leave";
        QTest::newRow("Tab") << "tab";
        QTest::newRow("Enter") << "enter";
        QTest::newRow("scheme button") << "scheme";
    }

    void triggers()
    {
        QFETCH(QString, trigger);
        Page66Window p;
        TwwDBEdit *yangXu = p.field("YangXu");
        yangXu->setFocus(Qt::MouseFocusReason);
        yangXu->selectAll();
        QTest::keyClicks(yangXu, "5;5;5;5;4;4;4;");
        QCOMPARE(p.org("YangXu")->text(), QString()); // typing does not score
        if (trigger == "leave") {
            p.leave(yangXu);
        } else if (trigger == "tab") {
            QTest::keyClick(yangXu, Qt::Key_Tab);
            QVERIFY(p.field("YinXu")->hasFocus());
        } else if (trigger == "enter") {
            QTest::keyClick(yangXu, Qt::Key_Return);
            QVERIFY(p.field("YinXu")->hasFocus());
            // Reached by Enter, the field's "0" is selected: typing replaces it.
            QTest::keyClicks(p.field("YinXu"), "2;2;");
            QCOMPARE(p.field("YinXu")->text(), "2;2;");
        } else {
            QTest::mouseClick(p.find<TSpeedButton>("btnCMHConvalesceScheme"), Qt::LeftButton);
            QVERIFY(yangXu->hasFocus()); // the flat button takes no focus
        }
        QCOMPARE(yangXu->text(), "5;5;5;5;4;4;4;"); // Enter inserted nothing
        QCOMPARE(p.org("YangXu")->text(), "32");
        QCOMPARE(p.con("YangXu")->text(), "89.29");
        QCOMPARE(p.result("YangXu"), "是");
        QCOMPARE(p.result("PingHe"), "否");
        QVERIFY(p.resultTotal().contains("[阳虚体质]"));
    }

    void typeFieldFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("digits 0 to 5 and ;") << "0;1;2;3;4;5;"
                                             << "0;1;2;3;4;5;";
        QTest::newRow("a letter, a blank and 6 are ignored") << "1a; 6;"
                                                             << "1;;";
        QTest::newRow("full-width digit committed by an input method") << "ime:１"
                                                                       << "";
    }

    void typeFieldFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        Page66Window p;
        TwwDBEdit *field = p.field("TanShi");
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        if (typed.startsWith("ime:")) {
            QInputMethodEvent commit;
            commit.setCommitString(typed.mid(4));
            QApplication::sendEvent(field, &commit);
        } else {
            QTest::keyClicks(field, typed);
        }
        QCOMPARE(field->text(), kept);
    }

    // The questionnaire protocol, opened by double-click or by ">>>".
    void questionnaire_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("open"); // "dblclick" or "button"
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("finish"); // "ok", "cancel", "close"
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("after");
        QTest::newRow("ShiRe by double-click, OK") << "ShiRe"
                                                   << "dblclick"
                                                   << "0"
                                                   << "1234512"
                                                   << "ok"
                                                   << "湿热体质"
                                                   << "1;2;3;4;5;1;2;";
        QTest::newRow("PingHe by >>>, OK") << "PingHe"
                                           << "button"
                                           << "0"
                                           << "33333333"
                                           << "ok"
                                           << "平和体质"
                                           << "3;3;3;3;3;3;3;3;";
        QTest::newRow("answers kept and changed") << "QiXu"
                                                  << "button"
                                                  << "1;2;3;"
                                                  << ".5"
                                                  << "ok"
                                                  << "气虚体质"
                                                  << "1;5;3;;;;;;";
        QTest::newRow("cancel leaves the field") << "YinXu"
                                                 << "dblclick"
                                                 << "0"
                                                 << "55"
                                                 << "cancel"
                                                 << "阴虚体质"
                                                 << "0";
        QTest::newRow("close box leaves a typed field") << "XueYu"
                                                        << "button"
                                                        << "2;2;"
                                                        << "55"
                                                        << "close"
                                                        << "血瘀体质"
                                                        << "2;2;";
    }

    void questionnaire()
    {
        QFETCH(QString, type);
        QFETCH(QString, open);
        QFETCH(QString, start);
        QFETCH(QString, answers);
        QFETCH(QString, finish);
        QFETCH(QString, title);
        QFETCH(QString, after);
        Page66Window p;
        const QByteArray pinyin = type.toLatin1();
        TwwDBEdit *field = p.field(pinyin.constData());
        field->setText(start);
        TwwDBEdit *name = p.find<TwwDBEdit>("edtCMHName");
        name->setFocus(Qt::MouseFocusReason);
        QString shownTitle;
        QString passed;
        answerQuestionnaire(answers, finish, &shownTitle, &passed);
        if (open == "dblclick") {
            field->setFocus(Qt::MouseFocusReason);
            QTest::mouseDClick(field->viewport(), Qt::LeftButton);
        } else {
            QTest::mouseClick(p.find<TSpeedButton>("btnCMH" + type + "Field"), Qt::LeftButton);
        }
        QCOMPARE(shownTitle, title);
        QCOMPARE(passed, start.section(';', 0, 0));
        QCOMPARE(field->text(), after);
        QVERIFY(frmMedDiaClientChiModHabFieldEdit == nullptr);
        // The window returned no score: the field's type is unscored until
        // the focus leaves a type field.
        QCOMPARE(p.org(pinyin.constData())->text(), QString());
        if (open == "button")
            QVERIFY(name->hasFocus() || !QApplication::focusWidget() ||
                    QApplication::focusWidget() == name);
    }

    // A field that holds no numbers stops the run with the standard error
    // box; the types scored before it keep their new values.
    void pastedLetterShowsTheErrorBox()
    {
        Page66Window p;
        p.leave(p.field("YangXu")); // every type scored 0
        p.field("YangXu")->setText("5;5;5;5;5;5;5;");
        // A letter reaches a type field only from the clipboard.
        p.field("QiXu")->setText("3;");
        QApplication::clipboard()->setText("x;");
        p.field("QiXu")->moveCursor(QTextCursor::End);
        p.field("QiXu")->paste();
        QCOMPARE(p.field("QiXu")->text(), "3;x;");
        p.field("PingHe")->setText("5;1;1;1;1;5;1;1;");
        QString message;
        whenModal([&message](QWidget *box) {
            if (auto *error = qobject_cast<QMessageBox *>(box))
                message = error->text();
            box->close();
        });
        p.leave(p.field("QiXu"));
        QCOMPARE(message, "'x' is not a valid integer value");
        QCOMPARE(p.org("YangXu")->text(), "35"); // before the error: new
        QCOMPARE(p.result("YangXu"), "是");
        QCOMPARE(p.org("QiXu")->text(), "0"); // at and after it: as before
        QCOMPARE(p.org("PingHe")->text(), "0");
        QVERIFY(p.resultTotal() == "[不是平和体质]");
    }

    // A type emptied before it was ever scored has no score to summarise.
    void typeEmptiedBeforeItWasScored()
    {
        Page66Window p;
        p.field("TeBing")->setText("");
        QString message;
        whenModal([&message](QWidget *box) {
            if (auto *error = qobject_cast<QMessageBox *>(box))
                message = error->text();
            box->close();
        });
        p.leave(p.field("TeBing"));
        QCOMPARE(message, "'' is not a valid floating point value");
        QCOMPARE(p.org("YangXu")->text(), "0");
        QCOMPARE(p.org("TeBing")->text(), QString());
        QCOMPARE(p.conTotal(), QString());
    }

    // The focus goes to a modal window and comes back: that is not leaving
    // the field, so no run and no error box loops.
    void openingTheQuestionnaireIsNotLeavingTheField()
    {
        Page66Window p;
        TwwDBEdit *field = p.field("QiYu");
        field->setFocus(Qt::MouseFocusReason);
        answerQuestionnaire("1111111", "ok");
        QTest::mouseDClick(field->viewport(), Qt::LeftButton);
        QCOMPARE(field->text(), "1;1;1;1;1;1;1;");
        QCOMPARE(p.org("QiYu")->text(), QString());
        p.leave(field);
        QCOMPARE(p.org("QiYu")->text(), "7");
        QCOMPARE(p.result("QiYu"), "否");
    }
};

TIZHI_REGISTER_TEST(TestPage66);

#include "tst_page66.moc"
