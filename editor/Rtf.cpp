#include "editor/Rtf.h"

#include "common/Cp1252.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <map>
#include <unordered_set>

namespace {

// Values outside these bounds come only from damaged or hostile files.
constexpr int32_t kSangriaMax = 31680 * 4; // 88 inches in twips
constexpr int32_t kMediosPuntosMax = 3276; // 1638 points
constexpr size_t kProfundidadMax = 4096;   // deeper groups are read as skipped


// Decodes one UTF-8 sequence at s[i]; advances i. Invalid bytes give U+FFFD.
char32_t SiguienteUtf8(std::string_view s, size_t& i, bool& valido)
{
    const auto b = static_cast<unsigned char>(s[i]);
    valido = true;
    if (b < 0x80) {
        ++i;
        return b;
    }
    int n = 0;
    char32_t c = 0;
    char32_t minimo = 0;
    if ((b & 0xE0) == 0xC0) {
        n = 1, c = b & 0x1F, minimo = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        n = 2, c = b & 0x0F, minimo = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        n = 3, c = b & 0x07, minimo = 0x10000;
    } else {
        ++i;
        valido = false;
        return 0xFFFD;
    }
    if (i + n >= s.size()) {
        ++i;
        valido = false;
        return 0xFFFD;
    }
    for (int k = 1; k <= n; ++k) {
        const auto cb = static_cast<unsigned char>(s[i + k]);
        if ((cb & 0xC0) != 0x80) {
            ++i;
            valido = false;
            return 0xFFFD;
        }
        c = (c << 6) | (cb & 0x3F);
    }
    if (c < minimo || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        valido = false;
        return 0xFFFD;
    }
    i += n + 1;
    return c;
}

bool EsUtf8Valido(std::string_view s)
{
    size_t i = 0;
    bool valido = true;
    while (i < s.size()) {
        SiguienteUtf8(s, i, valido);
        if (!valido)
            return false;
    }
    return true;
}

// What the text of a paragraph may hold: not control characters, nor the
// code points the text control keeps for itself.
bool Admitido(char32_t c)
{
    return (c >= 0x20 || c == U'\t') && c != 0x7F && c != 0x2029 && c != 0xFFFC && c != 0xFDD0 && c != 0xFDD1;
}

std::string ByteAUtf8(unsigned char b) { return Cp1252AUtf8(std::string(1, static_cast<char>(b))); }

// ---------------------------------------------------------------------------
// Reader

enum class Destino : uint8_t { Cuerpo, Ignorar, TablaFuentes, TablaColores, Vinyeta };

struct Estado {
    int32_t fuente = -1; // font number; -1: the default font
    int32_t mediosPuntos = 24;
    bool negrita = false, cursiva = false, subrayado = false;
    int32_t color = 0; // colour table index; 0: automatic
    Alineacion alin = Alineacion::Izquierda;
    int32_t primera = 0, izquierda = 0, derecha = 0;
    bool vinyeta = false;
    int32_t uc = 1;
    Destino destino = Destino::Cuerpo;
    size_t dueno = 0; // for Destino::Vinyeta: the group whose paragraph takes the bullet
};

int32_t Acota(int64_t v, int32_t lo, int32_t hi) { return static_cast<int32_t>(std::clamp<int64_t>(v, lo, hi)); }

class Lector {
public:
    explicit Lector(std::string_view b) : s_(b) {}

    DocumentoRtf Leer()
    {
        pila_.emplace_back();
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == '{') {
                ++i_;
                saltar_ = 0;
                asterisco_ = false;
                if (pila_.size() > kProfundidadMax) {
                    ++sobrantes_;
                    continue;
                }
                Estado e = pila_.back();
                if (pila_.size() == kProfundidadMax)
                    e.destino = Destino::Ignorar;
                pila_.push_back(e);
                continue;
            }
            if (c == '}') {
                ++i_;
                saltar_ = 0;
                CierraGrupo();
                continue;
            }
            if (c == '\\') {
                ++i_;
                ControlOSimbolo();
                continue;
            }
            ++i_;
            if (c == '\r' || c == '\n')
                continue;
            if (c == '\t') {
                Caracter(U'\t');
                continue;
            }
            Byte(static_cast<unsigned char>(c));
        }
        // What a truncated file left open still counts.
        if (!actual_.Tramos.empty())
            Termina(ultimoParrafo_);
        if (doc_.Parrafos.empty())
            doc_.Parrafos.emplace_back();
        return std::move(doc_);
    }

