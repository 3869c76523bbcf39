// The module tizhi-forms: the record form renderer behind the entry point
// that tizhi-score and tizhi-records look up after loading it.
#include "forms_module.h"

#include "record_form.h"

#include <QBuffer>
#include <QGuiApplication>

#include <malloc.h>

namespace tizhi::forms {

namespace {

QtMessageHandler previousHandler = nullptr;

// While the application is made: what the platform says of the desktop
// (no XDG_RUNTIME_DIR under cron) is nothing a command's user needs.
void desktopNotesDropped(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if ((type == QtCriticalMsg || type == QtFatalMsg) && previousHandler)
        previousHandler(type, context, text);
}

QCoreApplication *makeApplication()
{
    // Forms are drawn, never shown: the offscreen platform needs no
    // display, so a run from cron or over SSH works as one at a desk. A
    // desktop's theme plugin could still want one; none is loaded.
    qunsetenv("QT_QPA_PLATFORMTHEME");
    static int argc = 3;
    static char program[] = "tizhi";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char *argv[] = {program, option, platform, nullptr};
    // Each form takes and frees the same few megabytes (its pages, the font
    // written into it, their compressed copies). By default glibc hands the
    // freed top of the heap back to the system after a form and faults it in
    // again, page by page, for the next: a seventh of a form's time. Kept,
    // it serves every form; the program's memory stays that of one form.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    previousHandler = qInstallMessageHandler(desktopNotesDropped);
    auto *application = new QGuiApplication(argc, argv);
    qInstallMessageHandler(previousHandler);
    return application;
}

report::TestForm testFormOf(const FormContent &content)
{
    report::TestForm form;
    form.client = {content.name, content.sex, content.birth, content.identNo, content.cardNo};
    StoredTest &test = form.test;
    test.form = QLatin1String(content.form33 ? kForm33Code : kForm66Code);
    test.testTime = content.testTime;
    test.name = content.name;
    test.identNo = content.identNo;
    test.doctor = content.doctor;
    test.site = content.site;
    test.answers = content.answers;
    test.record = content.record;
    return form;
}

QString renderPdf(const FormContent &content, QByteArray &pdf)
{
    pdf.clear();
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    return report::writePdf(buffer, testFormOf(content));
}

const Module kModule = {kModuleVersion, makeApplication, renderPdf};

} // namespace

} // namespace tizhi::forms

extern "C" __attribute__((visibility("default"))) const tizhi::forms::Module *tizhi_forms_module()
{
    return &tizhi::forms::kModule;
}
