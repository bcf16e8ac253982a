#include "variables/Variables.h"

#include "formula/Formula.h"

double EvaluaFormula(const std::string& texto)
{
    LimpiaExcepcionesFPU();
    const double v = ParseFormula(texto)->ToFloat();
    CompruebaExcepcionesFPU();
    return v;
}
