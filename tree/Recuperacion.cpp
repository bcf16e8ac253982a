#include "tree/Recuperacion.h"

#include "common/Errores.h"
#include "common/EscrituraSegura.h"
#include "common/Ini.h"
#include "tree/Arbol.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

const char* const kCarpetaApartadas = "apartadas";

namespace {

const char* const kPrefijo = "copia-";
const char* const kExtArbol = ".nmr";
const char* const kExtRegistro = ".registro";
const char* const kCabecera = "NEMOR-RECUPERACION 1";

std::string Recorta(std::string s)
{
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s;
}

std::string ArranqueActual()
{
    std::string s;
    if (!LeeFicheroEntero("/proc/sys/kernel/random/boot_id", s))
        return {};
    return Recorta(s);
}

template <class T>
bool Numero(std::string_view t, T& v)
{
    if (t.empty())
        return false;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    return r.ec == std::errc() && r.ptr == t.data() + t.size();
}

// The state letter and start time of /proc/<pid>/stat. The command name, in
// parentheses, may hold blanks and parentheses itself: the fields start after
// the last ")".
bool LeeEstadistica(const std::string& texto, char& estado, uint64_t& inicio)
{
    const size_t p = texto.rfind(')');
    if (p == std::string::npos)
        return false;
    std::vector<std::string_view> campos;
    std::string_view resto(texto);
    resto.remove_prefix(p + 1);
    size_t i = 0;
    while (i < resto.size()) {
        while (i < resto.size() && resto[i] == ' ')
            ++i;
        const size_t j = resto.find(' ', i);
        const size_t fin = j == std::string_view::npos ? resto.size() : j;
        if (fin > i)
            campos.push_back(resto.substr(i, fin - i));
        i = fin;
    }
    // Field 3 (the state) is campos[0]; field 22 (the start time) campos[19].
    if (campos.size() < 20 || campos[0].empty())
        return false;
    estado = campos[0][0];
    return Numero(campos[19], inicio);
}

std::string Hex8(uint32_t x)
{
    char b[9];
    std::snprintf(b, sizeof b, "%08x", x);
    return b;
}

// copia-<pid>-<start>-<8 hex digits>: the process that wrote it.
bool LeeNombre(const std::string& nombre, Proceso& p)
{
    const std::string prefijo = kPrefijo;
    if (nombre.rfind(prefijo, 0) != 0)
        return false;
    const std::string_view resto = std::string_view(nombre).substr(prefijo.size());
    const size_t a = resto.find('-');
    const size_t b = a == std::string_view::npos ? a : resto.find('-', a + 1);
    if (b == std::string_view::npos)
        return false;
    const std::string_view azar = resto.substr(b + 1);
    if (azar.size() != 8 || azar.find_first_not_of("0123456789abcdef") != std::string_view::npos)
        return false;
    p = Proceso{};
    return Numero(resto.substr(0, a), p.Pid) && p.Pid > 0 && Numero(resto.substr(a + 1, b - a - 1), p.Inicio);
}

// --- The record ----------------------------------------------------------------
//
//   NEMOR-RECUPERACION 1
//   pid=1234
//   inicio=5678901
//   arranque=<boot id>
//   hora=<seconds since 1970>
//   ruta=<the tree's path; empty when untitled>
//   editor=<the editor document's path>      only with an unsaved document
//   texto=<its size in bytes>                only with an unsaved document
//   <an empty line, then exactly that many bytes of the document's text>
//
// Values escape "\" as "\\" and line ends as "\n" and "\r", so that any path
// fits one line.

struct Registro {
    Proceso autor;
    std::time_t hora = 0;
    std::string ruta;
    std::optional<TextoEditor> editor;
};

std::string Escapa(const std::string& s)
{
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        if (c == '\\')
            r += "\\\\";
        else if (c == '\n')
            r += "\\n";
        else if (c == '\r')
            r += "\\r";
        else
            r += c;
    }
    return r;
}

