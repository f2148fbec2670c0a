#pragma once
// Qt's own dialogs (saving a file, printing) speak Japanese like the rest of the program, whatever
// the machine's language.

// Installs Qt's Japanese translations into the running application, once; needs a
// QCoreApplication. False when Debian's qt6-translations-l10n is missing: Qt's dialogs then stay
// in English and the program works as before.
bool useJapaneseQtTexts();
