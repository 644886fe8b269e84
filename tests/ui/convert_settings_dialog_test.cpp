// The conversion settings dialog with real widgets (offscreen).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSlider>
#include <QTimer>

#include "convert/avi_writer.h"
#include "convert/qt/convert_settings_dlg.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "state/app_state.h"
#include "support/media_rig.h"
#include "support/test_media.h"

namespace {

using namespace convert_ids;

class ConvertSettingsDialogTest : public ::testing::Test, protected testfakes::MediaRig {
  protected:
    void SetUp() override {
        ui.answers.push_back(testmedia::IndexedClip({}));
        doc.OnFileOpen();
        doc.OnPlayStop();
    }

    // Presses OK; returns the message shown (closing its box) and where the focus went.
    std::pair<QString, int> PressOk(CConvertSettingsDlg& dialog) {
        QString strMessage;
        QTimer::singleShot(0, [&] {
            for (QWidget* pWidget : QApplication::topLevelWidgets()) {
                if (auto* pBox = qobject_cast<QMessageBox*>(pWidget); pBox && pBox->isVisible()) {
                    strMessage = pBox->text();
                    pBox->accept();
                }
            }
        });
        dialog.show();
        dialog.accept();
        QWidget* pFocus = dialog.focusWidget();  // the window's focus, active or not
        int nFocus = 0;
        for (int nId : {kSrcRate, kTimerRate, kDstRate, kRangeStartSlider}) {
            if (dialog.Control(nId) == pFocus) {
                nFocus = nId;
            }
        }
        return {strMessage, nFocus};
    }
    template <class T>
    T* Get(CConvertSettingsDlg& dialog, int nId) {
        return qobject_cast<T*>(dialog.Control(nId));
    }
};

TEST_F(ConvertSettingsDialogTest, ShowsTheSourceAndTheDestination) {
    writer.SetFileName("/tmp/dest.avi");
    CConvertSettingsDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("AVI変換設定"));
    EXPECT_EQ(Get<QLabel>(dialog, kWidth)->text(), QStringLiteral("320"));
    EXPECT_EQ(Get<QLabel>(dialog, kLength)->text(), QStringLiteral("00:02:00"));
    EXPECT_EQ(Get<QLabel>(dialog, kHandler)->text(), QStringLiteral("FMP4"));
    EXPECT_EQ(Get<QLabel>(dialog, kCodecName)->text(), QString()) << "FMP4 is not in the table";
    EXPECT_EQ(Get<QLabel>(dialog, kDestFile)->text(), QStringLiteral("/tmp/dest.avi"));
    EXPECT_TRUE(Get<QAbstractButton>(dialog, kTimer10)->isChecked());
    EXPECT_EQ(Get<QLineEdit>(dialog, kTimerRate)->text(), QStringLiteral("10"));
    EXPECT_EQ(Get<QSlider>(dialog, kRangeEndSlider)->value(), 60);
    EXPECT_EQ(Get<QLabel>(dialog, kRangeEndText)->text(), QStringLiteral("00:02:00"));

    writer.SetFileName("");
    CConvertSettingsDlg empty;
    EXPECT_EQ(Get<QLabel>(empty, kDestFile)->text(), QString());
}

TEST_F(ConvertSettingsDialogTest, OkRefusesInOrderAndFocusesTheControl) {
    CConvertSettingsDlg dialog;
    Get<QAbstractButton>(dialog, kSrcUser)->click();
    Get<QLineEdit>(dialog, kSrcRate)->setText("");
    Get<QAbstractButton>(dialog, kDstUser)->click();
    Get<QLineEdit>(dialog, kDstRate)->setText("abc");
    Get<QAbstractButton>(dialog, kRangeChosen)->click();
    Get<QSlider>(dialog, kRangeStartSlider)->setValue(40);
    Get<QSlider>(dialog, kRangeEndSlider)->setValue(40);

    EXPECT_EQ(PressOk(dialog), std::pair(QStringLiteral("変換元ビデオのフレームレートが異常です"),
                                         static_cast<int>(kSrcRate)));
    EXPECT_FALSE(dialog.result() == QDialog::Accepted);
    Get<QLineEdit>(dialog, kSrcRate)->setText("12abc");
    EXPECT_EQ(dialog.Working().nSrcFrameRate, 12);
    EXPECT_EQ(PressOk(dialog).first, QStringLiteral("変換先ビデオのフレームレートが異常です"));
    Get<QLineEdit>(dialog, kDstRate)->setText("15");
    EXPECT_EQ(PressOk(dialog), std::pair(QStringLiteral("変換範囲の指定が異常です"),
                                         static_cast<int>(kRangeStartSlider)));
    EXPECT_EQ(Get<QLabel>(dialog, kRangeStartText)->text(), QStringLiteral("00:01:10"));
    Get<QSlider>(dialog, kRangeStartSlider)->setValue(39);
    EXPECT_EQ(PressOk(dialog).first, QString());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    dialog.ApplySettings();
    EXPECT_EQ(AppState.nSrcFrameRate, 12);
    EXPECT_EQ(AppState.nDstFrameRate, 15);
    EXPECT_EQ(AppState.nRangeStart, 39);
    EXPECT_EQ(AppState.nRangeEnd, 40);
}

}  // namespace
