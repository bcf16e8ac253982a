#pragma once
// The recovery copy: while the tree has changes not yet saved, a copy of it
// sits in the user's data folder, so that a program killed, a power cut or a
// session that ends without the save question loses nothing. The next start
// offers the copies whose program is gone.
//
// A copy is two files in the recovery folder, both written safely (a
// temporary file renamed over the target):
// - copia-<pid>-<start>-<random>.nmr: an ordinary tree file, by the tree
//   file's own writer;
// - copia-<pid>-<start>-<random>.registro: what the tree file cannot hold
//   (the original path or none, the time, the process, the editor's unsaved
//   document), UTF-8 text.
// The name carries the process id and its start time, which no two processes
// alive at once share, and a random part for the copies a past boot left
// behind. Copies never go anywhere else: the user's own file is not touched.
//
// The window drives one Recuperacion: its timer calls Escribe, the document
// commands call Limpia after they run, a normal exit calls Quita, and the
// start-up lists Abandonadas and calls Recupera or Descarta. The disk work
// runs on a thread of its own, so the window waits only for the text of the
// copy to be made. The headless tool never makes one.
#include "common/Usuario.h"

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class Arbol;

// The folder of the copies: $XDG_DATA_HOME/NEMOR/recuperacion, else
// ~/.local/share/NEMOR/recuperacion (a relative XDG_DATA_HOME is ignored).
std::string CarpetaRecuperacion();

// The subfolder where damaged copies are kept aside.
extern const char* const kCarpetaApartadas;

// A process as the copies name it. The process id alone is handed out again
// once a process ends; with its start time (clock ticks since boot) and the
// boot it ran in it names one process only.
struct Proceso {
    int Pid = 0;
    uint64_t Inicio = 0;
    std::string Arranque; // the boot id; empty where the system gives none
};

// This program.
Proceso ProcesoActual();
// True while that very process runs (a zombie has ended). A process with the
// same id but another start or boot is another process.
bool ProcesoVivo(const Proceso& p);

// A copy whose program is gone, as the start-up offers it.
struct CopiaRecuperacion {
    std::string Nombre;       // copia-<pid>-<start>-<random>, without extension
    std::string RutaOriginal; // the tree's path; empty for an untitled tree
    std::time_t Hora = 0;     // when the copy was written
    Proceso Autor;            // the program that wrote it
    std::optional<TextoEditor> Editor; // the editor's unsaved document, if any
};

// What the start-up finds in the folder.
struct CopiasAbandonadas {
    std::vector<CopiaRecuperacion> Copias; // newest first
    // One message per damaged copy, which is now in the kept-aside folder (or
    // where it was, when it could not be moved).
    std::vector<std::string> Danyadas;
};

class Recuperacion {
public:
    // The copies of this program, in carpeta. Nothing is written until the
    // tree has a change to keep.
    explicit Recuperacion(std::string carpeta = CarpetaRecuperacion(), Proceso yo = ProcesoActual());
    Recuperacion(const Recuperacion&) = delete;
    Recuperacion& operator=(const Recuperacion&) = delete;
    // Ends the writer once the copy handed to it is on disk. The copy stays:
    // only a clean end (Limpia, Quita) removes it.
    ~Recuperacion();

    const std::string& Carpeta() const { return carpeta_; }
    // This program's two files.
    std::string RutaCopia() const;
    std::string RutaRegistro() const;

    // The window's timer. While the tree has unsaved changes, hands a new copy
    // to the writer when the tree or the editor changed since the last copy
    // (or the last one failed); true when it did. Without unsaved changes it
    // removes the copy instead. Never raises: a failure waits in TomaError.
    bool Escribe(const Arbol& arbol);
    // The editor's text changed: the next Escribe takes the new text along.
    void AnotaCambioEditor();

    // After a document command (New, Open, a recent file, Save, Save As, and
    // the save question of any of them): when the tree has no unsaved changes
    // any more (saved, or replaced by another), its copy goes.
    void Limpia(const Arbol& arbol);
    // Removes this program's copy whatever the tree holds: the exit after the
    // save question, or copies turned off.
    void Quita();

    // Waits until the copy handed to the writer is on disk (or failed).
    void Espera();
    // The last failure to write a copy, once; nullopt when none.
    std::optional<std::string> TomaError();

    // The copies left by programs that no longer run. Damaged ones (a record
    // or tree that does not read, half a pair) are moved to the kept-aside
    // subfolder and reported, never deleted; copies of running programs are
    // left alone. Never raises.
    CopiasAbandonadas Abandonadas();

    // "Recuperar": asks the save question first when the current tree has
    // unsaved changes (false when cancelled, nothing changed). Then the copy
    // becomes the tree under its original path (untitled when it had none),
    // with unsaved changes, and the editor gets its unsaved document back
    // (else the tree's linked document, else an empty one). The copy becomes
    // this program's own, so it is safe at once and goes at the next clean
    // end. A copy that no longer reads is kept aside and reported by raising
    // ENemor, the tree as it was.
    bool Recupera(Arbol& arbol, const CopiaRecuperacion& copia);
    // "Descartar": removes the copy. Raises EInOutError when it cannot.
    void Descarta(const CopiaRecuperacion& copia);
    // ("Más tarde" leaves the copy as it is, for the next start.)
    // Whether the copy's tree is still among the copies: not recovered,
    // discarded or kept aside since it was listed.
    bool Sigue(const CopiaRecuperacion& copia) const;

private:
    struct Trabajo {
        std::string arbol;
        std::string registro;
    };
    Trabajo Prepara(const Arbol& arbol, const std::optional<TextoEditor>& editor) const;
    void Entrega(Trabajo t);
    void Trabaja();
    void QuitaFicheros();

    std::string carpeta_;
    Proceso yo_;
    std::string nombre_;

    // Owned by the caller's thread.
    std::optional<uint64_t> escrita_; // the tree's Modificaciones the last copy holds
    uint64_t cambiosEditor_ = 0;
    uint64_t editorEscrito_ = 0;
    bool hayCopia_ = false;

    // Shared with the writer.
    std::mutex m_;
    std::condition_variable cv_;
    std::optional<Trabajo> pendiente_;
    bool ocupado_ = false;
    bool fin_ = false;
    bool fallo_ = false;
    bool par_ = false; // both files of this program's copy are on disk
    std::optional<std::string> error_;
    std::thread hilo_;
};
