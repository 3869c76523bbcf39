// The events every control kind offers the windows' handlers: enter and exit
// when the focus moves within the window (not when the window loses or
// regains activation), double-click, the per-character filter and Enter
// moving to the next control; the word-wrapped data edit field, buttons that
// never become a dialog's default, look-up boxes that show a given text.
#include "test_registry.h"

#include "control_access.h"
#include "modal.h"

#include "control_kinds.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

using namespace tizhi;
using namespace tizhi::test;

namespace {

struct Form {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TEdit *first = new TEdit(window.get());
    TwwDBEdit *second = new TwwDBEdit(window.get());
    TwwDBLookupCombo *lookup = new TwwDBLookupCombo(window.get());
    TwwDBRichEdit *rich = new TwwDBRichEdit(window.get());

    Form()
    {
        auto *layout = new QVBoxLayout(window.get());
        for (QWidget *w : std::initializer_list<QWidget *>{first, second, lookup, rich})
            layout->addWidget(w);
        lookup->addItems({"A", "B"});
        window->show();
        window->activateWindow();
    }
};

// What the windows' Enter handlers do: the next tab stop takes the focus.
void moveFocusOn(QWidget *from)
{
    QWidget *next = from->nextInFocusChain();
    while (next != from &&
           !((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && next->isVisible()))
        next = next->nextInFocusChain();
    next->setFocus(Qt::TabFocusReason);
}

// The answer boxes' filter: digits 0 to 5 and Backspace only. Every
// character it is shown is added to `seen`.
void filterAsAnAnswerBox(TEdit *box, QString *seen)
{
    QObject::connect(box->events(), &ControlEvents::keyPressed, box, [seen](QWidget *, QChar &key) {
        *seen += key;
        const bool answer = key >= QChar('0') && key <= QChar('5');
        if (!answer && key != QChar(8))
            key = QChar();
    });
}

// The kinds of button a dialog of the program holds.
enum class ButtonKind { BitBtn, Button };

} // namespace

class TestControlEvents : public QObject {
    Q_OBJECT

private slots:
    void exitFiresWhenFocusMovesWithinTheWindow()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(form.window.get()));
        form.first->setFocus();
        QSignalSpy exited(form.first->events(), &ControlEvents::exited);
        form.second->setFocus(Qt::TabFocusReason);
        QCOMPARE(exited.count(), 1);
        QCOMPARE(exited.at(0).at(0).value<QWidget *>(), form.first);
    }

    void exitDoesNotFireWhenAModalWindowOpens()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(form.window.get()));
        form.first->setFocus();
        QSignalSpy exited(form.first->events(), &ControlEvents::exited);
        QDialog dialog(form.window.get());
        QTimer::singleShot(0, &dialog, [&dialog] {
            if (QTest::qWaitForWindowActive(&dialog))
                dialog.accept();
            else
                dialog.reject();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(exited.count(), 0);
    }

    void keyFilterCanReplaceACharacter()
    {
        Form form;
        QObject::connect(form.first->events(), &ControlEvents::keyPressed, form.first,
                         [](QWidget *, QChar &key) { key = key.toUpper(); });
        QTest::keyClicks(form.first, "ab");
        QCOMPARE(form.first->text(), "AB");
    }

    // Enter moves on through a key-down handler, as the windows wire it;
    // the key is not consumed, and no field takes it as a line break.
    void enterMovesToTheNextControl()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(form.window.get()));
        form.second->setWordWrap(true);
        for (IControlKind *kind : std::initializer_list<IControlKind *>{form.first, form.second})
            QObject::connect(kind->events(), &ControlEvents::keyDown, form.window.get(),
                             [](QWidget *sender, int key, Qt::KeyboardModifiers) {
                                 if (key == Qt::Key_Return || key == Qt::Key_Enter)
                                     moveFocusOn(sender);
                             });
        QSignalSpy keyDown(form.first->events(), &ControlEvents::keyDown);
        form.first->setFocus();
        QTest::keyClick(form.first, Qt::Key_Return);
        QVERIFY(form.second->hasFocus());
        QCOMPARE(keyDown.count(), 1);
        QCOMPARE(keyDown.at(0).at(1).toInt(), int(Qt::Key_Return));
        form.second->setText("3;1;;5;");
        form.second->moveCursor(QTextCursor::End);
        QTest::keyClick(form.second, Qt::Key_Enter);
        QVERIFY(form.lookup->hasFocus());
        QCOMPARE(form.second->text(), "3;1;;5;");
    }

    // The word-wrapped form of the data edit field: one kind with the
    // single-line form, wrapping, a vertical scroll bar, no length limit,
    // and never a line break in its text.
    void wordWrappedDataEditField()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(form.window.get()));
        TwwDBEdit *field = form.second;
        const int singleLineHeight = field->height();
        field->setWordWrap(true);
        QCOMPARE(field->metaObject()->className(), "TwwDBEdit");
        QCOMPARE(field->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(field->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        field->setFixedSize(120, 60);
        QVERIFY(field->height() > singleLineHeight);

        const QString summary = QString("[阳虚体质: 42.86]; ").repeated(3000); // 57 000 characters
        field->setText(summary);
        QCOMPARE(field->text(), summary);
        QVERIFY(field->document()->documentLayout()->documentSize().height() > 60);

        field->setText("");
        field->setFocus();
        QTest::keyClicks(field, "12");
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClicks(field, "3");
        QCOMPARE(field->text(), "123");

        QApplication::clipboard()->setText("4;\r\n5;\n");
        field->setText("");
        field->paste();
        QCOMPARE(field->text(), "4; 5;");
    }

    // Text set by the program is no edit: one change, nothing to undo, the
    // caret at the start, the field's own font; what is typed afterwards
    // can be undone as usual.
    void settingTheTextIsNoEdit()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(form.window.get()));
        TwwDBEdit *field = form.second;
        field->setFocus();
        QTest::keyClicks(field, "ab");
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        field->textCursor().insertText("b", bold);
        QSignalSpy changed(field, &QPlainTextEdit::textChanged);
        field->setText("中医 12");
        QCOMPARE(field->text(), "中医 12");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(field->textCursor().position(), 0);
        QVERIFY(!field->document()->isUndoAvailable());
        QVERIFY(!field->document()->begin().begin().fragment().charFormat().hasProperty(
            QTextFormat::FontWeight));
        QTest::keySequence(field, QKeySequence::Undo);
        QCOMPARE(field->text(), "中医 12");
        QTest::keyClicks(field, "x");
        QCOMPARE(field->text(), "x中医 12");
        QTest::keySequence(field, QKeySequence::Undo);
        QCOMPARE(field->text(), "中医 12");
    }

    // The filter sees every character that reaches the control: typed,
    // control characters and the text an input method commits. Here the
    // answer boxes' filter: digits 0 to 5 and Backspace only.
    void filterSeesEveryCharacter_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("seen");
        QTest::addColumn<QString>("expected");
        QTest::newRow("digits 0 to 5 pass, 6 a letter a blank do not")
            << "" << Entry::Keys << "1a6 5"
            << "1a6 5"
            << "15";
        QTest::newRow("Backspace passes and deletes") << "3" << Entry::Keys << "\b"
                                                      << "\b"
                                                      << "";
        QTest::newRow("full-width digit committed by an input method is refused")
            << "" << Entry::InputMethod << "１"
            << "１"
            << "";
        QTest::newRow("input method commit of a plain digit passes")
            << "" << Entry::InputMethod << "4"
            << "4"
            << "4";
        QTest::newRow("mixed commit keeps only what passes") << "" << Entry::InputMethod << "2x"
                                                             << "2x"
                                                             << "2";
        QTest::newRow("Escape reaches the filter") << "2" << Entry::Keys << "\x1b"
                                                   << "\x1b"
                                                   << "2";
    }

    void filterSeesEveryCharacter()
    {
        QFETCH(QString, start);
        QFETCH(Entry, entry);
        QFETCH(QString, text);
        QFETCH(QString, seen);
        QFETCH(QString, expected);
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(form.window.get()));
        QString filterSaw;
        filterAsAnAnswerBox(form.first, &filterSaw);
        form.first->setText(start);
        form.first->setFocus();
        form.first->end(false);
        enter(form.first, entry, text);
        QCOMPARE(filterSaw, seen);
        QCOMPARE(form.first->text(), expected);
    }

    // Ctrl+A is an editing command, not a character: the filter does not
    // see it, and it selects all.
    void ctrlAIsAnEditingCommandNotACharacter()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(form.window.get()));
        QString filterSaw;
        filterAsAnAnswerBox(form.first, &filterSaw);
        form.first->setText("2");
        form.first->setFocus();
        form.first->end(false);
        // As a desktop sends Ctrl+A: the control character as its text.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
        QApplication::sendEvent(form.first, &press);
        QCOMPARE(form.first->selectedText(), "2");
        QCOMPARE(filterSaw, QString());
        QCOMPARE(form.first->text(), "2");
    }

    // Enter fires when the focus comes from another control of the window,
    // not when the window is activated again (a modal box closed), so that
    // a box that computes on entry cannot reopen an error box in a loop.
    void enterFiresOnlyWithinTheWindow()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(form.window.get()));
        form.first->setFocus();
        QSignalSpy entered(form.second->events(), &ControlEvents::entered);
        form.second->setFocus(Qt::TabFocusReason);
        QCOMPARE(entered.count(), 1);
        QCOMPARE(entered.at(0).at(0).value<QWidget *>(), form.second);

        QDialog dialog(form.window.get());
        QTimer::singleShot(0, &dialog, [&dialog] {
            if (QTest::qWaitForWindowActive(&dialog))
                dialog.accept();
            else
                dialog.reject();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        // A desktop gives the activation back; without a window manager the
        // test does.
        form.window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), form.window.get());
        QTRY_VERIFY(form.second->hasFocus());
        QCOMPARE(entered.count(), 1);
    }

    // No button of a kind becomes a dialog's default: Enter in a box after
    // a button was clicked must not click it again.
    void enterInADialogClicksNoButton_data()
    {
        QTest::addColumn<ButtonKind>("kind");
        QTest::newRow("TBitBtn") << ButtonKind::BitBtn;
        QTest::newRow("TButton") << ButtonKind::Button;
    }

    void enterInADialogClicksNoButton()
    {
        QFETCH(ButtonKind, kind);
        QDialog dialog;
        auto *edit = new TEdit(&dialog);
        QPushButton *button = nullptr;
        switch (kind) {
        case ButtonKind::BitBtn:
            button = new TBitBtn(&dialog);
            break;
        case ButtonKind::Button:
            button = new TButton(&dialog);
            break;
        }
        button->setText("5");
        auto *layout = new QVBoxLayout(&dialog);
        layout->addWidget(edit);
        layout->addWidget(button);
        QSignalSpy clicked(button, &QPushButton::clicked);
        QVERIFY(showActive(&dialog));
        QVERIFY(!button->autoDefault());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter);
        QCOMPARE(clicked.count(), 1);
        QVERIFY(dialog.isVisible());
    }

    // A look-up box shows the text it is given: the verdict words.
    void lookupShowsAGivenText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("是") << "是";
        QTest::newRow("倾向是") << "倾向是";
        QTest::newRow("基本是") << "基本是";
        QTest::newRow("empty shows nothing") << "";
    }

    void lookupShowsAGivenText()
    {
        QFETCH(QString, text);
        Form form;
        form.lookup->setText("否");
        form.lookup->setText(text);
        QCOMPARE(form.lookup->text(), text);
        QCOMPARE(form.lookup->currentText(), text);
        QCOMPARE(form.lookup->count(), text.isEmpty() ? 0 : 1);
    }

    void doubleClickNotifies()
    {
        Form form;
        QSignalSpy edit(form.second->events(), &ControlEvents::doubleClicked);
        QSignalSpy rich(form.rich->events(), &ControlEvents::doubleClicked);
        QTest::mouseDClick(form.second->viewport(), Qt::LeftButton);
        QTest::mouseDClick(form.rich->viewport(), Qt::LeftButton);
        QCOMPARE(edit.count(), 1);
        QCOMPARE(rich.count(), 1);
    }

    void readOnlyLookupCannotChange()
    {
        Form form;
        form.lookup->setReadOnlyFlag(true);
        form.lookup->setFocus();
        QTest::keyClick(form.lookup, Qt::Key_Down);
        QTest::keyClicks(form.lookup, "B");
        form.lookup->showPopup();
        QCOMPARE(form.lookup->currentIndex(), 0);
        QVERIFY(!form.lookup->view()->isVisible());
        form.lookup->setReadOnlyFlag(false);
        QTest::keyClick(form.lookup, Qt::Key_Down);
        QCOMPARE(form.lookup->currentIndex(), 1);
    }

    void captionsBreakAtCarriageReturns()
    {
        TLabel label;
        label.setCaption("体质\r辨识");
        QCOMPARE(label.text(), "体质\n辨识");
        TButton button;
        button.setCaption("a\r\nb");
        QCOMPARE(button.text(), "a\nb");
    }
};

TIZHI_REGISTER_TEST(TestControlEvents);

#include "tst_control_events.moc"
