#include "drawing/OpcionesIni.h"

#include "common/Decimal.h"
#include "common/Ini.h"
#include "drawing/FormatoEtiqueta.h"
#include "drawing/Interaccion.h"

#include <cmath>

namespace {
const char* const kVarios = "Varios";
const char* const kRiesgo = "Riesgo";
constexpr double kToleranciaDefecto = 1000;
} // namespace

void LeeOpciones(Arbol& a, const FicheroIni& ini)
{
    Opciones& o = a.opciones;
    o.Escala = ini.LeeEntero("Impresion", "Escala", 0);
    a.ColorDecision = static_cast<Color>(ini.LeeEntero("Color", "Cuadro", 8585215));
    a.ColorAzar = static_cast<Color>(ini.LeeEntero("Color", "Circulo", 8978312));
    a.ColorTerminal = static_cast<Color>(ini.LeeEntero("Color", "Triangulo", 16749459));
    a.ColorElegido = static_cast<Color>(ini.LeeEntero("Color", "Linea", 255));
    o.SelArchivo = ini.LeeBooleano("Identificadores", "Archivo", true);
    o.SelFecha = ini.LeeBooleano("Identificadores", "Fecha", true);
    const double sumatorio = ini.LeeReal("Precision", "Sumatorio", StrToFloat(NormalizarDecimal("0.001")));
    o.EditPrecisionSumatorio = FormatoEtiqueta(sumatorio, 15, 0);
    o.EDigitosEtiquetas = std::to_string(ini.LeeEntero("Precision", "DigitosEtiquetas", 4));
    o.EPrecisionEtiquetas = std::to_string(ini.LeeEntero("Precision", "PrecisionEtiquetas", 4));
    o.EPrecisionBayes = std::to_string(ini.LeeEntero("Precision", "PrecisionBayes", 4));
    o.FontComboBox1 = ini.LeeCadena("Fuente", "Nombre", "Arial");
    o.CheckBoxListaVarOrdenada = ini.LeeBooleano(kVarios, "ListaOrdenada", true);
    o.CheckBoxVersion = ini.LeeBooleano(kVarios, "LeerFich10", false);
    o.CheckBoxArbolVisibleVariaciones = ini.LeeBooleano(kVarios, "ArbolVisibleVariaciones", true);
    o.CheckBoxComprobarRojos = ini.LeeBooleano(kVarios, "ComprobarSumas", true);
    o.CheckBoxNumNodosVisibles = ini.LeeBooleano(kVarios, "NumNodosVisibles", false);
    o.IntervaloRecuperacion = ini.LeeEntero(kVarios, "IntervaloRecuperacion", 30);
    o.AnchoTapiz = ini.LeeEntero("Dimensiones", "AnchoTapiz", 3000);
    o.AltoTapiz = ini.LeeEntero("Dimensiones", "AltoTapiz", 3000);
    o.TamanyoFormas = ini.LeeEntero("Dimensiones", "TamanyoFormas", 30);
    o.TamanyoLetras = ini.LeeEntero("Dimensiones", "TamanyoLetras", 8);
    a.GrosorElegido = ini.LeeEntero("Dimensiones", "AnchoLinea", 2);
    const int32_t criterio = ini.LeeEntero(kRiesgo, "Criterio", CriterioValorEsperado);
    o.CriterioRiesgo = criterio == CriterioUtilidad ? CriterioUtilidad : CriterioValorEsperado;
    // A tolerance that is not above 0 cannot be used: as good as missing.
    double r = ini.LeeReal(kRiesgo, "Tolerancia", kToleranciaDefecto);
    if (!(r > 0) || !std::isfinite(r))
        r = kToleranciaDefecto;
    o.EToleranciaRiesgo = FormatoEtiqueta(r, 15, 0);
}

void GuardaOpciones(const Arbol& a, FicheroIni& ini)
{
    const Opciones& o = a.opciones;
    ini.Diferir();
    try {
        ini.EscribeEntero("Impresion", "Escala", o.Escala);
        ini.EscribeEntero("Color", "Cuadro", static_cast<int32_t>(a.ColorDecision));
        ini.EscribeEntero("Color", "Circulo", static_cast<int32_t>(a.ColorAzar));
        ini.EscribeEntero("Color", "Triangulo", static_cast<int32_t>(a.ColorTerminal));
        ini.EscribeEntero("Color", "Linea", static_cast<int32_t>(a.ColorElegido));
        ini.EscribeBooleano("Identificadores", "Archivo", o.SelArchivo);
        ini.EscribeBooleano("Identificadores", "Fecha", o.SelFecha);
        ini.EscribeCadena("Precision", "Sumatorio", FormatoEtiqueta(StrToFloat(o.EditPrecisionSumatorio), 15, 0));
        ini.EscribeEntero("Precision", "DigitosEtiquetas", StrToInt(o.EDigitosEtiquetas));
        ini.EscribeEntero("Precision", "PrecisionEtiquetas", StrToInt(o.EPrecisionEtiquetas));
        ini.EscribeEntero("Precision", "PrecisionBayes", StrToInt(o.EPrecisionBayes));
        ini.EscribeCadena("Fuente", "Nombre", o.FontComboBox1);
        ini.EscribeBooleano(kVarios, "ListaOrdenada", o.CheckBoxListaVarOrdenada);
        ini.EscribeBooleano(kVarios, "LeerFich10", o.CheckBoxVersion);
        ini.EscribeBooleano(kVarios, "ArbolVisibleVariaciones", o.CheckBoxArbolVisibleVariaciones);
        ini.EscribeBooleano(kVarios, "ComprobarSumas", o.CheckBoxComprobarRojos);
        ini.EscribeBooleano(kVarios, "NumNodosVisibles", o.CheckBoxNumNodosVisibles);
        ini.EscribeEntero(kVarios, "IntervaloRecuperacion", o.IntervaloRecuperacion);
        ini.EscribeEntero("Dimensiones", "AnchoTapiz", o.AnchoTapiz);
        ini.EscribeEntero("Dimensiones", "AltoTapiz", o.AltoTapiz);
        ini.EscribeEntero("Dimensiones", "TamanyoFormas", o.TamanyoFormas);
        ini.EscribeEntero("Dimensiones", "TamanyoLetras", o.TamanyoLetras);
        ini.EscribeEntero("Dimensiones", "AnchoLinea", a.GrosorElegido);
        ini.EscribeEntero(kRiesgo, "Criterio", o.CriterioRiesgo);
        ini.EscribeCadena(kRiesgo, "Tolerancia", FormatoEtiqueta(o.ToleranciaRiesgo(), 15, 0));
    } catch (...) {
        // What was written before the bad text stays written.
        ini.Volcar();
        throw;
    }
    ini.Volcar();
}

void AplicaOpciones(Arbol& a)
{
    if (a.FactorZoom != 1.0)
        return;
    a.TamanyoNodo = a.opciones.TamanyoFormas;
    a.TamanyoLetra = a.opciones.TamanyoLetras;
    Reescala(a, 1.0);
}
