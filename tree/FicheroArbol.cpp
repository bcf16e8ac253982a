#include "tree/FicheroArbol.h"

#include "analysis/Rollback.h"
#include "common/Cp1252.h"
#include "common/Decimal.h"
#include "common/EscrituraSegura.h"
#include "common/Redondeo.h"
#include "tree/Arbol.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

const char* const kVersionNemor = "2015";
const char* const kFiltroArbol = "Archivo Arbol Decision TORVA|*.nmr";

// ---------------------------------------------------------------------------
// The date line

std::string FechaHoraTexto(std::time_t t)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    if (tm.tm_hour == 0 && tm.tm_min == 0 && tm.tm_sec == 0)
        std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
    else
        std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", tm.tm_mday, tm.tm_mon + 1,
                      tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

namespace {
FormatoFechaHora g_formatoFecha = FechaHoraTexto;
} // namespace

void FijaFormatoFechaHora(FormatoFechaHora formato)
{
    g_formatoFecha = formato ? formato : FechaHoraTexto;
}

std::string FechaHoraDe(std::time_t t)
{
    return g_formatoFecha(t);
}

std::string FechaHoraActual()
{
    return FechaHoraDe(std::time(nullptr));
}

// ---------------------------------------------------------------------------
// Reals

std::string TextoRealFichero(double x)
{
    if (std::isnan(x))
        return std::string(20, ' ') + "Nan";
    if (std::isinf(x))
        return std::string(19, ' ') + (x > 0 ? "+Inf" : "-Inf");
    if (x == 0)
        return " 0.00000000000000E+0000";

    // The labels take |x| to 18 significant digits before they round; so does
    // the file, or one value could be written two ways. Then 15 digits, a 5 or
    // more in the sixteenth rounding away from zero.
    // (to_chars gives the digits printf's "%.17e" gives the labels, correctly
    // rounded both, in a fraction of the time.)
    char buf[64];
    const auto fin = std::to_chars(buf, buf + sizeof buf - 1, std::fabs(x), std::chars_format::scientific, 17).ptr;
    *fin = '\0';
    // buf: d.ddddddddddddddddde[+-]X..X
    std::string d(1, buf[0]);
    d.append(buf + 2, 17);
    int exponente = std::atoi(buf + 20);
    std::string m = d.substr(0, 15);
    if (d[15] >= '5') {
        int i = 14;
        while (i >= 0 && m[i] == '9')
            m[i--] = '0';
        if (i >= 0) {
            ++m[i];
        } else {
            m = "1" + m.substr(0, 14);
            ++exponente;
        }
    }
    std::string t;
    t.reserve(23);
    t += x < 0 ? '-' : ' ';
    t += m[0];
    t += '.';
    t += m.substr(1);
    t += 'E';
    t += exponente < 0 ? '-' : '+';
    const std::string e = std::to_string(std::abs(exponente));
    t += std::string(4 - e.size(), '0') + e;
    return t;
}

namespace {

bool IgualSinMayusculas(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

bool LeeRealFichero(std::string_view t, double& x)
{
    if (IgualSinMayusculas(t, "nan")) {
        x = std::nan("");
        return true;
    }
    if (IgualSinMayusculas(t, "+inf") || IgualSinMayusculas(t, "inf")) {
        x = HUGE_VAL;
        return true;
    }
    if (IgualSinMayusculas(t, "-inf")) {
        x = -HUGE_VAL;
        return true;
    }
    // Sign, digits, an optional fraction, an optional exponent: nothing else.
    if (t.empty())
        return false;
    size_t i = 0;
    const size_t n = t.size();
    const bool signo = i < n && (t[i] == '+' || t[i] == '-');
    if (signo)
        ++i;
    const size_t inicio = t[0] == '+' ? 1 : 0; // from_chars takes no "+"
    int digitos = 0;
    while (i < n && EsDigito(t[i]))
        ++i, ++digitos;
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && EsDigito(t[i]))
            ++i, ++digitos;
    }
    if (digitos == 0)
        return false;
    bool expNegativo = false;
    if (i < n && (t[i] == 'E' || t[i] == 'e')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            expNegativo = t[i++] == '-';
        int e = 0;
        while (i < n && EsDigito(t[i]))
            ++i, ++e;
        if (e == 0)
            return false;
    }
    if (i != n)
        return false;
    const char* ini = t.data() + inicio;
    const char* fin = t.data() + n;
    auto r = std::from_chars(ini, fin, x);
    if (r.ec == std::errc::result_out_of_range) {
        const bool negativo = t[0] == '-';
        if (expNegativo) {
            // Below the smallest real: zero, as the processor gives it.
            x = negativo ? -0.0 : 0.0;
            return true;
        }
        // The largest real, rounded to 15 digits, reads a hair above it.
        long double v;
        auto rl = std::from_chars(ini, fin, v);
        if (rl.ec == std::errc() && std::fabs(v) <= 1.79769313486232e308L) {
            x = negativo ? -DBL_MAX : DBL_MAX;
            return true;
        }
        return false;
    }
    return r.ec == std::errc() && r.ptr == fin;
}

