// A forgiving RTF reader: a flat loop over the bytes with an explicit group
// stack, so that deep nesting cannot exhaust the call stack, and every
// number and length bounded, so that no input can make it hang. Control
// words are looked up in one sorted table of word and handler.
#include "code_pages.h"
#include "hex_digit.h"
#include "rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <climits>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tizhi::rtf {

namespace {

enum class Destination { Text, Skip, FontTable, ColorTable };

struct CharState {
    int font = -1;       // \fN, -1 for \deff
    int halfPoints = 24; // \fsN
    int color = 0;       // \cfN, 0 is the default colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hidden = false; // \v
    // Associated (CJK) properties, used while \dbch is in effect.
    bool doubleByte = false;
    int assocFont = -1;
    int assocHalfPoints = -1;
    int assocBold = -1;
    int assocItalic = -1;

    bool operator==(const CharState &) const = default;
};

struct GroupState {
    CharState chars;
    Qt::Alignment alignment = Qt::AlignLeft;
    int unicodeSkip = 1; // \ucN
    Destination destination = Destination::Text;
};

struct FontEntry {
    bool numbered = false; // a \fN gave it its number
    int number = 0;
    int charset = -1;
    int codePage = -1;
    QByteArray nameBytes;
    QString name;
};

constexpr int kMaxDepth = 4096; // deeper groups share their parent's state
// No document has more fonts or colours; entries beyond are ignored, so a
// table of millions of bare ";" costs no memory.
constexpr std::size_t kMaxFonts = 4096;
constexpr std::size_t kMaxColors = 4096;
constexpr int kMaxWordLength = 32;
constexpr int kMaxParameterDigits = 10;
constexpr int kMaxHalfPoints = 3276; // 1638 points

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The bytes that end a run of plain text.
bool isTextEnd(char c)
{
    return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n';
}

// A control word as read: its letters and its number, clamped to an int.
struct ControlWord {
    std::string_view name;
    bool hasParameter = false;
    int parameter = 0;

    // A switch such as \b is on bare or with any number but 0.
    bool on() const { return !hasParameter || parameter != 0; }
};

// Reads the optional signed number after a control word at `i` into `word`;
// digits beyond the tenth are passed over. Returns the position after it.
qsizetype readParameter(const QByteArray &data, qsizetype i, ControlWord &word)
{
    const qsizetype n = data.size();
    bool negative = false;
    if (i < n && data[i] == '-' && i + 1 < n && isDigit(data[i + 1])) {
        negative = true;
        ++i;
    }
    qint64 value = 0;
    for (int digits = 0; i < n && isDigit(data[i]); ++i, ++digits) {
        if (digits < kMaxParameterDigits)
            value = value * 10 + (data[i] - '0');
        word.hasParameter = true;
    }
    word.parameter = int(std::clamp<qint64>(negative ? -value : value, INT_MIN, INT_MAX));
    return i;
}

class Reader {
public:
    Reader(const QByteArray &data, qsizetype start, QTextDocument &document)
        : data_(data), start_(start), document_(document), cursor_(&document)
    {
    }

    void run();

