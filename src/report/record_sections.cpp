// The chart of the nine scores and the guidance to tick by hand.
#include "catalogue.h"
#include "form_painter.h"
#include "record_form.h"

#include <QPagedPaintDevice>

namespace tizhi::report {

namespace {

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// Where a type's verdict changes: the leaning bar (none for PingHe) and
// the bar of "是", on the scale the form's scores are on.
struct Bars {
    double leaning;
    double yes;
};

Bars barsOf(const ConstitutionType &type, bool form33)
{
    if (form33)
        return type.isBiased() ? Bars{9, 11} : Bars{0, 17};
    return type.isBiased() ? Bars{30, 40} : Bars{0, 60};
}

void drawAxis(FormPainter &f, qreal left, qreal plot, qreal top, qreal bottom, double max,
              double step)
{
    f.setFont(9);
    f.line(left, top, left, bottom, 0.3);
    f.line(left, bottom, left + plot, bottom, 0.3);
    for (double v = 0; v <= max + 1e-9; v += step) {
        const qreal x = left + plot * v / max;
        f.line(x, bottom, x, bottom + 1.2, 0.25);
        f.grid(x, top, x, bottom);
        f.text(x - 6, bottom + 1.2, 12, 4.5, QString::number(v), Qt::AlignCenter);
    }
}

} // namespace

void drawChart(FormPainter &f, const StoredTest &test)
{
    const bool form33 = test.form == QLatin1String(kForm33Code);
    const qreal row = 7;
    const qreal height = 9 * row + 20;
    f.ensureRoom(height + 8);
    f.setFont(11, true);
    f.text(0, f.y(), f.width(), 7, QStringLiteral("三、体质分数图"));
    f.moveDown(8);
    const qreal label = 22;
    const qreal left = label + 2;
    const qreal plot = f.width() - left - 14;
    const double max = form33 ? 25 : 100;
    const qreal top = f.y();
    const qreal bottom = top + 9 * row;
    drawAxis(f, left, plot, top, bottom, max, form33 ? 5 : 10);
    QPainter &p = f.painter();
    int i = 0;
    for (const int code : kSummaryOrder) {
        const ConstitutionType &type = kTypes[std::size_t(code - 1)];
        const qreal y = top + i++ * row;
        f.setFont(9);
        f.text(0, y, label, row, text(type.displayName), Qt::AlignRight | Qt::AlignVCenter);
        const Bars bars = barsOf(type, form33);
        if (bars.leaning > 0)
            f.line(left + plot * bars.leaning / max, y + 0.5, left + plot * bars.leaning / max,
                   y + row - 0.5, 0.5, Qt::DashLine);
        f.line(left + plot * bars.yes / max, y + 0.5, left + plot * bars.yes / max, y + row - 0.5,
               0.7);
        bool ok = false;
        const double score = QString::fromStdString(test.record.*fieldsOf(type).con).toDouble(&ok);
        if (ok) {
            const qreal w = plot * std::clamp(score, 0.0, max) / max;
            p.save();
            p.setPen(QPen(Qt::black, f.px(0.25)));
            p.setBrush(QColor(0xb8, 0xb8, 0xb8));
            p.drawRect(QRectF(f.px(left), f.px(y + 1.5), f.px(w), f.px(row - 3)));
            p.restore();
            f.label(left + w + 1, y, row, QString::fromStdString(test.record.*fieldsOf(type).con));
        }
    }
    f.moveDown(9 * row + 7);
    f.setFont(9);
    const QString legend =
        form33 ? QStringLiteral("横条为各体质得分。实线：判为“是”的分数（偏颇体质 11，平和体质 "
                                "17）；虚线：判为“倾向是”的分数（偏颇体质 9）。")
               : QStringLiteral("横条为各体质转化分。实线：判为“是”的分数（偏颇体质 40，平和体质 "
                                "60）；虚线：判为“倾向是”的分数（偏颇体质 30）。");
    const qreal h = f.textHeight(legend, f.width()) + 1;
    f.text(0, f.y(), f.width(), h, legend, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
    f.moveDown(h + 5);
}

void drawGuidance(FormPainter &f)
{
    f.ensureRoom(42);
    f.setFont(11, true);
    f.text(0, f.y(), f.width(), 7, QStringLiteral("四、健康指导（在给予的指导前打“√”）"));
    f.moveDown(9);
    const QStringList items = {"情志调摄", "饮食调养", "起居调摄", "运动保健", "穴位保健", "其他"};
    f.setFont(10);
    const qreal column = f.width() / 3;
    for (int i = 0; i < items.size(); ++i) {
        const qreal x = (i % 3) * column;
        const qreal y = f.y() + (i / 3) * 9;
        f.checkBox(x + 2, y + 1.5, 4, false);
        f.text(x + 8, y, column - 8, 7, items[i]);
        if (items[i] == u"其他")
            f.line(x + 20, y + 6, f.width(), y + 6, 0.25);
    }
    f.moveDown(24);
    f.text(0, f.y(), f.width() / 2, 7, QStringLiteral("日期：　　　　年　　月　　日"));
    f.text(f.width() / 2, f.y(), f.width() / 2, 7, QStringLiteral("保健医生签名："));
    f.line(f.width() / 2 + 27, f.y() + 6, f.width(), f.y() + 6, 0.25);
    f.moveDown(10);
}

} // namespace tizhi::report
