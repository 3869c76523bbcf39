#include "uniChineseMedicinePublic.h"

#include "control_kinds.h"
#include "ini_file.h"
#include "rtf.h"
#include "settings_values.h"
#include "uniRichTextProcessFullScreen.h"
#include "viewer_temp_file.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>

#include <cstring>
#include <optional>
#include <string_view>

namespace tizhi {

namespace {

// The key prefix of each slot in "Config.ini"; CheckBox reads Label's keys.
constexpr std::array<const char *, kSlotCount> kSlotKeys = {
    "Form", "ScrollBox", "Button", "Panel",      "Label",
    "Grid", "Edit",      "DBEdit", "DBRichEdit", "Label"};

constexpr std::array<TColor, kSlotCount> kDefaultRColors = {
    clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace,
    clInfoBk,  clInfoBk,  clInfoBk,  clInfoBk,  clBtnFace};
constexpr std::array<TColor, kSlotCount> kDefaultEColors = {
    clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace,
    clWindow,  clWindow,  clWindow,  clWindow,  clBtnFace};

constexpr int kDefaultFontSize = 8;

// Blanks and control characters (every code up to 32) off both ends.
std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

} // namespace

TInterfaceRecord::TInterfaceRecord() = default;

void TInterfaceRecord::CreateFonts()
{
    for (auto &font : fonts_)
        font = std::make_unique<TFont>();
}

void TInterfaceRecord::SetDefaults()
{
    if (!fonts_[0])
        CreateFonts();
    for (auto &font : fonts_) {
        font->Size = kDefaultFontSize;
        font->Color = clWindowText;
    }
    rColors_ = kDefaultRColors;
    eColors_ = kDefaultEColors;
}

bool TInterfaceRecord::LoadInterfaceEnv()
{
    // The program's own folder, never the working folder.
    return LoadInterfaceEnv(QCoreApplication::applicationDirPath());
}

// Larger files are no settings file: all defaults.
static constexpr qint64 kMaxSettingsFile = 16 * 1024 * 1024;

// The file's bytes; empty when there is no file, nothing when it is no
// regular file (a folder, a FIFO that would block the start) or too large.
std::optional<std::string> settingsFileText(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::string(); // a missing file reads as empty: all defaults
    if (!info.isFile() || info.size() > kMaxSettingsFile)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(kMaxSettingsFile + 1);
    if (bytes.size() > kMaxSettingsFile)
        return std::nullopt;
    return bytes.toStdString();
}

bool TInterfaceRecord::LoadInterfaceEnv(const QString &folder)
{
    SetDefaults();
    auto text = settingsFileText(QDir(folder).filePath(QStringLiteral("Config.ini")));
    if (!text)
        return true;
    const IniFile ini(std::move(*text));

    auto read = [&ini](const char *slotKey, const char *what) {
        return trimmed(ini.value("InterfaceEnv", std::string(slotKey) + what).value_or(""));
    };
    std::array<int, kSlotCount> sizes{};
    std::array<TColor, kSlotCount> fontColors{}, rColors{}, eColors{};
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        const auto size = parseSettingInteger(read(kSlotKeys[i], "FontSize"));
        const auto fontColor = parseSettingColor(read(kSlotKeys[i], "FontColor"));
        const auto rColor = parseSettingColor(read(kSlotKeys[i], "RColor"));
        const auto eColor = parseSettingColor(read(kSlotKeys[i], "EColor"));
        if (!size || !fontColor || !rColor || !eColor)
            return true; // defaults stay, for every key
        sizes[i] = *size;
        fontColors[i] = *fontColor;
        rColors[i] = *rColor;
        eColors[i] = *eColor;
    }
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        fonts_[i]->Size = sizes[i];
        fonts_[i]->Color = fontColors[i];
    }
    rColors_ = rColors;
    eColors_ = eColors;
    return true;
}

