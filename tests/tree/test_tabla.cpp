#include "common/Errores.h"
#include "tree/Arbol.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint16_t> Orden(const Arbol& a)
{
    return std::vector<uint16_t>(a.ListaOrden.begin(), a.ListaOrden.begin() + a.UltimaPosicion + 1);
}

TEST(TablaNodos, ArbolVacio)
{
    Arbol a;
    EXPECT_EQ(a.UltimaPosicion, 0);
    EXPECT_EQ(a.UltimoIndice, 0);
    const TNodo& r = a.Raiz();
    EXPECT_EQ(r.Tipo, NodoTerminal);
    EXPECT_EQ(r.Padre, 0);
    EXPECT_EQ(r.Texto, " ");
    EXPECT_EQ(r.LongitudRama, 60);
    EXPECT_EQ(r.Figura.Left, 20);
    EXPECT_EQ(r.Figura.Top, 768 / 2 - 50);
    EXPECT_FALSE(r.EtiquetaTexto.Visible);
    EXPECT_FALSE(r.EtiquetaGanancia.Visible);
    EXPECT_FALSE(r.EtiquetaProbabilidad.Visible);
    EXPECT_TRUE(r.EtiquetaValor.Visible);
    EXPECT_EQ(r.EtiquetaValor.Caption, "0");
    EXPECT_EQ(r.HintFigura, "Nodo 0");
    for (int n = 1; n <= MaxNumeroNodo; ++n)
        EXPECT_EQ(a.Nodo(n), nullptr);
    EXPECT_EQ(a.Nodo(-1), nullptr);
    EXPECT_EQ(a.Nodo(1001), nullptr);
}

TEST(TablaNodos, CrearNodoDatosDeVista)
{
    Arbol a;
    a.opciones.FontComboBox1 = "Courier New";
    a.opciones.EDigitosEtiquetas = "6";
    a.TamanyoNodo = 30;
    const uint16_t n = a.NuevoHijo(0, NodoAzar);
    const TNodo& x = *a.Nodo(n);
    EXPECT_EQ(x.HintFigura, "Nodo 1");
    EXPECT_EQ(x.EtiquetaGanancia.Hint, "Ganancia Nodo 1");
    EXPECT_EQ(x.EtiquetaProbabilidad.Hint, "Probabilidad Nodo 1");
    EXPECT_EQ(x.EtiquetaValor.Hint, "Valor Nodo 1");
    EXPECT_EQ(x.EtiquetaNumero.Caption, "1");
    EXPECT_EQ(x.EtiquetaTexto.Fuente, "Courier New");
    EXPECT_EQ(x.EtiquetaNumero.Tamanyo, 7);
    EXPECT_EQ(x.EtiquetaTexto.Tamanyo, 8);
    EXPECT_EQ(x.MarcaComentario.Width, 8); // Round(30 / 4) = Round(7.5) = 8
    EXPECT_FALSE(x.MarcaVisible);
    a.SituarNodo(n, 100, 200);
    EXPECT_EQ(x.MarcaComentario.Left, 100 + 30 - 8);
    EXPECT_EQ(x.MarcaComentario.Top, 200);

    // The root keeps 4 digits and Arial whatever the options say.
    a.opciones.EDigitosEtiquetas = "2";
    a.NuevoArbolVacio();
    EXPECT_EQ(a.Raiz().EtiquetaValor.Fuente, "Arial");

    // Size 34: mark Round(8.5) = 8; size 26: Round(6.5) = 6.
    a.TamanyoNodo = 34;
    EXPECT_EQ(a.Nodo(a.NuevoHijo(0))->MarcaComentario.Width, 8);
    a.TamanyoNodo = 26;
    EXPECT_EQ(a.Nodo(a.NuevoHijo(0))->MarcaComentario.Width, 6);
}

TEST(TablaNodos, CrearNodoConDigitosMalosNoTocaLaTabla)
{
    Arbol a;
    a.opciones.EDigitosEtiquetas = "cuatro";
    EXPECT_THROW(a.CrearNodo(5, NodoTerminal, 0), EConvertError);
    EXPECT_EQ(a.Nodo(5), nullptr);
}

TEST(TablaNodos, NumerosNoSeReutilizan)
{
    Arbol a;
    const uint16_t n1 = a.NuevoHijo(0, NodoDecision);
    const uint16_t n2 = a.NuevoHijo(n1);
    a.QuitarDeHijos(n2);
    a.DestruirNodo(n2);
    a.QuitarDeOrden(n2);
    EXPECT_EQ(a.NuevoHijo(n1), 3);
    EXPECT_EQ(a.UltimoIndice, 3);
    EXPECT_EQ(a.UltimaPosicion, 2);
    a.NuevoArbolVacio();
    EXPECT_EQ(a.NuevoHijo(0), 1);
}

TEST(TablaNodos, BorrarDescendientesProfundosPrimero)
{
    Arbol a;
    // 0 -> 1 -> (2 -> (4, 5), 3);  0 -> 6
    const uint16_t n1 = a.NuevoHijo(0, NodoDecision);
    const uint16_t n2 = a.NuevoHijo(n1, NodoAzar);
    const uint16_t n3 = a.NuevoHijo(n1);
    a.NuevoHijo(n2);
    a.NuevoHijo(n2);
    const uint16_t n6 = a.NuevoHijo(0);
    EXPECT_EQ(Orden(a), (std::vector<uint16_t>{0, 1, 2, 3, 4, 5, 6}));
    a.BorrarDescendientes(n1);
    EXPECT_EQ(Orden(a), (std::vector<uint16_t>{0, 1, 6}));
    for (uint16_t n : {2, 3, 4, 5})
        EXPECT_EQ(a.Nodo(n), nullptr);
    EXPECT_EQ(a.Nodo(n1)->NumHijos(), 2); // the node itself keeps its children list
    EXPECT_NE(a.Nodo(n6), nullptr);
    (void)n3;
}

