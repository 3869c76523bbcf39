// The events every control kind offers the windows' handlers: exit when the
// focus moves on within the window (not when the window loses activation),
// double-click, the per-keystroke filter and Enter moving to the next control.
#include "test_registry.h"

#include "control_kinds.h"

#include <QDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace tizhi;

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
            (void)QTest::qWaitForWindowActive(&dialog);
            dialog.accept();
        });
        dialog.exec();
        QCOMPARE(exited.count(), 0);
    }

    void keyFilterDiscardsAndPassesCharacters()
    {
        Form form;
        // Only digits 0 to 5, as the answer boxes filter them.
        QObject::connect(form.first->events(), &ControlEvents::keyPressed, form.first,
                         [](QWidget *, QChar &key) {
                             if (key < QChar('0') || key > QChar('5'))
                                 key = QChar();
                         });
        form.first->setFocus();
        QTest::keyClicks(form.first, "1a9 5");
        QCOMPARE(form.first->text(), "15");
        QTest::keyClick(form.first, Qt::Key_Backspace);
        QCOMPARE(form.first->text(), "1"); // editing keys are never filtered
    }

    void keyFilterCanReplaceACharacter()
    {
        Form form;
        QObject::connect(form.first->events(), &ControlEvents::keyPressed, form.first,
                         [](QWidget *, QChar &key) { key = key.toUpper(); });
        QTest::keyClicks(form.first, "ab");
        QCOMPARE(form.first->text(), "AB");
    }

    void enterMovesToTheNextControl()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(form.window.get()));
        form.first->setEnterMovesFocus(true);
        form.second->setEnterMovesFocus(true);
        QSignalSpy keyDown(form.first->events(), &ControlEvents::keyDown);
        form.first->setFocus();
        QTest::keyClick(form.first, Qt::Key_Return);
        QVERIFY(form.second->hasFocus());
        QCOMPARE(keyDown.count(), 1);
        QCOMPARE(keyDown.at(0).at(1).toInt(), int(Qt::Key_Return));
        QTest::keyClick(form.second, Qt::Key_Enter);
        QVERIFY(form.lookup->hasFocus());
    }

    void doubleClickNotifies()
    {
        Form form;
        QSignalSpy edit(form.second->events(), &ControlEvents::doubleClicked);
        QSignalSpy rich(form.rich->events(), &ControlEvents::doubleClicked);
        QTest::mouseDClick(form.second, Qt::LeftButton);
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
