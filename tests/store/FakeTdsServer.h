#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QStringList>
#include <atomic>
#include <thread>

// A server on 127.0.0.1 that takes one connection speaking TDS 7.0 (the version a FreeTDS client
// sends a plain login with). It keeps the login packet; when told to answer, it accepts the login
// as SQL Server would and answers every later request with an empty "done", keeping the text of
// each SQL batch and the name of each procedure called. Otherwise it hangs up after the login.
class FakeTdsServer
{
public:
    enum Mode { HangUpAfterLogin, AnswerEverything };

    explicit FakeTdsServer(Mode mode);
    ~FakeTdsServer();

    quint16 Port() const { return port; }

    // User name, password and database of the login received (waits for the client to go).
    QStringList Login();
    // The requests received after the login, in order: an SQL batch's text, or "exec <procedure>"
    // followed by the procedure's parameters as sent (a statement given to sp_cursoropen or
    // sp_executesql is among them, in UTF-16).
    QList<QByteArray> Requests();

private:
    void Serve();
    bool ReadMessage(int client, quint8& type, QByteArray& body);
    void Answer(int client, const QByteArray& tokens);

    Mode mode;
    int listener = -1;
    quint16 port = 0;
    QByteArray login;
    QMutex mutex;
    QList<QByteArray> requests;
    std::atomic<bool> stopping{false};
    std::thread serving;
};
