#include "RowTally.h"

#include <QCoreApplication>
#include <QStringEncoder>

namespace
{

// Store numbers named when a file holds no row of this store.
constexpr qsizetype ShownStores = 5;

QString Tr(const char* text)
{
    return QCoreApplication::translate("ScriptRestorer", text);
}

QByteArray Encoded(const QString& text, ScriptEncoding encoding)
{
    if (encoding == ScriptEncoding::Utf8)
        return text.toUtf8();
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

} // namespace

RowTally::RowTally(const QString& storeNo, ScriptEncoding encoding,
                   const LastOfRepeated* lastOfRepeated, bool gather)
    : storeNo(Encoded(storeNo, encoding)), encoding(encoding), lastOfRepeated(lastOfRepeated),
      gather(gather)
{
}

KeyDigest RowTally::Digest(const ScannedRow& row)
{
    text.resize(0);
    text += char(row.tableIndex);
    for (int column : row.table->key) {
        const ScriptValue& value = row.ValueOf(column);
        const QByteArrayView plain =
            value.Plain(ScriptText::IsInt(row.tableIndex, column), scratch);
        // Each value goes with its length, and a NULL differs from an empty text as it does in
        // the database.
        const quint32 size = quint32(plain.size());
        text += value.kind == ScriptValue::Null ? 'n' : 't';
        text.append(reinterpret_cast<const char*>(&size), sizeof size);
        text += plain;
    }
    return {
        quint64(qHashBits(text.constData(), size_t(text.size()), size_t(0x9e3779b97f4a7c15ULL))),
        quint64(qHashBits(text.constData(), size_t(text.size()), size_t(0xc2b2ae3d27d4eb4fULL)))};
}

RowTally::Verdict RowTally::Take(const ScannedRow& row)
{
    ++rows;
    const QByteArrayView store =
        row.ValueOf(int(row.table->columns.size()) - 1).Plain(false, scratch);
    if (store != storeNo) {
        skipped.Add(row.line, SkipReason::OtherStore);
        NoteStore(ScriptText::Decode(store, encoding));
        return Skip;
    }
    ++own;
    const KeyDigest key = Digest(row);
    int& last = lastLine[key];
    if (last > 0) {
        if (!lastOfRepeated && !gather)
            return Repeat;
        skipped.Add(last, SkipReason::Repeated);
        if (gather)
            gathered.insert(key, row.line);
    }
    last = row.line;
    if (lastOfRepeated && !lastOfRepeated->isEmpty()) {
        const auto kept = lastOfRepeated->constFind(key);
        if (kept != lastOfRepeated->cend() && *kept != row.line)
            return Skip;
    }
    return Restore;
}

QString RowTally::Refusal() const
{
    if (rows == 0)
        return Tr("文件中没有任何数据，不能用它还原（还原会先删除本门店现有的全部数据）");
    if (own > 0)
        return QString();
    QStringList stores = otherStores;
    for (QString& store : stores) {
        if (store.isEmpty())
            store = Tr("（无门店编号）");
    }
    return Tr("文件中没有本门店的数据：文件中的行属于门店 %1%2，本机的门店编号是 %3（取自"
              "配置文件中的 StoreNo/No）")
        .arg(stores.join(QStringLiteral("、")), moreStores ? Tr("等") : QString(),
             ScriptText::Decode(storeNo, encoding));
}

void RowTally::NoteStore(const QString& store)
{
    if (otherStores.contains(store))
        return;
    if (otherStores.size() < ShownStores)
        otherStores << store;
    else
        moreStores = true;
}