private:
    std::string_view s_;
    size_t i_ = 0;
    std::vector<Estado> pila_;
    DocumentoRtf doc_;
    Parrafo actual_;
    Estado ultimoParrafo_; // paragraph properties in force when text was last added
    std::map<int32_t, std::string> fuentes_;
    std::vector<int32_t> colores_;
    int32_t fuenteDefecto_ = 0;
    // Font table entry being read.
    int32_t fuenteLeida_ = 0;
    std::string nombreFuente_;
    // Colour table entry being read.
    int32_t rojo_ = 0, verde_ = 0, azul_ = 0;
    bool colorTocado_ = false;
    // Fallback characters still to drop after \uN.
    int32_t saltar_ = 0;
    char16_t altoPendiente_ = 0;
    bool asterisco_ = false;
    FormatoTexto formatoCache_;
    Estado claveCache_;
    bool cacheValido_ = false;
    // Groups opened beyond the depth limit; the state at the limit ignores everything.
    size_t sobrantes_ = 0;

    Estado& E() { return pila_.back(); }

    void CierraGrupo()
    {
        asterisco_ = false;
        if (sobrantes_ > 0) {
            --sobrantes_;
            return;
        }
        if (E().destino == Destino::TablaFuentes && !nombreFuente_.empty())
            GuardaFuente();
        if (pila_.size() > 1)
            pila_.pop_back();
        asterisco_ = false;
    }

    void GuardaFuente()
    {
        std::string n = nombreFuente_;
        while (!n.empty() && n.back() == ' ')
            n.pop_back();
        size_t k = 0;
        while (k < n.size() && n[k] == ' ')
            ++k;
        n.erase(0, k);
        fuentes_[fuenteLeida_] = n;
        nombreFuente_.clear();
        cacheValido_ = false;
    }

    // A character of the current destination, already decoded.
    void Caracter(char32_t c)
    {
        if (saltar_ > 0) {
            --saltar_;
            return;
        }
        altoPendiente_ = 0;
        Texto(c);
    }

    void Texto(char32_t c)
    {
        switch (E().destino) {
        case Destino::Cuerpo:
            break;
        case Destino::TablaFuentes:
            if (c == U';')
                GuardaFuente();
            else if (c != U'\t' && Admitido(c) && nombreFuente_.size() < 256)
                AnyadeUtf8(nombreFuente_, c);
            return;
        case Destino::TablaColores:
            if (c == U';') {
                colores_.push_back(colorTocado_ ? (rojo_ | (verde_ << 8) | (azul_ << 16)) : -1);
                cacheValido_ = false;
                rojo_ = verde_ = azul_ = 0;
                colorTocado_ = false;
            }
            return;
        default:
            return;
        }
        if (c == 0x2029) {
            FinParrafo();
            return;
        }
        if (!Admitido(c))
            return;
        const FormatoTexto& f = FormatoActual();
        if (actual_.Tramos.empty() || !(actual_.Tramos.back().Formato == f))
            actual_.Tramos.push_back({std::string(), f});
        AnyadeUtf8(actual_.Tramos.back().Texto, c);
        ultimoParrafo_ = E();
    }

    void Byte(unsigned char b)
    {
        if (b < 0x80) {
            Caracter(b);
            return;
        }
        const std::string u = ByteAUtf8(b);
        size_t k = 0;
        bool valido = true;
        Caracter(SiguienteUtf8(u, k, valido));
    }

    // The format of the current group, resolved once per change rather than per character.
    const FormatoTexto& FormatoActual()
    {
        const Estado& e = pila_.back();
        if (!cacheValido_ || e.fuente != claveCache_.fuente || e.mediosPuntos != claveCache_.mediosPuntos ||
            e.negrita != claveCache_.negrita || e.cursiva != claveCache_.cursiva ||
            e.subrayado != claveCache_.subrayado || e.color != claveCache_.color) {
            formatoCache_ = Formato();
            claveCache_ = e;
            cacheValido_ = true;
        }
        return formatoCache_;
    }

    FormatoTexto Formato() const
    {
        const Estado& e = pila_.back();
        FormatoTexto f;
        auto it = fuentes_.find(e.fuente < 0 ? fuenteDefecto_ : e.fuente);
        if (it == fuentes_.end())
            it = fuentes_.find(fuenteDefecto_);
        if (it != fuentes_.end())
            f.Fuente = it->second;
        f.MediosPuntos = e.mediosPuntos;
        f.Negrita = e.negrita;
        f.Cursiva = e.cursiva;
        f.Subrayado = e.subrayado;
        if (e.color > 0 && static_cast<size_t>(e.color) < colores_.size())
            f.Color = colores_[static_cast<size_t>(e.color)];
        return f;
    }

    void Termina(const Estado& e)
    {
        actual_.Alin = e.alin;
        actual_.PrimeraLinea = e.primera;
        actual_.Izquierda = e.izquierda;
        actual_.Derecha = e.derecha;
        actual_.Vinyeta = e.vinyeta;
        doc_.Parrafos.push_back(std::move(actual_));
        actual_ = Parrafo();
    }

    void FinParrafo()
    {
        if (E().destino != Destino::Cuerpo)
            return;
        Termina(E());
        ultimoParrafo_ = E();
    }

    void ControlOSimbolo()
    {
        if (i_ >= s_.size())
            return;
        const char c = s_[i_];
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            PalabraDeControl();
            return;
        }
        ++i_;
        asterisco_ = false;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Caracter(static_cast<unsigned char>(c));
            return;
        case '~':
            Caracter(0x00A0);
            return;
        case '_':
            Caracter(0x2011);
            return;
        case '-': // optional hyphen: nothing to show
            if (saltar_ > 0)
                --saltar_;
            return;
        case '*':
            asterisco_ = true;
            return;
        case '\r':
        case '\n':
            FinParrafo();
            return;
        case '\t':
            Caracter(U'\t');
            return;
        case '\'': {
            if (i_ + 2 > s_.size()) {
                i_ = s_.size();
                return;
            }
            const int h = Hex(s_[i_]);
            const int l = Hex(s_[i_ + 1]);
            if (h < 0 || l < 0)
                return;
            i_ += 2;
            Byte(static_cast<unsigned char>(h * 16 + l));
            return;
        }
        default:
            if (saltar_ > 0)
                --saltar_;
            return;
        }
    }

    static int Hex(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    void PalabraDeControl()
    {
        std::string palabra;
        while (i_ < s_.size() && ((s_[i_] >= 'a' && s_[i_] <= 'z') || (s_[i_] >= 'A' && s_[i_] <= 'Z'))) {
            if (palabra.size() < 32)
                palabra += s_[i_];
            ++i_;
        }
        bool hayParametro = false;
        bool negativo = false;
        int64_t p = 0;
        if (i_ < s_.size() && s_[i_] == '-' && i_ + 1 < s_.size() && s_[i_ + 1] >= '0' && s_[i_ + 1] <= '9') {
            negativo = true;
            ++i_;
        }
        int digitos = 0;
        while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') {
            if (digitos < 10)
                p = p * 10 + (s_[i_] - '0');
            ++digitos;
            ++i_;
            hayParametro = true;
        }
        if (negativo)
            p = -p;
        if (i_ < s_.size() && s_[i_] == ' ')
            ++i_;
        const bool destino = asterisco_;
        asterisco_ = false;
        Aplica(palabra, hayParametro, p, destino);
    }

    // Words that open a destination whose text is not part of the document.
    static bool DestinoIgnorado(const std::string& w)
    {
        static const char* const kIgnorados[] = {
            "stylesheet", "info", "pict", "header", "headerl", "headerr", "headerf", "footer", "footerl",
            "footerr", "footerf", "footnote", "annotation", "fldinst", "pntext", "listtext", "listtable",
            "listoverridetable", "revtbl", "filetbl", "object", "nonshppict", "shppict", "themedata",
            "colorschememapping", "latentstyles", "datastore", "xmlnstbl", "rsidtbl", "generator",
            "author", "operator", "title", "subject", "keywords", "comment", "doccomm", "bkmkstart",
            "bkmkend", "xe", "tc", "txe", "private", "template", "atnid", "atnauthor", "fontemb",
            "fontfile", "mmathPr", "pgdsctbl", "userprops", "expandedcolortbl", "background",
            "shp", "shpinst", "sp", "sn", "sv", "do", "ftnsep", "ftnsepc", "aftnsep", "aftnsepc"};
        static const std::unordered_set<std::string_view> conjunto(std::begin(kIgnorados), std::end(kIgnorados));
        return conjunto.count(w) > 0;
    }

    static bool EsSubrayado(const std::string& w)
    {
        if (w.size() < 2 || w[0] != 'u' || w[1] != 'l')
            return false;
        static const char* const k[] = {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                        "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                                        "ulthldash", "ululdbwave", "ulw", "ulwave"};
        for (const char* x : k)
            if (w == x)
                return true;
        return false;
    }

    void Aplica(const std::string& w, bool hay, int64_t p, bool destinoConAsterisco)
    {
        Estado& e = E();
        // Control words count as one fallback character after \uN.
        if (w != "u" && saltar_ > 0) {
            --saltar_;
            return;
        }
        if (e.destino == Destino::Ignorar)
            return;

        if (w == "u") {
            if (!hay)
                return;
            const auto u = static_cast<char16_t>(static_cast<uint16_t>(p < 0 ? p + 65536 : p));
            saltar_ = 0;
            if (u >= 0xD800 && u <= 0xDBFF) {
                altoPendiente_ = u;
            } else if (u >= 0xDC00 && u <= 0xDFFF) {
                if (altoPendiente_)
                    Texto(0x10000 + ((char32_t(altoPendiente_) - 0xD800) << 10) + (u - 0xDC00));
                altoPendiente_ = 0;
            } else {
                altoPendiente_ = 0;
                Texto(u);
            }
            saltar_ = std::max(0, e.uc);
            return;
        }
        if (w == "uc") {
            e.uc = Acota(p, 0, 16);
            return;
        }
        if (w == "bin") {
            // Binary data of the given length; never ours to show.
            const auto n = static_cast<size_t>(std::max<int64_t>(p, 0));
            i_ = n > s_.size() - i_ ? s_.size() : i_ + n;
            return;
        }

        // Destinations.
        if (w == "fonttbl") {
            e.destino = Destino::TablaFuentes;
            return;
        }
        if (w == "colortbl") {
            e.destino = Destino::TablaColores;
            return;
        }
        if (w == "pn") {
            if (e.destino == Destino::Cuerpo && pila_.size() >= 2) {
                e.dueno = pila_.size() - 2;
                e.destino = Destino::Vinyeta;
            } else {
                e.destino = Destino::Ignorar;
            }
            return;
        }
        if (DestinoIgnorado(w) || destinoConAsterisco) {
            e.destino = Destino::Ignorar;
            return;
        }

        if (e.destino == Destino::TablaFuentes) {
            if (w == "f") {
                GuardaFuenteSiPendiente();
                fuenteLeida_ = static_cast<int32_t>(std::clamp<int64_t>(p, INT32_MIN, INT32_MAX));
            }
            return;
        }
        if (e.destino == Destino::TablaColores) {
            const int32_t v = Acota(p, 0, 255);
            if (w == "red")
                rojo_ = v, colorTocado_ = true;
            else if (w == "green")
                verde_ = v, colorTocado_ = true;
            else if (w == "blue")
                azul_ = v, colorTocado_ = true;
            return;
        }
        if (e.destino == Destino::Vinyeta) {
            if (w == "pnlvlblt" || w == "pnlvlbody")
                pila_[e.dueno].vinyeta = true;
            else if (w == "pnlvlcont")
                pila_[e.dueno].vinyeta = false;
            return;
        }

        // Body.
        const bool activa = !hay || p != 0;
        if (w == "par") {
            FinParrafo();
        } else if (w == "pard") {
            e.alin = Alineacion::Izquierda;
            e.primera = e.izquierda = e.derecha = 0;
            e.vinyeta = false;
        } else if (w == "plain") {
            e.fuente = -1;
            e.mediosPuntos = 24;
            e.negrita = e.cursiva = e.subrayado = false;
            e.color = 0;
        } else if (w == "deff") {
            fuenteDefecto_ = static_cast<int32_t>(std::clamp<int64_t>(p, INT32_MIN, INT32_MAX));
            cacheValido_ = false;
        } else if (w == "f") {
            e.fuente = static_cast<int32_t>(std::clamp<int64_t>(p, 0, INT32_MAX));
        } else if (w == "fs") {
            if (hay && p > 0)
                e.mediosPuntos = Acota(p, 1, kMediosPuntosMax);
        } else if (w == "b") {
            e.negrita = activa;
        } else if (w == "i") {
            e.cursiva = activa;
        } else if (w == "ulnone") {
            e.subrayado = false;
        } else if (EsSubrayado(w)) {
            e.subrayado = activa;
        } else if (w == "cf") {
            e.color = Acota(p, 0, INT32_MAX);
        } else if (w == "ql") {
            e.alin = Alineacion::Izquierda;
        } else if (w == "qr") {
            e.alin = Alineacion::Derecha;
        } else if (w == "qc") {
            e.alin = Alineacion::Centro;
        } else if (w == "qj" || w == "qd") {
            e.alin = Alineacion::Justificada;
        } else if (w == "fi") {
            e.primera = Acota(p, -kSangriaMax, kSangriaMax);
        } else if (w == "li" || w == "lin") {
            e.izquierda = Acota(p, -kSangriaMax, kSangriaMax);
        } else if (w == "ri" || w == "rin") {
            e.derecha = Acota(p, -kSangriaMax, kSangriaMax);
        } else if (w == "ls") {
            e.vinyeta = hay && p > 0;
        } else if (w == "tab" || w == "cell" || w == "nestcell") {
            Texto(U'\t');
        } else if (w == "row" || w == "nestrow") {
            FinParrafo();
        } else if (w == "line") {
            Texto(0x2028);
        } else if (w == "emdash") {
            Texto(0x2014);
        } else if (w == "endash") {
            Texto(0x2013);
        } else if (w == "bullet") {
            Texto(0x2022);
        } else if (w == "lquote") {
            Texto(0x2018);
        } else if (w == "rquote") {
            Texto(0x2019);
        } else if (w == "ldblquote") {
            Texto(0x201C);
        } else if (w == "rdblquote") {
            Texto(0x201D);
        } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
            Texto(U' ');
        }
    }

    void GuardaFuenteSiPendiente()
    {
        if (!nombreFuente_.empty())
            GuardaFuente();
    }
};

