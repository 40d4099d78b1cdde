// "Scripts e Desenvolvimento": the operator builds a sequence of driver calls from the
// twelve function lists of the program's folder, fills each call's parameters in the
// parameter form, saves and reopens sequences as ".seq" files under "Sequencias", and runs
// a sequence one or more times, step by step if wanted. Each call goes through
// seq::TrataComando, which writes the call log and the operator log.
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <vector>

#include "console/forms/comum/formulario.h"
#include "console/sequencias/arquivo.h"
#include "console/sequencias/comando.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace belmora {

class TfrmAjuda;

void RegistraFormulariosDeSequencias();

// The categories of the function lists, in the order of the category list, and their files
// in the program's folder.
struct CategoriaFuncoes {
    const char* texto;
    const char* arquivo;
};
inline constexpr int kNumeroCategorias = 12;
extern const std::array<CategoriaFuncoes, kNumeroCategorias> kCategorias;

class TfrmSeqComandos : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmSeqComandos(QWidget* parent = nullptr);

    // The gestures of the form, as its buttons and lists run them.
    void EscolheCategoria(int categoria);
    void AdicionaComando();
    void EditaParametros();
    void RemoveComando();
    void Limpa();
    void Move(int passo);  // -1 up, +1 down
    void ValidaUpDown();
    void MostraNomeArquivo();
    void SalvaSequencia();
    void AbreSequencia();
    void ExcluiSequencia();
    void Executa();
    void AbreAjudaComandos();
    void PegarSequencias();

    const std::vector<seq::TComando>& Sequencia() const { return sequencia_; }

  protected:
    void AoMostrar() override;
    // Opens the parameter form on a command (modal).
    virtual void AbreParametros(seq::TComando& comando);

  private:
    void CarregaListas();
    void AcrescentaComando(seq::TComando comando);
    void AtualizaBotoesDaSequencia();
    int Selecionado(QListWidget* lista) const;

    std::array<seq::ListaFuncoes, kNumeroCategorias> listas_;
    std::vector<seq::TComando> sequencia_;
    QPointer<TfrmAjuda> ajuda_;

    QListWidget* categorias_ = nullptr;
    QListWidget* comandos_ = nullptr;
    QListWidget* atual_ = nullptr;
    QListWidget* salvas_ = nullptr;
    QPushButton* btAdicionar_ = nullptr;
    QPushButton* btRemover_ = nullptr;
    QPushButton* btSobe_ = nullptr;
    QPushButton* btDesce_ = nullptr;
    QPushButton* btParametros_ = nullptr;
    QPushButton* btLimpar_ = nullptr;
    QLabel* lblNomeArquivo_ = nullptr;
    QLineEdit* edtNomeArquivo_ = nullptr;
    QPushButton* btConfirmaSalvar_ = nullptr;
    QLineEdit* edtNumExecucoes_ = nullptr;
    QCheckBox* chkPassoAPasso_ = nullptr;
};

// The parameter form: one grid row per parameter ("Parametro" / "Valor"); return variables
// are read-only. "Salvar" copies the cells into the command and checks them; "Finalizar"
// closes without copying.
class TfrmParametros : public QDialog {
    Q_OBJECT
  public:
    TfrmParametros(seq::TComando& comando, QWidget* parent = nullptr);

    // "Salvar": true when the values were copied, checked and the form closed.
    bool btSalvarClick();
    // Copies the cells into the parameters, in order; false (with the message shown) at the
    // first integer parameter whose cell is not an integer, the rows before it copied.
    bool CopiaValores();
    // The CNPJ check of "Tarvo_ProgramaProprietario" on a value: shows or hides the label
    // "CNPJ Inválido", with the message when invalid.
    bool ChecaCNPJValido(const QString& valor);

  private:
    bool ChecaComando();
    bool ChecaCasasDecimais();

    seq::TComando& comando_;
    QTableWidget* grade_ = nullptr;
    QLabel* lblCNPJInvalido_ = nullptr;
};

}  // namespace belmora
