#include "variables/Variables.h"

#if __has_include("formula/Formula.h")
#include "formula/Formula.h"

double EvaluaFormula(const std::string& texto)
{
    LimpiaExcepcionesFPU();
    const double v = ParseFormula(texto)->ToFloat();
    CompruebaExcepcionesFPU();
    return v;
}
#else
#include "common/Decimal.h"
// TEMPORARY until the formula engine is merged: plain numbers only.
double EvaluaFormula(const std::string& texto) { return StrToFloat(texto); }
#endif
