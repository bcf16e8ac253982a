#include "analysis/Rollback.h"
#include "cli/Cli.h"
#include "cli/UsuarioCli.h"
#include "common/EscrituraSegura.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"
#include "variables/Bayes.h"

#include <iostream>

namespace {

// The arguments after an optional leading "--v141", which reads the older layout.
std::vector<std::string> Opciones(const std::vector<std::string>& a, bool& v141, size_t cuantos)
{
    v141 = !a.empty() && a[0] == "--v141";
    std::vector<std::string> r(a.begin() + (v141 ? 1 : 0), a.end());
    if (r.size() != cuantos)
        throw UsoIncorrecto{};
    return r;
}

// The file named by a command, read into a tree of its own with nobody to ask.
struct ArbolLeido {
    UsuarioCli u;
    Arbol arbol;
    ContenidoArbol contenido;
    ArbolLeido(const std::string& ruta, bool v141)
    {
        arbol.usuario = &u;
        contenido = CargaArbolCli(arbol, ruta, v141);
    }
};

int Resuelve(const std::vector<std::string>& args, std::ostream& out)
{
    // "--risk-tolerance=R" anywhere: certainty equivalents under exponential utility.
    std::vector<std::string> resto;
    std::string tolerancia;
    for (const auto& s : args) {
        if (s.rfind("--risk-tolerance=", 0) == 0)
            tolerancia = s.substr(17);
        else
            resto.push_back(s);
    }
    bool v141;
    const auto a = Opciones(resto, v141, 1);
    ArbolLeido leido(a[0], v141);
    Arbol& arbol = leido.arbol;
    if (resto.size() != args.size()) {
        arbol.opciones.CriterioRiesgo = CriterioUtilidad;
        arbol.opciones.EToleranciaRiesgo = tolerancia;
    }
    arbol.opciones.CheckBoxComprobarRojos = true;
    CalculaVEM(arbol);
    for (int p = 0; p <= arbol.UltimaPosicion; ++p) {
        const uint16_t numero = arbol.ListaOrden[p];
        const TNodo& n = *arbol.Nodo(numero);
        out << numero << '\t' << static_cast<int>(n.Tipo) << '\t' << FormatoEtiqueta(n.Valor, 15, 0) << '\t'
            << (n.Elegido ? "E" : "-") << '\t' << (n.SumaErronea ? "R" : "-") << '\n';
    }
    return 0;
}

int Bayes(const std::vector<std::string>& args, std::ostream& out)
{
    bool v141;
    const auto a = Opciones(args, v141, 1);
    ArbolLeido leido(a[0], v141);
    Arbol& arbol = leido.arbol;
    CalculaFormulasBayes(arbol);
    for (const auto& l : arbol.Variables)
        out << l << '\n';
    return 0;
}

int Reescribe(const std::vector<std::string>& args, std::ostream&)
{
    bool v141;
    const auto a = Opciones(args, v141, 2);
    ArbolLeido leido(a[0], v141);
    Arbol& arbol = leido.arbol;
    EscribeArbol(arbol, a[1]);
    return 0;
}

int Comprueba(const std::vector<std::string>& args, std::ostream& out)
{
    bool v141;
    const auto a = Opciones(args, v141, 1);
    ArbolLeido leido(a[0], v141);
    Arbol& arbol = leido.arbol;
    out << "nodos " << arbol.NumeroNodos() << ", último número " << arbol.UltimoIndice << ", líneas de variables "
        << arbol.Variables.size() << ", versión " << FormatoEtiqueta(leido.contenido.Version, 15, 0);
    if (!arbol.DocumentoEditor.empty())
        out << ", documento " << arbol.DocumentoEditor;
    out << '\n';
    return 0;
}

const RegistroCli r1({"solve", "[--v141] [--risk-tolerance=R] FICHERO.nmr", 1, 3, Resuelve});
const RegistroCli r2({"bayes", "[--v141] FICHERO.nmr", 1, 2, Bayes});
const RegistroCli r3({"resave", "[--v141] ENTRADA.nmr SALIDA.nmr", 2, 3, Reescribe});
const RegistroCli r4({"check", "[--v141] FICHERO.nmr", 1, 2, Comprueba});

} // namespace
