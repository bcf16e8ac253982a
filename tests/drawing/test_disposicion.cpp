#include "drawing/Disposicion.h"

#include <gtest/gtest.h>

namespace {

// 0 decision -> 1 chance -> (2 terminal, 3 decision -> 5 terminal); 0 -> 4 terminal
struct ArbolEjemplo {
    Arbol a;
    ArbolEjemplo()
    {
        a.Raiz().Tipo = NodoDecision;
        a.NuevoHijo(0, NodoAzar, 200, 100);
        a.NuevoHijo(1, NodoTerminal, 400, 50);
        a.NuevoHijo(1, NodoDecision, 400, 150);
        a.NuevoHijo(0, NodoTerminal, 200, 400);
        a.NuevoHijo(3, NodoTerminal, 600, 150);
    }
};

// Every label is as wide as six pixels per character and ten pixels high.
Medida Medir(const Etiqueta& e) { return {static_cast<int32_t>(6 * e.Caption.size()), 10}; }

using V = std::array<bool, NumEtiquetas>;

TEST(Disposicion, EtiquetasVisibles)
{
    struct Caso {
        const char* que;
        uint16_t nodo;
        bool numeros;
        V esperado; // text, probability, payoff, value, number
    };
    const Caso casos[] = {
        {"raíz de decisión", 0, false, {false, false, false, true, false}},
        {"raíz con números", 0, true, {false, false, false, true, true}},
        {"azar bajo decisión", 1, false, {true, false, true, true, false}},
        {"terminal bajo azar", 2, false, {true, true, true, false, false}},
        {"decisión bajo azar", 3, true, {true, true, true, true, true}},
        {"terminal bajo decisión", 4, true, {true, false, true, false, true}},
        {"terminal bajo decisión bajo azar", 5, false, {true, false, true, false, false}},
    };
    ArbolEjemplo e;
    for (const Caso& c : casos) {
        e.a.opciones.CheckBoxNumNodosVisibles = c.numeros;
        EXPECT_EQ(EtiquetasVisibles(e.a, c.nodo), c.esperado) << c.que;
    }

    // A root of a new tree shows its value even though it is terminal.
    Arbol nuevo;
    EXPECT_EQ(EtiquetasVisibles(nuevo, 0), (V{false, false, false, true, false}));

    // A label hidden by its flag stays hidden; a copy onto a terminal node
    // brings the value label back once the node is no longer terminal.
    e.a.opciones.CheckBoxNumNodosVisibles = false;
    e.a.Nodo(1)->EtiquetaGanancia.Visible = false;
    EXPECT_FALSE(EtiquetasVisibles(e.a, 1)[EGanancia]);
    e.a.Nodo(4)->EtiquetaValor.Visible = false;
    e.a.CopiarNodo(4, 3);
    EXPECT_TRUE(EtiquetasVisibles(e.a, 4)[EValor]);
    EXPECT_EQ(e.a.Nodo(4)->EtiquetaValor.Caption, e.a.Nodo(3)->EtiquetaValor.Caption);

    // No such node: nothing to show.
    EXPECT_EQ(EtiquetasVisibles(e.a, 999), (V{}));
}

TEST(Disposicion, SituaEtiquetas)
{
    ArbolEjemplo e;
    // Node 2 at (400, 50), 30 x 30, stub 60: cy = 65.
    const std::array<Medida, NumEtiquetas> m{{{40, 12}, {30, 11}, {20, 10}, {25, 9}, {6, 8}}};
    auto r = SituaEtiquetas(e.a, 2, m);
    EXPECT_EQ(r[ETexto].Left, 400 - 40 - 4);
    EXPECT_EQ(r[ETexto].Top, 65 - 12 - 4);
    EXPECT_EQ(r[EProbabilidad].Left, 400 - 60);
    EXPECT_EQ(r[EProbabilidad].Top, 65 + 4);
    EXPECT_EQ(r[EGanancia].Left, 400 - 20 - 4);
    EXPECT_EQ(r[EGanancia].Top, 69);
    EXPECT_EQ(r[EValor].Left, 430 - 25);
    EXPECT_EQ(r[EValor].Top, 50 - 9 - 4);
    EXPECT_EQ(r[ENumero].Left, 400 + 15 - 3);
    EXPECT_EQ(r[ENumero].Top, 65 - 7);
    EXPECT_EQ(r[EValor].Width, 25);
    EXPECT_EQ(r[EValor].Height, 9);

    // The root's number is one pixel lower; its value sits flush right above it.
    const TNodo& raiz = e.a.Raiz();
    r = SituaEtiquetas(e.a, 0, m);
    EXPECT_EQ(r[ENumero].Top, raiz.Figura.Top + 15 - 6);
    EXPECT_EQ(r[EValor].Left + r[EValor].Width, raiz.Figura.Right());
    EXPECT_EQ(r[EValor].Top + r[EValor].Height, raiz.Figura.Top - 4);

    // Odd sizes round halves to even: 33 / 2 = 16.5 -> 16; the stub length follows the node.
    TNodo& n = *e.a.Nodo(3);
    n.Figura.Width = n.Figura.Height = 33;
    n.LongitudRama = 75;
    r = SituaEtiquetas(e.a, 3, m);
    EXPECT_EQ(r[ENumero].Left, 400 + 16 - 3);
    EXPECT_EQ(r[EGanancia].Top, 150 + 16 + 4);
    EXPECT_EQ(r[EProbabilidad].Left, 400 - 75);
}

TEST(Disposicion, Ramas)
{
    ArbolEjemplo e;
    EXPECT_FALSE(RamaDe(e.a, 0).has_value());
    EXPECT_FALSE(RamaDe(e.a, 77).has_value());

    auto r = RamaDe(e.a, 2);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->X0, 400);
    EXPECT_EQ(r->Y0, 65);
    EXPECT_EQ(r->X1, 340);
    EXPECT_EQ(r->Y1, 65);
    EXPECT_EQ(r->X2, 230);
    EXPECT_EQ(r->Y2, 115);
    EXPECT_EQ(r->Pluma, RGB(0, 0, 0));
    EXPECT_EQ(r->Grosor, 1);

