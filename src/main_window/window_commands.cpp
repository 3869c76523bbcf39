#include "window_commands.h"

#include <QAction>

namespace tizhi {

namespace {

QAction *makeCommand(QObject *owner, const QString &name, const QString &caption,
                     const QString &hint = {})
{
    auto *command = new QAction(caption, owner);
    command->setObjectName(name);
    command->setToolTip(hint.isEmpty() ? caption : hint);
    command->setEnabled(false);
    return command;
}

RecordCommands makeRecordCommands(QObject *owner, const QString &prefix)
{
    const QString act = QStringLiteral("act") + prefix;
    return {
        makeCommand(owner, act + "New", "Insert", "Insert new record"),
        makeCommand(owner, act + "Delete", "Delete", "Delete current record"),
        makeCommand(owner, act + "Edit", "Edit", "Edit current record"),
        makeCommand(owner, act + "Save", "Save", "Post changes of current record"),
        makeCommand(owner, act + "Cancel", "Cancel", "Cancel changes made to current record"),
        makeCommand(owner, act + "Refresh", "Refresh", "Refresh the contents of the dataset"),
    };
}

} // namespace

WindowCommands createWindowCommands(QObject *owner)
{
    WindowCommands c;
    c.actQuit = makeCommand(owner, "actQuit", "Quit");
    c.actInsert33 = makeCommand(owner, "actInsert33", "Insert 33");
    c.actInsert66 = makeCommand(owner, "actInsert66", "Insert 66");
    c.actInsertMD = makeCommand(owner, "actInsertMD", "Insert MD");
    c.actInsertCR = makeCommand(owner, "actInsertCR", "Insert CR");
    c.actFind = makeCommand(owner, "actFind", "Find");
    c.actCMHPrintSet = makeCommand(owner, "actCMHPrintSet", "打印设置");
    c.actClearReportTempFile = makeCommand(owner, "actClearReportTempFile", "清除报表临时文件");
    c.actCMH33ConSch = makeCommand(owner, "actCMH33ConSch", "疗养方案");
    c.actCMHConvalesceScheme = makeCommand(owner, "actCMHConvalesceScheme", "疗养方案");
    c.actCalcBMI = makeCommand(owner, "actCalcBMI", QString());
    c.actCMHSaveExpandItem = makeCommand(owner, "actCMHSaveExpandItem", "保存扩展项目");
    c.actCBISaveExpandItem = makeCommand(owner, "actCBISaveExpandItem", "保存扩展项目");
    c.actMDRSaveExpandItem = makeCommand(owner, "actMDRSaveExpandItem", "保存扩展项目");
    c.cbi = makeRecordCommands(owner, "CBI");
    c.mdr = makeRecordCommands(owner, "MDR");
    c.cr = makeRecordCommands(owner, "CR");
    c.cmh33 = makeRecordCommands(owner, "CMH33");
    c.cmh = makeRecordCommands(owner, "CMH");
    c.actMDRPrint = makeCommand(owner, "actMDRPrint", "打印");
    c.actCMH33Print = makeCommand(owner, "actCMH33Print", "打印");
    c.actCMHPrint = makeCommand(owner, "actCMHPrint", "打印");
    return c;
}

bool mayExecute(const QAction *command)
{
    return command && command->isEnabled() && command->isVisible();
}

} // namespace tizhi