// ---------------------------------------------------------------------------
// Writer

void EscapaTexto(std::string& r, std::string_view utf8, bool enNombre)
{
    size_t i = 0;
    bool valido = true;
    while (i < utf8.size()) {
        const char32_t c = SiguienteUtf8(utf8, i, valido);
        if (c == U'\\' || c == U'{' || c == U'}') {
            r += '\\';
            r += static_cast<char>(c);
        } else if (c == U'\t') {
            if (!enNombre)
                r += "\\tab ";
        } else if (c == 0x2028 && !enNombre) {
            r += "\\line ";
        } else if (c == U';' && enNombre) {
            // a semicolon would end the name
        } else if (!Admitido(c)) {
            // nothing the reader would keep
        } else if (c < 0x80) {
            r += static_cast<char>(c);
        } else {
            std::string u;
            AnyadeUtf8(u, c);
            const std::string b = Utf8ACp1252(u);
            if (b.size() == 1 && b[0] != '?') {
                char x[8];
                std::snprintf(x, sizeof x, "\\'%02x", static_cast<unsigned char>(b[0]));
                r += x;
            } else {
                auto pon16 = [&r](uint32_t v) {
                    r += "\\u" + std::to_string(static_cast<int16_t>(static_cast<uint16_t>(v))) + "?";
                };
                if (c >= 0x10000) {
                    const char32_t v = c - 0x10000;
                    pon16(0xD800 + (v >> 10));
                    pon16(0xDC00 + (v & 0x3FF));
                } else {
                    pon16(c);
                }
            }
        }
    }
}

