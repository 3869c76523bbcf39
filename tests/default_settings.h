// The appearance settings a window test works with: every default, as with
// no Config.ini beside the program.
#pragma once

#include "uniChineseMedicinePublic.h"

namespace tizhi::test {

inline void useDefaultSettings()
{
    static TInterfaceRecord record;
    record.CreateFonts();
    record.SetDefaults();
    InterfaceRecord = &record;
}

} // namespace tizhi::test