    // What the known control words do: kControlWords says which word calls
    // which handler in which kind of group, and with what argument.
    void unicodeCharacter(const ControlWord &word, int);
    void ignore(const ControlWord &, int) {}
    void enterFontTable(const ControlWord &, int) { state().destination = Destination::FontTable; }
    void enterColorTable(const ControlWord &, int)
    {
        state().destination = Destination::ColorTable;
    }
    void skipGroup(const ControlWord &, int) { state().destination = Destination::Skip; }
    void startFontEntry(const ControlWord &word, int)
    {
        pendingFont_ = FontEntry{};
        pendingFont_.numbered = true;
        pendingFont_.number = word.parameter;
    }
    void setFontCharset(const ControlWord &word, int) { pendingFont_.charset = word.parameter; }
    void setFontCodePage(const ControlWord &word, int) { pendingFont_.codePage = word.parameter; }
    void setColorComponent(const ControlWord &word, int component)
    {
        rgb_[std::size_t(component)] = std::clamp(word.parameter, 0, 255);
        colorComponents_ = true;
    }
    void breakParagraph(const ControlWord &, int) { endParagraph(); }
    void insertSymbol(const ControlWord &, int symbol) { character(QString(QChar(symbol))); }
    void setAnsiCodePage(const ControlWord &word, int)
    {
        if (word.parameter > 0)
            ansiCodePage_ = word.parameter;
    }
    void setDefaultFont(const ControlWord &word, int) { defaultFont_ = word.parameter; }
    void resetCharacters(const ControlWord &, int) { chars() = CharState{}; }
    void setAlignment(const ControlWord &, int alignment)
    {
        state().alignment = Qt::Alignment::fromInt(alignment);
    }
    void setFont(const ControlWord &word, int) { chars().font = word.parameter; }
    void setFontSize(const ControlWord &word, int)
    {
        if (word.hasParameter && word.parameter > 0)
            chars().halfPoints = std::min(word.parameter, kMaxHalfPoints);
    }
    void setColor(const ControlWord &word, int) { chars().color = word.parameter; }
    void setBold(const ControlWord &word, int) { chars().bold = word.on(); }
    void setItalic(const ControlWord &word, int) { chars().italic = word.on(); }
    void setUnderline(const ControlWord &word, int) { chars().underline = word.on(); }
    void endUnderline(const ControlWord &, int) { chars().underline = false; }
    void setHidden(const ControlWord &word, int) { chars().hidden = word.on(); }
    void setUnicodeSkip(const ControlWord &word, int)
    {
        state().unicodeSkip = std::clamp(word.parameter, 0, 16);
    }
    void setDoubleByte(const ControlWord &, int on) { chars().doubleByte = on != 0; }
    void setAssocFont(const ControlWord &word, int) { chars().assocFont = word.parameter; }
    void setAssocFontSize(const ControlWord &word, int)
    {
        if (word.hasParameter && word.parameter > 0)
            chars().assocHalfPoints = std::min(word.parameter, kMaxHalfPoints);
    }
    void setAssocBold(const ControlWord &word, int) { chars().assocBold = word.on() ? 1 : 0; }
    void setAssocItalic(const ControlWord &word, int) { chars().assocItalic = word.on() ? 1 : 0; }

private:
    GroupState &state() { return stack_.back(); }
    CharState &chars() { return stack_.back().chars; }

    // The steps of run(). Each read* is given the position of what it reads
    // and returns the position after it.
    void readAll();
    qsizetype readControl(qsizetype i);
    qsizetype readControlWord(qsizetype i);
    qsizetype readHexEscape(qsizetype i);
    qsizetype readText(qsizetype i);
    void finishDocument();

    void openGroup();
    void closeGroup();
    void controlWord(const ControlWord &word);
    void controlSymbol(char symbol);
    void textByte(char byte);
    void character(const QString &text);
    void flushBytes();
    void flushText();
    void endParagraph();
    void openPendingParagraphs();
    void setBlockAlignment(Qt::Alignment alignment);
    QTextCharFormat currentFormat();
    int codePageOfCurrentFont();
    const FontEntry *font(int number) const;
    // Ends the font table entry being read ("; " or the table's end).
    void finishFont();
    bool consumeFallback(); // true when the token is a \uN fallback to skip

    const QByteArray &data_;
    qsizetype start_;
    QTextDocument &document_;
    QTextCursor cursor_;
    std::vector<GroupState> stack_;
    int overflowDepth_ = 0; // groups beyond kMaxDepth, sharing the top state

    int ansiCodePage_ = 1252;
    int defaultFont_ = 0;
    std::unordered_map<int, FontEntry> fonts_; // by number, the first entry counts
    std::vector<QColor> colors_;               // entry 0, usually empty, is the default colour
    std::array<int, 3> rgb_{};                 // \red, \green, \blue of the entry being read
    bool colorComponents_ = false;
    FontEntry pendingFont_;

