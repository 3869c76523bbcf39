#include "code_dictionary.h"

#include "record_kinds.h"

#include <QSqlQuery>
#include <QVariant>

#include <array>

namespace tizhi {

namespace {

// Identity documents as the national health record data standard codes
// them; sex as GB/T 2261.1; marriage as GB/T 2261.2; ABO blood groups and
// the ways medical costs are paid as the same health record standard. The
// birth hours are the twelve 时辰 in their order from 子时, which starts at
// 23 o'clock of the day before.
constexpr std::array kSeeds = {
    CodeSeed{"T_MEDICINE_DIAGNOSE_IDENT_TYPE", "01", "居民身份证"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_IDENT_TYPE", "02", "居民户口簿"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_IDENT_TYPE", "03", "护照"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_IDENT_TYPE", "04", "军官证"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_IDENT_TYPE", "05", "驾驶证"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_IDENT_TYPE", "06", "港澳居民来往内地通行证"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_IDENT_TYPE", "07", "台湾居民来往内地通行证"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_IDENT_TYPE", "99", "其他法定有效证件"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_SEX_TYPE", "0", "未知的性别"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_SEX_TYPE", "1", "男性"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_SEX_TYPE", "2", "女性"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_SEX_TYPE", "9", "未说明的性别"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_MARRIAGE_TYPE", "10", "未婚"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_MARRIAGE_TYPE", "20", "已婚"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_MARRIAGE_TYPE", "21", "初婚"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_MARRIAGE_TYPE", "22", "再婚"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_MARRIAGE_TYPE", "23", "复婚"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_MARRIAGE_TYPE", "30", "丧偶"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_MARRIAGE_TYPE", "40", "离婚"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_MARRIAGE_TYPE", "90", "未说明的婚姻状况"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BLOOD_TYPE", "1", "A型"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BLOOD_TYPE", "2", "B型"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BLOOD_TYPE", "3", "O型"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BLOOD_TYPE", "4", "AB型"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BLOOD_TYPE", "5", "不详"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_TREAT_TYPE", "01", "城镇职工基本医疗保险"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_TREAT_TYPE", "02", "城镇居民基本医疗保险"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_TREAT_TYPE", "03", "新型农村合作医疗"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_TREAT_TYPE", "04", "贫困救助"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_TREAT_TYPE", "05", "商业医疗保险"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_TREAT_TYPE", "06", "全公费"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_TREAT_TYPE", "07", "全自费"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_TREAT_TYPE", "08", "其他社会保险"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_TREAT_TYPE", "99", "其他"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "01", "子时（23—1时）"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "02", "丑时（1—3时）"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "03", "寅时（3—5时）"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "04", "卯时（5—7时）"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "05", "辰时（7—9时）"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "06", "巳时（9—11时）"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "07", "午时（11—13时）"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "08", "未时（13—15时）"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "09", "申时（15—17时）"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "10", "酉时（17—19时）"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "11", "戌时（19—21时）"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE", "12", "亥时（21—23时）"},
    // The assessment writes the verdict word itself, so code and name are
    // the same.
    CodeSeed{"T_MEDICINE_DIAGNOSE_MODERN_HABITUS_TYPE", "是", "是"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_MODERN_HABITUS_TYPE", "倾向是", "倾向是"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_MODERN_HABITUS_TYPE", "基本是", "基本是"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_MODERN_HABITUS_TYPE", "否", "否"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_HAB_TEST_TYPE", "33", "33项中医体质测试"},
    CodeSeed{"T_MEDICINE_DIAGNOSE_HAB_TEST_TYPE", "66", "66项中医体质测试"},
    // T_MEDICINE_DIAGNOSE_RETRIEVE_CODE_TYPE has no entries: no control
    // lists it, and nothing reads it yet.
};

} // namespace

std::span<const CodeSeed> codeSeeds()
{
    return kSeeds;
}

bool orderedByCode(const QString &codeType)
{
    return codeType == u"T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE" ||
           codeType == u"T_MEDICINE_DIAGNOSE_RETRIEVE_CODE_TYPE";
}

QList<CodeEntry> codeList(const QSqlDatabase &db, const QString &codeType)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT V_CODE, V_NAME FROM %1 WHERE V_CODE_TYPE = ? ORDER BY %2")
                      .arg(QLatin1String(kCodeTable), orderedByCode(codeType)
                                                          ? QStringLiteral("V_CODE")
                                                          : QStringLiteral("V_NAME")));
    query.addBindValue(codeType);
    QList<CodeEntry> entries;
    if (!query.exec())
        return entries;
    while (query.next())
        entries.append({query.value(0).toString(), query.value(1).toString()});
    return entries;
}

} // namespace tizhi
