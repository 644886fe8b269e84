#include "effects/qt/effect_settings_dlg.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>

#include "app/qt/dialog_builder.h"
#include "resources/colour_modes.h"
#include "resources/effect_dialog.h"
#include "state/app_state.h"

namespace {

// The colour sliders' kinds store into these level sets; the others into one setting each.
int32_t* LevelsOfKind(int nKind) {
    switch (nKind) {
        case 0:
            return AppState.nRgbLevel;
        case 1:
            return AppState.nYuvLevel;
        case 2:
            return AppState.nHsvLevel;
        default:
            return nullptr;
    }
}

int32_t* SettingOfKind(int nKind) {
    switch (nKind) {
        case 3:
            return &AppState.nMosaicSize;
        case 4:
            return &AppState.nPaintLevels;
        case 5:
            return &AppState.nStrobeInterval;
        default:
            return nullptr;
    }
}

}  // namespace

CEffectSettingsDlg::CEffectSettingsDlg(QWidget* pOwner) : QDialog(pOwner) {
    using namespace res::effect_ids;
    const auto controls = CDialogBuilder::Build(res::EffectDialogTemplate(), *this);
    auto label = [&](int nId) { return qobject_cast<QLabel*>(controls.at(nId)); };
    auto slider = [&](int nId) { return qobject_cast<QSlider*>(controls.at(nId)); };
    m_valueStrobe = label(kValueStrobe);
    m_valuePaint = label(kValuePaint);
    m_valueMosaic = label(kValueMosaic);
    m_sliderStrobe = slider(kSliderStrobe);
    m_sliderPaint = slider(kSliderPaint);
    m_sliderMosaic = slider(kSliderMosaic);
    m_sliderC3 = slider(kSliderC3);
    m_sliderC2 = slider(kSliderC2);
    m_sliderC1 = slider(kSliderC1);
    m_valueC3 = label(kValueC3);
    m_valueC2 = label(kValueC2);
    m_valueC1 = label(kValueC1);
    m_labelC3 = label(kLabelC3);
    m_labelC2 = label(kLabelC2);
    m_labelC1 = label(kLabelC1);
    m_groupColor = qobject_cast<QGroupBox*>(controls.at(kGroupColor));
    OnInitDialog();
}

CEffectSettingsDlg::~CEffectSettingsDlg() {
    if (AppState.pEffectDlg == this) {
        AppState.pEffectDlg = nullptr;
    }
}

bool CEffectSettingsDlg::OnInitDialog() {
    for (QSlider* pSlider : {m_sliderC1, m_sliderC2, m_sliderC3}) {
        pSlider->setRange(colour::kLevels.nMin, colour::kLevels.nMax);
        pSlider->setTickInterval(32);
    }
    m_sliderMosaic->setRange(colour::kMosaicSizes.nMin, colour::kMosaicSizes.nMax);
    m_sliderMosaic->setTickInterval(4);
    m_sliderPaint->setRange(colour::kPaintLevels.nMin, colour::kPaintLevels.nMax);
    m_sliderPaint->setTickInterval(1);
    m_sliderStrobe->setRange(colour::kStrobeIntervals.nMin, colour::kStrobeIntervals.nMax);
    m_sliderStrobe->setTickInterval(5);
    UpdateControls();

    // Every move of a slider, by mouse, keyboard or program, is reported at once.
    connect(m_sliderC1, &QSlider::valueChanged, this, &CEffectSettingsDlg::OnSliderC1);
    connect(m_sliderC2, &QSlider::valueChanged, this, &CEffectSettingsDlg::OnSliderC2);
    connect(m_sliderC3, &QSlider::valueChanged, this, &CEffectSettingsDlg::OnSliderC3);
    connect(m_sliderMosaic, &QSlider::valueChanged, this, &CEffectSettingsDlg::OnSliderMosaic);
    connect(m_sliderPaint, &QSlider::valueChanged, this, &CEffectSettingsDlg::OnSliderPaint);
    connect(m_sliderStrobe, &QSlider::valueChanged, this, &CEffectSettingsDlg::OnSliderStrobe);
    // The value boxes show their sliders' positions from the start, as the sliders' first
    // paint reported them.
    OnSliderC1();
    OnSliderC2();
    OnSliderC3();
    OnSliderMosaic();
    OnSliderPaint();
    OnSliderStrobe();
    return true;
}