bool Desescapa(std::string_view s, std::string& r)
{
    r.clear();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            r += s[i];
            continue;
        }
        if (++i == s.size())
            return false;
        switch (s[i]) {
        case '\\': r += '\\'; break;
        case 'n': r += '\n'; break;
        case 'r': r += '\r'; break;
        default: return false;
        }
    }
    return true;
}

std::string TextoRegistro(const Registro& g)
{
    std::string t = std::string(kCabecera) + "\n";
    t += "pid=" + std::to_string(g.autor.Pid) + "\n";
    t += "inicio=" + std::to_string(g.autor.Inicio) + "\n";
    t += "arranque=" + Escapa(g.autor.Arranque) + "\n";
    t += "hora=" + std::to_string(static_cast<long long>(g.hora)) + "\n";
    t += "ruta=" + Escapa(g.ruta) + "\n";
    if (g.editor) {
        t += "editor=" + Escapa(g.editor->Ruta) + "\n";
        t += "texto=" + std::to_string(g.editor->Texto.size()) + "\n";
    }
    t += "\n";
    if (g.editor)
        t += g.editor->Texto;
    return t;
}

// Reads a record; on failure returns the reason in Spanish.
std::optional<std::string> LeeRegistro(const std::string& bytes, Registro& g)
{
    const size_t fin = bytes.find("\n\n");
    if (bytes.rfind(std::string(kCabecera) + "\n", 0) != 0 || fin == std::string::npos)
        return std::string("el registro no tiene la forma de un registro de recuperación");
    std::map<std::string, std::string> v;
    size_t i = std::strlen(kCabecera) + 1;
    while (i < fin + 1) {
        const size_t f = bytes.find('\n', i);
        const std::string_view linea(bytes.data() + i, f - i);
        i = f + 1;
        const size_t igual = linea.find('=');
        if (igual == std::string_view::npos)
            return "línea del registro sin «=»: " + std::string(linea.substr(0, 60));
        std::string valor;
        if (!Desescapa(linea.substr(igual + 1), valor))
            return "valor mal escrito en el registro: " + std::string(linea.substr(0, 60));
        v[std::string(linea.substr(0, igual))] = std::move(valor);
    }
    for (const char* clave : {"pid", "inicio", "hora", "ruta"})
        if (!v.count(clave))
            return std::string("falta «") + clave + "» en el registro";
    long long hora = 0;
    if (!Numero(v["pid"], g.autor.Pid) || !Numero(v["inicio"], g.autor.Inicio) || !Numero(v["hora"], hora))
        return std::string("el proceso o la hora del registro no son números");
    g.autor.Arranque = v["arranque"];
    g.hora = static_cast<std::time_t>(hora);
    g.ruta = v["ruta"];
    const std::string_view cuerpo = std::string_view(bytes).substr(fin + 2);
    if (v.count("texto")) {
        size_t n = 0;
        if (!Numero(v["texto"], n))
            return std::string("el tamaño del texto del editor no es un número");
        if (cuerpo.size() != n)
            return "el texto del editor tiene " + std::to_string(cuerpo.size()) + " bytes en vez de " +
                   std::to_string(n);
        g.editor = TextoEditor{v["editor"], std::string(cuerpo)};
    } else if (!cuerpo.empty()) {
        return std::string("el registro sigue tras su final");
    }
    return std::nullopt;
}

// «path» or «Sin título», and when it was written.
std::string Descripcion(const std::string& ruta, std::time_t hora)
{
    return "de «" + (ruta.empty() ? std::string(kSinTitulo) : ruta) + "» escrita el " + FechaHoraDe(hora);
}

