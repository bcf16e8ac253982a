#pragma once
// Small helpers to grow trees in tests of the variables and the rollback.
#include "tree/Arbol.h"

#include <string>
#include <vector>

// Adds a node of that kind below padre with the given branch values; returns its number.
inline uint16_t Rama(Arbol& a, uint16_t padre, uint8_t tipo, double ganancia = 0, double probabilidad = 0)
{
    const uint16_t n = a.NuevoHijo(padre, tipo);
    a.Nodo(n)->Ganancia = ganancia;
    a.Nodo(n)->Probabilidad = probabilidad;
    return n;
}

// Turns the root into a node of that kind (a fresh tree has a terminal root).
inline void RaizDeTipo(Arbol& a, uint8_t tipo) { a.Raiz().Tipo = tipo; }
