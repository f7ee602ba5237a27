#include "DialogQuery.h"

#include "ui_DialogQuery.h"

#include <QDate>

namespace
{

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

// Replaces the entries of an editable box and keeps its text: refreshed lists must not turn
// into criteria the user never chose.
void Refill(QComboBox* box, const QStringList& entries)
{
    const QString text = box->currentText();
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(entries);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

} // namespace

DialogQuery::DialogQuery(QWidget* parent) : QDialog(parent), ui(new Ui::DialogQuery)
{
    ui->setupUi(this);
    ui->dateEdit->setDate(QDate::currentDate());
    ui->dateEdit_2->setDate(QDate::currentDate());
    ui->dateEdit->hide();
    for (QRadioButton* radio : {ui->radioButton, ui->radioButton_2, ui->radioButton_3,
                                ui->radioButton_4, ui->radioButton_5})
        connect(radio, &QRadioButton::clicked, this, &DialogQuery::RadioButtonProcess);
    for (QPushButton* button : {ui->btn_cancel, ui->btn_all, ui->btn_query, ui->btn_clrcont,
                                ui->btn_clrcont_2, ui->btn_clrcont_3})
        connect(button, &QPushButton::clicked, this, &DialogQuery::ProcessBtn);
    connect(ui->lineEdit_2, &QLineEdit::textEdited, this, &DialogQuery::ProcessStore);
}

DialogQuery::~DialogQuery() = default;

QList<QComboBox*> DialogQuery::GoodsBoxes() const
{
    return {ui->comboBox,   ui->comboBox_2, ui->comboBox_3, ui->comboBox_4,
            ui->comboBox_5, ui->comboBox_6, ui->comboBox_7, ui->comboBox_8};
}

void DialogQuery::SetLists(const QueryLists& l)
{
    Refill(ui->comboBox, l.categories);
    Refill(ui->comboBox_2, l.names);
    Refill(ui->comboBox_3, l.models);
    Refill(ui->comboBox_4, l.colours);
    Refill(ui->comboBox_5, l.sizes);
    Refill(ui->comboBox_6, l.suppliers + l.clients + l.distributors);
    Refill(ui->comboBox_7, l.staff);
    Refill(ui->comboBox_8, l.staff);
    Refill(ui->comboBox_9, l.models);
    Refill(ui->comboBox_10, l.distributors + l.staff);
    Refill(ui->comboBox_32, l.suppliers + l.clients + l.distributors);
    Refill(ui->comboBox_33, l.staff);
    Refill(ui->comboBox_34, l.staff);
}

void DialogQuery::SetStoreChooser(StoreChooser chooser)
{
    storeChooser = std::move(chooser);
}

void DialogQuery::SetTarget(int group, int page, int criteriaPage)
{
    queryGroup = group;
    queryPage = page;
    ui->stackedWidget->setCurrentIndex(criteriaPage);
}

QueryCriteria DialogQuery::ReadCriteria() const
{
    QueryCriteria c;
    c.group = queryGroup;
    c.page = queryPage;
    c.timeMode = timeMode;
    c.allRecords = allRecords;
    c.startDate = ui->dateEdit->date().toString(DateFormat);
    c.queryDate = ui->dateEdit_2->date().toString(DateFormat);
    c.goods.category = ui->comboBox->currentText();
    c.goods.name = ui->comboBox_2->currentText();
    c.goods.model = ui->comboBox_3->currentText();
    c.goods.colour = ui->comboBox_4->currentText();
    c.goods.size = ui->comboBox_5->currentText();
    c.goods.party = ui->comboBox_6->currentText();
    c.goods.person = ui->comboBox_7->currentText();
    c.goods.enteredBy = ui->comboBox_8->currentText();
    c.goods.code = ui->lineEdit->text();
    c.goods.store = ui->lineEdit_2->text();
    c.goods.document = ui->lineEdit_3->text();
    c.sales.model = ui->comboBox_9->currentText();
    c.sales.person = ui->comboBox_10->currentText();
    c.money.item = ui->comboBox_31->currentText();
    c.money.party = ui->comboBox_32->currentText();
    c.money.person = ui->comboBox_33->currentText();
    c.money.document = ui->lineEdit_5->text();
    c.money.enteredBy = ui->comboBox_34->currentText();
    return c;
}

void DialogQuery::ProcessStore(const QString& text)
{
    if (storeChooser) {
        // A cancelled choice leaves the criterion as it was, not the key that opened the chooser.
        ui->lineEdit_2->setText(storeChooser(text).value_or(storeCriterion));
    }
    storeCriterion = ui->lineEdit_2->text();
}

void DialogQuery::RadioButtonProcess()
{
    ui->dateEdit->hide();
    const QObject* radio = sender();
    if (radio == ui->radioButton) {
        timeMode = 1;
    } else if (radio == ui->radioButton_2) {
        timeMode = 2;
    } else if (radio == ui->radioButton_3) {
        timeMode = 3;
    } else if (radio == ui->radioButton_4) {
        timeMode = 4;
        OrderSpan();
        ui->dateEdit->show();
    } else if (radio == ui->radioButton_5) {
        timeMode = 5;
    }
}

void DialogQuery::ClearTexts(const QList<QComboBox*>& boxes, const QList<QLineEdit*>& edits)
{
    for (QComboBox* box : boxes)
        box->setEditText(QString());
    for (QLineEdit* edit : edits)
        edit->clear();
    storeCriterion = ui->lineEdit_2->text();
}

void DialogQuery::OrderSpan()
{
    if (ui->dateEdit->date() <= ui->dateEdit_2->date())
        return;
    const QDate start = ui->dateEdit_2->date();
    ui->dateEdit_2->setDate(ui->dateEdit->date());
    ui->dateEdit->setDate(start);
}

void DialogQuery::ProcessBtn()
{
    const QObject* button = sender();
    if (button == ui->btn_cancel) {
        hide();
    } else if (button == ui->btn_all) {
        allRecords = true;
        timeMode = 5;
        ui->radioButton_5->setChecked(true);
        ui->dateEdit->hide();
        emit sendQueryCmd();
        hide();
    } else if (button == ui->btn_query) {
        allRecords = false;
        if (timeMode == 4)
            OrderSpan();
        emit sendQueryCmd();
    } else if (button == ui->btn_clrcont) {
        ClearTexts(GoodsBoxes(), {ui->lineEdit, ui->lineEdit_2, ui->lineEdit_3});
    } else if (button == ui->btn_clrcont_2) {
        ClearTexts({ui->comboBox_9, ui->comboBox_10}, {});
    } else if (button == ui->btn_clrcont_3) {
        ClearTexts({ui->comboBox_31, ui->comboBox_32, ui->comboBox_33, ui->comboBox_34},
                   {ui->lineEdit_5});
    }
}