    std::string pendingBytes_; // \'hh bytes and text bytes decoded together
    QString pendingText_;
    QTextCharFormat pendingFormat_;
    // The formats of the last few character states asked for (a text often
    // alternates between two or three); fonts and colours defined later
    // make them stale.
    std::vector<std::pair<CharState, QTextCharFormat>> formats_;
    int pendingParagraphs_ = 0; // ended by \par, the next not yet opened
    Qt::Alignment lastAlignment_ = Qt::AlignLeft;
    char16_t highSurrogate_ = 0;
    int fallbackToSkip_ = 0;
    bool pendingIgnorable_ = false; // after \*
};

// Where a control word has its meaning.
enum class Scope {
    Always,     // in every group, skipped ones too: \u counts its fallback there
    Group,      // in every group not skipped, before \* is looked at: destinations
    Text,       // in the document's text
    FontTable,  // in the font table
    ColorTable, // in the colour table
};

Scope scopeOf(Destination destination)
{
    switch (destination) {
    case Destination::FontTable:
        return Scope::FontTable;
    case Destination::ColorTable:
        return Scope::ColorTable;
    default:
        return Scope::Text;
    }
}

struct WordRow {
    std::string_view word;
    Scope scope;
    void (Reader::*handler)(const ControlWord &, int);
    int argument = 0;
};

// Every control word the reader acts on, sorted by word and then scope so
// that a word is found by binary search. A word may mean one thing in the
// font table and another in the text (\f). Every other word is formatting
// we do not keep.
constexpr std::array<WordRow, 95> kControlWords = {{
    {"ab", Scope::Text, &Reader::setAssocBold},
    {"af", Scope::Text, &Reader::setAssocFont},
    {"afs", Scope::Text, &Reader::setAssocFontSize},
    {"ai", Scope::Text, &Reader::setAssocItalic},
    {"annotation", Scope::Group, &Reader::skipGroup},
    {"ansicpg", Scope::Text, &Reader::setAnsiCodePage},
    {"atnauthor", Scope::Group, &Reader::skipGroup},
    {"atnid", Scope::Group, &Reader::skipGroup},
    {"b", Scope::Text, &Reader::setBold},
    {"bkmkend", Scope::Group, &Reader::skipGroup},
    {"bkmkstart", Scope::Group, &Reader::skipGroup},
    {"blipuid", Scope::Group, &Reader::skipGroup},
    {"blue", Scope::ColorTable, &Reader::setColorComponent, 2},
    {"bullet", Scope::Text, &Reader::insertSymbol, 0x2022},
    {"cell", Scope::Text, &Reader::insertSymbol, '\t'},
    {"cf", Scope::Text, &Reader::setColor},
    {"colorschememapping", Scope::Group, &Reader::skipGroup},
    {"colortbl", Scope::Group, &Reader::enterColorTable},
    {"comment", Scope::Group, &Reader::skipGroup},
    {"cpg", Scope::FontTable, &Reader::setFontCodePage},
    {"datastore", Scope::Group, &Reader::skipGroup},
    {"dbch", Scope::Text, &Reader::setDoubleByte, 1},
    {"deff", Scope::Text, &Reader::setDefaultFont},
    {"docvar", Scope::Group, &Reader::skipGroup},
    {"emdash", Scope::Text, &Reader::insertSymbol, 0x2014},
    {"endash", Scope::Text, &Reader::insertSymbol, 0x2013},
    {"f", Scope::Text, &Reader::setFont},
    {"f", Scope::FontTable, &Reader::startFontEntry},
    {"fcharset", Scope::FontTable, &Reader::setFontCharset},
    {"filetbl", Scope::Group, &Reader::skipGroup},
    {"fldinst", Scope::Group, &Reader::skipGroup},
    {"fonttbl", Scope::Group, &Reader::enterFontTable},
    {"footer", Scope::Group, &Reader::skipGroup},
    {"footerf", Scope::Group, &Reader::skipGroup},
    {"footerl", Scope::Group, &Reader::skipGroup},
    {"footerr", Scope::Group, &Reader::skipGroup},
    {"footnote", Scope::Group, &Reader::skipGroup},
    {"fs", Scope::Text, &Reader::setFontSize},
    {"generator", Scope::Group, &Reader::skipGroup},
    {"green", Scope::ColorTable, &Reader::setColorComponent, 1},
    {"header", Scope::Group, &Reader::skipGroup},
    {"headerf", Scope::Group, &Reader::skipGroup},
    {"headerl", Scope::Group, &Reader::skipGroup},
    {"headerr", Scope::Group, &Reader::skipGroup},
    {"hich", Scope::Text, &Reader::setDoubleByte, 0},
    {"i", Scope::Text, &Reader::setItalic},
    {"info", Scope::Group, &Reader::skipGroup},
    {"latentstyles", Scope::Group, &Reader::skipGroup},
    {"ldblquote", Scope::Text, &Reader::insertSymbol, 0x201C},
    {"line", Scope::Text, &Reader::insertSymbol, QChar::LineSeparator},
    {"listoverridetable", Scope::Group, &Reader::skipGroup},
    {"listtable", Scope::Group, &Reader::skipGroup},
    {"loch", Scope::Text, &Reader::setDoubleByte, 0},
    {"lquote", Scope::Text, &Reader::insertSymbol, 0x2018},
    {"mmathPr", Scope::Group, &Reader::skipGroup},
    {"nonshppict", Scope::Group, &Reader::skipGroup},
    {"object", Scope::Group, &Reader::skipGroup},
    {"page", Scope::Text, &Reader::breakParagraph},
    {"par", Scope::Text, &Reader::breakParagraph},
    {"pard", Scope::Text, &Reader::setAlignment, Qt::AlignLeft},
    {"pgdsctbl", Scope::Group, &Reader::skipGroup},
    {"pict", Scope::Group, &Reader::skipGroup},
    {"plain", Scope::Text, &Reader::resetCharacters},
    {"private", Scope::Group, &Reader::skipGroup},
    {"qc", Scope::Text, &Reader::setAlignment, Qt::AlignHCenter},
    {"qj", Scope::Text, &Reader::setAlignment, Qt::AlignJustify},
    {"ql", Scope::Text, &Reader::setAlignment, Qt::AlignLeft},
    {"qr", Scope::Text, &Reader::setAlignment, Qt::AlignRight},
    {"rdblquote", Scope::Text, &Reader::insertSymbol, 0x201D},
    {"red", Scope::ColorTable, &Reader::setColorComponent, 0},
    {"revtbl", Scope::Group, &Reader::skipGroup},
    {"row", Scope::Text, &Reader::breakParagraph},
    {"rquote", Scope::Text, &Reader::insertSymbol, 0x2019},
    {"rsidtbl", Scope::Group, &Reader::skipGroup},
    {"rtf", Scope::Group, &Reader::ignore},
    {"sect", Scope::Text, &Reader::breakParagraph},
    {"shp", Scope::Group, &Reader::skipGroup},
    {"shppict", Scope::Group, &Reader::skipGroup},
    {"stylesheet", Scope::Group, &Reader::skipGroup},
    {"tab", Scope::Text, &Reader::insertSymbol, '\t'},
    {"tc", Scope::Group, &Reader::skipGroup},
    {"template", Scope::Group, &Reader::skipGroup},
    {"themedata", Scope::Group, &Reader::skipGroup},
    {"txe", Scope::Group, &Reader::skipGroup},
    {"u", Scope::Always, &Reader::unicodeCharacter},
    {"uc", Scope::Text, &Reader::setUnicodeSkip},
    {"ud", Scope::Group, &Reader::ignore},
    {"ul", Scope::Text, &Reader::setUnderline},
    {"ulnone", Scope::Text, &Reader::endUnderline},
    {"upr", Scope::Group, &Reader::skipGroup},
    {"userprops", Scope::Group, &Reader::skipGroup},
    {"v", Scope::Text, &Reader::setHidden},
    {"wgrffmtfilter", Scope::Group, &Reader::skipGroup},
    {"xe", Scope::Group, &Reader::skipGroup},
    {"xmlnstbl", Scope::Group, &Reader::skipGroup},
}};

constexpr bool sortedByWordAndScope(std::span<const WordRow> rows)
{
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const WordRow &a = rows[i - 1];
        const WordRow &b = rows[i];
        if (a.word > b.word || (a.word == b.word && a.scope >= b.scope))
            return false;
    }
    return true;
}
static_assert(sortedByWordAndScope(kControlWords));

