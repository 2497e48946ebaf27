#pragma once

class QCoreApplication;

namespace tvx {

// Qt's own texts (the standard buttons, file dialogs and context menus) in Japanese, like the rest of
// the tool, whatever the desktop's language; the default locale becomes Japanese, so that the dialogs'
// dates and sizes read the same way. Looks in Qt's translations folder; false when none of
// Qt's Japanese catalogues is installed there (the texts then stay Qt's English).
bool install_qt_translations(QCoreApplication& app);

}  // namespace tvx