namespace {

// What ApplyInterfaceEnv does to one kind.
struct ApplyRow {
    const char *className;
    Slot fontSlot;
    std::optional<Slot> backgroundSlot;
};

constexpr std::array<ApplyRow, 17> kApplyRows = {{
    {"TScrollBox", Slot::ScrollBox, Slot::ScrollBox},
    {"TSpeedButton", Slot::Button, std::nullopt},
    {"TBitBtn", Slot::Button, std::nullopt},
    {"TwwDBNavigator", Slot::Button, Slot::Button},
    {"TGroupBox", Slot::Panel, Slot::Panel},
    {"TPanel", Slot::Panel, Slot::Panel},
    {"TLabel", Slot::Label, Slot::Label},
    {"TCheckBox", Slot::CheckBox, Slot::CheckBox},
    {"TListView", Slot::Grid, Slot::Grid},
    {"TwwDBGrid", Slot::Grid, Slot::Grid},
    {"TDateTimePicker", Slot::Edit, Slot::Edit},
    {"TComboBox", Slot::Edit, Slot::Edit},
    {"TEdit", Slot::Edit, Slot::Edit},
    {"TwwDBEdit", Slot::DBEdit, Slot::DBEdit},
    {"TRichEdit", Slot::DBRichEdit, Slot::DBRichEdit},
    {"TwwDBRichEdit", Slot::DBRichEdit, Slot::DBRichEdit},
    {"TMemo", Slot::DBRichEdit, Slot::DBRichEdit},
}};

// What SetFormEditState does to one kind, besides the background.
struct EditStateRow {
    const char *className;
    bool setsReadOnly;
    bool setsEnabled;
};

constexpr std::array<EditStateRow, 13> kEditStateRows = {{
    {"TDateTimePicker", false, true},
    {"TListView", false, true},
    {"TEdit", true, true},
    {"TRichEdit", true, true},
    {"TComboBox", false, true},
    {"TwwDBEdit", true, false},
    {"TwwDBComboBox", true, false},
    {"TwwDBComboDlg", true, true},
    {"TwwDBLookupCombo", true, true},
    {"TwwDBLookupComboDlg", true, true},
    {"TwwDBRichEdit", true, false},
    {"TwwDBMonthCalendar", true, false},
    {"TwwDBDateTimePicker", true, false},
}};

template <class Row, std::size_t N>
const Row *findRow(const std::array<Row, N> &rows, const QObject *object)
{
    const char *name = object->metaObject()->className();
    for (const Row &row : rows) {
        if (std::strcmp(row.className, name) == 0)
            return &row;
    }
    return nullptr;
}

} // namespace

bool ApplyInterfaceEnv(const TInterfaceRecord *record, QWidget *window)
{
    if (!window || !record)
        return true;
    for (QObject *object : window->findChildren<QObject *>()) {
        const ApplyRow *row = findRow(kApplyRows, object);
        IControlKind *control = row ? controlKind(object) : nullptr;
        if (!control)
            continue;
        if (const TFont *font = record->font(row->fontSlot)) {
            control->setFontSize(font->Size);
            control->setFontColor(font->Color);
        }
        if (!row->backgroundSlot)
            continue;
        const TColor background = record->rColor(*row->backgroundSlot);
        control->setColor(background);
        if (auto *scrollBox = qobject_cast<TScrollBox *>(object)) {
            scrollBox->setHorzScrollBarColor(background);
            scrollBox->setVertScrollBarColor(background);
        } else if (auto *grid = qobject_cast<TwwDBGrid *>(object)) {
            if (const TFont *font = record->font(Slot::Grid))
                grid->setTitleFont(font->Size, font->Color);
            grid->setFooterColor(background);
            grid->setFooterCellColor(background);
            grid->setTitleColor(background);
            grid->setIndicatorIconColor(background);
        }
    }
    return true;
}

void SetFormEditState(QWidget *window, bool editable)
{
    if (!window || !InterfaceRecord)
        return;
    const TColor color =
        editable ? InterfaceRecord->GetEditableColor() : InterfaceRecord->GetReadOnlyColor();
    for (QObject *object : window->findChildren<QObject *>()) {
        const EditStateRow *row = findRow(kEditStateRows, object);
        IControlKind *control = row ? controlKind(object) : nullptr;
        if (!control)
            continue;
        control->setColor(color);
        if (row->setsReadOnly)
            control->setReadOnlyFlag(!editable);
        if (row->setsEnabled)
            static_cast<QWidget *>(object)->setEnabled(editable);
    }
}

