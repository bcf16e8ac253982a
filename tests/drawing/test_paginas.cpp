#include "common/Errores.h"
#include "drawing/Paginas.h"

#include <gtest/gtest.h>

namespace {

TEST(Paginas, Rejilla)
{
    struct Caso {
        int derecha, abajo, w, h;
        int filas, columnas, k;
    } casos[] = {
        {500, 400, 1000, 700, 1, 1, 1},       // fits one window
        {2500, 840, 1000, 700, 2, 3, 3},      // 2.5 x 1.2 windows
        {1000, 700, 1000, 700, 2, 2, 2},      // an edge exactly on the page border starts a new page
        {999, 3000, 1000, 700, 5, 1, 5},      // tall drawing
        {-50, -10, 1000, 700, 1, 1, 1},       // everything dragged off the top-left
    };
    for (const auto& c : casos) {
        const RejillaPaginas r = CalculaRejilla(c.derecha, c.abajo, c.w, c.h);
        EXPECT_EQ(r.Filas, c.filas) << c.derecha << "x" << c.abajo;
        EXPECT_EQ(r.Columnas, c.columnas) << c.derecha << "x" << c.abajo;
        EXPECT_EQ(r.K, c.k) << c.derecha << "x" << c.abajo;
    }
    EXPECT_EQ(CalculaRejilla(2500, 840, 1000, 700).Paginas(), 6);
    // Twenty windows across still preview; a node read far off the drawing is refused.
    EXPECT_EQ(CalculaRejilla(19999, 10, 1000, 700).K, 20);
    EXPECT_THROW(CalculaRejilla(20000, 10, 1000, 700), ENemor);
    EXPECT_THROW(CalculaRejilla(10, 2000000000, 1000, 700), ENemor);
}

TEST(Paginas, ExtensionCuentaSoloFiguras)
{
    Arbol a;
    a.SituarNodo(0, 20, 334);
    const uint16_t n = a.NuevoHijo(0, NodoTerminal, 900, 100);
    int32_t d, b;
    ExtensionDibujo(a, d, b);
    EXPECT_EQ(d, 930);
    EXPECT_EQ(b, 364);
}

TEST(Paginas, NombresDeTrabajosEImagenes)
{
    struct Caso {
        const char* base;
        int i, j;
        const char* nombre;
    } casos[] = {
        {"Sin título", 1, 1, "-1-1.Sin"},
        {"Sin título", 1, 2, "-1-2.Sin"},
        {"arbol.bmp", 1, 1, "arbol-1-1.bmp"},
        {"/home/ana/arbol.bmp", 2, 3, "/home/ana/arbol-2-3.bmp"},
        {"/home/ana/v1.2/arbol.bmp", 1, 1, "/home/ana/v1-1-1.2/a"},
        {"/tmp/árbol.nmr", 1, 1, "/tmp/árbol-1-1.nmr"},
        {"/tmp/x.ñandú", 1, 1, "/tmp/x-1-1.ñan"},
        {"/tmp/arbol.", 1, 1, "/tmp/arbol-1-1."},
    };
    for (const auto& c : casos)
        EXPECT_EQ(NombrePagina(c.base, c.i, c.j), c.nombre) << c.base;
}

TEST(Paginas, VentanaDeProgreso)
{
    int32_t w, h;
    TamanyoVentanaProgreso(1, 1, w, h); // square 20..45 x 30..55: 55 + 30 > 51
    EXPECT_EQ(h, 95);
    EXPECT_EQ(w, 150);
    TamanyoVentanaProgreso(2, 6, w, h); // last square right 170, bottom 80
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 120);
    const Rect r = CuadroProgreso(1, 2);
    EXPECT_EQ(r.Left, 70);
    EXPECT_EQ(r.Top, 55);
}

