#include "resources/command_prompts.h"

#include <cstring>

#include "resources/colour_modes.h"

namespace res {
namespace {

struct Entry {
    cmd::Id nId;
    const char* pszText;
};

constexpr Entry kPrompts[] = {
    {cmd::kFileOpen, "既存のﾌｧｲﾙを開く\n開く"},
    {cmd::kFileConvert, "動画ファイルを別のAVIファイルに変換\nAVI変換"},
    {cmd::kStillImage, "現在のフレームを静止画として保存\n静止画保存"},
    {cmd::kStillApplyEffects,
     "保存する静止画に表示中のカラー効果を適用する／しない\nカラー効果を静止画に適用"},
    {cmd::kPlayStart, "再生開始\n再生"},
    {cmd::kPlayPause, "ポーズの設定／解除\nポーズ"},
    {cmd::kPlayStop, "再生停止\n停止"},
    {cmd::kAppExit, "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示\n終了"},
    {cmd::kZoom1, "画像を等倍で表示\n等倍"},
    {cmd::kZoom2, "画像を２倍で表示\n２倍"},
    {cmd::kZoom3, "画像を３倍で表示\n３倍"},
    {cmd::kZoom4, "画像を４倍で表示\n４倍"},
    {cmd::kZoomFit, "ウィンドウの形状に合わせる\n画面枠"},
    {cmd::kViewFullScreen, "フルスクリーン表示\n全画面"},
    {cmd::kConvertSettings, "AVI変換のパラメータを設定する\n変換設定"},
    {cmd::kPlaySettings, "AVI再生の環境設定を行う\n再生設定"},
    {cmd::kSoundMute, "再生する音声を消す／戻す\nミュート"},
    {cmd::kSoundVolumeUp, "再生する音声の音量を上げる\n音量を上げる"},
    {cmd::kSoundVolumeDown, "再生する音声の音量を下げる\n音量を下げる"},
    {cmd::kViewPositionBar, "位置バーの表示／非表示\n位置バー"},
    {cmd::kGoPlayPause, "再生を一時停止／再開する。停止中なら再生を始める\n再生／一時停止"},
    {cmd::kGoNextFrame, "一時停止して次のフレームを表示\n1フレーム進む"},
    {cmd::kGoPrevFrame, "一時停止して前のフレームを表示\n1フレーム戻る"},
    {cmd::kGoNextKeyFrame, "次のキーフレームへ移動\n次のキーフレーム"},
    {cmd::kGoPrevKeyFrame, "前のキーフレームへ移動\n前のキーフレーム"},
    {cmd::kGoSecondForward, "1秒先へ移動\n1秒進む"},
    {cmd::kGoSecondBack, "1秒前へ移動\n1秒戻る"},
    {cmd::kGoFirstFrame, "最初のフレームへ移動\n先頭へ"},
    {cmd::kGoLastFrame, "最後のフレームへ移動\n末尾へ"},
    {cmd::kMarkRangeStart, "表示中のフレームを変換範囲の開始にする\n範囲の開始"},
    {cmd::kMarkRangeEnd, "表示中のフレームを変換範囲の終了にする\n範囲の終了"},
    {cmd::kAppAbout, "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示\nﾊﾞｰｼﾞｮﾝ情報"},
    // The framework's own prompt for the recent-file entries.
    {cmd::kFileMruFirst + 0, "指定のﾌｧｲﾙを開く"},
    {cmd::kFileMruFirst + 1, "指定のﾌｧｲﾙを開く"},
    {cmd::kFileMruFirst + 2, "指定のﾌｧｲﾙを開く"},
    {cmd::kFileMruFirst + 3, "指定のﾌｧｲﾙを開く"},
};

}  // namespace

const char* CommandPromptEntry(cmd::Id nId) {
    if (nId >= cmd::kColorFirst && nId <= cmd::kColorLast) {
        return colour::kModes[nId - cmd::kColorFirst].pszPrompt;
    }
    for (const Entry& entry : kPrompts) {
        if (entry.nId == nId) {
            return entry.pszText;
        }
    }
    return nullptr;
}

std::string StatusPrompt(cmd::Id nId) {
    const char* psz = CommandPromptEntry(nId);
    if (psz == nullptr) {
        return {};
    }
    const char* pszBreak = std::strchr(psz, '\n');
    return pszBreak == nullptr ? std::string(psz) : std::string(psz, pszBreak);
}

std::string ToolTip(cmd::Id nId) {
    const char* psz = CommandPromptEntry(nId);
    const char* pszBreak = psz == nullptr ? nullptr : std::strchr(psz, '\n');
    return pszBreak == nullptr ? std::string() : std::string(pszBreak + 1);
}

}  // namespace res