// ---------------------------------------------------------------------------
// Reading

namespace {

// Reads the file's lines in sequence. Past the end, numbers read as 0 and
// texts as empty lines.
class Lector {
public:
    explicit Lector(std::string_view datos) : d_(datos) {}

    bool Fin() const { return p_ >= d_.size(); }

    // The whole line up to its end (CR LF, LF or a lone CR), in UTF-8.
    std::string Texto() { return Cp1252AUtf8(LineaCruda()); }

    // The same line as the file's bytes, for a caller that cuts it first: a
    // cut in UTF-8 could split a character.
    std::string_view TextoCrudo() { return LineaCruda(); }

    // The first character of the line; the rest of the line is dropped.
    char Caracter()
    {
        const std::string_view l = LineaCruda();
        return l.empty() ? '\0' : l[0];
    }

    // Blanks and line ends before the number are skipped; the number ends at
    // the first blank or control character; the rest of its line is dropped.
    int32_t Entero()
    {
        const std::string_view t = Token();
        if (t.empty())
            return 0;
        int32_t v;
        const std::string s(t);
        if (!TryStrToInt(s, v))
            throw ErrorEntero(s);
        return v;
    }

    // A line whose value nobody uses: any integer will do, however large
    // (older writers put colours there as unsigned numbers).
    void SaltaEntero()
    {
        const std::string s(Token());
        int32_t v;
        if (s.empty() || TryStrToInt(s, v))
            return;
        const size_t ini = (s[0] == '+' || s[0] == '-') ? 1 : 0;
        if (ini < s.size() && s.find_first_not_of("0123456789", ini) == std::string::npos)
            return;
        throw ErrorEntero(s);
    }

    double Real()
    {
        const std::string_view t = Token();
        if (t.empty())
            return 0;
        double v;
        if (t.size() > 64 || !LeeRealFichero(t, v))
            throw EConvertError("'" + Cp1252AUtf8(std::string(t.substr(0, 64))) +
                                "' is not a valid floating point value");
        return v;
    }

private:
    static EConvertError ErrorEntero(const std::string& cp1252)
    {
        return EConvertError("'" + Cp1252AUtf8(cp1252) + "' is not a valid integer value");
    }

    std::string_view LineaCruda()
    {
        if (Fin())
            return {};
        size_t q = p_;
        while (q < d_.size() && d_[q] != '\r' && d_[q] != '\n')
            ++q;
        const std::string_view l = d_.substr(p_, q - p_);
        p_ = q;
        SaltaFinDeLinea();
        return l;
    }

    void SaltaFinDeLinea()
    {
        if (p_ < d_.size() && d_[p_] == '\r')
            ++p_;
        if (p_ < d_.size() && d_[p_] == '\n')
            ++p_;
    }

    std::string_view Token()
    {
        while (p_ < d_.size() && static_cast<unsigned char>(d_[p_]) <= ' ')
            ++p_;
        const size_t ini = p_;
        while (p_ < d_.size() && static_cast<unsigned char>(d_[p_]) > ' ')
            ++p_;
        const std::string_view t = d_.substr(ini, p_ - ini);
        // The rest of the line goes.
        while (p_ < d_.size() && d_[p_] != '\r' && d_[p_] != '\n')
            ++p_;
        SaltaFinDeLinea();
        return t;
    }

    std::string_view d_;
    size_t p_ = 0;
};

[[noreturn]] void Danyado(const std::string& motivo)
{
    throw EFicheroArbol("El fichero de árbol está dañado: " + motivo);
}

std::string N(long v) { return std::to_string(v); }

} // namespace

