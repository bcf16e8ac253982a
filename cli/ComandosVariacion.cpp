// nemor-cli sweep: the sensitivity sweep without windows; prints the value table.
#include "analysis/Variacion.h"
#include "cli/Cli.h"
#include "cli/Json.h"
#include "cli/UsuarioCli.h"
#include "tree/Arbol.h"
#include "tree/FicheroArbol.h"
#include "variables/Variables.h"

#include <iostream>

namespace {

// The table goes straight out, each line as soon as its point is computed, so
// a sweep of millions of points keeps nothing in memory. As JSON the points
// are kept (two numbers each) and written as one document once the sweep is shown.
class VistaTexto : public IVistaVariacion {
public:
    explicit VistaTexto(std::ostream& out) : out_(out) {}
    void Limpia() override { puntos_.clear(); }
    void AnyadePunto(double x, double y) override
    {
        if (SalidaJson())
            puntos_.emplace_back(x, y);
        else
            out_ << LineaVariacion(x, y) << '\n';
    }
    void Muestra() override
    {
        mostrada_ = true;
        out_.flush();
    }

    // Writes the JSON document of what the sweep showed (the text is already out).
    void Escribe(const std::string& fichero, const std::string& linea, const std::string& variable)
    {
        if (!mostrada_ || !SalidaJson())
            return;
        EscritorJson j(out_);
        j.AbreObjeto();
        j.Campo("fichero", fichero);
        j.Campo("linea", linea);
        j.Campo("variable", variable);
        j.Clave("puntos");
        j.AbreLista();
        for (const auto& [x, y] : puntos_) {
            j.AbreObjeto();
            j.Campo("x", x);
            j.Campo("valor", y);
            j.Cierra();
        }
        j.Cierra();
        j.Cierra();
    }

private:
    std::ostream& out_;
    std::vector<std::pair<double, double>> puntos_;
    bool mostrada_ = false;
};

int Variaciones(const std::vector<std::string>& args, std::ostream& out)
{
    // FICHERO LINEA DESDE HASTA INCREMENTO, then any number of "--set LINEA".
    if (args.size() < 5 || (args.size() - 5) % 2 != 0)
        throw UsoIncorrecto{};
    ParametrosVariacion p;
    p.Linea = args[1];
    p.Desde = args[2];
    p.Hasta = args[3];
    p.Incremento = args[4];
    for (size_t i = 5; i < args.size(); i += 2) {
        if (args[i] != "--set")
            throw UsoIncorrecto{};
        p.LineasConjunto.push_back(args[i + 1]);
    }
    p.Conjunto = !p.LineasConjunto.empty();

    UsuarioCli u(true);
    Arbol arbol;
    arbol.usuario = &u;
    CargaArbolCli(arbol, args[0], false);

    // The dialog offers only whole lines of the list; the same holds here.
    if (!EsVariableVariacion(arbol, p.Linea))
        throw ENemor("La línea «" + p.Linea + "» no es una variable de la lista");
    for (const auto& l : p.LineasConjunto)
        if (!EsVariableVariacion(arbol, l))
            throw ENemor("La línea «" + l + "» no es una variable de la lista");

    VistaTexto vista(out);
    const bool hecho = EjecutaVariaciones(arbol, p, vista);
    if (!hecho && !u.mensajes.empty()) {
        const std::string rechazo = u.mensajes.back();
        u.mensajes.pop_back();
        for (const auto& m : u.mensajes)
            std::cerr << m << '\n';
        throw ENemor(rechazo);
    }
    for (const auto& m : u.mensajes)
        std::cerr << m << '\n';
    vista.Escribe(args[0], p.Linea, NombreDeLinea(p.Linea));
    return hecho ? 0 : 1;
}

const char* const kAyudaSweep =
    "Análisis de sensibilidad: varía una variable y resuelve el árbol en cada paso.\n"
    "\n"
    "LINEA es una línea entera de la lista de variables del árbol, tal como está\n"
    "escrita (por ejemplo \"CostePrueba = -10\"); su variable toma los valores DESDE,\n"
    "DESDE + INCREMENTO, ... mientras no pasen de HASTA, y en cada paso se\n"
    "recalculan las líneas de Bayes y se resuelve el árbol, como hace\n"
    "«Variaciones ...». Si la variable es la probabilidad de una rama, las de sus\n"
    "ramas hermanas se reparten el resto para que sigan sumando 1. Con --set LINEA\n"
    "(una o más veces) se define en cambio un conjunto de probabilidades que se\n"
    "varían juntas; deben sumar 1. La lista de variables del fichero no cambia.\n"
    "\n"
    "Salida de texto: la tabla de la ventana de resultados, una línea por paso con\n"
    "el valor de la variable, un tabulador y el valor de la raíz (15 cifras). Cada\n"
    "línea sale en cuanto su punto está calculado, por muchos puntos que haya. Un\n"
    "INCREMENTO que no es mayor que 0, o tan pequeño que no cambia el valor de la\n"
    "variable, se rechaza antes de empezar.\n"
    "\n"
    "Con --json: un objeto con «fichero», «linea», «variable» y «puntos», una lista\n"
    "de objetos con «x» (el valor de la variable) y «valor» (el de la raíz).\n";

const RegistroCli r1({"sweep", "FICHERO.nmr LINEA DESDE HASTA INCREMENTO [--set LINEA]...", 5, -1, Variaciones,
                      kAyudaSweep, true});

} // namespace
