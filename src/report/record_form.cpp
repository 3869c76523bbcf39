#include "record_form.h"

#include "catalogue.h"
#include "form_font.h"
#include "form_painter.h"
#include "item_string.h"
#include "number_text.h"

#include <QBuffer>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QSaveFile>

namespace tizhi::report {

namespace {

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

QString text(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

const ConstitutionType &typeOf(int code)
{
    return kTypes[std::size_t(code - 1)];
}

bool is33(const TestForm &form)
{
    return form.test.form == QLatin1String(kForm33Code);
}

// The title, the form's number and the unsaved mark.
void drawTitle(FormPainter &f, const QString &title, const QString &cardNo, bool unsaved)
{
    f.setFont(16, true);
    f.text(0, 0, f.width(), 10, title, Qt::AlignCenter);
    f.setFont(9);
    f.text(
        0, 10, f.width(), 5,
        QStringLiteral("编号（信息卡号）：%1").arg(cardNo.isEmpty() ? QStringLiteral("—") : cardNo),
        Qt::AlignRight | Qt::AlignVCenter);
    if (unsaved) {
        f.setFont(11, true);
        f.box(0, 1, 22, 8);
        f.text(0, 1, 22, 8, QStringLiteral("未保存"), Qt::AlignCenter);
    }
    f.moveDown(17);
}

// A label and its value, the value `width` mm wide.
struct Fact {
    QString label;
    QString value;
    qreal width;
};

// Rows of four facts, labels shaded; each row's values share what the
// labels leave of the width.
void drawFacts(FormPainter &f, const QList<Fact> &facts)
{
    const qreal label = 17;
    const qreal row = 7.5;
    f.setFont(9.5);
    qreal x = 0;
    for (int i = 0; i < facts.size(); ++i) {
        if (i % 4 == 0)
            x = 0;
        const qreal y = f.y() + (i / 4) * row;
        const Fact &fact = facts[i];
        f.box(x, y, label, row, true);
        f.box(x + label, y, fact.width, row);
        f.text(x, y, label, row, fact.label, Qt::AlignCenter);
        f.text(x + label + 1.2, y, fact.width - 2, row, fact.value,
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap);
        x += label + fact.width;
    }
    f.moveDown(row * qreal((facts.size() + 3) / 4) + 4);
}

QList<Fact> factsOf(const TestForm &form, qreal width)
{
    const StoredTest &test = form.test;
    const ClientIdentity &client = form.client;
    const qreal values = width - 4 * 17;
    const bool birthDate = client.birth.contains(u'-');
    return {{"姓名", client.name.isEmpty() ? test.name : client.name, values * 0.25},
            {"性别", client.sex, values * 0.12},
            {birthDate ? "出生日期" : "年龄", client.birth, values * 0.22},
            {"证件号码", client.identNo.isEmpty() ? test.identNo : client.identNo, values * 0.41},
            {"测试类型", text(is33(form) ? kTestType33 : kTestType66), values * 0.25},
            {"测试时间", test.testTime.toString(QStringLiteral("yyyy-MM-dd HH:mm")), values * 0.25},
            {"保健医生", test.doctor, values * 0.16},
            {"保健地点", test.site, values * 0.34}};
}

void drawHeading(FormPainter &f, const QString &heading, qreal roomBelow)
{
    f.ensureRoom(8 + roomBelow);
    f.setFont(11, true);
    f.text(0, f.y(), f.width(), 7, heading);
    f.moveDown(8);
}

// The columns of the answer grid, in mm.
constexpr qreal kNumberWidth = 10;
constexpr qreal kValueWidth = 15;

void drawAnswerHeader(FormPainter &f)
{
    const qreal question = f.width() - kNumberWidth - 5 * kValueWidth;
    const qreal h = 11;
    f.setFont(9, true);
    f.box(0, f.y(), kNumberWidth, h, true);
    f.text(0, f.y(), kNumberWidth, h, QStringLiteral("序号"), Qt::AlignCenter);
    f.box(kNumberWidth, f.y(), question, h, true);
    f.text(kNumberWidth, f.y(), question, h, text(kInstruction), Qt::AlignCenter);
    for (const AnswerLevel &level : kAnswerScale) {
        const qreal x = kNumberWidth + question + (level.value - 1) * kValueWidth;
        f.box(x, f.y(), kValueWidth, h, true);
        f.text(x, f.y(), kValueWidth, h,
               QStringLiteral("%1\n（%2）").arg(text(level.word)).arg(level.value),
               Qt::AlignCenter);
    }
    f.moveDown(h);
}

// One question: the chosen value as a filled circle in its column, the
// others empty; an unanswered question says so across the five columns.
void drawAnswerRow(FormPainter &f, int number, const QString &answer)
{
    const qreal question = f.width() - kNumberWidth - 5 * kValueWidth;
    f.setFont(9);
    const QString prompt = text(kQuestions33[std::size_t(number - 1)]).remove(u'\r');
    const qreal h = std::max<qreal>(6.2, f.textHeight(prompt, question - 3) + 1.6);
    if (f.ensureRoom(h))
        drawAnswerHeader(f);
    const qreal y = f.y();
    f.setFont(9);
    f.box(0, y, kNumberWidth, h);
    f.text(0, y, kNumberWidth, h, QString::number(number), Qt::AlignCenter);
    f.box(kNumberWidth, y, question, h);
    f.text(kNumberWidth + 1.5, y, question - 3, h, prompt,
           Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap);
    const qreal left = kNumberWidth + question;
    for (int value = 1; value <= 5; ++value)
        f.box(left + (value - 1) * kValueWidth, y, kValueWidth, h);
    const int chosen = answer.trimmed().toInt();
    if (chosen < 1 || chosen > 5) {
        f.setFont(9, true);
        f.text(left, y, 5 * kValueWidth, h, QStringLiteral("（未答）"), Qt::AlignCenter);
    } else {
        QPainter &p = f.painter();
        for (int value = 1; value <= 5; ++value) {
            const QPointF centre(f.px(left + (value - 0.5) * kValueWidth), f.px(y + h / 2));
            p.setPen(QPen(Qt::black, f.px(0.25)));
            p.setBrush(value == chosen ? QBrush(Qt::black) : Qt::NoBrush);
            p.drawEllipse(centre, f.px(1.6), f.px(1.6));
        }
        p.setBrush(Qt::NoBrush);
    }
    f.moveDown(h);
}

void drawAnswers33(FormPainter &f, const TestForm &form)
{
    drawHeading(f, QStringLiteral("一、问卷回答（在所选的一栏中涂黑）"), 20);
    drawAnswerHeader(f);
    for (int number = 1; number <= kQuestionCount33; ++number)
        drawAnswerRow(f, number, text(form.test.answers[std::size_t(number - 1)]));
    f.moveDown(4);
}

// The 66-item form: each type's answers in the order of its list.
void drawAnswers66(FormPainter &f, const TestForm &form)
{
    drawHeading(f, QStringLiteral("一、问卷回答（各体质条目的得分，依问卷顺序）"), 20);
    const qreal name = 24;
    const qreal h = 6.5;
    f.setFont(9);
    for (const int code : kSummaryOrder) {
        const ConstitutionType &type = typeOf(code);
        QStringList answers;
        const std::string &itemString = form.test.record.*fieldsOf(type).field;
        std::size_t slot = 0;
        for (const std::string_view answer : itemStringAnswers(itemString)) {
            if (slot++ < type.questions66.size())
                answers << (answer.empty() ? QStringLiteral("（未答）") : text(answer));
        }
        while (slot++ < type.questions66.size())
            answers << QStringLiteral("（未答）");
        f.box(0, f.y(), name, h, true);
        f.text(0, f.y(), name, h, text(type.displayName), Qt::AlignCenter);
        f.box(name, f.y(), f.width() - name, h);
        f.text(name + 2, f.y(), f.width() - name - 4, h, answers.join(QStringLiteral("　")));
        f.moveDown(h);
    }
    f.moveDown(4);
}

// The verdicts a type may get, as boxes to tick.
QStringList verdictChoices(const ConstitutionType &type)
{
    return {text(kVerdictYes), text(type.isBiased() ? kVerdictLeaning : kVerdictBasically),
            text(kVerdictNo)};
}

void drawResults(FormPainter &f, const TestForm &form)
{
    const qreal h = 7;
    drawHeading(f, QStringLiteral("二、体质辨识结果"), 10 * h);
    const bool raw = is33(form);
    const QStringList titles = raw ? QStringList{"体质类型", "得分", "", "判定"}
                                   : QStringList{"体质类型", "原始分", "转化分", "判定"};
    const std::array<qreal, 4> widths = {30, 25, raw ? 0.0 : 25.0, f.width() - 55 - (raw ? 0 : 25)};
    f.setFont(9.5, true);
    qreal x = 0;
    for (int c = 0; c < 4; ++c) {
        if (widths[std::size_t(c)] > 0) {
            f.box(x, f.y(), widths[std::size_t(c)], h, true);
            f.text(x, f.y(), widths[std::size_t(c)], h, titles[c], Qt::AlignCenter);
        }
        x += widths[std::size_t(c)];
    }
    f.moveDown(h);
    f.setFont(9.5);
    for (const int code : kSummaryOrder) {
        const ConstitutionType &type = typeOf(code);
        const TypeFields &fields = fieldsOf(type);
        const AssessmentRecord &record = form.test.record;
        const QList<QString> cells = {text(type.displayName), text(record.*fields.org),
                                      text(record.*fields.con)};
        x = 0;
        for (int c = 0; c < 3; ++c) {
            if (widths[std::size_t(c)] > 0) {
                f.box(x, f.y(), widths[std::size_t(c)], h);
                f.text(x, f.y(), widths[std::size_t(c)], h, cells[c], Qt::AlignCenter);
            }
            x += widths[std::size_t(c)];
        }
        f.box(x, f.y(), widths[3], h);
        const QString verdict = text(record.*fields.result);
        const QStringList choices = verdictChoices(type);
        for (int i = 0; i < choices.size(); ++i) {
            const qreal cx = x + 6 + i * 28;
            f.checkBox(cx, f.y() + 1.8, 3.4, verdict == choices[i]);
            f.text(cx + 5, f.y(), 20, h, choices[i]);
        }
        f.moveDown(h);
    }
    f.moveDown(3);
}

void drawSummaries(FormPainter &f, const TestForm &form)
{
    const qreal label = 22;
    for (const auto &[caption, value] :
         {std::pair{QStringLiteral("体质分数"), text(form.test.record.V_CON_TOTAL)},
          std::pair{QStringLiteral("辨识结论"), text(form.test.record.V_RESULT_TOTAL)}}) {
        f.setFont(9.5);
        const qreal h = std::max<qreal>(7, f.textHeight(value, f.width() - label - 4) + 2);
        f.ensureRoom(h);
        f.box(0, f.y(), label, h, true);
        f.text(0, f.y(), label, h, caption, Qt::AlignCenter);
        f.box(label, f.y(), f.width() - label, h);
        f.text(label + 2, f.y(), f.width() - label - 4, h, value,
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap);
        f.moveDown(h);
    }
    f.moveDown(4);
}

} // namespace

// Defined in record_chart.cpp and record_guidance.cpp.
void drawChart(FormPainter &f, const StoredTest &test);
void drawGuidance(FormPainter &f);

namespace {

void draw(FormPainter &f, const TestForm &form)
{
    drawTitle(f,
              QStringLiteral("中医体质辨识记录表（%1）")
                  .arg(is33(form) ? QStringLiteral("33项") : QStringLiteral("66项")),
              form.client.cardNo, form.unsaved);
    drawFacts(f, factsOf(form, f.width()));
    if (is33(form))
        drawAnswers33(f, form);
    else
        drawAnswers66(f, form);
    drawResults(f, form);
    drawSummaries(f, form);
    drawChart(f, form.test);
    drawGuidance(f);
}

void draw(FormPainter &f, const DiagnoseForm &form)
{
    drawTitle(f, QStringLiteral("诊疗记录"), form.client.cardNo, form.unsaved);
    const qreal values = f.width() - 4 * 17;
    const ClientIdentity &client = form.client;
    drawFacts(f, {{"姓名", client.name, values * 0.25},
                  {"性别", client.sex, values * 0.12},
                  {client.birth.contains(u'-') ? "出生日期" : "年龄", client.birth, values * 0.22},
                  {"证件号码", client.identNo, values * 0.41},
                  {"诊疗时间", form.treatTime.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                   values * 0.25},
                  {"主治医生", form.doctor, values * 0.25},
                  {"诊疗地点", form.site, values * 0.5}});
    for (const auto &[caption, body] : form.sections) {
        f.setFont(10);
        const QString shown = body.trimmed().isEmpty() ? QStringLiteral("（无）") : body.trimmed();
        const qreal h = f.textHeight(shown, f.width() - 4) + 3;
        f.ensureRoom(std::min<qreal>(h, 60) + 8);
        f.setFont(11, true);
        f.text(0, f.y(), f.width(), 7, caption);
        f.moveDown(7.5);
        f.setFont(10);
        f.text(2, f.y(), f.width() - 4, h, shown, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
        f.moveDown(h + 3);
    }
}

void setUpPdf(QPdfWriter &pdf)
{
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
    pdf.setResolution(600);
    pdf.setTitle(QStringLiteral("中医体质辨识记录表"));
    pdf.setCreator(QStringLiteral("Tizhi"));
}

// A test of each form that draws every text a test form may show: an
// unanswered question, the unsaved mark, scores and verdicts.
TestForm specimen(bool form33)
{
    TestForm form;
    form.unsaved = true;
    StoredTest &test = form.test;
    test.form = QLatin1String(form33 ? kForm33Code : kForm66Code);
    if (form33) {
        for (std::size_t k = 1; k < test.answers.size(); ++k)
            test.answers[k] = std::to_string(k % 5 + 1);
        BuildItemStrings33(test.answers, test.record);
        Assess33(test.record);
    } else {
        test.record = startRecord();
        Assess66(test.record);
    }
    return form;
}

// Draws `form` on `device`, its text into `drawn` instead when given. The
// number of pages; 0 when the device could not be painted on.
template <typename Form>
int drawOn(QPagedPaintDevice &device, const Form &form, QString *drawn = nullptr)
{
    FormPainter f(device, drawn);
    if (!f.isActive())
        return 0;
    draw(f, form);
    return f.pages();
}

// Lays `form` out without drawing its text, which goes into `drawn`.
template <typename Form> void drawText(const Form &form, QString &drawn)
{
    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&sink);
    setUpPdf(pdf);
    drawOn(pdf, form, &drawn);
}

} // namespace

int render(QPagedPaintDevice &device, const TestForm &form)
{
    return drawOn(device, form);
}

int render(QPagedPaintDevice &device, const DiagnoseForm &form)
{
    return drawOn(device, form);
}

QString formCharacters()
{
    QString drawn;
    drawText(specimen(true), drawn);
    drawText(specimen(false), drawn);
    drawText(DiagnoseForm{}, drawn);
    return drawn;
}

QString writePdf(QIODevice &device, const TestForm &form)
{
    QPdfWriter pdf(&device);
    setUpPdf(pdf);
    if (render(pdf, form) == 0)
        return QStringLiteral("the form could not be drawn");
    return {};
}

QString writePdf(const QString &path, const TestForm &form)
{
    // Written whole, then put in place: a form is never found half written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (const QString error = writePdf(file, form); !error.isEmpty())
        return error;
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace tizhi::report
