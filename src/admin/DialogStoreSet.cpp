#include "DialogStoreSet.h"

#include "DatabaseEngine.h"
#include "ListCodec.h"
#include "StorePlaces.h"
#include "ui_DialogStoreSet.h"

namespace
{

const int NumberField = 2;
const int PartitionsField = 3;
const int SlotsField = 4;

} // namespace

DialogStoreSet::DialogStoreSet(QWidget* parent) : QDialog(parent), ui(new Ui::DialogStoreSet)
{
    ui->setupUi(this);
    connect(ui->comboBox, &QComboBox::currentIndexChanged, this, &DialogStoreSet::SetComboxIndex);
    for (QComboBox* box : {ui->comboBox, ui->comboBox_2, ui->comboBox_3})
        connect(box, &QComboBox::currentTextChanged, this, &DialogStoreSet::SetCombText);
}

DialogStoreSet::~DialogStoreSet() = default;

void DialogStoreSet::Reload()
{
    ListRecord list{WarehouseListKind, QString()};
    DatabaseEngine::Instance()->LoadListInfo(1, list);
    warehouseList = list.info_list;
    Refill(ui->comboBox, ListCodec::GetListColumn(warehouseList, NumberField));
    // A list without warehouses leaves nothing to pick from the previous list.
    if (ui->comboBox->count() == 0)
        SetComboxIndex(-1);
}

void DialogStoreSet::SetTarget(QAbstractItemModel* model, int row, int column)
{
    targetModel = model;
    target = model ? QPersistentModelIndex(model->index(row, column)) : QPersistentModelIndex();
}

void DialogStoreSet::on_pushButton_clicked()
{
    // Through the model, so the ledger stores the place like any other edit.
    if (targetModel && target.isValid())
        targetModel->setData(target, ui->lineEdit->text(), Qt::EditRole);
    // Accepted, so that a caller waiting on the chooser can tell a choice from a cancel.
    accept();
}

void DialogStoreSet::SetComboxIndex(int index)
{
    const int partitions =
        StorePlaces::Count(ListCodec::GetListColumn(warehouseList, PartitionsField).value(index));
    const int slotCount =
        StorePlaces::Count(ListCodec::GetListColumn(warehouseList, SlotsField).value(index));
    Refill(ui->comboBox_2, StorePlaces::PartitionNames(partitions));
    Refill(ui->comboBox_3, StorePlaces::SlotNames(slotCount));
}

void DialogStoreSet::SetCombText(const QString&)
{
    ui->lineEdit->setText(StorePlaces::Compose(
        ui->comboBox->currentText(), ui->comboBox_2->currentText(), ui->comboBox_3->currentText()));
}

void DialogStoreSet::Refill(QComboBox* box, const QStringList& items)
{
    {
        const QSignalBlocker quiet(box);
        box->clear();
    }
    box->addItems(items);
}
