#include "variables/Variables.h"

#include "common/Decimal.h"
#include "drawing/FormatoEtiqueta.h"
#include "tree/Arbol.h"
#include "variables/Sustitucion.h"

#include <algorithm>
#include <unordered_map>

namespace {

// A list needs as many passes as one name occurs in its fully expanded
// formula; hundreds of lines nested a few levels deep stay far below these,
// and so does a line naming another one hundreds of times. A line that
// refers to itself grows by its own formula on every pass.
constexpr int kPasadasMaximas = 10000;
constexpr size_t kLongitudMaxima = 1000000;

std::string Mayusculas(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The first definition line called nombre, or nullptr.
const std::string* LineaDeVariable(const Arbol& arbol, const std::string& nombre)
{
    if (nombre.empty())
        return nullptr; // a blank name part defines nothing
    for (const std::string& l : arbol.Variables)
        if (EsDefinicion(l) && NombreDeLinea(l) == nombre)
            return &l;
    return nullptr;
}

// The first suspect whose name comes back into its own expansion: name j
// follows name i when the formula of i contains j.
size_t BuscaCiclo(const Arbol& arbol, const std::vector<size_t>& sospechosos)
{
    const auto& nombres = arbol.NombresVariables;
    const auto& defs = arbol.DefinicionesVariables;
    const size_t total = std::min(nombres.size(), defs.size());
    std::vector<std::vector<size_t>> siguientes(total);
    for (size_t i = 0; i < total; ++i)
        for (size_t j = 0; j < total; ++j)
            if (!nombres[j].empty() && defs[i].find(nombres[j]) != std::string::npos)
                siguientes[i].push_back(j);
    for (size_t i : sospechosos) {
        std::vector<char> visto(total, 0);
        std::vector<size_t> pila{i};
        while (!pila.empty()) {
            const size_t k = pila.back();
            pila.pop_back();
            for (size_t j : siguientes[k]) {
                if (j == i)
                    return i;
                if (!visto[j]) {
                    visto[j] = 1;
                    pila.push_back(j);
                }
            }
        }
    }
    return std::string::npos;
}

// A line as an error message quotes it: a line that expands past the bounds
// may itself be thousands of characters long, too long for a message box.
std::string Cita(const std::string& linea)
{
    constexpr size_t kMaximo = 80;
    if (linea.size() <= kMaximo)
        return "«" + linea + "»";
    size_t corte = kMaximo;
    while (corte > 0 && (static_cast<unsigned char>(linea[corte]) & 0xC0) == 0x80)
        --corte; // not inside a UTF-8 character
    return "«" + linea.substr(0, corte) + "…»";
}

// The text of r never settled. A line that comes back into its own
// expansion is to blame when there is one; otherwise the expansion only
// outgrew the bounds.
[[noreturn]] void LanzaCiclica(const Arbol& arbol, const ResultadoSustitucion& r, size_t largoInicial,
                               const std::string& linea)
{
    const size_t culpable = BuscaCiclo(arbol, r.ultimos);
    if (culpable == std::string::npos) {
        const std::string formula = linea.empty() ? std::string("Una fórmula") : "La fórmula de " + Cita(linea);
        switch (r.tope) {
        case ResultadoSustitucion::Tope::Longitud:
            throw EVariableCiclica(formula + " es demasiado larga: al sustituir sus variables pasa de " +
                                   std::to_string(kLongitudMaxima) + " caracteres");
        case ResultadoSustitucion::Tope::Pasadas:
            throw EVariableCiclica(formula + " es demasiado larga: sustituir sus variables necesita más de " +
                                   std::to_string(kPasadasMaximas) + " pasadas por la lista");
        default:
            // Names that only appear where two replacements meet can loop
            // without any line containing a name that leads back to it.
            throw EVariableCiclica(formula + " no se puede calcular: al sustituir sus variables vuelve una y otra "
                                             "vez al mismo texto");
        }
    }
    const std::string& nombre = arbol.NombresVariables[culpable];
    const std::string* l = LineaDeVariable(arbol, nombre);
    const std::string texto = l ? *l : nombre + " = " + arbol.DefinicionesVariables[culpable];
    std::string mensaje;
    if (!linea.empty() && linea != texto)
        mensaje = "No se puede calcular " + Cita(linea) + ": l";
    else
        mensaje = "L";
    mensaje += "a línea " + Cita(texto) + " se refiere a sí misma, directamente o a través de otras líneas, y ";
    // «A = B», «B = A» stands still rather than growing.
    mensaje += r.texto.size() > largoInicial ? "crece sin fin al sustituir sus variables"
                                             : "sus variables no se pueden sustituir";
    throw EVariableCiclica(mensaje);
}

// Key that sorts alphabetically ignoring case and the accents of Spanish
// letters; "ñ" goes after "n".
std::string ClaveOrden(const std::string& s)
{
    std::string k;
    k.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            k += static_cast<char>(c - 'A' + 'a');
            continue;
        }
        if (c == 0xC3 && i + 1 < s.size()) {
            const unsigned char d = static_cast<unsigned char>(s[i + 1]) | 0x20; // upper to lower in Latin-1
            const char* base = nullptr;
            switch (d) {
            case 0xA0: case 0xA1: case 0xA2: case 0xA4: base = "a"; break;
            case 0xA8: case 0xA9: case 0xAA: case 0xAB: base = "e"; break;
            case 0xAC: case 0xAD: case 0xAE: case 0xAF: base = "i"; break;
            case 0xB2: case 0xB3: case 0xB4: case 0xB6: base = "o"; break;
            case 0xB9: case 0xBA: case 0xBB: case 0xBC: base = "u"; break;
            case 0xB1: base = "n~"; break;
            case 0xA7: base = "c"; break;
            default: break;
            }
            if (base) {
                k += base;
                ++i;
                continue;
            }
        }
        k += static_cast<char>(c);
    }
    return k;
}

