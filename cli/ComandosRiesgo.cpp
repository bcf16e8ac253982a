// nemor-cli profile, tornado and spider: the risk profile of a node and the
// sensitivity of the root to every input, without windows.
#include "analysis/PerfilRiesgo.h"
#include "analysis/Rollback.h"
#include "analysis/Tornado.h"
#include "cli/Cli.h"
#include "cli/Json.h"
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

// Under exponential utility the values are certainty equivalents: the document says so with R.
void Tolerancia(EscritorJson& j, const Arbol& arbol)
{
    if (arbol.ToleranciaValores > 0)
        j.Campo("toleranciaRiesgo", arbol.ToleranciaValores);
}

// The fields of a profile, inside an open object, in the order of its text.
void CamposPerfil(EscritorJson& j, const PerfilRiesgo& p)
{
    j.Clave("resultados");
    j.AbreLista();
    for (const ResultadoPerfil& r : p.Resultados) {
        j.AbreObjeto();
        j.Campo("valor", r.Valor);
        j.Campo("probabilidad", r.Probabilidad);
        j.Campo("acumulada", r.Acumulada);
        j.Cierra();
    }
    j.Cierra();
    j.Campo("media", p.Media);
    j.Campo("desviacionTipica", p.DesviacionTipica);
    j.Campo("minimo", p.Minimo);
    j.Campo("maximo", p.Maximo);
    j.Campo("probabilidadPerdida", p.ProbabilidadPerdida);
    if (p.ConEquivalente)
        j.Campo("equivalenteCierto", p.EquivalenteCierto);
}

void CamposFallidas(EscritorJson& j, const std::vector<EntradaFallida>& fallidas)
{
    j.Clave("fallidas");
    j.AbreLista();
    for (const EntradaFallida& f : fallidas) {
        j.AbreObjeto();
        j.Campo("nombre", f.Nombre);
        j.Campo("entrada", f.Entrada);
        j.Campo("mensaje", f.Mensaje);
        j.Cierra();
    }
    j.Cierra();
}

int Perfil(const std::vector<std::string>& args, std::ostream& out)
{
    const Argumentos a = Lee(args, true, false, false);
    if (a.posicionales.empty() || a.posicionales.size() > 2)
        throw UsoIncorrecto{};
    ArbolResuelto r(a.posicionales[0], a.tolerancia);
    const int nodo = a.posicionales.size() == 2 ? StrToInt(a.posicionales[1]) : 0;
    if (SalidaJson()) {
        // Everything is computed before the document starts, so an error leaves standard output empty.
        PerfilRiesgo perfil;
        std::vector<PerfilAlternativa> alternativas;
        if (a.alternativas)
            alternativas = PerfilesAlternativas(r.arbol, nodo);
        else
            perfil = CalculaPerfilRiesgo(r.arbol, nodo);
        EscritorJson j(out);
        j.AbreObjeto();
        j.Campo("fichero", a.posicionales[0]);
        j.Campo("nodo", nodo);
        Tolerancia(j, r.arbol);
        if (!a.alternativas) {
            CamposPerfil(j, perfil);
        } else {
            j.Clave("alternativas");
            j.AbreLista();
            for (const PerfilAlternativa& p : alternativas) {
                j.AbreObjeto();
                j.Campo("rama", p.Rama);
                j.Campo("nodo", p.Nodo);
                j.Campo("texto", p.Texto);
                j.Campo("elegida", p.Elegida);
                CamposPerfil(j, p.Perfil);
                j.Cierra();
            }
            j.Cierra();
        }
        j.Cierra();
        return 0;
    }
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
    if (!SalidaJson()) {
        Escribe(out, LineasTornado(t));
        Fallidas(t.Fallidas);
        return 0;
    }
    EscritorJson j(out);
    j.AbreObjeto();
    j.Campo("fichero", a.posicionales[0]);
    j.Campo("porcentaje", t.Porcentaje);
    Tolerancia(j, r.arbol);
    j.Campo("base", t.Base);
    j.Clave("entradas");
    j.AbreLista();
    for (const BarraTornado& b : t.Barras) {
        j.AbreObjeto();
        j.Campo("nombre", b.Nombre);
        j.Campo("valor", b.Valor);
        j.Campo("bajo", b.Bajo);
        j.Campo("alto", b.Alto);
        j.Campo("raizBajo", b.RaizBajo);
        j.Campo("raizAlto", b.RaizAlto);
        j.Campo("amplitud", b.Amplitud);
        j.Campo("cambiaBajo", b.CambiaBajo);
        j.Campo("cambiaAlto", b.CambiaAlto);
        j.Cierra();
    }
    j.Cierra();
    CamposFallidas(j, t.Fallidas);
    j.Cierra();
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
    if (!SalidaJson()) {
        Escribe(out, LineasArana(t));
        Fallidas(t.Fallidas);
        return 0;
    }
    EscritorJson j(out);
    j.AbreObjeto();
    j.Campo("fichero", a.posicionales[0]);
    j.Campo("porcentaje", t.Porcentaje);
    j.Campo("pasos", t.Pasos);
    Tolerancia(j, r.arbol);
    j.Campo("base", t.Base);
    j.Clave("entradas");
    j.AbreLista();
    for (const SerieArana& s : t.Series) {
        j.AbreObjeto();
        j.Campo("nombre", s.Entrada.Nombre);
        j.Campo("valor", s.Entrada.Valor);
        j.Clave("puntos");
        j.AbreLista();
        for (const PuntoArana& q : s.Puntos) {
            j.AbreObjeto();
            j.Campo("porcentaje", q.Porcentaje);
            j.Campo("entrada", q.Entrada);
            j.Campo("valor", q.Raiz);
            j.Campo("cambiaEleccion", q.CambiaEleccion);
            j.Cierra();
        }
        j.Cierra();
        j.Cierra();
    }
    j.Cierra();
    CamposFallidas(j, t.Fallidas);
    j.Cierra();
    Fallidas(t.Fallidas);
    return 0;
}

