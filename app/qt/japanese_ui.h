#pragma once
// The program speaks Japanese throughout, whatever the desktop's language: its own texts are
// Japanese, and so must be Qt's (file dialogs, standard buttons).
class QTranslator;

// The dialogs' proportional gothic as the application font, where one is installed.
void UseJapaneseUiFont();
// Loads Qt's own Japanese texts into translator and installs it; false when they are not
// installed here (Qt's English texts stay).
bool InstallJapaneseQtTexts(QTranslator& translator);
