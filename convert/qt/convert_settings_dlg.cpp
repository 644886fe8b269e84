#include "convert/qt/convert_settings_dlg.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSlider>

#include "app/qt/dialog_builder.h"
#include "convert/avi_writer.h"
#include "convert/codec_names.h"
#include "convert/sound_choice.h"
#include "playback/frame_grabber.h"
#include "resources/convert_dialog.h"
#include "resources/strings.h"
#include "state/app_state.h"

using namespace convert_ids;

namespace {
int32_t StreamLength() {
    int32_t nLength = 0;
    if (AppState.pGrabber == nullptr || !AppState.pGrabber->GetStreamLength(nLength)) {
        return 0;
    }
    return nLength;
}
QString Text(const std::string& str) {
    return QString::fromStdString(str);
}
const char* SoundChoiceText(platform::SoundMode mode) {
    switch (mode) {
        case platform::SoundMode::None:
            return str::kSoundNone;
        case platform::SoundMode::Copy:
            return str::kSoundCopy;
        case platform::SoundMode::Pcm:
            return str::kSoundPcm;
        default:
            return str::kSoundMp3;
    }
}
}  // namespace

CConvertSettingsDlg::CConvertSettingsDlg(QWidget* pParent) : QDialog(pParent) {
    m_controls = CDialogBuilder::Build(res::ConvertSettingsTemplate(), *this);
    OnInitDialog();
    ConnectHandlers();
}

QLabel* CConvertSettingsDlg::Label(int nId) const {
    return qobject_cast<QLabel*>(m_controls.at(nId));
}
QAbstractButton* CConvertSettingsDlg::Button(int nId) const {
    return qobject_cast<QAbstractButton*>(m_controls.at(nId));
}
QLineEdit* CConvertSettingsDlg::Edit(int nId) const {
    return qobject_cast<QLineEdit*>(m_controls.at(nId));
}
QSlider* CConvertSettingsDlg::Slider(int nId) const {
    return qobject_cast<QSlider*>(m_controls.at(nId));
}
QComboBox* CConvertSettingsDlg::SoundCombo() const {
    return qobject_cast<QComboBox*>(m_controls.at(kSoundMode));
}

bool CConvertSettingsDlg::OnInitDialog() {
    const int32_t nLength = StreamLength();
    for (int nId : {kRangeStartSlider, kRangeEndSlider}) {
        Slider(nId)->setRange(0, nLength);
        Slider(nId)->setTickInterval(300);
    }
    m_working = LoadConvertSettings();
    std::string strSource;
    if (AppState.pGrabber != nullptr) {
        AppState.pGrabber->GetFileName(strSource);
    }
    m_sound = strSource.empty() ? platform::SoundSource{} : platform::ProbeSound(strSource);
    m_soundChoices = SoundChoices(m_sound);
    for (const platform::SoundMode mode : m_soundChoices) {
        SoundCombo()->addItem(QString::fromUtf8(SoundChoiceText(mode)));
    }
    FillControls();
    return true;
}

void CConvertSettingsDlg::FillControls() {
    int32_t w = 0;
    int32_t h = 0;
    std::string strSource;
    if (AppState.pGrabber != nullptr) {
        AppState.pGrabber->GetFrameSize(w, h);
        AppState.pGrabber->GetFileName(strSource);
    }
    Label(kWidth)->setText(QString::number(w));
    Label(kHeight)->setText(QString::number(h));
    Label(kLength)->setText(Text(FormatFramePosition(static_cast<uint32_t>(StreamLength()))));
    Label(kHandler)->setText(Text(AppState.strSrcHandler));
    Label(kFormat)->setText(Text(AppState.strSrcFormat));
    std::string strCodec;
    FindCodecName(AppState.strSrcHandler, strCodec);
    Label(kCodecName)->setText(Text(strCodec));
    Label(kSourceFile)->setText(Text(strSource));
    Label(kSourceFile)->setWordWrap(true);

    // Setting an edit's text stores the same value back: copy the working values first.
    const ConvertSettings s = m_working;
    Button(kSrc30)->setChecked(s.nSrcRateMode == 0);
    Button(kSrcUser)->setChecked(s.nSrcRateMode == 1);
    Edit(kSrcRate)->setText(QString::number(s.nSrcFrameRate));
    std::string strDest;
    if (AppState.pWriter != nullptr) {
        AppState.pWriter->GetFileName(strDest);
    }
    Label(kDestFile)->setText(Text(strDest));
    Label(kDestFile)->setWordWrap(true);
    Button(kTimer30)->setChecked(s.nTimerRateMode == 0);
    Button(kTimer10)->setChecked(s.nTimerRateMode == 1);
    Button(kTimerUser)->setChecked(s.nTimerRateMode == 2);
    Edit(kTimerRate)->setText(QString::number(s.nTimerFrameRate));
    Button(kDst30)->setChecked(s.nDstRateMode == 0);
    Button(kDstUser)->setChecked(s.nDstRateMode == 1);
    Edit(kDstRate)->setText(QString::number(s.nDstFrameRate));
    Button(kThin1)->setChecked(s.nThinning == 1);
    Button(kThin2)->setChecked(s.nThinning == 2);
    Button(kThin3)->setChecked(s.nThinning == 3);
    Button(kRangeWhole)->setChecked(s.nRangeMode == 0);
    Button(kRangeChosen)->setChecked(s.nRangeMode == 1);
    Label(kRangeStartText)
        ->setText(Text(FormatFramePosition(static_cast<uint32_t>(s.nRangeStart))));
    Label(kRangeEndText)->setText(Text(FormatFramePosition(static_cast<uint32_t>(s.nRangeEnd))));
    Slider(kRangeStartSlider)->setValue(s.nRangeStart);
    Slider(kRangeEndSlider)->setValue(s.nRangeEnd);
    Button(kHide)->setChecked(s.bHideWhileConverting != 0);
    Button(kDvCrop)->setChecked(s.bDvCrop != 0);
    Button(kApplyEffects)->setChecked(s.bApplyEffects != 0);
    const platform::SoundMode shown = ShownSoundChoice(s.nSoundMode, m_sound);
    for (size_t i = 0; i < m_soundChoices.size(); ++i) {
        if (m_soundChoices[i] == shown) {
            SoundCombo()->setCurrentIndex(static_cast<int>(i));
        }
    }
    SoundCombo()->setEnabled(m_sound.bHasSound);
    Edit(kSoundBitRate)->setText(QString::number(s.nSoundKBitsPerSecond));
    m_working = s;
    UpdateSoundControls();
}