TEST(Paginas, TamanyoImpresoEnUnaHoja)
{
    int32_t w, h;
    TamanyoImpreso(ModoEscala::Proporcional, 800, 600, 600, 600, 96, 6000, 4500, w, h);
    EXPECT_EQ(w, 5000);
    EXPECT_EQ(h, 3750);
    TamanyoImpreso(ModoEscala::AjustarPagina, 800, 600, 600, 600, 96, 6000, 4500, w, h); // 800*4500/600 = 6000, not < 6000
    EXPECT_EQ(w, 6000);
    EXPECT_EQ(h, 4500);
    TamanyoImpreso(ModoEscala::AjustarPagina, 400, 600, 600, 600, 96, 6000, 4500, w, h);
    EXPECT_EQ(w, 3000);
    EXPECT_EQ(h, 4500);
    TamanyoImpreso(ModoEscala::AjustarPagina, 1200, 300, 600, 600, 96, 6000, 4500, w, h);
    EXPECT_EQ(w, 6000);
    EXPECT_EQ(h, 1500);
    TamanyoImpreso(ModoEscala::SinEscala, 800, 600, 600, 600, 96, 6000, 4500, w, h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
}

TEST(Paginas, ModoDeLaOpcionEscala)
{
    struct Caso {
        int escala;
        ModoEscala modo;
    } casos[] = {
        {0, ModoEscala::Proporcional},
        {1, ModoEscala::AjustarPagina},
        {2, ModoEscala::SinEscala},
        {3, ModoEscala::Proporcional},  // a hand-edited settings file
        {-1, ModoEscala::Proporcional},
    };
    for (const auto& c : casos)
        EXPECT_EQ(ModoEscalaDeOpcion(c.escala), c.modo) << c.escala;
}

TEST(Paginas, ZoomDeLaPrevisualizacion)
{
    // One step up scales by 100/90, one down by 90/100, rounded to pixels.
    struct Caso {
        int i, j, pasos;
        int left, top, width, height;
    } casos[] = {
        {0, 0, 0, 0, 0, 300, 200},
        {0, 0, 1, 0, 0, 333, 222},   // 333.3, 222.2
        {1, 2, 1, 667, 222, 333, 222}, // edges at 666.7, 1000; 222.2, 444.4
        {0, 0, -1, 0, 0, 270, 180},
        {2, 2, -2, 486, 324, 243, 162},
    };
    for (const auto& c : casos) {
        const Rect r = TeselaPrevia(c.i, c.j, 300, 200, c.pasos);
        EXPECT_EQ(r.Left, c.left) << c.i << "," << c.j << " at " << c.pasos;
        EXPECT_EQ(r.Top, c.top) << c.i << "," << c.j << " at " << c.pasos;
        EXPECT_EQ(r.Width, c.width) << c.i << "," << c.j << " at " << c.pasos;
        EXPECT_EQ(r.Height, c.height) << c.i << "," << c.j << " at " << c.pasos;
    }
    // However far the user zooms, neighbours meet: no seams, no overlaps.
    for (int pasos = -kPasosZoomPrevio; pasos <= kPasosZoomPrevio; ++pasos)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                const Rect r = TeselaPrevia(i, j, 333, 251, pasos);
                EXPECT_EQ(TeselaPrevia(i, j + 1, 333, 251, pasos).Left, r.Right()) << pasos;
                EXPECT_EQ(TeselaPrevia(i + 1, j, 333, 251, pasos).Top, r.Bottom()) << pasos;
            }
    // Zooming in and back out returns to the same size; the steps stop at the limits.
    int pasos = 0;
    for (int n = 0; n < 5; ++n)
        pasos = PasosZoomPrevio(pasos, +1);
    for (int n = 0; n < 5; ++n)
        pasos = PasosZoomPrevio(pasos, -1);
    EXPECT_EQ(pasos, 0);
    for (int n = 0; n < 100; ++n)
        pasos = PasosZoomPrevio(pasos, -1);
    EXPECT_EQ(pasos, -kPasosZoomPrevio);
    EXPECT_GT(TeselaPrevia(0, 0, 100, 100, pasos).Width, 0);
    EXPECT_EQ(PasosZoomPrevio(kPasosZoomPrevio, +1), kPasosZoomPrevio);
}

} // namespace
