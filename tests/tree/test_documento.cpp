#include "Ayuda.h"
#include "common/Errores.h"
#include "common/Ini.h"
#include "support/UsuarioGuion.h"
#include "tree/Documento.h"
#include "tree/FicheroArbol.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>

namespace {

const std::string kPregunta = "¿Desea guardar el árbol actual?";

// A tree of n nodes: a decision root with n - 1 terminal children.
void ArbolDe(Arbol& a, int n)
{
    a.NuevoArbolVacio();
    if (n > 1)
        a.CrearNodo(0, NodoDecision, 0);
    for (int i = 1; i < n; ++i)
        NuevoHijo(a, 0);
}

struct Documento : ::testing::Test {
    CarpetaTemporal dir;
    UsuarioGuion u;
    Arbol a;
    Documento() { a.usuario = &u; }

    // Writes a valid tree of n nodes to a file of the folder.
    std::string Fichero(const std::string& nombre, int n)
    {
        Arbol otro;
        ArbolDe(otro, n);
        const std::string ruta = dir.Ruta(nombre);
        EscribeArbol(otro, ruta);
        return ruta;
    }
    int Preguntas() const { return static_cast<int>(u.Textos("Pregunta").size()); }
};

TEST_F(Documento, NuevoPreguntaSiempre)
{
    struct Caso {
        const char* que;
        std::vector<Respuesta> respuestas;
        std::vector<std::optional<std::string>> dialogo; // answers of the save dialog
        bool sigue;                                      // New went on
        bool guardado;                                   // a file was written
    };
    const Caso casos[] = {
        {"No", {Respuesta::No}, {}, true, false},
        {"Cancelar", {Respuesta::Cancelar}, {}, false, false},
        {"Sí sin título y diálogo cancelado", {Respuesta::Si}, {std::nullopt}, true, false},
        {"Sí sin título y un nombre", {Respuesta::Si}, {"guardado.nmr"}, true, true},
    };
    for (const auto& c : casos) {
        for (int nodos : {1, 3}) {
            ArbolDe(a, nodos);
            a.Archivo.Caption = kSinTitulo;
            a.Variables = {"A = 1"};
            u.llamadas.clear();
            u.respuestas.assign(c.respuestas.begin(), c.respuestas.end());
            u.ficheros.clear();
            for (const auto& d : c.dialogo)
                u.ficheros.push_back(d ? std::optional<std::string>(dir.Ruta(*d)) : std::nullopt);
            EXPECT_EQ(ArchivoNuevo(a), c.sigue) << c.que;
            ASSERT_EQ(u.llamadas.size(), 1 + c.dialogo.size()) << c.que;
            const auto& p = u.llamadas[0];
            EXPECT_EQ(p.texto, kPregunta);
            EXPECT_EQ(p.titulo, "Atención");
            EXPECT_EQ(p.botones, Botones::SiNoCancelar);
            EXPECT_EQ(p.icono, Icono::Exclamacion);
            if (!c.dialogo.empty()) {
                EXPECT_EQ(u.llamadas[1].tipo, "Guardar");
                EXPECT_EQ(u.llamadas[1].texto, "Archivo Arbol Decision TORVA|*.nmr");
            }
            EXPECT_EQ(a.NumeroNodos(), c.sigue ? 1 : nodos) << c.que;
            EXPECT_EQ(a.Variables.empty(), c.sigue) << c.que;
            EXPECT_EQ(a.Archivo.Caption, kSinTitulo);
            EXPECT_TRUE(a.NombreFichero.empty());
            const bool existe = ExisteFichero(dir.Ruta("guardado.nmr"));
            EXPECT_EQ(existe, c.guardado) << c.que;
            if (existe) {
                EXPECT_EQ(AnalizaArbol(Lee(dir.Ruta("guardado.nmr")), false).Nodos.size(),
                          static_cast<size_t>(nodos));
                std::filesystem::remove(dir.Ruta("guardado.nmr"));
            }
        }
    }
}

TEST_F(Documento, SiConNombreGuardaAlli)
{
    const std::string ruta = Fichero("viejo.nmr", 2);
    ArbolDe(a, 4);
    a.NombreFichero = ruta;
    u.respuestas = {Respuesta::Si};
    EXPECT_TRUE(ArchivoNuevo(a));
    EXPECT_TRUE(u.Textos("Guardar").empty()); // no dialog
    EXPECT_EQ(AnalizaArbol(Lee(ruta), false).Nodos.size(), 4u);
    EXPECT_EQ(a.Recientes[0], ruta);
}

TEST_F(Documento, ElEditorPuedeCancelar)
{
    struct EditorQueCancela : UsuarioGuion {
        bool EditorPreguntaGuardar() override { return false; }
    } e;
    a.usuario = &e;
    ArbolDe(a, 3);
    e.respuestas = {Respuesta::No};
    EXPECT_FALSE(ArchivoNuevo(a));
    EXPECT_EQ(a.NumeroNodos(), 3);
}

TEST_F(Documento, AbrirPreguntaSegunTituloYTamanyo)
{
    const std::string destino = Fichero("destino.nmr", 5);
    struct Caso {
        const char* que;
        bool titulado;
        int nodos;
        int preguntas;
    };
    const Caso casos[] = {
        {"con título: la pregunta de Nuevo", true, 1, 1},
        {"con título y grande: solo la de Nuevo", true, 4, 1},
        {"sin título, dos nodos: ninguna", false, 2, 0},
        {"sin título, tres nodos: la del lector", false, 3, 1},
    };
    for (const auto& c : casos) {
        ArbolDe(a, c.nodos);
        a.Archivo.Caption = c.titulado ? "/algo.nmr" : kSinTitulo;
        a.NombreFichero = c.titulado ? dir.Ruta("algo.nmr") : "";
        u.llamadas.clear();
        u.respuestas = {Respuesta::No, Respuesta::No};
        u.ficheros = {destino};
        ArchivoAbrir(a);
        EXPECT_EQ(Preguntas(), c.preguntas) << c.que;
        EXPECT_EQ(a.NumeroNodos(), 5) << c.que;
        EXPECT_EQ(a.NombreFichero, destino);
        EXPECT_EQ(a.Archivo.Caption, destino);
        EXPECT_EQ(a.Recientes[0], destino);
        EXPECT_TRUE(u.Textos("Error").empty());
        const auto abrir = u.llamadas[static_cast<size_t>(c.titulado ? 1 : 0)];
        EXPECT_EQ(abrir.tipo, "Abrir");
        EXPECT_EQ(abrir.texto, "Archivo Arbol Decision TORVA|*.nmr");
    }
}

TEST_F(Documento, AbrirCanceladoOFallido)
{
    const std::string bueno = Fichero("bueno.nmr", 3);
    const std::string roto = dir.Ruta("roto.nmr");
    std::ofstream(roto, std::ios::binary) << "V 2015\r\nx\r\nf\r\n1\r\n2\r\n3\r\n1\r\n1\r\n#\r\n0\r\n";
    const std::string noEsta = dir.Ruta("no-esta.nmr");

    // Cancelling the dialog: nothing read, nothing noted.
    ArbolDe(a, 2);
    u.ficheros = {std::nullopt};
    ArchivoAbrir(a);
    EXPECT_EQ(a.NumeroNodos(), 2);
    EXPECT_EQ(a.Recientes[0], "");

    // Cancelling the reader's question: the tree stays and the file is not noted.
    ArbolDe(a, 3);
    u.respuestas = {Respuesta::Cancelar};
    u.ficheros = {bueno};
    ArchivoAbrir(a);
    EXPECT_EQ(a.NumeroNodos(), 3);
    EXPECT_EQ(a.Recientes[0], "");
    EXPECT_TRUE(u.Textos("Error").empty());

    // A missing file is reported and still noted.
    u.ficheros = {noEsta};
    u.respuestas = {Respuesta::No};
    ArchivoAbrir(a);
    EXPECT_EQ(u.Textos("Error"), (std::vector<std::string>{"No existe el fichero " + noEsta}));
    EXPECT_EQ(a.Recientes[0], noEsta);

    // A damaged file: the box, a new untitled tree, the list untouched, and a
    // later Save asks for a name instead of overwriting the damaged file.
    u.llamadas.clear();
    const std::string bytes = Lee(roto);
    u.ficheros = {roto};
    ArchivoAbrir(a);
    EXPECT_EQ(u.Textos("Error"), (std::vector<std::string>{"El fichero seleccionado no se corresponde con un árbol de "
                                                           "decisión NEMOR, o podría estar dañado."}));
    EXPECT_EQ(a.Recientes[0], noEsta);
    EXPECT_EQ(a.Archivo.Caption, kSinTitulo);
    EXPECT_EQ(a.NombreFichero, "");
    CompruebaTabla(a);
    u.ficheros = {std::nullopt};
    ArchivoGuardar(a);
    EXPECT_EQ(u.Textos("Guardar").size(), 1u);
    EXPECT_EQ(Lee(roto), bytes);
}

TEST_F(Documento, GuardarYGuardarComo)
{
    ArbolDe(a, 3);
    a.opciones.SelFecha = false;
    a.Fecha.Caption = "antes";
    // Save on an untitled tree is Save As.
    const std::string ruta = dir.Ruta("nuevo.nmr");
    u.ficheros = {ruta};
    ArchivoGuardar(a);
    EXPECT_EQ(a.NombreFichero, ruta);
    EXPECT_EQ(a.Archivo.Caption, ruta);
    EXPECT_TRUE(a.Archivo.Visible);
    EXPECT_NE(a.Fecha.Caption, "antes");
    EXPECT_FALSE(a.Fecha.Visible);
    EXPECT_EQ(a.Recientes[0], ruta);
    // Save on a titled tree writes there and leaves the labels alone.
    NuevoHijo(a, 0);
    a.Fecha.Caption = "sin tocar";
    ArchivoGuardar(a);
    EXPECT_EQ(a.Fecha.Caption, "sin tocar");
    EXPECT_EQ(AnalizaArbol(Lee(ruta), false).Nodos.size(), 4u);
    EXPECT_TRUE(u.ficheros.empty());
    // Save As cancelled changes nothing.
    u.ficheros = {std::nullopt};
    EXPECT_FALSE(ArchivoGuardarComo(a));
    EXPECT_EQ(a.NombreFichero, ruta);
}

TEST_F(Documento, SalirConCancelarSigueAbierto)
{
    ArbolDe(a, 3);
    u.respuestas = {Respuesta::Cancelar};
    EXPECT_FALSE(ArchivoSalir(a));
    EXPECT_EQ(a.NumeroNodos(), 3);
    u.respuestas = {Respuesta::No};
    EXPECT_TRUE(ArchivoSalir(a));
    EXPECT_EQ(u.Textos("Pregunta"), (std::vector<std::string>{kPregunta, kPregunta}));
}

TEST_F(Documento, ListaDeRecientes)
{
    struct Caso {
        const char* que;
        std::array<std::string, 4> antes;
        std::string ruta;
        std::array<std::string, 4> despues;
    };
    const Caso casos[] = {
        {"en una lista vacía", {"", "", "", ""}, "/a.nmr", {"/a.nmr", "", "", ""}},
        {"uno nuevo desplaza", {"/a", "/b", "", ""}, "/c", {"/c", "/a", "/b", ""}},
        {"el quinto tira el más viejo", {"/a", "/b", "/c", "/d"}, "/e", {"/e", "/a", "/b", "/c"}},
        {"uno que ya está sube sin repetirse", {"/a", "/b", "/c", "/d"}, "/c", {"/c", "/a", "/b", "/d"}},
        {"el primero se queda", {"/a", "/b", "", ""}, "/a", {"/a", "/b", "", ""}},
        {"entrada con & insertado", {"/a", "/b", "/ca&sa/x.nmr", "/d"}, "/casa/x.nmr",
         {"/casa/x.nmr", "/a", "/b", "/d"}},
        {"la entrada misma, con su &", {"/a", "/ca&sa/x.nmr", "", ""}, "/ca&sa/x.nmr",
         {"/ca&sa/x.nmr", "/a", "", ""}},
        {"una ruta con & de verdad no es otra sin él", {"/I+D.nmr", "/ID.nmr", "", ""}, "/I&D.nmr",
         {"/I&D.nmr", "/I+D.nmr", "/ID.nmr", ""}},
    };
    for (const auto& c : casos) {
        a.Recientes = c.antes;
        AnotarReciente(a, c.ruta);
        EXPECT_EQ(a.Recientes, c.despues) << c.que;
        // The list is in the settings file: a new program loads the same.
        Arbol b;
        CargarRecientes(b);
        EXPECT_EQ(b.Recientes, c.despues) << c.que;
        const FicheroIni ini(RutaIni());
        EXPECT_EQ(ini.LeeCadena("Ficheros", "F1", "?"), c.despues[0]);
    }
}

TEST_F(Documento, AbrirReciente)
{
    const std::string conAmp = Fichero("R&D.nmr", 2);
    const std::string otro = Fichero("otro.nmr", 3);
    // An entry an older menu wrote with an "&" before a letter.
    std::string marcada = otro;
    marcada.insert(marcada.size() - 8, "&");
    a.Recientes = {"", conAmp, marcada, dir.Ruta("borrado.nmr")};

    ArchivoReciente(a, 2); // a path with a real "&" opens as it is
    EXPECT_EQ(a.NombreFichero, conAmp);
    EXPECT_EQ(a.NumeroNodos(), 2);
    EXPECT_EQ(a.Recientes[0], conAmp);
    EXPECT_TRUE(u.Textos("Pregunta").empty()); // no New first, and only two nodes

    ArchivoReciente(a, 3);
    EXPECT_EQ(a.NombreFichero, otro);
    EXPECT_EQ(a.NumeroNodos(), 3);
    EXPECT_EQ(a.Recientes[0], marcada);

    // A missing file is reported and still goes to the head.
    u.respuestas = {Respuesta::No};
    ArchivoReciente(a, 4);
    EXPECT_EQ(u.Textos("Error"), (std::vector<std::string>{"No existe el fichero " + dir.Ruta("borrado.nmr")}));
    EXPECT_EQ(a.Recientes[0], dir.Ruta("borrado.nmr"));
    EXPECT_EQ(a.NumeroNodos(), 3);

    // A damaged file raises its own error for the application's box; the list stays.
    const auto antes = a.Recientes;
    std::ofstream(otro, std::ios::binary | std::ios::trunc) << "V 2015\r\n";
    a.Recientes[1] = otro;
    const auto conOtro = a.Recientes;
    EXPECT_THROW(ArchivoReciente(a, 2), ENemor);
    EXPECT_EQ(a.Recientes, conOtro);
    EXPECT_EQ(a.Archivo.Caption, kSinTitulo);
    (void)antes;
}

TEST_F(Documento, UnGuardadoFallidoConservaElFicheroAnterior)
{
    const std::string ruta = Fichero("tesis.nmr", 2);
    const std::string antes = Lee(ruta);
    ArbolDe(a, 90); // far larger than the limit below
    a.NombreFichero = ruta;

    // The process may not write files larger than 1 KiB: the write fails midway.
    struct sigaction ign {}, previa {};
    ign.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ign, &previa);
    rlimit lim{}, limPrevio{};
    getrlimit(RLIMIT_FSIZE, &limPrevio);
    lim = limPrevio;
    lim.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &lim);
    EXPECT_THROW(ArchivoGuardar(a), EInOutError);
    // Through the save question the command stops and the tree stays.
    u.respuestas = {Respuesta::Si};
    EXPECT_THROW(ArchivoNuevo(a), EInOutError);
    setrlimit(RLIMIT_FSIZE, &limPrevio);
    sigaction(SIGXFSZ, &previa, nullptr);

    EXPECT_EQ(a.NumeroNodos(), 90);
    EXPECT_EQ(Lee(ruta), antes);
    EXPECT_EQ(dir.Ficheros(), (std::vector<std::string>{"tesis.nmr"})); // no temporary left behind
    EXPECT_EQ(a.Recientes[0], "");
}

