#include "Ayuda.h"
#include "analysis/Rollback.h"
#include "common/Errores.h"
#include "drawing/Interaccion.h"
#include "support/UsuarioGuion.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"
#include "tree/Historia.h"
#include "tree/Recuperacion.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The scripted user with an editor: its unsaved document is what the test
// sets, and what a recovery puts back.
struct UsuarioEditor : UsuarioGuion {
    std::optional<TextoEditor> editor;
    std::vector<std::string> cargados;
    int nuevos = 0;
    std::optional<TextoEditor> EditorSinGuardar() override { return editor; }
    void EditorRecupera(const TextoEditor& d) override { editor = d; }
    void EditorCargar(const std::string& ruta) override { cargados.push_back(ruta); }
    void EditorNuevo() override { ++nuevos; }
};

// A program that ran earlier: this very process id, started at another
// moment, as when the system hands the id out again.
Proceso Anterior(uint64_t desfase = 1)
{
    Proceso p = ProcesoActual();
    p.Inicio += desfase;
    return p;
}

// The identity of another running (or zombie) process, read as the program reads its own.
Proceso DeOtro(pid_t pid, char* estado = nullptr)
{
    std::string s;
    EXPECT_TRUE(LeeFicheroEntero("/proc/" + std::to_string(pid) + "/stat", s));
    std::istringstream campos(s.substr(s.rfind(')') + 2));
    std::string c;
    Proceso p;
    p.Pid = pid;
    p.Arranque = ProcesoActual().Arranque;
    for (int i = 3; campos >> c && i <= 22; ++i) {
        if (i == 3 && estado)
            *estado = c[0];
        if (i == 22)
            p.Inicio = std::stoull(c);
    }
    return p;
}

// One program: its tree, the user, the history every change runs through and its copy.
struct Programa {
    UsuarioEditor u;
    Arbol a;
    Historia h{a};
    Recuperacion r;

    Programa(const std::string& carpeta, Proceso yo = ProcesoActual()) : r(carpeta, std::move(yo))
    {
        a.usuario = &u;
        EmpiezaArbolVacio(a);
    }
    // A change of the tree, as every command makes it.
    void Cambia(const std::string& linea)
    {
        h.Ejecuta(kPasoVariables, [&] { a.Variables.push_back(linea); });
    }
    // Writes the copy and waits until it is on disk.
    bool Copia()
    {
        const bool escrita = r.Escribe(a);
        r.Espera();
        return escrita;
    }
};

struct Recupera : ::testing::Test {
    CarpetaTemporal dir;
    std::string carpeta = dir.Ruta("datos/NEMOR/recuperacion");

    // The files of the recovery folder (not those kept aside).
    std::vector<std::string> Copias() const
    {
        std::vector<std::string> r;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(carpeta, ec))
            if (e.is_regular_file())
                r.push_back(e.path().filename().string());
        std::sort(r.begin(), r.end());
        return r;
    }
    // A copy left by a program that is gone: a tree with the line linea, and
    // its editor document when given.
    CopiaRecuperacion Abandona(const std::string& linea, const std::string& ruta = "",
                               std::optional<TextoEditor> editor = std::nullopt, uint64_t desfase = 1)
    {
        Programa p(carpeta, Anterior(desfase));
        if (!ruta.empty()) {
            p.a.NombreFichero = p.a.Archivo.Caption = ruta;
            GuardarArbol(p.a, ruta);
        }
        p.u.editor = std::move(editor);
        p.Cambia(linea);
        EXPECT_TRUE(p.Copia());
        CopiaRecuperacion c;
        c.Nombre = fs::path(p.r.RutaCopia()).stem().string();
        return c;
    }
};

