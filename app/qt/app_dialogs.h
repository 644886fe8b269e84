#pragma once
// The About box and the playback settings dialog in Qt.
#include <QDialog>

#include "state/app_dialogs.h"

class QCheckBox;

// "AVI再生設定": each click flips bit 0 of its working copy; OK hands both copies back.
class CPlaySettingsDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CPlaySettingsDlg(QWidget* pParent = nullptr);
    int32_t m_bRepeat = 0;
    int32_t m_bVgaMode = 0;
    QCheckBox* m_btnVgaMode = nullptr;
    QCheckBox* m_btnRepeat = nullptr;

  private:
    bool OnInitDialog();
};

class CQtAppDialogs final : public IAppDialogs {
  public:
    void SetParentWindow(QWidget* pParent) { m_pParent = pParent; }
    void ShowAbout() override;
    bool EditPlaySettings(int32_t& bRepeat, int32_t& bVgaMode) override;

    // The About box's first line: the tool's name with the build's one version, the same
    // that `quovel --version` prints.
    static QString TitleLine();
    // Its second line: the libraries in use.
    static QString VersionLine();

  private:
    QWidget* m_pParent = nullptr;
};