ContenidoArbol AnalizaArbol(std::string_view bytes, bool leerVersion141)
{
    Lector f(bytes);
    ContenidoArbol c;

    const std::string_view primera = f.TextoCrudo();
    if (!primera.empty() && primera[0] == 'V') {
        // Cut in the file's bytes, then converted: the error quotes the text.
        const std::string version = Cp1252AUtf8(std::string(primera.substr(std::min<size_t>(2, primera.size()))));
        c.Version = StrToFloat(NormalizarDecimal(version));
        f.Texto(); // the path the file was written under
    }
    const bool sinComentarios = leerVersion141 && c.Version < 1.42;

    c.Fecha = f.Texto();
    for (int i = 0; i < 3; ++i)
        f.SaltaEntero(); // the shape colours of the program that wrote it

    c.UltimaPosicion = f.Entero();
    c.UltimoIndice = f.Entero();
    if (c.UltimaPosicion < 0 || c.UltimaPosicion > MaxNumeroNodo)
        Danyado("número de nodos " + N(c.UltimaPosicion + 1L) + " fuera de los límites");
    if (c.UltimoIndice < 0 || c.UltimoIndice > MaxNumeroNodo)
        Danyado("último número de nodo " + N(c.UltimoIndice) + " fuera de los límites");

    // Position in the file of each node number, -1 while not yet read.
    std::array<int, MaxNumeroNodo + 1> posicion;
    posicion.fill(-1);
    c.Nodos.reserve(static_cast<size_t>(c.UltimaPosicion) + 1);
    for (int i = 0; i <= c.UltimaPosicion; ++i) {
        if (f.Caracter() != '#')
            Danyado("falta la marca \"#\" del bloque " + N(i + 1));
        BloqueNodo b;
        const int32_t numero = f.Entero();
        const int32_t tipo = f.Entero();
        const int32_t padre = f.Entero();
        f.Entero(); // always 0
        if (numero < 0 || numero > MaxNumeroNodo)
            Danyado("número de nodo " + N(numero) + " fuera de los límites");
        if (i == 0 && numero != 0)
            Danyado("el primer bloque no es la raíz");
        if (i > 0 && posicion[numero] >= 0)
            Danyado("el nodo " + N(numero) + " aparece dos veces");
        if (tipo < NodoTerminal || tipo > NodoAzar)
            Danyado("tipo " + N(tipo) + " desconocido en el nodo " + N(numero));
        if (i == 0 && padre != 0)
            Danyado("la raíz tiene padre");
        if (i > 0 && (padre < 0 || padre > MaxNumeroNodo || posicion[padre] < 0))
            Danyado("el padre " + N(padre) + " del nodo " + N(numero) + " no está antes que él");
        if (numero > c.UltimoIndice)
            Danyado("el nodo " + N(numero) + " pasa del último número repartido " + N(c.UltimoIndice));
        posicion[numero] = i;
        b.Numero = static_cast<uint16_t>(numero);
        b.Tipo = static_cast<uint8_t>(tipo);
        b.Padre = static_cast<uint16_t>(padre);
        b.Ganancia = f.Real();
        b.FormulaGanancia = f.Texto();
        b.Probabilidad = f.Real();
        b.FormulaProbabilidad = f.Texto();
        b.Valor = f.Real();
        const int32_t hijos = f.Entero();
        if (hijos < 0 || hijos > MaxHijos)
            Danyado("el nodo " + N(numero) + " tiene " + N(hijos) + " ramas");
        // Every edit takes a terminal node for a leaf: a conversion or a
        // paste would leave such children out of the tree.
        if (tipo == NodoTerminal && hijos > 0)
            Danyado("el nodo " + N(numero) + " es terminal y tiene " + N(hijos) + (hijos == 1 ? " rama" : " ramas"));
        for (int h = 0; h < hijos; ++h) {
            const int32_t hijo = f.Entero();
            if (hijo < 1 || hijo > MaxNumeroNodo)
                Danyado("hijo " + N(hijo) + " del nodo " + N(numero) + " fuera de los límites");
            b.Hijos.push_back(static_cast<uint16_t>(hijo));
        }
        b.Calculado = f.Entero() != 0;
        b.Texto = f.Texto();
        const int32_t longitud = f.Entero();
        if (longitud < 0 || longitud > UINT16_MAX)
            Danyado("longitud de rama " + N(longitud) + " del nodo " + N(numero) + " fuera de los límites");
        b.LongitudRama = static_cast<uint16_t>(longitud);
        b.X = f.Entero();
        b.Y = f.Entero();
        if (b.X < -kLimitePosicion || b.X > kLimitePosicion || b.Y < -kLimitePosicion || b.Y > kLimitePosicion)
            Danyado("posición " + N(b.X) + ", " + N(b.Y) + " del nodo " + N(numero) + " fuera de los límites");
        b.Elegido = f.Entero() != 0;
        if (!sinComentarios)
            b.Comentario = f.Texto();
        c.Nodos.push_back(std::move(b));
    }

    // Every node but the root hangs from its parent exactly once, and every
    // child named has a block that names that parent.
    std::array<uint8_t, MaxNumeroNodo + 1> veces{};
    for (const BloqueNodo& b : c.Nodos) {
        for (uint16_t h : b.Hijos) {
            if (posicion[h] < 0)
                Danyado("el hijo " + N(h) + " del nodo " + N(b.Numero) + " no tiene bloque");
            if (c.Nodos[static_cast<size_t>(posicion[h])].Padre != b.Numero)
                Danyado("el nodo " + N(h) + " no es hijo del nodo " + N(b.Numero));
            if (++veces[h] > 1)
                Danyado("el nodo " + N(h) + " es hijo dos veces");
        }
    }
    for (size_t i = 1; i < c.Nodos.size(); ++i)
        if (veces[c.Nodos[i].Numero] == 0)
            Danyado("el nodo " + N(c.Nodos[i].Numero) + " falta entre los hijos de su padre");

    const std::string cuenta = f.Texto();
    const int32_t k = StrToInt(cuenta);
    if (k < 0)
        Danyado("número de líneas de variables negativo");
    for (int32_t i = 0; i < k; ++i) {
        // A file cut short in the variables gives empty lines, but a count
        // far beyond the end is damage, not a short file.
        if (f.Fin() && k - i > 1000)
            Danyado("faltan " + N(k - i) + " líneas de variables");
        c.Variables.push_back(f.Texto());
    }
    if (!f.Fin())
        c.DocumentoEditor = f.Texto();
    return c;
}

