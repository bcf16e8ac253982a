#include "common/Decimal.h"
#include "common/Errores.h"
#include "support/UsuarioGuion.h"
#include "tree/Edicion.h"
#include "variables/Variables.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

// A tree with its scripted user and the commands.
struct Banco {
    UsuarioGuion u;
    Arbol a;
    Edicion e{a};
    Banco() { a.usuario = &u; }

    // Converts n with the given answer to the branch count question.
    bool Convierte(uint16_t n, uint8_t tipo, std::optional<std::string> respuesta)
    {
        u.textos.push_back(respuesta);
        return tipo == NodoDecision ? e.CuadrodeDecisin1Click(n) : e.NododeAzar1Click(n);
    }
    std::vector<uint16_t> Hijos(uint16_t n) const
    {
        const TNodo& x = *a.Nodo(n);
        return std::vector<uint16_t>(x.Hijos.begin() + 1, x.Hijos.begin() + 1 + x.NumHijos());
    }
    std::vector<uint16_t> Orden() const
    {
        return std::vector<uint16_t>(a.ListaOrden.begin(), a.ListaOrden.begin() + a.UltimaPosicion + 1);
    }
    const TNodo& N(uint16_t n) const { return *a.Nodo(n); }
};

TEST(Edicion, ConversionColocaLosHijos)
{
    struct Caso {
        uint8_t tipo;
        int ramas;
        int32_t yInicial;
        int32_t yFinal;            // the node's top afterwards
        std::vector<int32_t> topes; // children's tops in branch order (all when given)
        int32_t primero, ultimo;    // first and last child's top
    };
    const int32_t y0 = 768 / 2 - 50; // a new tree's root
    const std::vector<Caso> casos = {
        {NodoDecision, 1, y0, y0, {y0}, y0, y0},
        {NodoDecision, 2, y0, y0, {y0 + 33, y0 - 33}, y0 + 33, y0 - 33},
        {NodoDecision, 3, y0, y0, {y0 + 66, y0, y0 - 66}, y0 + 66, y0 - 66},
        // 100 children reach far above the drawing: the node moves down
        // until the highest child sits at 0, the spacing stays 66.
        {NodoDecision, 100, y0, y0 + 2933, {}, 3601 + 2933, 0},
        // Near the top edge several children would lie above it.
        {NodoAzar, 5, 10, 132, {264, 198, 132, 66, 0}, 264, 0},
        {NodoAzar, 4, 99, 99, {198, 132, 66, 0}, 198, 0}, // just fits
        {NodoAzar, 4, 98, 99, {198, 132, 66, 0}, 198, 0},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.ramas);
        Banco b;
        uint16_t n = 0;
        if (c.tipo == NodoAzar) {
            // A chance node needs a parent: the root with one branch.
            ASSERT_TRUE(b.Convierte(0, NodoDecision, "1"));
            n = 1;
        }
        b.a.SituarNodo(n, 20, c.yInicial);
        const int antes = b.a.UltimoIndice;
        ASSERT_TRUE(b.Convierte(n, c.tipo, std::to_string(c.ramas)));
        const TNodo& x = b.N(n);
        EXPECT_EQ(x.Tipo, c.tipo);
        EXPECT_EQ(x.Figura.Left, 20);
        EXPECT_EQ(x.Figura.Top, c.yFinal);
        const std::vector<uint16_t> hijos = b.Hijos(n);
        ASSERT_EQ(static_cast<int>(hijos.size()), c.ramas);
        std::vector<int32_t> topes;
        for (int v = 0; v < c.ramas; ++v) {
            // Fresh numbers in branch order, terminal children of n, one column.
            EXPECT_EQ(hijos[v], antes + v + 1);
            const TNodo& h = b.N(hijos[v]);
            EXPECT_EQ(h.Padre, n);
            EXPECT_EQ(h.Tipo, NodoTerminal);
            EXPECT_EQ(h.Figura.Left, 140);
            if (v > 0) {
                EXPECT_EQ(topes.back() - h.Figura.Top, 66);
            }
            topes.push_back(h.Figura.Top);
        }
        if (!c.topes.empty()) {
            EXPECT_EQ(topes, c.topes);
        }
        EXPECT_EQ(topes.front(), c.primero);
        EXPECT_EQ(topes.back(), c.ultimo);
        EXPECT_EQ(b.a.UltimaPosicion, b.a.UltimoIndice);
    }
}

