#include "resources/menus.h"

namespace res {
namespace {
using K = MenuEntryKind;
constexpr MenuEntry kSep{K::Separator, 0, nullptr, nullptr};

constexpr MenuEntry kFile[] = {
    {K::Item, cmd::kFileOpen, "開く(&O)...", "Ctrl+O"},
    kSep,
    {K::RecentFiles, cmd::kFileMruFirst, "最近使ったﾌｧｲﾙ", nullptr},
    kSep,
    {K::Item, cmd::kFileConvert, "保存(&R)...", "Ctrl+R"},
    {K::Item, cmd::kStillImage, "静止画保存(&B)...", "Ctrl+B"},
    {K::Item, cmd::kStillApplyEffects, "カラー効果を静止画に適用する(&A)", nullptr},
    kSep,
    {K::Item, cmd::kPlayStart, "再生開始(&S)...", "Ctrl+S"},
    {K::Item, cmd::kPlayStop, "再生終了(&E)...", "Ctrl+E"},
    {K::Item, cmd::kPlayPause, "一時停止／再開(&P)...", "Ctrl+P"},
    kSep,
    {K::Item, cmd::kAppExit, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", nullptr},
};

constexpr MenuEntry kView[] = {
    {K::Item, cmd::kZoom1, "等倍", nullptr},
    {K::Item, cmd::kZoom2, "２倍", nullptr},
    {K::Item, cmd::kZoom3, "３倍", nullptr},
    {K::Item, cmd::kZoom4, "４倍", nullptr},
    {K::Item, cmd::kZoomFit, "枠に合わせる", nullptr},
    kSep,
    {K::Item, cmd::kViewFullScreen, "フルスクリーン表示(&F)", nullptr},
    {K::Item, cmd::kViewPositionBar, "位置バー(&B)", nullptr},
    kSep,
    {K::Item, cmd::kViewRefresh, "更新(&U)", nullptr},
};

constexpr MenuEntry kGo[] = {
    {K::Item, cmd::kGoPlayPause, "再生／一時停止(&P)", "Space"},
    kSep,
    {K::Item, cmd::kGoNextFrame, "1フレーム進む(&N)", "Right"},
    {K::Item, cmd::kGoPrevFrame, "1フレーム戻る(&B)", "Left"},
    {K::Item, cmd::kGoNextKeyFrame, "次のキーフレーム(&K)", "Shift+Right"},
    {K::Item, cmd::kGoPrevKeyFrame, "前のキーフレーム(&J)", "Shift+Left"},
    {K::Item, cmd::kGoSecondForward, "1秒進む(&F)", "Up"},
    {K::Item, cmd::kGoSecondBack, "1秒戻る(&R)", "Down"},
    {K::Item, cmd::kGoFirstFrame, "先頭へ(&H)", "Home"},
    {K::Item, cmd::kGoLastFrame, "末尾へ(&E)", "End"},
    kSep,
    {K::Item, cmd::kMarkRangeStart, "変換範囲の開始に設定(&I)", "I"},
    {K::Item, cmd::kMarkRangeEnd, "変換範囲の終了に設定(&O)", "O"},
};

constexpr MenuEntry kColor[] = {
    {K::Item, cmd::kColorFirst + 0, "標準(&N)", nullptr},
    {K::Item, cmd::kColorFirst + 1, "白黒(&M)", nullptr},
    {K::Item, cmd::kColorFirst + 2, "セピア(&S)", nullptr},
    kSep,
    {K::Item, cmd::kColorFirst + 3, "RGB変調(&R)", nullptr},
    {K::Item, cmd::kColorFirst + 4, "YUV変調(&Y)", nullptr},
    {K::Item, cmd::kColorFirst + 5, "HSV変調(&H)", nullptr},
    kSep,
    {K::Item, cmd::kColorFirst + 6, "モザイク(&Z)", nullptr},
    {K::Item, cmd::kColorFirst + 7, "ペイント(&P)", nullptr},
    {K::Item, cmd::kColorFirst + 8, "ストロボモーション(&T)", nullptr},
    {K::Item, cmd::kColorFirst + 9, "ネガ反転(&G)", nullptr},
};

constexpr MenuEntry kSettings[] = {
    {K::Item, cmd::kConvertSettings, "AVI変換設定(&C)", nullptr},
    kSep,
    {K::Item, cmd::kPlaySettings, "AVI再生設定(&P)", nullptr},
    kSep,
    {K::Item, cmd::kSoundMute, "ミュート(&M)", "M"},
    {K::Item, cmd::kSoundVolumeUp, "音量を上げる(&U)", "Ctrl+Up"},
    {K::Item, cmd::kSoundVolumeDown, "音量を下げる(&D)", "Ctrl+Down"},
};

constexpr MenuEntry kHelp[] = {
    {K::Item, cmd::kAppAbout, "Quovel のﾊﾞｰｼﾞｮﾝ情報(&A)...", nullptr},
};

constexpr MenuDef kMenus[] = {
    {"ﾌｧｲﾙ(&F)", kFile},    {"表示(&D)", kView},     {"移動(&G)", kGo},
    {"カラー(&C)", kColor}, {"設定(&S)", kSettings}, {"ﾍﾙﾌﾟ(&H)", kHelp},
};
}  // namespace

std::span<const MenuDef> MainMenu() {
    return kMenus;
}

}  // namespace res
