// What every start of the program sets up before its first window: the
// desktop entry and icon, the style, a font face with Chinese glyphs and
// Qt's Chinese translation. The benchmark starts the same way.
#pragma once

class QTranslator;

namespace tizhi {

// Call once, after the application object exists; `translation` must live
// as long as the application.
void setUpApplication(QTranslator &translation);

} // namespace tizhi
