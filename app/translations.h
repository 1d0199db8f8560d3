// Qt's own texts (message box buttons, dialogs, text box menus) in
// Simplified Chinese, whatever the machine's locale: the window is Chinese
// throughout.
#pragma once

class QCoreApplication;

namespace tavo {

// Loads Qt's Simplified Chinese translations into `app`; false when they
// are not installed (Qt's English texts then stay).
bool load_chinese_translations(QCoreApplication& app);

}  // namespace tavo
