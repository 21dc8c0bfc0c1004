#pragma once

#include <array>
#include <cstdint>
#include <utility>

namespace corvane::FieldUnitPalette {

// The colours of the field-unit look as 0xRRGGBB sRGB values. What each is for is the look's own
// business; the drawing colours are made from these.
inline constexpr std::uint32_t chassis = 0xD6D2CA;
inline constexpr std::uint32_t panel = 0xE2DFD8;
inline constexpr std::uint32_t well = 0xC6C2B9;
inline constexpr std::uint32_t keyHi = 0xF1EEE8;
inline constexpr std::uint32_t keyLo = 0xDEDAD2;
inline constexpr std::uint32_t edge = 0xAFAAA0;
inline constexpr std::uint32_t edgeDeep = 0x8F8A80;
inline constexpr std::uint32_t wellOn = 0xB9B4A9;
inline constexpr std::uint32_t wellWarning = 0xC9AFA7;
inline constexpr std::uint32_t ink = 0x1D1B17;
inline constexpr std::uint32_t silk = 0x4A4640;
inline constexpr std::uint32_t silk2 = 0x6B665E;
inline constexpr std::uint32_t glass = 0x131110;
inline constexpr std::uint32_t glassDeep = 0x0C0B0A;
inline constexpr std::uint32_t glassRule = 0x26231F;
inline constexpr std::uint32_t dText = 0xEAE6DC;
inline constexpr std::uint32_t dDim = 0x8F897C;
inline constexpr std::uint32_t live = 0xFF4D00;
inline constexpr std::uint32_t alert = 0xE02121;
inline constexpr std::uint32_t ok = 0x38D968;
inline constexpr std::uint32_t lampOff = 0x3A3833;
inline constexpr std::uint32_t darkKey = 0x2B2926;
inline constexpr std::uint32_t darkKeyEdge = 0x191816;
inline constexpr std::uint32_t darkKeyEdgeDeep = 0x0B0A09;
inline constexpr std::uint32_t hotKeyEdge = 0xC63A00;
inline constexpr std::uint32_t hotKeyEdgeDeep = 0x8F2A00;
inline constexpr std::uint32_t hotKeyInk = 0x1A0C05;

// Every (text, ground) combination the controls set text on. Each must stay readable: a contrast
// ratio of at least 4.5.
inline constexpr std::array<std::pair<std::uint32_t, std::uint32_t>, 13> textPairs{{
    {ink, chassis},
    {ink, panel},
    {ink, keyHi},
    {ink, keyLo},
    {silk, chassis},
    {silk, panel},
    {silk, well},
    {silk, wellWarning},
    {ink, wellWarning},
    {dText, glass},
    {dDim, glass},
    {dText, darkKey},
    {hotKeyInk, live},
}};

// The WCAG 2 contrast ratio of two colours: from 1 (the same) to 21 (black on white), either order.
double contrastRatio(std::uint32_t a, std::uint32_t b);

} // namespace corvane::FieldUnitPalette
