// The test pages as a clinic uses them: pasting and dropping into an answer
// box, overtyping an answer entered by the mouse, a page tab clicked while
// an answer box has the focus, the keyboard way into a questionnaire, and
// the scheme and remark boxes of both test pages.
#include "test_registry.h"

#include "control_access.h"
#include "modal.h"

#include "application_setup.h"
#include "control_kinds.h"
#include "field_grid.h"
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientChiModHabFieldEdit.h"
#include "uniMedDiaClientInfoEdit.h"
#include "uniRichTextProcessFullScreen.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QTabBar>
#include <QTest>
#include <QTranslator>

using namespace tizhi;
using namespace tizhi::test;

namespace {

struct MainWindow {
    QPointer<TfrmMedDiaClientInfoEdit> window = new TfrmMedDiaClientInfoEdit;

    MainWindow() { QVERIFY(showActive(window)); }
    ~MainWindow() { delete window.data(); }

    template <class T = QWidget> T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    // The text of a score or verdict control, or a text no control shows.
    QString textOf(const QString &name) const
    {
        if (auto *edit = find<TwwDBEdit>(name))
            return edit->text();
        if (auto *lookup = find<TwwDBLookupCombo>(name))
            return lookup->text();
        return QStringLiteral("<no control %1>").arg(name);
    }
    void clickTab(int index) const
    {
        QTabBar *bar = window->pgcClient->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
};

enum class PasteWay { Shortcut, ContextCommand, MiddleClick, Drop };

// Puts `text` into `box` as the user would by `way`.
void pasteInto(QLineEdit *box, const QString &text, PasteWay way)
{
    switch (way) {
    case PasteWay::Shortcut:
        QApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        break;
    case PasteWay::ContextCommand:
        QApplication::clipboard()->setText(text);
        box->paste(); // what the context menu's Paste calls
        break;
    case PasteWay::MiddleClick:
        QApplication::clipboard()->setText(text, QClipboard::Selection);
        QTest::mouseClick(box, Qt::MiddleButton, {}, box->rect().center());
        break;
    case PasteWay::Drop: {
        QMimeData data;
        data.setText(text);
        const QPoint at = box->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(box, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(box, &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(box, &drop);
        break;
    }
    }
}

} // namespace

Q_DECLARE_METATYPE(PasteWay)

class TestClinicUse : public QObject {
    Q_OBJECT

private slots:
    // An answer box holds one answer: a paste or a drop keeps the first
    // character of what was put in, unfiltered, whatever the box held.
    void pasteKeepsTheFirstCharacter_data()
    {
        QTest::addColumn<PasteWay>("way");
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("after");
        using W = PasteWay;
        QTest::newRow("Ctrl+V of 12 into an empty box") << W::Shortcut << "" << false << "12"
                                                        << "1";
        QTest::newRow("Ctrl+V of 12345 over a selected 3") << W::Shortcut << "3" << true << "12345"
                                                           << "1";
        QTest::newRow("Ctrl+V of 55 after an unselected 3") << W::Shortcut << "3" << false << "55"
                                                            << "5";
        QTest::newRow("a letter stays unfiltered") << W::Shortcut << "" << false << "x5"
                                                   << "x";
        QTest::newRow("one character is taken as it is") << W::Shortcut << "" << false << "4"
                                                         << "4";
        QTest::newRow("the context menu's Paste") << W::ContextCommand << "2" << true << "34"
                                                  << "3";
        QTest::newRow("middle click") << W::MiddleClick << "" << false << "23"
                                      << "2";
        QTest::newRow("a drop of 45") << W::Drop << "" << false << "45"
                                      << "4";
        QTest::newRow("a character beyond the BMP stays whole")
            << W::Shortcut << "" << false << "😀1"
            << "😀";
    }

    void pasteKeepsTheFirstCharacter()
    {
        QFETCH(PasteWay, way);
        QFETCH(QString, before);
        QFETCH(bool, selected);
        QFETCH(QString, pasted);
        QFETCH(QString, after);
        if (way == PasteWay::MiddleClick && !QApplication::clipboard()->supportsSelection())
            QSKIP("this platform has no selection clipboard");
        MainWindow w;
        auto *box = w.find<TEdit>("edtOriginal01");
        QVERIFY2(box, "edtOriginal01");
        box->setText(before);
        box->setFocus(Qt::TabFocusReason);
        if (selected)
            box->selectAll();
        else
            box->end(false);
        pasteInto(box, pasted, way);
        QCOMPARE(box->text(), after);
    }

    // "12" pasted into question 1 once scored PingHe 27 of at most 25.
    void pastedAnswerIsScoredAsOneAnswer()
    {
        MainWindow w;
        auto *first = w.find<TEdit>("edtOriginal01");
        auto *second = w.find<TEdit>("edtOriginal02");
        QVERIFY2(first && second, "edtOriginal01, edtOriginal02");
        first->setFocus(Qt::TabFocusReason);
        pasteInto(first, QStringLiteral("12"), PasteWay::Shortcut);
        second->setFocus(Qt::TabFocusReason); // leaving the box scores the form
        QCOMPARE(first->text(), "1");
        QCOMPARE(w.textOf("edtCMH33PingHeCon"), "1");
    }

    // What the program writes into an answer box is not cut.
    void programTextStaysWhole()
    {
        MainWindow w;
        auto *box = w.find<TEdit>("edtOriginal01");
        QVERIFY2(box, "edtOriginal01");
        box->setText(QStringLiteral("12"));
        QCOMPARE(box->text(), "12");
    }

    // A click into an answer box that holds a digit selects it, so the digit
    // typed next replaces it (after a reset every answer is "1").
    void mouseEntryOvertypes_data()
    {
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("typed");
        QTest::newRow("1 after a reset, 4 typed") << "1"
                                                  << "4";
        QTest::newRow("5 from a number button, 2 typed") << "5"
                                                         << "2";
        QTest::newRow("an empty box takes the digit") << ""
                                                      << "3";
    }

    void mouseEntryOvertypes()
    {
        QFETCH(QString, held);
        QFETCH(QString, typed);
        MainWindow w;
        auto *box = w.find<TEdit>("edtOriginal02");
        auto *other = w.find<TEdit>("edtOriginal01");
        QVERIFY2(box && other, "edtOriginal01, edtOriginal02");
        box->setText(held);
        other->setFocus(Qt::TabFocusReason);
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        QVERIFY(box->hasFocus());
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), typed);
    }

