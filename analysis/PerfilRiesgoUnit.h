#pragma once
// The window "Perfil de riesgo": the probability of each outcome (bars) and the
// cumulative profile (a step line) of a node of the solved tree, or of each
// alternative of a decision node side by side, with their statistics.
#include "analysis/PerfilRiesgo.h"
#include "analysis/VistaAnalisisUnit.h"

class Arbol;
class QAreaSeries;
class QCheckBox;
class QLabel;
class QLineSeries;
class QTableWidget;
class QValueAxis;

class TFormPerfil : public TVistaAnalisis {
    Q_OBJECT
public:
    explicit TFormPerfil(IUsuario* usuario = nullptr, QWidget* parent = nullptr);

    // Takes the profiles of node nodo of the solved tree (and, for a decision
    // node, of its alternatives), draws them and shows the window.
    void Muestra(const Arbol& arbol, int nodo);

    QLabel* LabelNodo = nullptr;
    QCheckBox* CheckBoxAlternativas = nullptr; // "Comparar alternativas"
    QTableWidget* TablaEstadisticas = nullptr;
    QValueAxis* EjeX = nullptr;
    QValueAxis* EjeY = nullptr;
    // The series drawn: for each profile its bars and its step line.
    std::vector<QAreaSeries*> Barras;
    std::vector<QLineSeries*> Escalones;

public slots:
    void CheckBoxAlternativasClick();

protected:
    void AjustaEjes(int pagina) override;

private:
    struct Serie {
        QString nombre;
        const PerfilRiesgo* perfil;
    };
    std::vector<Serie> Series() const;
    void Dibuja();

    QChart* grafico_ = nullptr;
    PerfilRiesgo perfil_;
    std::vector<PerfilAlternativa> alternativas_;
    int nodo_ = 0;
};
