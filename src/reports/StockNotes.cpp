#include "StockNotes.h"

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

// Appends opening + page + the labelled date, model and quantity in one step: a remark that
// collects thousands of notes grows once per note, not once per piece.
void AppendNote(QString& remark, QStringView opening, QStringView page, const NoteLabels& labels,
                const ProductRecord& r)
{
    const QStringView pieces[] = {opening,         page,          labels.date,
                                  r.product_time,  labels.model,  r.product_model,
                                  labels.quantity, r.product_num, labels.end};
    qsizetype size = 0;
    for (QStringView piece : pieces)
        size += piece.size();
    const qsizetype at = remark.size();
    remark.resize(at + size);
    QChar* out = remark.data() + at;
    for (QStringView piece : pieces)
        out = std::copy(piece.begin(), piece.end(), out);
}

} // namespace

void AppendPurchaseMerged(QString& remark, const ProductRecord& purchase)
{
    static constexpr NoteLabels labels{u"时间：", u",型号:", u",数目:", u"的项\n"};
    AppendNote(remark, u"合并采购进货表--", {}, labels, purchase);
}

void AppendMerged(QString& remark, const ProductRecord& r)
{
    static constexpr NoteLabels labels{u"时间：", u",型号：", u",数目:", u"的项\n"};
    AppendNote(remark, MergedPrefix[KindIndex(r)], {}, labels, r);
}

void AppendShortage(QString& remark, const ProductRecord& r)
{
    static constexpr NoteLabels labels{u",时间：", u"，型号：", u"，数目：", u"比库存数据大\n"};
    AppendNote(remark, u"异常！请注意核查", ShortagePage[KindIndex(r)], labels, r);
}

QString Unmatched(const ProductRecord& r)
{
    return QStringLiteral("请仔细核查") + UnmatchedPage[KindIndex(r)] +
           QStringLiteral("该行的各列信息，此记录在采购进货表或销售表不存在");
}

} // namespace StockNotes
