#include "common/Ini.h"

#include "common/Decimal.h"
#include "common/EscrituraSegura.h"
#include "common/Errores.h"

#include <cstdlib>
#include <filesystem>

namespace {

std::string Recorta(const std::string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t'))
        ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t'))
        --b;
    return s.substr(a, b - a);
}

bool IgualSinMayusculas(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

const char* Entorno(const char* nombre)
{
    const char* v = std::getenv(nombre);
    return (v && *v) ? v : nullptr;
}

} // namespace

std::string RutaIni()
{
    if (const char* p = Entorno("NEMOR_INI"))
        return p;
    const std::string carpeta = CarpetaXdg("XDG_CONFIG_HOME", ".config");
    return carpeta.empty() ? "NEMOR.ini" : carpeta + "/NEMOR.ini";
}

std::string CarpetaXdg(const char* variable, const char* bajoHome)
{
    if (const char* x = Entorno(variable); x && x[0] == '/')
        return x;
    if (const char* h = Entorno("HOME"))
        return std::string(h) + "/" + bajoHome;
    return {};
}

FicheroIni::FicheroIni(std::string ruta) : ruta_(std::move(ruta))
{
    std::string contenido;
    if (!LeeFicheroEntero(ruta_, contenido))
        return;
    if (contenido.rfind("\xEF\xBB\xBF", 0) == 0)
        contenido.erase(0, 3);
    std::string seccion;
    size_t i = 0;
    while (i < contenido.size()) {
        size_t fin = contenido.find('\n', i);
        if (fin == std::string::npos)
            fin = contenido.size();
        std::string texto = contenido.substr(i, fin - i);
        i = fin + 1;
        if (!texto.empty() && texto.back() == '\r')
            texto.pop_back();
        Linea l;
        l.texto = texto;
        const std::string t = Recorta(texto);
        if (!t.empty() && t.front() == '[') {
            const size_t cierre = t.find(']');
            seccion = Recorta(t.substr(1, cierre == std::string::npos ? std::string::npos : cierre - 1));
            l.tipo = Linea::Seccion;
            l.seccion = seccion;
        } else if (!t.empty() && t.front() != ';' && t.find('=') != std::string::npos) {
            const size_t igual = t.find('=');
            l.tipo = Linea::Clave;
            l.seccion = seccion;
            l.clave = Recorta(t.substr(0, igual));
            std::string v = Recorta(t.substr(igual + 1));
            // Matching quotes around a value are not part of it.
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            l.valor = v;
        }
        lineas_.push_back(std::move(l));
    }
}

const FicheroIni::Linea* FicheroIni::Busca(const std::string& seccion, const std::string& clave) const
{
    for (const auto& l : lineas_)
        if (l.tipo == Linea::Clave && IgualSinMayusculas(l.seccion, seccion) && IgualSinMayusculas(l.clave, clave))
            return &l;
    return nullptr;
}

bool FicheroIni::ExisteClave(const std::string& seccion, const std::string& clave) const
{
    return Busca(seccion, clave) != nullptr;
}

std::string FicheroIni::LeeCadena(const std::string& seccion, const std::string& clave,
                                  const std::string& defecto) const
{
    const Linea* l = Busca(seccion, clave);
    return l ? l->valor : defecto;
}

int32_t FicheroIni::LeeEntero(const std::string& seccion, const std::string& clave, int32_t defecto) const
{
    const Linea* l = Busca(seccion, clave);
    int32_t v;
    if (l && TryStrToInt(l->valor, v))
        return v;
    return defecto;
}

bool FicheroIni::LeeBooleano(const std::string& seccion, const std::string& clave, bool defecto) const
{
    return LeeEntero(seccion, clave, defecto ? 1 : 0) != 0;
}

double FicheroIni::LeeReal(const std::string& seccion, const std::string& clave, double defecto) const
{
    const Linea* l = Busca(seccion, clave);
    double v;
    if (l && TryStrToFloat(l->valor, v))
        return v;
    return defecto;
}

void FicheroIni::EscribeCadena(const std::string& seccion, const std::string& clave, const std::string& valor)
{
    // A line break in a value would end the line and start another key.
    std::string limpio;
    for (char c : valor)
        if (c != '\r' && c != '\n')
            limpio += c;
    for (auto& l : lineas_) {
        if (l.tipo == Linea::Clave && IgualSinMayusculas(l.seccion, seccion) && IgualSinMayusculas(l.clave, clave)) {
            l.valor = limpio;
            l.texto = l.clave + "=" + limpio;
            Guarda();
            return;
        }
    }
    // A new key goes at the end of its section; a new section at the end of the file.
    size_t donde = lineas_.size();
    bool haySeccion = false;
    for (size_t i = 0; i < lineas_.size(); ++i) {
        const Linea& l = lineas_[i];
        if (l.tipo == Linea::Seccion && IgualSinMayusculas(l.seccion, seccion)) {
            haySeccion = true;
            donde = i + 1;
        } else if (haySeccion && l.tipo == Linea::Seccion) {
            break;
        } else if (haySeccion && (l.tipo == Linea::Clave || !Recorta(l.texto).empty())) {
            donde = i + 1;
        }
    }
    Linea nueva;
    nueva.tipo = Linea::Clave;
    nueva.seccion = seccion;
    nueva.clave = clave;
    nueva.valor = limpio;
    nueva.texto = clave + "=" + limpio;
    if (!haySeccion) {
        if (!lineas_.empty() && !Recorta(lineas_.back().texto).empty())
            lineas_.push_back(Linea{});
        Linea cabecera;
        cabecera.tipo = Linea::Seccion;
        cabecera.seccion = seccion;
        cabecera.texto = "[" + seccion + "]";
        lineas_.push_back(cabecera);
        lineas_.push_back(nueva);
    } else {
        lineas_.insert(lineas_.begin() + static_cast<long>(donde), nueva);
    }
    Guarda();
}

void FicheroIni::EscribeEntero(const std::string& seccion, const std::string& clave, int32_t valor)
{
    EscribeCadena(seccion, clave, std::to_string(valor));
}

void FicheroIni::EscribeBooleano(const std::string& seccion, const std::string& clave, bool valor)
{
    EscribeCadena(seccion, clave, valor ? "1" : "0");
}

void FicheroIni::Guarda()
{
    if (diferido_) {
        pendiente_ = true;
        return;
    }
    std::string texto;
    for (const auto& l : lineas_) {
        texto += l.texto;
        texto += '\n';
    }
    try {
        const std::filesystem::path carpeta = std::filesystem::path(ruta_).parent_path();
        if (!carpeta.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(carpeta, ec);
        }
        EscribeFicheroSeguro(ruta_, texto);
    } catch (const EInOutError&) {
        throw EInOutError("Unable to write to " + ruta_);
    }
}

void FicheroIni::Volcar()
{
    diferido_ = false;
    if (pendiente_) {
        pendiente_ = false;
        Guarda();
    }
}
