#pragma once

#include <corvane/look/FieldUnitPalette.h>

#include <QColor>

namespace corvane::FU {

// The drawing colours of the field-unit look: every palette colour that is drawn, fully opaque.
inline QColor colour(std::uint32_t rgb) {
    return QColor::fromRgb(0xFF000000u | rgb);
}

inline const QColor chassis = colour(FieldUnitPalette::chassis);
inline const QColor panel = colour(FieldUnitPalette::panel);
inline const QColor well = colour(FieldUnitPalette::well);
inline const QColor keyHi = colour(FieldUnitPalette::keyHi);
inline const QColor keyLo = colour(FieldUnitPalette::keyLo);
inline const QColor edge = colour(FieldUnitPalette::edge);
inline const QColor edgeDeep = colour(FieldUnitPalette::edgeDeep);
inline const QColor wellOn = colour(FieldUnitPalette::wellOn);
inline const QColor wellWarning = colour(FieldUnitPalette::wellWarning);
inline const QColor ink = colour(FieldUnitPalette::ink);
inline const QColor silk = colour(FieldUnitPalette::silk);
inline const QColor glass = colour(FieldUnitPalette::glass);
inline const QColor glassRule = colour(FieldUnitPalette::glassRule);
inline const QColor dText = colour(FieldUnitPalette::dText);
inline const QColor dDim = colour(FieldUnitPalette::dDim);
inline const QColor live = colour(FieldUnitPalette::live);
inline const QColor alert = colour(FieldUnitPalette::alert);
inline const QColor ok = colour(FieldUnitPalette::ok);
inline const QColor lampOff = colour(FieldUnitPalette::lampOff);
inline const QColor darkKey = colour(FieldUnitPalette::darkKey);
inline const QColor darkKeyEdge = colour(FieldUnitPalette::darkKeyEdge);
inline const QColor darkKeyEdgeDeep = colour(FieldUnitPalette::darkKeyEdgeDeep);
inline const QColor hotKeyEdge = colour(FieldUnitPalette::hotKeyEdge);
inline const QColor hotKeyEdgeDeep = colour(FieldUnitPalette::hotKeyEdgeDeep);
inline const QColor hotKeyInk = colour(FieldUnitPalette::hotKeyInk);

} // namespace corvane::FU
