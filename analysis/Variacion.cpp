#include "analysis/Variacion.h"

#include "analysis/Rollback.h"
#include "common/Decimal.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"
#include "variables/Bayes.h"
#include "variables/Variables.h"

#include <cmath>

const char* const kMensajeConjuntoNoSuma = "El conjunto de variables seleccionadas no suman 1.";
const char* const kMensajeNoAsociada = "La variable selccionada no está asociada a nigún nodo del árbol";
const char* const kMensajeIncremento = "El incremento debe ser mayor que cero.";
const char* const kMensajeDemasiadosPuntos =
    "El incremento es demasiado pequeño: la variación tendría más de 100000 puntos.";
const char* const kMensajeCompanerosCero =
    "Las probabilidades que acompañan a la variable suman 0: no se pueden repartir entre ellas.";

namespace {

std::string Texto(double v) { return FormatoEtiqueta(v, 15, 0); }

struct Companero {
    std::string nombre;
    double valor;
};

void Refusa(Arbol& arbol, const char* mensaje)
{
    if (arbol.usuario)
        arbol.usuario->Mensaje("Error", mensaje, Icono::Error);
}

// Puts back what the sweep changed: the list from the backup, the drawing, the check option.
struct Restauracion {
    Arbol& arbol;
    IVistaVariacion& vista;
    bool comprobar;
    bool activa = false;
    bool panelOculto = false;

    void Deshaz()
    {
        if (!activa)
            return;
        activa = false;
        arbol.Variables = arbol.VariablesRespaldo;
        if (panelOculto)
            vista.PanelVisible(true);
    }
    ~Restauracion()
    {
        if (activa) {
            // Leaving through an error: nothing may stay at swept values.
            Deshaz();
            try {
                RecalculaFormulas(arbol);
                CalculaVEM(arbol);
            } catch (...) {
                // The original error is the one the user must see.
            }
        }
        arbol.opciones.CheckBoxComprobarRojos = comprobar;
    }
};

} // namespace

std::vector<std::string> LineasVariacion(const Arbol& arbol)
{
    std::vector<std::string> r;
    for (const auto& l : arbol.Variables)
        if (!l.empty() && !EsLineaBayes(l) && !EsComentario(l))
            r.push_back(l);
    return r;
}

double SumaConjunto(const Arbol& arbol, const std::vector<std::string>& lineas)
{
    double s = 0;
    for (const auto& l : lineas)
        s += EvaluaLinea(arbol, l);
    return s;
}

std::string TextoSuma(const Arbol& arbol, const std::vector<std::string>& lineas)
{
    return "Suma = " + Texto(SumaConjunto(arbol, lineas));
}

UsoVariable BuscaNodoVariable(const Arbol& arbol, const std::string& nombre)
{
    UsoVariable r;
    for (int p = 0; p <= arbol.UltimaPosicion; ++p) {
        const uint16_t k = arbol.ListaOrden[p];
        const TNodo* n = arbol.Nodo(k);
        if (!n)
            continue;
        if (n->FormulaGanancia == nombre)
            r = UsoVariable{true, k, false};
        else if (n->FormulaProbabilidad == nombre)
            r = UsoVariable{true, k, true};
    }
    return r;
}

bool EjecutaVariaciones(Arbol& arbol, const ParametrosVariacion& p, IVistaVariacion& vista)
{
    Restauracion restaura{arbol, vista, arbol.opciones.CheckBoxComprobarRojos};
    arbol.opciones.CheckBoxComprobarRojos = false;

    const std::string nombre = NombreDeLinea(p.Linea);
    const double desde = StrToFloat(NormalizarDecimal(p.Desde));
    const double hasta = StrToFloat(NormalizarDecimal(p.Hasta));
    const double paso = StrToFloat(NormalizarDecimal(p.Incremento));

    // A step that never reaches the end would hang the program.
    if (desde <= hasta) {
        if (!(paso > 0)) {
            Refusa(arbol, kMensajeIncremento);
            return false;
        }
        if ((hasta - desde) / paso >= static_cast<double>(kMaxPuntosVariacion) || desde + paso == desde) {
            Refusa(arbol, kMensajeDemasiadosPuntos);
            return false;
        }
    }

    std::vector<Companero> companeros;
    if (p.Conjunto) {
        const double tolerancia = StrToFloat(NormalizarDecimal(arbol.opciones.EditPrecisionSumatorio));
        // The sum as the dialog shows it.
        const double s = StrToFloat(Texto(SumaConjunto(arbol, p.LineasConjunto)));
        if (tolerancia < std::fabs(s - 1)) {
            Refusa(arbol, kMensajeConjuntoNoSuma);
            return false;
        }
        for (const auto& l : p.LineasConjunto)
            if (NombreDeLinea(l) != nombre)
                companeros.push_back({NombreDeLinea(l), EvaluaLinea(arbol, l)});
    } else {
        const UsoVariable uso = BuscaNodoVariable(arbol, nombre);
        if (!uso.Encontrado) {
            Refusa(arbol, kMensajeNoAsociada);
            return false;
        }
        if (uso.ComoProbabilidad) {
            const TNodo* n = arbol.Nodo(uso.Nodo);
            const TNodo* padre = arbol.Nodo(n->Padre);
            for (int i = 1; padre && i <= padre->NumHijos(); ++i) {
                const TNodo* h = arbol.Nodo(padre->Hijo(i));
                if (h && h->FormulaProbabilidad != n->FormulaProbabilidad)
                    companeros.push_back({h->FormulaProbabilidad, h->Probabilidad});
            }
        }
    }
    double total = 0;
    for (const auto& c : companeros)
        total += c.valor;
    if (!companeros.empty() && total == 0) {
        Refusa(arbol, kMensajeCompanerosCero);
        return false;
    }

    // Ready: back up the list and clear the results.
    arbol.VariablesRespaldo = arbol.Variables;
    restaura.activa = true;
    vista.Limpia();
    if (!arbol.opciones.CheckBoxArbolVisibleVariaciones) {
        vista.PanelVisible(false);
        restaura.panelOculto = true;
    }

    for (double x = desde; x <= hasta; x = x + paso) {
        FijaValorVariable(arbol, nombre, Texto(x));
        for (const auto& c : companeros)
            if (!c.nombre.empty())
                FijaValorVariable(arbol, c.nombre, Texto((1 - x) * c.valor / total));
        CalculaTodosBayes(arbol);
        CalculaVEM(arbol);
        const double y = arbol.Raiz().Valor;
        vista.AnyadeLinea(Texto(x) + "\t" + Texto(y));
        vista.AnyadePunto(x, y);
        vista.Paso();
    }

    vista.Muestra();
    restaura.Deshaz();
    CalculaVEM(arbol);
    return true;
}
