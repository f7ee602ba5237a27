#include "QuadraticStock.h"

#include "NumberText.h"

#include <QStringList>

namespace
{

bool SameArticle(const ProductRecord& a, const ProductRecord& b)
{
    return a.product_model == b.product_model && a.product_color == b.product_color &&
           a.product_store == b.product_store && a.product_serial != b.product_serial;
}

QString Note(const QString& pattern, const ProductRecord& r)
{
    return pattern.arg(r.product_time, r.product_model, r.product_num);
}

} // namespace

QList<ProductRecord> QuadraticStock(const QList<ProductRecord>& in, bool admin)
{
    const QStringList merged = {"", "合并采购退货表--时间：%1,型号：%2,数目:%3的项\n",
                                "合并销售管理表--时间：%1,型号：%2,数目:%3的项\n",
                                "合并销售退货表--时间：%1,型号：%2,数目:%3的项\n",
                                "合并损耗时间：%1,型号：%2,数目:%3的项\n"};
    const QStringList shortage = {
        "", "异常！请注意核查采购退货表,时间：%1，型号：%2，数目：%3比库存数据大\n",
        "异常！请注意核查销售管理表,时间：%1，型号：%2，数目：%3比库存数据大\n",
        "异常！请注意核查销售退货表,时间：%1，型号：%2，数目：%3比库存数据大\n",
        "异常！请注意核查损耗表,时间：%1，型号：%2，数目：%3比库存数据大\n"};
    const QStringList unmatched = {
        "", "请仔细核查采购退货表该行的各列信息，此记录在采购进货表或销售表不存在",
        "请仔细核查销售售货表该行的各列信息，此记录在采购进货表或销售表不存在",
        "请仔细核查销售退货表该行的各列信息，此记录在采购进货表或销售表不存在",
        "请仔细核查损耗表表该行的各列信息，此记录在采购进货表或销售表不存在"};
    auto read = [](const QString& t) { return NumberText::Read(t); };

    QList<ProductRecord> out;
    for (const ProductRecord& r : in) {
        if (r.tab_type == 0)
            out << r;
    }
    for (int i = 0; i < out.size() - 1; ++i) {
        for (int j = i + 1; j < out.size();) {
            if (!SameArticle(out[i], out[j])) {
                ++j;
                continue;
            }
            ProductRecord& e = out[i];
            e.product_num = NumberText::Write(read(e.product_num) + read(out[j].product_num));
            if (admin) {
                e.product_total =
                    NumberText::Write(read(e.product_total) + read(out[j].product_total));
            } else {
                e.product_price.clear();
                e.product_total.clear();
            }
            e.product_pay.clear();
            e.product_debt.clear();
            e.prodcut_remark += Note("合并采购进货表--时间：%1,型号:%2,数目:%3的项\n", out[j]);
            out.removeAt(j);
        }
    }
    const qsizetype n = out.size();
    for (const ProductRecord& r : in) {
        if (r.tab_type < 1 || r.tab_type > 4)
            continue;
        bool found = false;
        for (qsizetype s = 0; s < n; ++s) {
            ProductRecord& e = out[s];
            if (!SameArticle(e, r))
                continue;
            const double qR = read(r.product_num), qS = read(e.product_num);
            const double pS = read(e.product_price);
            if (qR > qS) {
                e.prodcut_remark += Note(shortage[r.tab_type], r);
            } else {
                const double q = r.tab_type == 3 ? qS + qR : qS - qR;
                e.product_num = NumberText::Write(q);
                e.product_total = NumberText::Write(pS * q);
                e.prodcut_remark += Note(merged[r.tab_type], r);
                found = true;
            }
            e.product_pay.clear();
            e.product_debt.clear();
            if (!admin) {
                e.product_price.clear();
                e.product_total.clear();
            }
        }
        if (!found) {
            ProductRecord copy = r;
            copy.prodcut_remark = unmatched[r.tab_type];
            out << copy;
        }
    }
    // As the inventory page shows them: no paid or unpaid, prices for the super user only.
    for (ProductRecord& r : out) {
        r.product_pay.clear();
        r.product_debt.clear();
        if (!admin) {
            r.product_price.clear();
            r.product_total.clear();
        }
    }
    return out;
}
