#include "IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace
{

const QByteArray Bom = "\xef\xbb\xbf";

int Digit(QChar c, int base)
{
    const char16_t u = c.toLower().unicode();
    const int d = u >= '0' && u <= '9' ? u - '0' : u >= 'a' && u <= 'f' ? u - 'a' + 10 : base;
    return d < base ? d : -1;
}

// A quoted value with QSettings' escapes; false when it is not closed, holds an unknown escape or
// is followed by anything but blanks or a comment.
bool Unquote(const QString& raw, QString& value)
{
    static const QString named = QStringLiteral("\"\\'?abfnrtv");
    static const QString meant = QStringLiteral("\"\\'?\a\b\f\n\r\t\v");
    value.clear();
    for (qsizetype i = 1; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == QLatin1Char('"')) {
            const QString rest = raw.mid(i + 1).trimmed();
            return rest.isEmpty() || rest.startsWith(QLatin1Char(';'));
        }
        if (c != QLatin1Char('\\')) {
            value += c;
            continue;
        }
        if (++i >= raw.size())
            return false;
        const QChar e = raw.at(i);
        if (const qsizetype n = named.indexOf(e); n >= 0) {
            value += meant.at(n);
            continue;
        }
        const bool hex = e == QLatin1Char('x');
        const int base = hex ? 16 : 8;
        if (hex)
            ++i;
        uint code = 0;
        qsizetype digits = 0;
        for (; i < raw.size() && Digit(raw.at(i), base) >= 0; ++i, ++digits) {
            code = code * base + Digit(raw.at(i), base);
            if (code > 0xffff)
                return false;
        }
        if (digits == 0)
            return false;
        value += QChar(char16_t(code));
        --i;
    }
    return false;
}

} // namespace

bool IniFile::Load(const QString& filePath)
{
    *this = IniFile();
    path = filePath;
    QFile file(path);
    exists = file.exists();
    if (!exists)
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("无法读取配置文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    QByteArray bytes = file.readAll();
    bom = bytes.startsWith(Bom);
    if (bom)
        bytes.remove(0, Bom.size());
    if (bytes.contains("\r\n"))
        lineEnd = "\r\n";
    QList<QByteArray> raw = bytes.split('\n');
    if (!raw.isEmpty() && raw.last().isEmpty())
        raw.removeLast();
    QString section;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QByteArray& line = raw[i];
        if (line.endsWith('\r'))
            line.chop(1);
        // The line itself is not repeated: it may hold a password.
        if (!ReadLine(i, line, section) && error.isEmpty())
            error = QStringLiteral("配置文件 %1 第 %2 行无法读取").arg(path).arg(i + 1);
    }
    return true;
}

bool IniFile::ReadLine(qsizetype index, const QByteArray& bytes, QString& section)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString line = utf8(bytes);
    lines << line;
    if (utf8.hasError())
        return false;
    const QString text = line.trimmed();
    if (text.isEmpty() || text.startsWith(QLatin1Char(';')) || text.startsWith(QLatin1Char('#')))
        return true;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        const QString rest = text.mid(close + 1).trimmed();
        section = text.mid(1, close - 1).trimmed();
        sectionLines.insert(section, index);
        return rest.isEmpty() || rest.startsWith(QLatin1Char(';'));
    }
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    const QString key = text.left(eq).trimmed();
    if (eq < 0 || key.isEmpty())
        return false;
    const QString raw = text.mid(eq + 1).trimmed();
    QString value = raw;
    if (raw.startsWith(QLatin1Char('"')) && !Unquote(raw, value))
        return false;
    const QString full = section.isEmpty() ? key : section + QLatin1Char('/') + key;
    values.insert(full, value);
    valueLines.insert(full, index);
    sectionEntries[section] << Entry{key, value, index + 1};
    return true;
}

QList<IniFile::Entry> IniFile::SectionEntries(const QString& section) const
{
    return sectionEntries.value(section);
}

bool IniFile::SetValue(const QString& key, const QString& value)
{
    if (!error.isEmpty())
        return false; // a line that was not understood is never rewritten
    const QString section = key.section(QLatin1Char('/'), 0, 0);
    const QString name = key.section(QLatin1Char('/'), 1);
    if (const auto at = valueLines.constFind(key); at != valueLines.constEnd()) {
        // Keep the key as written, with its blanks around "=".
        QString& line = lines[*at];
        qsizetype start = line.indexOf(QLatin1Char('=')) + 1;
        while (start < line.size() && line.at(start).isSpace())
            ++start;
        line = line.left(start) + value;
    } else if (const auto header = sectionLines.constFind(section);
               header != sectionLines.constEnd()) {
        lines.insert(*header + 1, name + QLatin1Char('=') + value);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << QLatin1Char('[') + section + QLatin1Char(']') << name + QLatin1Char('=') + value;
    }

    QByteArray bytes = bom ? Bom : QByteArray();
    for (const QString& line : std::as_const(lines))
        bytes += line.toUtf8() + lineEnd;
    const QString target = path;
    const QString folder = QFileInfo(target).absolutePath();
    QSaveFile file(target);
    file.setDirectWriteFallback(true);
    QString why;
    if (!QDir().mkpath(folder))
        why = QStringLiteral("无法建立文件夹 %1").arg(folder);
    else if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
             !file.commit())
        why = file.errorString();
    if (!why.isEmpty()) {
        Load(target);
        error = QStringLiteral("无法写入配置文件 %1：%2").arg(target, why);
        return false;
    }
    if (!Load(target) || Value(key) != value) {
        error = QStringLiteral("配置文件 %1 写入后读不回 %2").arg(target, key);
        return false;
    }
    return true;
}
