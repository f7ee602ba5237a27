#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

// What an import of a sheet into a ledger page did, row by row.
struct ImportReport {
    struct SkippedRow {
        int sheetRow = 0; // 1-based, the header being row 1
        QString reason;
    };

    // Skipped rows the box lists; the report file lists all of them.
    static constexpr int ListedRows = 20;

    QString source;  // the file imported
    QString failure; // why the file could not be read; empty when it was
    int inserted = 0;
    int updated = 0;
    // Of the inserted rows, those without an entry time: each import adds them once more.
    int insertedWithoutEntryTime = 0;
    QList<SkippedRow> skipped;
    // Why the import stopped before its last row (the connection to the database was lost, the
    // program was quitting); empty when every row was tried. The rows it did not save are among
    // the skipped ones.
    QString stopped;
    int notSaved = 0;
    // Why the import's entry of the change history could not be written after its rows were.
    QString historyError;
    QString reportPath;  // where the full report was written
    QString reportError; // why it could not be written

    bool Read() const { return failure.isEmpty(); }
    // The counts and the first ListedRows skipped rows, for the box at the end of the import.
    QString Summary() const;
    // The counts and every skipped row, for the report file.
    QString FullText() const;
    // Writes FullText() next to the source as "<file name>.import.txt" and notes where (or why
    // not) in reportPath / reportError.
    void WriteBesideSource();

    // The import stores nothing more, for the first reason given.
    void Stop(const QString& why);
    // The records of these sheet rows are not saved because the import stopped.
    void LeaveUnsaved(const QList<int>& sheetRows);

private:
    // The counts, with what the import stopped for and what a second import would add.
    QStringList Counts() const;
    static QString Line(const SkippedRow& row);
};

Q_DECLARE_METATYPE(ImportReport)
