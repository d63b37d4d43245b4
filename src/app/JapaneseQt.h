// Qt's own texts (standard buttons, file dialogs, context menus) and its
// date formats in Japanese, whatever the system locale is.
#pragma once

namespace rvm {

// Installs Qt's own Japanese translation and makes Japanese the default
// locale. Call once, after the application object exists and before any
// window is made. False when the translation file cannot be found: Qt's
// texts then stay English and nothing else changes.
bool UseJapaneseQt();

}  // namespace rvm
