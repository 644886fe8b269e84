// Settings-file lines and numbers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/settings_file.h"
#include "state/app_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const std::string strText(reinterpret_cast<const char*>(pData), nSize);
    ParseSettingNumber(strText);
    ResetAppState();
    ApplySettingsLine(strText);
    return 0;
}