// Creates the missing folders of ruta for this user only.
void CreaCarpetaPrivada(const std::string& ruta)
{
    std::vector<fs::path> faltan;
    std::error_code ec;
    for (fs::path p = ruta; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
        faltan.push_back(p);
        if (p == p.parent_path())
            break;
    }
    for (auto it = faltan.rbegin(); it != faltan.rend(); ++it)
        if (::mkdir(it->c_str(), 0700) != 0 && errno != EEXIST)
            throw EInOutError("No se puede crear la carpeta \"" + it->string() + "\". " + std::strerror(errno));
    // Copies hold the user's work: nobody else reads the folder, also when it was made before.
    if (::chmod(ruta.c_str(), 0700) != 0)
        throw EInOutError("No se puede proteger la carpeta \"" + ruta + "\". " + std::strerror(errno));
}

// Removes a file; a file already gone is fine. The error text otherwise.
std::optional<std::string> Borra(const std::string& ruta)
{
    if (::unlink(ruta.c_str()) == 0 || errno == ENOENT)
        return std::nullopt;
    return "No se puede borrar \"" + ruta + "\". " + std::strerror(errno);
}

// Moves both files of the copy nombre into the kept-aside folder and gives
// the message that reports it.
std::string Aparta(const std::string& carpeta, const std::string& nombre, const std::string& descripcion,
                   const std::string& motivo)
{
    const std::string apartadas = (fs::path(carpeta) / kCarpetaApartadas).string();
    const std::string inicio = "La copia de recuperación " + descripcion + " está dañada (" + motivo + ")";
    std::string fallo;
    try {
        CreaCarpetaPrivada(apartadas);
        for (const char* ext : {kExtArbol, kExtRegistro}) {
            const fs::path origen = fs::path(carpeta) / (nombre + ext);
            std::error_code ec;
            if (!fs::exists(origen, ec))
                continue;
            // Never over an earlier copy kept aside under the same name.
            fs::path destino = fs::path(apartadas) / (nombre + ext);
            for (int i = 1; fs::exists(destino, ec); ++i)
                destino = fs::path(apartadas) / (nombre + "-" + std::to_string(i) + ext);
            if (::rename(origen.c_str(), destino.c_str()) != 0)
                throw EInOutError(std::string(std::strerror(errno)));
        }
    } catch (const std::exception& e) {
        fallo = e.what();
    }
    if (!fallo.empty())
        return inicio + "; no se ha podido guardar aparte y sigue en " + carpeta + ": " + fallo;
    return inicio + " y se ha guardado aparte en " + apartadas + ".";
}

} // namespace

// --- Folder and processes ------------------------------------------------------

std::string CarpetaRecuperacion()
{
    const std::string base = CarpetaXdg("XDG_DATA_HOME", ".local/share");
    return (base.empty() ? std::string(".local/share") : base) + "/NEMOR/recuperacion";
}

Proceso ProcesoActual()
{
    Proceso p;
    p.Pid = static_cast<int>(::getpid());
    std::string stat;
    char estado = 0;
    if (LeeFicheroEntero("/proc/self/stat", stat))
        LeeEstadistica(stat, estado, p.Inicio);
    p.Arranque = ArranqueActual();
    return p;
}

bool ProcesoVivo(const Proceso& p)
{
    if (p.Pid <= 0)
        return false;
    std::string stat;
    if (!LeeFicheroEntero("/proc/" + std::to_string(p.Pid) + "/stat", stat)) {
        std::error_code ec;
        if (fs::exists("/proc/self/stat", ec))
            return false;
        // No /proc to ask: the process id alone has to do.
        return ::kill(p.Pid, 0) == 0 || errno == EPERM;
    }
    char estado = 0;
    uint64_t inicio = 0;
    if (!LeeEstadistica(stat, estado, inicio))
        return false;
    // A zombie has ended; only its parent has not been told yet.
    if (estado == 'Z' || estado == 'X' || estado == 'x')
        return false;
    if (inicio != p.Inicio)
        return false;
    if (!p.Arranque.empty()) {
        const std::string ahora = ArranqueActual();
        if (!ahora.empty() && ahora != p.Arranque)
            return false;
    }
    return true;
}

