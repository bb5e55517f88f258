#pragma once
// Qt's own texts in Russian: the standard buttons, the save dialog, the
// context menus of the edits (Debian's qt6-translations-l10n, qtbase_ru.qm).

namespace zor::ui {

// Installs Qt's Russian translation in the application once; false when
// the translation is not installed on this machine (Qt's texts then stay
// English).
bool LoadQtTranslation();

} // namespace zor::ui
