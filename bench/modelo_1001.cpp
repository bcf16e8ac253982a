// Writes the generated 1001-node model (bench/ArbolGenerado.h), solved, to a
// tree file, so that whole programs can be timed on it from outside
// (bench/arranque.sh, bench/arranque_ventana.sh).
#include "analysis/Rollback.h"
#include "bench/ArbolGenerado.h"
#include "tree/FicheroArbol.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "uso: modelo_1001 SALIDA.nmr\n";
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
