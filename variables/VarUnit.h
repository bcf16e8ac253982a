#pragma once
// The variables window: its text area is the variables list of the tree.
#include <QFont>
#include <QWidget>

struct Cambio;
class QPlainTextEdit;
class QToolButton;
class TDocumento;

class TFormVar : public QWidget {
    Q_OBJECT
public:
    // Shows the variables list of the document's tree; what is typed is a
    // step of the document (typing while the list keeps the focus is one step).
    explicit TFormVar(TDocumento& documento, QWidget* parent = nullptr);

    // Shows the list and its backup as the tree holds them now.
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
    bool eventFilter(QObject* objeto, QEvent* e) override;

private:
    void Memo1Change();
    void Memo2Change();
    void DocumentoCambiado(const Cambio& cambio);

    TDocumento& doc_;
    QFont fuenteDialogo_;
    bool mostrando_ = false;
    int escritura_ = 0; // counts the times the list took the focus: the typing of each is one step
};