TEST_F(Documento, GuardarConservaPermisosYEnlaces)
{
    const std::string real = Fichero("real.nmr", 2);
    std::filesystem::permissions(real, std::filesystem::perms(0640));
    const std::string enlace = dir.Ruta("enlace.nmr");
    std::filesystem::create_symlink(real, enlace);
    ArbolDe(a, 3);
    EscribeArbol(a, enlace);
    EXPECT_TRUE(std::filesystem::is_symlink(enlace));
    EXPECT_EQ(AnalizaArbol(Lee(real), false).Nodos.size(), 3u);
    EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0640));
}

TEST_F(Documento, ArgumentoDeLaLineaDeOrdenes)
{
    const std::string ruta = Fichero("arg.nmr", 4);
    AbrirArgumento(a, ruta);
    EXPECT_EQ(a.NombreFichero, ruta);
    EXPECT_EQ(a.NumeroNodos(), 4);
    const std::string roto = dir.Ruta("roto.nmr");
    std::ofstream(roto, std::ios::binary) << "basura";
    u.respuestas = {Respuesta::No};
    EXPECT_THROW(AbrirArgumento(a, roto), ENemor);
    EXPECT_EQ(a.Archivo.Caption, kSinTitulo);
}

TEST(FechaHora, FormatoYMedianoche)
{
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 9;
    tm.tm_hour = 7;
    tm.tm_min = 5;
    tm.tm_sec = 3;
    tm.tm_isdst = -1;
    EXPECT_EQ(FechaHoraTexto(std::mktime(&tm)), "09/12/2026 07:05:03");
    tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
    tm.tm_isdst = -1;
    EXPECT_EQ(FechaHoraTexto(std::mktime(&tm)), "09/12/2026");
}

} // namespace
