#include "DialogInfoToDb.h"

namespace
{

const int MasterDataStore = 1;

} // namespace

DialogInfoToDb::DialogInfoToDb(QWidget* parent)
    : ListDialog(MasterDataStore, ListTabs::MasterData(), parent)
{
    setWindowTitle(tr("信息管理"));
}