void CEffectSettingsDlg::SetKind(int nKind) {
    m_nKind = nKind;
    UpdateControls();
}

void CEffectSettingsDlg::UpdateControls() {
    QSlider* const colour[3] = {m_sliderC1, m_sliderC2, m_sliderC3};
    QLabel* const colourValues[3] = {m_valueC1, m_valueC2, m_valueC3};
    if (m_nKind >= 0 && m_nKind <= 2) {
        const res::EffectCaptions& captions = res::EffectCaptionsFor(m_nKind);
        m_groupColor->setTitle(QString::fromUtf8(captions.pszGroup));
        QLabel* const labels[3] = {m_labelC1, m_labelC2, m_labelC3};
        const int32_t* pLevels = LevelsOfKind(m_nKind);
        for (int i = 0; i < 3; ++i) {
            labels[i]->setText(QString::fromUtf8(captions.pszLabels[i]));
            colour[i]->setValue(pLevels[i]);
            colourValues[i]->setText(QString::number(pLevels[i]));
            colour[i]->setEnabled(true);
        }
        m_sliderMosaic->setEnabled(false);
        m_sliderPaint->setEnabled(false);
        m_sliderStrobe->setEnabled(false);
        return;
    }
    QSlider* const own[3] = {m_sliderMosaic, m_sliderPaint, m_sliderStrobe};
    QLabel* const ownValues[3] = {m_valueMosaic, m_valuePaint, m_valueStrobe};
    if (m_nKind < 3 || m_nKind > 5) {
        return;
    }
    const int i = m_nKind - 3;
    const int32_t nValue = *SettingOfKind(m_nKind);
    own[i]->setValue(nValue);
    ownValues[i]->setText(QString::number(nValue));
    for (QSlider* pSlider : colour) {
        pSlider->setEnabled(false);
    }
    for (int k = 0; k < 3; ++k) {
        own[k]->setEnabled(k == i);
    }
}

void CEffectSettingsDlg::OnSlider(QSlider* pSlider, QLabel* pValue, int nOwnKind, int nComponent) {
    const int nPosition = pSlider->value();
    if (nComponent >= 0 && m_nKind >= 0 && m_nKind <= 2) {
        LevelsOfKind(m_nKind)[nComponent] = nPosition;
    } else if (nComponent < 0 && m_nKind == nOwnKind) {
        *SettingOfKind(nOwnKind) = nPosition;
    }
    pValue->setText(QString::number(nPosition));
}

void CEffectSettingsDlg::OnSliderC1() {
    OnSlider(m_sliderC1, m_valueC1, -1, 0);
}
void CEffectSettingsDlg::OnSliderC2() {
    OnSlider(m_sliderC2, m_valueC2, -1, 1);
}
void CEffectSettingsDlg::OnSliderC3() {
    OnSlider(m_sliderC3, m_valueC3, -1, 2);
}
void CEffectSettingsDlg::OnSliderMosaic() {
    OnSlider(m_sliderMosaic, m_valueMosaic, 3, -1);
}
void CEffectSettingsDlg::OnSliderPaint() {
    OnSlider(m_sliderPaint, m_valuePaint, 4, -1);
}
void CEffectSettingsDlg::OnSliderStrobe() {
    OnSlider(m_sliderStrobe, m_valueStrobe, 5, -1);
}

void CEffectSettingsDlg::OnCancel() {
    if (m_bClosing) {
        return;
    }
    m_bClosing = true;
    // The mode stays; the window goes, and with it this object once control has left it.
    AppState.pEffectDlg = nullptr;
    hide();
    deleteLater();
}

void CEffectSettingsDlg::reject() {
    OnCancel();
}

void CEffectSettingsDlg::closeEvent(QCloseEvent* pEvent) {
    OnCancel();
    pEvent->accept();
}
