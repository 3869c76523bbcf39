#include "answer_box.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>

namespace tizhi {

namespace {

// The first character of `text`: one code unit, or two for a character
// outside the Basic Multilingual Plane.
QString firstCharacter(const QString &text)
{
    return text.left(text.size() > 1 && text[0].isHighSurrogate() ? 2 : 1);
}

// Watches one answer box; a child of the box, so it goes with it.
class AnswerBoxGuard : public QObject {
public:
    explicit AnswerBoxGuard(QLineEdit *box) : QObject(box), box_(box), before_(box->text())
    {
        // textEdited comes for what the user does (typing, a paste by key,
        // menu or middle click, a drop), textChanged for every change.
        connect(box, &QLineEdit::textEdited, this, &AnswerBoxGuard::edited);
        connect(box, &QLineEdit::textChanged, this, [this](const QString &t) { before_ = t; });
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        // The press that gives the box the focus also places the caret, so
        // the selection is made once the button is released.
        if (event->type() == QEvent::FocusIn &&
            static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
            enteredByMouse_ = true;
        else if (event->type() == QEvent::MouseButtonRelease && enteredByMouse_) {
            enteredByMouse_ = false;
            if (!box_->hasSelectedText())
                box_->selectAll();
        } else if (event->type() == QEvent::FocusOut)
            enteredByMouse_ = false;
        return false;
    }

private:
    void edited(const QString &after)
    {
        if (after.size() <= 1)
            return;
        // What was put in lies between what the text kept at its start and
        // at its end.
        const QString &before = before_;
        qsizetype head = 0;
        while (head < before.size() && head < after.size() && before[head] == after[head])
            ++head;
        qsizetype tail = 0;
        while (tail < before.size() - head && tail < after.size() - head &&
               before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
            ++tail;
        const QString inserted = after.mid(head, after.size() - head - tail);
        box_->setText(firstCharacter(inserted.isEmpty() ? after : inserted));
    }

    QLineEdit *box_;
    QString before_;
    bool enteredByMouse_ = false;
};

} // namespace

void setUpAnswerBox(QLineEdit *box)
{
    new AnswerBoxGuard(box);
}

} // namespace tizhi
