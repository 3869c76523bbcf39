// The fonts the record forms are set in.
//
// Qt writes into every PDF the glyphs the document draws, and to give each
// glyph its character back (for searching and copying) it looks up every
// code point of the font's plane, comparing each found glyph with every glyph
// drawn. With the 28 000 characters of an installed Chinese face and the 450
// glyphs of a form, that alone took a quarter of a form's time. The forms are
// therefore set in a cut-down copy of the installed face, made once per
// process and registered with the program only: its glyphs for the form's
// own text and for the characters most used in names and places. Any other
// character is taken from the installed face, as a second font of that form.
#pragma once

#include <QString>
#include <QStringList>

namespace tizhi::report {

// The cut-down face first, then the installed face it was cut from; only the
// installed face when no copy could be made.
QStringList formFontFamilies();

// The characters the forms draw besides their values: every caption,
// question and verdict. Defined with the forms.
QString formCharacters();

} // namespace tizhi::report
