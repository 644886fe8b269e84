// The conversion settings dialog with real widgets (offscreen).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSlider>
#include <QTimer>

#include "convert/avi_writer.h"
#include "convert/qt/convert_settings_dlg.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/convert_dialog.h"
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
        // A timer of this call's own: when no box comes, it goes with the call instead of
        // firing in a later test's event loop.
        QTimer closer;
        closer.setSingleShot(true);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            for (QWidget* pWidget : QApplication::topLevelWidgets()) {
                if (auto* pBox = qobject_cast<QMessageBox*>(pWidget); pBox && pBox->isVisible()) {
                    strMessage = pBox->text();
                    pBox->accept();
                }
            }
        });
        closer.start(0);
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

// The sound group offers what the source's sound allows, keeps "as it is" as the setting
// that falls back to MP3, and says why no sound (or not as it is) will be written.
TEST_F(ConvertSettingsDialogTest, TheSoundGroupOffersWhatTheSourceAllows) {
    auto items = [&](CConvertSettingsDlg& dialog) {
        QStringList list;
        auto* pCombo = Get<QComboBox>(dialog, kSoundMode);
        for (int i = 0; i < pCombo->count(); ++i) {
            list << pCombo->itemText(i);
        }
        return list.join('/') + " [" + pCombo->currentText() + "]";
    };
    {
        CConvertSettingsDlg silent;  // the clip opened by the fixture has no sound
        EXPECT_FALSE(Get<QComboBox>(silent, kSoundMode)->isEnabled());
        EXPECT_EQ(Get<QLabel>(silent, kSoundNote)->text(),
                  QStringLiteral("変換元の動画に音声はありません"));
    }
    const std::string strTone =
        "-f lavfi -i testsrc2=s=160x120:r=30:d=2 -f lavfi -i "
        "sine=d=2 -c:v mpeg4 ";
    ui.answers.push_back(testmedia::MakeClip("dialog-sound", strTone + "-c:a aac", "mp4"));
    doc.OnFileOpen();
    doc.OnPlayStop();
    {
        CConvertSettingsDlg dialog;
        EXPECT_EQ(items(dialog), QStringLiteral("なし/MP3/無圧縮 PCM [MP3]"));
        EXPECT_TRUE(Get<QLineEdit>(dialog, kSoundBitRate)->isEnabled());
        EXPECT_EQ(Get<QLabel>(dialog, kSoundNote)->text(), QString());
        Get<QAbstractButton>(dialog, kDstUser)->click();
        Get<QLineEdit>(dialog, kDstRate)->setText("2");  // 1/15 of the speed: too far
        EXPECT_EQ(Get<QLabel>(dialog, kSoundNote)->text(),
                  QStringLiteral("速度の変更が大きく、音声は書き込みません"));
        Get<QComboBox>(dialog, kSoundMode)->setCurrentIndex(2);
        Get<QComboBox>(dialog, kSoundMode)->activated(2);
        EXPECT_EQ(dialog.Working().nSoundMode, 4) << "16-bit PCM";
        EXPECT_FALSE(Get<QLineEdit>(dialog, kSoundBitRate)->isEnabled());
        Get<QLineEdit>(dialog, kSoundBitRate)->setText("999");
        EXPECT_EQ(PressOk(dialog).first,
                  QStringLiteral("音声のビットレートは 32 から 320 kb/s で指定してください"));
    }
    ui.answers.push_back(testmedia::MakeClip("dialog-sound", strTone + "-c:a pcm_s16le", "avi"));
    doc.OnFileOpen();
    doc.OnPlayStop();
    {
        CConvertSettingsDlg dialog;
        EXPECT_EQ(items(dialog), QStringLiteral("なし/そのまま/MP3/無圧縮 PCM [そのまま]"));
        Get<QComboBox>(dialog, kSoundMode)->setCurrentIndex(1);
        Get<QComboBox>(dialog, kSoundMode)->activated(1);
        EXPECT_EQ(dialog.Working().nSoundMode, 1) << "as it is where it can be";
        Get<QAbstractButton>(dialog, kDstUser)->click();
        Get<QLineEdit>(dialog, kDstRate)->setText("15");
        EXPECT_EQ(Get<QLabel>(dialog, kSoundNote)->text(),
                  QStringLiteral("速度が変わるため、音声は MP3 で書き込みます"));
    }
}

}  // namespace

namespace {

// "カラー効果を変換に適用する": shows the setting, sets it with OK, and sits inside the
// destination group, clear of every other control, in the dialog's fixed size.
TEST_F(ConvertSettingsDialogTest, TheColourEffectCheckBoxSetsWhatIsWritten) {
    {
        CConvertSettingsDlg dialog;
        auto* pBox = Get<QAbstractButton>(dialog, kApplyEffects);
        ASSERT_NE(pBox, nullptr);
        EXPECT_EQ(pBox->text(), QStringLiteral("カラー効果を変換に適用する"));
        EXPECT_FALSE(pBox->isChecked());
        pBox->click();
        EXPECT_EQ(dialog.Working().bApplyEffects, 1);
        EXPECT_EQ(PressOk(dialog).first, QString());
        dialog.ApplySettings();
    }
    EXPECT_EQ(AppState.bApplyEffectsToConversion, 1);
    CConvertSettingsDlg again;
    EXPECT_TRUE(Get<QAbstractButton>(again, kApplyEffects)->isChecked());

    const res::DialogTemplate& t = res::ConvertSettingsTemplate();
    EXPECT_EQ(t.cx, 362);
    EXPECT_EQ(t.cy, 293);
    const res::ControlTemplate* pBox = nullptr;
    for (const res::ControlTemplate& c : t.controls) {
        if (c.nId == kApplyEffects) {
            pBox = &c;
        }
    }
    ASSERT_NE(pBox, nullptr);
    auto overlaps = [](const res::ControlTemplate& a, const res::ControlTemplate& b) {
        return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
    };
    for (const res::ControlTemplate& c : t.controls) {
        if (&c != pBox && c.kind != res::ControlKind::GroupBox) {
            EXPECT_FALSE(overlaps(*pBox, c)) << c.nId;
        }
        if (c.kind == res::ControlKind::GroupBox && overlaps(*pBox, c)) {
            EXPECT_STREQ(c.pszText, "変換先ビデオ情報") << "only inside the destination group";
            EXPECT_LE(pBox->y + pBox->cy, c.y + c.cy);
        }
    }
}

}  // namespace