// The rows of `word`: none, or one for each scope where it means something.
std::span<const WordRow> rowsOf(std::string_view word)
{
    const auto first =
        std::lower_bound(kControlWords.begin(), kControlWords.end(), word,
                         [](const WordRow &row, std::string_view w) { return row.word < w; });
    auto last = first;
    while (last != kControlWords.end() && last->word == word)
        ++last;
    return {first, last};
}

// Calls the handler the word has in `scope`; false when it has none there.
bool callHandler(Reader &reader, std::span<const WordRow> rows, Scope scope,
                 const ControlWord &word)
{
    for (const WordRow &row : rows) {
        if (row.scope == scope) {
            (reader.*row.handler)(word, row.argument);
            return true;
        }
    }
    return false;
}

void Reader::run()
{
    document_.clear();
    // One edit block without undo: the layout follows once at the end, not
    // after every run, which would make long single paragraphs quadratic.
    const bool undo = document_.isUndoRedoEnabled();
    document_.setUndoRedoEnabled(false);
    cursor_ = QTextCursor(&document_);
    cursor_.beginEditBlock();
    stack_.assign(1, GroupState{});
    readAll();
    finishDocument();
    cursor_.endEditBlock();
    document_.setUndoRedoEnabled(undo);
}

void Reader::readAll()
{
    const qsizetype n = data_.size();
    qsizetype i = start_;
    while (i < n) {
        const char c = data_[i];
        if (c == '{' || c == '}') {
            ++i;
            fallbackToSkip_ = 0; // a brace ends a \u fallback
            if (c == '{')
                openGroup();
            else
                closeGroup();
        } else if (c == '\\') {
            i = readControl(i + 1);
        } else if (c == '\r' || c == '\n') {
            ++i; // line ends in the file are no text; pending bytes stay pending
        } else {
            i = readText(i);
        }
    }
}

