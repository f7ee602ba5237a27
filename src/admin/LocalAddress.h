#pragma once

#include <QString>

namespace LocalAddress
{

// The first IPv4 address the local host name resolves to, empty when there is none.
QString FirstIPv4();

} // namespace LocalAddress
