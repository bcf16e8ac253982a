#pragma once
// The headless tool: nemor-cli [--decimal=.|,] COMMAND ARGS...
// Results go to out; an error prints the error box text to err and gives 1;
// bad usage prints the usage line to err and gives 2.
#include <iosfwd>
#include <string>
#include <vector>

int EjecutaCli(const std::vector<std::string>& argumentos, std::ostream& out, std::ostream& err);

// One command of the tool. Ejecuta receives the arguments after the command's name.
struct ComandoCli {
    const char* nombre;
    const char* uso; // arguments, for the usage line
    int minimo;      // fewest arguments
    int maximo;      // most arguments; -1 for no limit
    int (*Ejecuta)(const std::vector<std::string>& args, std::ostream& out);
};

// Each cli/Comandos*.cpp registers its commands with a static RegistroCli.
struct RegistroCli {
    explicit RegistroCli(const ComandoCli& comando);
};

// Thrown by a command whose arguments are malformed: the tool prints the usage and exits 2.
struct UsoIncorrecto {};
