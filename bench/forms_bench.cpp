// tizhi-bench's record forms part: one form drawn into a PDF in memory, and
// tizhi-score writing a form per row on one core, publishing included.
#include "bench_tools.h"

#include "assessment.h"
#include "record_form.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

namespace bench {

namespace {

tizhi::report::TestForm sampleForm()
{
    tizhi::report::TestForm form;
    form.client = {QStringLiteral("王秀英"), QStringLiteral("女"), QStringLiteral("1949-12-31"),
                   QStringLiteral("11010519491231002X"), QStringLiteral("K-2026-0815")};
    tizhi::StoredTest &test = form.test;
    test.form = QLatin1String(tizhi::kForm33Code);
    test.testTime = QDateTime(QDate(2026, 3, 14), QTime(9, 22));
    test.doctor = QStringLiteral("李明");
    test.site = QStringLiteral("和平里社区卫生服务站");
    for (std::size_t k = 0; k < test.answers.size(); ++k)
        test.answers[k] = std::to_string((k * 7) % 5 + 1);
    tizhi::BuildItemStrings33(test.answers, test.record);
    tizhi::Assess33(test.record);
    return form;
}

void renderOne()
{
    const tizhi::report::TestForm form = sampleForm();
    std::vector<double> times;
    for (int i = 0; i < 41; ++i) {
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QElapsedTimer timer;
        timer.start();
        const QString error = tizhi::report::writePdf(buffer, form);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (!error.isEmpty())
            times.back() = 1e9;
    }
    report("record form: one test drawn into a PDF in memory (median)", median(times), "ms",
           "<= 50", median(times) <= 50);
}

// Rows as a clinic types them: clients' names of two or three characters,
// one in ten with a rarer one, and the doctor and site of the round.
QByteArray namedForms33(int rows)
{
    const QString surnames =
        QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹"
                       "彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范");
    const QString given =
        QStringLiteral("秀英桂兰玉凤华芳淑珍明建国军平志强永德福海金荣春梅丽红霞文"
                       "秋菊云燕保成宝林松涛振刚洪亮富贵喜庆");
    const QString rare = QStringLiteral("琰昊睿鑫淼焱喆垚");
    QByteArray text = "id,name,time,doctor,site";
    for (int k = 1; k <= 33; ++k)
        text += ",q" + QByteArray::number(k);
    text += '\n';
    for (int i = 0; i < rows; ++i) {
        QString name = surnames[(i * 7) % surnames.size()];
        name += given[(i * 13) % given.size()];
        if (i % 10 == 3)
            name += rare[(i / 10) % rare.size()];
        else if (i % 2 == 0)
            name += given[(i * 5 + 3) % given.size()];
        text += "P" + QByteArray::number(i) + ',' + name.toUtf8() +
                ",2026-03-04,李明,和平里社区卫生服务站";
        for (int k = 1; k <= 33; ++k)
            text += ',' + QByteArray::number((i + k * 7) % 5 + 1);
        text += '\n';
    }
    return text;
}

// tizhi-score --forms over 500 rows on one core, from start to the last
// form on disk.
void scoreWithForms()
{
    constexpr int kRows = 500;
    QTemporaryDir dir;
    QFile input(dir.filePath("forms.csv"));
    input.open(QIODevice::WriteOnly);
    input.write(namedForms33(kRows));
    input.close();
    ::sync();
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start("taskset", {"-c", "0", TIZHI_SCORE_PATH, "--form", "33", "--forms",
                              dir.filePath("pdf"), input.fileName(), dir.filePath("out.csv")});
    process.waitForFinished(-1);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const double rate = process.exitCode() == 0 ? kRows / seconds : 0.0;
    report("tizhi-score --forms, 500 rows, one core, published", rate, "forms/s", ">= 50",
           rate >= 50);
}

} // namespace

QByteArray clientForms33(int rows)
{
    QByteArray text = "id,name,time";
    for (int k = 1; k <= 33; ++k)
        text += ",q" + QByteArray::number(k);
    text += '\n';
    for (int i = 0; i < rows; ++i) {
        text += "P" + QByteArray::number(i) + ",客户" + QByteArray::number(i) + ",2026-03-04";
        for (int k = 1; k <= 33; ++k)
            text += ',' + QByteArray::number((i + k * 7) % 5 + 1);
        text += '\n';
    }
    return text;
}

void recordForms()
{
    renderOne();
    scoreWithForms();
}

} // namespace bench
