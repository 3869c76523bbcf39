// The questionnaire window as the 66-item page uses it: each type's
// questions and marks, the item string shown in the boxes and rebuilt on
// "确定", answering by buttons and by keys, view-only mode, and closing.
#include "test_registry.h"

#include "default_settings.h"
#include "modal.h"

#include "catalogue.h"
#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientChiModHabFieldEdit.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>

using namespace tizhi;
using namespace tizhi::test;

namespace {

using Window = TfrmMedDiaClientChiModHabFieldEdit;

// The colour a question is marked with.
enum class Mark { None, Red, Yellow };
// The ways out of the window without "确定".
enum class Cancel { Button, Shortcut, CloseBox };
// What a control's position is measured from.
enum class Within { Window, Grid };

QStringList boxes(const Window &window)
{
    QStringList texts;
    for (const Window::Row &row : window.rows())
        texts << row.answer->text();
    return texts;
}

} // namespace

class TestQuestionnaire : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useDefaultSettings(); }

    // Title, rows, question texts and marks of each type.
    void eachType_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<Mark>>("marks"); // per shown row
        const QList<Mark> seven(7, Mark::None);
        const QList<Mark> eight(8, Mark::None);
        using enum Mark;
        QTest::newRow("1 YangXu") << 1 << "阳虚体质" << 7 << seven;
        QTest::newRow("2 YinXu") << 2 << "阴虚体质" << 8 << eight;
        QTest::newRow("3 QiXu") << 3 << "气虚体质" << 8 << eight;
        QTest::newRow("4 TanShi") << 4 << "痰湿体质" << 8 << eight;
        QTest::newRow("5 ShiRe: women's row yellow, men's red")
            << 5 << "湿热体质" << 7 << QList<Mark>{None, None, None, None, None, Yellow, Red};
        QTest::newRow("6 XueYu") << 6 << "血瘀体质" << 7 << seven;
        QTest::newRow("7 QiYu") << 7 << "气郁体质" << 7 << seven;
        QTest::newRow("8 TeBing") << 8 << "特禀体质" << 7 << seven;
        QTest::newRow("9 PingHe: reversed rows red")
            << 9 << "平和体质" << 8 << QList<Mark>{None, Red, Red, Red, Red, None, Red, Red};
    }

    void eachType()
    {
        QFETCH(int, code);
        QFETCH(QString, title);
        QFETCH(int, rows);
        QFETCH(QList<Mark>, marks);
        QCOMPARE(marks.size(), rows);
        Window window;
        window.PrepareForType(Window::kAnswering, code, "0");
        QVERIFY(showActive(&window));
        QCOMPARE(window.windowTitle(), "中医体质测试项目");
        QCOMPARE(window.lblTitleTop->text(), title);
        QCOMPARE(window.lblTitleTop->fontSize(), 18);
        QCOMPARE(window.lblTitleTop->font().pointSize(), 18);
        QCOMPARE(window.lblHelp->text(),
                 "（注：标有*的条目需先逆向计分，即：1→5, 2→4, 3→3, 4→2, 5→1，再用公式转化分）");
        const ConstitutionType *type = typeByCode(code);
        for (int k = 1; k <= Window::kRows; ++k) {
            const Window::Row &row = window.rows()[std::size_t(k - 1)];
            const bool shown = k <= rows;
            QCOMPARE(row.prompt->isVisible(), shown);
            QCOMPARE(row.answer->isVisible(), shown);
            QCOMPARE(row.number->isVisible(), shown);
            for (TBitBtn *button : row.buttons)
                QCOMPARE(button->isVisible(), shown);
            if (!shown) {
                QCOMPARE(row.prompt->text(), QString());
                continue;
            }
            QCOMPARE(row.prompt->text(), fromCatalogue(type->questions66[std::size_t(k - 1)].text));
            const Mark mark = marks[k - 1];
            const QColor text = row.prompt->palette().color(QPalette::WindowText);
            if (mark == Mark::Red)
                QCOMPARE(text, QColor(255, 0, 0));
            else if (mark == Mark::Yellow)
                QCOMPARE(text, QColor(255, 255, 0));
            else
                QCOMPARE(row.prompt->fontColor(), clWindowText);
        }
        QVERIFY(window.rows()[0].answer->hasFocus()); // the focus starts in the first box
        window.close();
    }

    // What the boxes show for an item string, and what "确定" returns
    // when nothing is changed.
    void fillAndConfirm_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("itemString");
        QTest::addColumn<QStringList>("shown"); // boxes 1 to 8
        QTest::addColumn<QString>("returned");
        const QStringList none(8, QString());
        auto with = [](QStringList texts) {
            while (texts.size() < 8)
                texts << QString();
            return texts;
        };
        QTest::newRow("empty, seven rows") << 1 << "" << none << ";;;;;;;";
        QTest::newRow("empty, eight rows") << 2 << "" << none << ";;;;;;;;";
        QTest::newRow("3") << 1 << "3" << with({"3"}) << "3;;;;;;;";
        QTest::newRow("0, the start value") << 1 << "0" << with({"0"}) << "0;;;;;;;";
        QTest::newRow("1;2;") << 1 << "1;2;" << with({"1", "2"}) << "1;2;;;;;;";
        QTest::newRow("1;2;3") << 1 << "1;2;3" << with({"1", "2", "3"}) << "1;2;3;;;;;";
        QTest::newRow("4 ; 5 ; with blanks")
            << 2 << " 4 ; 5 ; " << with({"4", "5"}) << "4;5;;;;;;;";
        QTest::newRow("eight answers, seven rows: the 8 is dropped")
            << 1 << "1;2;3;4;5;6;7;8;" << with({"1", "2", "3", "4", "5", "6", "7"})
            << "1;2;3;4;5;6;7;";
        QTest::newRow("eight answers, eight rows")
            << 9 << "1;2;3;4;5;6;7;8;" << QStringList{"1", "2", "3", "4", "5", "6", "7", "8"}
            << "1;2;3;4;5;6;7;8;";
        QTest::newRow("a piece of two digits is shown and returned whole")
            << 3 << "12;x;" << with({"12", "x"}) << "12;x;;;;;;;";
        QTest::newRow("a 33-item string of four answers")
            << 5 << "3;1;;5;" << with({"3", "1", "", "5"}) << "3;1;;5;;;;";
    }

    void fillAndConfirm()
    {
        QFETCH(int, code);
        QFETCH(QString, itemString);
        QFETCH(QStringList, shown);
        QFETCH(QString, returned);
        Window window;
        window.PrepareForType(Window::kAnswering, code, itemString);
        QCOMPARE(boxes(window), shown);
        QCOMPARE(window.GetItemString(), itemString.trimmed()); // held until confirmed
        QVERIFY(showActive(&window));
        QTest::keyClick(&window, Qt::Key_F3, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(window.GetItemString(), returned);
    }

    // Buttons put their digit into their row's box; keys pass the answer
    // filter; Enter moves on and never clicks a button.
    void answeringByButtonsAndKeys()
    {
        Window window;
        window.PrepareForType(Window::kAnswering, 1, "");
        QVERIFY(showActive(&window));
        const auto &rows = window.rows();
        QTest::mouseClick(rows[1].buttons[2], Qt::LeftButton); // "3" of row 2
        QCOMPARE(boxes(window).mid(0, 3), QStringList({"", "3", ""}));
        QTest::mouseClick(rows[1].buttons[3], Qt::LeftButton); // "4" replaces it
        QCOMPARE(rows[1].answer->text(), "4");
        QCOMPARE(rows[1].group->id(rows[1].buttons[3]), 4);

        TEdit *first = rows[0].answer;
        first->setFocus();
        QTest::keyClicks(first, "6a ");
        QCOMPARE(first->text(), "");
        QTest::keyClicks(first, "0");
        QCOMPARE(first->text(), "0");
        QTest::keyClicks(first, "3"); // one character at most
        QCOMPARE(first->text(), "0");
        QTest::keyClick(first, Qt::Key_Backspace);
        QTest::keyClicks(first, "2");
        QCOMPARE(first->text(), "2");

        QTest::keyClick(first, Qt::Key_Return);
        QVERIFY(rows[1].answer->hasFocus());
        QCOMPARE(rows[1].answer->text(), "4"); // the button clicked before is not clicked again
        QTest::keyClick(rows[1].answer, Qt::Key_Enter);
        QVERIFY(rows[2].answer->hasFocus());
        for (int k = 3; k <= 7; ++k)
            QTest::keyClick(rows[std::size_t(k - 1)].answer, Qt::Key_Return);
        // From the last shown box (row 8 is hidden) on to the first answer button.
        QVERIFY(rows[0].buttons[0]->hasFocus());
        QVERIFY(window.isVisible());

        window.actConfirm->trigger();
        QCOMPARE(window.GetItemString(), "2;4;;;;;;");
    }

    void viewOnlyModeDisablesAnswersButStillConfirms()
    {
        Window window;
        window.PrepareForType(Window::kViewOnly, 9, "5;4;3;");
        for (const Window::Row &row : window.rows()) {
            QVERIFY(!row.answer->isEnabled());
            QCOMPARE(row.answer->color(), clInfoBk);
            for (TBitBtn *button : row.buttons)
                QVERIFY(!button->isEnabled());
        }
        auto *head = window.findChild<TBitBtn *>("lblTitleNot");
        QVERIFY2(head, "lblTitleNot");
        QVERIFY(head->isEnabled()); // column heads untouched
        window.actConfirm->trigger();
        QCOMPARE(window.GetItemString(), "5;4;3;;;;;;");
    }

    void answeringModeOpensAnswers()
    {
        Window window;
        window.PrepareForType(Window::kAnswering, 9, "");
        for (const Window::Row &row : window.rows()) {
            QVERIFY(row.answer->isEnabled());
            QVERIFY(!row.answer->readOnlyFlag());
            QCOMPARE(row.answer->color(), clWindow);
        }
    }

    // "取消" and the close box both give Cancel; the item string held stays.
    void cancelling_data()
    {
        QTest::addColumn<Cancel>("how");
        QTest::newRow("取消 button") << Cancel::Button;
        QTest::newRow("Ctrl+Shift+F11") << Cancel::Shortcut;
        QTest::newRow("close box") << Cancel::CloseBox;
    }

    void cancelling()
    {
        QFETCH(Cancel, how);
        Window window;
        window.PrepareForType(Window::kAnswering, 4, "1;2;");
        QVERIFY(showActive(&window));
        auto *cancelButton = window.findChild<TSpeedButton *>("btnCancel");
        QVERIFY2(cancelButton, "btnCancel");
        QTest::mouseClick(window.rows()[0].buttons[4], Qt::LeftButton);
        switch (how) {
        case Cancel::Button:
            QTest::mouseClick(cancelButton, Qt::LeftButton);
            break;
        case Cancel::Shortcut:
            QTest::keyClick(&window, Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
            break;
        case Cancel::CloseBox:
            window.close();
            break;
        }
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(window.GetItemString(), "1;2;");
    }

    // The header row's captions and the column heads in two lines, whole.
    void captions_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("caption");
        QTest::newRow("lblTitleNo") << "lblTitleNo"
                                    << "编号";
        QTest::newRow("lblTitlePrompt") << "lblTitlePrompt"
                                        << "请根据近一年的体验和感觉，回答以下问题";
        QTest::newRow("lblTitleNot") << "lblTitleNot"
                                     << "没有\n( 根本不 )";
        QTest::newRow("lblTitleSeldom") << "lblTitleSeldom"
                                        << "很少\n( 有一点 )";
        QTest::newRow("lblTitleSometimes") << "lblTitleSometimes"
                                           << "有时\n( 有些 )";
        QTest::newRow("lblTitleOften") << "lblTitleOften"
                                       << "经常\n( 相当 )";
        QTest::newRow("lblTitleAlways") << "lblTitleAlways"
                                        << "总是\n( 非常 )";
        QTest::newRow("lblTitleOriginal") << "lblTitleOriginal"
                                          << "单项原始分数";
    }

    void captions()
    {
        QFETCH(QString, control);
        QFETCH(QString, caption);
        Window window;
        window.PrepareForType(Window::kAnswering, 9, "");
        auto *widget = window.findChild<QWidget *>(control);
        QVERIFY2(widget, qPrintable(control));
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            QCOMPARE(button->text(), caption);
        else if (auto *label = qobject_cast<QLabel *>(widget))
            QCOMPARE(label->text(), caption);
        else
            QFAIL("neither a button nor a label");
    }

    // On a screen with room for it the window has its design size, and every
    // control of the title, the header row, the rows and the button band
    // stands where the window was drawn.
    void designLayout_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Within>("within");
        QTest::addColumn<QRect>("rect"); // a height of 0: only the column was drawn
        auto row = [](const QString &name, Within within, QRect rect) {
            QTest::newRow(qPrintable(name)) << name << within << rect;
        };
        row("lblTitleTop", Within::Window, {0, 0, 1173, 39});
        row("scbClient", Within::Window, {0, 39, 1173, 475});
        row("pnlButton", Within::Window, {0, 514, 1173, 36});
        const QStringList answers = {"Not", "Seldom", "Sometimes", "Often", "Always"};
        row("lblTitleNo", Within::Grid, {0, 0, 68, 40});
        row("lblTitlePrompt", Within::Grid, {68, 0, 514, 40});
        for (int i = 0; i < 5; ++i)
            row("lblTitle" + answers[i], Within::Grid, {582 + 88 * i, 0, 88, 40});
        row("lblTitleOriginal", Within::Grid, {1022, 0, 127, 40});
        for (int k : {1, 2, 8}) {
            const int top = 40 * k;
            row(QStringLiteral("lblNo%1").arg(k), Within::Grid, {0, top, 68, 40});
            row(QStringLiteral("lblPrompt%1").arg(k), Within::Grid, {68, top, 514, 40});
            for (int i = 0; i < 5; ++i)
                row(QStringLiteral("btn%1%2").arg(answers[i]).arg(k), Within::Grid,
                    {582 + 88 * i, top, 88, 40});
            row(QStringLiteral("edtOriginal%1").arg(k), Within::Grid, {1022, top, 127, 0});
        }
    }

    void designLayout()
    {
        QFETCH(QString, control);
        QFETCH(Within, within);
        QFETCH(QRect, rect);
        // The design size and room for a frame, where the screen draws one.
        const QSize room = QApplication::primaryScreen()->availableSize();
        QVERIFY2(room.width() >= 1173 + 4 && room.height() >= 550 + 4,
                 "the screen is smaller than the window's design size");
        Window window;
        window.PrepareForType(Window::kAnswering, 9, "");
        QVERIFY(showActive(&window));
        QCOMPARE(window.size(), QSize(1173, 550));
        QWidget *grid = window.scbClient->widget();
        auto *widget = window.findChild<QWidget *>(control);
        QVERIFY2(widget, qPrintable(control));
        const QPoint origin = widget->mapTo(within == Within::Window ? &window : grid, QPoint());
        QCOMPARE(origin.x(), rect.x());
        QCOMPARE(widget->width(), rect.width());
        if (rect.height() > 0) {
            QCOMPARE(origin.y(), rect.y());
            QCOMPARE(widget->height(), rect.height());
        } else { // inside its row
            QVERIFY(origin.y() >= rect.y());
            QVERIFY(origin.y() + widget->height() <= rect.y() + 40);
        }
    }

    // The two buttons, 68 x 28, at the right end of the button band:
    // 确定, then 取消 to its right.
    void buttonsAtTheRightEnd()
    {
        Window window;
        window.PrepareForType(Window::kAnswering, 1, "");
        QVERIFY(showActive(&window));
        auto *band = window.findChild<TPanel *>("pnlButton");
        auto *confirm = window.findChild<TSpeedButton *>("btnConfirm");
        auto *cancel = window.findChild<TSpeedButton *>("btnCancel");
        QVERIFY2(band && confirm && cancel, "pnlButton, btnConfirm, btnCancel");
        QCOMPARE(confirm->size(), QSize(68, 28));
        QCOMPARE(cancel->size(), QSize(68, 28));
        QVERIFY(confirm->geometry().right() < cancel->x());
        QVERIFY(cancel->x() - confirm->geometry().right() <= 8);
        QVERIFY(band->width() - 1 - cancel->geometry().right() <= 8);
        QCOMPARE(confirm->defaultAction(), window.actConfirm);
        QCOMPARE(cancel->defaultAction(), window.actQuit);
    }

    // A keyboard user sees where the focus is: every control that takes the
    // focus looks different with it, a button inside its edge (the style's
    // tint of a button's 1-pixel outline alone was too faint to find). Each
    // is grabbed with the focus, reached by Tab, and again once Tab has
    // moved it on.
    void focusIsVisible_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("edge"); // pixels left out around the grab
        QTest::newRow("an answer box") << "edtOriginal2" << 0;
        QTest::newRow("a number button") << "btnNot1" << 2;
        QTest::newRow("the last number button") << "btnAlways7" << 2;
        QTest::newRow("a column head") << "lblTitleSometimes" << 2;
    }

    void focusIsVisible()
    {
        QFETCH(QString, control);
        QFETCH(int, edge);
        Window window;
        window.PrepareForType(Window::kAnswering, 1, "3;4;");
        QVERIFY(showActive(&window));
        auto *widget = window.findChild<QWidget *>(control);
        QVERIFY2(widget, qPrintable(control));
        window.rows()[0].answer->setFocus(Qt::TabFocusReason);
        for (int step = 0; step < 60 && !widget->hasFocus(); ++step)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(widget->hasFocus());
        const QRect inside = widget->rect().adjusted(edge, edge, -edge, -edge);
        const QImage focused = widget->grab(inside).toImage();
        QTest::keyClick(widget, Qt::Key_Tab);
        QVERIFY(!widget->hasFocus());
        const QImage unfocused = widget->grab(inside).toImage();
        QVERIFY2(focused != unfocused, "the control looks the same with and without the focus");
    }

    // Every control of the window that takes the focus is one of the kinds
    // checked above: answer boxes, answer buttons and column heads.
    void focusTakersAreTheCheckedKinds()
    {
        Window window;
        int boxes = 0, buttons = 0;
        for (QWidget *widget : window.findChildren<QWidget *>()) {
            if (widget->focusPolicy() == Qt::NoFocus || !widget->isEnabled())
                continue;
            const QByteArray kind = widget->metaObject()->className();
            QVERIFY2(kind == "TEdit" || kind == "TBitBtn", qPrintable(widget->objectName()));
            (kind == "TEdit" ? boxes : buttons) += 1;
        }
        QCOMPARE(boxes, 8);
        QCOMPARE(buttons, 8 * 5 + 6);
    }

    void referenceClearedWhenDestroyed()
    {
        frmMedDiaClientChiModHabFieldEdit = new Window;
        delete frmMedDiaClientChiModHabFieldEdit;
        QVERIFY(frmMedDiaClientChiModHabFieldEdit == nullptr);
    }
};

TIZHI_REGISTER_TEST(TestQuestionnaire);

#include "tst_questionnaire.moc"
