#pragma once
// What a result chart draws, decided without pixels: round axis ticks, and the
// few points of a long series that a line needs to keep its shape on screen.
#include <span>
#include <vector>

struct PuntoGrafico {
    double X = 0;
    double Y = 0;
    bool operator==(const PuntoGrafico&) const = default;
};

// Ticks of an axis over [desde, hasta]: every multiple of one round step
// (1, 2 or 5 × 10^k) inside the range, the step the smallest that keeps them
// at most `maximo` (at least 2). Tick values are computed from the step's
// digits, so 0.3 comes out as 0.3 and never as 0.30000000000000004.
struct MarcasEje {
    double Paso = 0;             // 0 when the range is empty or not finite
    int Decimales = 0;           // decimals the step needs: every tick is exact with them
    std::vector<double> Valores; // ascending
};
MarcasEje CalculaMarcas(double desde, double hasta, int maximo);

// Widens [desde, hasta] to the round ticks around it, at most `maximo` of
// them, as a chart fitted to its data shows it. A range of one value opens
// around it first (by a tenth of the value, or by 1 around 0).
void RedondeaRango(double& desde, double& hasta, int maximo);

// The points of a series (ascending X) that a line over [desde, hasta] needs
// on `columnas` pixel columns. Few points come back as they are; many are cut
// down to the first, the lowest, the highest and the last point of each
// column, in their order, so the line looks the same with at most four points
// a column. The nearest point outside each end is kept so the line reaches
// the edges.
std::vector<PuntoGrafico> PuntosDibujados(std::span<const PuntoGrafico> puntos, double desde, double hasta,
                                          int columnas);
