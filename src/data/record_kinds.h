// The three kinds of record the database edition keeps (clients, diagnosis
// records, contact records) and the code dictionary: each table's columns,
// in the order the pages show them, with the size every text column is
// given. The schema is made from these tables, and the pages limit their
// fields to the same sizes, so that a value the user may type is a value
// the database takes on both engines.
#pragma once

#include <QList>
#include <QString>

namespace tizhi {

enum class ColumnType {
    Text,      // VARCHAR(size)
    Memo,      // TEXT (rich text is kept as RTF)
    Integer,   // INTEGER
    Date,      // DATE
    Timestamp, // TIMESTAMP, to the second
};

struct ColumnDef {
    const char *name; // as the record pages name their fields: V_NAME ...
    ColumnType type;
    int size = 0;          // characters, for Text
    bool required = false; // NOT NULL in the table
};

struct RecordKind {
    const char *table;
    QList<ColumnDef> columns; // without ID and I_VERSION
    // A detail of a client: linked to it by V_IDENT_NO.
    bool detail = false;
};

// Every record carries its number and a version, which each save raises by
// one: a save or delete that finds another version than it read was beaten
// by another workstation and is refused.
inline constexpr const char *kIdColumn = "ID";
inline constexpr const char *kVersionColumn = "I_VERSION";
inline constexpr const char *kIdentNoColumn = "V_IDENT_NO";

const RecordKind &clientKind();
const RecordKind &diagnoseKind();
const RecordKind &contactKind();
// The record kinds, the client first (the details refer to it).
QList<const RecordKind *> recordKinds();

// The column `name` of `kind`; nullptr when it has none.
const ColumnDef *findColumn(const RecordKind &kind, const QString &name);

// The code dictionary: every look-up list of the window is one code type.
inline constexpr const char *kCodeTable = "code_dictionary";
inline constexpr int kCodeTypeSize = 64;
inline constexpr int kCodeSize = 128;
inline constexpr int kCodeNameSize = 255;

} // namespace tizhi
