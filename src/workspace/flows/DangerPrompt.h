#pragma once

#include <QString>

class QWidget;

// The "删除告警" question asked before deleting, clearing and restoring.
namespace DangerPrompt
{

// True when confirmed. `detail`, when given, says under the warning what exactly will go.
bool Confirm(QWidget* parent, const QString& detail = QString());

} // namespace DangerPrompt
