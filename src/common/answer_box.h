// What makes a one-character answer box (the 33-item page, the
// questionnaire) beyond its key filter: a paste or a drop keeps one
// character, the first of what was put in, unfiltered (a pasted letter is
// scored and ends the assessment with the error box, as typed text never
// can); and a box entered by the mouse selects its content, as Tab and Enter
// do, so that a typed digit replaces the answer instead of being refused.
// Text the program sets (an item string written into a questionnaire box)
// stays whole.
#pragma once

class QLineEdit;

namespace tizhi {

void setUpAnswerBox(QLineEdit *box);

} // namespace tizhi
