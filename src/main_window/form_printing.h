// The print commands of the database edition: the test on a test page and
// the diagnosis record on page 3, each drawn by the record form renderer,
// shown in a print preview from which the system's print dialog prints it
// on paper or into a PDF file; and the printer set-up. One printer object
// keeps the user's choices between prints.
#pragma once

#include "record_form.h"

#include <QObject>

#include <functional>
#include <memory>

class QAction;
class QPrinter;
class QWidget;

namespace tizhi {

struct WindowCommands;

class FormPrinting : public QObject {
    Q_OBJECT

public:
    // What is printed, read from the window when a command is given.
    struct Sources {
        std::function<report::TestForm()> test33;
        std::function<report::TestForm()> test66;
        std::function<report::DiagnoseForm()> diagnose;
        std::function<bool()> hasDiagnose; // a diagnosis record is shown
    };

    FormPrinting(QWidget *window, WindowCommands &commands, Sources sources);
    ~FormPrinting() override;

    // The preview's pages drawn for a form, as the preview draws them.
    QPrinter &printer() const { return *printer_; }

    void printTest33();
    void printTest66();
    void printDiagnose();
    void setUpPrinter();

private:
    // Shows the preview of the pages `draw` puts on the printer.
    void preview(const QString &title, const std::function<void(QPrinter &)> &draw);

    QWidget *window_;
    std::unique_ptr<QPrinter> printer_;
    Sources sources_;
    QAction *diagnosePrint_;
};

} // namespace tizhi