// What follows a backslash: a control word, a hex escape, an escaped line
// end (a paragraph) or a control symbol.
qsizetype Reader::readControl(qsizetype i)
{
    if (i >= data_.size())
        return i;
    const char next = data_[i];
    if (isLetter(next))
        return readControlWord(i);
    if (next == '\'')
        return readHexEscape(i + 1);
    if (!consumeFallback()) {
        if (next == '\r' || next == '\n')
            controlWord(ControlWord{.name = "par"});
        else
            controlSymbol(next);
    }
    return i + 1;
}

qsizetype Reader::readControlWord(qsizetype i)
{
    const qsizetype n = data_.size();
    const qsizetype start = i;
    while (i < n && isLetter(data_[i]) && i - start < kMaxWordLength)
        ++i;
    ControlWord word{.name = std::string_view(data_.constData() + start, std::size_t(i - start))};
    while (i < n && isLetter(data_[i])) // an over-long word is cut, the rest dropped
        ++i;
    i = readParameter(data_, i, word);
    if (i < n && data_[i] == ' ')
        ++i;
    if (word.name == "bin" && word.hasParameter) {
        // N raw bytes follow, to be skipped even inside skipped groups.
        flushBytes();
        return i + std::clamp<qint64>(word.parameter, 0, n - i);
    }
    if (!consumeFallback())
        controlWord(word);
    return i;
}

// The two hex digits after \'.
qsizetype Reader::readHexEscape(qsizetype i)
{
    const qsizetype n = data_.size();
    const int high = i < n ? hexDigitValue(data_[i]) : -1;
    const int low = i + 1 < n ? hexDigitValue(data_[i + 1]) : -1;
    if (high < 0 || low < 0)
        return high >= 0 ? i + 1 : i; // a broken escape: drop it and read on
    if (!consumeFallback() && state().destination != Destination::Skip)
        pendingBytes_ += char(high * 16 + low);
    return i + 2;
}

qsizetype Reader::readText(qsizetype i)
{
    if (fallbackToSkip_ > 0 || state().destination != Destination::Text) {
        if (!consumeFallback())
            textByte(data_[i]);
        return i + 1;
    }
    // A run of plain text bytes, taken whole.
    const qsizetype n = data_.size();
    qsizetype end = i + 1;
    while (end < n && !isTextEnd(data_[end]))
        ++end;
    pendingBytes_.append(data_.constData() + i, std::size_t(end - i));
    return end;
}

void Reader::finishDocument()
{
    flushBytes();
    flushText();
    if (pendingParagraphs_ == 0) {
        setBlockAlignment(lastAlignment_); // a last paragraph without \par
    } else {
        // The last \par of a document ends its last paragraph; it opens none.
        --pendingParagraphs_;
        openPendingParagraphs();
    }
}

bool Reader::consumeFallback()
{
    if (fallbackToSkip_ <= 0)
        return false;
    --fallbackToSkip_;
    return true;
}

