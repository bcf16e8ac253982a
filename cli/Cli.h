#pragma once
// The headless tool: nemor-cli [--decimal=.|,] COMMAND ARGS...
// Results go to out; an error prints the error box text to err and gives 1;
// bad usage prints the usage line to err and gives 2. --help (alone or after a
// command) prints the help to out and gives 0.
#include <iosfwd>
#include <string>
#include <vector>

int EjecutaCli(const std::vector<std::string>& argumentos, std::ostream& out, std::ostream& err);

// One command of the tool. Ejecuta receives the arguments after the command's
// name, without --json.
struct ComandoCli {
    const char* nombre;
    const char* uso; // arguments, for the usage line
    int minimo;      // fewest arguments
    int maximo;      // most arguments; -1 for no limit
    int (*Ejecuta)(const std::vector<std::string>& args, std::ostream& out);
    // What "nemor-cli COMMAND --help" says: a one-line summary (also shown by
    // "nemor-cli --help"), then, after a blank line, the details.
    const char* ayuda = "";
    // The command takes --json and then prints one JSON document (cli/Json.h).
    bool json = false;
};

// Each cli/Comandos*.cpp registers its commands with a static RegistroCli.
struct RegistroCli {
    explicit RegistroCli(const ComandoCli& comando);
};

// Runs the registered command nombre in this very process with Ejecuta. A
// program that links the picture export (which needs Qt) registers it so;
// nemor-cli itself hands that command to a helper program.
struct ImplementacionCli {
    ImplementacionCli(const char* nombre, int (*Ejecuta)(const std::vector<std::string>&, std::ostream&));
};

// Whether the running command was given --json.
bool SalidaJson();

// Thrown by a command whose arguments are malformed: the tool prints the usage and exits 2.
struct UsoIncorrecto {};
