#include "editor/Rtf.h"

#include "common/Cp1252.h"
#include "common/Decimal.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <unordered_set>

namespace {

// Values outside these bounds come only from damaged or hostile files.
constexpr int32_t kSangriaMax = 31680 * 4; // 88 inches in twips
constexpr int32_t kMediosPuntosMax = 3276; // 1638 points
constexpr size_t kProfundidadMax = 4096;   // deeper groups are read as skipped
constexpr int32_t kEspaciadoMax = 31680;   // 1584 points between letters
constexpr int32_t kEscalaMax = 1000;       // percent
constexpr int32_t kNivelListaMax = 8;
constexpr size_t kMaxTabuladores = 64;


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

enum class Destino : uint8_t {
    Cuerpo,
    Ignorar,
    TablaFuentes,
    TablaColores,
    Numeracion,         // {\*\pn ...}: the list of the group that holds it
    TablaListas,        // \listtable: each list's numbering per level
    TablaSustituciones, // \listoverridetable: \ls numbers to lists
    Imagen,             // {\pict ...}
};

// Character properties of a group, with font and colours still as table numbers.
struct Caracteres {
    int32_t fuente = -1; // font number; -1: the default font
    int32_t mediosPuntos = 24;
    bool negrita = false, cursiva = false, subrayado = false, tachado = false;
    EstiloSubrayado estilo = EstiloSubrayado::Continuo;
    PosicionVertical posicion = PosicionVertical::Normal;
    Mayusculas mayus = Mayusculas::No;
    int32_t color = 0; // colour table index; 0: automatic
    int32_t fondo = 0; // colour table index; 0: none
    int32_t espaciado = 0;
    bool operator==(const Caracteres&) const = default;
};

struct PropiedadesParrafo {
    Alineacion alin = Alineacion::Izquierda;
    int32_t primera = 0, izquierda = 0, derecha = 0;
    int32_t antes = 0, despues = 0;
    int32_t interlineado = 0;
    bool multiple = false;
    int32_t fondo = 0;                        // colour table index
    TipoLista numeracion = TipoLista::Ninguna; // from {\*\pn}
    int32_t ls = 0;                           // list override number; 0: none
    int32_t nivel = 0;
    std::vector<Tabulador> tabs;
    TipoTabulador tipoTab = TipoTabulador::Izquierda; // for the next \tx
    uint64_t version = 0; // changes with every property, so copies are taken only when needed
};

struct Estado {
    Caracteres car;
    PropiedadesParrafo par;
    int32_t uc = 1;
    Destino destino = Destino::Cuerpo;
    size_t dueno = 0; // for Destino::Numeracion: the group whose paragraph takes the list
};

int32_t Acota(int64_t v, int32_t lo, int32_t hi) { return static_cast<int32_t>(std::clamp<int64_t>(v, lo, hi)); }

// A list of the list table: the numbering of each of its levels.
struct ListaLeida {
    int32_t id = 0;
    std::vector<int32_t> formatos; // \levelnfc per level
};

TipoLista ListaDeFormato(int32_t nfc)
{
    switch (nfc) {
    case 1:
        return TipoLista::RomanoMayuscula;
    case 2:
        return TipoLista::RomanoMinuscula;
    case 3:
        return TipoLista::LetraMayuscula;
    case 4:
        return TipoLista::LetraMinuscula;
    case 23:
    case 255:
        return TipoLista::Vinyeta;
    default:
        return TipoLista::Decimal;
    }
}

class Lector {
public:
    Lector(std::string_view b, size_t imagenMax) : s_(b), imagenMax_(imagenMax) {}

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
                // Inside a picture only its own words count.
                if (pila_.size() == kProfundidadMax || e.destino == Destino::Imagen)
                    e.destino = Destino::Ignorar;
                pila_.push_back(std::move(e));
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
            if (E().destino == Destino::Imagen) {
                LeeHexadecimal();
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
    size_t imagenMax_;
    size_t i_ = 0;
    std::vector<Estado> pila_;
    DocumentoRtf doc_;
    Parrafo actual_;
    PropiedadesParrafo ultimoParrafo_; // paragraph properties in force when text was last added
    std::map<int32_t, std::string> fuentes_;
    std::vector<int32_t> colores_;
    int32_t fuenteDefecto_ = 0;
    // Font table entry being read.
    int32_t fuenteLeida_ = 0;
    std::string nombreFuente_;
    // Colour table entry being read.
    int32_t rojo_ = 0, verde_ = 0, azul_ = 0;
    bool colorTocado_ = false;
    // List tables.
    std::vector<ListaLeida> listas_;
    std::map<int32_t, int32_t> sustituciones_; // \ls number to list id
    int32_t listaSustituida_ = 0;
    // Picture being read: the depth of its group, its hex digits so far.
    ImagenRtf imagen_;
    size_t nivelImagen_ = 0;
    bool imagenValida_ = false;
    bool imagenExcesiva_ = false;
    int nibble_ = -1;
    // Fallback characters still to drop after \uN.
    int32_t saltar_ = 0;
    char16_t altoPendiente_ = 0;
    bool asterisco_ = false;
    FormatoTexto formatoCache_;
    Caracteres claveCache_;
    bool cacheValido_ = false;
    uint64_t versionFormato_ = 0; // counts the resolutions of formatoCache_
    uint64_t tramoDeFormato_ = 0; // the resolution the paragraph's last run was made in; 0: none
    uint64_t versiones_ = 0;
    // Groups opened beyond the depth limit; the state at the limit ignores everything.
    size_t sobrantes_ = 0;

    static constexpr size_t kMaxListas = 1024;
    static constexpr size_t kMaxNiveles = kNivelListaMax + 1;

    Estado& E() { return pila_.back(); }

    // Marks the paragraph properties of e as changed.
    PropiedadesParrafo& Par(Estado& e)
    {
        e.par.version = ++versiones_;
        return e.par;
    }

    void CierraGrupo()
    {
        asterisco_ = false;
        if (sobrantes_ > 0) {
            --sobrantes_;
            return;
        }
        if (E().destino == Destino::TablaFuentes && !nombreFuente_.empty())
            GuardaFuente();
        if (E().destino == Destino::Imagen && pila_.size() == nivelImagen_)
            TerminaImagen();
        if (pila_.size() > 1)
            pila_.pop_back();
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

    // --- Pictures ---------------------------------------------------------

    void EmpiezaImagen()
    {
        imagen_ = ImagenRtf();
        nivelImagen_ = pila_.size();
        imagenValida_ = false;
        imagenExcesiva_ = false;
        nibble_ = -1;
        E().destino = Destino::Imagen;
    }

    // The picture's digits up to the next group or control word, in one go:
    // a photograph is megabytes of them. Anything else between them is skipped.
    void LeeHexadecimal()
    {
        size_t fin = i_;
        while (fin < s_.size() && s_[fin] != '{' && s_[fin] != '}' && s_[fin] != '\\')
            ++fin;
        std::string& datos = imagen_.Datos;
        if (!imagenExcesiva_)
            datos.reserve(std::min(imagenMax_, datos.size() + (fin - i_) / 2));
        for (size_t k = i_; k < fin && !imagenExcesiva_; ++k) {
            const int h = ValorHex(s_[k]);
            if (h < 0)
                continue;
            if (nibble_ < 0) {
                nibble_ = h;
                continue;
            }
            const char b = static_cast<char>(nibble_ * 16 + h);
            nibble_ = -1;
            if (datos.size() >= imagenMax_) {
                AnyadeDatosImagen(std::string_view(&b, 1)); // past the limit: the picture is dropped
                break;
            }
            datos.push_back(b);
        }
        i_ = fin;
    }

    // A picture that grows beyond the limit is dropped whole, its memory freed at once.
    void AnyadeDatosImagen(std::string_view bytes)
    {
        if (imagenExcesiva_ || imagen_.Datos.size() > imagenMax_ || bytes.size() > imagenMax_ - imagen_.Datos.size()) {
            imagenExcesiva_ = true;
            imagen_.Datos = std::string();
            return;
        }
        imagen_.Datos += bytes;
    }

    void TerminaImagen()
    {
        if (imagenValida_ && !imagenExcesiva_ && !imagen_.Datos.empty()) {
            TramoTexto t{std::string(), FormatoActual(), std::move(imagen_)};
            actual_.Tramos.push_back(std::move(t));
            tramoDeFormato_ = 0;
            RecuerdaParrafo();
        }
        imagen_ = ImagenRtf();
        nivelImagen_ = 0;
    }

    void PalabraDeImagen(const std::string& w, bool hay, int64_t p)
    {
        if (w == "pngblip") {
            imagen_.Tipo = TipoImagen::Png;
            imagenValida_ = true;
        } else if (w == "jpegblip") {
            imagen_.Tipo = TipoImagen::Jpeg;
            imagenValida_ = true;
        } else if (w == "emfblip" || w == "wmetafile" || w == "macpict" || w == "pmmetafile" || w == "dibitmap" ||
                   w == "wbitmap") {
            // Formats the text control cannot show.
            imagenValida_ = false;
            imagenExcesiva_ = true;
        } else if (w == "picw") {
            imagen_.Ancho = Acota(p, 0, kSangriaMax);
        } else if (w == "pich") {
            imagen_.Alto = Acota(p, 0, kSangriaMax);
        } else if (w == "picwgoal") {
            imagen_.AnchoDeseado = Acota(p, 0, kSangriaMax);
        } else if (w == "pichgoal") {
            imagen_.AltoDeseado = Acota(p, 0, kSangriaMax);
        } else if (w == "picscalex") {
            imagen_.EscalaX = hay && p > 0 ? Acota(p, 1, kEscalaMax) : 100;
        } else if (w == "picscaley") {
            imagen_.EscalaY = hay && p > 0 ? Acota(p, 1, kEscalaMax) : 100;
        }
    }

    // --- Text -------------------------------------------------------------

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
        // The last run took the same resolved format: no need to compare it again.
        if (tramoDeFormato_ != versionFormato_) {
            if (actual_.Tramos.empty() || actual_.Tramos.back().Imagen || !(actual_.Tramos.back().Formato == f))
                actual_.Tramos.push_back({std::string(), f, std::nullopt});
            tramoDeFormato_ = versionFormato_;
        }
        AnyadeUtf8(actual_.Tramos.back().Texto, c);
        RecuerdaParrafo();
    }

    void RecuerdaParrafo()
    {
        if (ultimoParrafo_.version != E().par.version)
            ultimoParrafo_ = E().par;
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

    int32_t ColorDeTabla(int32_t indice) const
    {
        if (indice > 0 && static_cast<size_t>(indice) < colores_.size())
            return colores_[static_cast<size_t>(indice)];
        return -1;
    }

    // The format of the current group, resolved once per change rather than per character.
    const FormatoTexto& FormatoActual()
    {
        const Caracteres& c = pila_.back().car;
        if (!cacheValido_ || !(c == claveCache_)) {
            formatoCache_ = Formato(c);
            ++versionFormato_;
            claveCache_ = c;
            cacheValido_ = true;
        }
        return formatoCache_;
    }

    FormatoTexto Formato(const Caracteres& c) const
    {
        FormatoTexto f;
        auto it = fuentes_.find(c.fuente < 0 ? fuenteDefecto_ : c.fuente);
        if (it == fuentes_.end())
            it = fuentes_.find(fuenteDefecto_);
        if (it != fuentes_.end())
            f.Fuente = it->second;
        f.MediosPuntos = c.mediosPuntos;
        f.Negrita = c.negrita;
        f.Cursiva = c.cursiva;
        f.Subrayado = c.subrayado;
        f.Estilo = c.subrayado ? c.estilo : EstiloSubrayado::Continuo;
        f.Tachado = c.tachado;
        f.Posicion = c.posicion;
        f.Mayus = c.mayus;
        f.Espaciado = c.espaciado;
        f.Color = ColorDeTabla(c.color);
        f.Fondo = ColorDeTabla(c.fondo);
        return f;
    }

    TipoLista ListaDe(const PropiedadesParrafo& p) const
    {
        if (p.ls <= 0)
            return p.numeracion;
        const auto s = sustituciones_.find(p.ls);
        if (s != sustituciones_.end())
            for (const ListaLeida& l : listas_)
                if (l.id == s->second && !l.formatos.empty())
                    return ListaDeFormato(l.formatos[std::min<size_t>(static_cast<size_t>(p.nivel), l.formatos.size() - 1)]);
        // A list the file does not describe: its old-style numbering, else bullets.
        return p.numeracion != TipoLista::Ninguna ? p.numeracion : TipoLista::Vinyeta;
    }

    void Termina(const PropiedadesParrafo& p)
    {
        actual_.Alin = p.alin;
        actual_.PrimeraLinea = p.primera;
        actual_.Izquierda = p.izquierda;
        actual_.Derecha = p.derecha;
        actual_.Lista = ListaDe(p);
        actual_.NivelLista = actual_.Lista == TipoLista::Ninguna ? 0 : p.nivel;
        actual_.Antes = p.antes;
        actual_.Despues = p.despues;
        actual_.Interlineado = p.multiple ? std::abs(p.interlineado) : p.interlineado;
        actual_.InterlineadoMultiple = p.multiple && p.interlineado != 0;
        actual_.Fondo = ColorDeTabla(p.fondo);
        actual_.Tabuladores = p.tabs;
        doc_.Parrafos.push_back(std::move(actual_));
        actual_ = Parrafo();
        tramoDeFormato_ = 0;
    }

    void FinParrafo()
    {
        if (E().destino != Destino::Cuerpo)
            return;
        Termina(E().par);
        ultimoParrafo_ = E().par;
    }

    // --- Control words and symbols ----------------------------------------

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
            const int h = ValorHex(s_[i_]);
            const int l = ValorHex(s_[i_ + 1]);
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
        if (i_ < s_.size() && s_[i_] == '-' && i_ + 1 < s_.size() && EsDigito(s_[i_ + 1])) {
            negativo = true;
            ++i_;
        }
        int digitos = 0;
        while (i_ < s_.size() && EsDigito(s_[i_])) {
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
            "stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl",
            "footerr", "footerf", "footnote", "annotation", "fldinst", "pntext", "listtext",
            "revtbl", "filetbl", "object", "nonshppict", "themedata",
            "colorschememapping", "latentstyles", "datastore", "xmlnstbl", "rsidtbl", "generator",
            "author", "operator", "title", "subject", "keywords", "comment", "doccomm", "bkmkstart",
            "bkmkend", "xe", "tc", "txe", "private", "template", "atnid", "atnauthor", "fontemb",
            "fontfile", "mmathPr", "pgdsctbl", "userprops", "expandedcolortbl", "background",
            "shp", "shpinst", "sp", "sn", "sv", "do", "ftnsep", "ftnsepc", "aftnsep", "aftnsepc",
            "listpicture", "blipuid", "picprop"};
        static const std::unordered_set<std::string_view> conjunto(std::begin(kIgnorados), std::end(kIgnorados));
        return conjunto.count(w) > 0;
    }

    // The underline words and the pattern each draws; nullptr when w is none.
    static const EstiloSubrayado* Subrayado(const std::string& w)
    {
        if (w.size() < 2 || w[0] != 'u' || w[1] != 'l')
            return nullptr;
        static const std::pair<std::string_view, EstiloSubrayado> k[] = {
            {"ul", EstiloSubrayado::Continuo},         {"ulw", EstiloSubrayado::Continuo},
            {"uldb", EstiloSubrayado::Continuo},       {"ulth", EstiloSubrayado::Continuo},
            {"uld", EstiloSubrayado::Puntos},          {"ulthd", EstiloSubrayado::Puntos},
            {"uldash", EstiloSubrayado::Guiones},      {"ulthdash", EstiloSubrayado::Guiones},
            {"ulldash", EstiloSubrayado::Guiones},     {"ulthldash", EstiloSubrayado::Guiones},
            {"uldashd", EstiloSubrayado::PuntoGuion},  {"ulthdashd", EstiloSubrayado::PuntoGuion},
            {"uldashdd", EstiloSubrayado::PuntoPuntoGuion}, {"ulthdashdd", EstiloSubrayado::PuntoPuntoGuion},
            {"ulwave", EstiloSubrayado::Ondulado},     {"ulhwave", EstiloSubrayado::Ondulado},
            {"ululdbwave", EstiloSubrayado::Ondulado}};
        for (const auto& [palabra, estilo] : k)
            if (w == palabra)
                return &estilo;
        return nullptr;
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
            // Binary data of the given length: a picture's bytes, otherwise never ours to show.
            const auto n = std::min(static_cast<size_t>(std::max<int64_t>(p, 0)), s_.size() - i_);
            if (e.destino == Destino::Imagen && n > 0)
                AnyadeDatosImagen(s_.substr(i_, n));
            i_ += n;
            return;
        }
        if (e.destino == Destino::Imagen) {
            PalabraDeImagen(w, hay, p);
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
        if (w == "listtable") {
            e.destino = Destino::TablaListas;
            return;
        }
        if (w == "listoverridetable") {
            e.destino = Destino::TablaSustituciones;
            return;
        }
        if (w == "pn") {
            if (e.destino == Destino::Cuerpo && pila_.size() >= 2) {
                e.dueno = pila_.size() - 2;
                e.destino = Destino::Numeracion;
            } else {
                e.destino = Destino::Ignorar;
            }
            return;
        }
        if (w == "pict") {
            if (e.destino == Destino::Cuerpo)
                EmpiezaImagen();
            else
                e.destino = Destino::Ignorar;
            return;
        }
        // The picture a word processor shows; its twin for older readers is {\nonshppict}.
        if (w == "shppict" && e.destino == Destino::Cuerpo)
            return;
        if (DestinoIgnorado(w) || destinoConAsterisco) {
            e.destino = Destino::Ignorar;
            return;
        }

        switch (e.destino) {
        case Destino::TablaFuentes:
            if (w == "f") {
                GuardaFuenteSiPendiente();
                fuenteLeida_ = static_cast<int32_t>(std::clamp<int64_t>(p, INT32_MIN, INT32_MAX));
            }
            return;
        case Destino::TablaColores: {
            const int32_t v = Acota(p, 0, 255);
            if (w == "red")
                rojo_ = v, colorTocado_ = true;
            else if (w == "green")
                verde_ = v, colorTocado_ = true;
            else if (w == "blue")
                azul_ = v, colorTocado_ = true;
            return;
        }
        case Destino::TablaListas:
            if (w == "list" && listas_.size() < kMaxListas)
                listas_.emplace_back();
            else if (w == "listlevel" && !listas_.empty() && listas_.back().formatos.size() < kMaxNiveles)
                listas_.back().formatos.push_back(0);
            else if ((w == "levelnfc" || w == "levelnfcn") && !listas_.empty() && !listas_.back().formatos.empty())
                listas_.back().formatos.back() = Acota(p, 0, 255);
            else if (w == "listid" && !listas_.empty())
                listas_.back().id = Acota(p, INT32_MIN, INT32_MAX);
            return;
        case Destino::TablaSustituciones:
            if (w == "listid")
                listaSustituida_ = Acota(p, INT32_MIN, INT32_MAX);
            else if (w == "ls" && sustituciones_.size() < kMaxListas)
                sustituciones_[Acota(p, INT32_MIN, INT32_MAX)] = listaSustituida_;
            return;
        case Destino::Numeracion: {
            PropiedadesParrafo& d = Par(pila_[e.dueno]);
            const bool numerada = d.numeracion != TipoLista::Ninguna && d.numeracion != TipoLista::Vinyeta;
            if (w == "pnlvlblt")
                d.numeracion = TipoLista::Vinyeta;
            else if (w == "pnlvlcont")
                d.numeracion = TipoLista::Ninguna;
            else if ((w == "pnlvlbody" || w == "pnlvl") && !numerada)
                d.numeracion = TipoLista::Decimal;
            else if (w == "pndec")
                d.numeracion = TipoLista::Decimal;
            else if (w == "pnucrm")
                d.numeracion = TipoLista::RomanoMayuscula;
            else if (w == "pnlcrm")
                d.numeracion = TipoLista::RomanoMinuscula;
            else if (w == "pnucltr")
                d.numeracion = TipoLista::LetraMayuscula;
            else if (w == "pnlcltr")
                d.numeracion = TipoLista::LetraMinuscula;
            return;
        }
        case Destino::Cuerpo:
            Cuerpo(e, w, hay, p);
            return;
        default:
            return;
        }
    }

    void Cuerpo(Estado& e, const std::string& w, bool hay, int64_t p)
    {
        const bool activa = !hay || p != 0;
        Caracteres& c = e.car;
        if (w == "par") {
            FinParrafo();
        } else if (w == "pard") {
            e.par = PropiedadesParrafo();
            Par(e);
        } else if (w == "plain") {
            c = Caracteres();
        } else if (w == "deff") {
            fuenteDefecto_ = static_cast<int32_t>(std::clamp<int64_t>(p, INT32_MIN, INT32_MAX));
            cacheValido_ = false;
        } else if (w == "deftab") {
            if (hay && p > 0)
                doc_.TabDefecto = Acota(p, 1, kSangriaMax);
        } else if (w == "f") {
            c.fuente = static_cast<int32_t>(std::clamp<int64_t>(p, 0, INT32_MAX));
        } else if (w == "fs") {
            if (hay && p > 0)
                c.mediosPuntos = Acota(p, 1, kMediosPuntosMax);
        } else if (w == "b") {
            c.negrita = activa;
        } else if (w == "i") {
            c.cursiva = activa;
        } else if (w == "ulnone") {
            c.subrayado = false;
            c.estilo = EstiloSubrayado::Continuo;
        } else if (const EstiloSubrayado* s = Subrayado(w)) {
            c.subrayado = activa;
            c.estilo = activa ? *s : EstiloSubrayado::Continuo;
        } else if (w == "strike" || w == "striked") {
            c.tachado = activa;
        } else if (w == "super") {
            c.posicion = activa ? PosicionVertical::Superindice : PosicionVertical::Normal;
        } else if (w == "sub") {
            c.posicion = activa ? PosicionVertical::Subindice : PosicionVertical::Normal;
        } else if (w == "nosupersub") {
            c.posicion = PosicionVertical::Normal;
        } else if (w == "up") {
            // Raised text without a size of its own; shown as superscript.
            c.posicion = activa ? PosicionVertical::Superindice : PosicionVertical::Normal;
        } else if (w == "dn") {
            c.posicion = activa ? PosicionVertical::Subindice : PosicionVertical::Normal;
        } else if (w == "caps") {
            if (activa)
                c.mayus = Mayusculas::Todas;
            else if (c.mayus == Mayusculas::Todas)
                c.mayus = Mayusculas::No;
        } else if (w == "scaps") {
            if (activa)
                c.mayus = Mayusculas::Versalitas;
            else if (c.mayus == Mayusculas::Versalitas)
                c.mayus = Mayusculas::No;
        } else if (w == "expnd") {
            c.espaciado = Acota(p * 5, -kEspaciadoMax, kEspaciadoMax); // quarter points
        } else if (w == "expndtw") {
            c.espaciado = Acota(p, -kEspaciadoMax, kEspaciadoMax);
        } else if (w == "cf") {
            c.color = Acota(p, 0, INT32_MAX);
        } else if (w == "highlight" || w == "chcbpat" || w == "cb") {
            c.fondo = Acota(p, 0, INT32_MAX);
        } else if (w == "ql") {
            Par(e).alin = Alineacion::Izquierda;
        } else if (w == "qr") {
            Par(e).alin = Alineacion::Derecha;
        } else if (w == "qc") {
            Par(e).alin = Alineacion::Centro;
        } else if (w == "qj" || w == "qd") {
            Par(e).alin = Alineacion::Justificada;
        } else if (w == "fi") {
            Par(e).primera = Acota(p, -kSangriaMax, kSangriaMax);
        } else if (w == "li" || w == "lin") {
            Par(e).izquierda = Acota(p, -kSangriaMax, kSangriaMax);
        } else if (w == "ri" || w == "rin") {
            Par(e).derecha = Acota(p, -kSangriaMax, kSangriaMax);
        } else if (w == "sb") {
            Par(e).antes = Acota(p, 0, kSangriaMax);
        } else if (w == "sa") {
            Par(e).despues = Acota(p, 0, kSangriaMax);
        } else if (w == "sl") {
            Par(e).interlineado = Acota(p, -kSangriaMax, kSangriaMax);
        } else if (w == "slmult") {
            Par(e).multiple = activa;
        } else if (w == "cbpat") {
            Par(e).fondo = Acota(p, 0, INT32_MAX);
        } else if (w == "tqr" || w == "tqc" || w == "tqdec") {
            Par(e).tipoTab = w == "tqr" ? TipoTabulador::Derecha : w == "tqc" ? TipoTabulador::Centro : TipoTabulador::Decimal;
        } else if (w == "tx") {
            PropiedadesParrafo& par = Par(e);
            if (par.tabs.size() < kMaxTabuladores)
                par.tabs.push_back({Acota(p, 0, kSangriaMax), par.tipoTab});
            par.tipoTab = TipoTabulador::Izquierda;
        } else if (w == "tb") {
            // A bar tab draws a line and stops nothing: not kept.
            Par(e).tipoTab = TipoTabulador::Izquierda;
        } else if (w == "ls") {
            Par(e).ls = Acota(p, 0, INT32_MAX);
        } else if (w == "ilvl") {
            Par(e).nivel = Acota(p, 0, kNivelListaMax);
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
    v &= 0xFFFFFF;
    auto it = std::find(lista.begin(), lista.end(), v);
    if (it != lista.end())
        return static_cast<int>(it - lista.begin()) + 1;
    lista.push_back(v);
    return static_cast<int>(lista.size());
}

std::string Num(const char* palabra, int64_t v) { return std::string(palabra) + std::to_string(v); }

// A picture the reader would keep.
bool ImagenEscribible(const ImagenRtf& i) { return !i.Datos.empty() && i.Datos.size() <= kImagenMaxBytes; }

const char* PalabraSubrayado(EstiloSubrayado e)
{
    switch (e) {
    case EstiloSubrayado::Puntos:
        return "\\uld";
    case EstiloSubrayado::Guiones:
        return "\\uldash";
    case EstiloSubrayado::PuntoGuion:
        return "\\uldashd";
    case EstiloSubrayado::PuntoPuntoGuion:
        return "\\uldashdd";
    case EstiloSubrayado::Ondulado:
        return "\\ulwave";
    default:
        return "\\ul";
    }
}

std::string Romano(int n, bool mayusculas)
{
    static const std::pair<int, const char*> k[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                                                    {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                                                    {5, "v"},    {4, "iv"},   {1, "i"}};
    std::string r;
    for (const auto& [valor, letras] : k)
        while (n >= valor) {
            r += letras;
            n -= valor;
        }
    if (mayusculas)
        for (char& c : r)
            c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string Letras(int n, bool mayusculas)
{
    std::string r;
    for (; n > 0; n = (n - 1) / 26)
        r.insert(r.begin(), static_cast<char>((mayusculas ? 'A' : 'a') + (n - 1) % 26));
    return r;
}

// The number a list paragraph shows, for readers that do not number lists themselves.
std::string TextoNumero(TipoLista t, int n)
{
    switch (t) {
    case TipoLista::LetraMinuscula:
        return Letras(n, false);
    case TipoLista::LetraMayuscula:
        return Letras(n, true);
    case TipoLista::RomanoMinuscula:
        return Romano(n, false);
    case TipoLista::RomanoMayuscula:
        return Romano(n, true);
    default:
        return std::to_string(n);
    }
}

const char* PalabraNumeracion(TipoLista t)
{
    switch (t) {
    case TipoLista::LetraMinuscula:
        return "\\pnlcltr";
    case TipoLista::LetraMayuscula:
        return "\\pnucltr";
    case TipoLista::RomanoMinuscula:
        return "\\pnlcrm";
    case TipoLista::RomanoMayuscula:
        return "\\pnucrm";
    default:
        return "\\pndec";
    }
}

// Every value clamped as the reader clamps it, so that what is written reads back unchanged.
int32_t Sangria(int32_t v) { return std::clamp(v, -kSangriaMax, kSangriaMax); }
int32_t Distancia(int32_t v) { return std::clamp(v, 0, kSangriaMax); }

void EscribeImagen(std::string& r, const ImagenRtf& im)
{
    r += "{\\pict";
    const int32_t ex = std::clamp(im.EscalaX, 1, kEscalaMax);
    const int32_t ey = std::clamp(im.EscalaY, 1, kEscalaMax);
    if (ex != 100)
        r += Num("\\picscalex", ex);
    if (ey != 100)
        r += Num("\\picscaley", ey);
    if (Distancia(im.Ancho) > 0)
        r += Num("\\picw", Distancia(im.Ancho));
    if (Distancia(im.Alto) > 0)
        r += Num("\\pich", Distancia(im.Alto));
    if (Distancia(im.AnchoDeseado) > 0)
        r += Num("\\picwgoal", Distancia(im.AnchoDeseado));
    if (Distancia(im.AltoDeseado) > 0)
        r += Num("\\pichgoal", Distancia(im.AltoDeseado));
    r += im.Tipo == TipoImagen::Jpeg ? "\\jpegblip" : "\\pngblip";
    static const char kHex[] = "0123456789abcdef";
    r.reserve(r.size() + im.Datos.size() * 2 + im.Datos.size() / 32 + 8);
    for (size_t k = 0; k < im.Datos.size(); ++k) {
        if (k % 64 == 0)
            r += "\r\n";
        const auto b = static_cast<unsigned char>(im.Datos[k]);
        r += kHex[b >> 4];
        r += kHex[b & 15];
    }
    r += "}";
}

void EscribeFormato(std::string& r, const FormatoTexto& f, std::vector<std::string>& fuentes, std::vector<int32_t>& colores)
{
    r += "\\plain" + Num("\\f", IndiceDe(fuentes, f.Fuente));
    r += Num("\\fs", std::clamp(f.MediosPuntos, 1, kMediosPuntosMax));
    if (f.Negrita)
        r += "\\b";
    if (f.Cursiva)
        r += "\\i";
    if (f.Subrayado)
        r += PalabraSubrayado(f.Estilo);
    if (f.Tachado)
        r += "\\strike";
    if (f.Posicion == PosicionVertical::Superindice)
        r += "\\super";
    else if (f.Posicion == PosicionVertical::Subindice)
        r += "\\sub";
    if (f.Mayus == Mayusculas::Todas)
        r += "\\caps";
    else if (f.Mayus == Mayusculas::Versalitas)
        r += "\\scaps";
    const int32_t esp = std::clamp(f.Espaciado, -kEspaciadoMax, kEspaciadoMax);
    if (esp != 0)
        r += Num("\\expndtw", esp);
    if (f.Color >= 0)
        r += Num("\\cf", IndiceColor(colores, f.Color));
    if (f.Fondo >= 0)
        r += Num("\\highlight", IndiceColor(colores, f.Fondo));
    r += ' ';
}

// Numbers of the list paragraphs met so far, per level; a paragraph outside
// any list starts them again.
class Numerador {
public:
    int Siguiente(const Parrafo& p)
    {
        if (p.Lista == TipoLista::Ninguna) {
            cuentas_.fill(0);
            return 0;
        }
        const auto n = static_cast<size_t>(std::clamp(p.NivelLista, 0, kNivelListaMax));
        if (tipos_[n] != p.Lista)
            cuentas_[n] = 0;
        tipos_[n] = p.Lista;
        for (size_t k = n + 1; k < cuentas_.size(); ++k)
            cuentas_[k] = 0;
        return ++cuentas_[n];
    }

private:
    std::array<int, kNivelListaMax + 1> cuentas_{};
    std::array<TipoLista, kNivelListaMax + 1> tipos_{};
};

void EscribeLista(std::string& r, const Parrafo& p, int numero)
{
    if (p.Lista == TipoLista::Vinyeta) {
        r += "{\\pntext\\bullet\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\bullet}}";
    } else {
        r += "{\\pntext " + TextoNumero(p.Lista, numero) + ".\\tab}{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1";
        r += PalabraNumeracion(p.Lista);
        r += "{\\pntxta .}}";
    }
    const int32_t nivel = std::clamp(p.NivelLista, 0, kNivelListaMax);
    if (nivel > 0)
        r += Num("\\ilvl", nivel);
}

void EscribeParrafo(std::string& r, const Parrafo& p, int numero, std::vector<int32_t>& colores)
{
    r += "\\pard";
    if (p.Lista != TipoLista::Ninguna)
        EscribeLista(r, p, numero);
    if (Sangria(p.PrimeraLinea) != 0)
        r += Num("\\fi", Sangria(p.PrimeraLinea));
    if (Sangria(p.Izquierda) != 0)
        r += Num("\\li", Sangria(p.Izquierda));
    if (Sangria(p.Derecha) != 0)
        r += Num("\\ri", Sangria(p.Derecha));
    if (Distancia(p.Antes) != 0)
        r += Num("\\sb", Distancia(p.Antes));
    if (Distancia(p.Despues) != 0)
        r += Num("\\sa", Distancia(p.Despues));
    const int32_t sl = p.InterlineadoMultiple ? Distancia(std::abs(p.Interlineado)) : Sangria(p.Interlineado);
    if (sl != 0)
        r += Num("\\sl", sl) + (p.InterlineadoMultiple ? "\\slmult1" : "\\slmult0");
    if (p.Fondo >= 0)
        r += Num("\\cbpat", IndiceColor(colores, p.Fondo));
    for (size_t k = 0; k < p.Tabuladores.size() && k < kMaxTabuladores; ++k) {
        const Tabulador& t = p.Tabuladores[k];
        switch (t.Tipo) {
        case TipoTabulador::Centro:
            r += "\\tqc";
            break;
        case TipoTabulador::Derecha:
            r += "\\tqr";
            break;
        case TipoTabulador::Decimal:
            r += "\\tqdec";
            break;
        default:
            break;
        }
        r += Num("\\tx", Distancia(t.Posicion));
    }
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
}

} // namespace

bool EsRtf(std::string_view bytes) { return bytes.substr(0, 5) == "{\\rtf"; }

DocumentoRtf LeerRtf(std::string_view bytes, size_t imagenMaxBytes) { return Lector(bytes, imagenMaxBytes).Leer(); }

DocumentoRtf LeerTextoPlano(std::string_view bytes)
{
    const std::string texto = EsUtf8Valido(bytes) ? std::string(bytes) : Cp1252AUtf8(std::string(bytes));
    DocumentoRtf d;
    std::string linea;
    auto termina = [&] {
        Parrafo p;
        if (!linea.empty())
            p.Tramos.push_back({std::move(linea), FormatoTexto(), std::nullopt});
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
    for (const auto& p : documento.Parrafos) {
        if (p.Fondo >= 0)
            IndiceColor(colores, p.Fondo);
        for (const auto& t : p.Tramos) {
            if (t.Imagen ? !ImagenEscribible(*t.Imagen) : t.Texto.empty())
                continue;
            IndiceDe(fuentes, t.Formato.Fuente);
            if (t.Formato.Color >= 0)
                IndiceColor(colores, t.Formato.Color);
            if (t.Formato.Fondo >= 0)
                IndiceColor(colores, t.Formato.Fondo);
        }
    }
    if (fuentes.empty())
        fuentes.emplace_back();

    std::string r = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1";
    const int32_t tab = std::clamp(documento.TabDefecto, 1, kSangriaMax);
    if (tab != 720)
        r += Num("\\deftab", tab);
    r += "{\\fonttbl";
    for (size_t k = 0; k < fuentes.size(); ++k) {
        r += "{\\f" + std::to_string(k) + "\\fnil\\fcharset0 ";
        EscapaTexto(r, fuentes[k], true);
        r += ";}";
    }
    r += "}\r\n";
    if (!colores.empty()) {
        r += "{\\colortbl ;";
        for (int32_t c : colores)
            r += Num("\\red", c & 0xFF) + Num("\\green", (c >> 8) & 0xFF) + Num("\\blue", (c >> 16) & 0xFF) + ";";
        r += "}\r\n";
    }

    Numerador numerador;
    for (const auto& p : documento.Parrafos) {
        EscribeParrafo(r, p, numerador.Siguiente(p), colores);
        const FormatoTexto* previo = nullptr;
        for (const auto& t : p.Tramos) {
            std::string texto;
            if (t.Imagen) {
                if (!ImagenEscribible(*t.Imagen))
                    continue;
            } else {
                EscapaTexto(texto, t.Texto, false);
                if (texto.empty())
                    continue;
            }
            const FormatoTexto& f = t.Formato;
            // Runs of one format are written as one, as the reader merges them.
            if (!previo || !(f == *previo)) {
                EscribeFormato(r, f, fuentes, colores);
                previo = &f;
            }
            if (t.Imagen)
                EscribeImagen(r, *t.Imagen);
            else
                r += texto;
        }
        r += "\\par\r\n";
    }
    r += "}\r\n";
    return r;
}
