#pragma once
// The variables window: its text area is the variables list of the tree.
#include <QFont>
#include <QWidget>

class Arbol;
class QPlainTextEdit;
class QToolButton;

class TFormVar : public QWidget {
    Q_OBJECT
public:
    // Works on the main window's tree.
    TFormVar();
    explicit TFormVar(Arbol& arbol, QWidget* parent = nullptr);

    // Shows the list and its backup as the tree holds them now (after a file
    // was read, a Bayes revision or a recomputation rewrote lines).
    void MuestraVariables();

    QPlainTextEdit* Memo1 = nullptr; // the list
    QPlainTextEdit* Memo2 = nullptr; // hidden: the backup the sweep keeps
    QToolButton* SBCerrar = nullptr;
    QToolButton* SBTodosBayes = nullptr;
    QToolButton* SBBorrar = nullptr;
    QToolButton* SBFuente = nullptr;
    QToolButton* SBFijar = nullptr;

public slots:
    void SBCerrarClick();
    void SBTodosBayesClick();
    void SBBorrarClick();
    void SBFuenteClick();
    void SBFijarClick(bool fijo);

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void Memo1Change();
    void Memo2Change();

    Arbol& arbol_;
    QFont fuenteDialogo_;
    bool mostrando_ = false;
};
