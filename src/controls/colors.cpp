#include "colors.h"

#include <array>

namespace tizhi {

QPalette::ColorRole systemColorRole(int number)
{
    using R = QPalette::ColorRole;
    static constexpr std::array<R, 31> roles = {
        R::Button,          // 0 clScrollBar
        R::Window,          // 1 clBackground
        R::Highlight,       // 2 clActiveCaption
        R::Midlight,        // 3 clInactiveCaption
        R::Window,          // 4 clMenu
        R::Base,            // 5 clWindow
        R::Shadow,          // 6 clWindowFrame
        R::WindowText,      // 7 clMenuText
        R::Text,            // 8 clWindowText
        R::HighlightedText, // 9 clCaptionText
        R::Window,          // 10 clActiveBorder
        R::Window,          // 11 clInactiveBorder
        R::Dark,            // 12 clAppWorkSpace
        R::Highlight,       // 13 clHighlight
        R::HighlightedText, // 14 clHighlightText
        R::Button,          // 15 clBtnFace
        R::Dark,            // 16 clBtnShadow
        R::PlaceholderText, // 17 clGrayText
        R::ButtonText,      // 18 clBtnText
        R::Text,            // 19 clInactiveCaptionText
        R::Light,           // 20 clBtnHighlight
        R::Shadow,          // 21 cl3DDkShadow
        R::Midlight,        // 22 cl3DLight
        R::ToolTipText,     // 23 clInfoText
        R::ToolTipBase,     // 24 clInfoBk
        R::Window,          // 25 (unused)
        R::Link,            // 26 clHotLight
        R::Highlight,       // 27 clGradientActiveCaption
        R::Midlight,        // 28 clGradientInactiveCaption
        R::Highlight,       // 29 clMenuHighlight
        R::Window,          // 30 clMenuBar
    };
    if (number < 0 || number >= int(roles.size()))
        return R::Window;
    return roles[std::size_t(number)];
}

QColor toQColor(TColor color, const QPalette &palette)
{
    if (color == clDefault)
        return {};
    if (color == clNone)
        return QColor(Qt::transparent);
    if (isSystemColor(color))
        return palette.color(QPalette::Active, systemColorRole(int(color & 0xFF)));
    // Any other value is read as RGB in its low three bytes.
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

} // namespace tizhi