// What one recomputation prepares once: the list is not changed while the
// nodes are refreshed, so every line is looked up and evaluated only once.
struct Contexto {
    explicit Contexto(const Arbol& a) : sustituidor(a.NombresVariables, a.DefinicionesVariables)
    {
        for (const std::string& l : a.Variables)
            if (EsDefinicion(l) && !NombreDeLinea(l).empty())
                lineas.emplace(NombreDeLinea(l), &l); // keeps the first line of each name
    }
    Sustituidor sustituidor;
    std::unordered_map<std::string, const std::string*> lineas;
    std::unordered_map<std::string, std::pair<bool, double>> valores;
};

std::string Sustituye(const Arbol& arbol, const Sustituidor& s, const std::string& texto, const std::string& linea)
{
    ResultadoSustitucion r = s.Sustituye(texto, kPasadasMaximas, kLongitudMaxima);
    if (r.ciclica)
        LanzaCiclica(arbol, r, texto.size(), linea);
    return std::move(r.texto);
}

bool ValorEnContexto(const Arbol& arbol, const std::string& nombre, double& valor, Contexto& c)
{
    auto it = c.valores.find(nombre);
    if (it != c.valores.end()) {
        valor = it->second.second;
        return it->second.first;
    }
    valor = 0;
    auto l = c.lineas.find(nombre);
    const bool hay = l != c.lineas.end();
    if (hay)
        valor = EvaluaFormula(Sustituye(arbol, c.sustituidor, DefinicionDeLinea(*l->second), *l->second));
    c.valores.emplace(nombre, std::make_pair(hay, valor));
    return hay;
}

void ActualizaNodoEn(Arbol& arbol, TNodo& n, Contexto& c)
{
    double v = 0;
    if (!n.FormulaGanancia.empty()) {
        if (ValorEnContexto(arbol, n.FormulaGanancia, v, c))
            n.Ganancia = v;
        else {
            n.FormulaGanancia.clear();
            n.Ganancia = 0;
        }
    }
    if (!n.FormulaProbabilidad.empty()) {
        if (ValorEnContexto(arbol, n.FormulaProbabilidad, v, c))
            n.Probabilidad = v;
        else {
            n.FormulaProbabilidad.clear();
            n.Probabilidad = 0;
        }
    }
}

} // namespace

std::string NombreDeLinea(const std::string& linea)
{
    const size_t igual = linea.find('=');
    if (igual == std::string::npos)
        return {};
    std::string nombre = linea.substr(0, igual);
    if (!nombre.empty() && nombre.back() == ' ')
        nombre = nombre.substr(0, nombre.find(' '));
    return nombre;
}

std::string DefinicionDeLinea(const std::string& linea)
{
    const size_t igual = linea.find('=');
    const size_t desde = igual == std::string::npos ? 0 : igual + 1;
    const size_t primero = linea.find_first_not_of(' ', desde);
    return primero == std::string::npos ? std::string() : linea.substr(primero);
}

bool EsComentario(const std::string& linea) { return !linea.empty() && linea[0] == '!'; }

bool EsLineaBayes(const std::string& linea) { return Mayusculas(linea).find("BAYES") != std::string::npos; }

bool EsDefinicion(const std::string& linea)
{
    return !linea.empty() && !EsComentario(linea) && linea.find('=') != std::string::npos;
}

std::string SustituyeVariables(const Arbol& arbol, const std::string& texto, const std::string& linea)
{
    return Sustituye(arbol, Sustituidor(arbol.NombresVariables, arbol.DefinicionesVariables), texto, linea);
}

double EvaluaLinea(const Arbol& arbol, const std::string& linea)
{
    return EvaluaFormula(SustituyeVariables(arbol, DefinicionDeLinea(linea), linea));
}