// --- The copy of this program ---------------------------------------------------

Recuperacion::Recuperacion(std::string carpeta, Proceso yo) : carpeta_(std::move(carpeta)), yo_(std::move(yo))
{
    std::random_device azar;
    nombre_ = kPrefijo + std::to_string(yo_.Pid) + "-" + std::to_string(yo_.Inicio) + "-" +
              Hex8(static_cast<uint32_t>(azar()));
}

Recuperacion::~Recuperacion()
{
    {
        std::lock_guard l(m_);
        fin_ = true;
    }
    cv_.notify_all();
    if (hilo_.joinable())
        hilo_.join();
}

std::string Recuperacion::RutaCopia() const
{
    return (fs::path(carpeta_) / (nombre_ + kExtArbol)).string();
}

std::string Recuperacion::RutaRegistro() const
{
    return (fs::path(carpeta_) / (nombre_ + kExtRegistro)).string();
}

Recuperacion::Trabajo Recuperacion::Prepara(const Arbol& a, const std::optional<TextoEditor>& editor) const
{
    Registro g;
    g.autor = yo_;
    g.hora = std::time(nullptr);
    g.ruta = a.NombreFichero;
    g.editor = editor;
    // The date line is the Fecha label, so a recovered tree shows the date it showed.
    return {TextoArbol(a, RutaCopia(), a.Fecha.Caption), TextoRegistro(g)};
}

void Recuperacion::Entrega(Trabajo t)
{
    {
        std::lock_guard l(m_);
        // A copy not yet started is outdated by this one: only the newest is written.
        pendiente_ = std::move(t);
        if (!hilo_.joinable())
            hilo_ = std::thread(&Recuperacion::Trabaja, this);
    }
    cv_.notify_all();
}

void Recuperacion::Trabaja()
{
    std::unique_lock l(m_);
    for (;;) {
        cv_.wait(l, [this] { return fin_ || pendiente_.has_value(); });
        if (!pendiente_)
            return; // the end, with nothing left to write
        Trabajo t = std::move(*pendiente_);
        pendiente_.reset();
        ocupado_ = true;
        const bool habiaPar = par_;
        l.unlock();
        std::string error;
        try {
            CreaCarpetaPrivada(carpeta_);
            EscribeFicheroSeguro(RutaCopia(), t.arbol);
            EscribeFicheroSeguro(RutaRegistro(), t.registro);
        } catch (const std::exception& e) {
            error = e.what();
            // A first copy that fails halfway takes its tree back: no half
            // pair stays behind to be reported as damaged.
            if (!habiaPar)
                Borra(RutaCopia());
        }
        l.lock();
        ocupado_ = false;
        if (error.empty()) {
            par_ = true;
        } else {
            fallo_ = true;
            error_ = "No se ha podido escribir la copia de recuperación en " + carpeta_ + ": " + error;
        }
        cv_.notify_all();
    }
}

bool Recuperacion::Escribe(const Arbol& a)
{
    try {
        if (!a.SinGuardar()) {
            if (hayCopia_)
                Quita();
            return false;
        }
        bool reintenta;
        {
            std::lock_guard l(m_);
            reintenta = fallo_;
            fallo_ = false;
        }
        if (!reintenta && escrita_ == a.Modificaciones && editorEscrito_ == cambiosEditor_)
            return false;
        std::optional<TextoEditor> editor;
        if (a.usuario)
            editor = a.usuario->EditorSinGuardar();
        Entrega(Prepara(a, editor));
        escrita_ = a.Modificaciones;
        editorEscrito_ = cambiosEditor_;
        hayCopia_ = true;
        return true;
    } catch (const std::exception& e) {
        std::lock_guard l(m_);
        fallo_ = true;
        error_ = std::string("No se ha podido preparar la copia de recuperación: ") + e.what();
        return false;
    }
}

