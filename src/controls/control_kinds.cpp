#include "control_kinds.h"

#include <QStandardItemModel>

#include "code_pages.h"
#include "rtf.h"

#include <QFile>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

using namespace tizhi;

namespace {

void paintRole(QWidget *widget, QPalette::ColorRole role, TColor color)
{
    QColor painted = toQColor(color, QApplication::palette(widget));
    QPalette palette = widget->palette();
    palette.setColor(role, painted.isValid() ? painted : QApplication::palette(widget).color(role));
    widget->setPalette(palette);
}

} // namespace

void keepDesignedLook(QWidget *widget)
{
    QFont font = QApplication::font(widget);
    font.setResolveMask(QFont::AllPropertiesResolved);
    if (auto *box = dynamic_cast<ComboBoxBase *>(widget))
        box->setFontOfNewBox(font);
    else
        widget->setFont(font);
    QPalette palette = QApplication::palette(widget);
    palette.setResolveMask(~QPalette::ResolveMask(0));
    widget->setPalette(palette);
}

void setTabOrderChain(const QList<QWidget *> &widgets)
{
    for (qsizetype i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

QString captionText(const QString &caption)
{
    QString text = caption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

void ComboBoxBase::setFontOfNewBox(const QFont &font)
{
    newBoxFont_ = true;
    setFont(font);
    newBoxFont_ = false;
}

void ComboBoxBase::changeEvent(QEvent *event)
{
    if (newBoxFont_ && event->type() == QEvent::FontChange) {
        QWidget::changeEvent(event);
        return;
    }
    QComboBox::changeEvent(event);
}

void ComboBoxBase::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    if (isEditable() && lineEdit())
        lineEdit()->setReadOnly(readOnly);
}

void ComboBoxBase::showPopup()
{
    if (!readOnly_)
        QComboBox::showPopup();
}

void ComboBoxBase::keyPressEvent(QKeyEvent *event)
{
    if (readOnly_ && event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void ComboBoxBase::wheelEvent(QWheelEvent *event)
{
    if (readOnly_) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

void ComboBoxBase::setText(const QString &text)
{
    if (text == currentText() && count() == (text.isEmpty() ? 0 : 1))
        return; // every assessment writes every verdict; most stay as they were
    clear();
    if (!text.isEmpty()) {
        addItem(text);
        setCurrentIndex(0);
    }
}

namespace {

// Line breaks at the ends of a pasted text go, inner ones become blanks.
QString withoutLineBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    text.replace(QChar::ParagraphSeparator, QChar('\n'));
    // Line breaks at the ends go, in one cut each: removing them one by one
    // from the front would take time quadratic in their number.
    qsizetype start = 0, end = text.size();
    while (start < end && text[start] == QChar('\n'))
        ++start;
    while (end > start && text[end - 1] == QChar('\n'))
        --end;
    text = text.mid(start, end - start);
    text.replace(QChar('\n'), QChar(' '));
    return text;
}

} // namespace

DBEditBase::DBEditBase(QWidget *parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    document()->setDocumentMargin(2);
    setWordWrap(false);
}

void DBEditBase::setText(const QString &text)
{
    // As setPlainText leaves it (no undo step, the caret at the start), but
    // the new text is laid out once: setPlainText lays it out, formats it
    // and lays it out again, which costs most of a recomputation.
    QTextDocument *doc = document();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    QTextCursor all(doc);
    all.select(QTextCursor::Document);
    all.insertText(text, QTextCharFormat());
    doc->setUndoRedoEnabled(undo);
    moveCursor(QTextCursor::Start);
}

void DBEditBase::setWordWrap(bool on)
{
    wordWrap_ = on;
    setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitHeight();
}

void DBEditBase::setVisibleLines(int lines)
{
    visibleLines_ = lines;
    fitHeight();
}

int DBEditBase::lineHeight() const
{
    const int margin = int(document()->documentMargin());
    return fontMetrics().lineSpacing() + 2 * margin + 2 * frameWidth();
}

void DBEditBase::fitHeight()
{
    if (wordWrap_ && visibleLines_ > 0) {
        setFixedHeight(lineHeight() + (visibleLines_ - 1) * fontMetrics().lineSpacing());
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else if (wordWrap_) {
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    } else {
        // One line: as high as the text, like any single-line field.
        setFixedHeight(lineHeight());
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    updateGeometry();
}

QSize DBEditBase::sizeHint() const
{
    const int width = fontMetrics().averageCharWidth() * 17 + 2 * frameWidth();
    return {width, wordWrap_ ? 3 * lineHeight() : lineHeight()};
}

QSize DBEditBase::minimumSizeHint() const
{
    return {fontMetrics().averageCharWidth() * 3 + 2 * frameWidth(), lineHeight()};
}

void DBEditBase::keyPressEvent(QKeyEvent *event)
{
    // Enter moves on (the window's handler does that); it never breaks the line.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DBEditBase::focusInEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusInEvent(event);
    // Reached by Tab or Enter, the whole text is selected, as in any
    // single-line field: what is typed replaces it.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::ShortcutFocusReason)
        selectAll();
}

void DBEditBase::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText())
        insertPlainText(withoutLineBreaks(source->text()));
}

void DBEditBase::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitHeight();
}

void CalendarBase::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    setSelectionMode(readOnly ? QCalendarWidget::NoSelection : QCalendarWidget::SingleSelection);
}

RichTextBase::RichTextBase(QWidget *parent) : QTextEdit(parent) {}

bool RichTextBase::saveRtf(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = tizhi::rtf::write(*document());
    return file.write(bytes) == bytes.size() && file.flush();
}

bool RichTextBase::loadRtf(const QString &path)
{
    return readRtfFile(path, *document());
}

bool RichTextBase::readRtfFile(const QString &path, QTextDocument &document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    if (!tizhi::rtf::read(bytes, document))
        document.setPlainText(tizhi::decodeCodePage(936, bytes));
    return true;
}

NavigatorBase::NavigatorBase(QWidget *parent) : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
}

TScrollBox::TScrollBox(QWidget *parent) : ControlKind(parent)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    // A click on the box's free space does not take the focus from a field:
    // leaving a field runs an assessment, and the user did not leave it.
    setFocusPolicy(Qt::NoFocus);
    // The control that takes the focus is scrolled into view, however the
    // focus got there (Enter moves it through the window, not the box).
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && widget() && widget()->isAncestorOf(now))
            ensureWidgetVisible(now, 0, 0);
    });
}

