#pragma once
// The current decoded frame as a BMP file, under a name the user picks.
#include <cstdint>

namespace fw {
class UiServices;
}

// pBlock is a frame block (BMP layout in memory); a failure is said in a message box.
void ExportStillImage(fw::UiServices& ui, uint8_t* pBlock);