// ---------------------------------------------------------------------------
// Writing

std::string TextoArbol(const Arbol& a, const std::string& ruta, const std::string& fecha)
{
    std::string t;
    t.reserve(static_cast<size_t>(a.UltimaPosicion + 1) * 300 + 256);
    auto Linea = [&t](const std::string& s) {
        t += s;
        t += "\r\n";
    };
    // A line break inside a text (a path, a pasted name) would split its line
    // and shift every line after it: it is written as a blank.
    auto Texto = [&Linea](const std::string& utf8) {
        std::string t = Utf8ACp1252(utf8);
        std::replace(t.begin(), t.end(), '\r', ' ');
        std::replace(t.begin(), t.end(), '\n', ' ');
        Linea(t);
    };
    auto Entero = [&Linea](long v) { Linea(std::to_string(v)); };

    // Positions and lengths as they are at zoom factor 1. Rounding at a zoom
    // may carry a position a pixel past the limit the reader takes.
    const bool zoom = a.FactorZoom != 1.0;
    const double f = 1.0 / a.FactorZoom;
    auto Escala = [&](int32_t v) -> long {
        const int64_t x = zoom ? Round(v * f) : v;
        return static_cast<long>(std::clamp<int64_t>(x, -kLimitePosicion, kLimitePosicion));
    };

    Linea(std::string("V ") + kVersionNemor);
    Texto(ruta);
    Texto(fecha);
    // Colours as signed 32-bit numbers, as the settings file holds them.
    Entero(static_cast<int32_t>(a.ColorDecision));
    Entero(static_cast<int32_t>(a.ColorAzar));
    Entero(static_cast<int32_t>(a.ColorTerminal));
    Entero(a.UltimaPosicion);
    Entero(a.UltimoIndice);
    for (int p = 0; p <= a.UltimaPosicion; ++p) {
        const uint16_t numero = a.ListaOrden[p];
        const TNodo* n = a.Nodo(numero);
        if (!n)
            throw EFicheroArbol("El árbol no se puede guardar: el nodo " + N(numero) + " no existe.");
        Linea("#");
        Entero(numero);
        Entero(n->Tipo);
        Entero(n->Padre);
        Entero(n->Reservado);
        Linea(TextoRealFichero(n->Ganancia));
        Texto(n->FormulaGanancia);
        Linea(TextoRealFichero(n->Probabilidad));
        Texto(n->FormulaProbabilidad);
        Linea(TextoRealFichero(n->Valor));
        Entero(n->NumHijos());
        for (int h = 1; h <= n->NumHijos(); ++h)
            Entero(n->Hijo(h));
        Entero(n->Calculado ? 1 : 0);
        Texto(n->Texto);
        Entero(zoom ? static_cast<uint16_t>(Round(n->LongitudRama * f)) : n->LongitudRama);
        Entero(Escala(n->Figura.Left));
        Entero(Escala(n->Figura.Top));
        Entero(n->Elegido ? 1 : 0);
        Texto(n->Comentario);
    }
    Entero(static_cast<long>(a.Variables.size()));
    for (const auto& v : a.Variables)
        Texto(v);
    if (!a.DocumentoEditor.empty())
        Texto(a.DocumentoEditor);
    return t;
}

