// The record forms as the command-line programs write them in bulk. The
// drawing needs Qt GUI, which tizhi-score and tizhi-records load only when
// forms are asked for: it lives in the module tizhi-forms, loaded at run
// time from the program's private folder, and this header is all the two
// sides share. Qt Core and the assessment only.
#pragma once

#include "assessment.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QCoreApplication;

namespace tizhi::forms {

// One form's content: the client's identity, the test's header, its
// answers and its scored record. Any text may be empty.
struct FormContent {
    bool form33 = true;
    QDateTime testTime; // invalid when not known
    QString name;
    QString sex;
    QString birth; // a birth date, or an age
    QString identNo;
    QString cardNo;
    QString doctor;
    QString site;
    Answers33 answers; // the 33-item form only
    AssessmentRecord record;
};

// Raised whenever the structures above or the entry points change, so that
// a program never calls a module of another build.
inline constexpr int kModuleVersion = 1;

struct Module {
    int version;
    // The process's application object, made for drawing without a
    // display; once, before any other Qt object, by a process without one.
    QCoreApplication *(*makeApplication)();
    // The form as the bytes of a PDF file into `pdf`. Empty on success,
    // else why not.
    QString (*renderPdf)(const FormContent &form, QByteArray &pdf);
};

// The module's one exported symbol, a function of this type, looked up by
// this name.
inline constexpr const char *kEntryPoint = "tizhi_forms_module";
using EntryPoint = const Module *();

} // namespace tizhi::forms
