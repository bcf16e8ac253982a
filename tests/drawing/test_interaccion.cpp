#include "drawing/Interaccion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Root -> 1 (decision at 200,300) -> 2 (terminal at 350,250), 3 (terminal at 350,350).
struct ArbolPequeno : ::testing::Test {
    Arbol a;
    uint16_t d, t1, t2;
    void SetUp() override
    {
        a.SituarNodo(0, 20, 300);
        d = a.NuevoHijo(0, NodoDecision, 200, 300);
        t1 = a.NuevoHijo(d, NodoTerminal, 350, 250);
        t2 = a.NuevoHijo(d, NodoTerminal, 350, 350);
    }
    void Arrastra(uint16_t n, int dx, int dy, const ModosMovimiento& modos)
    {
        EstadoArrastre e;
        const Rect f = a.Nodo(n)->Figura;
        EmpiezaArrastre(a, e, n, 5, 7);
        MueveArrastre(e, f.Left + 5 + dx, f.Top + 7 + dy);
        EXPECT_EQ(e.Fantasma.Left, f.Left + dx);
        EXPECT_TRUE(SueltaArrastre(a, e, modos));
        EXPECT_FALSE(e.Arrastrando);
        EXPECT_FALSE(e.FantasmaVisible);
    }
};

TEST_F(ArbolPequeno, SoltarEnAmbosModos)
{
    struct Caso {
        bool modo1, hijos;
        int dx, dy;
        int rama;      // stub of the dropped node afterwards
        int hijoLeft;  // left of its first child afterwards
    } casos[] = {
        {true, true, 40, 10, 100, 390},  // mode 1: the stub stretches by 40
        {false, true, 40, 10, 60, 390},  // mode 2: the stub travels with the node
        {true, false, 40, 10, 100, 350}, // children stay where they were
        {true, true, 0, 0, 60, 350},     // a drop in place changes nothing
        {true, true, -70, 0, 65526, 280}, // the stub wraps at 16 bits
    };
    for (const auto& c : casos) {
        SetUp();
        Arrastra(d, c.dx, c.dy, ModosMovimiento{c.modo1, c.hijos});
        EXPECT_EQ(a.Nodo(d)->Figura.Left, 200 + c.dx);
        EXPECT_EQ(a.Nodo(d)->Figura.Top, 300 + c.dy);
        EXPECT_EQ(a.Nodo(d)->MarcaComentario.Left, 200 + c.dx + 30 - 8);
        EXPECT_EQ(a.Nodo(d)->LongitudRama, c.rama);
        EXPECT_EQ(a.Nodo(t1)->Figura.Left, c.hijoLeft);
        EXPECT_EQ(a.Nodo(t1)->LongitudRama, 60); // descendants keep their stubs
        a.NuevoArbolVacio();
    }
}

TEST_F(ArbolPequeno, SoltarUnNodoBorradoNoHaceNada)
{
    EstadoArrastre e;
    EmpiezaArrastre(a, e, t2, 1, 1);
    MueveArrastre(e, 500, 500);
    a.QuitarDeHijos(t2);
    a.DestruirNodo(t2);
    a.QuitarDeOrden(t2);
    EXPECT_FALSE(SueltaArrastre(a, e, ModosMovimiento{}));
    EXPECT_FALSE(e.Arrastrando);
    EXPECT_FALSE(SueltaArrastre(a, e, ModosMovimiento{})); // nothing pending
}

TEST_F(ArbolPequeno, PulsarSinShiftQuitaLaSeleccionYLaRaizNoSeSelecciona)
{
    SeleccionaNodo(a, t1);
    SeleccionaNodo(a, 0);
    EXPECT_TRUE(a.Nodo(t1)->Seleccionado);
    EXPECT_FALSE(a.Raiz().Seleccionado);
    EstadoArrastre e;
    EmpiezaArrastre(a, e, t2, 0, 0);
    EXPECT_FALSE(a.Nodo(t1)->Seleccionado);
    EXPECT_FALSE(QuitaSeleccion(a));
}

