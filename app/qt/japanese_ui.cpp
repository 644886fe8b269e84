#include "app/qt/japanese_ui.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

void UseJapaneseUiFont() {
    // The dialogs are laid out for a Japanese proportional gothic; IPAPGothic has its metrics.
    for (const char* pszFamily : {"IPAPGothic", "IPAPゴシック", "Noto Sans CJK JP"}) {
        if (QFontDatabase::hasFamily(QString::fromUtf8(pszFamily))) {
            QFont font(QString::fromUtf8(pszFamily));
            font.setPointSize(9);
            QApplication::setFont(font);
            return;
        }
    }
}

bool InstallJapaneseQtTexts(QTranslator& translator) {
    if (!translator.load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    return QCoreApplication::installTranslator(&translator);
}
