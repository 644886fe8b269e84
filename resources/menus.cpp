#include "resources/menus.h"

#include <array>

#include "resources/colour_modes.h"

namespace res {
namespace {
using K = MenuEntryKind;
constexpr MenuEntry kSep{K::Separator, 0, nullptr, false};

constexpr MenuEntry kFile[] = {
    {K::Item, cmd::kFileOpen, "開く(&O)...", true},
    kSep,
    {K::RecentFiles, cmd::kFileMruFirst, "最近使ったﾌｧｲﾙ", false},
    kSep,
    {K::Item, cmd::kFileConvert, "保存(&R)...", true},
    {K::Item, cmd::kStillImage, "静止画保存(&B)...", true},
    {K::Item, cmd::kStillApplyEffects, "カラー効果を静止画に適用する(&A)", false},
    kSep,
    {K::Item, cmd::kPlayStart, "再生開始(&S)...", true},
    {K::Item, cmd::kPlayStop, "再生終了(&E)...", true},
    {K::Item, cmd::kPlayPause, "一時停止／再開(&P)...", true},
    kSep,
    {K::Item, cmd::kAppExit, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", false},
};

constexpr MenuEntry kView[] = {
    {K::Item, cmd::kZoom1, "等倍", false},
    {K::Item, cmd::kZoom2, "２倍", false},
    {K::Item, cmd::kZoom3, "３倍", false},
    {K::Item, cmd::kZoom4, "４倍", false},
    {K::Item, cmd::kZoomFit, "枠に合わせる", false},
    kSep,
    {K::Item, cmd::kViewFullScreen, "フルスクリーン表示(&F)", false},
    {K::Item, cmd::kViewPositionBar, "位置バー(&B)", false},
    kSep,
    {K::Item, cmd::kViewRefresh, "更新(&U)", false},
};

constexpr MenuEntry kGo[] = {
    {K::Item, cmd::kGoPlayPause, "再生／一時停止(&P)", true},
    kSep,
    {K::Item, cmd::kGoNextFrame, "1フレーム進む(&N)", true},
    {K::Item, cmd::kGoPrevFrame, "1フレーム戻る(&B)", true},
    {K::Item, cmd::kGoNextKeyFrame, "次のキーフレーム(&K)", true},
    {K::Item, cmd::kGoPrevKeyFrame, "前のキーフレーム(&J)", true},
    {K::Item, cmd::kGoSecondForward, "1秒進む(&F)", true},
    {K::Item, cmd::kGoSecondBack, "1秒戻る(&R)", true},
    {K::Item, cmd::kGoFirstFrame, "先頭へ(&H)", true},
    {K::Item, cmd::kGoLastFrame, "末尾へ(&E)", true},
    kSep,
    {K::Item, cmd::kMarkRangeStart, "変換範囲の開始に設定(&I)", true},
    {K::Item, cmd::kMarkRangeEnd, "変換範囲の終了に設定(&O)", true},
};

// The カラー menu from the mode table: an item per mode, a separator before each group.
constexpr auto MakeColourMenu() {
    constexpr size_t nGroups = [] {
        size_t n = 0;
        for (const colour::ModeDef& mode : colour::kModes) {
            n += mode.bStartsGroup ? 1 : 0;
        }
        return n;
    }();
    std::array<MenuEntry, colour::kModeCount + nGroups> entries{};
    size_t i = 0;
    for (int32_t n = 0; n < colour::kModeCount; ++n) {
        if (colour::kModes[n].bStartsGroup) {
            entries[i++] = kSep;
        }
        entries[i++] = {K::Item, cmd::kColorFirst + static_cast<cmd::Id>(n),
                        colour::kModes[n].pszMenuText, false};
    }
    return entries;
}
constexpr auto kColor = MakeColourMenu();

constexpr MenuEntry kSettings[] = {
    {K::Item, cmd::kConvertSettings, "AVI変換設定(&C)", false},
    kSep,
    {K::Item, cmd::kPlaySettings, "AVI再生設定(&P)", false},
    kSep,
    {K::Item, cmd::kSoundMute, "ミュート(&M)", true},
    {K::Item, cmd::kSoundVolumeUp, "音量を上げる(&U)", true},
    {K::Item, cmd::kSoundVolumeDown, "音量を下げる(&D)", true},
};

constexpr MenuEntry kHelp[] = {
    {K::Item, cmd::kAppAbout, "Quovel のﾊﾞｰｼﾞｮﾝ情報(&A)...", false},
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
