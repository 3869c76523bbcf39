// The printed record form of a constitution test, and of a diagnosis record:
// drawn with QPainter on any paged device, a QPdfWriter for files and a
// QPrinter for printers, so that the window, its print preview and the
// command line print the same form. A4 portrait, text of at least 9 points,
// real text with its fonts embedded. No widgets.
#pragma once

#include "test_records.h"

#include <QList>
#include <QPair>
#include <QString>

class QIODevice;
class QPagedPaintDevice;

namespace tizhi::report {

// The client as the form's header names them; any may be empty.
struct ClientIdentity {
    QString name;
    QString sex;
    QString birth; // birth date, or age
    QString identNo;
    QString cardNo; // 信息卡号, the form's number
};

struct TestForm {
    ClientIdentity client;
    StoredTest test;
    bool unsaved = false; // marked 未保存
};

struct DiagnoseForm {
    ClientIdentity client;
    QDateTime treatTime;
    QString doctor;
    QString site;
    // The record's texts under their captions, in the page's order.
    QList<QPair<QString, QString>> sections;
    bool unsaved = false;
};

// Draws the form on `device`, a new page when one is full. Returns the
// number of pages drawn; 0 when the device could not be painted on.
int render(QPagedPaintDevice &device, const TestForm &form);
int render(QPagedPaintDevice &device, const DiagnoseForm &form);

// The form as a PDF file at `path` (A4). Empty on success, the cause
// otherwise.
QString writePdf(const QString &path, const TestForm &form);
// The same into `device`, open for writing.
QString writePdf(QIODevice &device, const TestForm &form);

// The family the forms are set in: one with Chinese glyphs.
QString formFontFamily();

} // namespace tizhi::report
