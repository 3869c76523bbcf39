// Colours as the program keeps them: 32-bit values, 0x00BBGGRR for an RGB
// colour, 0xFF0000nn for system colour nn, and the two special values clNone
// and clDefault. They become QColor only when a widget is painted, so that
// settings, controls and tests all speak of the same numbers.
#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>

namespace tizhi {

using TColor = std::uint32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clScrollBar = 0xFF000000;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clInfoBk = 0xFF000018;
inline constexpr TColor clRed = 0x000000FF;
inline constexpr TColor clYellow = 0x0000FFFF;

inline constexpr bool isSystemColor(TColor color)
{
    return (color & 0xFFFFFF00u) == 0xFF000000u;
}

// The palette role that stands for system colour number nn under Qt: window
// background is Base, tooltip background ToolTipBase, button face Button, and
// so on, so that the usual look (white edit boxes, pale yellow read-only
// fields under Fusion) follows the desktop's palette.
QPalette::ColorRole systemColorRole(int number);

// The colour to paint; an invalid QColor for clDefault ("whatever the
// control has by default") and a transparent one for clNone.
QColor toQColor(TColor color, const QPalette &palette);

} // namespace tizhi