const char* const kAyudaProfile =
    "Imprime el perfil de riesgo de un nodo del árbol resuelto.\n"
    "\n"
    "Resuelve el árbol como «solve» y lo recorre desde el nodo NODO (0, la raíz, si\n"
    "no se indica): en cada nodo de decisión sigue la alternativa elegida y en cada\n"
    "nodo de azar todas sus ramas. Cada hoja a la que se llega es un resultado\n"
    "posible: vale la suma de las ganancias del camino desde NODO (más el valor de\n"
    "la hoja si no es terminal) y su probabilidad es la del camino. Las ramas de\n"
    "probabilidad 0 no dan ningún resultado.\n"
    "\n"
    "Salida de texto: una línea por resultado, de menor a mayor valor, con tres\n"
    "campos separados por tabuladores: valor, probabilidad y probabilidad\n"
    "acumulada (dos resultados que se escriben igual son uno). Después, «media»,\n"
    "«desviación típica», «mínimo», «máximo» y «probabilidad de pérdida» (de un\n"
    "valor menor que 0), cada una con un tabulador y su valor (15 cifras).\n"
    "\n"
    "--alternatives (solo en un nodo de decisión) da un bloque así por cada rama,\n"
    "como si fuera la elegida y con su ganancia, tras una línea «rama N», un\n"
    "tabulador y el texto de la rama.\n"
    "\n"
    "--risk-tolerance=R resuelve con utilidad exponencial (véase «solve --help») y\n"
    "termina cada bloque con «equivalente cierto» y su valor.\n"
    "\n"
    "Con --json: un objeto con «fichero», «nodo», «resultados» (una lista de\n"
    "objetos con «valor», «probabilidad» y «acumulada»), «media»,\n"
    "«desviacionTipica», «minimo», «maximo» y «probabilidadPerdida». Con\n"
    "--alternatives, en lugar de resultados y estadísticas, «alternativas»: una\n"
    "lista de objetos con «rama», «nodo», «texto», «elegida» y los mismos campos.\n"
    "Con --risk-tolerance, además «toleranciaRiesgo» (R) y, donde el texto lo\n"
    "escribe, «equivalenteCierto».\n";

