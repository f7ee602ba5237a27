#include "SharedStrings.h"

namespace
{

using namespace BiffRecord;

constexpr quint8 HighByte = 0x01;
constexpr quint8 Phonetic = 0x04;
constexpr quint8 Rich = 0x08;

// Fills record bodies up to the size limit and starts a CONTINUE record when one is full.
class RecordSplitter
{
public:
    explicit RecordSplitter(BiffRecords& records) : records(records) {}

    QByteArray& Body() { return body; }
    qsizetype Room() const { return MaxBody - body.size(); }
    void Flush()
    {
        records.Append(first ? Sst : Continue, body);
        first = false;
        body.clear();
    }
    // Bytes that may simply run on into the next record.
    void Append(QByteArrayView bytes, qsizetype unit)
    {
        while (!bytes.isEmpty()) {
            const qsizetype fit = std::min(bytes.size(), Room() / unit * unit);
            if (fit == 0) {
                Flush();
                continue;
            }
            body.append(bytes.first(fit));
            bytes = bytes.sliced(fit);
        }
    }

private:
    BiffRecords& records;
    QByteArray body;
    bool first = true;
};

void WriteText(RecordSplitter& out, const BiffText& entry)
{
    const QString& text = entry.text;
    const bool compressed = BiffRecords::Compressible(text);
    const qsizetype charSize = compressed ? 1 : 2;
    const quint8 flags = (compressed ? 0 : HighByte) | (entry.runs.isEmpty() ? 0 : Rich) |
                         (entry.phonetic.isEmpty() ? 0 : Phonetic);
    // The count, options and sizes of a text never straddle two records.
    const qsizetype header =
        3 + (entry.runs.isEmpty() ? 0 : 2) + (entry.phonetic.isEmpty() ? 0 : 4);
    if (out.Room() < header + charSize)
        out.Flush();
    BiffRecords::U16(out.Body(), quint16(text.size()));
    BiffRecords::U8(out.Body(), flags);
    if (!entry.runs.isEmpty())
        BiffRecords::U16(out.Body(), quint16(entry.runs.size() / 4));
    if (!entry.phonetic.isEmpty())
        BiffRecords::U32(out.Body(), quint32(entry.phonetic.size()));
    qsizetype done = 0;
    while (done < text.size()) {
        const qsizetype fit = std::min(out.Room() / charSize, text.size() - done);
        if (fit == 0) {
            // Characters that run on start the next record with their width again.
            out.Flush();
            BiffRecords::U8(out.Body(), compressed ? 0 : HighByte);
            continue;
        }
        BiffRecords::Characters(out.Body(), text.mid(done, fit), compressed);
        done += fit;
    }
    // A formatting run is never split.
    out.Append(entry.runs, 4);
    out.Append(entry.phonetic, 1);
}

} // namespace

SharedStrings::SharedStrings(const QList<BiffText>& texts, quint32 references)
    : texts(texts), references(references)
{
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (texts[i].runs.isEmpty() && texts[i].phonetic.isEmpty())
            indexes.insert(texts[i].text, quint32(i));
    }
}

quint32 SharedStrings::Index(const QString& text)
{
    ++references;
    const auto it = indexes.constFind(text);
    if (it != indexes.constEnd())
        return it.value();
    const quint32 index = quint32(texts.size());
    indexes.insert(text, index);
    texts.append({text, {}, {}});
    return index;
}

void SharedStrings::WriteTo(BiffRecords& records) const
{
    RecordSplitter out(records);
    BiffRecords::U32(out.Body(), references);
    BiffRecords::U32(out.Body(), quint32(texts.size()));
    for (const BiffText& text : texts)
        WriteText(out, text);
    out.Flush();
}
