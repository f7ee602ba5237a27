#include "AnalysisTables.h"

#include "NumberText.h"
#include "PageTotals.h"

#include <cmath>

namespace
{

using Kind = FigureColumn::Kind;

QList<FigureColumn> Columns(const QList<QPair<QString, Kind>>& columns)
{
    QList<FigureColumn> out;
    for (const auto& [header, kind] : columns)
        out << FigureColumn{header, kind};
    return out;
}

QString PeriodText(const QDate& first, const QDate& last)
{
    const QString format = QStringLiteral("yyyy-MM-dd");
    return QStringLiteral("%1 至 %2").arg(first.toString(format), last.toString(format));
}

QString PartyText(const QString& party)
{
    return party.isEmpty() ? QStringLiteral("（未填写）") : party;
}

FigureRow MarginRow(const QString& key, const GrossMargin::Line& line)
{
    FigureRow row{{key}, {line.amount, line.cost, line.margin, line.quantity}};
    if (line.rate)
        row.values << AnalysisTables::RatePercent(*line.rate);
    return row;
}

} // namespace

namespace AnalysisTables
{

View LowStockList(const QList<LowStock::Alert>& alerts)
{
    View view;
    view.name = QStringLiteral("库存预警");
    FigureTable& t = view.table;
    t.title = QStringLiteral("库存预警");
    t.columns = Columns({{QStringLiteral("商品型号"), Kind::Text},
                         {QStringLiteral("商品色号"), Kind::Text},
                         {QStringLiteral("存储仓库"), Kind::Text},
                         {QStringLiteral("商品名称"), Kind::Text},
                         {QStringLiteral("库存数目"), Kind::Quantity},
                         {QStringLiteral("预警数量"), Kind::Quantity},
                         {QStringLiteral("建议补货"), Kind::Quantity},
                         {QStringLiteral("备注"), Kind::Text}});
    for (const LowStock::Alert& a : alerts) {
        t.rows << FigureRow{{a.model, a.colour, a.place, a.name,
                             a.stocked ? QString() : QStringLiteral("没有库存记录")},
                            {a.onHand, a.level, a.shortfall}};
    }
    view.notes << QStringLiteral("共 %1 种商品的库存在预警数量或以下（按全部记录计算库存）")
                      .arg(alerts.size());
    return view;
}

View Ageing(const UnpaidAgeing::Ageing& ageing, Parties parties, const QDate& day)
{
    const bool customers = parties == Parties::Customers;
    const bool undated = ageing.total.amounts[UnpaidAgeing::Undated] != 0;
    View view;
    view.name = customers ? QStringLiteral("客户欠款") : QStringLiteral("欠供货商款项");
    FigureTable& t = view.table;
    t.title = customers ? QStringLiteral("账龄分析（客户欠款）")
                        : QStringLiteral("账龄分析（欠供货商款项）");
    t.period = QStringLiteral("截至 %1").arg(day.toString(QStringLiteral("yyyy-MM-dd")));
    t.columns =
        Columns({{customers ? QStringLiteral("客户信息") : QStringLiteral("供货商"), Kind::Text},
                 {QStringLiteral("0-30天"), Kind::Money},
                 {QStringLiteral("31-60天"), Kind::Money},
                 {QStringLiteral("61-90天"), Kind::Money},
                 {QStringLiteral("90天以上"), Kind::Money}});
    if (undated)
        t.columns << FigureColumn{QStringLiteral("日期不明"), Kind::Money};
    t.columns << FigureColumn{QStringLiteral("合计"), Kind::Money};
    const auto row = [undated](const QString& first, const UnpaidAgeing::Line& line) {
        FigureRow figures{{first}, {}};
        for (int b = 0; b < UnpaidAgeing::BucketCount; ++b) {
            if (b != UnpaidAgeing::Undated || undated)
                figures.values << line.amounts[b];
        }
        figures.values << line.total;
        return figures;
    };
    for (const UnpaidAgeing::Line& line : ageing.parties)
        t.rows << row(PartyText(line.party), line);
    t.totals = row(QStringLiteral("合计"), ageing.total);
    view.notes << (customers ? QStringLiteral("按出售日期计算账龄；退货未退的款项记为负数")
                             : QStringLiteral("按进货日期计算账龄；退货未退的款项记为负数"));
    if (ageing.laterRows > 0)
        view.notes
            << QStringLiteral("另有 %1 行记录日期在所选日期之后，未计入").arg(ageing.laterRows);
    return view;
}

View Margins(const GrossMargin::Margins& margins, MarginKey key, const QDate& first,
             const QDate& last)
{
    const bool person = key == MarginKey::Salesperson;
    View view;
    view.name = person ? QStringLiteral("按销售人员") : QStringLiteral("按商品型号");
    FigureTable& t = view.table;
    t.title = person ? QStringLiteral("销售毛利（按销售人员）")
                     : QStringLiteral("销售毛利（按商品型号）");
    t.period = PeriodText(first, last);
    t.columns =
        Columns({{person ? QStringLiteral("销售人员") : QStringLiteral("商品型号"), Kind::Text},
                 {QStringLiteral("销售金额"), Kind::Money},
                 {QStringLiteral("成本（进货均价）"), Kind::Money},
                 {QStringLiteral("毛利"), Kind::Money},
                 {QStringLiteral("销售数量"), Kind::Quantity},
                 {QStringLiteral("毛利率(%)"), Kind::Quantity}});
    for (const GrossMargin::Line& line : person ? margins.bySalesperson : margins.byModel)
        t.rows << MarginRow(PartyText(line.key), line);
    t.totals = MarginRow(QStringLiteral("合计"), margins.total);
    view.notes << QStringLiteral("销售金额已扣除退货；成本按该型号及色号在出售日的进货均价计算");
    if (!margins.unpriced.isEmpty())
        view.notes << QStringLiteral("另有 %1 笔销售没有进货记录，未计入毛利（见“无进货记录”）")
                          .arg(margins.unpriced.size());
    if (margins.undated > 0)
        view.notes << QStringLiteral("%1 行记录的日期无法识别，未计入").arg(margins.undated);
    return view;
}

View Unpriced(const GrossMargin::Margins& margins, const QDate& first, const QDate& last)
{
    View view;
    view.name = QStringLiteral("无进货记录（%1 笔）").arg(margins.unpriced.size());
    FigureTable& t = view.table;
    t.title = QStringLiteral("销售毛利（无进货记录的销售）");
    t.period = PeriodText(first, last);
    t.columns = Columns({{QStringLiteral("出售日期"), Kind::Text},
                         {QStringLiteral("商品名称"), Kind::Text},
                         {QStringLiteral("商品型号"), Kind::Text},
                         {QStringLiteral("商品色号"), Kind::Text},
                         {QStringLiteral("出售数目"), Kind::Quantity},
                         {QStringLiteral("合计金额"), Kind::Money},
                         {QStringLiteral("销售人员"), Kind::Text},
                         {QStringLiteral("备注"), Kind::Text}});
    PageTotals::Sum quantity;
    PageTotals::Sum amount;
    for (const ProductRecord& r : margins.unpriced) {
        const double q = NumberText::Read(r.product_num);
        const double a = NumberText::Read(r.product_total);
        quantity.Add(q);
        amount.Add(a);
        t.rows << FigureRow{{r.product_time, r.product_name, r.product_model, r.product_color,
                             r.product_purchase, r.prodcut_remark},
                            {q, a}};
    }
    t.totals = FigureRow{{QStringLiteral("合计")}, {quantity.Value(), amount.Value()}};
    view.notes << QStringLiteral("这些销售之前没有该型号及色号的进货记录，无法计算成本，"
                                 "未计入毛利；补录进货后重新计算即可");
    return view;
}

double RatePercent(double rate)
{
    return std::round(rate * 1000) / 10;
}

} // namespace AnalysisTables