const char* const kAyudaTornado =
    "Diagrama de tornado: qué entradas mueven más el valor de la raíz.\n"
    "\n"
    "Las entradas son las líneas de la lista de variables cuyo lado derecho es un\n"
    "número distinto de 0 (no las que escribe la revisión bayesiana). Cada una se\n"
    "lleva, de una en una, a -P % y a +P % de su valor (P = 10 si no se da --pct)\n"
    "y el árbol se resuelve como en un paso de «Variaciones ...»: si una rama la\n"
    "usa como probabilidad, sus ramas hermanas se reparten el resto y la entrada\n"
    "no sale de 0..1; si no, las fórmulas que la usan la siguen. La lista de\n"
    "variables del fichero no cambia.\n"
    "\n"
    "Salida de texto: una línea por entrada, de mayor a menor amplitud (a igual\n"
    "amplitud, en el orden de la lista), con siete campos separados por\n"
    "tabuladores: nombre, entrada a -P %, entrada a +P %, raíz a -P %, raíz a\n"
    "+P %, amplitud (la diferencia entre los dos valores de la raíz) y «*» si la\n"
    "alternativa elegida en la raíz cambia en alguno de los dos extremos (si no,\n"
    "«-»). Una entrada con la que el árbol no se puede resolver se omite y se\n"
    "nombra en la salida de errores.\n"
    "\n"
    "--risk-tolerance=R resuelve con utilidad exponencial (véase «solve --help»):\n"
    "los valores de la raíz son equivalentes ciertos.\n"
    "\n"
    "Con --json: un objeto con «fichero», «porcentaje», «base» (el valor de la raíz\n"
    "con cada entrada en el suyo), «entradas» y «fallidas». Cada entrada lleva\n"
    "«nombre», «valor», «bajo», «alto», «raizBajo», «raizAlto», «amplitud»,\n"
    "«cambiaBajo» y «cambiaAlto»; cada fallida, «nombre», «entrada» (el valor que\n"
    "falló) y «mensaje». Con --risk-tolerance, además «toleranciaRiesgo» (R).\n";

const char* const kAyudaSpider =
    "Diagrama de araña: el valor de la raíz según cambia cada entrada.\n"
    "\n"
    "Las mismas entradas que «tornado», movidas de la misma manera, pero cada una\n"
    "toma N + 1 valores (N = 10 si no se da --steps) repartidos por igual entre\n"
    "-P % y +P % de su valor (P = 10 si no se da --pct). La lista de variables\n"
    "del fichero no cambia.\n"
    "\n"
    "Salida de texto: para cada entrada, en el orden de la lista, una línea por\n"
    "punto con tres campos separados por tabuladores: nombre, cambio en % y valor\n"
    "de la raíz (15 cifras). Una entrada con la que el árbol no se puede resolver\n"
    "se omite y se nombra en la salida de errores.\n"
    "\n"
    "--risk-tolerance=R resuelve con utilidad exponencial (véase «solve --help»):\n"
    "los valores de la raíz son equivalentes ciertos.\n"
    "\n"
    "Con --json: un objeto con «fichero», «porcentaje», «pasos», «base»,\n"
    "«entradas» y «fallidas» (como en «tornado»). Cada entrada lleva «nombre»,\n"
    "«valor» y «puntos», una lista de objetos con «porcentaje», «entrada» (su\n"
    "valor en ese punto), «valor» (el de la raíz) y «cambiaEleccion». Con\n"
    "--risk-tolerance, además «toleranciaRiesgo» (R).\n";

const RegistroCli r1({"profile", "FICHERO.nmr [NODO] [--alternatives] [--risk-tolerance=R]", 1, 4, Perfil,
                      kAyudaProfile, true});
const RegistroCli r2({"tornado", "FICHERO.nmr [--pct P] [--risk-tolerance=R]", 1, 4, Tornado, kAyudaTornado, true});
const RegistroCli r3({"spider", "FICHERO.nmr [--pct P] [--steps N] [--risk-tolerance=R]", 1, 6, Arana, kAyudaSpider,
                      true});

} // namespace