int IndiceDe(std::vector<std::string>& lista, const std::string& v)
{
    auto it = std::find(lista.begin(), lista.end(), v);
    if (it != lista.end())
        return static_cast<int>(it - lista.begin());
    lista.push_back(v);
    return static_cast<int>(lista.size() - 1);
}

int IndiceColor(std::vector<int32_t>& lista, int32_t v)
{
    auto it = std::find(lista.begin(), lista.end(), v);
    if (it != lista.end())
        return static_cast<int>(it - lista.begin()) + 1;
    lista.push_back(v);
    return static_cast<int>(lista.size());
}

} // namespace

bool EsRtf(std::string_view bytes) { return bytes.substr(0, 5) == "{\\rtf"; }

DocumentoRtf LeerRtf(std::string_view bytes) { return Lector(bytes).Leer(); }

DocumentoRtf LeerTextoPlano(std::string_view bytes)
{
    const std::string texto = EsUtf8Valido(bytes) ? std::string(bytes) : Cp1252AUtf8(std::string(bytes));
    DocumentoRtf d;
    std::string linea;
    auto termina = [&] {
        Parrafo p;
        if (!linea.empty())
            p.Tramos.push_back({std::move(linea), FormatoTexto()});
        d.Parrafos.push_back(std::move(p));
        linea.clear();
    };
    size_t i = 0;
    bool valido = true;
    while (i < texto.size()) {
        const char32_t c = SiguienteUtf8(texto, i, valido);
        if (c == U'\r') {
            if (i < texto.size() && texto[i] == '\n')
                ++i;
            termina();
        } else if (c == U'\n' || c == 0x2029) {
            termina();
        } else if (Admitido(c)) {
            AnyadeUtf8(linea, c);
        }
    }
    termina();
    return d;
}

