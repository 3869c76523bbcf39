// Reaching a window's controls from a test: finding them by object name so
// that a renamed control fails the one test that wanted it (naming it)
// instead of crashing the executable; typing or committing text as a user
// does; and counting the modal windows a click opens, without waiting.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QEvent>
#include <QInputMethodEvent>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace tizhi::test {

// The text a look-up helper returns for a control it did not find. No
// control shows it, so the comparison that reads it fails and names the
// control.
inline QString noControl(const QString &name)
{
    return QStringLiteral("<no control %1>").arg(name);
}

// Finds the controls under `root` by object name and keeps the names it
// looked for in vain, so that one check after a group of look-ups names
// every missing control: QVERIFY2(box && button, qPrintable(p.missing())).
struct ControlFinder {
    QPointer<QObject> root;

    template <class T = QWidget> T *find(const QString &name) const
    {
        T *control = root ? root->findChild<T *>(name) : nullptr;
        if (!control)
            notFound.append(name);
        return control;
    }

    // The text a control of kind T shows, or noControl(name).
    template <class T> QString textOf(const QString &name) const
    {
        const T *control = find<T>(name);
        return control ? control->text() : noControl(name);
    }

    QString missing() const { return "no control " + notFound.join(", "); }

private:
    mutable QStringList notFound;
};

// How text reaches a control: key by key from the keyboard, or all at once
// from an input method, which is how a full-width digit arrives.
enum class Entry { Keys, InputMethod };

// Enters `text` into `control`. Typed, a Backspace or an Escape character
// is sent as that key.
inline void enter(QWidget *control, Entry entry, const QString &text)
{
    if (entry == Entry::InputMethod) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(control, &commit);
        return;
    }
    for (QChar c : text) {
        if (c == QChar(8))
            QTest::keyClick(control, Qt::Key_Backspace);
        else if (c == QChar(27))
            QTest::keyClick(control, Qt::Key_Escape);
        else
            QTest::keyClicks(control, QString(c));
    }
}

// Counts the modal windows shown while it lives, in all and by the class
// of each, and closes each as soon as its own event loop runs, so that a
// test shows that a click opened none without waiting for one: a modal
// window's exec() returns within the click.
class ModalWindowCounter : public QObject {
public:
    ModalWindowCounter() { qApp->installEventFilter(this); }

    int count() const { return int(shown.size()); }
    // The windows shown of the class named `className`
    // ("TfrmRichTextProcessFullScreen").
    int count(const char *className) const { return int(shown.count(className)); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && widget->isModal()) {
                shown << widget->metaObject()->className();
                // Closed from the window's own loop: closed while it is
                // still being shown, its exec() would never return.
                QTimer::singleShot(0, widget, &QWidget::close);
            }
        }
        return false;
    }

private:
    QList<QByteArray> shown;
};

} // namespace tizhi::test
