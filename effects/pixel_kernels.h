#pragma once
// Row kernels of the 24-bit colour modes. Each produces exactly what the per-pixel
// operations of colour_space.h give, through branch-free integer work the compiler
// vectorises and, for HSV, tables instead of per-pixel divisions; the exactness tests
// compare them with those operations over every colour.
#include <cstdint>

namespace effects {

void MonochromeRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth);
void SepiaRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth);
void RgbModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const int32_t (&level)[3]);
void YuvModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const int32_t (&level)[3]);
void HsvModulationRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nWidth,
                      const int32_t (&level)[3]);
void MaskRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nBytes, uint8_t nMask);
void NegativeRow(const uint8_t* pSrc, uint8_t* pOut, int32_t nBytes);

}  // namespace effects
