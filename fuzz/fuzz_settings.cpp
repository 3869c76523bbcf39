// "Config.ini" from arbitrary bytes: edited by hand or damaged, it must give
// either its values or the defaults, never a crash or a hang.
#include "uniChineseMedicinePublic.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    {
        QFile file(folder.filePath(QStringLiteral("Config.ini")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    tizhi::TInterfaceRecord record;
    record.CreateFonts();
    record.LoadInterfaceEnv(folder.path());
    // The CheckBox slot always mirrors the Label slot.
    if (record.font(tizhi::Slot::CheckBox)->Size != record.font(tizhi::Slot::Label)->Size ||
        record.rColor(tizhi::Slot::CheckBox) != record.rColor(tizhi::Slot::Label))
        __builtin_trap();
    return 0;
}
