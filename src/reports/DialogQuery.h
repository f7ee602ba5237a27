#pragma once

#include "QueryCriteria.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLineEdit;

namespace Ui
{
class DialogQuery;
}

// The entries the criteria boxes offer: the first cell of each row of the master-data lists and
// person lists.
struct QueryLists {
    QStringList categories;
    QStringList names;
    QStringList models;
    QStringList colours;
    QStringList sizes;
    QStringList suppliers;
    QStringList clients;
    QStringList distributors;
    QStringList staff;
};

// "信息查询": the period and the content criteria of a query. Built once by the main window,
// shown without blocking it and kept between runs, so the criteria stay as the user left them.
class DialogQuery : public QDialog
{
    Q_OBJECT
public:
    // Asked for a store place, given the text of the store field; returns the place chosen, or
    // nothing when the choice was cancelled.
    using StoreChooser = std::function<std::optional<QString>(const QString&)>;

    explicit DialogQuery(QWidget* parent = nullptr);
    ~DialogQuery() override;

    // Offers the entries of the lists; what the boxes hold is kept.
    void SetLists(const QueryLists& lists);
    void SetStoreChooser(StoreChooser chooser);
    // The page the next run fills, and the criteria page that goes with it.
    void SetTarget(int group, int page, int criteriaPage);
    // The period and criteria as the widgets hold them now.
    QueryCriteria ReadCriteria() const;

    int QueryGroup() const { return queryGroup; }
    int QueryPage() const { return queryPage; }
    int TimeMode() const { return timeMode; }
    bool AllRecords() const { return allRecords; }

signals:
    void sendQueryCmd();

public slots:
    void ProcessStore(const QString& text);
    void RadioButtonProcess();
    void ProcessBtn();

private:
    QList<QComboBox*> GoodsBoxes() const;
    void ClearTexts(const QList<QComboBox*>& boxes, const QList<QLineEdit*>& edits);
    // Puts a span whose start lies after its end the right way round, on screen too.
    void OrderSpan();

    std::unique_ptr<Ui::DialogQuery> ui;
    StoreChooser storeChooser;
    // The store criterion as last chosen: typing into the field only opens the chooser.
    QString storeCriterion;
    int timeMode = 1;
    bool allRecords = false;
    int queryGroup = 0;
    int queryPage = 0;
};
