// nemor-cli export: the drawing as a picture. Painting needs Qt, and loading Qt
// costs more than any other command takes, so nemor-cli hands this one command
// to a helper program built with Qt (cli/ExportaImagen.cpp) and passes its
// output and exit code on. Every other command starts without Qt.
#include "cli/Cli.h"
#include "common/Decimal.h"
#include "common/Errores.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

#ifndef NEMOR_AYUDANTE_RELATIVO
#define NEMOR_AYUDANTE_RELATIVO "../libexec/nemor"
#endif

namespace {

const char* const kAyudante = "nemor-exporta";

// The helper sits beside nemor-cli in a build folder and under libexec once
// installed; both are found from where nemor-cli itself is, so a moved
// installation still works.
std::string RutaAyudante()
{
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
        std::string dir(buf, static_cast<size_t>(n));
        dir.erase(dir.rfind('/') + 1);
        for (const std::string& c : {dir + kAyudante, dir + NEMOR_AYUDANTE_RELATIVO + "/" + kAyudante})
            if (access(c.c_str(), X_OK) == 0)
                return c;
    }
    throw ENemor(std::string("No se encuentra el programa auxiliar ") + kAyudante +
                 ", que dibuja las imágenes; reinstale NEMOR");
}

class Tuberia {
public:
    Tuberia()
    {
        if (pipe(fd_) != 0)
            throw ENemor(std::string("pipe: ") + std::strerror(errno));
    }
    ~Tuberia()
    {
        Cierra(0);
        Cierra(1);
    }
    int Lectura() const { return fd_[0]; }
    int Escritura() const { return fd_[1]; }
    void Cierra(int i)
    {
        if (fd_[i] >= 0)
            close(fd_[i]);
        fd_[i] = -1;
    }

private:
    int fd_[2] = {-1, -1};
};

int Exporta(const std::vector<std::string>& args, std::ostream& out)
{
    const std::string ayudante = RutaAyudante();
    std::vector<std::string> textos = {ayudante, std::string("--decimal=") + SeparadorDecimal(), "export"};
    textos.insert(textos.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& t : textos)
        argv.push_back(t.data());
    argv.push_back(nullptr);

    // Standard input is shared (for "-"); both outputs come back through pipes,
    // so the caller's streams receive them whatever they are.
    Tuberia salida, errores;
    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    posix_spawn_file_actions_adddup2(&acciones, salida.Escritura(), 1);
    posix_spawn_file_actions_adddup2(&acciones, errores.Escritura(), 2);
    posix_spawn_file_actions_addclose(&acciones, salida.Lectura());
    posix_spawn_file_actions_addclose(&acciones, errores.Lectura());
    pid_t pid;
    const int e = posix_spawn(&pid, ayudante.c_str(), &acciones, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&acciones);
    if (e != 0)
        throw ENemor(ayudante + ": " + std::strerror(e));
    salida.Cierra(1);
    errores.Cierra(1);

    std::string textoError;
    pollfd fds[2] = {{salida.Lectura(), POLLIN, 0}, {errores.Lectura(), POLLIN, 0}};
    int abiertas = 2;
    while (abiertas > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buf[4096];
            const ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                if (i == 0)
                    out.write(buf, n);
                else
                    textoError.append(buf, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --abiertas;
            }
        }
    }
    int estado = 0;
    while (waitpid(pid, &estado, 0) < 0 && errno == EINTR) {
    }
    while (!textoError.empty() && textoError.back() == '\n')
        textoError.pop_back();
    if (WIFEXITED(estado)) {
        switch (WEXITSTATUS(estado)) {
        case 0:
            if (!textoError.empty())
                std::cerr << textoError << '\n';
            return 0;
        case 1:
            throw ENemor(textoError);
        case 2:
            throw UsoIncorrecto{};
        }
    }
    throw ENemor(textoError.empty() ? ayudante + " ha terminado de forma anómala" : textoError);
}

const char* const kAyudaExport =
    "Dibuja el árbol en una imagen PNG, SVG o PDF.\n"
    "\n"
    "Dibuja como la ventana muestra el árbol nada más abrirlo: los valores guardados\n"
    "en el fichero y las opciones de NEMOR.ini (colores, cifras de las etiquetas,\n"
    "letra, números de nodo, nombre del fichero y fecha). El formato lo decide la\n"
    "extensión de SALIDA (.png, .svg o .pdf); la imagen abarca el dibujo con un\n"
    "margen de 20 píxeles. Con --solve, resuelve el árbol antes («Calcular VEM»,\n"
    "aunque alguna suma de probabilidades no dé 1). No necesita pantalla.\n"
    "\n"
    "Es el único comando que carga las bibliotecas gráficas: lo ejecuta el\n"
    "programa auxiliar nemor-exporta, instalado junto a NEMOR.\n";

const RegistroCli r1({"export", "[--solve] FICHERO.nmr SALIDA.png|.svg|.pdf", 2, 3, Exporta, kAyudaExport});

} // namespace