void Reader::openGroup()
{
    flushBytes();
    if (int(stack_.size()) >= kMaxDepth) {
        ++overflowDepth_;
        return;
    }
    stack_.push_back(stack_.back());
}

void Reader::closeGroup()
{
    flushBytes();
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.size() <= 1)
        return; // unbalanced: more closing braces than opening ones
    const Destination closing = stack_.back().destination;
    stack_.pop_back();
    if (closing == Destination::FontTable && state().destination != Destination::FontTable &&
        !pendingFont_.nameBytes.isEmpty())
        finishFont(); // a last entry without its ";"
}

void Reader::finishFont()
{
    // Entries without a number say nothing a run could refer to.
    if (pendingFont_.numbered && fonts_.size() < kMaxFonts &&
        !fonts_.contains(pendingFont_.number)) {
        pendingFont_.name =
            decodeCodePage(pendingFont_.codePage > 0
                               ? pendingFont_.codePage
                               : codePageOfCharset(pendingFont_.charset, ansiCodePage_),
                           pendingFont_.nameBytes)
                .trimmed();
        fonts_.emplace(pendingFont_.number, std::move(pendingFont_));
        formats_.clear();
    }
    pendingFont_ = FontEntry{};
}

const FontEntry *Reader::font(int number) const
{
    const auto found = fonts_.find(number);
    return found == fonts_.end() ? nullptr : &found->second;
}

int Reader::codePageOfCurrentFont()
{
    const CharState &chars = state().chars;
    int number = chars.font >= 0 ? chars.font : defaultFont_;
    if (chars.doubleByte && chars.assocFont >= 0)
        number = chars.assocFont;
    if (const FontEntry *entry = font(number)) {
        if (entry->codePage > 0)
            return entry->codePage;
        if (entry->charset >= 0)
            return codePageOfCharset(entry->charset, ansiCodePage_);
    }
    return ansiCodePage_;
}

void Reader::textByte(char byte)
{
    switch (state().destination) {
    case Destination::Skip:
        return;
    case Destination::FontTable:
        flushBytes();
        if (byte == ';') {
            finishFont();
        } else if (pendingFont_.nameBytes.size() < 256) {
            pendingFont_.nameBytes += byte;
        }
        return;
    case Destination::ColorTable:
        if (byte == ';') {
            if (colors_.size() < kMaxColors)
                colors_.push_back(colorComponents_ ? QColor(rgb_[0], rgb_[1], rgb_[2]) : QColor());
            formats_.clear();
            rgb_ = {};
            colorComponents_ = false;
        }
        return;
    case Destination::Text:
        pendingBytes_ += byte;
        return;
    }
}

void Reader::flushBytes()
{
    if (pendingBytes_.empty())
        return;
    std::string bytes;
    bytes.swap(pendingBytes_);
    if (state().destination == Destination::FontTable) {
        pendingFont_.nameBytes +=
            QByteArrayView(bytes).first(std::min<qsizetype>(256, qsizetype(bytes.size())));
        return;
    }
    if (state().destination != Destination::Text)
        return;
    character(decodeCodePage(codePageOfCurrentFont(), bytes));
}

QTextCharFormat Reader::currentFormat()
{
    const CharState &chars = state().chars;
    for (const auto &[known, format] : formats_)
        if (known == chars)
            return format;
    QTextCharFormat format;
    int number = chars.font >= 0 ? chars.font : defaultFont_;
    int halfPoints = chars.halfPoints;
    bool bold = chars.bold;
    bool italic = chars.italic;
    if (chars.doubleByte) {
        if (chars.assocFont >= 0)
            number = chars.assocFont;
        if (chars.assocHalfPoints > 0)
            halfPoints = chars.assocHalfPoints;
        if (chars.assocBold >= 0)
            bold = chars.assocBold != 0;
        if (chars.assocItalic >= 0)
            italic = chars.assocItalic != 0;
    }
    if (const FontEntry *entry = font(number); entry && !entry->name.isEmpty())
        format.setFontFamilies(QStringList{entry->name});
    format.setFontPointSize(std::clamp(halfPoints, 1, kMaxHalfPoints) / 2.0);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    format.setFontUnderline(chars.underline);
    if (chars.color > 0 && chars.color < int(colors_.size()) && colors_[chars.color].isValid())
        format.setForeground(colors_[chars.color]);
    if (formats_.size() >= 16)
        formats_.erase(formats_.begin());
    formats_.emplace_back(chars, format);
    return format;
}

