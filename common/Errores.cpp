#include "common/Errores.h"

#include <cfenv>

std::string TextoCajaError(const std::string& mensaje)
{
    if (!mensaje.empty() && static_cast<unsigned char>(mensaje.back()) > static_cast<unsigned char>('.'))
        return mensaje + ".";
    return mensaje;
}

namespace {
constexpr int kErroresFPU = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
}

// Only the three flags that raise are cleared, and only when set: clearing the
// whole floating-point environment costs more than the arithmetic it guards.
void LimpiaExcepcionesFPU()
{
    if (std::fetestexcept(kErroresFPU))
        std::feclearexcept(kErroresFPU);
}

void CompruebaExcepcionesFPU()
{
    const int f = std::fetestexcept(kErroresFPU);
    if (!f)
        return;
    std::feclearexcept(kErroresFPU);
    if (f & FE_INVALID)
        throw EInvalidOp();
    if (f & FE_DIVBYZERO)
        throw EZeroDivide();
    if (f & FE_OVERFLOW)
        throw EOverflow();
}
