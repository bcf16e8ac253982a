#include "tree/Arbol.h"

#include "common/Errores.h"
#include "common/Redondeo.h"
#include "drawing/FormatoEtiqueta.h"

#include <algorithm>

const char* const kMensajeSinNumeros =
    "El árbol no admite más nodos: se han agotado los 1000 números de nodo.";
const char* const kMensajeSinRamas = "Un nodo no puede tener más de 100 ramas.";

Arbol::Arbol()
{
    Archivo.Caption = "Sin título";
    Archivo.Tamanyo = 8;
    Fecha.Caption = "Fecha";
    Fecha.Tamanyo = 8;
    NuevoArbolVacio();
}

TNodo* Arbol::Nodo(int n)
{
    if (n < 0 || n > MaxNumeroNodo)
        return nullptr;
    return TablaNodos[n].get();
}

const TNodo* Arbol::Nodo(int n) const
{
    if (n < 0 || n > MaxNumeroNodo)
        return nullptr;
    return TablaNodos[n].get();
}

void Arbol::CompruebaEspacio(int nuevos, uint16_t padre, int ramas) const
{
    if (nuevos > 0 && (UltimoIndice + nuevos > MaxNumeroNodo || UltimaPosicion + nuevos > MaxNumeroNodo))
        throw ELimiteArbol(kMensajeSinNumeros);
    if (ramas > 0) {
        const TNodo* p = Nodo(padre);
        const int tiene = p ? p->NumHijos() : 0;
        if (tiene + ramas > MaxHijos)
            throw ELimiteArbol(kMensajeSinRamas);
    }
}

uint16_t Arbol::NuevoIndice()
{
    CompruebaEspacio(1, 0, 0);
    ++UltimaPosicion;
    ++UltimoIndice;
    ListaOrden[UltimaPosicion] = static_cast<uint16_t>(UltimoIndice);
    return static_cast<uint16_t>(UltimoIndice);
}

void Arbol::EtiquetasNumericas(TNodo& n)
{
    const int32_t d = opciones.DigitosEtiquetas();
    const int32_t p = opciones.PrecisionEtiquetas();
    n.EtiquetaProbabilidad.Caption = FormatoEtiqueta(n.Probabilidad, d, p);
    n.EtiquetaGanancia.Caption = FormatoEtiqueta(n.Ganancia, d, p);
    n.EtiquetaValor.Caption = FormatoEtiqueta(n.Valor, d, p);
}

void Arbol::CrearNodo(uint16_t numero, uint8_t tipo, uint16_t padre)
{
    if (numero > MaxNumeroNodo)
        throw ELimiteArbol(kMensajeSinNumeros);
    auto n = std::make_unique<TNodo>();
    n->Tipo = tipo;
    n->Padre = padre;
    n->Figura = Rect{0, 0, TamanyoNodo, TamanyoNodo};
    n->Texto = " ";
    n->LongitudRama = static_cast<uint16_t>(2 * TamanyoNodo);
    const std::string num = std::to_string(numero);
    n->HintFigura = "Nodo " + num;

    n->EtiquetaTexto.Caption = n->Texto;
    n->EtiquetaNumero.Caption = num;
    if (numero != 0) {
        // The label options may hold a bad text: fail before the slot changes.
        EtiquetasNumericas(*n);
        for (Etiqueta* e : {&n->EtiquetaTexto, &n->EtiquetaProbabilidad, &n->EtiquetaGanancia, &n->EtiquetaValor,
                            &n->EtiquetaNumero})
            e->Fuente = opciones.FontComboBox1;
    } else {
        // The root is first built before the options exist.
        n->EtiquetaProbabilidad.Caption = FormatoEtiqueta(n->Probabilidad, 4, 4);
        n->EtiquetaGanancia.Caption = FormatoEtiqueta(n->Ganancia, 4, 4);
        n->EtiquetaValor.Caption = FormatoEtiqueta(n->Valor, 4, 4);
        for (Etiqueta* e : {&n->EtiquetaTexto, &n->EtiquetaProbabilidad, &n->EtiquetaGanancia, &n->EtiquetaValor,
                            &n->EtiquetaNumero})
            e->Fuente = "Arial";
    }
    n->EtiquetaProbabilidad.Hint = "Probabilidad Nodo " + num;
    n->EtiquetaGanancia.Hint = "Ganancia Nodo " + num;
    n->EtiquetaValor.Hint = "Valor Nodo " + num;
    for (Etiqueta* e : {&n->EtiquetaTexto, &n->EtiquetaProbabilidad, &n->EtiquetaGanancia, &n->EtiquetaValor})
        e->Tamanyo = TamanyoLetra;
    n->EtiquetaNumero.Tamanyo = TamanyoLetra - 1;
    if (numero == 0) {
        // The root has no incoming branch.
        n->EtiquetaProbabilidad.Visible = false;
        n->EtiquetaGanancia.Visible = false;
        n->EtiquetaTexto.Visible = false;
    }
    n->Seleccionado = false;
    n->SumaErronea = false;
    const int32_t lado = static_cast<int32_t>(Round(TamanyoNodo / 4.0));
    n->MarcaComentario = Rect{0, 0, lado, lado};
    n->MarcaVisible = false;
    TablaNodos[numero] = std::move(n);
    // The mark sits at the figure's top-right corner from the start.
    SituarNodo(numero, 0, 0);
}

void Arbol::DestruirNodo(uint16_t numero)
{
    if (numero <= MaxNumeroNodo)
        TablaNodos[numero].reset();
}

