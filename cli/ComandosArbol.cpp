#include "analysis/Rollback.h"
#include "cli/Cli.h"
#include "cli/Json.h"
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

void NodoJson(EscritorJson& j, const Arbol& arbol, uint16_t numero)
{
    const TNodo& n = *arbol.Nodo(numero);
    j.AbreObjeto();
    j.Campo("numero", numero);
    j.Campo("tipo", n.Tipo);
    j.Campo("padre", n.Padre);
    j.Campo("texto", n.Texto);
    j.Campo("ganancia", n.Ganancia);
    j.Campo("probabilidad", n.Probabilidad);
    j.Campo("valor", n.Valor);
    j.Campo("elegido", n.Elegido);
    j.Campo("sumaErronea", n.SumaErronea);
    j.Clave("hijos");
    j.AbreLista();
    for (int h = 1; h <= n.NumHijos(); ++h)
        j.Entero(n.Hijo(h));
    j.Cierra();
    j.Cierra();
}

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
    if (SalidaJson()) {
        EscritorJson j(out);
        j.AbreObjeto();
        j.Campo("fichero", a[0]);
        j.Campo("valor", arbol.Raiz().Valor);
        // Under exponential utility the values are certainty equivalents: the document says so with R.
        if (arbol.ToleranciaValores > 0)
            j.Campo("toleranciaRiesgo", arbol.ToleranciaValores);
        j.Clave("nodos");
        j.AbreLista();
        for (int p = 0; p <= arbol.UltimaPosicion; ++p)
            NodoJson(j, arbol, arbol.ListaOrden[p]);
        j.Cierra();
        j.Cierra();
        return 0;
    }
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
    if (SalidaJson()) {
        EscritorJson j(out);
        j.AbreObjeto();
        j.Campo("fichero", a[0]);
        j.Clave("variables");
        j.AbreLista();
        for (const auto& l : arbol.Variables)
            j.Texto(l);
        j.Cierra();
        j.Cierra();
        return 0;
    }
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
    if (SalidaJson()) {
        EscritorJson j(out);
        j.AbreObjeto();
        j.Campo("fichero", a[0]);
        j.Campo("nodos", arbol.NumeroNodos());
        j.Campo("ultimoNumero", arbol.UltimoIndice);
        j.Campo("lineasVariables", arbol.Variables.size());
        j.Campo("version", leido.contenido.Version);
        j.Clave("documento");
        if (arbol.DocumentoEditor.empty())
            j.Nulo();
        else
            j.Texto(arbol.DocumentoEditor);
        j.Cierra();
        return 0;
    }
    out << "nodos " << arbol.NumeroNodos() << ", último número " << arbol.UltimoIndice << ", líneas de variables "
        << arbol.Variables.size() << ", versión " << FormatoEtiqueta(leido.contenido.Version, 15, 0);
    if (!arbol.DocumentoEditor.empty())
        out << ", documento " << arbol.DocumentoEditor;
    out << '\n';
    return 0;
}

const char* const kAyudaSolve =
    "Resuelve el árbol como «Calcular VEM» e imprime cada nodo.\n"
    "\n"
    "Calcula las fórmulas de las ramas desde la lista de variables, comprueba las\n"
    "sumas de probabilidades (un nodo de azar que no suma 1 se marca, pero el\n"
    "cálculo sigue) y calcula el valor esperado de cada nodo desde la raíz.\n"
    "\n"
    "Salida de texto: una línea por nodo, en el orden de creación (la raíz primero),\n"
    "con cinco campos separados por tabuladores: número, tipo (0 terminal,\n"
    "1 decisión, 2 azar), valor con 15 cifras, «E» si es la alternativa elegida de\n"
    "su nodo de decisión (si no, «-») y «R» si es un nodo de azar cuyas\n"
    "probabilidades no suman 1 (si no, «-»).\n"
    "\n"
    "Con --json: un objeto con «fichero», «valor» (el de la raíz) y «nodos», una\n"
    "lista en el mismo orden; cada nodo lleva «numero», «tipo», «padre», «texto»,\n"
    "«ganancia», «probabilidad», «valor», «elegido», «sumaErronea» e «hijos».\n"
    "\n"
    "--risk-tolerance=R resuelve con utilidad exponencial U(x) = 1 - exp(-x / R)\n"
    "(R > 0): cada nodo de azar vale su equivalente cierto y cada nodo de decisión\n"
    "elige la alternativa de mayor equivalente cierto más ganancia. Con --json,\n"
    "el objeto lleva además «toleranciaRiesgo» (R) y los valores son esos\n"
    "equivalentes ciertos.\n"
    "\n"
    "--v141 lee la disposición antigua de los ficheros, sin comentarios.\n";

const char* const kAyudaBayes =
    "Aplica «Calcula las formulas de Bayes» e imprime la lista de variables.\n"
    "\n"
    "Calcula las probabilidades marginales P(R) y a posteriori P(S/R) de cada línea\n"
    "BAYES(...) y escribe la lista resultante, una línea por renglón. Un valor que\n"
    "no se encuentra se avisa por la salida de errores y el cálculo sigue.\n"
    "\n"
    "Con --json: un objeto con «fichero» y «variables», la lista de líneas.\n";

const char* const kAyudaResave =
    "Lee un árbol y lo vuelve a escribir.\n"
    "\n"
    "Escribe SALIDA.nmr como lo haría «Guardar como...» (Windows-1252, fin de línea\n"
    "CR LF, la fecha de ahora). Sirve para pasar un fichero de la disposición\n"
    "antigua (--v141) a la actual. Si la lectura falla no se escribe nada.\n";

const char* const kAyudaCheck =
    "Lee un árbol sin cambiar nada e imprime un resumen.\n"
    "\n"
    "Salida de texto: «nodos N, último número U, líneas de variables L, versión V»\n"
    "y, si el árbol enlaza un documento del editor, «, documento RUTA». Un fichero\n"
    "que no es un árbol válido da su primer error y el código 1.\n"
    "\n"
    "Con --json: un objeto con «fichero», «nodos», «ultimoNumero»,\n"
    "«lineasVariables», «version» y «documento» (null si no hay).\n";

const RegistroCli r1({"solve", "[--v141] [--risk-tolerance=R] FICHERO.nmr", 1, 3, Resuelve, kAyudaSolve, true});
const RegistroCli r2({"bayes", "[--v141] FICHERO.nmr", 1, 2, Bayes, kAyudaBayes, true});
const RegistroCli r3({"resave", "[--v141] ENTRADA.nmr SALIDA.nmr", 2, 3, Reescribe, kAyudaResave});
const RegistroCli r4({"check", "[--v141] FICHERO.nmr", 1, 2, Comprueba, kAyudaCheck, true});

} // namespace