    // A chosen branch takes the chosen pen; the parent's right edge comes from
    // the node size, not from the parent's own width.
    e.a.Nodo(3)->Elegido = true;
    e.a.ColorElegido = RGB(0, 0, 255);
    e.a.GrosorElegido = 3;
    e.a.TamanyoNodo = 40;
    r = RamaDe(e.a, 3);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->Pluma, RGB(0, 0, 255));
    EXPECT_EQ(r->Grosor, 3);
    EXPECT_EQ(r->X2, 240);
}

TEST(Disposicion, ColorFigura)
{
    struct Caso {
        uint8_t tipo;
        bool seleccionado, sumaErronea;
        Color esperado;
    };
    Arbol a;
    const Caso casos[] = {
        {NodoTerminal, false, false, a.ColorTerminal},
        {NodoDecision, false, false, a.ColorDecision},
        {NodoAzar, false, false, a.ColorAzar},
        {NodoAzar, false, true, RGB(255, 0, 0)},
        {NodoAzar, true, true, RGB(192, 192, 192)},
        {NodoDecision, false, true, a.ColorDecision},
        {NodoDecision, true, false, RGB(192, 192, 192)},
        {NodoTerminal, true, false, RGB(192, 192, 192)},
    };
    for (const Caso& c : casos) {
        TNodo n;
        n.Tipo = c.tipo;
        n.Seleccionado = c.seleccionado;
        n.SumaErronea = c.sumaErronea;
        EXPECT_EQ(ColorFigura(a, n), c.esperado) << int(c.tipo) << c.seleccionado << c.sumaErronea;
    }
}

TEST(Disposicion, ControlYHintEnPunto)
{
    ArbolEjemplo e;
    Arbol& a = e.a;
    // Node 5 is placed over node 3, shifted by 10: the later one lies on top.
    a.SituarNodo(5, 410, 160);
    a.Nodo(5)->MarcaVisible = true;
    a.Nodo(2)->EtiquetaGanancia.Caption = "12";
    struct Caso {
        int32_t x, y;
        Impacto::Tipo tipo;
        uint16_t nodo;
        std::string hint;
    };
    const Caso casos[] = {
        {415, 155, Impacto::EnFigura, 3, "Nodo 3"},
        {420, 175, Impacto::EnFigura, 5, "Nodo 5"},
        {438, 162, Impacto::EnMarca, 5, ""},       // mark: 440 - 8 .. 440, over the figure
        {390, 70, Impacto::EnEtiqueta, 2, "Ganancia Nodo 2"}, // "12": 12 wide, left 384, top 69
        {345, 72, Impacto::EnEtiqueta, 2, "Probabilidad Nodo 2"},
        {392, 55, Impacto::EnEtiqueta, 2, ""},     // the text label " " shows no hint
        {426, 140, Impacto::EnEtiqueta, 3, "Valor Nodo 3"},
        {10, 10, Impacto::Nada, 0, ""},
    };
    for (const Caso& c : casos) {
        const Impacto i = ControlEnPunto(a, c.x, c.y, Medir);
        EXPECT_EQ(i.tipo, c.tipo) << c.x << "," << c.y;
        EXPECT_EQ(i.nodo, c.nodo) << c.x << "," << c.y;
        EXPECT_EQ(HintEnPunto(a, c.x, c.y, Medir), c.hint) << c.x << "," << c.y;
    }
    // The number label inside a figure lets the mouse through to the figure.
    a.opciones.CheckBoxNumNodosVisibles = true;
    const TNodo& n2 = *a.Nodo(2);
    const Impacto enNumero = ControlEnPunto(a, n2.Figura.Left + 15 - 3 + 1, n2.Figura.Top + 15 - 7 + 1, Medir);
    EXPECT_EQ(enNumero.tipo, Impacto::EnFigura) << enNumero.etiqueta << " " << enNumero.nodo;
    EXPECT_EQ(enNumero.nodo, 2);
    a.opciones.CheckBoxNumNodosVisibles = false;
    // A hidden mark and a hidden label are passed over.
    a.Nodo(5)->MarcaVisible = false;
    EXPECT_EQ(ControlEnPunto(a, 438, 162, Medir).tipo, Impacto::EnFigura);
    // Node 4 is terminal below a decision: no probability label to hit.
    const TNodo& n4 = *a.Nodo(4);
    EXPECT_EQ(ControlEnPunto(a, n4.Figura.Left - n4.LongitudRama + 1, n4.Figura.Top + 15 + 5, Medir).tipo,
              Impacto::Nada);
}

} // namespace
