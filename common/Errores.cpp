#include "common/Errores.h"

#include <cfenv>

std::string TextoCajaError(const std::string& mensaje)
{
    if (!mensaje.empty() && static_cast<unsigned char>(mensaje.back()) > static_cast<unsigned char>('.'))
        return mensaje + ".";
    return mensaje;
}

void LimpiaExcepcionesFPU()
{
    std::feclearexcept(FE_ALL_EXCEPT);
}

void CompruebaExcepcionesFPU()
{
    const int f = std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
    std::feclearexcept(FE_ALL_EXCEPT);
    if (f & FE_INVALID)
        throw EInvalidOp();
    if (f & FE_DIVBYZERO)
        throw EZeroDivide();
    if (f & FE_OVERFLOW)
        throw EOverflow();
}
