#include "AnalysisTables.h"

#include "NumberText.h"

namespace
{

QString Number(double value)
{
    return NumberText::Write(value);
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

} // namespace

namespace AnalysisTables
{

ReportTable LowStockList(const QList<LowStock::Alert>& alerts)
{
    ReportTable table;
    table.title = QStringLiteral("库存预警");
    table.headers = {QStringLiteral("商品型号"), QStringLiteral("商品色号"),
                     QStringLiteral("存储仓库"), QStringLiteral("商品名称"),
                     QStringLiteral("库存数目"), QStringLiteral("预警数量"),
                     QStringLiteral("建议补货"), QStringLiteral("备注")};
    for (const LowStock::Alert& a : alerts) {
        table.rows << QStringList{a.model,
                                  a.colour,
                                  a.place,
                                  a.name,
                                  Number(a.onHand),
                                  Number(a.level),
                                  Number(a.shortfall),
                                  a.stocked ? QString() : QStringLiteral("没有库存记录")};
    }
    table.totals = {QStringLiteral("共 %1 种商品在预警数量或以下").arg(alerts.size())};
    return table;
}

ReportTable Ageing(const UnpaidAgeing::Ageing& ageing, Parties parties, const QDate& day)
{
    const bool customers = parties == Parties::Customers;
    const bool undated = ageing.total.amounts[UnpaidAgeing::Undated] != 0;
    ReportTable table;
    table.title = customers ? QStringLiteral("账龄分析（客户欠款）")
                            : QStringLiteral("账龄分析（欠供货商款项）");
    table.period = QStringLiteral("截至 %1").arg(day.toString(QStringLiteral("yyyy-MM-dd")));
    table.headers = {customers ? QStringLiteral("客户信息") : QStringLiteral("供货商"),
                     QStringLiteral("0-30天"), QStringLiteral("31-60天"), QStringLiteral("61-90天"),
                     QStringLiteral("90天以上")};
    if (undated)
        table.headers << QStringLiteral("日期不明");
    table.headers << QStringLiteral("合计");
    const auto row = [undated](const QString& first, const UnpaidAgeing::Line& line) {
        QStringList cells = {first};
        for (int b = 0; b < UnpaidAgeing::BucketCount; ++b) {
            if (b != UnpaidAgeing::Undated || undated)
                cells << Number(line.amounts[b]);
        }
        return cells << Number(line.total);
    };
    for (const UnpaidAgeing::Line& line : ageing.parties)
        table.rows << row(PartyText(line.party), line);
    const QStringList total = row(QStringLiteral("合计"), ageing.total);
    QStringList parts;
    for (qsizetype c = 1; c < total.size(); ++c)
        parts << table.headers.at(c) + QLatin1Char(' ') + total.at(c);
    table.totals = {QStringLiteral("共 %1 %2").arg(ageing.parties.size()).arg(table.headers.at(0)),
                    QStringLiteral("合计: ") + parts.join(QStringLiteral("    "))};
    if (ageing.laterRows > 0)
        table.totals
            << QStringLiteral("另有 %1 行记录日期在所选日期之后，未计入").arg(ageing.laterRows);
    return table;
}

ReportTable Margins(const GrossMargin::Margins& margins, MarginKey key, const QDate& first,
                    const QDate& last)
{
    const bool person = key == MarginKey::Salesperson;
    ReportTable table;
    table.title = person ? QStringLiteral("销售毛利（按销售人员）")
                         : QStringLiteral("销售毛利（按商品型号）");
    table.period = PeriodText(first, last);
    table.headers = {person ? QStringLiteral("销售人员") : QStringLiteral("商品型号"),
                     QStringLiteral("销售数量"),
                     QStringLiteral("销售金额"),
                     QStringLiteral("成本（进货均价）"),
                     QStringLiteral("毛利"),
                     QStringLiteral("毛利率")};
    for (const GrossMargin::Line& l : person ? margins.bySalesperson : margins.byModel) {
        table.rows << QStringList{PartyText(l.key), Number(l.quantity), Number(l.amount),
                                  Number(l.cost),   Number(l.margin),   RateText(l.rate)};
    }
    const GrossMargin::Line& t = margins.total;
    table.totals = {QStringLiteral("合计: 销售数量 %1    销售金额 %2    成本 %3    毛利 %4    "
                                   "毛利率 %5")
                        .arg(Number(t.quantity), Number(t.amount), Number(t.cost), Number(t.margin),
                             RateText(t.rate))};
    if (!margins.unpriced.isEmpty())
        table.totals << QStringLiteral("另有 %1 笔销售没有进货记录，未计入毛利（见“无进货记录”）")
                            .arg(margins.unpriced.size());
    if (margins.undated > 0)
        table.totals << QStringLiteral("%1 行记录日期无法识别，未计入").arg(margins.undated);
    return table;
}

ReportTable Unpriced(const GrossMargin::Margins& margins, const QDate& first, const QDate& last)
{
    ReportTable table;
    table.title = QStringLiteral("销售毛利（无进货记录的销售）");
    table.period = PeriodText(first, last);
    table.headers = {QStringLiteral("出售日期"), QStringLiteral("商品名称"),
                     QStringLiteral("商品型号"), QStringLiteral("商品色号"),
                     QStringLiteral("出售数目"), QStringLiteral("合计金额"),
                     QStringLiteral("销售人员"), QStringLiteral("备注")};
    for (const ProductRecord& r : margins.unpriced) {
        table.rows << QStringList{r.product_time,     r.product_name,  r.product_model,
                                  r.product_color,    r.product_num,   r.product_total,
                                  r.product_purchase, r.prodcut_remark};
    }
    table.totals = {QStringLiteral("共 %1 笔销售没有进货记录，未计入毛利").arg(table.rows.size())};
    return table;
}

QString RateText(const std::optional<double>& rate)
{
    return rate ? QString::number(*rate * 100, 'f', 1) + QLatin1Char('%') : QString();
}

} // namespace AnalysisTables
