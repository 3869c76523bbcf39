#include "form_printing.h"

#include "window_commands.h"

#include <QAction>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>

namespace tizhi {

FormPrinting::FormPrinting(QWidget *window, WindowCommands &commands, Sources sources)
    : QObject(window), window_(window), printer_(std::make_unique<QPrinter>()),
      sources_(std::move(sources)), diagnosePrint_(commands.actMDRPrint)
{
    printer_->setPageSize(QPageSize(QPageSize::A4));
    printer_->setPageOrientation(QPageLayout::Portrait);
    printer_->setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
    printer_->setDocName(QStringLiteral("中医体质辨识记录表"));
    const std::array<std::pair<QAction *, void (FormPrinting::*)()>, 4> handlers = {{
        {commands.actCMH33Print, &FormPrinting::printTest33},
        {commands.actCMHPrint, &FormPrinting::printTest66},
        {commands.actMDRPrint, &FormPrinting::printDiagnose},
        {commands.actCMHPrintSet, &FormPrinting::setUpPrinter},
    }};
    for (const auto &[command, handler] : handlers) {
        command->setEnabled(true);
        connect(command, &QAction::triggered, this, [this, command = command, handler = handler] {
            if (mayExecute(command))
                (this->*handler)();
        });
    }
    // The set-up is shown in this edition; the renderer keeps no temporary
    // files, so there is nothing for "清除报表临时文件" to clear.
    commands.actCMHPrintSet->setVisible(true);
}

FormPrinting::~FormPrinting() = default;

void FormPrinting::preview(const QString &title, const std::function<void(QPrinter &)> &draw)
{
    printer_->setDocName(title);
    QPrintPreviewDialog dialog(printer_.get(), window_);
    dialog.setObjectName(QStringLiteral("dlgPrintPreview"));
    dialog.setWindowTitle(QStringLiteral("打印预览 - %1").arg(title));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [&draw](QPrinter *printer) { draw(*printer); });
    dialog.resize(window_->size() * 9 / 10);
    dialog.exec();
}

void FormPrinting::printTest33()
{
    const report::TestForm form = sources_.test33();
    preview(QStringLiteral("中医体质辨识记录表"),
            [form](QPrinter &printer) { report::render(printer, form); });
}

void FormPrinting::printTest66()
{
    const report::TestForm form = sources_.test66();
    preview(QStringLiteral("中医体质辨识记录表"),
            [form](QPrinter &printer) { report::render(printer, form); });
}

void FormPrinting::printDiagnose()
{
    if (!sources_.hasDiagnose())
        return;
    const report::DiagnoseForm form = sources_.diagnose();
    preview(QStringLiteral("诊疗记录"),
            [form](QPrinter &printer) { report::render(printer, form); });
}

void FormPrinting::setUpPrinter()
{
    QPageSetupDialog dialog(printer_.get(), window_);
    dialog.setObjectName(QStringLiteral("dlgPageSetup"));
    dialog.exec();
}

} // namespace tizhi
