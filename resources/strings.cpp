#include "resources/strings.h"

#include "framework/document.h"

namespace str {
const char* const kAppTitle = "Quovel";
const char* const kRegistryKey = "Local AppWizard-Generated Applications";
const char* const kUntitled = fw::kUntitledTitle;
const char* const kTitleSeparator = " - ";
// Every video file the decoders here play comes first, so that an .mp4 or .mkv opens without
// a change of filter; the three classic filters follow.
#define QUOVEL_VIDEO_PATTERNS                                                              \
    "*.avi;*.mpg;*.mpeg;*.m1v;*.m2v;*.mpv;*.vob;*.mp4;*.m4v;*.mov;*.qt;*.3gp;*.3g2;*.mkv;" \
    "*.webm;*.ts;*.m2ts;*.mts;*.m2t;*.wmv;*.asf;*.flv;*.f4v;*.ogv;*.ogg;*.dv;*.dif;*.mxf;" \
    "*.nut;*.rm;*.rmvb;*.gif;*.y4m;*.ivf;*.h264;*.264;*.hevc;*.265;*.mjpg;*.mjpeg"
const char* const kOpenFilter = "動画ファイル (" QUOVEL_VIDEO_PATTERNS ")|" QUOVEL_VIDEO_PATTERNS
                                "|AVI Files (*.avi)|*.avi|MPEG Files (*.mpeg;*.mpg)|*.mpeg;*.mpg|"
                                "All Files (*.*)|*.*||";
#undef QUOVEL_VIDEO_PATTERNS
const char* const kOpenDefaultExt = "avi";
const char* const kCannotOpenFile = "指定ファイルが開けません";
const char* const kConversionDone = "変換が完了しました";
const char* const kUndecodedFrames =
    "%lld 個のフレームをデコードできませんでした (%s 〜 %s)。前のフレームで補っています。";
const char* const kNoDisplay =
    "ディスプレイが見つかりません (DISPLAY が空か、その X サーバーにつながりません)。"
    "デスクトップのセッションから起動してください。画面なしで確かめるには xvfb-run -a quovel "
    "[FILE]";
const char* const kSettingsNotSaved = "設定を保存できませんでした";
const char* const kSoundLeftOut =
    "そのままでは書き込めない音声 %.1f 秒分を省きました。MP3 か PCM にすれば残せます。";
const char* const kStopConversionToExit = "AVI変換中です。変換を中止して終了しますか？";
const char* const kStatusReady = "ﾚﾃﾞｨ";
const char* const kStatusVolume = "音量 %d%%";
const char* const kStatusMuted = "ミュート中（音量 %d%%）";
const char* const kMenuRecentEmpty = "最近使ったﾌｧｲﾙ";
const char* const kSaveFilter = "AVI Files (*.avi)|*.avi||";
const char* const kBadSourceRate = "変換元ビデオのフレームレートが異常です";
const char* const kBadTimerRate = "変換処理のタイマ実行レートが異常です";
const char* const kBadDestinationRate = "変換先ビデオのフレームレートが異常です";
const char* const kBadRange = "変換範囲の指定が異常です";
const char* const kSoundNone = "なし";
const char* const kSoundCopy = "そのまま";
const char* const kSoundMp3 = "MP3";
const char* const kSoundPcm = "無圧縮 PCM";
const char* const kSoundAbsent = "変換元の動画に音声はありません";
const char* const kSoundTempoTooFar = "速度の変更が大きく、音声は書き込みません";
const char* const kSoundCopyTempo = "速度が変わるため、そのままでは書けません";
const char* const kSoundKeptAsMp3 = "速度が変わるため、音声は MP3 で書き込みます";
const char* const kBadSoundBitRate = "音声のビットレートは 32 から 320 kb/s で指定してください";
const char* const kSourceAsDestination = "変換元のファイルは変換先に指定できません";
const char* const kWriteFailed = "AVIファイルへの書き込みに失敗しました";
const char* const kReasonFolder = "フォルダです";
const char* const kReasonNotAFile = "通常のファイルではありません";
const char* const kReasonNoVideo = "映像がありません";
const char* const kReasonNoDecoder = "この形式の映像 (%s) はデコードできません";
const char* const kReasonTooManyPixels = "画像が大きすぎます (%d×%d。扱えるのは %d×%d 画素まで)";
const char* const kReasonTooLittleMemory =
    "画像が大きすぎます (%d×%d。%.1f GB のメモリが要りますが、空きは %.1f GB です)";
const char* const kReasonUndecodable = "最初のフレームをデコードできません";
const char* const kReasonNoMemory = "メモリが足りません";
const char* const kReasonCompressorRefused = "選んだコンプレッサはこのフレームを圧縮できません";
const char* const kStillFilter = "BMP Files (*.bmp)|*.bmp||";
const char* const kStillFailed = "静止画ファイルを保存できませんでした";
const char* const kAboutTitle = "AVIコーデック変換ツール Ver ";
}  // namespace str
