// What every control kind of the windows carries: a background colour kept
// in the program's 32-bit encoding (the Qt property "Color"), a font size and
// colour, a read-only flag, a design size, and the events the windows'
// handlers listen to: enter, exit, double-click, key down and a
// per-character filter. Each kind is a thin subclass of a Qt widget (see
// control_kinds.h); this file holds the parts they share.
#pragma once

#include "colors.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QObject>
#include <QPushButton>
#include <QSize>
#include <QWidget>

#include <algorithm>
#include <type_traits>

namespace tizhi {

// The notifications of one control. Handlers are connected directly; the
// sender is passed so that one handler can serve many controls.
class ControlEvents : public QObject {
    Q_OBJECT

signals:
    // The focus arrived from another control of the same window; a window
    // that is activated again (a modal window closed) does not count.
    void entered(QWidget *sender);
    // The focus moved from the control to another control of the same window.
    void exited(QWidget *sender);
    void doubleClicked(QWidget *sender);
    // Every key pressed, before the control handles it. Handlers do not
    // consume the key: the control still sees it afterwards.
    void keyDown(QWidget *sender, int key, Qt::KeyboardModifiers modifiers);
    // Each character before the control takes it: typed characters, control
    // characters (Backspace, Enter, Escape) and the text an input method
    // commits; not the editing commands (Ctrl+A, Ctrl+C ...). Set `key` to
    // QChar() to discard it.
    void keyPressed(QWidget *sender, QChar &key);
};

// The operations the appearance routines use on any kind.
class IControlKind {
public:
    virtual ~IControlKind() = default;

    virtual TColor color() const = 0;
    virtual void setColor(TColor color) = 0;
    virtual int fontSize() const = 0;
    virtual void setFontSize(int points) = 0;
    virtual TColor fontColor() const = 0;
    virtual void setFontColor(TColor color) = 0;
    virtual bool readOnlyFlag() const = 0;
    virtual void setReadOnlyFlag(bool readOnly) = 0;
    virtual ControlEvents *events() = 0;

    // The size the control is designed with, at 96 dots per inch: what it
    // asks the layout for. The layout may give it less where the window has
    // no room, never less than its content needs.
    virtual void setDesignSize(QSize size) = 0;

    // The palette after the kind's colours are applied: the "Color" role
    // and the text colour, for tests and for painting helpers.
    virtual QColor paintedBackground() const = 0;
};

inline IControlKind *controlKind(QObject *object)
{
    return dynamic_cast<IControlKind *>(object);
}

namespace detail {

// Which palette roles a widget paints its background and its text with.
template <class Base> constexpr bool paintsOnBase()
{
    return std::is_base_of_v<QLineEdit, Base> || std::is_base_of_v<QAbstractScrollArea, Base> ||
           std::is_base_of_v<QAbstractSpinBox, Base> || std::is_base_of_v<QComboBox, Base> ||
           std::is_base_of_v<QCalendarWidget, Base>;
}

template <class Base> constexpr bool isButton()
{
    return std::is_base_of_v<QAbstractButton, Base>;
}

// The characters a key press brings to the filter. Delete, the movement keys
// and the editing commands (Ctrl+A, Ctrl+C, Ctrl+V ...) bring none, though the
// platform sends a control character for the latter; Backspace, Enter and
// Escape bring theirs even where the platform sends no text for them.
inline QString keyCharacters(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete)
        return {};
    const Qt::KeyboardModifiers command = Qt::ControlModifier | Qt::MetaModifier;
    if ((event->modifiers() & command) && !(event->modifiers() & Qt::AltModifier))
        return {};
    if (!event->text().isEmpty())
        return event->text();
    switch (event->key()) {
    case Qt::Key_Backspace:
        return QStringLiteral("\b");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    default:
        return {};
    }
}

} // namespace detail