void EscribeArbol(const Arbol& arbol, const std::string& ruta)
{
    EscribeFicheroSeguro(ruta, TextoArbol(arbol, ruta, FechaHoraActual()));
}

// ---------------------------------------------------------------------------
// Loading into the tree

void CargaContenido(Arbol& a, const ContenidoArbol& c, const std::function<void(int)>& progreso)
{
    // The old tree goes, every node at once; sizes, zoom and colours stay as
    // the drawing has them.
    ++a.Generacion;
    for (auto& n : a.TablaNodos)
        n.reset();
    a.ListaOrden.fill(0);
    a.UltimaPosicion = 0;
    a.NodoCopiado = 0;
    // A file stores values without saying how they were computed: take them as expected values.
    a.ToleranciaValores = 0;
    // The file holds positions at zoom factor 1; a zoomed drawing shows them
    // zoomed, so that the next save writes back the same numbers.
    const bool zoom = a.FactorZoom != 1.0;
    const double f = a.FactorZoom;
    auto Escala = [&](int32_t v) { return zoom ? static_cast<int32_t>(Round(v * f)) : v; };
    try {
        a.UltimoIndice = c.UltimoIndice;
        for (size_t i = 0; i < c.Nodos.size(); ++i) {
            const BloqueNodo& b = c.Nodos[i];
            a.CrearNodo(b.Numero, b.Tipo, b.Padre);
            // The position counts only nodes actually built.
            a.ListaOrden[i] = b.Numero;
            a.UltimaPosicion = static_cast<int32_t>(i);
            TNodo& n = *a.Nodo(b.Numero);
            n.Ganancia = b.Ganancia;
            n.FormulaGanancia = b.FormulaGanancia;
            n.Probabilidad = b.Probabilidad;
            n.FormulaProbabilidad = b.FormulaProbabilidad;
            n.Valor = b.Valor;
            n.Hijos.fill(0);
            n.Hijos[0] = static_cast<uint16_t>(b.Hijos.size());
            for (size_t h = 0; h < b.Hijos.size(); ++h)
                n.Hijos[h + 1] = b.Hijos[h];
            n.Calculado = b.Calculado;
            n.Texto = b.Texto;
            n.EtiquetaTexto.Caption = b.Texto;
            n.LongitudRama = zoom ? static_cast<uint16_t>(Round(b.LongitudRama * f)) : b.LongitudRama;
            a.SituarNodo(b.Numero, Escala(b.X), Escala(b.Y));
            n.Elegido = b.Elegido;
            n.Comentario = b.Comentario;
            n.MarcaVisible = !b.Comentario.empty();
            if (progreso)
                progreso(static_cast<int>(i));
        }
        a.Variables = c.Variables;
        // A file without the document line links no document: keeping the
        // previous tree's link would tie that document to this tree.
        a.DocumentoEditor = c.DocumentoEditor.value_or(std::string());
        RefrescaEtiquetas(a);
        a.Guardado = a.Modificaciones;
    } catch (...) {
        a.NuevoArbolVacio();
        a.Variables.clear();
        throw;
    }
}
