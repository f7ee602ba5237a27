#include "ListRows.h"

#include "ListCodec.h"
#include "UserRoles.h"

namespace ListRows
{

QList<QStringList> Shown(const QString& packed, int fields)
{
    QList<QStringList> rows = ListCodec::Unpack(packed);
    for (QStringList& row : rows) {
        if (row.size() != fields)
            row.clear();
    }
    while (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    return rows;
}

UserRecord Account(const QStringList& cells, const QString& address)
{
    UserRecord user;
    user.user_name = cells.value(0);
    user.user_phoneno = cells.value(1);
    user.user_password = cells.value(2);
    user.user_type = UserRoles::CodeForText(cells.value(3));
    user.user_remark = cells.value(4);
    user.user_online = 1;
    user.user_ip = address;
    return user;
}

} // namespace ListRows
