#pragma once
#include <cstdint>

// Nearest integer, exact halves to the even neighbour: Round(16.5) = 16, Round(17.5) = 18.
int64_t Round(double v);
int64_t Round(long double v);
// Drops the fraction.
int64_t Trunc(double v);
