// The module tizhi-forms: the record form renderer behind the entry point
// that tizhi-score and tizhi-records look up after loading it.
#include "forms_module.h"

#include "record_form.h"

#include <QBuffer>
#include <QGuiApplication>

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
