#include "form_font.h"

#include "record_form.h"

#include <QDataStream>
#include <QFontDatabase>
#include <QIODevice>
#include <QStringDecoder>

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb-subset.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace tizhi::report {

namespace {

// The family of the cut-down face, registered with this program only.
constexpr char kFamily[] = "Tizhi Form";

struct HarfBuzzRelease {
    void operator()(hb_blob_t *blob) const { hb_blob_destroy(blob); }
    void operator()(hb_face_t *face) const { hb_face_destroy(face); }
    void operator()(hb_subset_input_t *input) const { hb_subset_input_destroy(input); }
};
using Blob = std::unique_ptr<hb_blob_t, HarfBuzzRelease>;
using Face = std::unique_ptr<hb_face_t, HarfBuzzRelease>;
using SubsetInput = std::unique_ptr<hb_subset_input_t, HarfBuzzRelease>;

struct FaceFile {
    QByteArray path;
    int index = 0;
    bool operator==(const FaceFile &) const = default;
};

bool namesFamily(FcPattern *match, const QString &family)
{
    FcChar8 *name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        if (QString::fromUtf8(reinterpret_cast<const char *>(name)) == family)
            return true;
    return false;
}

// The file and face that fontconfig, as Qt, draws `family` at `weight` from;
// nothing when it would draw another family, or a variable font or one of
// its instances, whose weights the cut would not keep.
std::optional<FaceFile> faceFile(const QString &family, int weight)
{
    FcPattern *pattern = FcPatternCreate();
    if (!pattern)
        return {};
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, weight);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return {};
    std::optional<FaceFile> found;
    FcChar8 *file = nullptr;
    int index = 0;
    FcBool variable = FcFalse;
    FcPatternGetBool(match, FC_VARIABLE, 0, &variable);
    if (namesFamily(match, family) && !variable &&
        FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch && index >> 16 == 0)
        found = FaceFile{QByteArray(reinterpret_cast<const char *>(file)), index};
    FcPatternDestroy(match);
    return found;
}

std::vector<hb_tag_t> tagsOf(hb_face_t *face)
{
    std::vector<hb_tag_t> tags(hb_face_get_table_tags(face, 0, nullptr, nullptr));
    unsigned count = unsigned(tags.size());
    hb_face_get_table_tags(face, 0, &count, tags.data());
    tags.resize(count);
    return tags;
}

QString nameOf(hb_face_t *face, hb_ot_name_id_t id)
{
    unsigned size = hb_ot_name_get_utf16(face, id, HB_LANGUAGE_INVALID, nullptr, nullptr);
    if (size == 0)
        return {};
    std::vector<std::uint16_t> text(size + 1);
    size = unsigned(text.size());
    hb_ot_name_get_utf16(face, id, HB_LANGUAGE_INVALID, &size, text.data());
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text.data()), size);
}

// A `name` table that calls the face `style` of kFamily, with the copyright
// and licence of the face it was cut from.
QByteArray nameTable(hb_face_t *source, const QString &style)
{
    const QString family = QString::fromLatin1(kFamily);
    const QList<std::pair<hb_ot_name_id_t, QString>> names = {
        {HB_OT_NAME_ID_COPYRIGHT, nameOf(source, HB_OT_NAME_ID_COPYRIGHT)},
        {HB_OT_NAME_ID_FONT_FAMILY, family},
        {HB_OT_NAME_ID_FONT_SUBFAMILY, style},
        {HB_OT_NAME_ID_FULL_NAME, family + u' ' + style},
        {HB_OT_NAME_ID_POSTSCRIPT_NAME, QString(family).remove(u' ') + u'-' + style},
        {HB_OT_NAME_ID_LICENSE, nameOf(source, HB_OT_NAME_ID_LICENSE)},
        {HB_OT_NAME_ID_LICENSE_URL, nameOf(source, HB_OT_NAME_ID_LICENSE_URL)}};
    // Lengths and offsets are 16 bits: a text that would not fit is left out.
    QList<std::pair<hb_ot_name_id_t, QString>> kept;
    qsizetype bytes = 0;
    for (const auto &name : names) {
        if (name.second.isEmpty() || bytes + name.second.size() * 2 > 0xffff)
            continue;
        kept.append(name);
        bytes += name.second.size() * 2;
    }
    QByteArray strings;
    QDataStream stringsOut(&strings, QIODevice::WriteOnly);
    QByteArray table;
    QDataStream out(&table, QIODevice::WriteOnly); // big-endian, as the font's tables
    out << quint16(0) << quint16(kept.size()) << quint16(6 + 12 * kept.size());
    // In the order of the name IDs, all of them Windows, Unicode, US English.
    for (const auto &[id, text] : kept) {
        out << quint16(3) << quint16(1) << quint16(0x409) << quint16(id) << quint16(text.size() * 2)
            << quint16(strings.size());
        for (const QChar c : text)
            stringsOut << quint16(c.unicode());
    }
    return table + strings;
}

