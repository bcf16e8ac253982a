#pragma once
#include <cstdint>
#include <string>

// The general number format of labels, hints, the sweep table and numbers
// written into the variables list. digits: significant digits (2..18);
// precision: minimum digits of the exponent (0..4). Uses the current decimal separator.
std::string FormatoEtiqueta(double x, int32_t digitos, int32_t precision);
