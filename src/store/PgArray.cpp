#include "PgArray.h"

#include "KeyedRow.h"

QString PgArray::Literal(const QVariantList& values)
{
    QString out = QStringLiteral("{");
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += u',';
        const QVariant& value = values.at(i);
        if (StoredValue::IsNull(value)) {
            out += QLatin1String("NULL");
            continue;
        }
        out += u'"';
        for (const QChar c : value.toString()) {
            if (c == u'"' || c == u'\\')
                out += u'\\';
            out += c;
        }
        out += u'"';
    }
    return out + u'}';
}
