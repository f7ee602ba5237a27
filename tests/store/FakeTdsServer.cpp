#include "FakeTdsServer.h"

#include <QMutexLocker>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

constexpr quint8 SqlBatch = 0x01;
constexpr quint8 Rpc = 0x03;
constexpr quint8 Login7 = 0x10;
constexpr quint8 TabularResult = 0x04;

void Append16(QByteArray& out, quint16 value)
{
    out.append(char(value & 0xff)).append(char(value >> 8));
}

void Append32(QByteArray& out, quint32 value)
{
    Append16(out, quint16(value & 0xffff));
    Append16(out, quint16(value >> 16));
}

QByteArray Utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

QString FromUtf16(const QByteArray& bytes)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                              bytes.size() / 2);
}

// The login accepted: LOGINACK for TDS 7.0 from "Microsoft SQL Server" 16.0, then DONE.
QByteArray LoginAccepted()
{
    const QString name = QStringLiteral("Microsoft SQL Server");
    QByteArray ack;
    ack.append(char(1));                         // interface: T-SQL
    ack.append(QByteArray::fromHex("07000000")); // TDS 7.0
    ack.append(char(name.size())).append(Utf16(name));
    ack.append(QByteArray::fromHex("100007d0")); // 16.0.2000
    QByteArray tokens;
    tokens.append(char(0xAD));
    Append16(tokens, quint16(ack.size()));
    tokens.append(ack);
    tokens.append(char(0xFD));
    Append16(tokens, 0); // final
    Append16(tokens, 0);
    Append32(tokens, 0);
    return tokens;
}

// The end of a request with no rows: DONE, or for a procedure its return status 0 and DONEPROC.
QByteArray Done(bool procedure)
{
    QByteArray tokens;
    if (procedure) {
        tokens.append(char(0x79));
        Append32(tokens, 0);
    }
    tokens.append(char(procedure ? 0xFE : 0xFD));
    Append16(tokens, 0);
    Append16(tokens, 0);
    Append32(tokens, 0);
    return tokens;
}

} // namespace

FakeTdsServer::FakeTdsServer(Mode mode) : mode(mode)
{
    listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        listen(listener, 1) == 0 &&
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    serving = std::thread([this] { Serve(); });
}

FakeTdsServer::~FakeTdsServer()
{
    stopping = true;
    if (serving.joinable())
        serving.join();
    close(listener);
}

QStringList FakeTdsServer::Login()
{
    if (serving.joinable())
        serving.join();
    if (login.size() < 72)
        return {};
    auto field = [&](int at, bool password) {
        const int offset = quint8(login[at]) | quint8(login[at + 1]) << 8;
        const int chars = quint8(login[at + 2]) | quint8(login[at + 3]) << 8;
        QByteArray bytes = login.mid(offset, chars * 2);
        for (char& b : bytes) {
            if (password) { // each byte XORed with 0xA5 and its halves swapped
                const quint8 x = quint8(b) ^ 0xA5;
                b = char(quint8(x << 4 | x >> 4));
            }
        }
        return FromUtf16(bytes);
    };
    return {field(40, false), field(44, true), field(68, false)};
}

QList<QByteArray> FakeTdsServer::Requests()
{
    QMutexLocker lock(&mutex);
    return requests;
}

void FakeTdsServer::Serve()
{
    pollfd wait{listener, POLLIN, 0};
    if (poll(&wait, 1, 20000) != 1)
        return;
    const int client = accept(listener, nullptr, nullptr);
    quint8 type = 0;
    QByteArray body;
    if (ReadMessage(client, type, body) && type == Login7) {
        login = body;
        if (mode == AnswerEverything)
            Answer(client, LoginAccepted());
    }
    while (mode == AnswerEverything && ReadMessage(client, type, body)) {
        QByteArray request;
        if (type == SqlBatch) {
            request = body;
        } else if (type == Rpc && body.size() >= 2) {
            const int chars = quint8(body[0]) | quint8(body[1]) << 8;
            request = chars == 0xffff
                          ? "exec #" + QByteArray::number(quint8(body[2])) + " " + body.mid(4)
                          : "exec " + FromUtf16(body.mid(2, chars * 2)).toUtf8() + " " +
                                body.mid(2 + chars * 2);
        }
        {
            QMutexLocker lock(&mutex);
            requests << request;
        }
        Answer(client, Done(type == Rpc));
    }
    close(client);
}

// One message of the client: its packets' bodies up to the one marked last.
bool FakeTdsServer::ReadMessage(int client, quint8& type, QByteArray& body)
{
    body.clear();
    QByteArray packet;
    char buffer[4096];
    for (;;) {
        while (packet.size() < 8 || packet.size() < (quint8(packet[2]) << 8 | quint8(packet[3]))) {
            pollfd in{client, POLLIN, 0};
            int ready = 0;
            for (int waited = 0; !stopping && ready == 0 && waited < 200; ++waited)
                ready = poll(&in, 1, 100);
            const ssize_t n = ready == 1 ? recv(client, buffer, sizeof buffer, 0) : 0;
            if (n <= 0)
                return false;
            packet.append(buffer, n);
        }
        const int length = quint8(packet[2]) << 8 | quint8(packet[3]);
        type = quint8(packet[0]);
        const bool last = packet[1] & 0x01;
        body.append(packet.mid(8, length - 8));
        packet.remove(0, length);
        if (last)
            return true;
    }
}

void FakeTdsServer::Answer(int client, const QByteArray& tokens)
{
    QByteArray packet;
    packet.append(char(TabularResult)).append(char(0x01));
    const int length = int(tokens.size()) + 8;
    packet.append(char(length >> 8)).append(char(length & 0xff));
    packet.append(QByteArray::fromHex("00000100"));
    packet.append(tokens);
    send(client, packet.constData(), packet.size(), MSG_NOSIGNAL);
}
