#include "playback/failure_texts.h"

#include "platform/picture_budget.h"
#include "resources/strings.h"
#include "resources/text_format.h"

namespace {

double Gigabytes(int64_t llBytes) {
    return static_cast<double>(llBytes) / (1024.0 * 1024.0 * 1024.0);
}

}  // namespace

std::string OpenFailureReason(const platform::OpenFailure& why) {
    using Kind = platform::OpenFailure::Kind;
    switch (why.kind) {
        case Kind::None:
            return {};
        case Kind::System:
            return why.strSystem;
        case Kind::Folder:
            return str::kReasonFolder;
        case Kind::NotAFile:
            return str::kReasonNotAFile;
        case Kind::NoVideo:
            return str::kReasonNoVideo;
        case Kind::NoDecoder:
            return str::Format(str::kReasonNoDecoder, why.strCodec.c_str());
        case Kind::TooManyPixels:
            return str::Format(str::kReasonTooManyPixels, why.nWidth, why.nHeight,
                               platform::kMaxPictureSide, platform::kMaxPictureSide);
        case Kind::TooLittleMemory:
            return str::Format(str::kReasonTooLittleMemory, why.nWidth, why.nHeight,
                               Gigabytes(why.llNeededBytes), Gigabytes(why.llAvailableBytes));
        case Kind::Undecodable:
            return why.strSystem.empty()
                       ? std::string(str::kReasonUndecodable)
                       : std::string(str::kReasonUndecodable) + ": " + why.strSystem;
    }
    return {};
}

std::string FailureMessage(const char* pszWhat, const std::string& strPath,
                           const std::string& strWhy) {
    return std::string(pszWhat) + "\n" + strPath + (strWhy.empty() ? "" : ": " + strWhy);
}
