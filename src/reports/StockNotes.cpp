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

// Appends prefix + date + middle + model + before + quantity + suffix.
void AppendNote(QString& remark, const QString& prefix, const ProductRecord& r,
                const QString& middle, const QString& before, const QString& suffix)
{
    remark.append(prefix)
        .append(r.product_time)
        .append(middle)
        .append(r.product_model)
        .append(before)
        .append(r.product_num)
        .append(suffix);
}

} // namespace

void AppendPurchaseMerged(QString& remark, const ProductRecord& purchase)
{
    static const QString prefix = QStringLiteral("合并采购进货表--时间：");
    static const QString middle = QStringLiteral(",型号:");
    static const QString before = QStringLiteral(",数目:");
    static const QString suffix = QStringLiteral("的项\n");
    AppendNote(remark, prefix, purchase, middle, before, suffix);
}

void AppendMerged(QString& remark, const ProductRecord& r)
{
    static const QString time = QStringLiteral("时间：");
    static const QString middle = QStringLiteral(",型号：");
    static const QString before = QStringLiteral(",数目:");
    static const QString suffix = QStringLiteral("的项\n");
    remark.append(MergedPrefix[KindIndex(r)]);
    AppendNote(remark, time, r, middle, before, suffix);
}

void AppendShortage(QString& remark, const ProductRecord& r)
{
    static const QString prefix = QStringLiteral("异常！请注意核查");
    static const QString time = QStringLiteral(",时间：");
    static const QString middle = QStringLiteral("，型号：");
    static const QString before = QStringLiteral("，数目：");
    static const QString suffix = QStringLiteral("比库存数据大\n");
    remark.append(prefix).append(ShortagePage[KindIndex(r)]);
    AppendNote(remark, time, r, middle, before, suffix);
}

QString Unmatched(const ProductRecord& r)
{
    return QStringLiteral("请仔细核查") + UnmatchedPage[KindIndex(r)] +
           QStringLiteral("该行的各列信息，此记录在采购进货表或销售表不存在");
}

} // namespace StockNotes