    // A tab clicked while an answer box has the focus scores the form and
    // puts the focus on the shown page's first field, not on the record
    // list hidden under the notice panel.
    void tabClickMovesTheFocusToTheFirstField_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("first");
        QTest::newRow("66-item page: the first type field") << 2 << "edtCMHYangXuField";
        QTest::newRow("client page: the identity number") << 0 << "edtIdentNo";
        QTest::newRow("diagnosis page: the treatment time") << 3 << "edtMDRTreatTime";
        QTest::newRow("contact page: the name") << 4 << "edtCRName";
    }

    void tabClickMovesTheFocusToTheFirstField()
    {
        QFETCH(int, page);
        QFETCH(QString, first);
        MainWindow w;
        auto *answer = w.find<TEdit>("edtOriginal05");
        QVERIFY2(answer, "edtOriginal05");
        answer->setFocus(Qt::TabFocusReason);
        QTest::keyClick(answer, Qt::Key_3);
        w.clickTab(page);
        QCOMPARE(w.window->pgcClient->currentIndex(), page);
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), first);
        // Scored on leaving: question 5 counts reversed for PingHe.
        QCOMPARE(w.textOf("edtCMH33PingHeCon"), "3");
        w.clickTab(1);
        QCOMPARE(QApplication::focusWidget()->objectName(), "edtOriginal01");
    }

    // Alt+Down in a type field opens that type's questionnaire, as the
    // double-click and ">>>" do; the hint of ">>>" says so.
    void altDownOpensTheQuestionnaire_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("type");
        QTest::newRow("YangXu") << "edtCMHYangXuField"
                                << "阳虚";
        QTest::newRow("ShiRe") << "edtCMHShiReField"
                               << "湿热";
        QTest::newRow("PingHe") << "edtCMHPingHeField"
                                << "平和";
    }

    void altDownOpensTheQuestionnaire()
    {
        QFETCH(QString, field);
        QFETCH(QString, type);
        MainWindow w;
        w.window->pgcClient->setCurrentIndex(2);
        auto *box = w.find<TwwDBEdit>(field);
        QVERIFY2(box, qPrintable(field));
        box->setFocus(Qt::TabFocusReason);
        QString title = QStringLiteral("<nothing opened>");
        whenModal([&title](QWidget *modal) {
            if (auto *q = qobject_cast<TfrmMedDiaClientChiModHabFieldEdit *>(modal))
                title = q->lblTitleTop->text();
            modal->close();
        });
        QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
        QVERIFY2(title.contains(type), qPrintable(title));
        QVERIFY(frmMedDiaClientChiModHabFieldEdit == nullptr);

        // A plain Down arrow opens nothing.
        QTest::keyClick(box, Qt::Key_Down);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        auto *button = w.find<TSpeedButton>(QString(field).replace("edtCMH", "btnCMH"));
        QVERIFY2(button, "the type's >>> button");
        QVERIFY(button->toolTip().contains("Alt+↓"));
    }

    // The scheme button of page 1 scores the form, as the identification
    // button does; it stands where the plain caption would, which is hidden.
    void schemeButtonScoresAndHidesThePlainCaption_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("score");
        QTest::newRow("page 1") << 1 << "btnCMH33ConSch"
                                << "lblCMH33ConSchCaption"
                                << "edtCMH33QiXuCon";
        QTest::newRow("page 2") << 2 << "btnCMHConvalesceScheme"
                                << "lblCMHConvalesceSchemeCaption"
                                << "edtCMHQiXuCon";
    }

    void schemeButtonScoresAndHidesThePlainCaption()
    {
        QFETCH(int, page);
        QFETCH(QString, button);
        QFETCH(QString, caption);
        QFETCH(QString, score);
        MainWindow w;
        w.window->pgcClient->setCurrentIndex(page);
        auto *schemeButton = w.find<TSpeedButton>(button);
        auto *plainCaption = w.find<TLabel>(caption);
        QVERIFY2(schemeButton && plainCaption, qPrintable(button + ", " + caption));
        QVERIFY(schemeButton->isVisible());
        QVERIFY(plainCaption->isHidden());
        QCOMPARE(w.textOf(score), QString());
        QTest::mouseClick(schemeButton, Qt::LeftButton);
        QVERIFY2(!w.textOf(score).isEmpty(), "the scheme button did not score the form");
    }

    // Double-clicking a scheme box shows it in the viewer; the remark and
    // summary boxes open nothing.
    void doubleClicksOnTheTestPages_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("opensViewer");
        QTest::newRow("page 1 scheme") << 1 << "edtCMH33ConSch" << true;
        QTest::newRow("page 1 remark") << 1 << "edtCMH33Remark" << false;
        QTest::newRow("page 2 scheme") << 2 << "edtCMHConvalesceScheme" << true;
        QTest::newRow("page 2 remark") << 2 << "edtCMHRemark" << false;
        QTest::newRow("page 2 score summary") << 2 << "edtCMHConTotal" << false;
        QTest::newRow("page 2 verdict summary") << 2 << "edtCMHResultTotal" << false;
    }

    void doubleClicksOnTheTestPages()
    {
        QFETCH(int, page);
        QFETCH(QString, box);
        QFETCH(bool, opensViewer);
        MainWindow w;
        w.window->pgcClient->setCurrentIndex(page);
        auto *target = w.find<QAbstractScrollArea>(box);
        QVERIFY2(target, qPrintable(box));
        // A modal window opens inside the double-click, so a filter that
        // closes it as it is shown counts it without waiting.
        ModalWindowCounter counter;
        QTest::mouseDClick(target->viewport(), Qt::LeftButton, {},
                           target->viewport()->rect().center());
        const int viewers =
            counter.count(TfrmRichTextProcessFullScreen::staticMetaObject.className());
        QCOMPARE(viewers, opensViewer ? 1 : 0);
        QCOMPARE(counter.count() - viewers, 0); // no other window
        QVERIFY(frmRichTextProcessFullScreen == nullptr);
    }

    // The scheme box's context menu has one item, "保存扩展项目", disabled.
    void schemeBoxContextMenu_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("page 1") << "edtCMH33ConSch";
        QTest::newRow("page 2") << "edtCMHConvalesceScheme";
    }

    void schemeBoxContextMenu()
    {
        QFETCH(QString, box);
        MainWindow w;
        auto *scheme = w.find<TwwDBRichEdit>(box);
        QVERIFY2(scheme, qPrintable(box));
        QCOMPARE(scheme->contextMenuPolicy(), Qt::ActionsContextMenu);
        const auto actions = scheme->actions();
        QCOMPARE(actions.size(), 1);
        QCOMPARE(actions.first()->objectName(), "actCMHSaveExpandItem");
        QCOMPARE(actions.first()->text(), "保存扩展项目");
        QVERIFY(!actions.first()->isEnabled());
    }

    // Enter moves on from the window's 153 data controls named for it: the
    // 33 answer boxes, 6 pickers, 76 single-line fields, the 26 look-up boxes
    // outside page 0's record list and 12 rich-text fields.
    void enterMovesOnFromTheNamedControls()
    {
        MainWindow w;
        int answers = 0, pickers = 0, lines = 0, lookups = 0, rich = 0;
        QStringList richNames;
        for (QWidget *control : w.window->findChildren<QWidget *>()) {
            if (!enterMovesOn(control))
                continue;
            const QByteArray kind = control->metaObject()->className();
            answers += kind == "TEdit";
            pickers += kind == "TwwDBDateTimePicker";
            lines += kind == "TwwDBEdit";
            lookups += kind == "TwwDBLookupCombo";
            if (kind == "TwwDBRichEdit") {
                ++rich;
                richNames << control->objectName();
            }
        }
        QCOMPARE(answers, 33);
        QCOMPARE(pickers, 6);
        QCOMPARE(lines, 76);
        QCOMPARE(lookups, 26);
        QCOMPARE(rich, 12);
        for (const char *name : {"edtRemark", "edtCMH33ConSch", "edtCMHConvalesceScheme",
                                 "edtMDRClientTell", "edtMDRConvalesceScheme"})
            QVERIFY2(richNames.contains(name), name);
        for (const char *name : {"edtCMH33Remark", "edtCMHRemark", "edtMDRRemark", "edtCRRemark"})
            QVERIFY2(!richNames.contains(name), name);
    }

    // A paste into a type field takes time linear in its size: ten times the
    // text may take at most a few times ten times as long (it took a
    // hundred times as long, and 2 MB took minutes).
    void pasteIntoATypeFieldIsLinear()
    {
        MainWindow w;
        w.window->pgcClient->setCurrentIndex(2);
        auto *field = w.find<TwwDBEdit>("edtCMHYangXuField");
        QVERIFY2(field, "edtCMHYangXuField");
        field->setFocus(Qt::TabFocusReason);
        auto timeFor = [field](int answers) {
            field->setText(QString());
            QApplication::clipboard()->setText(QStringLiteral("3;1;2;5;4;").repeated(answers / 5));
            QElapsedTimer timer;
            timer.start();
            field->paste();
            QApplication::processEvents();
            return std::max<qint64>(timer.elapsed(), 1);
        };
        const qint64 small = timeFor(10'000);
        const qint64 large = timeFor(100'000);
        QVERIFY2(large < 40 * small + 200,
                 qPrintable(QStringLiteral("%1 ms vs %2 ms").arg(large).arg(small)));
        QCOMPARE(field->text().size(), 200'000);
    }

    // In the questionnaire Escape does nothing (it lost the answers given),
    // and a paste into an answer box keeps one character, as on page 1;
    // an item string written by the program fills the boxes whole.
    void questionnaireKeepsItsAnswers()
    {
        TfrmMedDiaClientChiModHabFieldEdit questionnaire;
        questionnaire.PrepareForType(TfrmMedDiaClientChiModHabFieldEdit::kAnswering, 5, "3;12;");
        QVERIFY(showActive(&questionnaire));
        TEdit *first = questionnaire.rows()[0].answer;
        TEdit *second = questionnaire.rows()[1].answer;
        QCOMPARE(first->text(), "3");
        QCOMPARE(second->text(), "12");
        first->setFocus(Qt::TabFocusReason);
        first->selectAll();
        pasteInto(first, QStringLiteral("55"), PasteWay::Shortcut);
        QCOMPARE(first->text(), "5");
        QTest::keyClick(first, Qt::Key_Escape);
        QVERIFY(questionnaire.isVisible());
        QCOMPARE(questionnaire.result(), int(QDialog::Rejected)); // not finished at all
        QCOMPARE(first->text(), "5");
    }

    // The program's set-up names no display name, which the desktop would
    // append to every window's title.
    void windowTitleIsExactlyItsCaption()
    {
        QTranslator translation;
        setUpApplication(translation);
        QCOMPARE(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
        MainWindow w;
        QVERIFY(w.window->windowHandle());
        QCOMPARE(w.window->windowHandle()->title(), "中医体质辨识");
        QCoreApplication::removeTranslator(&translation);
    }
};

TIZHI_REGISTER_TEST(TestClinicUse);

#include "tst_clinic_use.moc"