void Reader::character(const QString &text)
{
    if (text.isEmpty() || state().destination != Destination::Text || state().chars.hidden)
        return;
    if (!QChar::isLowSurrogate(text.front().unicode()))
        highSurrogate_ = 0; // a high surrogate not followed by its pair is dropped
    openPendingParagraphs();
    const QTextCharFormat format = currentFormat();
    if (!pendingText_.isEmpty() && format != pendingFormat_)
        flushText();
    pendingFormat_ = format;
    pendingText_ += text;
    lastAlignment_ = state().alignment;
}

void Reader::flushText()
{
    if (pendingText_.isEmpty())
        return;
    cursor_.insertText(pendingText_, pendingFormat_);
    pendingText_.clear();
}

void Reader::setBlockAlignment(Qt::Alignment alignment)
{
    QTextBlockFormat block = cursor_.blockFormat();
    block.setAlignment(alignment);
    cursor_.setBlockFormat(block);
}

void Reader::endParagraph()
{
    flushText();
    if (pendingParagraphs_ == 0)
        setBlockAlignment(state().alignment);
    ++pendingParagraphs_;
}

void Reader::openPendingParagraphs()
{
    if (pendingParagraphs_ == 0)
        return;
    flushText();
    for (; pendingParagraphs_ > 0; --pendingParagraphs_)
        cursor_.insertBlock(QTextBlockFormat(), QTextCharFormat());
}

void Reader::controlSymbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textByte(symbol);
        break;
    case '~':
        flushBytes();
        character(QString(QChar(0x00A0)));
        break;
    case '_':
        flushBytes();
        character(QString(QChar(0x2011)));
        break;
    case '*':
        // An ignorable destination follows: skip it unless we know it.
        // Known ones (\*\ud) are few; everything else goes.
        pendingIgnorable_ = true;
        break;
    default:
        break; // \- optional hyphen, \: index subentry, others: nothing
    }
}

void Reader::controlWord(const ControlWord &word)
{
    flushBytes();
    const bool ignorable = std::exchange(pendingIgnorable_, false);
    const std::span<const WordRow> rows = rowsOf(word.name);
    if (callHandler(*this, rows, Scope::Always, word))
        return;
    const Destination destination = state().destination;
    if (destination == Destination::Skip || callHandler(*this, rows, Scope::Group, word))
        return;
    if (ignorable) {
        // An ignorable destination we do not know: its group is no text.
        state().destination = Destination::Skip;
        return;
    }
    callHandler(*this, rows, scopeOf(destination), word);
}

void Reader::unicodeCharacter(const ControlWord &word, int)
{
    int value = word.parameter < 0 ? word.parameter + 65536 : word.parameter;
    if (value < 0 || value > 0xFFFF)
        value = 0xFFFD;
    const char16_t u = char16_t(value);
    const bool fontTable = state().destination == Destination::FontTable;
    fallbackToSkip_ = state().unicodeSkip;
    if (QChar::isHighSurrogate(u)) {
        highSurrogate_ = u;
        return;
    }
    if (QChar::isLowSurrogate(u) && highSurrogate_) {
        const QChar pair[2] = {QChar(highSurrogate_), QChar(u)};
        highSurrogate_ = 0;
        if (!fontTable)
            character(QString(pair, 2));
        return;
    }
    highSurrogate_ = 0;
    if (QChar::isSurrogate(u))
        return; // a lone half of a pair
    if (fontTable)
        pendingFont_.nameBytes += QString(QChar(u)).toUtf8(); // rare: keep something
    else
        character(QString(QChar(u)));
}

} // namespace

bool read(const QByteArray &data, QTextDocument &document)
{
    qsizetype start = 0;
    while (start < data.size() && static_cast<unsigned char>(data[start]) <= ' ')
        ++start;
    if (!data.mid(start, 5).startsWith("{\\rtf"))
        return false;
    Reader reader(data, start, document);
    reader.run();
    return true;
}

} // namespace tizhi::rtf
