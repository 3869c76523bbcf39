// Drawing on the pages of a form in millimetres from the top left of the
// printable area, with fonts in points: the cursor moves down as sections
// are drawn, and a section that does not fit starts a new page.
#pragma once

#include <QFont>
#include <QPainter>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;

namespace tizhi::report {

class FormPainter {
public:
    // With `drawn`, lays the form out as drawn but puts its text into
    // `drawn` instead of on the page, set in the installed face alone.
    explicit FormPainter(QPagedPaintDevice &device, QString *drawn = nullptr);

    bool isActive() const { return painter_.isActive(); }
    int pages() const { return pages_; }
    QPainter &painter() { return painter_; }

    // Millimetres to device pixels.
    qreal px(qreal mm) const { return mm * dpi_ / 25.4; }
    qreal width() const { return width_; } // mm
    qreal y() const { return y_; }         // mm from the top
    void moveDown(qreal mm) { y_ += mm; }
    // Starts a new page unless `mm` more fit on this one; true when it did.
    bool ensureRoom(qreal mm);
    void newPage();

    void setFont(qreal points, bool bold = false);
    // Height in mm that `text` takes wrapped to `widthMm` in the font set.
    qreal textHeight(const QString &text, qreal widthMm, int flags = Qt::TextWordWrap);
    // Draws `text` in the box (mm), with `flags` of Qt::AlignmentFlag and
    // Qt::TextWordWrap.
    void text(qreal x, qreal y, qreal w, qreal h, const QString &text,
              int flags = Qt::AlignLeft | Qt::AlignVCenter);
    void box(qreal x, qreal y, qreal w, qreal h, bool shaded = false);
    void line(qreal x1, qreal y1, qreal x2, qreal y2, qreal widthMm = 0.25,
              Qt::PenStyle style = Qt::SolidLine);
    // A light line of a chart's grid.
    void grid(qreal x1, qreal y1, qreal x2, qreal y2);
    // A number at (x, y) on a white ground, so that lines under it do not
    // cross it; `h` mm high.
    void label(qreal x, qreal y, qreal h, const QString &text);
    // A square of side `side` mm at (x, y), ticked when `ticked`.
    void checkBox(qreal x, qreal y, qreal side, bool ticked);

private:
    QPagedPaintDevice &device_;
    QString *drawn_ = nullptr;
    QStringList families_;
    QPainter painter_;
    qreal dpi_;
    qreal width_;
    qreal height_;
    qreal y_ = 0;
    int pages_ = 1;
};

} // namespace tizhi::report
