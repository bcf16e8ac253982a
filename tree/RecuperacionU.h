#pragma once
// The recovery copy in the windows. TRecuperacion keeps the copy of the
// document's tree up to date on a timer while it has changes not yet saved,
// and takes it away when the tree is saved or left behind. At start-up
// TFormRecuperacion offers the copies of programs that are gone.
#include "tree/Recuperacion.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

#include <string>
#include <vector>

struct Cambio;
class QLabel;
class QMessageBox;
class QPushButton;
class QTimer;
class QWidget;
class TDocumento;

class TRecuperacion : public QObject {
    Q_OBJECT
public:
    // documento: whose tree is kept; carpeta: where the copies go; ventana:
    // the window over which a failure to write is reported.
    TRecuperacion(TDocumento& documento, QWidget* ventana, std::string carpeta = CarpetaRecuperacion());
    ~TRecuperacion() override;

    Recuperacion& Copias() { return r_; }

    // Runs every IntervaloRecuperacion seconds from the first change not yet
    // in a copy, and stops once there is nothing new to keep.
    QTimer* Temporizador = nullptr;

    // Start-up: offers the copies left by programs that no longer run, and
    // reports the damaged ones, in one dialog; shows nothing when there are none.
    void OfreceAbandonadas(QWidget* padre);

public slots:
    // Writes the copy when there is something new to keep.
    void TemporizadorTimer();
    // The editor's text changed: the next copy takes it along.
    void EditorCambiado();
    // The program ends normally, after the save question: nothing to recover.
    void Sale();

private:
    void DocumentoCambiado(const Cambio& cambio);
    // Starts the timer when the tree has changes to keep and it is not running.
    void Arranca();
    // Reports a failure to write or remove the copy, once until a copy is written again.
    void Avisa(const std::string& error);

    TDocumento& doc_;
    QPointer<QWidget> ventana_;
    Recuperacion r_;
    int intervalo_ = 0; // seconds; 0: no copies
    bool avisado_ = false;
    QPointer<QMessageBox> aviso_;
};

// The start-up dialog "Copias de recuperación": one row per copy with its
// tree's path (or "Sin título"), when it was written and the buttons
// "Recuperar", "Descartar" and "Más tarde"; below, the damaged copies found.
// It closes by itself once every copy has been dealt with; "Cerrar" leaves
// the rest for the next start.
class TFormRecuperacion : public QDialog {
    Q_OBJECT
public:
    TFormRecuperacion(TDocumento& documento, Recuperacion& recuperacion, CopiasAbandonadas copias,
                      QWidget* parent = nullptr);

    struct Fila {
        CopiaRecuperacion Copia;
        QLabel* Ruta = nullptr;
        QLabel* Hora = nullptr;
        QPushButton* Recuperar = nullptr;
        QPushButton* Descartar = nullptr;
        QPushButton* MasTarde = nullptr;
        QLabel* Estado = nullptr; // what became of it, in place of the buttons
        bool Hecha = false;
    };
    std::vector<Fila> Filas;
    QLabel* Explicacion = nullptr;
    QLabel* Danyadas = nullptr; // hidden when there are none
    QPushButton* BotonCerrar = nullptr;

public slots:
    void RecuperarClick(size_t fila);
    void DescartarClick(size_t fila);
    void MasTardeClick(size_t fila);

private:
    // The row is done: its buttons give way to estado.
    void Decide(size_t fila, const QString& estado);

    TDocumento& doc_;
    Recuperacion& r_;
};
