#pragma once
// "AVI変換設定": the modal dialog in which the user edits the conversion settings; it also
// shows the source's facts and the destination file. The caller applies the working copy
// after OK.
#include <QDialog>
#include <map>

#include <vector>

#include "convert/convert_settings.h"
#include "convert/convert_settings_editor.h"
#include "platform/sound_plan.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;

class CConvertSettingsDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CConvertSettingsDlg(QWidget* pParent = nullptr);
    const ConvertSettings& Working() const { return m_working; }
    void ApplySettings();
    QWidget* Control(int nId) const { return m_controls.at(nId); }

    void accept() override;  // OnOK: refuses invalid settings and stays open

  private:
    bool OnInitDialog();
    void FillControls();
    void ConnectHandlers();
    QLabel* Label(int nId) const;
    QAbstractButton* Button(int nId) const;
    QLineEdit* Edit(int nId) const;
    QSlider* Slider(int nId) const;
    QComboBox* SoundCombo() const;
    // The sound group's bit rate and note, after any change that bears on them.
    void UpdateSoundControls();

    std::map<int, QWidget*> m_controls;
    ConvertSettings m_working;
    platform::SoundSource m_sound;                    // what the source's sound allows
    std::vector<platform::SoundMode> m_soundChoices;  // the list's items, in order
};

// The dialog as the commands' settings editor.
class CConvertSettingsEditor final : public IConvertSettingsEditor {
  public:
    void SetParentWindow(QWidget* pParent) { m_pParent = pParent; }
    bool Edit(ConvertSettings& settings) override;

  private:
    QWidget* m_pParent = nullptr;
};
