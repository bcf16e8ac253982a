// nemor-cli sweep: the sensitivity sweep without windows; prints the value table.
#include "analysis/Variacion.h"
#include "cli/Cli.h"
#include "cli/UsuarioCli.h"
#include "tree/Arbol.h"
#include "tree/FicheroArbol.h"
#include "variables/Variables.h"

#include <iostream>

namespace {

// Every line goes out as soon as its point is computed: a sweep of millions
// of points keeps nothing in memory.
class VistaTexto : public IVistaVariacion {
public:
    explicit VistaTexto(std::ostream& out) : out_(out) {}
    void Limpia() override {}
    void AnyadePunto(double x, double y) override { out_ << LineaVariacion(x, y) << '\n'; }
    void Muestra() override { out_.flush(); }

private:
    std::ostream& out_;
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
    return hecho ? 0 : 1;
}

const RegistroCli r1({"sweep", "FICHERO.nmr LINEA DESDE HASTA INCREMENTO [--set LINEA]...", 5, -1, Variaciones});

} // namespace
