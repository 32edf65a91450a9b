#pragma once

class QCoreApplication;

namespace tonvik {

// Loads Qt's own Russian translations (qtbase_ru), so that the file dialog
// and the standard buttons speak Russian whatever the desktop's locale.
// False when they are not installed; the dialogs then stay English.
bool InstallQtTranslations(QCoreApplication& app);

} // namespace tonvik
