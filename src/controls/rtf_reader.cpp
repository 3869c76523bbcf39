// A forgiving RTF reader: a flat loop over the bytes with an explicit group
// stack, so that deep nesting cannot exhaust the call stack, and every
// number and length bounded, so that no input can make it hang.
#include "code_pages.h"
#include "hex_digit.h"
#include "rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
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

// Destinations whose content is not text of the document.
bool isSkippedDestination(std::string_view word)
{
    static constexpr std::string_view words[] = {"stylesheet",
                                                 "info",
                                                 "pict",
                                                 "object",
                                                 "header",
                                                 "headerl",
                                                 "headerr",
                                                 "headerf",
                                                 "footer",
                                                 "footerl",
                                                 "footerr",
                                                 "footerf",
                                                 "footnote",
                                                 "fldinst",
                                                 "listtable",
                                                 "listoverridetable",
                                                 "pgdsctbl",
                                                 "themedata",
                                                 "colorschememapping",
                                                 "datastore",
                                                 "latentstyles",
                                                 "xmlnstbl",
                                                 "rsidtbl",
                                                 "generator",
                                                 "mmathPr",
                                                 "filetbl",
                                                 "revtbl",
                                                 "bkmkstart",
                                                 "bkmkend",
                                                 "annotation",
                                                 "atnid",
                                                 "atnauthor",
                                                 "comment",
                                                 "private",
                                                 "userprops",
                                                 "docvar",
                                                 "shppict",
                                                 "nonshppict",
                                                 "shp",
                                                 "upr",
                                                 "xe",
                                                 "tc",
                                                 "txe",
                                                 "template",
                                                 "wgrffmtfilter",
                                                 "blipuid"};
    return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

// The bytes that end a run of plain text.
bool isTextEnd(char c)
{
    return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n';
}

// Words that stand for one typographic character.
char16_t symbolOfWord(std::string_view word)
{
    static constexpr std::pair<std::string_view, char16_t> symbols[] = {
        {"emdash", 0x2014}, {"endash", 0x2013},    {"bullet", 0x2022},   {"lquote", 0x2018},
        {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D}};
    for (const auto &[name, symbol] : symbols)
        if (word == name)
            return symbol;
    return 0;
}

class Reader {
public:
    Reader(const QByteArray &data, qsizetype start, QTextDocument &document)
        : data_(data), start_(start), document_(document), cursor_(&document)
    {
    }

    void run();

private:
    GroupState &state() { return stack_.back(); }

    void openGroup();
    void closeGroup();
    void controlWord(std::string_view word, bool hasParameter, int parameter);
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
    int red_ = 0, green_ = 0, blue_ = 0;
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

void Reader::run()
{
    document_.clear();
    // One edit block without undo: the layout follows once at the end, not
    // after every run, which would make long single paragraphs quadratic.
    const bool undo = document_.isUndoRedoEnabled();
    document_.setUndoRedoEnabled(false);
    cursor_ = QTextCursor(&document_);
    cursor_.beginEditBlock();
    stack_.clear();
    stack_.push_back(GroupState{});
    const qsizetype n = data_.size();
    qsizetype i = start_;
    while (i < n) {
        const char c = data_[i];
        if (c == '{') {
            ++i;
            if (consumeFallback())
                fallbackToSkip_ = 0; // a brace ends the fallback
            openGroup();
        } else if (c == '}') {
            ++i;
            fallbackToSkip_ = 0;
            closeGroup();
        } else if (c == '\\') {
            ++i;
            if (i >= n)
                break;
            const char next = data_[i];
            if (isLetter(next)) {
                qsizetype start = i;
                while (i < n && isLetter(data_[i]) && i - start < kMaxWordLength)
                    ++i;
                const std::string_view word(data_.constData() + start, std::size_t(i - start));
                while (i < n && isLetter(data_[i])) // an over-long word is cut, the rest dropped
                    ++i;
                bool negative = false;
                if (i < n && data_[i] == '-' && i + 1 < n && isDigit(data_[i + 1])) {
                    negative = true;
                    ++i;
                }
                bool hasParameter = false;
                qint64 value = 0;
                int digits = 0;
                while (i < n && isDigit(data_[i])) {
                    if (digits < kMaxParameterDigits)
                        value = value * 10 + (data_[i] - '0');
                    ++digits;
                    hasParameter = true;
                    ++i;
                }
                if (i < n && data_[i] == ' ')
                    ++i;
                value =
                    std::clamp<qint64>(negative ? -value : value, -2147483647LL - 1, 2147483647LL);
                if (word == "bin" && hasParameter) {
                    // N raw bytes follow, to be skipped even inside skipped groups.
                    flushBytes();
                    const qint64 skip = std::clamp<qint64>(value, 0, n - i);
                    i += skip;
                    continue;
                }
                if (consumeFallback())
                    continue;
                controlWord(word, hasParameter, int(value));
            } else if (next == '\'') {
                ++i;
                const int high = i < n ? hexDigitValue(data_[i]) : -1;
                const int low = i + 1 < n ? hexDigitValue(data_[i + 1]) : -1;
                if (high < 0 || low < 0) {
                    // A broken escape: drop it and read on.
                    if (high >= 0)
                        ++i;
                    continue;
                }
                i += 2;
                if (consumeFallback())
                    continue;
                if (state().destination == Destination::Skip)
                    continue;
                pendingBytes_ += char(high * 16 + low);
            } else if (next == '\r' || next == '\n') {
                ++i;
                if (!consumeFallback())
                    controlWord("par", false, 0);
            } else {
                ++i;
                if (!consumeFallback())
                    controlSymbol(next);
            }
        } else if (c == '\r' || c == '\n') {
            ++i; // line ends in the file are no text; pending bytes stay pending
        } else if (fallbackToSkip_ <= 0 && state().destination == Destination::Text) {
            // A run of plain text bytes, taken whole.
            qsizetype end = i + 1;
            while (end < n && !isTextEnd(data_[end]))
                ++end;
            pendingBytes_.append(data_.constData() + i, std::size_t(end - i));
            i = end;
        } else {
            ++i;
            if (!consumeFallback())
                textByte(c);
        }
    }
    flushBytes();
    flushText();
    if (pendingParagraphs_ == 0) {
        setBlockAlignment(lastAlignment_); // a last paragraph without \par
    } else {
        // The last \par of a document ends its last paragraph; it opens none.
        --pendingParagraphs_;
        openPendingParagraphs();
    }
    cursor_.endEditBlock();
    document_.setUndoRedoEnabled(undo);
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
                colors_.push_back(colorComponents_ ? QColor(red_, green_, blue_) : QColor());
            formats_.clear();
            red_ = green_ = blue_ = 0;
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

void Reader::controlWord(std::string_view word, bool hasParameter, int parameter)
{
    flushBytes();
    GroupState &group = state();
    CharState &chars = group.chars;
    const bool ignorable = pendingIgnorable_;
    pendingIgnorable_ = false;

    if (word == "u") {
        int value = parameter < 0 ? parameter + 65536 : parameter;
        if (value < 0 || value > 0xFFFF)
            value = 0xFFFD;
        const char16_t u = char16_t(value);
        fallbackToSkip_ = group.unicodeSkip;
        if (QChar::isHighSurrogate(u)) {
            highSurrogate_ = u;
            return;
        }
        if (QChar::isLowSurrogate(u) && highSurrogate_) {
            const QChar pair[2] = {QChar(highSurrogate_), QChar(u)};
            highSurrogate_ = 0;
            if (group.destination == Destination::FontTable)
                return;
            character(QString(pair, 2));
            return;
        }
        highSurrogate_ = 0;
        if (QChar::isSurrogate(u))
            return; // a lone half of a pair
        if (group.destination == Destination::FontTable) {
            pendingFont_.nameBytes += QString(QChar(u)).toUtf8(); // rare: keep something
            return;
        }
        character(QString(QChar(u)));
        return;
    }

    if (group.destination == Destination::Skip)
        return;

    if (word == "rtf")
        return;

    // Destinations.
    if (word == "fonttbl") {
        group.destination = Destination::FontTable;
        return;
    }
    if (word == "colortbl") {
        group.destination = Destination::ColorTable;
        return;
    }
    if (isSkippedDestination(word)) {
        group.destination = Destination::Skip;
        return;
    }
    if (ignorable && word != "ud") {
        group.destination = Destination::Skip;
        return;
    }

    if (group.destination == Destination::FontTable) {
        if (word == "f") {
            pendingFont_ = FontEntry{};
            pendingFont_.numbered = true;
            pendingFont_.number = parameter;
        } else if (word == "fcharset") {
            pendingFont_.charset = parameter;
        } else if (word == "cpg") {
            pendingFont_.codePage = parameter;
        }
        return;
    }
    if (group.destination == Destination::ColorTable) {
        const int v = std::clamp(parameter, 0, 255);
        if (word == "red" || word == "green" || word == "blue") {
            (word == "red" ? red_ : word == "green" ? green_ : blue_) = v;
            colorComponents_ = true;
        }
        return;
    }

    const bool on = !hasParameter || parameter != 0;
    if (word == "par" || word == "sect" || word == "page" || word == "row") {
        endParagraph();
    } else if (word == "line") {
        character(QString(QChar(QChar::LineSeparator)));
    } else if (word == "tab" || word == "cell") {
        character(QStringLiteral("\t"));
    } else if (const char16_t symbol = symbolOfWord(word)) {
        character(QString(QChar(symbol)));
    } else if (word == "ansicpg") {
        if (parameter > 0)
            ansiCodePage_ = parameter;
    } else if (word == "deff") {
        defaultFont_ = parameter;
    } else if (word == "plain") {
        chars = CharState{};
    } else if (word == "pard") {
        group.alignment = Qt::AlignLeft;
    } else if (word == "ql") {
        group.alignment = Qt::AlignLeft;
    } else if (word == "qc") {
        group.alignment = Qt::AlignHCenter;
    } else if (word == "qr") {
        group.alignment = Qt::AlignRight;
    } else if (word == "qj") {
        group.alignment = Qt::AlignJustify;
    } else if (word == "f") {
        chars.font = parameter;
    } else if (word == "fs") {
        if (hasParameter && parameter > 0)
            chars.halfPoints = std::min(parameter, kMaxHalfPoints);
    } else if (word == "cf") {
        chars.color = parameter;
    } else if (word == "b") {
        chars.bold = on;
    } else if (word == "i") {
        chars.italic = on;
    } else if (word == "ul") {
        chars.underline = on;
    } else if (word == "ulnone") {
        chars.underline = false;
    } else if (word == "v") {
        chars.hidden = on;
    } else if (word == "uc") {
        group.unicodeSkip = std::clamp(parameter, 0, 16);
    } else if (word == "dbch") {
        chars.doubleByte = true;
    } else if (word == "loch" || word == "hich") {
        chars.doubleByte = false;
    } else if (word == "af") {
        chars.assocFont = parameter;
    } else if (word == "afs") {
        if (hasParameter && parameter > 0)
            chars.assocHalfPoints = std::min(parameter, kMaxHalfPoints);
    } else if (word == "ab") {
        chars.assocBold = on ? 1 : 0;
    } else if (word == "ai") {
        chars.assocItalic = on ? 1 : 0;
    }
    // Every other word is formatting we do not keep.
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
