#include "playback/still_export.h"

#include "framework/ui_services.h"
#include "platform/bmp_file.h"
#include "playback/failure_texts.h"
#include "resources/strings.h"

void ExportStillImage(fw::UiServices& ui, uint8_t* pBlock) {
    auto path = ui.ChooseSaveFile(str::kStillFilter, "bmp");
    if (!path) {
        return;
    }
    // Written through a temporary file: a failure never leaves a partial file looking whole.
    if (std::string strWhy; !platform::WriteBmpBlock(*path, pBlock, &strWhy)) {
        ui.MessageBox(FailureMessage(str::kStillFailed, *path, strWhy));
    }
}