// The face in `file` cut down to `characters`, named `style` of kFamily, as
// the bytes of a font file; empty when HarfBuzz could not cut it.
QByteArray cutFace(const FaceFile &file, const QString &characters, const QString &style)
{
    const Blob blob(hb_blob_create_from_file_or_fail(file.path.constData()));
    if (!blob)
        return {};
    const Face face(hb_face_create(blob.get(), unsigned(file.index)));
    // The subsetter drops what it cannot cut: old-style kerning, bitmaps
    // drawn on screen at small sizes, other layout engines' tables. A face
    // with any of them is kept whole, or the copy would draw differently.
    const std::vector<hb_tag_t> tags = tagsOf(face.get());
    for (const hb_tag_t dropped :
         {HB_TAG('k', 'e', 'r', 'n'), HB_TAG('k', 'e', 'r', 'x'), HB_TAG('m', 'o', 'r', 'x'),
          HB_TAG('E', 'B', 'D', 'T'), HB_TAG('C', 'B', 'D', 'T'), HB_TAG('s', 'b', 'i', 'x')})
        if (std::ranges::find(tags, dropped) != tags.end())
            return {};
    const SubsetInput input(hb_subset_input_create_or_fail());
    if (!input)
        return {};
    // Without the face's hinting: Qt reads every glyph of every document
    // again at the size of the font's design units, running its
    // instructions each time (a fifth of a form's time), and a PDF viewer
    // draws the outlines by itself anyway.
    hb_subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_NO_HINTING);
    hb_set_t *unicodes = hb_subset_input_unicode_set(input.get());
    for (const char32_t c : characters.toUcs4())
        hb_set_add(unicodes, c);
    const Face subset(hb_subset_or_fail(face.get(), input.get()));
    if (!subset)
        return {};
    const Blob subsetFont(hb_face_reference_blob(subset.get()));
    const Face subsetFace(hb_face_create(subsetFont.get(), 0));
    // The cut's tables, but a name table made anew, so that the copy never
    // passes for the face.
    const Face cut(hb_face_builder_create());
    for (const hb_tag_t tag : tagsOf(subsetFace.get())) {
        if (tag == HB_TAG('n', 'a', 'm', 'e') || tag == HB_TAG('p', 'r', 'e', 'p'))
            continue;
        const Blob table(hb_face_reference_table(subsetFace.get(), tag));
        if (!hb_face_builder_add_table(cut.get(), tag, table.get()))
            return {};
    }
    const QByteArray name = nameTable(face.get(), style);
    const Blob nameBlob(hb_blob_create(name.constData(), unsigned(name.size()),
                                       HB_MEMORY_MODE_DUPLICATE, nullptr, nullptr));
    // FreeType gives a TrueType face without any instructions to its own
    // auto-hinter, which costs more than the instructions did. A control
    // value program of one harmless instruction (SVTCA[x], which only sets
    // the vectors) keeps the face on its own, now empty, instructions.
    static const char kPrep[] = {0x01};
    const Blob prepBlob(
        hb_blob_create(kPrep, sizeof kPrep, HB_MEMORY_MODE_READONLY, nullptr, nullptr));
    if (!hb_face_builder_add_table(cut.get(), HB_TAG('n', 'a', 'm', 'e'), nameBlob.get()) ||
        !hb_face_builder_add_table(cut.get(), HB_TAG('p', 'r', 'e', 'p'), prepBlob.get()))
        return {};
    const Blob font(hb_face_reference_blob(cut.get()));
    unsigned length = 0;
    const char *data = hb_blob_get_data(font.get(), &length);
    return QByteArray(data, qsizetype(length));
}

bool registerFace(const QByteArray &font)
{
    if (font.isEmpty())
        return false;
    const int id = QFontDatabase::addApplicationFontFromData(font);
    return id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(QLatin1String(kFamily));
}

// Printable ASCII, and GB 2312's symbols and the 3 755 characters of its
// first level, the most used ones: most names and places are written with
// them.
QString commonCharacters()
{
    QString characters;
    for (char16_t c = 0x20; c < 0x7f; ++c)
        characters += QChar(c);
    QByteArray gb2312;
    for (int row = 0xa1; row <= 0xd7; ++row) {
        if (row > 0xa9 && row < 0xb0) // rows for characters of the user's own
            continue;
        for (int cell = 0xa1; cell <= 0xfe; ++cell)
            gb2312.append(char(row)).append(char(cell));
    }
    QStringDecoder decoder("GBK", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return characters;
    for (const QChar c : QString(decoder.decode(gb2312)))
        if (c.category() != QChar::Other_PrivateUse && c != QChar::ReplacementCharacter)
            characters += c;
    return characters;
}

QStringList cutFamilies()
{
    const QString installed = formFontFamily();
    const std::optional<FaceFile> regular = faceFile(installed, FC_WEIGHT_REGULAR);
    const std::optional<FaceFile> bold = faceFile(installed, FC_WEIGHT_BOLD);
    // Either weight drawn from elsewhere (see faceFile): the face is kept.
    if (!regular || !bold)
        return {installed};
    const QString characters = formCharacters() + commonCharacters();
    // A family with a bold face of its own keeps it; one without has its
    // bold drawn from the regular face, the copy's as the installed one's.
    if (*bold != *regular && !registerFace(cutFace(*bold, characters, "Bold")))
        return {installed};
    if (!registerFace(cutFace(*regular, characters, "Regular")))
        return {installed};
    return {QString::fromLatin1(kFamily), installed};
}

} // namespace

QString formFontFamily()
{
    // The first installed family that has Chinese glyphs; the generic
    // family otherwise, which the font system resolves.
    static const QString family = [] {
        for (const char *candidate : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                                      "Source Han Sans SC", "WenQuanYi Zen Hei", "AR PL UMing CN"})
            if (QFontDatabase::hasFamily(QLatin1String(candidate)))
                return QString::fromLatin1(candidate);
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        return chinese.isEmpty() ? QStringLiteral("sans-serif") : chinese.first();
    }();
    return family;
}

QStringList formFontFamilies()
{
    static const QStringList families = cutFamilies();
    return families;
}

} // namespace tizhi::report
