#include "common/EscrituraSegura.h"

#include "common/Errores.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Causa(int error)
{
    return std::strerror(error);
}

[[noreturn]] void Falla(const std::string& ruta, int error)
{
    throw EInOutError("Cannot create file \"" + ruta + "\". " + Causa(error));
}

// Where the bytes really go: the target of a link, else ruta itself.
std::string Destino(const std::string& ruta)
{
    std::error_code ec;
    if (std::filesystem::is_symlink(ruta, ec)) {
        auto real = std::filesystem::weakly_canonical(ruta, ec);
        if (!ec)
            return real.string();
    }
    return ruta;
}

} // namespace

void EscribeFicheroSeguro(const std::string& ruta, const std::string& contenido)
{
    if (ruta.empty())
        Falla(ruta, ENOENT);
    const std::string destino = Destino(ruta);
    const std::filesystem::path p(destino);
    std::string carpeta = p.parent_path().string();
    if (carpeta.empty())
        carpeta = ".";
    std::string plantilla = carpeta + "/." + p.filename().string() + ".XXXXXX";
    const int fd = ::mkstemp(plantilla.data());
    if (fd < 0)
        Falla(ruta, errno);

    // A replaced file keeps its permissions; a new one gets the usual 0666 less the umask.
    struct stat st {};
    mode_t modo;
    if (::stat(destino.c_str(), &st) == 0) {
        modo = st.st_mode & 07777;
    } else {
        const mode_t mascara = ::umask(0);
        ::umask(mascara);
        modo = 0666 & ~mascara;
    }
    // Not fatal: the file is still written, with mkstemp's 0600.
    (void)::fchmod(fd, modo);
    int error = 0;
    const char* datos = contenido.data();
    size_t quedan = contenido.size();
    while (quedan > 0 && error == 0) {
        const ssize_t n = ::write(fd, datos, quedan);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        datos += n;
        quedan -= static_cast<size_t>(n);
    }
    if (error == 0 && ::fdatasync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(plantilla.c_str(), destino.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(plantilla.c_str());
        Falla(ruta, error);
    }
}

bool LeeFicheroEntero(const std::string& ruta, std::string& contenido)
{
    std::ifstream f(ruta, std::ios::binary);
    if (!f)
        return false;
    std::string r;
    char buf[65536];
    while (f.read(buf, sizeof buf) || f.gcount() > 0)
        r.append(buf, static_cast<size_t>(f.gcount()));
    if (f.bad())
        return false;
    contenido = std::move(r);
    return true;
}

bool ExisteFichero(const std::string& ruta)
{
    if (ruta.empty())
        return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(ruta, ec);
}
