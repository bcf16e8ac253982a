#include "analysis/Rollback.h"
#include "bench/ArbolGenerado.h"
#include "common/Errores.h"
#include "drawing/Interaccion.h"
#include "drawing/OpcionesIni.h"
#include "support/UsuarioGuion.h"
#include "tree/Ayuda.h"
#include "tree/Documento.h"
#include "tree/Edicion.h"
#include "tree/FicheroArbol.h"
#include "tree/Historia.h"
#include "variables/Bayes.h"
#include "variables/Variables.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

namespace {

// A solved tree with its scripted user, its commands and its history: a
// decision root with a chance node (two outcomes, a comment) and a terminal
// whose payoff names a line of the variables list.
struct Banco {
    UsuarioGuion u;
    Arbol a;
    Edicion e{a};
    Historia h{a};

    Banco()
    {
        a.usuario = &u;
        a.Variables = {"COSTE = 1200", "P = 0.25"};
        u.textos.push_back("2");
        e.CuadrodeDecisin1Click(0); // 1 and 2
        u.textos.push_back("2");
        e.NododeAzar1Click(1); // 3 and 4
        TNodo& sondeo = *a.Nodo(1);
        sondeo.Texto = sondeo.EtiquetaTexto.Caption = "Sondeo";
        sondeo.Comentario = "primera\tsegunda\t";
        sondeo.MarcaVisible = true;
        a.Nodo(2)->FormulaGanancia = "COSTE";
        a.Nodo(3)->Ganancia = 100;
        a.Nodo(3)->Probabilidad = 0.6;
        a.Nodo(4)->Ganancia = -50;
        a.Nodo(4)->Probabilidad = 0.4;
        ResuelveArbol(a);
    }
};

// Everything a step may change: the file's text (fixed path and date) and,
// beyond it, every node record with its view data, the creation order, the
// counters, the sizes, the variables list, the copy mark and the editor link.
// Selection for alignment is left out: it is not part of the history.
struct Estado {
    std::string texto;
    std::map<int, TNodo> nodos; // by number
    std::vector<uint16_t> orden;
    int32_t ultimoIndice = 0, tamanyoNodo = 0, separacionHorizontal = 0, separacionVertical = 0, tamanyoLetra = 0;
    double zoom = 0;
    uint16_t nodoCopiado = 0;
    std::string documentoEditor;
    std::vector<std::string> variables;
    bool operator==(const Estado&) const = default;
};

Estado Foto(const Arbol& a)
{
    Estado e;
    e.texto = TextoArbol(a, "/datos/arbol.nmr", "01/02/2026 10:20:30");
    for (int n = 0; n <= MaxNumeroNodo; ++n) {
        if (const TNodo* x = a.Nodo(n)) {
            TNodo copia = *x;
            copia.Seleccionado = false;
            e.nodos.emplace(n, copia);
        }
    }
    e.orden.assign(a.ListaOrden.begin(), a.ListaOrden.begin() + a.UltimaPosicion + 1);
    e.ultimoIndice = a.UltimoIndice;
    e.tamanyoNodo = a.TamanyoNodo;
    e.separacionHorizontal = a.SeparacionHorizontal;
    e.separacionVertical = a.SeparacionVertical;
    e.tamanyoLetra = a.TamanyoLetra;
    e.zoom = a.FactorZoom;
    e.nodoCopiado = a.NodoCopiado;
    e.documentoEditor = a.DocumentoEditor;
    e.variables = a.Variables;
    return e;
}

// Compares the text first (its difference reads well), then names the node slots that differ.
void Iguales(const Estado& visto, const Estado& esperado, const char* cuando)
{
    EXPECT_EQ(visto.texto, esperado.texto) << cuando;
    std::ostringstream distintos;
    for (int n = 0; n <= MaxNumeroNodo; ++n) {
        const auto v = visto.nodos.find(n);
        const auto e = esperado.nodos.find(n);
        const bool hayV = v != visto.nodos.end();
        const bool hayE = e != esperado.nodos.end();
        if (hayV != hayE || (hayV && !(v->second == e->second)))
            distintos << ' ' << n;
    }
    EXPECT_EQ(distintos.str(), "") << cuando << ": nodos distintos";
    EXPECT_TRUE(visto == esperado) << cuando << ": valores del documento distintos";
}

void Arrastra(Arbol& a, uint16_t n, int32_t dx, int32_t dy, ModosMovimiento modos = {})
{
    EstadoArrastre e;
    const Rect f = a.Nodo(n)->Figura;
    EmpiezaArrastre(a, e, n, 5, 5);
    MueveArrastre(e, f.Left + 5 + dx, f.Top + 5 + dy);
    SueltaArrastre(a, e, modos);
}

// Every kind of command: run as a step, it is undone to the exact tree
// before it, redone to the exact tree after it, and undone again.
TEST(Historia, CadaOrdenSeDeshaceYSeRehace)
{
    struct Caso {
        const char* nombre;
        const char* paso;
        std::function<void(Banco&)> prepara;
        std::function<void(Banco&)> orden;
        bool falla = false;
    };
    const Caso casos[] = {
        {"nodo de decisión", kPasoNodoDecision, {},
         [](Banco& b) {
             b.u.textos.push_back("3");
             b.e.CuadrodeDecisin1Click(2);
         }},
        {"nodo de azar junto al borde: el nodo baja", kPasoNodoAzar, [](Banco& b) { b.a.SituarNodo(2, 140, 5); },
         [](Banco& b) {
             b.u.textos.push_back("5");
             b.e.NododeAzar1Click(2);
         }},
        {"nueva rama", kPasoNuevaRama, {}, [](Banco& b) { b.e.Nuevarama1Click(1); }},
        {"borrar una rama", kPasoBorrarNodo, {},
         [](Banco& b) {
             b.u.respuestas.push_back(Respuesta::Si);
             b.e.Borrar1Click(3);
         }},
        {"borrar la estructura marcada para copiar", kPasoBorrarNodo, [](Banco& b) { b.e.Copiar1Click(1); },
         [](Banco& b) {
             b.u.respuestas.push_back(Respuesta::Si);
             b.e.Borrar1Click(1);
         }},
        {"texto", kPasoTexto, {},
         [](Banco& b) {
             b.u.textos.push_back("Perforar ahora ñ");
             b.e.Texto1Click(2);
         }},
        {"ganancia de una variable", kPasoGanancia, {},
         [](Banco& b) {
             b.u.textos.push_back("COSTE = 1200");
             b.e.Coste3Click(3);
         }},
        {"probabilidad escrita", kPasoProbabilidad, {},
         [](Banco& b) {
             b.u.textos.push_back("0.3");
             b.e.Probabilidad1Click(4);
         }},
        {"pegar", kPasoPegar, [](Banco& b) { b.e.Copiar1Click(1); }, [](Banco& b) { b.e.Pegar1Click(2); }},
        {"comentario", kPasoComentario, {},
         [](Banco& b) {
             b.e.AbrirComentario(2);
             b.e.NotaCambiada();
             b.e.GuardarComentario({"uno", "dos"});
         }},
        {"mover un nodo con sus hijos, modo 1", kPasoMoverNodo, {}, [](Banco& b) { Arrastra(b.a, 1, 40, -25); }},
        {"mover un nodo solo, modo 2", kPasoMoverNodo, {},
         [](Banco& b) { Arrastra(b.a, 1, -30, 12, ModosMovimiento{false, false}); }},
        {"alinear vertical", kPasoAlinearVertical,
         [](Banco& b) {
             for (uint16_t n : {2, 3, 4})
                 SeleccionaNodo(b.a, n);
         },
         [](Banco& b) { AlinearVertical(b.a, ModosMovimiento{}); }},
        {"alinear horizontal", kPasoAlinearHorizontal,
         [](Banco& b) {
             for (uint16_t n : {2, 3})
                 SeleccionaNodo(b.a, n);
         },
         [](Banco& b) { AlinearHorizontal(b.a); }},
        {"variables escritas", kPasoVariables, {},
         [](Banco& b) {
             b.a.Variables[0] = "COSTE = 1500";
             b.a.Variables.push_back("NUEVA = 2");
         }},
        {"borrar las variables", kPasoBorrarVariables, {}, [](Banco& b) { b.a.Variables.clear(); }},
        {"Bayes", kPasoBayes,
         [](Banco& b) {
             b.a.Variables = {"BAYES(F,D)",   "P(A) = 0.6",   "P(B) = 0.4",  "P(F/A) = 0.8",
                              "P(D/A) = 0.2", "P(F/B) = 0.3", "P(D/B) = 0.7"};
         },
         [](Banco& b) { CalculaFormulasBayes(b.a); }},
        {"valores a cero", kPasoValoresACero, {}, [](Banco& b) { ValoresACero(b.a); }},
        {"opciones: tamaños y etiquetas", kPasoOpciones, {},
         [](Banco& b) {
             b.a.opciones.TamanyoFormas = 40;
             b.a.opciones.TamanyoLetras = 10;
             b.a.opciones.EDigitosEtiquetas = "6";
             AplicaOpciones(b.a);
             RecalculaFormulas(b.a);
         }},
        {"cambiar nombre en el esquema", kPasoCambiarNombre, {}, [](Banco& b) { b.a.PonerTexto(3, "Seco"); }},
        // A command that fails halfway keeps what it did; that is the step.
        {"ganancia de una línea que no se evalúa", kPasoGanancia,
         [](Banco& b) { b.a.Variables.push_back("MALA = (1 +"); },
         [](Banco& b) {
             b.u.textos.push_back("MALA = (1 +");
             b.e.Coste3Click(3);
         },
         true},
        {"recalcular falla a medias", kPasoOpciones,
         [](Banco& b) {
             b.a.Variables[0] = "COSTE = 1500";
             b.a.Variables.push_back("MALA = (1 +");
             b.a.Nodo(4)->FormulaGanancia = "MALA";
         },
         [](Banco& b) { RecalculaFormulas(b.a); }, true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Banco b;
        if (c.prepara)
            c.prepara(b);
        const Estado antes = Foto(b.a);
        bool fallo = false;
        try {
            b.h.Ejecuta(c.paso, [&] { c.orden(b); });
        } catch (const ENemor&) {
            fallo = true;
        }
        EXPECT_EQ(fallo, c.falla);
        const Estado despues = Foto(b.a);
        ASSERT_FALSE(despues == antes) << "la orden no cambió nada";
        EXPECT_EQ(b.h.NombreDeshacer(), c.paso);

        ASSERT_TRUE(b.h.Deshacer());
        Iguales(Foto(b.a), antes, "deshecho");
        EXPECT_FALSE(b.h.PuedeDeshacer());
        EXPECT_EQ(b.h.NombreRehacer(), c.paso);
        ASSERT_TRUE(b.h.Rehacer());
        Iguales(Foto(b.a), despues, "rehecho");
        ASSERT_TRUE(b.h.Deshacer());
        Iguales(Foto(b.a), antes, "deshecho otra vez");
    }
}

// Consecutive steps with the same key are one step: typing into one comment
// or into the variables list.
TEST(Historia, LoEscritoSeguidoEsUnSoloPaso)
{
    using Escribe = std::function<void(Banco&, const std::string& clave, const std::string& texto)>;
    // Later keystrokes change what the first did not (another field, another
    // line): the joined step must know what those were before.
    const Escribe comentario = [](Banco& b, const std::string& clave, const std::string& texto) {
        TNodo& x = *b.a.Nodo(clave == "nota 3" ? 3 : 1);
        x.Comentario = texto + "\t";
        if (texto.size() > 1)
            x.Texto = x.EtiquetaTexto.Caption = texto;
    };
    const Escribe variables = [](Banco& b, const std::string&, const std::string& texto) {
        if (texto.size() == 2)
            b.a.Variables.insert(b.a.Variables.begin() + 1, "Q = 1");
        b.a.Variables.back() = "P = 0.2" + std::string(texto.size(), '5');
    };
    struct Caso {
        const char* nombre;
        const char* paso;
        std::vector<const char*> claves; // one step per key, each typing one more letter
        Escribe escribe;
        int pasos;
    };
    const Caso casos[] = {
        {"un comentario", kPasoComentario, {"nota 1", "nota 1", "nota 1"}, comentario, 1},
        {"otro comentario entre medias", kPasoComentario, {"nota 1", "nota 3", "nota 1"}, comentario, 3},
        {"sin clave", kPasoComentario, {"", "", ""}, comentario, 3},
        {"la lista de variables", kPasoVariables, {"variables", "variables", "variables"}, variables, 1},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Banco b;
        const Estado antes = Foto(b.a);
        std::string texto;
        for (const char* clave : c.claves) {
            texto += "x";
            b.h.Ejecuta(c.paso, [&] { c.escribe(b, clave, texto); }, clave);
        }
        int pasos = 0;
        while (b.h.Deshacer())
            ++pasos;
        EXPECT_EQ(pasos, c.pasos);
        Iguales(Foto(b.a), antes, "todo deshecho");
    }
}

// What was undone and redone is closed: typing after it is a step of its own.
TEST(Historia, LoEscritoTrasDeshacerNoSeUneAlPasoRehecho)
{
    Banco b;
    b.h.Ejecuta(kPasoComentario, [&] { b.a.Nodo(2)->Comentario = "a\t"; }, "nota 2");
    const Estado uno = Foto(b.a);
    b.h.Deshacer();
    b.h.Rehacer();
    b.h.Ejecuta(kPasoComentario, [&] { b.a.Nodo(2)->Comentario = "ab\t"; }, "nota 2");
    ASSERT_TRUE(b.h.Deshacer());
    Iguales(Foto(b.a), uno, "la segunda escritura deshecha");
}

// New and Open start the history again, whether or not they ran through it.
TEST(Historia, NuevoYAbrirVacianLaHistoria)
{
    CarpetaTemporal carpeta;
    const std::string ruta = carpeta.Ruta("arbol.nmr");
    {
        Banco b;
        EscribeArbol(b.a, ruta);
    }
    struct Caso {
        const char* nombre;
        std::function<void(Banco&)> orden;
    };
    const Caso casos[] = {
        {"Nuevo dentro de la historia",
         [](Banco& b) {
             b.u.respuestas.push_back(Respuesta::No);
             b.h.Ejecuta("Nuevo", [&] { ArchivoNuevo(b.a); });
         }},
        {"Nuevo fuera de ella",
         [](Banco& b) {
             b.u.respuestas.push_back(Respuesta::No);
             ArchivoNuevo(b.a);
         }},
        {"Abrir",
         [&ruta](Banco& b) {
             b.u.respuestas.push_back(Respuesta::No);
             LeerArbol(b.a, ruta);
         }},
        {"Abrir un fichero dañado deja un árbol nuevo",
         [&carpeta](Banco& b) {
             EscribeFicheroSeguro(carpeta.Ruta("malo.nmr"), "V 2015\r\nx\r\nf\r\n1\r\n2\r\n3\r\nnada\r\n");
             b.u.respuestas.push_back(Respuesta::No);
             EXPECT_ANY_THROW(LeerArbol(b.a, carpeta.Ruta("malo.nmr")));
         }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Banco b;
        b.h.Ejecuta(kPasoNuevaRama, [&] { b.e.Nuevarama1Click(1); });
        b.h.Ejecuta(kPasoNuevaRama, [&] { b.e.Nuevarama1Click(1); });
        b.h.Deshacer();
        ASSERT_TRUE(b.h.PuedeDeshacer() && b.h.PuedeRehacer());
        c.orden(b);
        EXPECT_FALSE(b.h.PuedeDeshacer());
        EXPECT_FALSE(b.h.PuedeRehacer());
        const Estado nuevo = Foto(b.a);
        EXPECT_FALSE(b.h.Deshacer());
        EXPECT_FALSE(b.h.Rehacer());
        Iguales(Foto(b.a), nuevo, "nada que deshacer ni rehacer");
        // The new tree is the start of the new history.
        b.h.Ejecuta(kPasoCambiarNombre, [&] { b.a.PonerTexto(0, "Inicio"); });
        ASSERT_TRUE(b.h.Deshacer());
        Iguales(Foto(b.a), nuevo, "primer paso del árbol nuevo deshecho");
    }
}

TEST(Historia, SinNadaQueDeshacerNiRehacerNoCambiaNada)
{
    Banco b;
    const Estado antes = Foto(b.a);
    EXPECT_FALSE(b.h.Deshacer());
    EXPECT_FALSE(b.h.Rehacer());
    EXPECT_EQ(b.h.NombreDeshacer(), "");
    EXPECT_EQ(b.h.NombreRehacer(), "");
    Iguales(Foto(b.a), antes, "rechazado");
    // A command that changes nothing (here, a cancelled text) leaves no step.
    b.u.textos.push_back(std::nullopt);
    const Cambios c = b.h.Ejecuta(kPasoTexto, [&] { b.e.Texto1Click(2); });
    EXPECT_FALSE(c.Algo());
    EXPECT_FALSE(b.h.PuedeDeshacer());
}

// Solving is not a step, yet an undo after it gives back the exact tree
// before the step, values shown included; a redo, the tree as it was when undone.
TEST(Historia, DeshacerTrasCalcularDaElArbolDeAntes)
{
    struct Caso {
        const char* nombre;
        std::function<void(Banco&)> calcula;
    };
    const Caso casos[] = {
        {"calcular sin paso", [](Banco& b) { b.h.EjecutaSinPaso([&] { ResuelveArbol(b.a); }); }},
        {"calcular fuera de la historia", [](Banco& b) { ResuelveArbol(b.a); }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Banco b;
        const Estado antes = Foto(b.a);
        b.h.Ejecuta(kPasoGanancia, [&] {
            b.u.textos.push_back("700");
            b.e.Coste3Click(3);
        });
        const Estado editado = Foto(b.a);
        c.calcula(b);
        const Estado calculado = Foto(b.a);
        ASSERT_NE(calculado.texto, editado.texto) << "calcular no cambió los valores";
        ASSERT_TRUE(b.h.Deshacer());
        Iguales(Foto(b.a), antes, "deshecho tras calcular");
        ASSERT_TRUE(b.h.Rehacer());
        Iguales(Foto(b.a), calculado, "rehecho");
    }
}

// Changes made between an undo and a redo: the redo gives back the tree as it
// was when undone, and undoing again gives back those changes.
TEST(Historia, CambiosEntreDeshacerYRehacer)
{
    Banco b;
    b.h.Ejecuta(kPasoGanancia, [&] {
        b.u.textos.push_back("700");
        b.e.Coste3Click(3);
    });
    b.h.Ejecuta(kPasoNuevaRama, [&] { b.e.Nuevarama1Click(1); });
    const Estado conRama = Foto(b.a);
    b.h.Deshacer();
    ResuelveArbol(b.a);
    b.a.Variables.push_back("OTRA = 3");
    const Estado resuelto = Foto(b.a);
    ASSERT_TRUE(b.h.Rehacer());
    Iguales(Foto(b.a), conRama, "rehecho");
    ASSERT_TRUE(b.h.Deshacer());
    Iguales(Foto(b.a), resuelto, "deshecho otra vez");
}

// A new step forgets what could be redone; older steps still undo.
TEST(Historia, UnPasoNuevoOlvidaLoQueSePodiaRehacer)
{
    Banco b;
    const Estado antes = Foto(b.a);
    b.h.Ejecuta(kPasoTexto, [&] { b.a.PonerTexto(2, "uno"); });
    b.h.Ejecuta(kPasoTexto, [&] { b.a.PonerTexto(2, "dos"); });
    b.h.Deshacer();
    b.h.Ejecuta(kPasoNuevaRama, [&] { b.e.Nuevarama1Click(1); });
    EXPECT_FALSE(b.h.PuedeRehacer());
    EXPECT_FALSE(b.h.Rehacer());
    ASSERT_TRUE(b.h.Deshacer());
    ASSERT_TRUE(b.h.Deshacer());
    Iguales(Foto(b.a), antes, "todo deshecho");
}

// Zoom is not a step: a step undone at another zoom puts its positions back
// as that zoom shows them, exactly as if the zoom had come after the undo.
TEST(Historia, DeshacerConOtroZoom)
{
    struct Caso {
        const char* nombre;
        std::function<void(Arbol&)> zoom;
    };
    const Caso casos[] = {
        {"aumentar", [](Arbol& a) { ZoomAumentar(a); }},
        {"disminuir", [](Arbol& a) { ZoomDisminuir(a); }},
        {"disminuir y aumentar", [](Arbol& a) {
             ZoomDisminuir(a);
             ZoomAumentar(a);
         }}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Banco b, testigo;
        const Estado antes = Foto(b.a);
        b.h.Ejecuta(kPasoMoverNodo, [&] { Arrastra(b.a, 1, 37, -23); });
        b.h.Ejecuta(kPasoNuevaRama, [&] { b.e.Nuevarama1Click(1); });
        const Estado despues = Foto(b.a);
        c.zoom(b.a);
        c.zoom(testigo.a);
        ASSERT_TRUE(b.h.Deshacer());
        ASSERT_TRUE(b.h.Deshacer());
        Iguales(Foto(b.a), Foto(testigo.a), "deshecho con zoom");
        ZoomOriginal(b.a);
        Iguales(Foto(b.a), antes, "de vuelta al tamaño original");
        ASSERT_TRUE(b.h.Rehacer());
        ASSERT_TRUE(b.h.Rehacer());
        Iguales(Foto(b.a), despues, "rehecho al tamaño original");
    }
}

// The options step changes the sizes: undone at another zoom, the node and
// letter sizes are those that zoom gives the sizes from before it.
TEST(Historia, OpcionesDeshechasConOtroZoom)
{
    for (const bool aumenta : {true, false}) {
        SCOPED_TRACE(aumenta ? "aumentar" : "disminuir");
        Banco b, testigo;
        b.h.Ejecuta(kPasoOpciones, [&] {
            b.a.opciones.TamanyoFormas = 40;
            b.a.opciones.TamanyoLetras = 10;
            AplicaOpciones(b.a);
            RecalculaFormulas(b.a);
        });
        for (Arbol* a : {&b.a, &testigo.a})
            aumenta ? ZoomAumentar(*a) : ZoomDisminuir(*a);
        ASSERT_TRUE(b.h.Deshacer());
        Iguales(Foto(b.a), Foto(testigo.a), "deshecho con zoom");
    }
}

// The copy mark and the editor link set outside a step survive an undo; a
// step that cleared the mark gets it back.
TEST(Historia, LaMarcaYElEnlaceNoSeDeshacenSolos)
{
    Banco b;
    b.h.Ejecuta(kPasoTexto, [&] { b.a.PonerTexto(2, "uno"); });
    b.h.EjecutaSinPaso([&] { b.e.Copiar1Click(1); });
    b.a.DocumentoEditor = "/datos/informe.rtf";
    ASSERT_TRUE(b.h.Deshacer());
    EXPECT_EQ(b.a.NodoCopiado, 1);
    EXPECT_EQ(b.a.DocumentoEditor, "/datos/informe.rtf");
    EXPECT_EQ(b.a.Nodo(2)->Texto, " ");
}

// What each kind of change reports, for the views that show it.
TEST(Historia, DiceQueCambio)
{
    struct Caso {
        const char* nombre;
        std::function<Cambios(Banco&)> orden;
        Cambios esperado;
    };
    const auto C = [](bool dibujo, bool estructura, bool variables, bool enlace, bool nuevo) {
        Cambios c;
        c.Dibujo = dibujo;
        c.Estructura = estructura;
        c.Variables = variables;
        c.Enlace = enlace;
        c.Nuevo = nuevo;
        return c;
    };
    const Caso casos[] = {
        {"texto", [](Banco& b) { return b.h.Ejecuta(kPasoTexto, [&] { b.a.PonerTexto(2, "uno"); }); },
         C(true, false, false, false, false)},
        {"nueva rama", [](Banco& b) { return b.h.Ejecuta(kPasoNuevaRama, [&] { b.e.Nuevarama1Click(1); }); },
         C(true, true, false, false, false)},
        {"variables", [](Banco& b) { return b.h.Ejecuta(kPasoVariables, [&] { b.a.Variables.push_back("X = 1"); }); },
         C(false, false, true, false, false)},
        {"copiar", [](Banco& b) { return b.h.EjecutaSinPaso([&] { b.e.Copiar1Click(1); }); },
         C(false, false, false, true, false)},
        {"nuevo",
         [](Banco& b) {
             b.u.respuestas.push_back(Respuesta::No);
             return b.h.Ejecuta("Nuevo", [&] { ArchivoNuevo(b.a); });
         },
         C(true, true, true, true, true)},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Banco b;
        // What an entry reports includes changes made outside the history
        // since it last looked; the bench's own building is not the command's.
        b.h.Vacia();
        const Cambios visto = c.orden(b);
        EXPECT_EQ(visto.Dibujo, c.esperado.Dibujo);
        EXPECT_EQ(visto.Estructura, c.esperado.Estructura);
        EXPECT_EQ(visto.Variables, c.esperado.Variables);
        EXPECT_EQ(visto.Enlace, c.esperado.Enlace);
        EXPECT_EQ(visto.Nuevo, c.esperado.Nuevo);
    }
}

// Beyond the limit the oldest steps go; the rest still undo exactly.
TEST(Historia, GuardaComoMuchoElLimiteDePasos)
{
    UsuarioGuion u;
    Arbol a;
    a.usuario = &u;
    Historia h(a, 3);
    std::vector<Estado> estados{Foto(a)};
    for (int i = 0; i < 5; ++i) {
        h.Ejecuta(kPasoTexto, [&] { a.PonerTexto(0, "paso " + std::to_string(i)); });
        estados.push_back(Foto(a));
    }
    int pasos = 0;
    while (h.Deshacer())
        ++pasos;
    EXPECT_EQ(pasos, 3);
    Iguales(Foto(a), estados[2], "los tres últimos deshechos");
}

// A long session on the largest tree: structures deleted, the whole tree
// dragged, values typed, with solves and zooms in between. Undoing it all
// gives back the tree it started from; redoing it all, the tree it ended with.
TEST(Historia, UnaSesionLargaEnElArbolMasGrande)
{
    UsuarioGuion u;
    std::unique_ptr<Arbol> arbol = bench::ArbolGrande();
    Arbol& a = *arbol;
    a.usuario = &u;
    Edicion e(a);
    Historia h(a);
    ResuelveArbol(a);
    const Estado inicio = Foto(a);
    auto azar = [](int k) { return static_cast<uint16_t>(1 + 100 * k); };
    for (int i = 0; i < 40; ++i) {
        const int k = i % 10;
        switch (i % 8) {
        case 0:
            u.respuestas.push_back(Respuesta::Si);
            h.Ejecuta(kPasoBorrarNodo, [&] { e.Borrar1Click(static_cast<uint16_t>(azar(k) + 1 + i)); });
            break;
        case 1:
            h.Ejecuta(kPasoMoverNodo, [&] { Arrastra(a, 0, 7, -4); });
            break;
        case 2:
            u.textos.push_back(std::to_string(i) + ".5");
            h.Ejecuta(kPasoGanancia, [&] { e.Coste3Click(static_cast<uint16_t>(azar(k) + 50)); });
            break;
        case 3:
            h.EjecutaSinPaso([&] { ResuelveArbol(a); });
            h.Ejecuta(
                kPasoVariables, [&] { a.Variables.insert(a.Variables.begin() + i, "! nota " + std::to_string(i)); },
                "variables");
            break;
        case 4:
            // No node numbers are left: the conversion is refused and leaves no step.
            u.textos.push_back("2");
            EXPECT_THROW(h.Ejecuta(kPasoNodoDecision, [&] { e.CuadrodeDecisin1Click(azar(k) + 60); }), ELimiteArbol);
            break;
        case 5:
            ZoomAumentar(a);
            h.Ejecuta(kPasoMoverNodo, [&] { Arrastra(a, azar(k), -9, 30); });
            break;
        case 6:
            ZoomDisminuir(a);
            h.Ejecuta(kPasoValoresACero, [&] { ValoresACero(a); });
            break;
        default:
            if (i == 39) {
                u.respuestas.push_back(Respuesta::Si);
                h.Ejecuta(kPasoBorrarNodo, [&] { e.Borrar1Click(azar(9)); });
            } else {
                h.Ejecuta(kPasoCambiarNombre, [&] { a.PonerTexto(azar(k), "Rama " + std::to_string(i)); });
            }
            break;
        }
    }
    ASSERT_EQ(a.FactorZoom, 1.0);
    const Estado fin = Foto(a);
    while (h.Deshacer()) {
    }
    Iguales(Foto(a), inicio, "todo deshecho");
    while (h.Rehacer()) {
    }
    Iguales(Foto(a), fin, "todo rehecho");
}

} // namespace
