#include "DangerPrompt.h"

#include "Prompt.h"

#include <QCoreApplication>

namespace DangerPrompt
{

bool Confirm(QWidget* parent, const QString& detail)
{
    PromptBox box;
    box.title = QCoreApplication::translate("MainWindow", "删除告警");
    box.text = QCoreApplication::translate("MainWindow", "删除或还原数据请慎重,确认?");
    if (!detail.isEmpty())
        box.text += QStringLiteral("\n\n") + detail;
    box.iconPath = QStringLiteral(":/icons/icons/littleIcon1/Error.png");
    box.buttons = QStringList{QCoreApplication::translate("MainWindow", "确认"),
                              QCoreApplication::translate("MainWindow", "取消")};
    box.buttonWidth = 100;
    return Prompt::Current().Ask(parent, box) == 0;
}

} // namespace DangerPrompt
