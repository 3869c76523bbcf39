#include "record_kinds.h"

namespace tizhi {

namespace {

using T = ColumnType;

// Sizes: an identity number is 18 characters in China and a passport number
// shorter; 32 leaves room for other documents. Names take 64 characters (a
// Chinese name with a foreign one beside it), codes the dictionary's 128,
// addresses and the longer texts of a contact 255. Everything longer is a
// rich-text memo. A client made from a test page carries only a name and
// an identity number until someone completes it, so only those two are
// required of every client.
const RecordKind kClient{
    "client",
    {
        {"V_IDENT_TYPE", T::Text, 128},
        {"V_IDENT_NO", T::Text, 32, true},
        {"V_SEX", T::Text, 128},
        {"V_NAME", T::Text, 64, true},
        {"I_AGE", T::Integer},
        {"V_PHONE", T::Text, 32},
        {"V_ADDRESS", T::Text, 255},
        {"T_BIRTHDAY", T::Date},
        {"V_BIRTH_TIME", T::Text, 128},
        {"V_MARRIAGE", T::Text, 128},
        {"V_URGENT_PERSON", T::Text, 64},
        {"V_URGENT_PHONE", T::Text, 32},
        {"V_OTHER_CONTACT", T::Text, 128},
        {"V_COUNTRY", T::Text, 64},
        {"V_NATION", T::Text, 64},
        {"V_BIRTH_PLACE", T::Text, 128},
        {"V_CARD_NO", T::Text, 32},
        {"V_STATURE", T::Text, 16},
        {"V_WEIGHT", T::Text, 16},
        {"V_BLOOD_TYPE", T::Text, 128},
        {"V_TREAT_TYPE", T::Text, 128},
        {"V_CULTURE", T::Text, 64},
        {"V_INCOME_LEVEL", T::Text, 64},
        {"V_VOCATION", T::Text, 64},
        {"V_WORK_UNIT", T::Text, 128},
        {"V_REMARK", T::Memo},
    },
};

const RecordKind kDiagnose{
    "diagnose_record",
    {
        {"T_TREAT_TIME", T::Timestamp, 0, true},
        {"V_NAME", T::Text, 64, true},
        {"V_IDENT_NO", T::Text, 32, true},
        {"V_DOCTOR", T::Text, 64},
        {"V_SITE", T::Text, 128},
        {"V_CLIENT_TELL", T::Memo},
        {"V_LOOK_CHECK", T::Memo},
        {"V_SMELL_CHECK", T::Memo},
        {"V_ASK_CHECK", T::Memo},
        {"V_GRIP_CHECK", T::Memo},
        {"V_TOUCH_CHECK", T::Memo},
        {"V_OTHER_CHECK", T::Memo},
        {"V_CHECK_RESULT", T::Memo},
        {"V_CONVALESCE_SCHEME", T::Memo},
        {"V_REMARK", T::Memo},
    },
    true,
};

const RecordKind kContact{
    "contact_record",
    {
        {"V_NAME", T::Text, 64, true},
        {"V_IDENT_NO", T::Text, 32, true},
        {"T_CON_TIME", T::Timestamp, 0, true},
        {"V_CON_NATURE", T::Text, 64},
        {"V_CON_WAY", T::Text, 64},
        {"V_CON_ADDRESS", T::Text, 128},
        {"V_CON_DETAIL", T::Text, 255},
        {"V_CON_PROCESS", T::Text, 255},
        {"T_CON_NEXT_TIME", T::Timestamp},
        {"V_CON_NEXT_DETAIL", T::Text, 255},
        {"V_REMARK", T::Memo},
    },
    true,
};

} // namespace

const RecordKind &clientKind()
{
    return kClient;
}

const RecordKind &diagnoseKind()
{
    return kDiagnose;
}

const RecordKind &contactKind()
{
    return kContact;
}

QList<const RecordKind *> recordKinds()
{
    return {&kClient, &kDiagnose, &kContact};
}

const ColumnDef *findColumn(const RecordKind &kind, const QString &name)
{
    for (const auto &column : kind.columns)
        if (name.compare(QLatin1String(column.name), Qt::CaseInsensitive) == 0)
            return &column;
    return nullptr;
}

} // namespace tizhi