void Recuperacion::AnotaCambioEditor()
{
    ++cambiosEditor_;
}

void Recuperacion::Limpia(const Arbol& a)
{
    if (!a.SinGuardar())
        Quita();
}

void Recuperacion::QuitaFicheros()
{
    // The record first: a copy interrupted here still has its tree.
    for (const std::string& ruta : {RutaRegistro(), RutaCopia()})
        if (auto e = Borra(ruta))
            error_ = "No se ha podido borrar la copia de recuperación: " + *e;
    par_ = false;
}

void Recuperacion::Quita()
{
    {
        std::unique_lock l(m_);
        pendiente_.reset();
        cv_.wait(l, [this] { return !ocupado_; });
        QuitaFicheros();
        fallo_ = false;
    }
    escrita_.reset();
    hayCopia_ = false;
}

void Recuperacion::Espera()
{
    std::unique_lock l(m_);
    cv_.wait(l, [this] { return !pendiente_ && !ocupado_; });
}

std::optional<std::string> Recuperacion::TomaError()
{
    std::lock_guard l(m_);
    auto e = std::move(error_);
    error_.reset();
    return e;
}

// --- What earlier programs left ------------------------------------------------------

CopiasAbandonadas Recuperacion::Abandonadas()
{
    CopiasAbandonadas r;
    try {
        std::error_code ec;
        if (!fs::is_directory(carpeta_, ec))
            return r;
        struct Par {
            bool arbol = false;
            bool registro = false;
        };
        std::map<std::string, Par> pares;
        for (fs::directory_iterator it(carpeta_, ec), fin; !ec && it != fin; it.increment(ec)) {
            if (!it->is_regular_file(ec))
                continue;
            const std::string n = it->path().filename().string();
            Proceso autor;
            if (n[0] == '.') {
                // A temporary file of a safe write that never finished: never
                // a whole copy, only the leftovers of one.
                const size_t punto = n.find('.', 1);
                if (LeeNombre(n.substr(1, punto == std::string::npos ? punto : punto - 1), autor) &&
                    !ProcesoVivo(autor))
                    Borra(it->path().string());
                continue;
            }
            for (const char* ext : {kExtArbol, kExtRegistro}) {
                const std::string e = ext;
                if (n.size() > e.size() && n.compare(n.size() - e.size(), e.size(), e) == 0) {
                    const std::string base = n.substr(0, n.size() - e.size());
                    if (!LeeNombre(base, autor))
                        continue;
                    (e == kExtArbol ? pares[base].arbol : pares[base].registro) = true;
                }
            }
        }
        if (ec)
            throw EInOutError(ec.message());

        for (const auto& [nombre, par] : pares) {
            Proceso autor;
            LeeNombre(nombre, autor);
            Registro g;
            std::optional<std::string> motivo;
            bool leido = false;
            if (par.registro) {
                std::string bytes;
                if (!LeeFicheroEntero((fs::path(carpeta_) / (nombre + kExtRegistro)).string(), bytes))
                    motivo = "el registro no se puede leer";
                else
                    motivo = LeeRegistro(bytes, g);
                if (!motivo && (g.autor.Pid != autor.Pid || g.autor.Inicio != autor.Inicio))
                    motivo = "el registro es de otro proceso que la copia";
                leido = !motivo;
                if (leido)
                    autor.Arranque = g.autor.Arranque;
            }
            if (ProcesoVivo(autor))
                continue; // a program still running keeps its copy up to date
            if (!motivo && !par.registro)
                motivo = "falta su registro";
            if (!motivo && !par.arbol)
                motivo = "falta la copia del árbol";
            if (!motivo) {
                std::string bytes;
                if (!LeeFicheroEntero((fs::path(carpeta_) / (nombre + kExtArbol)).string(), bytes)) {
                    motivo = "la copia del árbol no se puede leer";
                } else {
                    try {
                        AnalizaArbol(bytes, false);
                    } catch (const std::exception& e) {
                        motivo = std::string("el árbol no se puede leer: ") + e.what();
                    }
                }
            }
            if (motivo) {
                const std::string d = leido ? Descripcion(g.ruta, g.hora) : "«" + nombre + "»";
                r.Danyadas.push_back(Aparta(carpeta_, nombre, d, *motivo));
                continue;
            }
            CopiaRecuperacion c;
            c.Nombre = nombre;
            c.RutaOriginal = g.ruta;
            c.Hora = g.hora;
            c.Autor = autor;
            c.Editor = std::move(g.editor);
            r.Copias.push_back(std::move(c));
        }
    } catch (const std::exception& e) {
        r.Danyadas.push_back("No se ha podido revisar la carpeta de recuperación " + carpeta_ + ": " + e.what());
    }
    std::stable_sort(r.Copias.begin(), r.Copias.end(),
                     [](const CopiaRecuperacion& x, const CopiaRecuperacion& y) { return x.Hora > y.Hora; });
    return r;
}