// Where the copies go: the user's data folder, never a relative one.
TEST(CarpetaRecuperacion, DatosDelUsuario)
{
    struct Caso {
        const char* xdg; // nullptr: not set
        const char* esperada;
    };
    const Caso casos[] = {
        {"/srv/datos", "/srv/datos/NEMOR/recuperacion"},
        {nullptr, "/home/ana/.local/share/NEMOR/recuperacion"},
        {"", "/home/ana/.local/share/NEMOR/recuperacion"},
        {"datos/relativos", "/home/ana/.local/share/NEMOR/recuperacion"},
    };
    const std::string xdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    const bool habiaXdg = std::getenv("XDG_DATA_HOME") != nullptr;
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/home/ana", 1);
    for (const auto& c : casos) {
        if (c.xdg)
            ::setenv("XDG_DATA_HOME", c.xdg, 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        EXPECT_EQ(CarpetaRecuperacion(), c.esperada) << (c.xdg ? c.xdg : "(sin XDG_DATA_HOME)");
    }
    ::setenv("HOME", home.c_str(), 1);
    if (habiaXdg)
        ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

// Each program writes its own pair of files, in folders only the user can
// enter; the record says whose tree it is, when and from which process.
TEST_F(Recupera, CadaProgramaSuCopiaEnUnaCarpetaPrivada)
{
    Programa uno(carpeta), otro(carpeta), antes(carpeta, Anterior());
    for (Programa* p : {&uno, &otro, &antes}) {
        p->Cambia("A = 1");
        ASSERT_TRUE(p->Copia());
        EXPECT_FALSE(p->r.TomaError());
    }
    uno.u.editor = TextoEditor{"/tmp/notas\n2.rtf", "{\\rtf1 línea\r\nuno\\par}"};
    uno.a.NombreFichero = dir.Ruta("árbol.nmr");
    uno.Cambia("B = 2");
    const auto antesDeEscribir = std::time(nullptr);
    ASSERT_TRUE(uno.Copia());

    // Two programs alive at once (this process twice), and one that ran
    // earlier under the same id: three names.
    EXPECT_EQ(Copias().size(), 6u);
    for (Programa* p : {&otro, &antes})
        EXPECT_NE(p->r.RutaCopia(), uno.r.RutaCopia());
    EXPECT_NE(fs::path(uno.r.RutaCopia()).filename().string().find("-" + std::to_string(::getpid()) + "-"),
              std::string::npos);

    for (const std::string& d : {carpeta, dir.Ruta("datos/NEMOR"), dir.Ruta("datos")}) {
        struct stat st {};
        ASSERT_EQ(::stat(d.c_str(), &st), 0) << d;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << d;
    }

    // The copy is an ordinary tree file, and the record says the rest.
    const ContenidoArbol c = AnalizaArbol(Lee(uno.r.RutaCopia()), false);
    EXPECT_EQ(c.Variables, (std::vector<std::string>{"A = 1", "B = 2"}));
    EXPECT_EQ(c.Fecha, uno.a.Fecha.Caption);
    const std::string registro = Lee(uno.r.RutaRegistro());
    EXPECT_NE(registro.find("pid=" + std::to_string(::getpid()) + "\n"), std::string::npos);
    EXPECT_NE(registro.find("ruta=" + dir.Ruta("árbol.nmr") + "\n"), std::string::npos);
    EXPECT_NE(registro.find("editor=/tmp/notas\\n2.rtf\n"), std::string::npos);
    const auto hora = std::stoll(registro.substr(registro.find("hora=") + 5));
    EXPECT_GE(hora, antesDeEscribir);
    EXPECT_LE(hora, std::time(nullptr));
}

// The timer's rule: a copy after a change of the tree or the editor, none
// without one, and none at all while the tree has no unsaved changes. The
// user's own file is never written.
TEST_F(Recupera, UnaCopiaTrasCadaCambioYNingunaSinEl)
{
    Programa p(carpeta);
    const std::string suyo = dir.Ruta("suyo.nmr");
    p.a.NombreFichero = p.a.Archivo.Caption = suyo;
    GuardarArbol(p.a, suyo);
    const std::string original = Lee(suyo);
    const auto hora = fs::last_write_time(suyo);

    struct Paso {
        const char* que;
        std::function<void(Programa&)> hace;
        bool escribe;
        std::vector<std::string> variables; // what the copy holds afterwards
    };
    const Paso pasos[] = {
        {"sin cambios", [](Programa&) {}, false, {}},
        {"un cambio", [](Programa& q) { q.Cambia("A = 1"); }, true, {"A = 1"}},
        {"nada nuevo", [](Programa&) {}, false, {"A = 1"}},
        {"una orden que no cambia nada", [](Programa& q) { q.h.EjecutaSinPaso([] {}); }, false, {"A = 1"}},
        {"otro cambio", [](Programa& q) { q.Cambia("B = 2"); }, true, {"A = 1", "B = 2"}},
        {"deshacer", [](Programa& q) { q.h.Deshacer(); }, true, {"A = 1"}},
        {"escribir en el editor",
         [](Programa& q) {
             q.u.editor = TextoEditor{"", "notas"};
             q.r.AnotaCambioEditor();
         },
         true, {"A = 1"}},
    };
    for (const auto& s : pasos) {
        s.hace(p);
        EXPECT_EQ(p.Copia(), s.escribe) << s.que;
        EXPECT_EQ(ExisteFichero(p.r.RutaCopia()), !s.variables.empty()) << s.que;
        if (!s.variables.empty()) {
            EXPECT_EQ(AnalizaArbol(Lee(p.r.RutaCopia()), false).Variables, s.variables) << s.que;
        }
    }
    EXPECT_NE(Lee(p.r.RutaRegistro()).find("\n\nnotas"), std::string::npos);
    EXPECT_EQ(Lee(suyo), original);
    EXPECT_EQ(fs::last_write_time(suyo), hora);

    // Saved: the next tick takes the copy away instead of writing one.
    ArchivoGuardar(p.a);
    EXPECT_FALSE(p.Copia());
    EXPECT_TRUE(Copias().empty());
}

// What moves the count of unsaved changes: every change the history records
// or notices, undo and redo included, but not zooming; a tree that replaces
// another comes in without unsaved changes.
TEST_F(Recupera, QueCuentaComoCambioSinGuardar)
{
    struct Caso {
        const char* que;
        std::function<void(Programa&)> hace;
        bool sinGuardar;
    };
    const Caso casos[] = {
        {"un paso", [](Programa& p) { p.Cambia("B = 2"); }, true},
        {"un paso que no cambia nada", [](Programa& p) { p.h.Ejecuta(kPasoTexto, [] {}); }, false},
        {"deshacer", [](Programa& p) { p.h.Deshacer(); }, true},
        {"deshacer y rehacer",
         [](Programa& p) {
             p.h.Deshacer();
             p.a.Guardado = p.a.Modificaciones;
             p.h.Rehacer();
         },
         true},
        {"Calcular VEM", [](Programa& p) { p.h.EjecutaSinPaso([&] { ResuelveArbol(p.a); }); }, true},
        {"un cambio hecho fuera, visto en la orden siguiente",
         [](Programa& p) {
             p.a.Raiz().Texto = "Raíz";
             p.h.EjecutaSinPaso([] {});
         },
         true},
        {"aumentar y reducir la vista",
         [](Programa& p) {
             p.h.EjecutaSinPaso([&] { ZoomAumentar(p.a); });
             p.h.EjecutaSinPaso([&] { ZoomDisminuir(p.a); });
         },
         false},
        {"un árbol nuevo",
         [](Programa& p) {
             p.u.respuestas.push_back(Respuesta::No);
             p.h.Ejecuta("Nuevo", [&] { ArchivoNuevo(p.a); });
         },
         false},
        {"un árbol nuevo y luego un cambio",
         [](Programa& p) {
             p.u.respuestas.push_back(Respuesta::No);
             ArchivoNuevo(p.a);
             p.Cambia("C = 3");
         },
         true},
    };
    for (const auto& c : casos) {
        Programa p(carpeta);
        p.a.Raiz().Valor = 1; // so that solving changes a value
        p.Cambia("A = 1");
        p.a.Guardado = p.a.Modificaciones;
        c.hace(p);
        EXPECT_EQ(p.a.SinGuardar(), c.sinGuardar) << c.que;
    }
}

// The commands that leave a tree behind or store it remove its copy; those
// cancelled or failed keep it.
TEST_F(Recupera, LosFinalesLimpiosQuitanLaCopia)
{
    const std::string otro = dir.Ruta("otro.nmr");
    {
        Arbol b;
        EscribeArbol(b, otro);
    }
    struct Caso {
        const char* que;
        bool titulado;
        std::vector<Respuesta> respuestas;
        std::vector<std::optional<std::string>> ficheros;
        std::function<void(Programa&)> orden;
        bool quedaCopia;
    };
    const std::string nuevo = dir.Ruta("nuevo.nmr");
    const std::string sinCarpeta = dir.Ruta("no/existe.nmr");
    const Caso casos[] = {
        {"&Guardar", true, {}, {}, [](Programa& p) { ArchivoGuardar(p.a); }, false},
        {"&Guardar sin título", false, {}, {nuevo}, [](Programa& p) { ArchivoGuardar(p.a); }, false},
        {"Guardar &como...", true, {}, {nuevo}, [](Programa& p) { ArchivoGuardarComo(p.a); }, false},
        {"Guardar &como... cancelado", true, {}, {std::nullopt}, [](Programa& p) { ArchivoGuardarComo(p.a); },
         true},
        {"&Guardar que falla", false, {}, {sinCarpeta},
         [](Programa& p) { EXPECT_THROW(ArchivoGuardar(p.a), EInOutError); }, true},
        {"&Nuevo sin guardar", true, {Respuesta::No}, {}, [](Programa& p) { ArchivoNuevo(p.a); }, false},
        {"&Nuevo guardando", true, {Respuesta::Si}, {}, [](Programa& p) { ArchivoNuevo(p.a); }, false},
        {"&Nuevo cancelado", true, {Respuesta::Cancelar}, {}, [](Programa& p) { ArchivoNuevo(p.a); }, true},
        {"&Abrir.. otro árbol", true, {Respuesta::No}, {otro}, [](Programa& p) { ArchivoAbrir(p.a); }, false},
        {"&Abrir.. cancelado", false, {}, {std::nullopt}, [](Programa& p) { ArchivoAbrir(p.a); }, true},
        {"un fichero reciente", false, {}, {},
         [&](Programa& p) {
             p.a.Recientes[0] = otro;
             ArchivoReciente(p.a, 1);
         },
         false},
        {"&Salir tras la pregunta", true, {Respuesta::No}, {},
         [](Programa& p) {
             if (ArchivoSalir(p.a))
                 p.r.Quita();
         },
         false},
        {"&Salir cancelado", true, {Respuesta::Cancelar}, {},
         [](Programa& p) {
             if (ArchivoSalir(p.a))
                 p.r.Quita();
         },
         true},
    };
    for (const auto& c : casos) {
        Programa p(carpeta);
        if (c.titulado) {
            p.a.NombreFichero = p.a.Archivo.Caption = dir.Ruta("suyo.nmr");
            GuardarArbol(p.a, p.a.NombreFichero);
        }
        p.Cambia("A = 1");
        ASSERT_TRUE(p.Copia()) << c.que;
        p.u.respuestas.assign(c.respuestas.begin(), c.respuestas.end());
        p.u.ficheros.assign(c.ficheros.begin(), c.ficheros.end());
        c.orden(p);
        p.r.Limpia(p.a);
        EXPECT_EQ(ExisteFichero(p.r.RutaCopia()), c.quedaCopia) << c.que;
        EXPECT_EQ(ExisteFichero(p.r.RutaRegistro()), c.quedaCopia) << c.que;
        EXPECT_TRUE(p.u.respuestas.empty() && p.u.ficheros.empty()) << c.que;
        p.r.Quita();
    }
}

// Only the copies of programs that have ended are offered. The id alone
// does not tell: the system hands ids out again.
TEST_F(Recupera, LaCopiaDeUnProgramaQueSigueNoSeOfrece)
{
    // Two children: one that waits until it is killed, one that ends at
    // once. Both go when the test does, also when it fails halfway.
    struct Hijo {
        pid_t pid = ::fork();
        explicit Hijo(bool espera)
        {
            if (pid == 0) {
                if (espera)
                    ::pause();
                ::_exit(0);
            }
        }
        ~Hijo()
        {
            if (pid > 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
    };
    const Hijo hijoVivo(true), hijoZombi(false);
    const pid_t vivo = hijoVivo.pid, zombi = hijoZombi.pid;
    ASSERT_GT(vivo, 0);
    ASSERT_GT(zombi, 0);
    // Until its parent waits for it, an ended process stays listed as a zombie.
    char estado = 0;
    Proceso deZombi;
    for (int i = 0; i < 10000 && estado != 'Z'; ++i) {
        deZombi = DeOtro(zombi, &estado);
        if (estado != 'Z')
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(estado, 'Z');

    Proceso otroArranque = ProcesoActual();
    otroArranque.Arranque = "00000000-0000-0000-0000-000000000000";
    Proceso sinId = ProcesoActual();
    sinId.Pid = 0x3ffffff0; // above any id the system hands out
    struct Caso {
        const char* que;
        Proceso autor;
        bool ofrecida;
    };
    const Caso casos[] = {
        {"este programa", ProcesoActual(), false},
        {"otro programa vivo", DeOtro(vivo), false},
        {"el mismo id, empezado en otro momento", Anterior(), true},
        {"el mismo id y momento, en otro arranque", otroArranque, true},
        {"un id que ya no existe", sinId, true},
        {"un programa terminado que nadie ha esperado", deZombi, true},
    };
    for (const auto& c : casos) {
        Programa autor(carpeta, c.autor);
        autor.Cambia("A = 1");
        ASSERT_TRUE(autor.Copia()) << c.que;
        const auto antes = Copias();

        Programa yo(carpeta);
        const CopiasAbandonadas h = yo.r.Abandonadas();
        EXPECT_TRUE(h.Danyadas.empty()) << c.que;
        ASSERT_EQ(h.Copias.size(), c.ofrecida ? 1u : 0u) << c.que;
        if (c.ofrecida) {
            EXPECT_EQ(h.Copias[0].Nombre, fs::path(autor.r.RutaCopia()).stem().string()) << c.que;
            EXPECT_EQ(h.Copias[0].Autor.Pid, c.autor.Pid) << c.que;
        }
        EXPECT_EQ(Copias(), antes) << c.que;
        autor.r.Quita();
    }
}

// A damaged copy is reported and moved aside whole, never deleted; the good
// copies beside it are still offered and the start goes on.
TEST_F(Recupera, UnaCopiaDanyadaSeAvisaYSeGuardaAparte)
{
    struct Caso {
        const char* que;
        std::function<void(const std::string& arbol, const std::string& registro)> estropea;
        const char* motivo;
        bool conRuta; // the message can still name the tree
    };
    const Caso casos[] = {
        {"registro ilegible", [](auto&, auto& r) { EscribeFicheroSeguro(r, "basura"); },
         "el registro no tiene la forma de un registro de recuperación", false},
        {"registro cortado",
         [](auto&, auto& r) {
             const std::string s = Lee(r);
             EscribeFicheroSeguro(r, s.substr(0, s.size() - 3));
         },
         "el texto del editor tiene 3 bytes en vez de 6", false},
        {"registro de otro proceso",
         [](auto&, auto& r) {
             std::string s = Lee(r);
             s.replace(s.find("pid="), 4, "pid=1");
             EscribeFicheroSeguro(r, s);
         },
         "el registro es de otro proceso que la copia", false},
        {"árbol ilegible", [](auto& a, auto&) { EscribeFicheroSeguro(a, "V 2015\r\nx\r\nf\r\n1\r\n2\r\n3\r\nmucho\r\n"); },
         "el árbol no se puede leer: 'mucho' is not a valid integer value", true},
        {"sin árbol", [](auto& a, auto&) { fs::remove(a); }, "falta la copia del árbol", true},
        {"sin registro", [](auto&, auto& r) { fs::remove(r); }, "falta su registro", false},
    };
    const std::string apartadas = carpeta + "/" + kCarpetaApartadas;
    for (const auto& c : casos) {
        fs::remove_all(carpeta);
        const CopiaRecuperacion buena = Abandona("BUENA = 1", "", std::nullopt, 2);
        const CopiaRecuperacion mala = Abandona("MALA = 1", dir.Ruta("mala.nmr"), TextoEditor{"", "123456"});
        const std::string arbol = carpeta + "/" + mala.Nombre + ".nmr";
        const std::string registro = carpeta + "/" + mala.Nombre + ".registro";
        c.estropea(arbol, registro);
        std::map<std::string, std::string> bytes;
        for (const std::string& f : {arbol, registro})
            if (ExisteFichero(f))
                bytes[fs::path(f).filename().string()] = Lee(f);

        Programa p(carpeta);
        const CopiasAbandonadas h = p.r.Abandonadas();
        ASSERT_EQ(h.Copias.size(), 1u) << c.que;
        EXPECT_EQ(h.Copias[0].Nombre, buena.Nombre) << c.que;
        ASSERT_EQ(h.Danyadas.size(), 1u) << c.que;
        const std::string& m = h.Danyadas[0];
        EXPECT_EQ(m.rfind("La copia de recuperación ", 0), 0u) << m;
        EXPECT_NE(m.find(std::string("está dañada (") + c.motivo + ") y se ha guardado aparte en " + apartadas + "."),
                  std::string::npos)
            << m;
        EXPECT_NE(m.find(c.conRuta ? "«" + dir.Ruta("mala.nmr") + "» escrita el " : "«" + mala.Nombre + "»"),
                  std::string::npos)
            << m;
        // Kept aside byte for byte; nothing of it left among the copies.
        for (const auto& [nombre, contenido] : bytes)
            EXPECT_EQ(Lee(apartadas + "/" + nombre), contenido) << c.que << " " << nombre;
        EXPECT_FALSE(ExisteFichero(arbol) || ExisteFichero(registro)) << c.que;
        // Reported once.
        EXPECT_TRUE(p.r.Abandonadas().Danyadas.empty()) << c.que;
    }
}

// When the copy cannot even be moved aside, it stays where it was.
TEST_F(Recupera, UnaCopiaQueNoSePuedeApartarSeQuedaDondeEstaba)
{
    const CopiaRecuperacion mala = Abandona("A = 1");
    const std::string registro = carpeta + "/" + mala.Nombre + ".registro";
    EscribeFicheroSeguro(registro, "basura");
    EscribeFicheroSeguro(carpeta + "/" + kCarpetaApartadas, "un fichero donde iría la carpeta");

    Programa p(carpeta);
    const CopiasAbandonadas h = p.r.Abandonadas();
    EXPECT_TRUE(h.Copias.empty());
    ASSERT_EQ(h.Danyadas.size(), 1u);
    EXPECT_NE(h.Danyadas[0].find("no se ha podido guardar aparte y sigue en " + carpeta), std::string::npos)
        << h.Danyadas[0];
    EXPECT_EQ(Lee(registro), "basura");
    EXPECT_TRUE(ExisteFichero(carpeta + "/" + mala.Nombre + ".nmr"));
}

// "Recuperar" gives back the tree under its original path with its unsaved
// changes, and the editor's text; the first save then goes to that path
// (asking for a name when the tree had none).
TEST_F(Recupera, RecuperarYGuardar)
{
    struct Caso {
        const char* que;
        std::string original; // empty: untitled
        std::optional<TextoEditor> editor;
    };
    const Caso casos[] = {
        {"titulado, con texto del editor", dir.Ruta("inversión.nmr"), TextoEditor{dir.Ruta("notas.rtf"), "{\\rtf1 hola}"}},
        {"sin título, con un texto sin nombre", "", TextoEditor{"", "texto suelto"}},
        {"titulado, sin texto del editor", dir.Ruta("sin_notas.nmr"), std::nullopt},
    };
    for (const auto& c : casos) {
        fs::remove_all(carpeta);
        const CopiaRecuperacion dejada = Abandona("GANANCIA = 1200", c.original, c.editor);

        Programa p(carpeta);
        p.u.editor.reset();
        const CopiasAbandonadas h = p.r.Abandonadas();
        ASSERT_EQ(h.Copias.size(), 1u) << c.que;
        const CopiaRecuperacion& copia = h.Copias[0];
        EXPECT_EQ(copia.RutaOriginal, c.original) << c.que;
        EXPECT_EQ(copia.Editor.has_value(), c.editor.has_value()) << c.que;
        EXPECT_LE(std::time(nullptr) - copia.Hora, 60) << c.que;

        ASSERT_TRUE(p.r.Recupera(p.a, copia)) << c.que;
        EXPECT_EQ(p.a.Variables, std::vector<std::string>{"GANANCIA = 1200"}) << c.que;
        EXPECT_EQ(p.a.NombreFichero, c.original) << c.que;
        EXPECT_EQ(p.a.Archivo.Caption, c.original.empty() ? kSinTitulo : c.original) << c.que;
        EXPECT_TRUE(p.a.SinGuardar()) << c.que;
        if (c.editor) {
            ASSERT_TRUE(p.u.editor) << c.que;
            EXPECT_EQ(p.u.editor->Ruta, c.editor->Ruta) << c.que;
            EXPECT_EQ(p.u.editor->Texto, c.editor->Texto) << c.que;
        } else {
            EXPECT_EQ(p.u.nuevos, 1) << c.que;
        }
        // The copy is now this program's: the old one is gone, and no other
        // program is offered it while this one runs.
        EXPECT_EQ(Copias(), (std::vector<std::string>{fs::path(p.r.RutaCopia()).filename().string(),
                                                      fs::path(p.r.RutaRegistro()).filename().string()}))
            << c.que;
        EXPECT_FALSE(ExisteFichero(carpeta + "/" + dejada.Nombre + ".nmr")) << c.que;
        EXPECT_TRUE(Programa(carpeta).r.Abandonadas().Copias.empty()) << c.que;
        // Nothing new to write until something changes.
        EXPECT_FALSE(p.Copia()) << c.que;

        const std::string destino = c.original.empty() ? dir.Ruta("elegido.nmr") : c.original;
        if (c.original.empty())
            p.u.ficheros.push_back(destino);
        ArchivoGuardar(p.a);
        EXPECT_EQ(p.u.Textos("Guardar").size(), c.original.empty() ? 1u : 0u) << c.que;
        EXPECT_EQ(AnalizaArbol(Lee(destino), false).Variables, std::vector<std::string>{"GANANCIA = 1200"})
            << c.que;
        p.r.Limpia(p.a);
        EXPECT_TRUE(Copias().empty()) << c.que;
    }
}

// Recovering over a tree with unsaved changes asks first; a copy damaged
// since it was listed is reported and kept aside, the tree untouched.
TEST_F(Recupera, RecuperarNoTiraNadaSinPreguntar)
{
    const CopiaRecuperacion dejada = Abandona("VIEJA = 1");
    Programa p(carpeta);
    const CopiasAbandonadas h = p.r.Abandonadas();
    ASSERT_EQ(h.Copias.size(), 1u);
    p.Cambia("ACTUAL = 2");

    p.u.respuestas.push_back(Respuesta::Cancelar);
    EXPECT_FALSE(p.r.Recupera(p.a, h.Copias[0]));
    EXPECT_EQ(p.u.Textos("Pregunta"), std::vector<std::string>{"¿Desea guardar el árbol actual?"});
    EXPECT_EQ(p.a.Variables, std::vector<std::string>{"ACTUAL = 2"});
    EXPECT_TRUE(p.r.Sigue(h.Copias[0]));

    EscribeFicheroSeguro(carpeta + "/" + dejada.Nombre + ".nmr", "V 2015\r\n");
    p.u.respuestas.push_back(Respuesta::No);
    try {
        p.r.Recupera(p.a, h.Copias[0]);
        ADD_FAILURE() << "una copia dañada no se recupera";
    } catch (const ENemor& e) {
        EXPECT_NE(std::string(e.what()).find("está dañada (el árbol no se puede leer"), std::string::npos) << e.what();
    }
    EXPECT_EQ(p.a.Variables, std::vector<std::string>{"ACTUAL = 2"});
    EXPECT_TRUE(ExisteFichero(carpeta + "/" + kCarpetaApartadas + "/" + dejada.Nombre + ".nmr"));
    EXPECT_FALSE(p.r.Sigue(h.Copias[0]));
}

// "Descartar" removes a copy; "Más tarde" leaves it for the next start.
TEST_F(Recupera, DescartarYMasTarde)
{
    Abandona("UNA = 1", "", std::nullopt, 1);
    Abandona("OTRA = 2", "", std::nullopt, 2);
    Programa p(carpeta);
    const CopiasAbandonadas h = p.r.Abandonadas();
    ASSERT_EQ(h.Copias.size(), 2u);
    p.r.Descarta(h.Copias[0]);

    const CopiasAbandonadas despues = Programa(carpeta).r.Abandonadas();
    ASSERT_EQ(despues.Copias.size(), 1u);
    EXPECT_EQ(despues.Copias[0].Nombre, h.Copias[1].Nombre);
    EXPECT_EQ(Copias().size(), 2u);
}

// A copy that cannot be written is reported, never raised, and tried again
// at the next tick even without a new change.
TEST_F(Recupera, UnFalloAlEscribirSeAvisaYSeReintenta)
{
    EscribeFicheroSeguro(dir.Ruta("datos"), "un fichero donde iría la carpeta");
    Programa p(carpeta);
    p.Cambia("A = 1");
    for (int intento = 0; intento < 2; ++intento) {
        EXPECT_TRUE(p.Copia()) << intento;
        const auto e = p.r.TomaError();
        ASSERT_TRUE(e) << intento;
        EXPECT_EQ(e->rfind("No se ha podido escribir la copia de recuperación en " + carpeta + ": ", 0), 0u) << *e;
        EXPECT_FALSE(p.r.TomaError());
    }
    fs::remove(dir.Ruta("datos"));
    EXPECT_TRUE(p.Copia());
    EXPECT_FALSE(p.r.TomaError());
    EXPECT_TRUE(ExisteFichero(p.r.RutaCopia()));
}

} // namespace
