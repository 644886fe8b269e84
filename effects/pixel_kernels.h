#pragma once
// Row kernels of the 24-bit colour modes. Each produces exactly what the per-pixel
// operations of colour_space.h give, through tables and integer work instead of per-pixel
// divisions; the exactness tests compare them with those operations over every colour.
#include <cstdint>

namespace effects {

void MonochromeRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth);
void SepiaRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth);
// The tables belong to one call: built from the levels in force.
struct RgbLevelTables {
    explicit RgbLevelTables(const int32_t (&level)[3]);
    uint8_t r[256];
    uint8_t g[256];
    uint8_t b[256];
};
void RgbModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const RgbLevelTables& tables);
void YuvModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const int32_t (&level)[3]);
void HsvModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const int32_t (&level)[3]);
void MaskRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nBytes, uint8_t nMask);
void NegativeRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nBytes);

}  // namespace effects