TEST(TablaNodos, QuitarLoQueNoEstaNoCambiaNada)
{
    Arbol a;
    const uint16_t n1 = a.NuevoHijo(0, NodoDecision);
    a.NuevoHijo(n1);
    a.QuitarDeOrden(999);
    a.QuitarDeOrden(0); // the root is never searched
    EXPECT_EQ(a.UltimaPosicion, 2);
    a.QuitarDeHijos(0); // the root is not among its own children
    EXPECT_EQ(a.Raiz().NumHijos(), 1);
    a.QuitarDeHijos(777); // no such node
    EXPECT_EQ(Orden(a), (std::vector<uint16_t>{0, 1, 2}));
}

TEST(TablaNodos, MoverDescendientesYPonerTexto)
{
    Arbol a;
    const uint16_t n1 = a.NuevoHijo(0, NodoDecision);
    const uint16_t n2 = a.NuevoHijo(n1, NodoDecision);
    const uint16_t n3 = a.NuevoHijo(n2);
    a.SituarNodo(n2, 10, 20);
    a.SituarNodo(n3, 30, 40);
    a.MoverDescendientes(n1, 5, -3);
    EXPECT_EQ(a.Nodo(n2)->Figura.Left, 15);
    EXPECT_EQ(a.Nodo(n3)->Figura.Top, 37);
    EXPECT_EQ(a.Nodo(n3)->MarcaComentario.Top, 37);
    a.PonerTexto(n3, "Éxito");
    EXPECT_EQ(a.Nodo(n3)->Texto, "Éxito");
    EXPECT_EQ(a.Nodo(n3)->EtiquetaTexto.Caption, "Éxito");
    a.PonerTexto(500, "nadie"); // no such node: nothing happens
}

TEST(TablaNodos, LimitesRechazanSinCambiarNada)
{
    Arbol a;
    const uint16_t n1 = a.NuevoHijo(0, NodoAzar);
    for (int i = 0; i < MaxHijos - 1; ++i)
        a.NuevoHijo(n1);
    EXPECT_EQ(a.Nodo(n1)->NumHijos(), 99);
    a.NuevoHijo(n1);
    const int indice = a.UltimoIndice;
    const int posicion = a.UltimaPosicion;
    // The 101st child is refused before a number is taken.
    try {
        a.CompruebaEspacio(1, n1, 1);
        ADD_FAILURE();
    } catch (const ELimiteArbol& e) {
        EXPECT_STREQ(e.what(), kMensajeSinRamas);
    }
    EXPECT_THROW(a.AnyadirHijo(n1, 999), ELimiteArbol);
    EXPECT_EQ(a.Nodo(n1)->NumHijos(), 100);
    EXPECT_EQ(a.UltimoIndice, indice);
    EXPECT_EQ(a.UltimaPosicion, posicion);

    // Numbers run out at 1000, even after removals.
    Arbol b;
    const uint16_t d = b.NuevoHijo(0, NodoDecision);
    for (int i = 0; i < 998; ++i) {
        const uint16_t c = b.NuevoHijo(d);
        b.QuitarDeHijos(c);
        b.DestruirNodo(c);
        b.QuitarDeOrden(c);
    }
    EXPECT_EQ(b.UltimoIndice, 999);
    EXPECT_EQ(b.NuevoHijo(d), 1000);
    try {
        b.NuevoIndice();
        ADD_FAILURE();
    } catch (const ELimiteArbol& e) {
        EXPECT_STREQ(e.what(), kMensajeSinNumeros);
    }
    EXPECT_EQ(b.UltimoIndice, 1000);
    EXPECT_EQ(b.UltimaPosicion, 2);
    EXPECT_THROW(b.CompruebaEspacio(1, d, 0), ELimiteArbol);
}

TEST(TablaNodos, CopiarNodo)
{
    Arbol a;
    const uint16_t n1 = a.NuevoHijo(0, NodoDecision);
    const uint16_t n2 = a.NuevoHijo(0, NodoTerminal);
    TNodo& o = *a.Nodo(n1);
    o.Valor = 7;
    o.Ganancia = 3;
    o.Probabilidad = 0.5;
    o.Texto = "origen";
    o.FormulaGanancia = "G";
    o.Comentario = "nota\t";
    o.EtiquetaValor.Caption = "7";
    o.EtiquetaGanancia.Caption = "G";
    a.Nodo(n2)->EtiquetaValor.Visible = false;
    a.CopiarNodo(n2, n1);
    const TNodo& d = *a.Nodo(n2);
    EXPECT_EQ(d.Tipo, NodoDecision);
    EXPECT_EQ(d.Valor, 7);
    EXPECT_EQ(d.Texto, "origen");
    EXPECT_EQ(d.EtiquetaGanancia.Caption, "G");
    EXPECT_TRUE(d.EtiquetaValor.Visible);
    EXPECT_TRUE(d.FormulaGanancia.empty()); // formulas and comments are not copied
    EXPECT_TRUE(d.Comentario.empty());
}

} // namespace
