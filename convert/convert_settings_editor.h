#pragma once
// The conversion settings dialog as the commands see it: the Qt dialog in the program,
// scripted in tests.
#include "convert/convert_settings.h"

class IConvertSettingsEditor {
  public:
    virtual ~IConvertSettingsEditor() = default;
    // Shows the settings (and the source's facts); true with the edited copy on OK.
    virtual bool Edit(ConvertSettings& settings) = 0;
};
