#include "common/Redondeo.h"

#include "common/Errores.h"

#include <cmath>

namespace {
// Beyond the 64-bit range the conversion would be undefined; the runtime
// reports such a value as an invalid operation.
template <typename T>
int64_t AEntero(T v)
{
    if (!(v >= static_cast<T>(-9.2e18) && v <= static_cast<T>(9.2e18)))
        throw EInvalidOp();
    return static_cast<int64_t>(v);
}
} // namespace

// rint rounds as nearbyint does in the default mode, without saving the
// floating-point state around it (nearbyintl costs more than the rest of
// reading a label). Nothing here looks at the inexact flag.
int64_t Round(double v)
{
    return AEntero(std::rint(v));
}

int64_t Round(long double v)
{
    return AEntero(std::rintl(v));
}

int64_t Trunc(double v)
{
    return AEntero(std::trunc(v));
}
