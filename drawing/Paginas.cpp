#include "drawing/Paginas.h"

#include "common/Errores.h"
#include "common/Redondeo.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Byte length of the first n UTF-8 characters of s from byte i.
size_t BytesDeCaracteres(const std::string& s, size_t i, int n)
{
    size_t j = i;
    for (int k = 0; k < n && j < s.size(); ++k) {
        ++j;
        while (j < s.size() && (static_cast<unsigned char>(s[j]) & 0xC0) == 0x80)
            ++j;
    }
    return j - i;
}

int32_t Redondo(long double v) { return static_cast<int32_t>(Round(v)); }

} // namespace

const char* const kMensajeDemasiadasPaginas =
    "El dibujo es demasiado grande para la presentación preliminar: ocuparía más de 20 × 20 páginas.";

void ExtensionDibujo(const Arbol& arbol, int32_t& maxDerecha, int32_t& maxAbajo)
{
    maxDerecha = 0;
    maxAbajo = 0;
    for (int p = 0; p <= arbol.UltimaPosicion; ++p) {
        const TNodo* n = arbol.Nodo(arbol.ListaOrden[p]);
        if (!n)
            continue;
        maxDerecha = std::max(maxDerecha, n->Figura.Right());
        maxAbajo = std::max(maxAbajo, n->Figura.Bottom());
    }
}

RejillaPaginas CalculaRejilla(int32_t maxDerecha, int32_t maxAbajo, int32_t ancho, int32_t alto)
{
    RejillaPaginas r;
    ancho = std::max(ancho, 1);
    alto = std::max(alto, 1);
    // A drawing dragged above or left of the origin still needs its one page.
    r.Filas = std::max(maxAbajo, 0) / alto + 1;
    r.Columnas = std::max(maxDerecha, 0) / ancho + 1;
    r.K = std::max(r.Filas, r.Columnas);
    if (r.K > kMaxLadoRejilla)
        throw ENemor(kMensajeDemasiadasPaginas);
    return r;
}

std::string NombrePagina(const std::string& base, int fila, int columna)
{
    const size_t punto = base.find('.');
    std::string nombre, ext;
    if (punto == std::string::npos) {
        ext = base.substr(0, BytesDeCaracteres(base, 0, 3));
    } else {
        nombre = base.substr(0, punto);
        ext = base.substr(punto + 1, BytesDeCaracteres(base, punto + 1, 3));
    }
    return nombre + "-" + std::to_string(fila) + "-" + std::to_string(columna) + "." + ext;
}

Rect CuadroProgreso(int i, int j) { return Rect{20 + j * 25, 30 + i * 25, 25, 25}; }

void TamanyoVentanaProgreso(int filas, int columnas, int32_t& ancho, int32_t& alto)
{
    ancho = 150;
    alto = 51;
    if (filas < 1 || columnas < 1)
        return;
    const Rect ultimo = CuadroProgreso(filas - 1, columnas - 1);
    if (ultimo.Bottom() + 30 > alto)
        alto = ultimo.Bottom() + 40;
    if (ultimo.Right() + 20 > ancho)
        ancho = ultimo.Right() + 30;
}

void TamanyoImpreso(ModoEscala modo, int32_t w, int32_t h, int32_t dpiImpresoraX, int32_t dpiImpresoraY,
                    int32_t dpiPantalla, int32_t anchoPagina, int32_t altoPagina, int32_t& ancho, int32_t& alto)
{
    switch (modo) {
    case ModoEscala::Proporcional: {
        const long double pantalla = dpiPantalla > 0 ? dpiPantalla : 96;
        ancho = Redondo(static_cast<long double>(w) * dpiImpresoraX / pantalla);
        alto = Redondo(static_cast<long double>(h) * dpiImpresoraY / pantalla);
        return;
    }
    case ModoEscala::AjustarPagina: {
        if (w <= 0 || h <= 0) {
            ancho = alto = 0;
            return;
        }
        const long double anchoAjustado = static_cast<long double>(w) * altoPagina / h;
        if (anchoAjustado < anchoPagina) {
            ancho = Redondo(anchoAjustado);
            alto = altoPagina;
        } else {
            ancho = anchoPagina;
            alto = Redondo(static_cast<long double>(h) * anchoPagina / w);
        }
        return;
    }
    case ModoEscala::SinEscala:
        ancho = w;
        alto = h;
        return;
    }
}

ModoEscala ModoEscalaDeOpcion(int32_t escala)
{
    switch (escala) {
    case 1: return ModoEscala::AjustarPagina;
    case 2: return ModoEscala::SinEscala;
    default: return ModoEscala::Proporcional;
    }
}

int PasosZoomPrevio(int pasos, int cambio)
{
    return std::clamp(pasos + cambio, -kPasosZoomPrevio, kPasosZoomPrevio);
}

namespace {

int32_t BordeZoom(int64_t v, int pasos)
{
    long double f = 1.0L;
    for (int n = 0; n < std::abs(pasos); ++n)
        f = pasos > 0 ? f * 100.0L / 90.0L : f * 90.0L / 100.0L;
    return Redondo(static_cast<long double>(v) * f);
}

} // namespace

Rect TeselaPrevia(int i, int j, int32_t ancho, int32_t alto, int pasos)
{
    const int32_t izquierda = BordeZoom(int64_t{j} * ancho, pasos);
    const int32_t arriba = BordeZoom(int64_t{i} * alto, pasos);
    return Rect{izquierda, arriba, BordeZoom(int64_t{j + 1} * ancho, pasos) - izquierda,
                BordeZoom(int64_t{i + 1} * alto, pasos) - arriba};
}
