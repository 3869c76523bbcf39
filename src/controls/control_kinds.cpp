#include "control_kinds.h"

#include "code_pages.h"
#include "rtf.h"

#include <QFile>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>

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

QString captionText(const QString &caption)
{
    QString text = caption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text;
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    if (!tizhi::rtf::read(bytes, *document()))
        setPlainText(tizhi::decodeCodePage(936, bytes));
    return true;
}

NavigatorBase::NavigatorBase(QWidget *parent) : QFrame(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

TScrollBox::TScrollBox(QWidget *parent) : ControlKind(parent)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
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
}

TSplitter::TSplitter(Qt::Orientation orientation, QWidget *parent) : QSplitter(orientation, parent)
{
    setHandleWidth(5);
    setChildrenCollapsible(false);
}

void TButton::setCaption(const QString &caption)
{
    setText(captionText(caption));
}
