// The sample trees of examples/ are built here with the program's own
// operations and writer. NEMOR_REGENERA_EJEMPLOS=1 rewrites them; otherwise
// the shipped files must match what the program builds, open, and solve.
#include "Ayuda.h"
#include "analysis/Rollback.h"
#include "common/Decimal.h"
#include "support/UsuarioGuion.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"
#include "variables/Bayes.h"
#include "variables/Variables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#ifndef NEMOR_EJEMPLOS
#error "NEMOR_EJEMPLOS must name the examples folder"
#endif

namespace {

// Grows a tree and lays it out: leaves one under another, each parent level
// with the middle of its children, and branch stubs long enough for a
// probability name and a payoff name side by side under them.
struct Constructor {
    Arbol& a;

    uint16_t Rama(uint16_t padre, uint8_t tipo, const std::string& texto)
    {
        const uint16_t n = a.NuevoHijo(padre, tipo);
        a.PonerTexto(n, texto);
        return n;
    }
    void Ganancia(uint16_t n, double v, const std::string& variable = {})
    {
        a.Nodo(n)->Ganancia = v;
        a.Nodo(n)->FormulaGanancia = variable;
    }
    void Probabilidad(uint16_t n, double v, const std::string& variable = {})
    {
        a.Nodo(n)->Probabilidad = v;
        a.Nodo(n)->FormulaProbabilidad = variable;
    }
    // Places node n at depth x and returns its y.
    int Situa(uint16_t n, int x, int& hoja)
    {
        TNodo& nodo = *a.Nodo(n);
        int y;
        if (nodo.NumHijos() == 0) {
            y = 40 + 56 * hoja++;
        } else {
            int suma = 0;
            for (int i = 1; i <= nodo.NumHijos(); ++i)
                suma += Situa(nodo.Hijo(i), x + 290, hoja);
            y = suma / nodo.NumHijos();
        }
        a.SituarNodo(n, x, y);
        if (n != 0)
            nodo.LongitudRama = 220;
        return y;
    }
    void Disposicion()
    {
        int hoja = 0;
        Situa(0, 20, hoja);
    }
};

// A decision to drill for oil, with the option of a seismic test first. The
// test's posteriors come from the Bayes line of the variables list.
void Petroleo(Arbol& a)
{
    a.Variables = {
        "! Sondeo de petróleo: ¿pagar antes una prueba sísmica?",
        "! Estados del pozo: Seco, Humedo, Empapado. Resultados de la prueba: Cerrada, Abierta, Sin.",
        "BAYES(Cerrada,Abierta,Sin)",
        "P(Seco) = 0.5",
        "P(Humedo) = 0.3",
        "P(Empapado) = (1 - P(Seco) - P(Humedo))",
        "P(Cerrada/Seco) = 0.1",
        "P(Abierta/Seco) = 0.3",
        "P(Sin/Seco) = 0.6",
        "P(Cerrada/Humedo) = 0.3",
        "P(Abierta/Humedo) = 0.4",
        "P(Sin/Humedo) = 0.3",
        "P(Cerrada/Empapado) = 0.5",
        "P(Abierta/Empapado) = 0.4",
        "P(Sin/Empapado) = 0.1",
        "CostePerforar = -70",
        "CostePrueba = -10",
        "IngresoHumedo = 120",
        "IngresoEmpapado = 270",
    };
    CalculaFormulasBayes(a);
    Constructor c{a};
    a.CrearNodo(0, NodoDecision, 0);
    a.PonerTexto(0, "¿Prueba sísmica?");
    auto Perforar = [&](uint16_t padre, const std::string& resultado) {
        const uint16_t d = c.Rama(padre, NodoDecision, resultado.empty() ? "Sin prueba" : resultado);
        const uint16_t p = c.Rama(d, NodoAzar, "Perforar");
        c.Ganancia(p, -70, "CostePerforar");
        const char* estados[] = {"Seco", "Humedo", "Empapado"};
        const char* textos[] = {"Seco", "Húmedo", "Empapado"};
        const char* ingresos[] = {"", "IngresoHumedo", "IngresoEmpapado"};
        for (int i = 0; i < 3; ++i) {
            const uint16_t e = c.Rama(p, NodoTerminal, textos[i]);
            const std::string prob = "P(" + std::string(estados[i]) + (resultado.empty() ? "" : "/" + resultado) + ")";
            c.Probabilidad(e, 0, prob);
            if (*ingresos[i])
                c.Ganancia(e, 0, ingresos[i]);
        }
        c.Rama(d, NodoTerminal, "No perforar");
        return d;
    };
    Perforar(0, "");
    const uint16_t prueba = c.Rama(0, NodoAzar, "Prueba sísmica");
    c.Ganancia(prueba, -10, "CostePrueba");
    for (const char* r : {"Cerrada", "Abierta", "Sin"}) {
        const uint16_t d = Perforar(prueba, r);
        c.Probabilidad(d, 0, std::string("P(") + r + ")");
    }
    a.Nodo(prueba)->Comentario = "La prueba cuesta 10 y revela la estructura del subsuelo.\t"
                                 "Las probabilidades a posteriori salen de la línea BAYES.\t";
    a.Nodo(prueba)->MarcaVisible = true;
    c.Disposicion();
}

// A product launch whose payoffs come from a few business figures.
void Lanzamiento(Arbol& a)
{
    a.Variables = {
        "! Lanzamiento de un producto: cifras en miles de euros.",
        "! La red regional no puede servir más de 40 mil unidades.",
        "! Las dos ramas de IF son reales: unas unidades con decimales no cambian su tipo.",
        "Precio = 25",
        "CosteUnitario = 15",
        "Margen = (Precio - CosteUnitario)",
        "PAlta = 0.3",
        "PMedia = 0.45",
        "PBaja = (1 - PAlta - PMedia)",
        "UnidadesAlta = 120",
        "UnidadesMedia = 70",
        "UnidadesBaja = 25",
        "InversionNacional = 900",
        "InversionRegional = 250",
        "NacionalAlta = Margen * UnidadesAlta - InversionNacional",
        "NacionalMedia = Margen * UnidadesMedia - InversionNacional",
        "NacionalBaja = Margen * UnidadesBaja - InversionNacional",
        "RegionalAlta = Margen * IF(UnidadesAlta > 40; 40.0; FLOAT(UnidadesAlta)) - InversionRegional",
        "RegionalMedia = Margen * IF(UnidadesMedia > 40; 40.0; FLOAT(UnidadesMedia)) - InversionRegional",
        "RegionalBaja = Margen * IF(UnidadesBaja > 40; 40.0; FLOAT(UnidadesBaja)) - InversionRegional",
    };
    Constructor c{a};
    a.CrearNodo(0, NodoDecision, 0);
    a.PonerTexto(0, "¿Cómo lanzar el producto?");
    for (const char* alcance : {"Nacional", "Regional"}) {
        const uint16_t m = c.Rama(0, NodoAzar, std::string("Lanzamiento ") + (alcance[0] == 'N' ? "nacional" : "regional"));
        for (const char* demanda : {"Alta", "Media", "Baja"}) {
            const uint16_t t = c.Rama(m, NodoTerminal, std::string("Demanda ") + demanda);
            c.Probabilidad(t, 0, std::string("P") + demanda);
            c.Ganancia(t, 0, std::string(alcance) + demanda);
        }
    }
    const uint16_t no = c.Rama(0, NodoTerminal, "No lanzar");
    a.Nodo(no)->Comentario = "Se mantiene la línea actual.\t";
    a.Nodo(no)->MarcaVisible = true;
    RecalculaFormulas(a);
    c.Disposicion();
}

// The textbook choice of where to put savings for a year, plain numbers only.
void Inversion(Arbol& a)
{
    Constructor c{a};
    a.CrearNodo(0, NodoDecision, 0);
    a.PonerTexto(0, "¿Dónde invertir 10.000 €?");
    struct Estado {
        const char* texto;
        double p;
    };
    const Estado estados[] = {{"Crecimiento", 0.5}, {"Estabilidad", 0.3}, {"Recesión", 0.2}};
    const double acciones[] = {1500, 300, -800};
    const double bonos[] = {600, 600, 500};
    for (const auto& [texto, pagos] : {std::pair{"Acciones", acciones}, std::pair{"Bonos", bonos}}) {
        const uint16_t m = c.Rama(0, NodoAzar, texto);
        for (int i = 0; i < 3; ++i) {
            const uint16_t t = c.Rama(m, NodoTerminal, estados[i].texto);
            c.Probabilidad(t, estados[i].p);
            c.Ganancia(t, pagos[i]);
        }
    }
    const uint16_t d = c.Rama(0, NodoTerminal, "Depósito a plazo");
    c.Ganancia(d, 400);
    c.Disposicion();
}

struct Ejemplo {
    const char* fichero;
    void (*Construye)(Arbol&);
    double raiz;           // the root's value once solved
    const char* elegido;   // text of the root's chosen branch
};

const Ejemplo kEjemplos[] = {
    {"petroleo.nmr", Petroleo, 22.5, "Prueba sísmica"},
    {"lanzamiento.nmr", Lanzamiento, 112.5, "Lanzamiento regional"},
    {"inversion.nmr", Inversion, 680, "Acciones"},
};

std::string SinRutaNiFecha(const std::string& bytes)
{
    auto l = Lineas(bytes);
    if (l.size() > 3)
        l.erase(l.begin() + 1, l.begin() + 3);
    return Bytes(l);
}

const TNodo* Elegido(const Arbol& a)
{
    const TNodo& r = *a.Nodo(0);
    for (int i = 1; i <= r.NumHijos(); ++i)
        if (a.Nodo(r.Hijo(i))->Elegido)
            return a.Nodo(r.Hijo(i));
    return nullptr;
}

TEST(Ejemplos, SonLosQueConstruyeElProgramaYSeResuelven)
{
    SeparadorTemporal sep('.');
    const bool regenera = std::getenv("NEMOR_REGENERA_EJEMPLOS") != nullptr;
    for (const auto& e : kEjemplos) {
        const std::string ruta = std::string(NEMOR_EJEMPLOS) + "/" + e.fichero;
        Arbol a;
        UsuarioGuion u;
        a.usuario = &u;
        e.Construye(a);
        u.respuestas = {Respuesta::Si};
        ASSERT_TRUE(CalculaVEM(a)) << e.fichero;
        EXPECT_NEAR(a.Raiz().Valor, e.raiz, 0.5) << e.fichero;
        const std::string texto = TextoArbol(a, e.fichero, FechaHoraActual());
        if (regenera)
            EscribeFicheroSeguro(ruta, texto);
        EXPECT_EQ(SinRutaNiFecha(Lee(ruta)), SinRutaNiFecha(texto)) << e.fichero;

        // Opened as the user opens it, and solved again from scratch.
        Arbol b;
        UsuarioGuion v;
        b.usuario = &v;
        ASSERT_EQ(LeerArbol(b, ruta), ResultadoLectura::Leido) << e.fichero;
        ValoresACero(b);
        v.respuestas = {Respuesta::Si};
        ASSERT_TRUE(CalculaVEM(b));
        EXPECT_TRUE(NodosRojos(b).empty()) << e.fichero;
        EXPECT_NEAR(b.Raiz().Valor, e.raiz, 0.5) << e.fichero;
        ASSERT_NE(Elegido(b), nullptr);
        EXPECT_EQ(Elegido(b)->Texto, e.elegido) << e.fichero;
    }
}

} // namespace
