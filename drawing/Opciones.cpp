#include "drawing/Opciones.h"

#include "common/Decimal.h"

int32_t Opciones::DigitosEtiquetas() const { return StrToInt(EDigitosEtiquetas); }

int32_t Opciones::PrecisionEtiquetas() const { return StrToInt(EPrecisionEtiquetas); }
