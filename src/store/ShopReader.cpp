#include "ShopReader.h"

ShopReader::ShopReader(const ChainConfig& chain, const QString& storeNo)
{
    for (const ChainConfig::Shop& shop : chain.shops)
        named = named || (!storeNo.isEmpty() && shop.storeNo == storeNo);
    if (!named) {
        refusal = QStringLiteral("门店 %1 不在本机配置的连锁门店中").arg(storeNo);
        return;
    }
    engine.SetDbManager(DatabaseEngine::Instance()->Manager());
    engine.SetStoreNo(storeNo);
}

bool ShopReader::SelectProductRecords(int timeMode, int kind, const QString& startDate,
                                      const QString& queryDate, QList<ProductRecord>& out)
{
    return named && engine.SelectProductRecords(timeMode, kind, startDate, queryDate, out);
}

bool ShopReader::SelectFinanceRecords(int timeMode, int kind, const QString& startDate,
                                      const QString& queryDate, QList<FinanceRecord>& out)
{
    return named && engine.SelectFinanceRecords(timeMode, kind, startDate, queryDate, out);
}

QString ShopReader::LastError() const
{
    return named ? engine.LastError() : refusal;
}