void Arbol::SituarNodo(uint16_t numero, int64_t x, int64_t y)
{
    TNodo* n = Nodo(numero);
    if (!n)
        return;
    // Whatever is saved must read back, and the drawing's sums must stay
    // within 32 bits: no position goes past the limit at this zoom.
    const int64_t limite = Round(static_cast<long double>(kLimitePosicion) * FactorZoom);
    n->Figura.Left = static_cast<int32_t>(std::clamp(x, -limite, limite));
    n->Figura.Top = static_cast<int32_t>(std::clamp(y, -limite, limite));
    n->MarcaComentario.Left = static_cast<int32_t>(static_cast<int64_t>(n->Figura.Left) + n->Figura.Width -
                                                   n->MarcaComentario.Width);
    n->MarcaComentario.Top = n->Figura.Top;
}

void Arbol::QuitarDeOrden(uint16_t numero)
{
    for (int p = 1; p <= UltimaPosicion; ++p) {
        if (ListaOrden[p] == numero) {
            for (int q = p; q < UltimaPosicion; ++q)
                ListaOrden[q] = ListaOrden[q + 1];
            ListaOrden[UltimaPosicion] = 0;
            --UltimaPosicion;
            return;
        }
    }
}

void Arbol::QuitarDeHijos(uint16_t numero)
{
    TNodo* n = Nodo(numero);
    if (!n)
        return;
    TNodo* padre = Nodo(n->Padre);
    if (!padre)
        return;
    auto& h = padre->Hijos;
    const int cuenta = h[0];
    for (int i = 1; i <= cuenta; ++i) {
        if (h[i] == numero) {
            for (int j = i; j < cuenta; ++j)
                h[j] = h[j + 1];
            h[cuenta] = 0;
            --h[0];
            return;
        }
    }
}

void Arbol::BorrarDescendientes(uint16_t numero)
{
    int p = 1;
    while (p <= UltimaPosicion) {
        const uint16_t hijo = ListaOrden[p];
        const TNodo* n = Nodo(hijo);
        if (n && n->Padre == numero && hijo != numero) {
            BorrarDescendientes(hijo);
            DestruirNodo(hijo);
            QuitarDeOrden(hijo);
            // The list has moved up: look at the same position again.
            continue;
        }
        ++p;
    }
}

void Arbol::MoverDescendientes(uint16_t numero, int32_t dx, int32_t dy)
{
    for (int p = 1; p <= UltimaPosicion; ++p) {
        const uint16_t hijo = ListaOrden[p];
        TNodo* n = Nodo(hijo);
        if (n && n->Padre == numero && hijo != numero) {
            SituarNodo(hijo, static_cast<int64_t>(n->Figura.Left) + dx, static_cast<int64_t>(n->Figura.Top) + dy);
            MoverDescendientes(hijo, dx, dy);
        }
    }
}

void Arbol::PonerTexto(uint16_t numero, const std::string& texto)
{
    for (int p = 0; p <= UltimaPosicion; ++p) {
        TNodo* n = Nodo(ListaOrden[p]);
        if (n && ListaOrden[p] == numero) {
            n->Texto = texto;
            n->EtiquetaTexto.Caption = texto;
            return;
        }
    }
}

void Arbol::AnyadirHijo(uint16_t padre, uint16_t hijo)
{
    TNodo* p = Nodo(padre);
    if (!p)
        return;
    CompruebaEspacio(0, padre, 1);
    p->Hijos[++p->Hijos[0]] = hijo;
}

uint16_t Arbol::NuevoHijo(uint16_t padre, uint8_t tipo, int64_t x, int64_t y)
{
    CompruebaEspacio(1, padre, 1);
    const uint16_t n = NuevoIndice();
    try {
        CrearNodo(n, tipo, padre);
    } catch (...) {
        // The number was never used: hand it out again next time.
        ListaOrden[UltimaPosicion] = 0;
        --UltimaPosicion;
        --UltimoIndice;
        throw;
    }
    SituarNodo(n, x, y);
    AnyadirHijo(padre, n);
    return n;
}

void Arbol::NuevoArbolVacio()
{
    ++Generacion;
    Guardado = Modificaciones;
    if (TablaNodos[0])
        BorrarDescendientes(0);
    for (auto& n : TablaNodos)
        n.reset();
    ListaOrden.fill(0);
    UltimaPosicion = 0;
    UltimoIndice = 0;
    TamanyoNodo = 30;
    SeparacionHorizontal = 120;
    SeparacionVertical = 36;
    TamanyoLetra = 8;
    FactorZoom = 1.0;
    NombreFichero.clear();
    DocumentoEditor.clear();
    NodoCopiado = 0;
    ToleranciaValores = 0;
    CrearNodo(0, NodoTerminal, 0);
    SituarNodo(0, 20, static_cast<int32_t>(Round(AltoVentana / 2.0)) - 50);
}

void Arbol::CopiarNodo(uint16_t destino, uint16_t origen)
{
    TNodo* d = Nodo(destino);
    const TNodo* o = Nodo(origen);
    if (!d || !o)
        return;
    d->Valor = o->Valor;
    d->Ganancia = o->Ganancia;
    d->Probabilidad = o->Probabilidad;
    d->Texto = o->Texto;
    d->EtiquetaProbabilidad.Caption = o->EtiquetaProbabilidad.Caption;
    d->EtiquetaGanancia.Caption = o->EtiquetaGanancia.Caption;
    d->EtiquetaValor.Caption = o->EtiquetaValor.Caption;
    d->EtiquetaTexto.Caption = o->EtiquetaTexto.Caption;
    d->EtiquetaValor.Visible = true;
    d->Tipo = o->Tipo;
}
