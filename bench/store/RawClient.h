#pragma once

#include <QString>
#include <QStringList>

// A database's own command-line client, run once per statement with its output thrown away:
// the baseline our selects are measured against.
class RawClient
{
public:
    virtual ~RawClient() = default;

    // Milliseconds of the fastest half: the median of `runs` runs.
    double MedianMs(const QString& statement, int runs) const;
    // What the client prints for the statement (for counts and plans).
    QString Output(const QString& statement) const;
    virtual QString Name() const = 0;

protected:
    virtual QString Program() const = 0;
    virtual QStringList Arguments(const QString& statement) const = 0;
};

class SqliteCli : public RawClient
{
public:
    explicit SqliteCli(const QString& file) : file(file) {}
    QString Name() const override { return QStringLiteral("sqlite3"); }

protected:
    QString Program() const override { return QStringLiteral("sqlite3"); }
    QStringList Arguments(const QString& statement) const override { return {file, statement}; }

private:
    QString file;
};

class PsqlCli : public RawClient
{
public:
    PsqlCli(const QString& host, int port, const QString& user, const QString& database)
        : host(host), port(port), user(user), database(database)
    {
    }
    QString Name() const override { return QStringLiteral("psql"); }

protected:
    QString Program() const override { return QStringLiteral("psql"); }
    QStringList Arguments(const QString& statement) const override;

private:
    QString host;
    int port;
    QString user;
    QString database;
};

double Median(QList<double> values);