void CargaVariables(Arbol& arbol)
{
    arbol.NombresVariables.clear();
    arbol.DefinicionesVariables.clear();
    for (const std::string& l : arbol.Variables) {
        if (!EsDefinicion(l))
            continue;
        arbol.NombresVariables.push_back(NombreDeLinea(l));
        arbol.DefinicionesVariables.push_back(DefinicionDeLinea(l));
    }
}

bool ValorDeVariable(const Arbol& arbol, const std::string& nombre, double& valor)
{
    valor = 0;
    const std::string* l = LineaDeVariable(arbol, nombre);
    if (!l)
        return false;
    valor = EvaluaLinea(arbol, *l);
    return true;
}

void ActualizaNodo(Arbol& arbol, uint16_t indice)
{
    if (TNodo* n = arbol.Nodo(indice)) {
        Contexto c(arbol);
        ActualizaNodoEn(arbol, *n, c);
    }
}

std::string TextoEtiquetaRama(const Arbol& arbol, const std::string& formula, double valor)
{
    if (arbol.VerVariables && !formula.empty())
        return formula;
    return FormatoEtiqueta(valor, arbol.opciones.DigitosEtiquetas(), arbol.opciones.PrecisionEtiquetas());
}

void RecalculaFormulas(Arbol& arbol)
{
    NormalizaSeparadores(arbol);
    CargaVariables(arbol);
    Contexto contexto(arbol);
    for (int p = 0; p <= arbol.UltimaPosicion; ++p) {
        TNodo* n = arbol.Nodo(arbol.ListaOrden[p]);
        if (!n)
            continue;
        for (Etiqueta* e : {&n->EtiquetaTexto, &n->EtiquetaProbabilidad, &n->EtiquetaGanancia, &n->EtiquetaValor})
            e->Fuente = arbol.opciones.FontComboBox1;
        ActualizaNodoEn(arbol, *n, contexto);
        n->EtiquetaGanancia.Caption = TextoEtiquetaRama(arbol, n->FormulaGanancia, n->Ganancia);
        n->EtiquetaProbabilidad.Caption = TextoEtiquetaRama(arbol, n->FormulaProbabilidad, n->Probabilidad);
    }
}

void NormalizaSeparadores(Arbol& arbol)
{
    const char sep = SeparadorDecimal();
    const char otro = sep == '.' ? ',' : '.';
    for (std::string& l : arbol.Variables)
        if (EsDefinicion(l))
            std::replace(l.begin(), l.end(), otro, sep);
}

bool FijaValorVariable(Arbol& arbol, const std::string& nombre, const std::string& valorTexto)
{
    // An empty name would match the first line and overwrite it.
    if (nombre.empty())
        return false;
    for (std::string& l : arbol.Variables) {
        if (l.find(nombre) == std::string::npos)
            continue;
        const size_t igual = l.find('=');
        const std::string cabeza = igual == std::string::npos ? std::string() : l.substr(0, igual + 1);
        l = cabeza + " " + valorTexto;
        return true;
    }
    return false;
}

bool OrdenAlfabetico(const std::string& a, const std::string& b)
{
    const std::string ka = ClaveOrden(a), kb = ClaveOrden(b);
    return ka != kb ? ka < kb : a < b;
}

std::vector<std::string> ListaSeleccionVariables(const Arbol& arbol)
{
    std::vector<std::string> lista;
    for (const std::string& l : arbol.Variables)
        if (!l.empty() && !EsComentario(l) && !EsLineaBayes(l))
            lista.push_back(l);
    if (arbol.opciones.CheckBoxListaVarOrdenada)
        std::stable_sort(lista.begin(), lista.end(), OrdenAlfabetico);
    return lista;
}

bool EsVariable(const Arbol& arbol, const std::string& texto)
{
    if (texto.empty() || EsComentario(texto) || EsLineaBayes(texto))
        return false;
    return std::find(arbol.Variables.begin(), arbol.Variables.end(), texto) != arbol.Variables.end();
}

bool EsVariableVariacion(const Arbol& arbol, const std::string& texto) { return EsVariable(arbol, texto); }

std::vector<std::string> LineasDeTexto(const std::string& texto)
{
    std::vector<std::string> lineas;
    size_t desde = 0;
    while (desde < texto.size()) {
        size_t fin = texto.find('\n', desde);
        if (fin == std::string::npos)
            fin = texto.size();
        size_t corte = fin;
        if (corte > desde && texto[corte - 1] == '\r')
            --corte;
        lineas.push_back(texto.substr(desde, corte - desde));
        desde = fin + 1;
    }
    return lineas;
}

std::string TextoDeLineas(const std::vector<std::string>& lineas)
{
    std::string texto;
    for (size_t i = 0; i < lineas.size(); ++i) {
        if (i > 0)
            texto += '\n';
        texto += lineas[i];
    }
    return texto;
}
