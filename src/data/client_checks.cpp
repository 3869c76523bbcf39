#include "client_checks.h"

#include "record_kinds.h"

#include <QSqlQuery>
#include <QVariant>

#include <array>

namespace tizhi {

namespace {

constexpr int kResidentIdentLength = 18;

bool allDigits(QStringView text)
{
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

bool residentIdentNoValid(const QString &identNo)
{
    if (identNo.size() != kResidentIdentLength || !allDigits(QStringView(identNo).left(17)))
        return false;
    // ISO 7064 MOD 11-2: the weights are 2^(17-i) mod 11.
    static constexpr std::array<int, 17> kWeights = {7, 9, 10, 5,  8, 4, 2, 1, 6,
                                                     3, 7, 9,  10, 5, 8, 4, 2};
    static constexpr std::array<char, 11> kCheck = {'1', '0', 'X', '9', '8', '7',
                                                    '6', '5', '4', '3', '2'};
    int sum = 0;
    for (int i = 0; i < 17; ++i)
        sum += (identNo[i].unicode() - u'0') * kWeights[std::size_t(i)];
    return identNo[17].toUpper() == QLatin1Char(kCheck[std::size_t(sum % 11)]);
}

std::optional<QDate> residentIdentBirthDate(const QString &identNo)
{
    if (identNo.size() != kResidentIdentLength || !allDigits(QStringView(identNo).mid(6, 8)))
        return std::nullopt;
    const QDate date(identNo.mid(6, 4).toInt(), identNo.mid(10, 2).toInt(),
                     identNo.mid(12, 2).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString clientProblem(const ClientValues &values)
{
    QStringList missing;
    const std::array<std::pair<const QString *, const char *>, 5> marked = {{
        {&values.identType, "证件类型"},
        {&values.identNo, "证件号码"},
        {&values.sex, "客户性别"},
        {&values.name, "客户姓名"},
        {&values.cardNo, "信息卡号"},
    }};
    for (const auto &[value, caption] : marked)
        if (value->trimmed().isEmpty())
            missing << QString::fromUtf8(caption);
    if (!missing.isEmpty())
        return QStringLiteral("请填写：%1。").arg(missing.join(QStringLiteral("、")));
    bool numeric = false;
    const int age = values.age.trimmed().toInt(&numeric);
    if (!values.age.trimmed().isEmpty() && (!numeric || age < 0 || age > 150))
        return QStringLiteral("客户年龄应为 0 到 150 的整数。");
    if (values.identType.trimmed() == QLatin1String(kResidentIdentType)) {
        // The 15-digit numbers issued before 1999 carry no check character.
        if (values.identNo.size() == 15 && allDigits(values.identNo))
            return {};
        if (!residentIdentNoValid(values.identNo))
            return QStringLiteral("证件号码 %1 不是有效的居民身份证号码（应为 18 "
                                  "位，末位校验码须正确），请核对。")
                .arg(values.identNo);
        const auto written = residentIdentBirthDate(values.identNo);
        if (!written)
            return QStringLiteral("证件号码 %1 中的出生日期无效，请核对。").arg(values.identNo);
        if (values.birthday && *values.birthday != *written)
            return QStringLiteral("出生日期 %1 与证件号码中的出生日期 %2 不一致。")
                .arg(values.birthday->toString(QStringLiteral("yyyy-MM-dd")),
                     written->toString(QStringLiteral("yyyy-MM-dd")));
    }
    return {};
}

std::optional<bool> identNoTaken(const QSqlDatabase &db, const QString &identNo, qint64 ownId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE V_IDENT_NO = ? AND ID <> ?")
                      .arg(QLatin1String(clientKind().table)));
    query.addBindValue(identNo);
    query.addBindValue(ownId);
    if (!query.exec() || !query.next())
        return std::nullopt;
    return query.value(0).toInt() > 0;
}

} // namespace tizhi
