// nemor-cli profile, tornado and spider: the risk profile of a node and the
// sensitivity of the root to every input, without windows.
#include "analysis/PerfilRiesgo.h"
#include "analysis/Rollback.h"
#include "analysis/Tornado.h"
#include "cli/Cli.h"
#include "cli/UsuarioCli.h"
#include "common/Decimal.h"
#include "tree/Arbol.h"

#include <iostream>

namespace {

// The arguments of one command: the positional ones in order and the options.
struct Argumentos {
    std::vector<std::string> posicionales;
    bool alternativas = false;
    std::string tolerancia; // empty: the expected value
    std::string porcentaje = "10";
    std::string pasos = "10";
};

// Options may come anywhere; which ones a command takes is its own.
Argumentos Lee(const std::vector<std::string>& args, bool conAlternativas, bool conPorcentaje, bool conPasos)
{
    Argumentos a;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        if (s.rfind("--risk-tolerance=", 0) == 0) {
            a.tolerancia = s.substr(17);
        } else if (conAlternativas && s == "--alternatives") {
            a.alternativas = true;
        } else if (conPorcentaje && s == "--pct" && i + 1 < args.size()) {
            a.porcentaje = args[++i];
        } else if (conPasos && s == "--steps" && i + 1 < args.size()) {
            a.pasos = args[++i];
        } else if (s.rfind("--", 0) == 0) {
            throw UsoIncorrecto{};
        } else {
            a.posicionales.push_back(s);
        }
    }
    return a;
}

// The file read and solved as "solve" does: the probability check on, and
// going on when a sum is off.
struct ArbolResuelto {
    UsuarioCli u;
    Arbol arbol;
    ArbolResuelto(const std::string& ruta, const std::string& tolerancia)
    {
        arbol.usuario = &u;
        CargaArbolCli(arbol, ruta, false);
        if (!tolerancia.empty()) {
            arbol.opciones.CriterioRiesgo = CriterioUtilidad;
            arbol.opciones.EToleranciaRiesgo = tolerancia;
        }
        arbol.opciones.CheckBoxComprobarRojos = true;
        CalculaVEM(arbol);
    }
};

void Escribe(std::ostream& out, const std::vector<std::string>& lineas)
{
    for (const auto& l : lineas)
        out << l << '\n';
}

// Inputs left out go to standard error, as messages that do not stop the work do.
void Fallidas(const std::vector<EntradaFallida>& fallidas)
{
    for (const auto& f : fallidas)
        std::cerr << TextoCajaError(TextoFallida(f)) << '\n';
}

double Numero(const std::string& texto) { return StrToFloat(NormalizarDecimal(texto)); }

int Perfil(const std::vector<std::string>& args, std::ostream& out)
{
    const Argumentos a = Lee(args, true, false, false);
    if (a.posicionales.empty() || a.posicionales.size() > 2)
        throw UsoIncorrecto{};
    ArbolResuelto r(a.posicionales[0], a.tolerancia);
    const int nodo = a.posicionales.size() == 2 ? StrToInt(a.posicionales[1]) : 0;
    if (!a.alternativas) {
        Escribe(out, LineasPerfil(CalculaPerfilRiesgo(r.arbol, nodo)));
        return 0;
    }
    for (const PerfilAlternativa& p : PerfilesAlternativas(r.arbol, nodo)) {
        out << CabeceraAlternativa(p) << '\n';
        Escribe(out, LineasPerfil(p.Perfil));
    }
    return 0;
}

int Tornado(const std::vector<std::string>& args, std::ostream& out)
{
    const Argumentos a = Lee(args, false, true, false);
    if (a.posicionales.size() != 1)
        throw UsoIncorrecto{};
    const double p = Numero(a.porcentaje);
    ArbolResuelto r(a.posicionales[0], a.tolerancia);
    const ResultadoTornado t = CalculaTornado(r.arbol, p);
    Escribe(out, LineasTornado(t));
    Fallidas(t.Fallidas);
    return 0;
}

int Arana(const std::vector<std::string>& args, std::ostream& out)
{
    const Argumentos a = Lee(args, false, true, true);
    if (a.posicionales.size() != 1)
        throw UsoIncorrecto{};
    const double p = Numero(a.porcentaje);
    const int pasos = StrToInt(a.pasos);
    ArbolResuelto r(a.posicionales[0], a.tolerancia);
    const ResultadoArana t = CalculaArana(r.arbol, p, pasos);
    Escribe(out, LineasArana(t));
    Fallidas(t.Fallidas);
    return 0;
}

const RegistroCli r1({"profile", "FICHERO.nmr [NODO] [--alternatives] [--risk-tolerance=R]", 1, 4, Perfil});
const RegistroCli r2({"tornado", "FICHERO.nmr [--pct P] [--risk-tolerance=R]", 1, 4, Tornado});
const RegistroCli r3({"spider", "FICHERO.nmr [--pct P] [--steps N] [--risk-tolerance=R]", 1, 6, Arana});

} // namespace