void ShowRichTextFullScreen(QTextEdit *source)
{
    ShowRichTextFullScreen(source, {QCoreApplication::applicationDirPath(), QDir::tempPath()});
}

void ShowRichTextFullScreen(QTextEdit *source, const QStringList &tempFolders)
{
    if (!source)
        return;
    const bool readOnly = source->isReadOnly();
    if (!frmRichTextProcessFullScreen)
        frmRichTextProcessFullScreen = new TfrmRichTextProcessFullScreen(source->window());
    TfrmRichTextProcessFullScreen *viewer = frmRichTextProcessFullScreen;
    TRichEdit *box = viewer->reFullScreen;
    box->setVisible(true);
    TInterfaceRecord defaults;
    const TInterfaceRecord *settings = InterfaceRecord;
    if (!settings) {
        defaults.SetDefaults();
        settings = &defaults;
    }
    box->setColor(readOnly ? settings->GetReadOnlyColor() : settings->GetEditableColor());
    box->setReadOnlyFlag(readOnly);

    // The copy travels as RTF through a file that lives only for these lines.
    // It is read and set to 16 points in a document no box shows yet, which
    // is many times faster than in the box itself (no layout per change);
    // the box takes the finished document.
    auto *copy = new QTextDocument(box);
    copy->setDefaultFont(box->document()->defaultFont());
    {
        ViewerTempFile file(tempFolders, source->window()->objectName(), source->objectName());
        if (!file.isCreated() || !file.write(rtf::write(*source->document()))) {
            delete copy;
            ShowStandardError(source->window(), file.errorString());
            return;
        }
        if (!RichTextBase::readRtfFile(file.path(), *copy)) {
            delete copy;
            ShowStandardError(source->window(), QStringLiteral("Cannot open file \"%1\".")
                                                    .arg(QDir::toNativeSeparators(file.path())));
            return;
        }
    }
    viewer->setWindowTitle(TfrmRichTextProcessFullScreen::kDesignCaption +
                           QStringLiteral(" [ 广告 ]"));

    // Everything at 16 points, other formatting as stored, caret at the start.
    box->setFontSize(16);
    copy->setDefaultFont(box->font());
    QTextCursor all(copy);
    all.select(QTextCursor::Document);
    QTextCharFormat size;
    size.setFontPointSize(16);
    all.mergeCharFormat(size);
    box->setDocument(copy); // the box's former document goes with it
    box->moveCursor(QTextCursor::Start);

    // Maximised, also where no window manager does it.
    viewer->setGeometry(source->screen()->availableGeometry());
    viewer->setWindowState(viewer->windowState() | Qt::WindowMaximized);
    viewer->exec();
}

void ReleaseFullScreenViewer()
{
    delete frmRichTextProcessFullScreen;
    frmRichTextProcessFullScreen = nullptr;
}

void filterAnswerKey(const QLineEdit *box, QChar &key)
{
    if (key == QChar(8))
        return;
    const bool full = box->text().size() - box->selectedText().size() >= 1;
    if (key < QChar('0') || key > QChar('5') || full)
        key = QChar();
}

namespace {

// QWidget::focusNextPrevChild is protected. Naming it through a class that
// makes it public gives a pointer to QWidget's own member, which is called
// on the real window with its virtual dispatch intact.
struct FocusChain : QWidget {
    using QWidget::focusNextPrevChild;
};

} // namespace

void FocusNextOnEnter(QWidget *window, int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        bool (QWidget::*focusNextPrevChild)(bool) = &FocusChain::focusNextPrevChild;
        (window->*focusNextPrevChild)(true);
    }
}

void ShowStandardError(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, kProgramCaption, message, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("standardErrorBox"));
    box.exec();
}

} // namespace tizhi
