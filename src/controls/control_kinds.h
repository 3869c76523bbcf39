// The control kinds the windows are built from. The appearance routines
// recognise a kind by its exact class name (metaObject()->className()), so
// every kind is its own Q_OBJECT class, and a class derived from one under
// another name is deliberately not recognised.
#pragma once

#include "control_kind.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

// The kinds live in the global namespace: their class names are exactly the
// kinds' names, as the appearance routines compare them.

// Gives `widget` the application's font and colours as its own, so that it
// keeps its designed look inside a container that the appearance settings
// paint (a scroll box at 14 points stays a scroll box at 14 points alone).
void keepDesignedLook(QWidget *widget);

// A combo box that can be made read-only: no popup, no wheel, no typing.
class ComboBoxBase : public QComboBox {
public:
    explicit ComboBoxBase(QWidget *parent = nullptr) : QComboBox(parent) {}
    bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);
    void showPopup() override;

    // The text the box shows: a look-up box shows the name of its code
    // ("是", "倾向是"), given by the program; empty shows nothing.
    QString text() const { return currentText(); }
    void setText(const QString &text);

    // Sets the font of a box under construction. QComboBox builds its whole
    // drop-down list to hand a new font to it; a new box has no list yet,
    // and the list built when it is first opened shows the box's font.
    void setFontOfNewBox(const QFont &font);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool readOnly_ = false;
    bool newBoxFont_ = false;
};

// The data edit field, in two forms of one kind: a single line (the record
// fields) or word-wrapped with a vertical scroll bar and no length limit
// (the 66-item type fields and summaries). Neither form holds a line break:
// Enter moves on, and pasted line breaks become blanks.
class DBEditBase : public QPlainTextEdit {
public:
    explicit DBEditBase(QWidget *parent = nullptr);

    // Makes a word-wrapped field exactly `lines` lines high (the 66-item
    // type fields are one line high and scroll).
    void setVisibleLines(int lines);

    QString text() const { return toPlainText(); }
    void setText(const QString &text);

    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void changeEvent(QEvent *event) override;

private:
    // The height of one line of text in the frame.
    int lineHeight() const;
    void fitHeight();

    bool wordWrap_ = false;
    int visibleLines_ = 0; // 0: as high as the layout makes it
};

// A month calendar that can be made read-only: no date can be picked.
class CalendarBase : public QCalendarWidget {
public:
    explicit CalendarBase(QWidget *parent = nullptr) : QCalendarWidget(parent) {}
    bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);

private:
    bool readOnly_ = false;
};

// A rich text box that saves and loads its content as RTF.
class RichTextBase : public QTextEdit {
public:
    explicit RichTextBase(QWidget *parent = nullptr);
    // False when the file cannot be written.
    bool saveRtf(const QString &path) const;
    // False when the file cannot be read. A file that is no RTF is loaded
    // as GBK text.
    bool loadRtf(const QString &path);
    // The same into `document`, which need not belong to a box: a document
    // no box shows is filled and formatted without being laid out.
    static bool readRtfFile(const QString &path, QTextDocument &document);
};

// The record navigator bar: a row of flat buttons (first, prior, next, ...).
// A record navigator is a toolbar that stays where it is put: on a narrow
// window, or with large fonts, the buttons that do not fit are reached
// through its extension button, instead of the row widening the window
// past the screen.
class NavigatorBase : public QToolBar {
public:
    explicit NavigatorBase(QWidget *parent = nullptr);
};

class TScrollBox : public tizhi::ControlKind<QScrollArea> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(quint32 HorzScrollBarColor READ horzScrollBarColor WRITE setHorzScrollBarColor)
    Q_PROPERTY(quint32 VertScrollBarColor READ vertScrollBarColor WRITE setVertScrollBarColor)

public:
    explicit TScrollBox(QWidget *parent = nullptr);
    tizhi::TColor horzScrollBarColor() const { return horzScrollBarColor_; }
    void setHorzScrollBarColor(tizhi::TColor color);
    tizhi::TColor vertScrollBarColor() const { return vertScrollBarColor_; }
    void setVertScrollBarColor(tizhi::TColor color);

    // Asks the layout for the width its content needs, so that nothing has
    // to be scrolled sideways; up to the screen's width less `reserve`
    // pixels for what stands beside the box.
    void setFitsContentWidth(int reserve);
    QSize minimumSizeHint() const override;

private:
    tizhi::TColor horzScrollBarColor_ = tizhi::clScrollBar;
    tizhi::TColor vertScrollBarColor_ = tizhi::clScrollBar;
    int fitReserve_ = -1; // below 0: the box may be narrower than its content
};

class TSpeedButton : public tizhi::ControlKind<QToolButton> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TSpeedButton(QWidget *parent = nullptr);
};

// A push button. With the focus it shows a dotted frame inside its edge,
// as such buttons always have: the style's own mark, a tint of the 1-pixel
// outline, is too faint to find among rows of answer buttons.
class TBitBtn : public tizhi::ControlKind<QPushButton> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    using ControlKind::ControlKind;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class TwwDBNavigator : public tizhi::ControlKind<NavigatorBase> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    using ControlKind::ControlKind;
};

class TGroupBox : public tizhi::ControlKind<QGroupBox> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    using ControlKind::ControlKind;
};