DocumentoRtf LeerDocumentoEditor(std::string_view bytes)
{
    return EsRtf(bytes) ? LeerRtf(bytes) : LeerTextoPlano(bytes);
}

std::string EscribirRtf(const DocumentoRtf& documento)
{
    std::vector<std::string> fuentes;
    std::vector<int32_t> colores;
    for (const auto& p : documento.Parrafos)
        for (const auto& t : p.Tramos) {
            if (t.Texto.empty())
                continue;
            IndiceDe(fuentes, t.Formato.Fuente);
            if (t.Formato.Color >= 0)
                IndiceColor(colores, t.Formato.Color & 0xFFFFFF);
        }
    if (fuentes.empty())
        fuentes.emplace_back();

    std::string r = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (size_t k = 0; k < fuentes.size(); ++k) {
        r += "{\\f" + std::to_string(k) + "\\fnil\\fcharset0 ";
        EscapaTexto(r, fuentes[k], true);
        r += ";}";
    }
    r += "}\r\n";
    if (!colores.empty()) {
        r += "{\\colortbl ;";
        for (int32_t c : colores)
            r += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) + "\\blue" +
                 std::to_string((c >> 16) & 0xFF) + ";";
        r += "}\r\n";
    }

    for (const auto& p : documento.Parrafos) {
        r += "\\pard";
        if (p.Vinyeta)
            r += "{\\pntext\\bullet\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\bullet}}";
        const int32_t fi = std::clamp(p.PrimeraLinea, -kSangriaMax, kSangriaMax);
        const int32_t li = std::clamp(p.Izquierda, -kSangriaMax, kSangriaMax);
        const int32_t ri = std::clamp(p.Derecha, -kSangriaMax, kSangriaMax);
        if (fi != 0)
            r += "\\fi" + std::to_string(fi);
        if (li != 0)
            r += "\\li" + std::to_string(li);
        if (ri != 0)
            r += "\\ri" + std::to_string(ri);
        switch (p.Alin) {
        case Alineacion::Derecha:
            r += "\\qr";
            break;
        case Alineacion::Centro:
            r += "\\qc";
            break;
        case Alineacion::Justificada:
            r += "\\qj";
            break;
        default:
            break;
        }
        const FormatoTexto* previo = nullptr;
        for (const auto& t : p.Tramos) {
            std::string texto;
            EscapaTexto(texto, t.Texto, false);
            if (texto.empty())
                continue;
            const FormatoTexto& f = t.Formato;
            // Runs of one format are written as one, as the reader merges them.
            if (!previo || !(f == *previo)) {
                r += "\\plain\\f" + std::to_string(IndiceDe(fuentes, f.Fuente));
                r += "\\fs" + std::to_string(std::clamp(f.MediosPuntos, 1, kMediosPuntosMax));
                if (f.Negrita)
                    r += "\\b";
                if (f.Cursiva)
                    r += "\\i";
                if (f.Subrayado)
                    r += "\\ul";
                if (f.Color >= 0)
                    r += "\\cf" + std::to_string(IndiceColor(colores, f.Color & 0xFFFFFF));
                r += ' ';
                previo = &f;
            }
            r += texto;
        }
        r += "\\par\r\n";
    }
    r += "}\r\n";
    return r;
}
