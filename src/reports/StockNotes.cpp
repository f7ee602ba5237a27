#include "StockNotes.h"

#include <algorithm>

namespace StockNotes
{

namespace
{

// The page each kind 1-4 names in its notes; index 0 is unused.
const QString MergedPrefix[] = {
    {}, "合并采购退货表--", "合并销售管理表--", "合并销售退货表--", "合并损耗"};
const QString ShortagePage[] = {{}, "采购退货表", "销售管理表", "销售退货表", "损耗表"};
const QString UnmatchedPage[] = {{}, "采购退货表", "销售售货表", "销售退货表", "损耗表表"};

int KindIndex(const ProductRecord& r)
{
    return r.tab_type >= 1 && r.tab_type <= 4 ? r.tab_type : 0;
}

// The fixed texts of a note around the record's date, model and quantity text.
struct NoteLabels {
    QStringView date;
    QStringView model;
    QStringView quantity;
    QStringView end;
};

// Writes opening + page + the labelled date, model and quantity.
void WriteNote(QChar*& out, QStringView opening, QStringView page, const NoteLabels& labels,
               const ProductRecord& r)
{
    const QStringView pieces[] = {opening,         page,          labels.date,
                                  r.product_time,  labels.model,  r.product_model,
                                  labels.quantity, r.product_num, labels.end};
    // A few characters each: a plain loop, not a call per piece.
    for (QStringView piece : pieces) {
        for (const QChar c : piece)
            *out++ = c;
    }
}

constexpr QStringView PurchaseOpening = u"合并采购进货表--";
constexpr NoteLabels PurchaseLabels{u"时间：", u",型号:", u",数目:", u"的项\n"};
constexpr NoteLabels MergedLabels{u"时间：", u",型号：", u",数目:", u"的项\n"};
constexpr QStringView ShortageOpening = u"异常！请注意核查";
constexpr NoteLabels ShortageLabels{u",时间：", u"，型号：", u"，数目：", u"比库存数据大\n"};

// The length of a note's own texts, without the record's.
qsizetype FixedLength(QStringView opening, QStringView page, const NoteLabels& labels)
{
    return opening.size() + page.size() + labels.date.size() + labels.model.size() +
           labels.quantity.size() + labels.end.size();
}

} // namespace

void WritePurchaseMerged(QChar*& out, const ProductRecord& purchase)
{
    WriteNote(out, PurchaseOpening, {}, PurchaseLabels, purchase);
}

void WriteMerged(QChar*& out, const ProductRecord& r)
{
    WriteNote(out, MergedPrefix[KindIndex(r)], {}, MergedLabels, r);
}

void WriteShortage(QChar*& out, const ProductRecord& r)
{
    WriteNote(out, ShortageOpening, ShortagePage[KindIndex(r)], ShortageLabels, r);
}

qsizetype LongestNote(const ProductRecord& r)
{
    const int kind = KindIndex(r);
    const qsizetype fixed =
        std::max({FixedLength(PurchaseOpening, {}, PurchaseLabels),
                  FixedLength(MergedPrefix[kind], {}, MergedLabels),
                  FixedLength(ShortageOpening, ShortagePage[kind], ShortageLabels)});
    return fixed + r.product_time.size() + r.product_model.size() + r.product_num.size();
}

QString Unmatched(const ProductRecord& r)
{
    return QStringLiteral("请仔细核查") + UnmatchedPage[KindIndex(r)] +
           QStringLiteral("该行的各列信息，此记录在采购进货表或销售表不存在");
}

} // namespace StockNotes
