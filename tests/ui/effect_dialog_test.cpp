// The effect settings dialog, real widgets under the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <random>

#include "app/qt/main_frame.h"
#include "app/qt/qt_app_shell.h"
#include "app/qt/qt_ui_services.h"
#include "app/quovel_app.h"
#include "effects/qt/effect_settings_dlg.h"
#include "resources/command_ids.h"
#include "resources/effect_dialog.h"
#include "state/app_state.h"
#include "support/fakes.h"
#include "support/main_window_fixture.h"

namespace {

using namespace res::effect_ids;

class EffectDialogTest : public ::testing::Test, protected uitest::QtAppRig {
  protected:
    void SetUp() override {
        ResetAppState();
        ASSERT_TRUE(app.InitInstance({}));
    }
    void TearDown() override {
        shell.DestroyMainFrame();
        QApplication::processEvents();
        EXPECT_EQ(AppState.pEffectDlg, nullptr) << "the frame's end takes the dialog with it";
        app.ExitInstance();
        ResetAppState();
    }
    void Choose(int nMode) { ASSERT_TRUE(app.Router().Execute(cmd::kColorFirst + nMode)); }
    CEffectSettingsDlg* Dialog() { return AppState.pEffectDlg; }
    template <class T>
    T* Control(int nId) {
        return Dialog()->findChild<T*>(QString::number(nId));
    }
    QString Text(int nId) { return Control<QLabel>(nId)->text(); }
};

TEST_F(EffectDialogTest, SwitchingKindsReplacesTheDialogWithTheStoredLevels) {
    AppState.nYuvLevel[0] = 12;
    AppState.nYuvLevel[2] = -7;
    Choose(3);
    CEffectSettingsDlg* pRgb = Dialog();
    ASSERT_NE(pRgb, nullptr);
    EXPECT_TRUE(pRgb->isVisible());
    EXPECT_EQ(pRgb->windowTitle(), QStringLiteral("カラー変調設定"));
    EXPECT_EQ(Text(kLabelC1), QStringLiteral("Ｒ成分")) << "full-width, not the template's R成分";
    Choose(3);
    EXPECT_EQ(Dialog(), pRgb) << "the same mode leaves the dialog alone";

    Choose(4);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(Dialog()->Kind(), 1);
    EXPECT_EQ(Control<QGroupBox>(kGroupColor)->title(), QStringLiteral("YUV変調設定"));
    EXPECT_EQ(Text(kLabelC1) + Text(kLabelC2) + Text(kLabelC3),
              QStringLiteral("Ｙ成分Ｕ成分Ｖ成分"));
    EXPECT_EQ(Control<QSlider>(kSliderC1)->value(), 12);
    EXPECT_EQ(Text(kValueC3), QStringLiteral("-7"));
    EXPECT_EQ(Control<QSlider>(kSliderC1)->minimum(), -255);
    EXPECT_EQ(Control<QSlider>(kSliderC1)->tickInterval(), 32);

    // Dragging C2 to -40 stores -40 while the thumb is still held.
    QSlider* pC2 = Control<QSlider>(kSliderC2);
    pC2->setSliderDown(true);
    pC2->setValue(-40);
    EXPECT_EQ(AppState.nYuvLevel[1], -40);
    EXPECT_EQ(Text(kValueC2), QStringLiteral("-40"));
    pC2->setSliderDown(false);

    Choose(0);
    EXPECT_EQ(AppState.pEffectDlg, nullptr);
    EXPECT_EQ(AppState.nColorMode, 0);
}

TEST_F(EffectDialogTest, OtherKindsGreyTheColourGroupAndEditTheirOwnSetting) {
    AppState.nRgbLevel[1] = 33;
    Choose(6);
    EXPECT_EQ(Dialog()->Kind(), 3);
    EXPECT_EQ(Control<QGroupBox>(kGroupColor)->title(), QStringLiteral("RGB変調設定"));
    EXPECT_EQ(Text(kValueC2), QStringLiteral("33"));
    EXPECT_FALSE(Control<QSlider>(kSliderC1)->isEnabled());
    EXPECT_TRUE(Control<QSlider>(kSliderMosaic)->isEnabled());
    EXPECT_FALSE(Control<QSlider>(kSliderPaint)->isEnabled());
    EXPECT_EQ(Control<QSlider>(kSliderMosaic)->value(), 4);
    EXPECT_EQ(Text(kValueMosaic), QStringLiteral("4"));

    Control<QSlider>(kSliderMosaic)->setValue(9);
    EXPECT_EQ(AppState.nMosaicSize, 9);
    Control<QSlider>(kSliderPaint)->setValue(6);  // not this kind's slider: shown, not stored
    EXPECT_EQ(AppState.nPaintLevels, 3);
    EXPECT_EQ(Text(kValuePaint), QStringLiteral("6"));
    Control<QSlider>(kSliderC1)->setValue(100);
    EXPECT_EQ(AppState.nRgbLevel[0], 0);

    Choose(8);
    EXPECT_EQ(Control<QSlider>(kSliderStrobe)->value(), 5);
    Control<QSlider>(kSliderStrobe)->setValue(30);
    EXPECT_EQ(AppState.nStrobeInterval, 30);
}

TEST_F(EffectDialogTest, ClosingKeepsTheModeAndAFreshDialogShowsTheStoredValues) {
    Choose(5);
    Control<QSlider>(kSliderC3)->setValue(-99);
    qobject_cast<QPushButton*>(Dialog()->findChild<QPushButton*>(QString::number(kClose)))->click();
    EXPECT_EQ(AppState.pEffectDlg, nullptr);
    QApplication::processEvents();  // the dialog deletes itself
    EXPECT_EQ(AppState.nColorMode, 5);
    fw::CCmdUI check(cmd::kColorFirst + 5);
    app.Router().Update(check);
    EXPECT_EQ(check.m_nCheck, 1);

    Choose(5);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(Control<QSlider>(kSliderC3)->value(), -99);
    EXPECT_EQ(Control<QGroupBox>(kGroupColor)->title(), QStringLiteral("HSV変調設定"));
    Dialog()->close();  // the close box
    EXPECT_EQ(AppState.pEffectDlg, nullptr);
}

// Any order of choosing, closing by the user and switching leaves one dialog at most, and the
// pointer null exactly when none is shown (the sanitizer build checks the frees).
// The dialog is a window of the main window, and within one run a new one opens where the
// user last moved one, whether it was replaced by another kind or closed.
TEST_F(EffectDialogTest, ANewDialogOpensWhereTheLastOneWasMoved) {
    shell.Frame()->setGeometry(10, 10, 300, 280);  // room beside it on the 800-pixel screen
    Choose(3);
    EXPECT_EQ(Dialog()->parentWidget(), shell.Frame());
    EXPECT_TRUE(Dialog()->isWindow());
    EXPECT_FALSE(Dialog()->frameGeometry().intersects(shell.Frame()->frameGeometry()))
        << "the first one opens beside the picture, not over it";
    Dialog()->move(123, 145);
    QApplication::processEvents();
    Choose(4);
    EXPECT_EQ(Dialog()->pos(), QPoint(123, 145));
    Dialog()->move(200, 210);
    QApplication::processEvents();
    Control<QPushButton>(kClose)->click();
    QApplication::processEvents();
    ASSERT_EQ(Dialog(), nullptr);
    Choose(8);
    EXPECT_EQ(Dialog()->pos(), QPoint(200, 210));
}

TEST_F(EffectDialogTest, RandomSequencesLeaveNoDanglingDialog) {
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) {
        const int nAction = static_cast<int>(rng() % 12);
        if (nAction < 10) {
            Choose(nAction);
        } else if (nAction == 10 && Dialog() != nullptr) {
            Dialog()->reject();
        } else {
            QApplication::processEvents();
        }
        const auto dialogs = QApplication::topLevelWidgets();
        int nShown = 0;
        for (QWidget* pWidget : dialogs) {
            if (qobject_cast<CEffectSettingsDlg*>(pWidget) != nullptr && pWidget->isVisible()) {
                ++nShown;
            }
        }
        ASSERT_EQ(nShown, Dialog() != nullptr ? 1 : 0) << "step " << i;
        if (Dialog() != nullptr) {
            ASSERT_EQ(Dialog()->Kind(), AppState.nColorMode - 3);
        }
    }
}

}  // namespace
