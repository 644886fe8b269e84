#include "resources/compressor_dialog.h"

namespace res {
namespace {

using K = ControlKind;
using namespace compressor_ids;

constexpr ControlTemplate kControls[] = {
    {K::Static, -1, "圧縮プログラム(&C):", 7, 7, 90, 8},
    {K::ComboBox, kCompressor, "", 7, 17, 150, 14},
    {K::DefPushButton, kIdOk, "OK", 166, 7, 50, 14},
    {K::PushButton, kIdCancel, "ｷｬﾝｾﾙ", 166, 25, 50, 14},
    {K::Static, kQualityLabel, "圧縮の品質(&Q):", 7, 38, 90, 8},
    {K::Slider, kQuality, "", 7, 48, 125, 16, kStyleTicks},
    {K::Static, kQualityValue, "", 136, 50, 21, 12, kStyleCentered | kStyleSunken},
    {K::CheckBox, kKeyFrameCheck, "キーフレーム間隔(&K)", 7, 72, 90, 10},
    {K::Edit, kKeyFrameEdit, "15", 100, 70, 30, 12},
    {K::Static, -1, "フレーム", 134, 72, 30, 8},
    {K::CheckBox, kDataRateCheck, "データレート(&D)", 7, 88, 90, 10},
    {K::Edit, kDataRateEdit, "300", 100, 86, 30, 12},
    {K::Static, -1, "KB/秒", 134, 88, 30, 8},
};

constexpr DialogTemplate kTemplate{200, "ビデオの圧縮", 223, 106, kDialogFont, 9, kControls};

}  // namespace

const DialogTemplate& CompressorDialogTemplate() {
    return kTemplate;
}

}  // namespace res
