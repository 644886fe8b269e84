#pragma once
// The compressor-choice dialog ("ビデオの圧縮").
#include "resources/dialog_template.h"

namespace res {

namespace compressor_ids {
constexpr int kCompressor = 1100;
constexpr int kQualityLabel = 1101;
constexpr int kQuality = 1102;
constexpr int kQualityValue = 1103;
constexpr int kKeyFrameCheck = 1104;
constexpr int kKeyFrameEdit = 1105;
constexpr int kDataRateCheck = 1106;
constexpr int kDataRateEdit = 1107;
}  // namespace compressor_ids

const DialogTemplate& CompressorDialogTemplate();

}  // namespace res
