// Reading the values of "Config.ini": integers in decimal or hexadecimal
// ("$FF000018", "0x18", "-16777192") and colours by name ("clInfoBk") or
// number. Each returns nothing for a text it cannot read, which makes the
// whole load fall back to the defaults.
#pragma once

#include "colors.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tizhi {

struct ColorName {
    std::string_view name;
    TColor value;
};

// The 52 colour names, matched without regard to ASCII case.
inline constexpr std::array<ColorName, 52> kColorNames = {{
    {"clBlack", 0x000000u},
    {"clMaroon", 0x000080u},
    {"clGreen", 0x008000u},
    {"clOlive", 0x008080u},
    {"clNavy", 0x800000u},
    {"clPurple", 0x800080u},
    {"clTeal", 0x808000u},
    {"clGray", 0x808080u},
    {"clSilver", 0xC0C0C0u},
    {"clRed", 0x0000FFu},
    {"clLime", 0x00FF00u},
    {"clYellow", 0x00FFFFu},
    {"clBlue", 0xFF0000u},
    {"clFuchsia", 0xFF00FFu},
    {"clAqua", 0xFFFF00u},
    {"clWhite", 0xFFFFFFu},
    {"clMoneyGreen", 0xC0DCC0u},
    {"clSkyBlue", 0xF0CAA6u},
    {"clCream", 0xF0FBFFu},
    {"clMedGray", 0xA4A0A0u},
    {"clActiveBorder", 0xFF00000Au},
    {"clActiveCaption", 0xFF000002u},
    {"clAppWorkSpace", 0xFF00000Cu},
    {"clBackground", 0xFF000001u},
    {"clBtnFace", 0xFF00000Fu},
    {"clBtnHighlight", 0xFF000014u},
    {"clBtnShadow", 0xFF000010u},
    {"clBtnText", 0xFF000012u},
    {"clCaptionText", 0xFF000009u},
    {"clDefault", 0x20000000u},
    {"clGradientActiveCaption", 0xFF00001Bu},
    {"clGradientInactiveCaption", 0xFF00001Cu},
    {"clGrayText", 0xFF000011u},
    {"clHighlight", 0xFF00000Du},
    {"clHighlightText", 0xFF00000Eu},
    {"clHotLight", 0xFF00001Au},
    {"clInactiveBorder", 0xFF00000Bu},
    {"clInactiveCaption", 0xFF000003u},
    {"clInactiveCaptionText", 0xFF000013u},
    {"clInfoBk", 0xFF000018u},
    {"clInfoText", 0xFF000017u},
    {"clMenu", 0xFF000004u},
    {"clMenuBar", 0xFF00001Eu},
    {"clMenuHighlight", 0xFF00001Du},
    {"clMenuText", 0xFF000007u},
    {"clNone", 0x1FFFFFFFu},
    {"clScrollBar", 0xFF000000u},
    {"cl3DDkShadow", 0xFF000015u},
    {"cl3DLight", 0xFF000016u},
    {"clWindow", 0xFF000005u},
    {"clWindowFrame", 0xFF000006u},
    {"clWindowText", 0xFF000008u},
}};

// An optional sign, then decimal digits within the signed 32-bit range, or a
// hexadecimal marker ("$", "x", "X", "0x", "0X") and digits within 32 bits,
// taken as the 32-bit pattern. The text must already be trimmed.
std::optional<std::int32_t> parseSettingInteger(std::string_view text);

// A colour name from kColorNames, else an integer as above.
std::optional<TColor> parseSettingColor(std::string_view text);

} // namespace tizhi
