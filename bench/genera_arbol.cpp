// Writes the benchmarks' generated model, solved, to a tree file: the large
// tree the window-start measurement (arranque_ventana.sh) opens.
#include "analysis/Rollback.h"
#include "bench/ArbolGenerado.h"
#include "tree/FicheroArbol.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "Uso: genera_arbol FICHERO.nmr\n";
        return 2;
    }
    try {
        auto a = bench::ArbolGrande();
        ResuelveArbol(*a);
        EscribeArbol(*a, argv[1]);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