void TScrollBox::setFitsContentWidth(int reserve)
{
    fitReserve_ = reserve;
    updateGeometry();
}

QSize TScrollBox::minimumSizeHint() const
{
    QSize minimum = ControlKind::minimumSizeHint();
    if (fitReserve_ < 0 || !widget())
        return minimum;
    const int content = widget()->minimumSizeHint().width() + 2 * frameWidth() +
                        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int room = screen()->availableGeometry().width() - fitReserve_;
    minimum.setWidth(std::max(minimum.width(), std::min(content, room)));
    return minimum;
}

void TScrollBox::setHorzScrollBarColor(TColor color)
{
    horzScrollBarColor_ = color;
    paintRole(horizontalScrollBar(), QPalette::Button, color);
}

void TScrollBox::setVertScrollBarColor(TColor color)
{
    vertScrollBarColor_ = color;
    paintRole(verticalScrollBar(), QPalette::Button, color);
}

TSpeedButton::TSpeedButton(QWidget *parent) : ControlKind(parent)
{
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void TBitBtn::paintEvent(QPaintEvent *event)
{
    ControlKind::paintEvent(event);
    if (!hasFocus())
        return;
    constexpr int kInset = 3;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(kInset, kInset, -kInset - 1, -kInset - 1));
}

TPanel::TPanel(QWidget *parent) : ControlKind(parent)
{
    setAlignment(Qt::AlignCenter);
}

