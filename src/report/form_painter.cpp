#include "form_painter.h"

#include "form_font.h"
#include "record_form.h"

#include <QPagedPaintDevice>
#include <QPainterPath>

namespace tizhi::report {

FormPainter::FormPainter(QPagedPaintDevice &device, QString *drawn)
    : device_(device), drawn_(drawn),
      families_(drawn ? QStringList{formFontFamily()} : formFontFamilies()), painter_(&device),
      dpi_(device.logicalDpiY()), width_(device.width() * 25.4 / device.logicalDpiX()),
      height_(device.height() * 25.4 / device.logicalDpiY())
{
    painter_.setRenderHint(QPainter::Antialiasing);
    setFont(10);
}

bool FormPainter::ensureRoom(qreal mm)
{
    if (y_ + mm <= height_ || y_ == 0)
        return false;
    newPage();
    return true;
}

void FormPainter::newPage()
{
    device_.newPage();
    ++pages_;
    y_ = 0;
}

void FormPainter::setFont(qreal points, bool bold)
{
    QFont font;
    font.setFamilies(families_);
    font.setPointSizeF(points);
    font.setBold(bold);
    // Glyphs as outlines of the font, embedded, not drawn as images.
    font.setStyleStrategy(QFont::PreferOutline);
    painter_.setFont(font);
}

qreal FormPainter::textHeight(const QString &text, qreal widthMm, int flags)
{
    const QRectF needed = painter_.boundingRect(QRectF(0, 0, px(widthMm), px(1000)), flags, text);
    return needed.height() * 25.4 / dpi_;
}

void FormPainter::text(qreal x, qreal y, qreal w, qreal h, const QString &text, int flags)
{
    if (drawn_) {
        drawn_->append(text);
        return;
    }
    painter_.drawText(QRectF(px(x), px(y), px(w), px(h)), flags, text);
}

void FormPainter::box(qreal x, qreal y, qreal w, qreal h, bool shaded)
{
    painter_.save();
    painter_.setPen(QPen(Qt::black, px(0.25)));
    painter_.setBrush(shaded ? QBrush(QColor(0xe8, 0xe8, 0xe8)) : Qt::NoBrush);
    painter_.drawRect(QRectF(px(x), px(y), px(w), px(h)));
    painter_.restore();
}

void FormPainter::line(qreal x1, qreal y1, qreal x2, qreal y2, qreal widthMm, Qt::PenStyle style)
{
    painter_.save();
    QPen pen(Qt::black, px(widthMm));
    pen.setStyle(style);
    painter_.setPen(pen);
    painter_.drawLine(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2)));
    painter_.restore();
}

void FormPainter::grid(qreal x1, qreal y1, qreal x2, qreal y2)
{
    painter_.save();
    painter_.setPen(QPen(QColor(0xc8, 0xc8, 0xc8), px(0.15)));
    painter_.drawLine(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2)));
    painter_.restore();
}

void FormPainter::label(qreal x, qreal y, qreal h, const QString &text)
{
    const qreal w = painter_.fontMetrics().horizontalAdvance(text) * 25.4 / dpi_ + 1;
    const qreal textH = painter_.fontMetrics().height() * 25.4 / dpi_;
    painter_.fillRect(QRectF(px(x), px(y + (h - textH) / 2), px(w), px(textH)), Qt::white);
    this->text(x + 0.5, y, w, h, text);
}

void FormPainter::checkBox(qreal x, qreal y, qreal side, bool ticked)
{
    box(x, y, side, side);
    if (!ticked)
        return;
    QPainterPath tick;
    tick.moveTo(px(x + side * 0.18), px(y + side * 0.52));
    tick.lineTo(px(x + side * 0.42), px(y + side * 0.78));
    tick.lineTo(px(x + side * 0.85), px(y + side * 0.2));
    painter_.save();
    painter_.setPen(QPen(Qt::black, px(0.45), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter_.drawPath(tick);
    painter_.restore();
}

} // namespace tizhi::report