void CConvertSettingsDlg::UpdateSoundControls() {
    Edit(kSoundBitRate)
        ->setEnabled(m_sound.bHasSound &&
                     ShownSoundChoice(m_working.nSoundMode, m_sound) == platform::SoundMode::Mp3);
    const char* pszNote = SoundNote(m_working, m_sound);
    Label(kSoundNote)->setText(pszNote != nullptr ? QString::fromUtf8(pszNote) : QString());
}

void CConvertSettingsDlg::ConnectHandlers() {
    auto onClick = [this](int nId, auto fnSet) {
        connect(Button(nId), &QAbstractButton::clicked, this, [this, fnSet] {
            fnSet(m_working);
            UpdateSoundControls();  // the speed the sound must follow may have changed
        });
    };
    onClick(kSrc30, [](ConvertSettings& s) { s.nSrcRateMode = 0; });
    onClick(kSrcUser, [](ConvertSettings& s) { s.nSrcRateMode = 1; });
    onClick(kTimer30, [](ConvertSettings& s) { s.nTimerRateMode = 0; });
    onClick(kTimer10, [](ConvertSettings& s) { s.nTimerRateMode = 1; });
    onClick(kTimerUser, [](ConvertSettings& s) { s.nTimerRateMode = 2; });
    onClick(kDst30, [](ConvertSettings& s) { s.nDstRateMode = 0; });
    onClick(kDstUser, [](ConvertSettings& s) { s.nDstRateMode = 1; });
    onClick(kRangeWhole, [](ConvertSettings& s) { s.nRangeMode = 0; });
    onClick(kRangeChosen, [](ConvertSettings& s) { s.nRangeMode = 1; });
    onClick(kThin1, [](ConvertSettings& s) { s.nThinning = 1; });
    onClick(kThin2, [](ConvertSettings& s) { s.nThinning = 2; });
    onClick(kThin3, [](ConvertSettings& s) { s.nThinning = 3; });
    onClick(kHide,
            [](ConvertSettings& s) { s.bHideWhileConverting = s.bHideWhileConverting ? 0 : 1; });
    onClick(kDvCrop, [](ConvertSettings& s) { s.bDvCrop = s.bDvCrop ? 0 : 1; });
    onClick(kApplyEffects, [](ConvertSettings& s) { s.bApplyEffects = s.bApplyEffects ? 0 : 1; });

    auto onText = [this](int nId, int32_t ConvertSettings::*pField) {
        connect(Edit(nId), &QLineEdit::textChanged, this, [this, pField](const QString& strText) {
            m_working.*pField = LeadingNumber(strText.toStdString());
            UpdateSoundControls();
        });
    };
    onText(kSrcRate, &ConvertSettings::nSrcFrameRate);
    onText(kTimerRate, &ConvertSettings::nTimerFrameRate);
    onText(kDstRate, &ConvertSettings::nDstFrameRate);
    onText(kSoundBitRate, &ConvertSettings::nSoundKBitsPerSecond);
    // A choice made in the list is kept as made; untouched, "keep" stays "keep".
    connect(SoundCombo(), &QComboBox::activated, this, [this](int nIndex) {
        if (nIndex >= 0 && static_cast<size_t>(nIndex) < m_soundChoices.size()) {
            m_working.nSoundMode = SoundModeChosen(m_soundChoices[static_cast<size_t>(nIndex)]);
        }
        UpdateSoundControls();
    });

    // The position text follows the thumb while it is dragged or keyed, not only on release.
    auto onSlider = [this](int nSlider, int nText, int32_t ConvertSettings::*pField) {
        connect(Slider(nSlider), &QSlider::valueChanged, this, [this, nText, pField](int nValue) {
            m_working.*pField = nValue;
            Label(nText)->setText(Text(FormatFramePosition(static_cast<uint32_t>(nValue))));
        });
    };
    onSlider(kRangeStartSlider, kRangeStartText, &ConvertSettings::nRangeStart);
    onSlider(kRangeEndSlider, kRangeEndText, &ConvertSettings::nRangeEnd);
}

void CConvertSettingsDlg::accept() {
    if (const auto problem = ValidateConvertSettings(m_working)) {
        QMessageBox box(QMessageBox::Warning, QString::fromUtf8(str::kAppTitle),
                        QString::fromUtf8(problem->pszMessage), QMessageBox::Ok, this);
        box.exec();
        m_controls.at(problem->nFocusId)->setFocus();
        return;
    }
    QDialog::accept();
}

void CConvertSettingsDlg::ApplySettings() {
    ApplyConvertSettings(m_working, StreamLength());
}

bool CConvertSettingsEditor::Edit(ConvertSettings& settings) {
    CConvertSettingsDlg dialog(m_pParent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    settings = dialog.Working();
    return true;
}
