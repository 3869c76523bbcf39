// What makes the program read in Simplified Chinese beyond its own captions:
// Qt's translation of the standard dialog buttons (是/否/取消/确定) and a
// font face that holds Chinese glyphs.
#pragma once

#include <QString>

class QTranslator;

namespace tizhi {

// Loads Qt's zh_CN translation into `translator` and installs it; false when
// the translation is not installed on this machine.
bool installChineseTranslation(QTranslator &translator);

// Makes the first installed face with Chinese glyphs the application font
// and returns its name; empty when none is installed. The font is hinted as
// fontconfig says for that face.
QString useChineseFont();

// Whether fontconfig's configuration hints `family` at `pointSize`.
bool fontconfigHints(const QString &family, double pointSize);

} // namespace tizhi
