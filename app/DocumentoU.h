#pragma once
// The document the windows show: the tree with its editing commands and its
// undo history. Every change of it goes in through one door (Ejecuta,
// EjecutaSinPaso, Deshacer, Rehacer) and comes out as one signal, Cambiado,
// saying what it touched; the views subscribe to it and refresh themselves.
#include "tree/Arbol.h"
#include "tree/Edicion.h"
#include "tree/Historia.h"

#include <QObject>

#include <functional>
#include <string>

// What a change touched: the history's kinds (drawing, structure, variables,
// copy mark and editor link, a new tree) and what is not a step.
struct Cambio : Cambios {
    bool Valores = false;   // calculated values: a solve, "Valores a cero", "Ver variables"
    bool Fichero = false;   // the tree's file, its date or the recent files
    bool Opciones = false;  // display settings: colours, line width, the drawing's size, the identifiers
    bool Historial = false; // an undo or a redo

    Cambio() = default;
    Cambio(const Cambios& c) : Cambios(c) {}
    bool Algo() const { return Cambios::Algo() || Valores || Fichero || Opciones || Historial; }
    Cambio& operator|=(const Cambio& o);

    // One kind alone, to say what a command touches beyond what the history sees.
    static Cambio DeValores();
    static Cambio DeFichero();
    static Cambio DeOpciones();
};

class TDocumento : public QObject {
    Q_OBJECT
public:
    explicit TDocumento(QObject* parent = nullptr);
    ~TDocumento() override;

    Arbol& arbol() { return arbol_; }
    const Arbol& arbol() const { return arbol_; }
    Edicion& edicion() { return edicion_; }
    const Historia& historia() const { return historia_; }

    // Runs orden as the undoable step nombre, then announces what it changed,
    // with extra. Typing merges: a step whose fusion key is that of the step
    // before joins it. When orden raises, what it changed until then is still
    // a step and is announced before the error goes on. Called while another
    // command runs (a sweep solving, a dialog closing inside a command), orden
    // is part of that command and is announced with it.
    void Ejecuta(const std::string& nombre, const std::function<void()>& orden, const std::string& fusion = {},
                 const Cambio& extra = {});
    // The same for a change that is not a step of its own: calculated values,
    // zoom, the file commands, the display settings, the copy mark.
    void EjecutaSinPaso(const std::function<void()>& orden, const Cambio& extra = {});

    // Takes the last step back or puts it again. False, changing nothing,
    // when there is none or while a command runs.
    bool Deshacer();
    bool Rehacer();
    bool PuedeDeshacer() const;
    bool PuedeRehacer() const;
    // The step Deshacer or Rehacer would act on; empty when none.
    std::string NombreDeshacer() const;
    std::string NombreRehacer() const;

    // True while a command runs (a sweep, an analysis): nothing else may start.
    bool Ocupado() const { return profundidad_ > 0; }

signals:
    // A command, an undo or a redo is about to start: a view that holds an
    // edit of its own not yet in the tree (the comment being typed) puts it in now.
    void AntesDeCambiar();
    // A command started (true) or ended (false): undo is not offered meanwhile.
    void Ocupacion(bool ocupado);
    // What the last command, undo or redo changed. Emitted after every one,
    // also after one that changed nothing or failed halfway.
    void Cambiado(const Cambio& cambio);

private:
    // Runs a command of the history (a step, a change without a step, an undo)
    // with the announcements around it.
    template <class F>
    void Orden(F&& orden, Cambio extra);
    // Deshacer (atras) or Rehacer.
    bool Recorre(bool atras);

    Arbol arbol_;
    Edicion edicion_{arbol_};
    Historia historia_{arbol_};
    int profundidad_ = 0;
    Cambio anidado_; // what commands run inside the current one add to its announcement
};
