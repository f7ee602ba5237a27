#include "LocalAddress.h"

#include <QHostInfo>

namespace LocalAddress
{

QString FirstIPv4()
{
    const QHostInfo host = QHostInfo::fromName(QHostInfo::localHostName());
    for (const QHostAddress& address : host.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address.toString();
    }
    return {};
}

} // namespace LocalAddress
