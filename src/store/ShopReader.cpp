#include "ShopReader.h"

#include "DatabaseEngine.h"

ShopReader::ShopReader(const ChainConfig& chain, const QString& storeNo)
    : connection(DatabaseEngine::Instance()->Manager()), storeNo(storeNo)
{
    for (const ChainConfig::Shop& shop : chain.shops)
        named = named || (!storeNo.isEmpty() && shop.storeNo == storeNo);
    if (!named)
        refusal = QStringLiteral("门店 %1 不在本机配置的连锁门店中").arg(storeNo);
}

bool ShopReader::SelectProductRecords(int timeMode, int kind, const QString& startDate,
                                      const QString& queryDate, QList<ProductRecord>& out)
{
    return named && Reader().Products(timeMode, kind, startDate, queryDate, out);
}

bool ShopReader::SelectProductTexts(int timeMode, int kind, const QString& startDate,
                                    const QString& queryDate, const QList<int>& texts,
                                    QList<ProductRecord>& out)
{
    return named && Reader().ProductTexts(timeMode, kind, startDate, queryDate, texts, out);
}

bool ShopReader::SelectFinanceRecords(int timeMode, int kind, const QString& startDate,
                                      const QString& queryDate, QList<FinanceRecord>& out)
{
    return named && Reader().Finances(timeMode, kind, startDate, queryDate, out);
}

bool ShopReader::SelectFinanceTexts(int timeMode, int kind, const QString& startDate,
                                    const QString& queryDate, const QList<int>& texts,
                                    QList<FinanceRecord>& out)
{
    return named && Reader().FinanceTexts(timeMode, kind, startDate, queryDate, texts, out);
}

QString ShopReader::LastError() const
{
    return named ? StoreConnection::LastError() : refusal;
}

void ShopReader::GiveBackFreedMemory()
{
    RecordReader::GiveBackFreedMemory();
}

RecordReader ShopReader::Reader() const
{
    RecordReader reader(connection, storeNo);
    reader.KeepFreedMemory();
    return reader;
}