TEST_F(ArbolPequeno, Alinear)
{
    // Lefts 100, 110, 121 go to Round(331 / 3) = 110.
    a.SituarNodo(d, 100, 300);
    a.SituarNodo(t1, 110, 250);
    a.SituarNodo(t2, 121, 351);
    for (uint16_t n : {d, t1, t2})
        SeleccionaNodo(a, n);
    AlinearVertical(a, ModosMovimiento{true, true});
    for (uint16_t n : {d, t1, t2}) {
        EXPECT_EQ(a.Nodo(n)->Figura.Left, 110);
        EXPECT_FALSE(a.Nodo(n)->Seleccionado);
    }
    EXPECT_EQ(a.Nodo(d)->LongitudRama, 70);
    EXPECT_EQ(a.Nodo(t2)->LongitudRama, 49);

    // Rows: tops 250 and 351 give Round(300.5) = 300 (half to even); stubs untouched; children stay.
    SeleccionaNodo(a, t1);
    SeleccionaNodo(a, t2);
    AlinearHorizontal(a);
    EXPECT_EQ(a.Nodo(t1)->Figura.Top, 300);
    EXPECT_EQ(a.Nodo(t2)->Figura.Top, 300);
    EXPECT_EQ(a.Nodo(t2)->MarcaComentario.Top, 300);
    EXPECT_EQ(a.Nodo(t2)->LongitudRama, 49);

    // Nothing selected: nothing moves.
    AlinearVertical(a, ModosMovimiento{});
    AlinearHorizontal(a);
    EXPECT_EQ(a.Nodo(t1)->Figura.Left, 110);
    EXPECT_EQ(a.Nodo(t1)->Figura.Top, 300);
}

TEST_F(ArbolPequeno, ZoomIdaYVuelta)
{
    ZoomAumentar(a);
    EXPECT_EQ(a.TamanyoNodo, 33);
    EXPECT_EQ(a.TamanyoLetra, 8); // Trunc(8.888...)
    EXPECT_EQ(a.SeparacionHorizontal, 132);
    EXPECT_EQ(a.SeparacionVertical, 40);
    EXPECT_EQ(a.Nodo(d)->Figura.Left, 222);
    EXPECT_EQ(a.Nodo(d)->Figura.Width, 33);
    EXPECT_EQ(a.Nodo(d)->LongitudRama, 67);
    EXPECT_EQ(a.Nodo(d)->MarcaComentario.Width, 8);
    EXPECT_EQ(a.Nodo(d)->EtiquetaValor.Tamanyo, 8);
    ZoomDisminuir(a);
    EXPECT_EQ(a.FactorZoom, 1.0);
    EXPECT_EQ(a.TamanyoNodo, 30);
    EXPECT_EQ(a.Nodo(d)->Figura.Left, 200);
    EXPECT_EQ(a.Nodo(d)->LongitudRama, 60);

    ZoomAumentar(a);
    ZoomAumentar(a);
    ZoomAumentar(a);
    EXPECT_EQ(a.TamanyoLetra, 10);
    EXPECT_EQ(a.Nodo(d)->EtiquetaTexto.Tamanyo, 10);
    EXPECT_EQ(a.Nodo(d)->EtiquetaNumero.Tamanyo, 7); // the number keeps its size
    ZoomOriginal(a);
    EXPECT_EQ(a.FactorZoom, 1.0);
    EXPECT_EQ(a.TamanyoLetra, 8);
}

TEST_F(ArbolPequeno, DosDentroTresFueraYOriginal)
{
    ZoomAumentar(a);
    ZoomAumentar(a);
    ZoomDisminuir(a);
    ZoomDisminuir(a);
    ZoomDisminuir(a);
    ZoomOriginal(a);
    // The factor lands one unit in the last place below 1, so the letter size truncates to 7.
    EXPECT_EQ(a.FactorZoom, std::nextafter(1.0, 0.0));
    EXPECT_EQ(a.TamanyoLetra, 7);
}

TEST(Esquema, ProfundidadPrimeroEnOrdenDeRamas)
{
    Arbol a;
    const uint16_t d = a.NuevoHijo(0, NodoDecision, 0, 0);
    const uint16_t c = a.NuevoHijo(d, NodoAzar, 0, 0);
    const uint16_t t = a.NuevoHijo(d, NodoTerminal, 0, 0);
    a.NuevoHijo(c, NodoTerminal, 0, 0);
    a.PonerTexto(t, "Vender");
    a.PonerTexto(c, "Vender");
    const auto e = ConstruyeEsquema(a);
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0].Caption, "Nodo Inicial");
    EXPECT_EQ(e[0].Tipo, NodoDecision);
    EXPECT_EQ(e[1].Nodo, d);
    EXPECT_EQ(e[1].Caption, " ");
    EXPECT_EQ(e[2].Nodo, c);
    EXPECT_EQ(e[2].Nivel, 2);
    EXPECT_EQ(e[3].Nivel, 3);
    EXPECT_EQ(e[4].Nodo, t);
    EXPECT_EQ(e[4].Tipo, NodoTerminal);

    Arbol vacio;
    EXPECT_EQ(ConstruyeEsquema(vacio).size(), 1u);
}

} // namespace
