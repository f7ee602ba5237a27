#include "RowSaver.h"

#include "DatabaseEngine.h"
#include "RowAmounts.h"

RowSaver::Outcome RowSaver::Save(ProductModel& model, int row)
{
    Outcome outcome;
    ProductRecord record;
    if (!model.GetRow(row, model.Definition().kind, record))
        return outcome;
    outcome.numberRejected = !RowAmounts::Complete(record).rejected.isEmpty();
    model.ReplaceRow(row, record);
    outcome.serial = record.product_serial;
    outcome.stored = engine.SaveProductInfo(record);
    return outcome;
}

RowSaver::Outcome RowSaver::Save(FinanceModel& model, int row)
{
    Outcome outcome;
    FinanceRecord record;
    if (!model.GetRow(row, model.Definition().kind, record))
        return outcome;
    outcome.numberRejected = RowAmounts::CheckMoneyAmount(record);
    model.ReplaceRow(row, record);
    outcome.serial = record.ie_serial;
    outcome.stored = engine.SaveFinanceInfo(record);
    return outcome;
}

bool RowSaver::Delete(ProductModel& model, int row)
{
    // The identity is read as it stands: completing the row first would store it again.
    ProductRecord record = model.Records().at(row);
    record.tab_type = model.Definition().kind;
    if (!engine.DeleteProductInfo(record))
        return false;
    model.RemoveRow(row);
    return true;
}

bool RowSaver::Delete(FinanceModel& model, int row)
{
    FinanceRecord record = model.Records().at(row);
    record.tab_type = model.Definition().kind;
    if (!engine.DeleteFinanceInfo(record))
        return false;
    model.RemoveRow(row);
    return true;
}

bool RowSaver::Clear(ProductModel& model)
{
    if (!engine.ClearProductInfo(model.Definition().kind))
        return false;
    model.RemoveAll();
    return true;
}

bool RowSaver::Clear(FinanceModel& model)
{
    if (!engine.ClearFinanceInfo(model.Definition().kind))
        return false;
    model.RemoveAll();
    return true;
}

qint64 RowSaver::Count(const ProductModel& model)
{
    return engine.CountProductInfo(model.Definition().kind);
}

qint64 RowSaver::Count(const FinanceModel& model)
{
    return engine.CountFinanceInfo(model.Definition().kind);
}

QString RowSaver::LastError() const
{
    return engine.LastError();
}