// A panel; it may show a caption, centred unless aligned otherwise (the
// question numbers and prompts of the questionnaires are panels).
class TPanel : public tizhi::ControlKind<QLabel> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TPanel(QWidget *parent = nullptr);
    // A "\r" in a caption is a line break on screen.
    void setCaption(const QString &caption);
};

class TLabel : public tizhi::ControlKind<QLabel> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TLabel(QWidget *parent = nullptr);
    // A "\r" in a caption is a line break on screen.
    void setCaption(const QString &caption);
};

class TCheckBox : public tizhi::ControlKind<QCheckBox> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    using ControlKind::ControlKind;
};

class TListView : public tizhi::ControlKind<QTreeWidget> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TListView(QWidget *parent = nullptr);
};

// The record grid, a view over the page's record set. Title, footer, footer
// cells and the indicator column each carry a colour of their own, as the
// appearance routines set them. Until a record set is shown it lists no
// rows under its column titles.
class TwwDBGrid : public tizhi::ControlKind<QTableView> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(quint32 TitleColor READ titleColor WRITE setTitleColor)
    Q_PROPERTY(quint32 FooterColor READ footerColor WRITE setFooterColor)
    Q_PROPERTY(quint32 FooterCellColor READ footerCellColor WRITE setFooterCellColor)
    Q_PROPERTY(quint32 IndicatorIconColor READ indicatorIconColor WRITE setIndicatorIconColor)

public:
    explicit TwwDBGrid(QWidget *parent = nullptr);

    tizhi::TColor titleColor() const { return titleColor_; }
    void setTitleColor(tizhi::TColor color);
    tizhi::TColor footerColor() const { return footerColor_; }
    void setFooterColor(tizhi::TColor color) { footerColor_ = color; }
    tizhi::TColor footerCellColor() const { return footerCellColor_; }
    void setFooterCellColor(tizhi::TColor color) { footerCellColor_ = color; }
    tizhi::TColor indicatorIconColor() const { return indicatorIconColor_; }
    void setIndicatorIconColor(tizhi::TColor color);

    void setTitleFont(int points, tizhi::TColor color);

    // The column titles shown while no record set is.
    void setColumnTitles(const QStringList &titles);
    int rowCount() const { return model() ? model()->rowCount() : 0; }
    int columnCount() const { return model() ? model()->columnCount() : 0; }
    QString columnTitle(int column) const;

private:
    tizhi::TColor titleColor_ = tizhi::clBtnFace;
    tizhi::TColor footerColor_ = tizhi::clBtnFace;
    tizhi::TColor footerCellColor_ = tizhi::clBtnFace;
    tizhi::TColor indicatorIconColor_ = tizhi::clBtnFace;
};

class TDateTimePicker : public tizhi::ControlKind<QDateTimeEdit> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TDateTimePicker(QWidget *parent = nullptr);
};

class TComboBox : public tizhi::ControlKind<ComboBoxBase> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    using ControlKind::ControlKind;
};

class TEdit : public tizhi::ControlKind<QLineEdit> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    using ControlKind::ControlKind;
};

class TwwDBEdit : public tizhi::ControlKind<DBEditBase> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    using ControlKind::ControlKind;
};

class TRichEdit : public tizhi::ControlKind<RichTextBase> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TRichEdit(QWidget *parent = nullptr);
};

class TwwDBRichEdit : public tizhi::ControlKind<RichTextBase> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TwwDBRichEdit(QWidget *parent = nullptr);
};

class TMemo : public tizhi::ControlKind<QPlainTextEdit> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    using ControlKind::ControlKind;
};

class TwwDBComboBox : public tizhi::ControlKind<ComboBoxBase> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TwwDBComboBox(QWidget *parent = nullptr);
};

class TwwDBComboDlg : public tizhi::ControlKind<QLineEdit> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TwwDBComboDlg(QWidget *parent = nullptr);
};

class TwwDBLookupCombo : public tizhi::ControlKind<ComboBoxBase> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TwwDBLookupCombo(QWidget *parent = nullptr);
};

class TwwDBLookupComboDlg : public tizhi::ControlKind<ComboBoxBase> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TwwDBLookupComboDlg(QWidget *parent = nullptr);
};

class TwwDBMonthCalendar : public tizhi::ControlKind<CalendarBase> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TwwDBMonthCalendar(QWidget *parent = nullptr);
};

class TwwDBDateTimePicker : public tizhi::ControlKind<QDateTimeEdit> {
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)

public:
    explicit TwwDBDateTimePicker(QWidget *parent = nullptr);
};

// Kinds the appearance routines leave as designed: the look-up, combo and
// calendar kinds above, the data date-time picker, and these. Each keeps the
// application's font and colours whatever its container is painted with.

// The page control: tabs drawn as flat buttons.
class TPageControl : public QTabWidget {
    Q_OBJECT

public:
    explicit TPageControl(QWidget *parent = nullptr);
};

// A draggable 5-pixel splitter.
class TSplitter : public QSplitter {
    Q_OBJECT

public:
    explicit TSplitter(Qt::Orientation orientation, QWidget *parent = nullptr);
};

// A plain push button; its caption may hold "\r" line breaks.
class TButton : public QPushButton {
    Q_OBJECT

public:
    explicit TButton(QWidget *parent = nullptr);
    void setCaption(const QString &caption);
};

// "\r" in the program's captions is a line break on screen.
QString captionText(const QString &caption);

// Makes `widgets` follow one another in tab order, in the order given.
void setTabOrderChain(const QList<QWidget *> &widgets);
