#include "app/qt/qt_ui_services.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "app/qt/dialog_builder.h"
#include "resources/strings.h"

QString CQtUiServices::ToQtFilter(const char* pszFilter) {
    const QStringList parts = QString::fromUtf8(pszFilter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) {
            break;
        }
        QString strPatterns = parts[i + 1];
        strPatterns.replace(';', ' ').replace("*.*", "*");
        QString strDescription = parts[i];
        // The description already names its patterns, e.g. "AVI Files (*.avi)".
        const qsizetype nParen = strDescription.indexOf(" (");
        if (nParen >= 0) {
            strDescription.truncate(nParen);
        }
        filters << QStringLiteral("%1 (%2)").arg(strDescription, strPatterns);
    }
    return filters.join(";;");
}

std::optional<std::string> CQtUiServices::ChooseOpenFile(const char* pszFilter,
                                                         const char* /*pszDefaultExt*/) {
    const QString strPath =
        QFileDialog::getOpenFileName(m_pParent, QString(), QString(), ToQtFilter(pszFilter));
    if (strPath.isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(strPath).toStdString();  // the name as the file system has it
}

std::optional<std::string> CQtUiServices::ChooseSaveFile(const char* pszFilter,
                                                         const char* pszDefaultExt) {
    QFileDialog dialog(m_pParent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilter(ToQtFilter(pszFilter));
    dialog.setDefaultSuffix(QString::fromUtf8(pszDefaultExt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // A name typed without an extension gets the default one, whichever dialog the platform
    // shows.
    QString strName = dialog.selectedFiles().front();
    if (QFileInfo(strName).suffix().isEmpty() && pszDefaultExt != nullptr && *pszDefaultExt != 0) {
        strName += QLatin1Char('.') + QString::fromUtf8(pszDefaultExt);
    }
    return QFile::encodeName(strName).toStdString();
}

void CQtUiServices::MessageBox(const std::string& strText) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(str::kAppTitle),
                    QString::fromStdString(strText), QMessageBox::Ok, m_pParent);
    CDialogBuilder::UseDialogTitleBar(box);
    box.exec();
}

bool CQtUiServices::AskYesNo(const std::string& strQuestion) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(str::kAppTitle),
                    QString::fromStdString(strQuestion), QMessageBox::Yes | QMessageBox::No,
                    m_pParent);
    box.setDefaultButton(QMessageBox::No);  // a stray Enter keeps the conversion going
    box.setEscapeButton(QMessageBox::No);
    CDialogBuilder::UseDialogTitleBar(box);
    return box.exec() == QMessageBox::Yes;
}
