// The main window's commands, kept as typed pointers where they are made:
// the toolbars, menus and buttons show them, and the handlers test them
// ("a command acts only when enabled and visible") without looking any of
// them up by name. Each command's objectName is its component name.
#pragma once

class QAction;
class QObject;

namespace tizhi {

// The six record commands of one page's toolbar: act<prefix>New ...
struct RecordCommands {
    QAction *insert = nullptr;
    QAction *remove = nullptr;
    QAction *edit = nullptr;
    QAction *save = nullptr;
    QAction *cancel = nullptr;
    QAction *refresh = nullptr;
};

struct WindowCommands {
    QAction *actQuit = nullptr;
    QAction *actInsert33 = nullptr;
    QAction *actInsert66 = nullptr;
    QAction *actInsertMD = nullptr;
    QAction *actInsertCR = nullptr;
    QAction *actFind = nullptr;
    QAction *actCMHPrintSet = nullptr;
    QAction *actClearReportTempFile = nullptr;
    QAction *actCMH33ConSch = nullptr;
    QAction *actCMHConvalesceScheme = nullptr;
    QAction *actCalcBMI = nullptr; // shows question 9's prompt
    QAction *actCMHSaveExpandItem = nullptr;
    QAction *actCBISaveExpandItem = nullptr;
    QAction *actMDRSaveExpandItem = nullptr;
    QAction *actMDRPrint = nullptr;
    QAction *actCMH33Print = nullptr;
    QAction *actCMHPrint = nullptr;
    RecordCommands cbi;   // page 0, client base information
    RecordCommands cmh33; // page 1
    RecordCommands cmh;   // page 2
    RecordCommands mdr;   // page 3
    RecordCommands cr;    // page 4
};

// Makes every command as a child of `owner`, disabled: a command without
// behaviour in this edition is shown disabled, and the ones that act are
// enabled where their handler is connected.
WindowCommands createWindowCommands(QObject *owner);

// Whether a command may act: enabled and visible.
bool mayExecute(const QAction *command);

} // namespace tizhi
