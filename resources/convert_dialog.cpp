#include "resources/convert_dialog.h"

namespace res {
namespace {

using K = ControlKind;
using namespace convert_ids;
constexpr unsigned kValue = kStyleSunken | kStyleCentered;

constexpr ControlTemplate kControls[] = {
    // Left: the source.
    {K::GroupBox, -1, "変換元ビデオ情報", 7, 7, 171, 170},
    {K::Static, -1, "画面サイズ（幅）", 15, 21, 72, 8},
    {K::Static, kWidth, "", 90, 19, 40, 12, kValue},
    {K::Static, -1, "ピクセル", 134, 21, 36, 8},
    {K::Static, -1, "画面サイズ（高さ）", 15, 36, 72, 8},
    {K::Static, kHeight, "", 90, 34, 40, 12, kValue},
    {K::Static, -1, "ピクセル", 134, 36, 36, 8},
    {K::Static, -1, "ストリーム長", 15, 51, 72, 8},
    {K::Static, kLength, "", 90, 49, 40, 12, kValue},
    {K::Static, -1, "フレーム", 134, 51, 36, 8},
    {K::Static, -1, "ビデオ形式", 15, 66, 72, 8},
    {K::Static, kHandler, "", 90, 64, 38, 12, kValue},
    {K::Static, kFormat, "", 132, 64, 38, 12, kValue},
    {K::Static, kCodecName, "", 90, 79, 80, 10},
    {K::Static, -1, "ビデオファイル", 15, 93, 72, 8},
    {K::Static, kSourceFile, "", 15, 103, 155, 18, kStyleSunken},
    {K::GroupBox, -1, "変換前のフレームレート", 15, 125, 155, 46},
    {K::RadioButton, kSrc30, "30 frame/sec", 23, 138, 80, 10, kStyleNone, true},
    {K::RadioButton, kSrcUser, "任意の設定値", 23, 154, 62, 10},
    {K::Edit, kSrcRate, "", 88, 152, 35, 12, kStyleCentered},
    {K::Static, -1, "frame/sec", 127, 154, 40, 8},
    {K::GroupBox, -1, "変換時表示設定", 7, 181, 171, 30},
    {K::CheckBox, kHide, "変換処理時に動画を表示しない", 15, 195, 155, 10},
    {K::GroupBox, -1, "画像サイズ変換設定", 7, 215, 171, 30},
    {K::CheckBox, kDvCrop, "DVの360*240画像を320*240に変換する", 15, 229, 160, 10},
    {K::GroupBox, -1, "音声", 7, 249, 171, 40},
    {K::ComboBox, kSoundMode, "", 15, 260, 72, 14},
    {K::Static, -1, "MP3", 93, 263, 16, 8},
    {K::Edit, kSoundBitRate, "", 111, 261, 30, 12, kStyleCentered},
    {K::Static, -1, "kb/s", 144, 263, 24, 8},
    {K::Static, kSoundNote, "", 15, 276, 157, 10},
    // Right: the destination.
    {K::GroupBox, -1, "変換先ビデオ情報", 184, 7, 171, 262},
    {K::Static, -1, "ビデオファイル", 192, 20, 72, 8},
    {K::Static, kDestFile, "", 192, 30, 155, 18, kStyleSunken},
    {K::GroupBox, -1, "変換処理のタイマ実行レート", 192, 52, 155, 60},
    {K::RadioButton, kTimer30, "30 frame/sec", 200, 64, 80, 10, kStyleNone, true},
    {K::RadioButton, kTimer10, "10 frame/sec", 200, 79, 80, 10},
    {K::RadioButton, kTimerUser, "任意の設定値", 200, 95, 62, 10},
    {K::Edit, kTimerRate, "", 264, 93, 35, 12, kStyleCentered},
    {K::Static, -1, "frame/sec", 303, 95, 40, 8},
    {K::GroupBox, -1, "変換後のフレームレート", 192, 116, 155, 46},
    {K::RadioButton, kDst30, "30 frame/sec", 200, 128, 80, 10, kStyleNone, true},
    {K::RadioButton, kDstUser, "任意の設定値", 200, 144, 62, 10},
    {K::Edit, kDstRate, "", 264, 142, 35, 12, kStyleCentered},
    {K::Static, -1, "frame/sec", 303, 144, 40, 8},
    {K::GroupBox, -1, "フレームの間引き", 192, 164, 155, 26},
    {K::RadioButton, kThin1, "間引き無し", 200, 175, 50, 10, kStyleNone, true},
    {K::RadioButton, kThin2, "１フレーム", 252, 175, 46, 10},
    {K::RadioButton, kThin3, "２フレーム", 300, 175, 46, 10},
    {K::GroupBox, -1, "変換対象範囲", 192, 194, 155, 56},
    {K::RadioButton, kRangeWhole, "ストリーム全体", 200, 205, 66, 10, kStyleNone, true},
    {K::RadioButton, kRangeChosen, "範囲を指定", 270, 205, 60, 10},
    {K::Static, -1, "開始位置", 200, 220, 32, 8},
    {K::Slider, kRangeStartSlider, "", 232, 217, 72, 14},
    {K::Static, kRangeStartText, "", 306, 218, 38, 12, kValue},
    {K::Static, -1, "終了位置", 200, 236, 32, 8},
    {K::Slider, kRangeEndSlider, "", 232, 233, 72, 14},
    {K::Static, kRangeEndText, "", 306, 234, 38, 12, kValue},
    // What is written: the picture as decoded, or as the colour mode shows it.
    {K::CheckBox, kApplyEffects, "カラー効果を変換に適用する", 192, 255, 150, 10},
    {K::DefPushButton, kIdOk, "OK", 249, 274, 50, 14},
    {K::PushButton, kIdCancel, "ｷｬﾝｾﾙ", 305, 274, 50, 14},
};

constexpr DialogTemplate kTemplate{136, "AVI変換設定", 362, 293, kDialogFont, 9, kControls};

}  // namespace

const DialogTemplate& ConvertSettingsTemplate() {
    return kTemplate;
}

}  // namespace res
