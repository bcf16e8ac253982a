#include "drawing/Opciones.h"

#include "common/Decimal.h"
#include "common/Errores.h"

#include <cmath>

int32_t Opciones::DigitosEtiquetas() const { return StrToInt(EDigitosEtiquetas); }

int32_t Opciones::PrecisionEtiquetas() const { return StrToInt(EPrecisionEtiquetas); }

const char* const kMensajeTolerancia = "La tolerancia al riesgo debe ser un número mayor que cero.";

double Opciones::ToleranciaRiesgo() const
{
    const double r = StrToFloat(NormalizarDecimal(EToleranciaRiesgo));
    if (!(r > 0) || !std::isfinite(r))
        throw ENemor(kMensajeTolerancia);
    return r;
}
