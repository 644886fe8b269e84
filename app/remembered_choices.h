#pragma once
// What the window remembers between runs beyond the settings file: the colour modes' levels
// and the conversion settings the user chose, with the compressor, and playback's volume. Only the
// desktop program keeps them; the command line never reads them, so a batch run depends on its own
// options alone. The settings file keeps exactly its own three values.
#include <cstdint>
#include <optional>

#include "platform/compressor.h"

class IChoiceStore {
  public:
    virtual ~IChoiceStore() = default;
    virtual std::optional<int32_t> Read(const char* pszKey) const = 0;
    virtual void Write(const char* pszKey, int32_t nValue) = 0;
};

// Into AppState, and into the compressor choice the compressor dialog first offers. A value
// missing, unreadable or out of its range keeps what is there.
void RestoreChoices(const IChoiceStore& store, platform::CompressorChoice& compressor);
void RememberChoices(IChoiceStore& store, const platform::CompressorChoice& compressor);
