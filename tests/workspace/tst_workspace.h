#pragma once

#include <QObject>

// The ledger model without a window.
class TestPages : public QObject
{
    Q_OBJECT
private slots:
    void newRowTakesTheFirstEntryOfEveryList();
    void shownRecordKeepsItsTextsAndGetsASerial();
    void datesReadAsTheDateCellDoes();
    void anEditReportsItsRowOnce();
};

// The main window: roles, page selection, page load, the status line, closing and restarting.
class TestWindow : public QObject
{
    Q_OBJECT
private slots:
    void everyNamedResourceExists();
    void rolesApplyOnce_data();
    void rolesApplyOnce();
    void chainSummaryOnlyForASuperUserWhoseConfigurationNamesAChain();
    void moneyTitleTogglesTheGoodsStack();
    void menuActionsSelectPages();
    void pageLoadShowsTodaysRecordsOfThisStore();
    void signInShowsTheLowStockListOnlyWhenSomethingIsLow();
    void showingLoadedRowsSavesNothing();
    void statusLineShowsTimeAndUser();
    void closeBoxCanBeDeclined();
    void restartStartsANewCopyOnlyWhenQuitting();
};

// The store chooser, the help dialog, the about box and the cell-text viewer.
class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void chooserComposesAndWritesThePlace();
    void chooserReadsBadCountsAsNone_data();
    void chooserReadsBadCountsAsNone();
    void emptyListStillTakesATypedPlace();
    void storeCellClickOpensTheChooserOnTop();
    void helpActionOpensTheHelpDialog();
    void f1ShowsTheAboutBoxWhileThePickerHoldsEntries();
    void viewerShowsTheWholeTextOfAFixedCell();
};