bool Recuperacion::Recupera(Arbol& a, const CopiaRecuperacion& c)
{
    if (a.SinGuardar() && !PreguntarGuardar(a))
        return false;
    const std::string descripcion = Descripcion(c.RutaOriginal, c.Hora);
    std::string bytes;
    if (!LeeFicheroEntero((fs::path(carpeta_) / (c.Nombre + kExtArbol)).string(), bytes))
        throw ENemor("La copia de recuperación " + descripcion + " ya no está en " + carpeta_ + ".");
    ContenidoArbol contenido;
    try {
        contenido = AnalizaArbol(bytes, false);
    } catch (const std::exception& e) {
        throw ENemor(Aparta(carpeta_, c.Nombre, descripcion, std::string("el árbol no se puede leer: ") + e.what()));
    }
    CargaContenido(a, contenido);
    a.NombreFichero = c.RutaOriginal;
    a.Archivo.Caption = c.RutaOriginal.empty() ? std::string(kSinTitulo) : c.RutaOriginal;
    a.Archivo.Visible = a.opciones.SelArchivo;
    a.Fecha.Caption = contenido.Fecha;
    a.Fecha.Visible = a.opciones.SelFecha;
    // Not what its file holds (and an untitled tree has no file at all).
    ++a.Modificaciones;

    if (IUsuario* u = a.usuario) {
        if (c.Editor)
            u->EditorRecupera(*c.Editor);
        else if (ExisteFichero(a.DocumentoEditor))
            u->EditorCargar(a.DocumentoEditor);
        else
            u->EditorNuevo();
    }

    // The copy becomes this program's own before the old one goes, so the
    // work is on disk all along.
    Entrega(Prepara(a, c.Editor));
    Espera();
    escrita_ = a.Modificaciones;
    editorEscrito_ = cambiosEditor_;
    hayCopia_ = true;
    bool escrita;
    {
        std::lock_guard l(m_);
        escrita = !fallo_;
    }
    if (escrita && c.Nombre != nombre_) {
        Borra((fs::path(carpeta_) / (c.Nombre + kExtRegistro)).string());
        Borra((fs::path(carpeta_) / (c.Nombre + kExtArbol)).string());
    }
    return true;
}

void Recuperacion::Descarta(const CopiaRecuperacion& c)
{
    for (const char* ext : {kExtRegistro, kExtArbol})
        if (auto e = Borra((fs::path(carpeta_) / (c.Nombre + ext)).string()))
            throw EInOutError("No se ha podido descartar la copia de recuperación " +
                              Descripcion(c.RutaOriginal, c.Hora) + ". " + *e);
}

bool Recuperacion::Sigue(const CopiaRecuperacion& c) const
{
    return ExisteFichero((fs::path(carpeta_) / (c.Nombre + kExtArbol)).string());
}