TEST(Edicion, ConversionConservaLaRamaYPierdeLoDemas)
{
    Banco b;
    ASSERT_TRUE(b.Convierte(0, NodoDecision, "2"));
    TNodo& x = *b.a.Nodo(1);
    x.Texto = "Lanzar";
    x.EtiquetaTexto.Caption = "Lanzar";
    x.Ganancia = 1200;
    x.FormulaGanancia = "COSTE";
    x.EtiquetaGanancia.Caption = "COSTE";
    x.Probabilidad = 0.25;
    x.LongitudRama = 75;
    x.Valor = 9;
    x.Calculado = x.Elegido = true;
    x.Comentario = "nota\t";
    x.MarcaVisible = true;
    b.a.SituarNodo(1, 140, 400);

    ASSERT_TRUE(b.Convierte(1, NodoAzar, "2"));
    EXPECT_EQ(b.u.llamadas.back().titulo, "Nodo de azar");
    EXPECT_EQ(b.u.llamadas.back().texto, "Número de estados");
    const TNodo& y = b.N(1);
    EXPECT_EQ(y.Tipo, NodoAzar);
    EXPECT_EQ(y.Texto, "Lanzar");
    EXPECT_EQ(y.EtiquetaTexto.Caption, "Lanzar");
    EXPECT_EQ(y.Ganancia, 1200);
    EXPECT_EQ(y.EtiquetaGanancia.Caption, "1200"); // the number, not the name
    EXPECT_EQ(y.FormulaGanancia, "");
    EXPECT_EQ(y.Probabilidad, 0.25);
    EXPECT_EQ(y.EtiquetaProbabilidad.Caption, "0.25");
    EXPECT_EQ(y.LongitudRama, 75);
    EXPECT_EQ(y.Figura.Left, 140);
    EXPECT_EQ(y.Figura.Top, 400);
    EXPECT_EQ(y.MarcaComentario.Top, 400);
    EXPECT_EQ(y.Valor, 0);
    EXPECT_FALSE(y.Calculado || y.Elegido || y.MarcaVisible);
    EXPECT_EQ(y.Comentario, "");
    EXPECT_EQ(y.Padre, 0);
    EXPECT_EQ(b.Hijos(0), (std::vector<uint16_t>{1, 2})); // still the first branch
    EXPECT_EQ(b.Orden(), (std::vector<uint16_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(b.Hijos(1), (std::vector<uint16_t>{3, 4}));
}

TEST(Edicion, NumeroDeRamasFueraDeRangoNoCambiaNada)
{
    struct Caso {
        std::optional<std::string> respuesta;
        const char* error; // nullptr: refused silently
    };
    const std::vector<Caso> casos = {
        {"0", nullptr},
        {"101", nullptr},
        {"-3", nullptr},
        {std::nullopt, nullptr}, // cancelled: the initial "0"
        {"abc", "'abc' is not a valid integer value"},
        {"2.5", "'2.5' is not a valid integer value"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.respuesta.value_or("<cancelar>"));
        Banco b;
        b.a.Raiz().Texto = "raíz";
        if (c.error) {
            try {
                b.Convierte(0, NodoDecision, c.respuesta);
                ADD_FAILURE() << "no error";
            } catch (const EConvertError& e) {
                EXPECT_STREQ(e.what(), c.error);
            }
        } else {
            EXPECT_FALSE(b.Convierte(0, NodoDecision, c.respuesta));
        }
        EXPECT_EQ(b.u.llamadas.at(0).titulo, "Nodo de decisión");
        EXPECT_EQ(b.u.llamadas.at(0).texto, "Número de alternativas");
        EXPECT_EQ(b.N(0).Tipo, NodoTerminal);
        EXPECT_EQ(b.N(0).Texto, "raíz");
        EXPECT_EQ(b.a.UltimaPosicion, 0);
        EXPECT_EQ(b.a.UltimoIndice, 0);
    }
}

// Every command that adds nodes refuses at the limits, or on a label option
// that cannot be read, before anything changes.
TEST(Edicion, LimitesRechazanAntesDeCambiar)
{
    struct Caso {
        const char* nombre;
        const char* mensaje;
    };
    const std::vector<Caso> casos = {
        {"conversion sin numeros", kMensajeSinNumeros},
        {"rama 101", kMensajeSinRamas},
        {"rama sin numeros", kMensajeSinNumeros},
        {"pegar sin numeros", kMensajeSinNumeros},
        // Node 2 takes node 1's two branches on top of the 99 it was given.
        {"pegar sobre 99 ramas", kMensajeSinRamas},
        {"conversion con digitos ilegibles", "'x' is not a valid integer value"},
        {"borrar con digitos ilegibles", "'x' is not a valid integer value"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Banco b;
        ASSERT_TRUE(b.Convierte(0, NodoDecision, "2"));
        ASSERT_TRUE(b.Convierte(1, NodoAzar, "2")); // nodes 3, 4
        b.a.Nodo(2)->Texto = "dos";
        b.e.Copiar1Click(1);
        const std::string nombre = c.nombre;
        std::function<void()> orden;
        if (nombre == "conversion sin numeros") {
            b.a.UltimoIndice = 998; // two numbers left
            orden = [&] { b.Convierte(2, NodoDecision, "3"); };
        } else if (nombre == "rama 101") {
            for (int i = 3; i < MaxHijos; ++i)
                b.e.Nuevarama1Click(1);
            ASSERT_EQ(b.N(1).NumHijos(), 99);
            ASSERT_TRUE(b.e.Nuevarama1Click(1));
            orden = [&] { b.e.Nuevarama1Click(1); };
        } else if (nombre == "rama sin numeros") {
            b.a.UltimoIndice = 1000;
            orden = [&] { b.e.Nuevarama1Click(1); };
        } else if (nombre == "pegar sin numeros") {
            b.a.UltimoIndice = 999; // the structure of node 1 needs two
            orden = [&] { b.e.Pegar1Click(2); };
        } else if (nombre == "pegar sobre 99 ramas") {
            for (int i = 0; i < 99; ++i)
                b.a.NuevoHijo(2, NodoTerminal);
            orden = [&] { b.e.Pegar1Click(2); };
        } else if (nombre == "conversion con digitos ilegibles") {
            b.a.opciones.EDigitosEtiquetas = "x";
            orden = [&] { b.Convierte(2, NodoDecision, "3"); };
        } else {
            b.a.opciones.EDigitosEtiquetas = "x";
            b.u.respuestas.push_back(Respuesta::Si);
            orden = [&] { b.e.Borrar1Click(1); };
        }
        const std::vector<uint16_t> orden0 = b.Orden();
        const int indice = b.a.UltimoIndice;
        const std::vector<uint16_t> hijos1 = b.Hijos(1);
        const std::vector<uint16_t> hijos2 = b.Hijos(2);
        try {
            orden();
            ADD_FAILURE() << "no refusal";
        } catch (const ENemor& e) {
            EXPECT_STREQ(e.what(), c.mensaje);
        }
        EXPECT_EQ(b.Orden(), orden0);
        EXPECT_EQ(b.a.UltimoIndice, indice);
        EXPECT_EQ(b.Hijos(1), hijos1);
        EXPECT_EQ(b.N(1).Tipo, NodoAzar);
        EXPECT_EQ(b.N(2).Tipo, NodoTerminal);
        EXPECT_EQ(b.N(2).Texto, "dos");
        EXPECT_EQ(b.Hijos(2), hijos2);
    }
}

TEST(Edicion, NuevaRamaBajoElHijoMasBajo)
{
    Banco b;
    ASSERT_TRUE(b.Convierte(0, NodoDecision, "3")); // children 1..3 at left 140
    const int32_t y0 = b.N(0).Figura.Top;
    b.a.SituarNodo(2, 210, y0); // one child dragged to the right
    EXPECT_FALSE(b.e.Nuevarama1Click(1)); // a terminal node takes no branch
    ASSERT_TRUE(b.e.Nuevarama1Click(0));
    EXPECT_EQ(b.Hijos(0), (std::vector<uint16_t>{1, 2, 3, 4}));
    EXPECT_EQ(b.N(4).Figura.Left, 210);
    EXPECT_EQ(b.N(4).Figura.Top, y0 + 66 + 36);
    EXPECT_EQ(b.N(4).Padre, 0);
    EXPECT_EQ(b.N(4).Tipo, NodoTerminal);

    // A node without children gets its first one a column to the right.
    Banco c;
    ASSERT_TRUE(c.Convierte(0, NodoDecision, "1"));
    c.a.Nodo(0)->Hijos = {};
    c.a.DestruirNodo(1);
    c.a.QuitarDeOrden(1);
    ASSERT_TRUE(c.e.Nuevarama1Click(0));
    EXPECT_EQ(c.N(2).Figura.Left, 20 + 120);
    EXPECT_EQ(c.N(2).Figura.Top, c.N(0).Figura.Top + 36);
}

TEST(Edicion, Borrar)
{
    struct Caso {
        const char* nombre;
        uint16_t nodo;
        Respuesta respuesta;
        uint16_t marcado;        // node copied beforehand (0 none)
        std::vector<uint16_t> orden;
        uint16_t marcaDespues;
    };
    // 0 (decision) -> 1 (chance) -> 3, 4;  0 -> 2 (decision) -> 5, 6
    const std::vector<Caso> casos = {
        {"terminal", 3, Respuesta::Si, 0, {0, 1, 2, 4, 5, 6}, 0},
        {"azar", 1, Respuesta::Si, 2, {0, 1, 2, 5, 6}, 2},
        {"no", 1, Respuesta::No, 0, {0, 1, 2, 3, 4, 5, 6}, 0},
        {"marcado", 2, Respuesta::Si, 2, {0, 1, 2, 3, 4}, 0},
        {"encima del marcado", 1, Respuesta::Si, 1, {0, 1, 2, 5, 6}, 0},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Banco b;
        ASSERT_TRUE(b.Convierte(0, NodoDecision, "2"));
        ASSERT_TRUE(b.Convierte(1, NodoAzar, "2"));
        ASSERT_TRUE(b.Convierte(2, NodoDecision, "2"));
        TNodo& x = *b.a.Nodo(c.nodo);
        x.Texto = "borrable";
        x.Ganancia = 5;
        x.Probabilidad = 0.5;
        x.LongitudRama = 90;
        x.FormulaGanancia = "G";
        b.a.SituarNodo(c.nodo, 300, 200);
        if (c.marcado) {
            ASSERT_TRUE(b.e.Copiar1Click(c.marcado));
        }
        b.u.respuestas.push_back(c.respuesta);
        EXPECT_EQ(b.e.Borrar1Click(c.nodo), c.respuesta == Respuesta::Si);
        const auto& q = b.u.llamadas.back();
        EXPECT_EQ(q.tipo, "Pregunta");
        EXPECT_EQ(q.titulo, "Atención");
        EXPECT_EQ(q.texto, "¿Desea borrar este Nodo y la estructura que depende de él?");
        EXPECT_EQ(q.botones, Botones::SiNo);
        EXPECT_EQ(q.icono, Icono::Exclamacion);
        EXPECT_EQ(b.Orden(), c.orden);
        EXPECT_EQ(b.a.NodoCopiado, c.marcaDespues);
        if (c.marcaDespues == 0 && b.a.Nodo(4)) {
            EXPECT_FALSE(PuedePegar(b.a, 4)); // "P&egar" is no longer offered
        }
        if (c.respuesta != Respuesta::Si)
            continue;
        if (b.N(0).NumHijos() == 2 && b.a.Nodo(c.nodo)) {
            // A decision or chance node stays, as a terminal node with its branch.
            const TNodo& y = b.N(c.nodo);
            EXPECT_EQ(y.Tipo, NodoTerminal);
            EXPECT_EQ(y.NumHijos(), 0);
            EXPECT_EQ(y.Texto, "borrable");
            EXPECT_EQ(y.EtiquetaTexto.Caption, "borrable");
            EXPECT_EQ(y.Ganancia, 5);
            EXPECT_EQ(y.EtiquetaGanancia.Caption, "5");
            EXPECT_EQ(y.EtiquetaProbabilidad.Caption, "0.5");
            EXPECT_EQ(y.FormulaGanancia, "");
            EXPECT_EQ(y.LongitudRama, 60);
            EXPECT_EQ(y.Figura.Left, 300);
            EXPECT_EQ(y.Figura.Top, 200);
        } else {
            EXPECT_EQ(b.a.Nodo(c.nodo), nullptr);
            EXPECT_EQ(b.Hijos(1), (std::vector<uint16_t>{4}));
        }
        // Freed numbers are not handed out again.
        ASSERT_TRUE(b.e.Nuevarama1Click(2) || b.e.Nuevarama1Click(1));
        EXPECT_EQ(b.a.UltimoIndice, 7);
    }
    Banco r;
    EXPECT_FALSE(r.e.Borrar1Click(0)); // the root is never deleted
    EXPECT_TRUE(r.u.llamadas.empty());
}

TEST(Edicion, Texto)
{
    Banco b;
    ASSERT_TRUE(b.Convierte(0, NodoDecision, "1"));
    b.u.textos = {std::string("Lanzar producto"), std::nullopt, std::string("a\r\nb")};
    EXPECT_TRUE(b.e.Texto1Click(1));
    EXPECT_EQ(b.u.llamadas.back().titulo, "Texto");
    EXPECT_EQ(b.u.llamadas.back().texto, "Texto");
    EXPECT_EQ(b.N(1).Texto, "Lanzar producto");
    EXPECT_EQ(b.N(1).EtiquetaTexto.Caption, "Lanzar producto");
    EXPECT_FALSE(b.e.Texto1Click(1));
    EXPECT_EQ(b.N(1).Texto, "Lanzar producto");
    // One line: a pasted line break would split the node's line in the file.
    EXPECT_TRUE(b.e.Texto1Click(1));
    EXPECT_EQ(b.N(1).Texto, "a  b");
    EXPECT_FALSE(b.e.Texto1Click(0));
}

TEST(Edicion, GananciaYProbabilidad)
{
    struct Caso {
        char separador;
        bool probabilidad;
        std::string texto;
        bool error;
        double valor;
        std::string formula;
        std::string etiqueta;
        bool verVariables = true;
    };
    std::vector<Caso> casos;
    for (char s : {'.', ','}) {
        const std::string d = std::string(1, s);
        for (bool prob : {false, true}) {
            // A picked line: the branch refers to its variable; the label
            // shows the name or, with "Ver variables" up, the number.
            casos.push_back({s, prob, "COSTE = 1200", false, 1200, "COSTE", "COSTE"});
            casos.push_back({s, prob, "COSTE = 1200", false, 1200, "COSTE", "1200", false});
            casos.push_back({s, prob, "P = 0" + d + "25", false, 0.25, "P", "0" + d + "25", false});
            // A line that does not evaluate keeps the new name and the old number.
            casos.push_back({s, prob, "MALO = 1 +", true, 7, "MALO", "7"});
            casos.push_back({s, prob, "12,5", false, 12.5, "", "12" + d + "5"});
            casos.push_back({s, prob, "12.5", false, 12.5, "", "12" + d + "5"});
            casos.push_back({s, prob, " -3 ", false, -3, "", "-3"});
            casos.push_back({s, prob, "abc", true, 7, "", "7"});
            casos.push_back({s, prob, "COSTE", true, 7, "", "7"}); // a bare name is not a list entry
        }
    }
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.texto + " " + c.separador + (c.probabilidad ? " prob" : " gan"));
        SeparadorTemporal sep(c.separador);
        Banco b;
        b.a.Variables = {"COSTE = 1200", "P = 0" + std::string(1, c.separador) + "25", "MALO = 1 +"};
        b.a.VerVariables = c.verVariables;
        ASSERT_TRUE(b.Convierte(0, NodoDecision, "1"));
        ASSERT_TRUE(b.Convierte(1, NodoAzar, "1"));
        TNodo& x = *b.a.Nodo(2);
        double& valor = c.probabilidad ? x.Probabilidad : x.Ganancia;
        std::string& formula = c.probabilidad ? x.FormulaProbabilidad : x.FormulaGanancia;
        Etiqueta& etiqueta = c.probabilidad ? x.EtiquetaProbabilidad : x.EtiquetaGanancia;
        valor = 7;
        formula = "VIEJA";
        etiqueta.Caption = "7";
        b.u.textos.push_back(c.texto);
        if (c.error) {
            EXPECT_THROW(c.probabilidad ? b.e.Probabilidad1Click(2) : b.e.Coste3Click(2), ENemor);
        } else {
            EXPECT_TRUE(c.probabilidad ? b.e.Probabilidad1Click(2) : b.e.Coste3Click(2));
        }
        EXPECT_EQ(b.u.datos.back().rotulo, c.probabilidad ? "Probabilidad" : "Ganancia");
        EXPECT_EQ(valor, c.valor);
        EXPECT_EQ(formula, c.formula); // emptied even when the number fails
        EXPECT_EQ(etiqueta.Caption, c.etiqueta);
        EXPECT_EQ(b.e.UltimoDato(), c.texto);
    }
}

TEST(Edicion, DatoRecuerdaElUltimoTextoAceptado)
{
    Banco b;
    ASSERT_TRUE(b.Convierte(0, NodoDecision, "1"));
    ASSERT_TRUE(b.Convierte(1, NodoAzar, "2"));
    b.a.Variables = {"B = 1", "", "A = 2", "! C = 3", "Q = bayes(A)", "suelta"};
    b.u.textos = {std::string("0,3"), std::nullopt, std::string("0.7")};
    EXPECT_TRUE(b.e.Probabilidad1Click(2));
    EXPECT_FALSE(b.e.Coste3Click(3)); // cancelled: nothing changes
    EXPECT_EQ(b.N(3).Ganancia, 0);
    EXPECT_TRUE(b.e.Probabilidad1Click(3));
    ASSERT_EQ(b.u.datos.size(), 3u);
    EXPECT_EQ(b.u.datos[0].inicial, "");
    EXPECT_EQ(b.u.datos[1].inicial, "0,3");
    EXPECT_EQ(b.u.datos[2].inicial, "0,3"); // a cancel does not replace it
    EXPECT_EQ(b.u.datos[0].lista, (std::vector<std::string>{"A = 2", "B = 1", "suelta"}));
    b.a.opciones.CheckBoxListaVarOrdenada = false;
    b.u.textos = {std::nullopt};
    b.e.Coste3Click(3);
    EXPECT_EQ(b.u.datos.back().lista, (std::vector<std::string>{"B = 1", "A = 2", "suelta"}));
    // Probability is offered only below a chance node.
    EXPECT_FALSE(b.e.Probabilidad1Click(1));
    EXPECT_FALSE(b.e.Coste3Click(0));
}

TEST(Edicion, ComentarioDeDosLineas)
{
    struct Caso {
        std::string texto; // as typed in the pad
        std::string comentario;
        bool marca;
    };
    const std::vector<Caso> casos = {
        {"Revisar precio\nsegún mercado", "Revisar precio\tsegún mercado\t", true},
        {"una\r\n\r\ntres\n", "una\t\ttres\t", true},
        {"", "", false},
        // A tab typed inside a line must not split it when the comment reopens.
        {"a\tb\nc", "a b\tc\t", true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.texto);
        Banco b;
        ASSERT_TRUE(b.Convierte(0, NodoDecision, "1"));
        b.a.Nodo(1)->Comentario = "vieja\t";
        b.a.Nodo(1)->MarcaVisible = true;
        EXPECT_EQ(b.e.AbrirComentario(1), (std::vector<std::string>{"vieja"}));
        // Without an edit nothing is stored.
        EXPECT_FALSE(b.e.GuardarComentario(LineasDeTexto(c.texto)));
        EXPECT_EQ(b.N(1).Comentario, "vieja\t");
        b.e.NotaCambiada();
        EXPECT_TRUE(b.e.GuardarComentario(LineasDeTexto(c.texto)));
        EXPECT_EQ(b.N(1).Comentario, c.comentario);
        EXPECT_EQ(b.N(1).MarcaVisible, c.marca);
        // Reopened, it shows the same lines.
        EXPECT_EQ(ComentarioDeLineas(b.e.AbrirComentario(1)), c.comentario);
        EXPECT_EQ(b.e.AbrirComentario(1).size(), LineasDeTexto(c.texto).size());
    }
    // Text after the last tab is not a line.
    EXPECT_EQ(LineasDeComentario("a\tb\tresto"), (std::vector<std::string>{"a", "b"}));

    // The node went away while the pad was open: nothing is stored anywhere.
    Banco b;
    ASSERT_TRUE(b.Convierte(0, NodoDecision, "2"));
    b.e.AbrirComentario(2);
    b.e.NotaCambiada();
    b.u.respuestas.push_back(Respuesta::Si);
    ASSERT_TRUE(b.e.Borrar1Click(2));
    EXPECT_FALSE(b.e.GuardarComentario({"x"}));
}

TEST(Edicion, CopiarYPegar)
{
    Banco b;
    // 0 -> 1 (decision) -> 3, 4;  0 -> 2
    ASSERT_TRUE(b.Convierte(0, NodoDecision, "2"));
    ASSERT_TRUE(b.Convierte(1, NodoDecision, "2"));
    TNodo& s = *b.a.Nodo(1);
    s.Texto = s.EtiquetaTexto.Caption = "Origen";
    s.Ganancia = 10;
    s.EtiquetaGanancia.Caption = "10";
    s.Valor = 33;
    TNodo& h = *b.a.Nodo(4);
    h.Texto = "hijo";
    h.Ganancia = 2;
    h.FormulaGanancia = "G";
    h.EtiquetaGanancia.Caption = "G";
    h.LongitudRama = 80;
    h.Comentario = "no se copia\t";
    h.Valor = 5;
    h.Elegido = true;
    TNodo& t = *b.a.Nodo(2);
    t.FormulaGanancia = "PROPIA";
    t.Comentario = "mía\t";
    t.LongitudRama = 70;
    b.a.SituarNodo(2, 500, 600);

    EXPECT_EQ(b.e.CaptionPegar(), "P&egar");
    EXPECT_FALSE(PuedePegar(b.a, 2));
    EXPECT_FALSE(b.e.Copiar1Click(0)); // the root cannot be copied
    EXPECT_FALSE(b.e.Copiar1Click(3)); // nor a terminal node
    ASSERT_TRUE(b.e.Copiar1Click(1));
    EXPECT_EQ(b.a.NodoCopiado, 1);
    EXPECT_EQ(b.e.CaptionPegar(), "P&egar nodo 1");
    EXPECT_FALSE(PuedePegar(b.a, 1)); // only onto terminal nodes
    ASSERT_TRUE(b.e.Pegar1Click(2));

    const TNodo& d = b.N(2);
    EXPECT_EQ(d.Tipo, NodoDecision);
    EXPECT_EQ(d.Texto, "Origen");
    EXPECT_EQ(d.Ganancia, 10);
    EXPECT_EQ(d.EtiquetaGanancia.Caption, "10");
    EXPECT_EQ(d.FormulaGanancia, "PROPIA");
    EXPECT_EQ(d.Comentario, "mía\t");
    EXPECT_EQ(d.LongitudRama, 70);
    EXPECT_EQ(d.Padre, 0);
    EXPECT_EQ(b.Hijos(2), (std::vector<uint16_t>{5, 6}));
    EXPECT_EQ(b.Orden(), (std::vector<uint16_t>{0, 1, 2, 3, 4, 5, 6}));
    const int32_t dx = 500 - b.N(1).Figura.Left, dy = 600 - b.N(1).Figura.Top;
    for (auto [copia, original] : {std::pair<uint16_t, uint16_t>{5, 3}, {6, 4}}) {
        EXPECT_EQ(b.N(copia).Figura.Left, b.N(original).Figura.Left + dx);
        EXPECT_EQ(b.N(copia).Figura.Top, b.N(original).Figura.Top + dy);
        EXPECT_EQ(b.N(copia).Padre, 2);
    }
    const TNodo& c = b.N(6);
    EXPECT_EQ(c.Texto, "hijo");
    EXPECT_EQ(c.FormulaGanancia, "G");
    EXPECT_EQ(c.EtiquetaGanancia.Caption, "G");
    EXPECT_EQ(c.LongitudRama, 80);
    EXPECT_EQ(c.Comentario, "");
    EXPECT_EQ(c.Valor, 0);
    EXPECT_FALSE(c.Elegido);
    EXPECT_EQ(b.a.NodoCopiado, 1); // the mark stays for another paste
}

TEST(Edicion, PegarDentroDeLaEstructuraMarcada)
{
    Banco b;
    // 0 -> 1 (decision) -> 2 (chance) -> 3, 4
    ASSERT_TRUE(b.Convierte(0, NodoDecision, "1"));
    ASSERT_TRUE(b.Convierte(1, NodoDecision, "1"));
    ASSERT_TRUE(b.Convierte(2, NodoAzar, "2"));
    b.a.Nodo(3)->Texto = "hoja";
    b.a.Nodo(1)->Texto = "arriba";
    ASSERT_TRUE(b.e.Copiar1Click(1));
    ASSERT_TRUE(b.e.Pegar1Click(3));
    // Node 3 becomes a copy of 1; below it, the structure as it was: 2 -> (3, 4), once.
    EXPECT_EQ(b.N(3).Tipo, NodoDecision);
    EXPECT_EQ(b.N(3).Texto, "arriba");
    EXPECT_EQ(b.Hijos(3), (std::vector<uint16_t>{5}));
    EXPECT_EQ(b.N(5).Tipo, NodoAzar);
    EXPECT_EQ(b.Hijos(5), (std::vector<uint16_t>{6, 7}));
    EXPECT_EQ(b.N(6).Tipo, NodoTerminal);
    EXPECT_EQ(b.N(6).Texto, "hoja"); // the pasted-onto node as it was before the paste
    EXPECT_EQ(b.N(6).NumHijos(), 0);
    EXPECT_EQ(b.a.UltimaPosicion, 7);
}

} // namespace
