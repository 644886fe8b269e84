#include "resources/small_dialogs.h"

namespace res {
namespace {

using K = ControlKind;

constexpr ControlTemplate kAbout[] = {
    {K::Icon, -1, "", 11, 17, 20, 20},
    {K::Static, kIdAboutTitle, "", 40, 10, 119, 8},  // the tool's name and version
    {K::Static, kIdAboutVersion, "", 40, 25, 188, 8},
    {K::DefPushButton, kIdOk, "OK", 178, 7, 50, 14},
};
constexpr DialogTemplate kAboutTemplate{100,   "Quovelのﾊﾞｰｼﾞｮﾝ情報", 235, 55, kDialogFont, 9,
                                        kAbout};

constexpr ControlTemplate kPlay[] = {
    {K::DefPushButton, kIdOk, "OK", 75, 108, 50, 14},
    {K::PushButton, kIdCancel, "ｷｬﾝｾﾙ", 130, 108, 50, 14},
    {K::GroupBox, -1, "リピート再生設定", 7, 6, 172, 30},
    {K::CheckBox, kIdRepeat, "変換時以外はAVI再生をリピートする", 23, 17, 150, 13},
    {K::GroupBox, -1, "フルスクリーン設定", 7, 39, 172, 30},
    {K::CheckBox, kIdVgaMode, "全画面時に640×480の画面モードにする", 23, 50, 150, 13},
};
constexpr DialogTemplate kPlayTemplate{137, "AVI再生設定", 187, 129, kDialogFont, 9, kPlay};

}  // namespace

const DialogTemplate& AboutTemplate() {
    return kAboutTemplate;
}
const DialogTemplate& PlaySettingsTemplate() {
    return kPlayTemplate;
}

}  // namespace res
