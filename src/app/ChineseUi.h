#pragma once

class QCoreApplication;

// The toolkit's own texts (standard buttons, file dialogs, the calendar's months and days) in
// Chinese, and dates and numbers written the Chinese way, whatever the machine's language.
namespace ChineseUi
{

// Loads the toolkit's Chinese translations and makes Chinese the default locale; false when the
// translations are not installed (the program then still runs, with the toolkit's English).
bool Install(QCoreApplication& app);

} // namespace ChineseUi
