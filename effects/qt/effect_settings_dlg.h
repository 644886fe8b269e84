#pragma once
// "カラー変調設定": the modeless dialog whose sliders write the effect settings straight into
// AppState while the video plays. Owned through AppState.pEffectDlg: a colour command deletes
// it, or, when the user closes it, it deletes itself; either way the pointer is null once its
// window is gone. Its window belongs to the main window: it stays above it, has no task-bar
// entry of its own, and goes when the main window goes.
#include <QDialog>

class QGroupBox;
class QLabel;
class QSlider;

class CEffectSettingsDlg : public QDialog {
    Q_OBJECT
  public:
    // Builds the dialog from its template as a window of pOwner; hidden until shown.
    explicit CEffectSettingsDlg(QWidget* pOwner);
    ~CEffectSettingsDlg() override;

    void SetKind(int nKind);
    void UpdateControls();
    int Kind() const { return m_nKind; }

    void OnSliderC1();
    void OnSliderC2();
    void OnSliderC3();
    void OnSliderMosaic();
    void OnSliderPaint();
    void OnSliderStrobe();

    void reject() override;  // "閉じる" and Esc

  protected:
    void closeEvent(QCloseEvent* pEvent) override;

  private:
    bool OnInitDialog();
    void OnCancel();
    // A slider moved (dragged, keyed or set): store its position when it belongs to the
    // current kind, and show it in its value box whatever the kind.
    void OnSlider(QSlider* pSlider, QLabel* pValue, int nOwnKind, int nComponent);

    QLabel* m_valueStrobe = nullptr;
    QLabel* m_valuePaint = nullptr;
    QLabel* m_valueMosaic = nullptr;
    QSlider* m_sliderStrobe = nullptr;
    QSlider* m_sliderPaint = nullptr;
    QSlider* m_sliderMosaic = nullptr;
    QSlider* m_sliderC3 = nullptr;
    QSlider* m_sliderC2 = nullptr;
    QSlider* m_sliderC1 = nullptr;
    QLabel* m_valueC3 = nullptr;
    QLabel* m_valueC2 = nullptr;
    QLabel* m_valueC1 = nullptr;
    QLabel* m_labelC3 = nullptr;
    QLabel* m_labelC2 = nullptr;
    QLabel* m_labelC1 = nullptr;
    QGroupBox* m_groupColor = nullptr;
    int m_nKind = 0;
    bool m_bClosing = false;
};