void TPanel::setCaption(const QString &caption)
{
    setText(captionText(caption));
}

TLabel::TLabel(QWidget *parent) : ControlKind(parent) {}

void TLabel::setCaption(const QString &caption)
{
    setText(captionText(caption));
}

TListView::TListView(QWidget *parent) : ControlKind(parent)
{
    setRootIsDecorated(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

TwwDBGrid::TwwDBGrid(QWidget *parent) : ControlKind(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void TwwDBGrid::setColumnTitles(const QStringList &titles)
{
    auto *titlesOnly = new QStandardItemModel(0, int(titles.size()), this);
    titlesOnly->setHorizontalHeaderLabels(titles);
    QItemSelectionModel *old = selectionModel();
    setModel(titlesOnly);
    delete old;
}

QString TwwDBGrid::columnTitle(int column) const
{
    return model() ? model()->headerData(column, Qt::Horizontal).toString() : QString();
}

void TwwDBGrid::setTitleColor(TColor color)
{
    titleColor_ = color;
    paintRole(horizontalHeader(), QPalette::Button, color);
    paintRole(horizontalHeader(), QPalette::Window, color);
}

void TwwDBGrid::setIndicatorIconColor(TColor color)
{
    indicatorIconColor_ = color;
    paintRole(verticalHeader(), QPalette::Button, color);
    paintRole(verticalHeader(), QPalette::Window, color);
}

void TwwDBGrid::setTitleFont(int points, TColor color)
{
    QHeaderView *title = horizontalHeader();
    if (points > 0) {
        QFont font = title->font();
        font.setPointSize(points);
        title->setFont(font);
    }
    paintRole(title, QPalette::ButtonText, color);
    paintRole(title, QPalette::WindowText, color);
}

TDateTimePicker::TDateTimePicker(QWidget *parent) : ControlKind(parent)
{
    setCalendarPopup(true);
}

TwwDBDateTimePicker::TwwDBDateTimePicker(QWidget *parent) : ControlKind(parent)
{
    setCalendarPopup(true);
    keepDesignedLook(this);
}

TwwDBComboBox::TwwDBComboBox(QWidget *parent) : ControlKind(parent)
{
    keepDesignedLook(this);
}

TwwDBComboDlg::TwwDBComboDlg(QWidget *parent) : ControlKind(parent)
{
    keepDesignedLook(this);
}

TwwDBLookupCombo::TwwDBLookupCombo(QWidget *parent) : ControlKind(parent)
{
    keepDesignedLook(this);
    // Always disabled on the windows, yet what it shows is a result to be
    // read: its text keeps the enabled colour.
    QPalette shown = palette();
    for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        shown.setColor(QPalette::Disabled, role, shown.color(QPalette::Active, role));
    setPalette(shown);
}

TwwDBLookupComboDlg::TwwDBLookupComboDlg(QWidget *parent) : ControlKind(parent)
{
    keepDesignedLook(this);
}

TwwDBMonthCalendar::TwwDBMonthCalendar(QWidget *parent) : ControlKind(parent)
{
    keepDesignedLook(this);
}

TRichEdit::TRichEdit(QWidget *parent) : ControlKind(parent)
{
    setAcceptRichText(true);
}

TwwDBRichEdit::TwwDBRichEdit(QWidget *parent) : ControlKind(parent)
{
    setAcceptRichText(true);
}

TPageControl::TPageControl(QWidget *parent) : QTabWidget(parent)
{
    setDocumentMode(true); // flat tabs
    keepDesignedLook(this);
}

TSplitter::TSplitter(Qt::Orientation orientation, QWidget *parent) : QSplitter(orientation, parent)
{
    setHandleWidth(5);
    setChildrenCollapsible(false);
    keepDesignedLook(this);
}

TButton::TButton(QWidget *parent) : QPushButton(parent)
{
    setAutoDefault(false); // Enter in a box must never click it
    keepDesignedLook(this);
}

void TButton::setCaption(const QString &caption)
{
    setText(captionText(caption));
}
