#pragma once

#include <QObject>

// Page definitions, the ledger model and its cell editors, without a window.
class TestPages : public QObject
{
    Q_OBJECT
private slots:
    void fifteenPagesWithTheirObjectNames();
    void headersFollowTheTable_data();
    void headersFollowTheTable();
    void cellEditorsByColumn();
    void newRowTakesTheFirstEntryOfEveryList();
    void shownRecordKeepsItsTextsAndGetsASerial();
    void datesReadAsTheDateCellDoes();
    void anEditReportsItsRowOnce();
    void listAndDateEditorsAreNamedAfterTableAndRow();
};

// The main window: frame, roles, page selection, page load and the status line.
class TestWindow : public QObject
{
    Q_OBJECT
private slots:
    void frameHasEveryMenuActionAndPage();
    void everyNamedResourceExists();
    void rolesApplyOnce_data();
    void rolesApplyOnce();
    void moneyTitleTogglesTheGoodsStack();
    void menuActionsSelectPages();
    void pageLoadShowsTodaysRecordsOfThisStore();
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
    void placeNamesAndCounts();
    void chooserComposesAndWritesThePlace();
    void chooserReadsBadCountsAsNone_data();
    void chooserReadsBadCountsAsNone();
    void emptyListStillTakesATypedPlace();
    void storeCellClickOpensTheChooserOnTop();
    void helpDialogShowsItsTexts();
    void f1ShowsTheAboutBoxWhileThePickerHoldsEntries();
    void viewerShowsTheWholeTextOfAFixedCell();
};
