// Routines shared by the windows: the appearance settings read from
// "Config.ini" (TInterfaceRecord and its one instance InterfaceRecord), the
// painting of a window from them (ApplyInterfaceEnv), and the switch of a
// window's data fields between editable and read-only (SetFormEditState).
#pragma once

#include "colors.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QLineEdit;
class QTextEdit;
class QWidget;

namespace tizhi {

// The settings of one kind of control: only size and colour are used.
struct TFont {
    int Size = 0; // points; 0 and below are kept as read
    TColor Color = 0;
};

// Settings slots, in the order of the record's fields. CheckBox has no keys
// of its own: it reads the Label keys a second time.
enum class Slot { Form, ScrollBox, Button, Panel, Label, Grid, Edit, DBEdit, DBRichEdit, CheckBox };
inline constexpr int kSlotCount = 10;

class TInterfaceRecord {
public:
    // No fonts yet and every colour 0: CreateFonts must follow.
    TInterfaceRecord();

    void CreateFonts();
    // Size 8 and window-text colour on every font; button face for the
    // containers, tooltip background (read-only) and window background
    // (editable) for the data kinds.
    void SetDefaults();

    // Fills the record from "Config.ini" in the running program's folder,
    // section "InterfaceEnv". All or nothing: one missing or unreadable key
    // and every value is the default. Always true.
    bool LoadInterfaceEnv();
    // The same from "Config.ini" in `folder`.
    bool LoadInterfaceEnv(const QString &folder);

    TColor GetReadOnlyColor() const { return rColor(Slot::DBEdit); }
    TColor GetEditableColor() const { return eColor(Slot::DBEdit); }

    // Nothing before CreateFonts.
    const TFont *font(Slot slot) const { return fonts_[index(slot)].get(); }
    TColor rColor(Slot slot) const { return rColors_[index(slot)]; }
    TColor eColor(Slot slot) const { return eColors_[index(slot)]; }

private:
    static std::size_t index(Slot slot) { return static_cast<std::size_t>(slot); }

    std::array<std::unique_ptr<TFont>, kSlotCount> fonts_;
    std::array<TColor, kSlotCount> rColors_{};
    std::array<TColor, kSlotCount> eColors_{};
};

// The process-wide settings: created by the main window before any other
// window exists and never freed.
inline TInterfaceRecord *InterfaceRecord = nullptr;

// Paints every control of `window` by its kind from `record`: font size and
// colour, background. Does nothing without a window. Always true.
bool ApplyInterfaceEnv(const TInterfaceRecord *record, QWidget *window);

// Opens every input control of `window` for editing or closes it, with the
// editable or read-only background colour of InterfaceRecord.
void SetFormEditState(QWidget *window, bool editable);

// Shows the content of a rich text box in the full-screen viewer, read-only
// exactly when the box is, and returns when the viewer is closed. A failure
// to pass the content on ends the opening with the standard error box.
void ShowRichTextFullScreen(QTextEdit *source);
// The same, with the folders tried for the temporary file in order.
void ShowRichTextFullScreen(QTextEdit *source, const QStringList &tempFolders);
// Destroys the viewer, if any; every opening starts from a new one.
void ReleaseFullScreenViewer();

// A text of the catalogue (UTF-8) as the windows show it.
inline QString fromCatalogue(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The key filter of every answer box (the 33-item page, the questionnaire):
// the digits 0 to 5 and Backspace, and one character at most, so that a
// digit only replaces a selection. Other characters become QChar().
void filterAnswerKey(const QLineEdit *box, QChar &key);

// The one Enter handler of the windows' data fields: Enter (either key)
// moves the focus from `window`'s current field to the next one in tab
// order; other keys do nothing here.
void FocusNextOnEnter(QWidget *window, int key);

// The program's name as its windows show it.
inline const QString kProgramCaption = QStringLiteral("中医体质辨识");

// The program's one error box for errors no handler expects to recover
// from: a conversion error during an assessment, a file that cannot be
// written. The window stays as it was.
void ShowStandardError(QWidget *parent, const QString &message);

// The bytes of the settings file at `path`: empty when there is none,
// nothing when it is no regular file or too large to be one.
std::optional<std::string> settingsFileText(const QString &path);

} // namespace tizhi
