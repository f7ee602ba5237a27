#include "ReorderDialog.h"

#include "NumberText.h"
#include "Prompt.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace
{

// A level still being typed counts: its editor hands it to the table and closes.
void CommitTyping(QTableView& table)
{
    const QModelIndex current = table.currentIndex();
    QWidget* editor = table.indexWidget(current);
    if (!editor)
        return;
    QAbstractItemDelegate* delegate = table.itemDelegateForIndex(current);
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor);
}

// The stored level of a row, kept on its level cell.
constexpr int StoredRole = Qt::UserRole + 1;

QString LevelText(double level)
{
    return level > 0 ? NumberText::Write(level) : QString();
}

// A typed level: blank is none (0); otherwise a number not below 0.
std::optional<double> ReadLevel(const QString& text)
{
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return 0.0;
    bool ok = false;
    const double value = typed.toDouble(&ok);
    if (!ok || value < 0 || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

ReorderDialog::ReorderDialog(Saver saver, QWidget* parent)
    : QDialog(parent), saver(std::move(saver)), model(new QStandardItemModel(0, ColumnCount, this)),
      shown(new QSortFilterProxyModel(this)), table(new QTableView(this)),
      search(new QLineEdit(this)), saved(new QLabel(this))
{
    setObjectName(QStringLiteral("ReorderDialog"));
    setWindowTitle(tr("设置库存预警"));
    resize(860, 560);
    model->setHorizontalHeaderLabels({tr("商品型号"), tr("商品色号"), tr("存储仓库"),
                                      tr("商品名称"), tr("库存数目"), tr("预警数量")});
    shown->setSourceModel(model);
    shown->setFilterKeyColumn(-1);
    shown->setFilterCaseSensitivity(Qt::CaseInsensitive);
    table->setObjectName(QStringLiteral("table_reorder"));
    table->setModel(shown);
    table->setSortingEnabled(true);
    table->sortByColumn(-1, Qt::AscendingOrder);
    table->setEditTriggers(QAbstractItemView::AllEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectItems);
    // The name takes the room, so a level stays beside its article.
    table->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    table->verticalHeader()->setDefaultSectionSize(24);

    search->setObjectName(QStringLiteral("input_reordersearch"));
    search->setPlaceholderText(tr("输入型号、色号、仓库或名称查找"));
    search->setClearButtonEnabled(true);
    connect(search, &QLineEdit::textChanged, shown, &QSortFilterProxyModel::setFilterFixedString);
    auto* hint = new QLabel(tr("在“预警数量”一列填写数量，库存降到该数量或以下时提醒；"
                               "清空或填 0 表示不再提醒。"),
                            this);
    hint->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton(tr("保存"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("btn_reordersave"));
    QPushButton* close = buttons->addButton(tr("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btn_reorderclose"));
    connect(save, &QPushButton::clicked, this, &ReorderDialog::Save);
    connect(close, &QPushButton::clicked, this, &ReorderDialog::reject);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(tr("查找："), this));
    searchRow->addWidget(search);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(searchRow);
    layout->addWidget(table);
    saved->setObjectName(QStringLiteral("label_reordersaved"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(saved, 1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
}

void ReorderDialog::AddRow(const QString& modelText, const QString& colour, const QString& place,
                           const QString& name, const QString& onHand, double level)
{
    QList<QStandardItem*> cells;
    for (const QString& text : {modelText, colour, place, name, onHand}) {
        auto* cell = new QStandardItem(text);
        cell->setEditable(false);
        cells << cell;
    }
    cells[OnHandColumn]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* levelCell = new QStandardItem(LevelText(level));
    levelCell->setData(level, StoredRole);
    levelCell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    levelCell->setBackground(QColor(255, 248, 214)); // the one column to fill in
    levelCell->setToolTip(tr("库存降到该数量或以下时提醒；清空或填 0 表示不再提醒"));
    cells << levelCell;
    model->appendRow(cells);
}

void ReorderDialog::SetRows(const QList<ProductRecord>& stock, const QList<ReorderLevel>& levels)
{
    saved->clear();
    model->removeRows(0, model->rowCount());
    QHash<QStringList, double> levelOf;
    for (const ReorderLevel& l : levels)
        levelOf.insert({l.model, l.colour, l.place}, l.level);
    for (const ProductRecord& r : stock) {
        const QStringList key = {r.product_model, r.product_color, r.product_store};
        AddRow(r.product_model, r.product_color, r.product_store, r.product_name, r.product_num,
               levelOf.take(key));
    }
    // Levels of articles no longer in stock stay to be seen and removed.
    for (const ReorderLevel& l : levels) {
        if (levelOf.remove({l.model, l.colour, l.place}))
            AddRow(l.model, l.colour, l.place, tr("（没有库存记录）"), QStringLiteral("0"),
                   l.level);
    }
    table->resizeColumnsToContents();
}

bool ReorderDialog::HasChanges() const
{
    for (int row = 0; row < model->rowCount(); ++row) {
        const QStandardItem* cell = model->item(row, LevelColumn);
        const std::optional<double> typed = ReadLevel(cell->text());
        if (!typed || *typed != cell->data(StoredRole).toDouble())
            return true;
    }
    return false;
}

std::optional<QList<ReorderLevel>> ReorderDialog::Changed()
{
    QList<ReorderLevel> changed;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStandardItem* cell = model->item(row, LevelColumn);
        const std::optional<double> typed = ReadLevel(cell->text());
        if (!typed) {
            search->clear();
            table->setCurrentIndex(shown->mapFromSource(cell->index()));
            Tell(tr("库存预警"),
                 tr("商品型号 %1 的预警数量“%2”不是数字，请填写不小于 0 的数字，或清空。")
                     .arg(model->item(row, ModelColumn)->text(), cell->text()));
            return std::nullopt;
        }
        if (*typed != cell->data(StoredRole).toDouble())
            changed << ReorderLevel{model->item(row, ModelColumn)->text(),
                                    model->item(row, ColourColumn)->text(),
                                    model->item(row, PlaceColumn)->text(), *typed};
    }
    return changed;
}

bool ReorderDialog::Save()
{
    CommitTyping(*table);
    const std::optional<QList<ReorderLevel>> changed = Changed();
    if (!changed)
        return false;
    if (changed->isEmpty())
        return true;
    QString why;
    if (!saver(*changed, why)) {
        Tell(tr("保存失败"),
             tr("预警数量没有保存：%1\n填写的数量仍保留在表中，可稍后再保存。").arg(why));
        return false;
    }
    for (int row = 0; row < model->rowCount(); ++row) {
        QStandardItem* cell = model->item(row, LevelColumn);
        const double level = ReadLevel(cell->text()).value_or(0);
        cell->setData(level, StoredRole);
        cell->setText(LevelText(level));
    }
    saved->setText(tr("已保存 %1 项预警数量。").arg(changed->size()));
    return true;
}

void ReorderDialog::reject()
{
    CommitTyping(*table);
    if (HasChanges()) {
        PromptBox box;
        box.title = tr("库存预警");
        box.text = tr("有填写的预警数量尚未保存，关闭将放弃这些修改。确定关闭?");
        box.icon = QMessageBox::Question;
        box.buttons = QStringList{tr("放弃修改并关闭"), tr("返回")};
        if (Prompt::Current().Ask(this, box) != 0)
            return;
    }
    QDialog::reject();
}

void ReorderDialog::Tell(const QString& title, const QString& text)
{
    saved->clear();
    PromptBox box;
    box.title = title;
    box.text = text;
    box.icon = QMessageBox::Warning;
    Prompt::Current().Ask(this, box);
}