template <class Base> class ControlKind : public Base, public IControlKind {
public:
    explicit ControlKind(QWidget *parent = nullptr) : Base(parent)
    {
        // Enter in a box must never click the last button pressed.
        if constexpr (std::is_base_of_v<QPushButton, Base>)
            this->setAutoDefault(false);
    }

    TColor color() const override { return color_; }
    void setColor(TColor color) override
    {
        color_ = color;
        colorSet_ = true;
        applyPalette();
    }

    // The size last set, or the size the control was designed with.
    int fontSize() const override { return fontSizeSet_ ? fontSize_ : this->font().pointSize(); }
    void setFontSize(int points) override
    {
        fontSize_ = points;
        fontSizeSet_ = true;
        applyFontSize();
    }

    TColor fontColor() const override { return fontColor_; }
    void setFontColor(TColor color) override
    {
        fontColor_ = color;
        fontColorSet_ = true;
        applyPalette();
    }

    bool readOnlyFlag() const override { return readOnly_; }
    void setReadOnlyFlag(bool readOnly) override
    {
        readOnly_ = readOnly;
        if constexpr (requires(Base & b) { b.setReadOnly(true); })
            Base::setReadOnly(readOnly);
    }

    ControlEvents *events() override { return &events_; }

    void setDesignSize(QSize size) override
    {
        designSize_ = size;
        this->updateGeometry();
    }

    // Below three quarters of its design width a field is cut too short to
    // read; below what its content needs (a picker's whole date and time at
    // the font the settings chose), it cannot show it. Tall boxes keep their
    // design height.
    QSize minimumSizeHint() const override
    {
        if (inBaseHint_ || !designSize_.isValid())
            return Base::minimumSizeHint();
        QSize minimum = baseMinimumSizeHint();
        if (designSize_.width() > 0) {
            int content = minimum.width();
            if constexpr (std::is_base_of_v<QAbstractSpinBox, Base>)
                content = std::max(content, baseSizeHint().width());
            minimum.setWidth(std::max(designSize_.width() * 3 / 4, content));
        }
        if (designSize_.height() > 0)
            minimum.setHeight(std::max(designSize_.height(), minimum.height()));
        return minimum;
    }

    QSize sizeHint() const override
    {
        if (inBaseHint_ || !designSize_.isValid())
            return Base::sizeHint();
        QSize hint = baseSizeHint();
        if (designSize_.width() > 0)
            hint.setWidth(std::max(designSize_.width(), minimumSizeHint().width()));
        if (designSize_.height() > 0)
            hint.setHeight(std::max(designSize_.height(), hint.height()));
        return hint;
    }

    QColor paintedBackground() const override
    {
        return this->palette().color(QPalette::Active, backgroundRole());
    }

protected:
    static constexpr QPalette::ColorRole backgroundRole()
    {
        if constexpr (detail::paintsOnBase<Base>())
            return QPalette::Base;
        else if constexpr (detail::isButton<Base>())
            return QPalette::Button;
        else
            return QPalette::Window;
    }

    // Repaints from the stored colours. Roles not set by us follow the
    // application palette.
    //
    // Where the stored colours are those the control inherits anyway, it
    // keeps the inherited palette: a palette of its own makes a control
    // unlike every other to the style's caches, and Fusion then draws every
    // button's bevel anew instead of once per size. Should the inherited
    // colours change later, the control takes its own back (changeEvent),
    // so that it shows its stored colours either way.
    void applyPalette()
    {
        const QPalette base = QApplication::palette(this);
        QPalette palette = this->palette();
        if (colorSet_) {
            QColor background = toQColor(color_, base);
            if (!background.isValid())
                background = base.color(backgroundRole());
            palette.setColor(backgroundRole(), background);
            if constexpr (std::is_base_of_v<QComboBox, Base>)
                palette.setColor(QPalette::Button, background);
            if constexpr (!detail::paintsOnBase<Base>())
                this->setAutoFillBackground(true);
        }
        if (fontColorSet_) {
            QColor text = toQColor(fontColor_, base);
            if (!text.isValid())
                text = base.color(QPalette::Text);
            for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
                palette.setColor(QPalette::Active, role, text);
                palette.setColor(QPalette::Inactive, role, text);
            }
        }
        if (palette != this->palette())
            this->setPalette(palette);
    }

    // Sizes of 0 or below are kept as set but cannot be drawn; the control
    // then keeps the size it has. As with the colours, a control already
    // drawn at the stored size keeps the inherited font, and takes the
    // stored size back should the inherited one change: setting a font
    // sends a change through every control inside this one.
    void applyFontSize()
    {
        if (fontSize_ > 0 && this->font().pointSize() != fontSize_) {
            QFont font = this->font();
            font.setPointSize(fontSize_);
            this->setFont(font);
        }
    }

    void changeEvent(QEvent *event) override
    {
        Base::changeEvent(event);
        if (event->type() == QEvent::PaletteChange && (colorSet_ || fontColorSet_))
            applyPalette();
        else if (event->type() == QEvent::FontChange && fontSizeSet_)
            applyFontSize();
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        emit events_.keyDown(this, event->key(), event->modifiers());
        const QString text = detail::keyCharacters(event);
        const QString kept = filtered(text);
        if (!text.isEmpty() && kept.isEmpty()) {
            // Every character discarded: the control does not see the key,
            // the window still may (Escape closes a dialog).
            event->ignore();
            return;
        }
        if (kept != text) {
            QKeyEvent changed(event->type(), event->key(), event->modifiers(), kept,
                              event->isAutoRepeat(), ushort(event->count()));
            passKeyOn(&changed);
            event->setAccepted(changed.isAccepted());
            return;
        }
        passKeyOn(event);
    }

    // Text committed by an input method passes the same filter as typed
    // characters: a Chinese input method in full-width mode commits "１".
    void inputMethodEvent(QInputMethodEvent *event) override
    {
        const QString commit = event->commitString();
        const QString kept = filtered(commit);
        if (kept != commit) {
            QInputMethodEvent changed(event->preeditString(), event->attributes());
            changed.setCommitString(kept, event->replacementStart(), event->replacementLength());
            Base::inputMethodEvent(&changed);
            event->setAccepted(changed.isAccepted());
            return;
        }
        Base::inputMethodEvent(event);
    }

    void focusInEvent(QFocusEvent *event) override
    {
        Base::focusInEvent(event);
        if (event->reason() != Qt::ActiveWindowFocusReason &&
            event->reason() != Qt::PopupFocusReason)
            emit events_.entered(this);
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        Base::focusOutEvent(event);
        // A modal window opening or another program activated is not an exit.
        if (event->reason() != Qt::ActiveWindowFocusReason &&
            event->reason() != Qt::PopupFocusReason)
            emit events_.exited(this);
    }

    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        Base::mouseDoubleClickEvent(event);
        emit events_.doubleClicked(this);
    }

    void wheelEvent(QWheelEvent *event) override
    {
        // A read-only combo box or picker must not change by the wheel.
        if (readOnly_ && !hasNativeReadOnly()) {
            event->ignore();
            return;
        }
        Base::wheelEvent(event);
    }

