#pragma once

#include "Schema.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QVariant>
#include <array>

// How the bytes of a script are read as text: UTF-8, or GB18030, the encoding of the Chinese
// Windows locale that backups written with the locale's encoding are in.
enum class ScriptEncoding { Utf8, Gb18030 };

// One value of an insert as it stands in the file's bytes, not yet decoded.
struct ScriptValue {
    enum Kind : quint8 {
        Null,
        Text,   // between its quotes; `doubled` when a quote inside is written ''
        Bytes,  // E'<hex>': the hex digits
        Number, // the token as written
        Date,   // a bare yyyy-MM-dd, as older backups wrote dates: a text
    };
    Kind kind = Null;
    bool doubled = false;
    QByteArrayView raw;

    // The value as text in the file's encoding, quotes undoubled and bytes decoded (into
    // `scratch` when they differ from the file's); for a number in an int column its canonical
    // digits. Empty for null.
    QByteArrayView Plain(bool intColumn, QByteArray& scratch) const;
    // The value as UTF-8 text, as a database takes it.
    QByteArrayView Utf8(ScriptEncoding encoding, bool intColumn, QByteArray& scratch) const;
    // The value as the driver binds it for a column of `type`.
    QVariant Variant(ScriptEncoding encoding, const QString& type) const;
    // For a number in an int column: whether it is whole (then in `whole`), else its `real`.
    bool Whole(qint64& whole, double& real) const;
};

// The most columns a table of the program has.
constexpr int MaxScriptColumns = 24;

namespace ScriptText
{
// Whether a column (a position in the table's columns) of a table holds whole numbers.
bool IsInt(int tableIndex, int column);
} // namespace ScriptText

// One insert of a script, its values still the file's bytes.
struct ScannedRow {
    int line = 0;         // the line the statement starts on, counted from 1
    qsizetype offset = 0; // where the statement starts in the file
    int tableIndex = -1;  // the table's position in Schema::Tables()
    const TableSchema* table = nullptr;
    const QList<int>* columns = nullptr; // positions in the table's columns, as named
    std::array<ScriptValue, MaxScriptColumns> values;

    // The value given for a column (a position in the table's columns); null when not named.
    const ScriptValue& ValueOf(int column) const;
    bool IntColumn(int at) const
    {
        return table->types.at(columns->at(at)) == QLatin1String("int");
    }
};

namespace ScriptText
{
// Where the first byte lies that is not part of a character of the encoding; -1 when none.
qsizetype FirstBadByte(QByteArrayView bytes, ScriptEncoding encoding);
// The bytes as text.
QString Decode(QByteArrayView bytes, ScriptEncoding encoding);
} // namespace ScriptText
