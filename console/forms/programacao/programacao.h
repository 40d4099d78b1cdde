// The forms of the programming group that edit the printer's rate and payment-method tables
// and its totalling mode: each loads the table into a grid, lets the operator edit cells, and
// on "Cadastrar" sends only the rows that differ from what was read.
#pragma once

#include <QDate>
#include <QTableWidget>
#include <QTime>
#include <memory>

#include "console/forms/comum/formulario.h"
#include "console/forms/programacao/cadastro.h"
#include "console/forms/status/grades.h"
#include "console/forms/status/status.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace belmora {

void RegistraFormulariosDeProgramacao();

// The printer's clock as read ("ddmmyy", "hhmmss", blanks around allowed) in the pickers'
// values; false, and the values untouched, for a text that is no date or time.
bool DataHoraDaImpressora(const std::string& data, const std::string& hora, QDate& dia, QTime& tempo);

// The payment-method loader of the programming form: description and linked columns only,
// descriptions shown with the printer's accented letters converted.
class TGridDefMeiosPagto : public TGridMeiosPagto {
  public:
    using TGridMeiosPagto::TGridMeiosPagto;
    void Inicializa();
    void Carrega();
    // The record shown in a row: row 1 ("-2", cash) shows slot index 0, the row labelled n
    // the slot read after it, so a row is always compared with what it shows.
    std::optional<QStringList> RegistroDaLinha(int linha) const;
};

// The walks of the two tables: the steps of the rows, carried out with their log lines, each
// failure through TrataRetorno and the walk going on.
void CadastraAliquotas(const Grade& grade, const TGridAliquotas& carga);
void CadastraMeiosPagamento(const Grade& grade, const TGridDefMeiosPagto& carga);

std::optional<QStringList> RegistroAliquotaDaLinha(const TGridAliquotas& carga, int codigo);

class TFormGradeProgramavel : public TFormulario {
    Q_OBJECT
  public:
    TFormGradeProgramavel(const char* classe, const QString& titulo, const char* grade, int colunas,
                          QWidget* parent = nullptr, int linhas = 17);
    QTableWidget* Tabela() const { return tabela_; }
    QPushButton* BotaoCapturar() const { return btCapturar_; }
    QPushButton* BotaoCadastrar() const { return btCadastrar_; }
    QComboBox* Lista() const { return lista_; }
    virtual void Capturar() = 0;
    // The walk without the question (the button asks first).
    virtual void Cadastrar() = 0;
    // Editing of the current cell: the overlaid list on the special column, the cell's own
    // editor elsewhere ("Editar", Enter, a click not right after an arrow key).
    void Edita();
    // "Apagar" and the Delete key.
    void Apaga();

  protected:
    void AoMostrar() override;
    bool eventFilter(QObject* alvo, QEvent* evento) override;
    virtual QString Pergunta() const = 0;
    // The column edited through the list, and its items (the second is the fallback).
    void DefineColunaEspecial(int coluna, const QStringList& itens, int linhaInicial = 1);
    // Called before a cell of an ordinary column is opened for editing.
    virtual void AntesDeEditar(int /*linha*/, int /*coluna*/) {}
    QTableWidget* tabela_;
    std::unique_ptr<GradeTabela> grade_;
    QPushButton* btCapturar_;
    QPushButton* btCadastrar_;

  private:
    void FechaLista();
    QComboBox* lista_;
    int colunaEspecial_ = -1;
    int linhaEspecial_ = 1;
    bool navegacao_ = false;  // the last key was an arrow key
};

class TfrmDefineAliquotas : public TFormGradeProgramavel {
    Q_OBJECT
  public:
    explicit TfrmDefineAliquotas(QWidget* parent = nullptr);
    void Capturar() override;
    void Cadastrar() override;

  protected:
    QString Pergunta() const override;
    void AntesDeEditar(int linha, int coluna) override;

  private:
    TGridAliquotas carga_;
};

class TfrmDefMeioPgto : public TFormGradeProgramavel {
    Q_OBJECT
  public:
    explicit TfrmDefMeioPgto(QWidget* parent = nullptr);
    void Capturar() override;
    void Cadastrar() override;

  protected:
    QString Pergunta() const override;

  private:
    TGridDefMeiosPagto carga_;
};

class TfrmAlterarFormaTotalizacao : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmAlterarFormaTotalizacao(QWidget* parent = nullptr);
    void Capturar();
    void Definir();

  protected:
    void AoMostrar() override { Capturar(); }
};

// Summer time: its state (the third fiscal flag) and the printer's clock, and the button that
// switches it.
class TfrmProgramaHorarioVerao : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmProgramaHorarioVerao(QWidget* parent = nullptr);
    void Capturar();
    void Programa();
    QLabel* Estado() const { return estado_; }
    QPushButton* BotaoPrograma() const { return btPrograma_; }

  protected:
    void AoMostrar() override { Capturar(); }

  private:
    QLabel* estado_;
    QPushButton* btPrograma_;
};

}  // namespace belmora