private:
    // Qt's own hints call each other virtually (a tool button's minimum is
    // its size hint); while one runs, ours step aside.
    QSize baseMinimumSizeHint() const
    {
        inBaseHint_ = true;
        const QSize size = Base::minimumSizeHint();
        inBaseHint_ = false;
        return size;
    }
    QSize baseSizeHint() const
    {
        inBaseHint_ = true;
        const QSize size = Base::sizeHint();
        inBaseHint_ = false;
        return size;
    }

    // `text` with every character the handlers discard taken out.
    QString filtered(const QString &text)
    {
        QString kept;
        kept.reserve(text.size());
        for (QChar c : text) {
            emit events_.keyPressed(this, c);
            if (!c.isNull())
                kept += c;
        }
        return kept;
    }

    void passKeyOn(QKeyEvent *event)
    {
        if (readOnly_ && blocksWhenReadOnly(event)) {
            event->ignore();
            return;
        }
        Base::keyPressEvent(event);
    }

    static constexpr bool hasNativeReadOnly()
    {
        return requires(Base & b)
        {
            b.setReadOnly(true);
        };
    }

    // Kinds without a read-only mode of their own refuse editing keys.
    bool blocksWhenReadOnly(QKeyEvent *event) const
    {
        if (hasNativeReadOnly())
            return false;
        switch (event->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
            return false;
        default:
            return true;
        }
    }

    ControlEvents events_;
    TColor color_ = clDefault;
    TColor fontColor_ = clWindowText;
    int fontSize_ = 0;
    bool colorSet_ = false;
    bool fontColorSet_ = false;
    bool fontSizeSet_ = false;
    bool readOnly_ = false;
    QSize designSize_{-1, -1};
    mutable bool inBaseHint_ = false;
};

} // namespace tizhi
