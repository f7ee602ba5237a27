#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// An INI file read line by line, each value exactly as written on its line.
//
// "[Section]" starts a section; "Key=Value" sets `Section/Key` to the text after the first "=",
// without the blanks around it, so ",", ";" and "\" are part of the value. A value that starts
// with a double quote is read as a quoted text (the escapes \" \\ \' \? \a \b \f \n \r \t \v, \x
// with hex digits and \ with octal digits), which keeps blanks at its edges; nothing but blanks
// or a ";" comment may follow its closing quote. Lines starting with ";" or "#" are comments.
// Any other line cannot be read: it is reported, never guessed at.
class IniFile
{
public:
    // Reads the file; false when it exists but cannot be read. A missing file reads as empty.
    bool Load(const QString& path);

    bool Exists() const { return exists; }
    // The first line that could not be read, or why the file could not be read; empty when
    // everything was read.
    QString Error() const { return error; }

    bool Contains(const QString& key) const { return values.contains(key); }
    // The value of `Section/Key` (the last one when the key is written twice); empty when missing.
    QString Value(const QString& key) const { return values.value(key); }

    // One "Key=Value" line of a section, as it was read.
    struct Entry {
        QString key;
        QString value;
        qsizetype line = 0; // 1-based
    };
    // Every key line of `section` in file order, a key written twice included twice.
    QList<Entry> SectionEntries(const QString& section) const;

    // Writes `value` into the line of `Section/Key` (adding the key, and its section when
    // missing) and leaves every other line of the file as it was. The value is written as it
    // is: callers give values that read back unchanged.
    bool SetValue(const QString& key, const QString& value);

private:
    bool ReadLine(qsizetype index, const QByteArray& bytes, QString& section);

    QString path;
    bool exists = false;
    bool bom = false;
    QByteArray lineEnd = "\n";
    QStringList lines;
    QHash<QString, QString> values;
    QHash<QString, qsizetype> valueLines;   // key -> index of the line that sets it
    QHash<QString, qsizetype> sectionLines; // section -> index of its last header line
    QHash<QString, QList<Entry>> sectionEntries;
    QString error;
};
