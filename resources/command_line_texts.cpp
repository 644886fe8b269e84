#include "resources/command_line_texts.h"

namespace str {
const char* const kCliSeeHelp = "詳しくは quovel %s --help";
const char* const kCliNeedsValue = "%s には値が要ります";
const char* const kCliNeedsTwo = "%s には値が二つ要ります";
const char* const kCliUnknownOption = "%s というオプションはありません";
const char* const kCliNotInRange = "%s に %s は指定できません (%d から %d までの整数)";
const char* const kCliFourCC = "--codec には四文字のコードを指定してください";
const char* const kCliRangeOrder =
    "--range には START < END となる START と END を指定してください";
const char* const kCliAudioModes =
    "--audio には none、keep、copy、mp3、pcm のどれかを指定してください";
const char* const kCliSourceAndDest = "SOURCE と DEST を指定してください";
const char* const kCliSourceAndBmp = "SOURCE と OUT.bmp を指定してください";
const char* const kCliFrameRequired = "--frame N を指定してください";
const char* const kCliLevelsThree = "--levels には三つの数 A,B,C を指定してください";
const char* const kCliLevelsRange = "--levels の値はどれも -255 から 255 までの整数です";
const char* const kCliLevelsModes = "--levels はモード 3、4、5 でだけ使えます";
const char* const kCliSize = "--size には 幅x高さ を指定してください";
const char* const kCliDestTaken = "変換先が既にあるので、何もしません (--no-clobber)";
const char* const kCliPublishFailed =
    "変換先が途中で作られたか、その名前にできません。変換結果は %s に残しました";
const char* const kCliRangePastEnd = "変換範囲がストリームの終わりを越えています";
const char* const kCliFrames = "%lld フレーム";
const char* const kCliNoCompressor =
    "コンプレッサ %s は %dx%d のフレームを圧縮できません (使えるもの: quovel --list-codecs "
    "--size %dx%d)";
const char* const kCliCopyRefused =
    "--audio copy: この音声はそのままでは AVI に入りません (--audio mp3 か pcm を使ってください)";
const char* const kCliSoundNotAsItIs =
    "音声は書き込みません: 速度が変わるか範囲の後から始まるため、そのままでは書けません";
const char* const kCliSoundCodec = "音声は書き込みません: デコードかエンコードができません";
const char* const kCliStoppedKept = "中断しました。%s には書き込んだフレームまでが入っています";
const char* const kCliStoppedNothing = "中断しました。何も書き込んでいません";
const char* const kCliFramePastEnd = "フレーム %d はストリームの終わりより後です";
const char* const kCliCannotDraw = "フレームを描画できませんでした";
}  // namespace str
