// What every control kind of the windows carries: a background colour kept
// in the program's 32-bit encoding (the Qt property "Color"), a font size and
// colour, a read-only flag, and the events the windows' handlers listen to:
// exit, double-click, key down and a per-keystroke filter. Each kind is a
// thin subclass of a Qt widget (see control_kinds.h); this file holds the
// parts they share.
#pragma once

#include "colors.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QObject>
#include <QWidget>

#include <type_traits>

namespace tizhi {

// The notifications of one control. Handlers are connected directly; the
// sender is passed so that one handler can serve many controls.
class ControlEvents : public QObject {
    Q_OBJECT

signals:
    // The focus moved from the control to another control of the same window.
    void exited(QWidget *sender);
    void doubleClicked(QWidget *sender);
    // Every key pressed, before the control handles it.
    void keyDown(QWidget *sender, int key, Qt::KeyboardModifiers modifiers);
    // Each typed character before it is inserted; set `key` to QChar() to
    // discard it.
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

    // Enter moves the focus to the next control in tab order.
    virtual void setEnterMovesFocus(bool on) = 0;

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

} // namespace detail

template <class Base> class ControlKind : public Base, public IControlKind {
public:
    explicit ControlKind(QWidget *parent = nullptr) : Base(parent) {}

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
        // Sizes of 0 or below are kept as set but cannot be drawn; the
        // control then keeps the size it has.
        if (points > 0) {
            QFont font = this->font();
            font.setPointSize(points);
            this->setFont(font);
        }
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
    void setEnterMovesFocus(bool on) override { enterMovesFocus_ = on; }

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
        this->setPalette(palette);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        emit events_.keyDown(this, event->key(), event->modifiers());
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && enterMovesFocus_) {
            this->focusNextChild();
            return;
        }
        if (!event->text().isEmpty() && !enter) {
            QString text = event->text();
            for (QChar &c : text) {
                if (!c.isPrint())
                    continue; // editing keys (Backspace, Tab) are never filtered
                emit events_.keyPressed(this, c);
                if (c.isNull()) {
                    event->accept();
                    return;
                }
            }
            if (text != event->text()) {
                QKeyEvent changed(event->type(), event->key(), event->modifiers(), text,
                                  event->isAutoRepeat(), ushort(event->count()));
                Base::keyPressEvent(&changed);
                return;
            }
        }
        if (readOnly_ && blocksWhenReadOnly(event))
            return;
        Base::keyPressEvent(event);
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
    bool enterMovesFocus_ = false;
};

} // namespace tizhi
