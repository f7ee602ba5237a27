#include "SharedStrings.h"

namespace
{

using namespace BiffRecord;

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

private:
    BiffRecords& records;
    QByteArray body;
    bool first = true;
};

} // namespace

quint32 SharedStrings::Index(const QString& text)
{
    ++references;
    const auto it = indexes.constFind(text);
    if (it != indexes.constEnd())
        return it.value();
    const quint32 index = quint32(texts.size());
    indexes.insert(text, index);
    texts.append(text);
    return index;
}

void SharedStrings::WriteTo(BiffRecords& records) const
{
    RecordSplitter out(records);
    BiffRecords::U32(out.Body(), references);
    BiffRecords::U32(out.Body(), quint32(texts.size()));
    for (const QString& text : texts) {
        const bool compressed = BiffRecords::Compressible(text);
        const qsizetype charSize = compressed ? 1 : 2;
        // The length and option byte of a text never straddle two records, and a text spans at
        // most two: freexl misreads texts continued more than once.
        const qsizetype needed = 3 + text.size() * charSize;
        if (out.Room() < 3 || (needed > out.Room() && needed > out.Room() + MaxBody - 1))
            out.Flush();
        BiffRecords::U16(out.Body(), quint16(text.size()));
        BiffRecords::U8(out.Body(), compressed ? 0 : 1);
        qsizetype done = 0;
        while (done < text.size()) {
            const qsizetype fit = std::min(out.Room() / charSize, text.size() - done);
            if (fit == 0) {
                // A continued text repeats its option byte at the start of the next record.
                out.Flush();
                BiffRecords::U8(out.Body(), compressed ? 0 : 1);
                continue;
            }
            BiffRecords::Characters(out.Body(), text.mid(done, fit), compressed);
            done += fit;
        }
    }
    out.Flush();
}
