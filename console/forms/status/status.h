// The forms of the Status group: each reads one kind of information from the printer when it
// is shown and again when "Capturar" is pressed, and shows it read-only.
#pragma once

#include <QTableWidget>
#include <array>

#include "console/forms/comum/formulario.h"
#include "console/forms/status/grades.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace belmora {

void RegistraFormulariosDeStatus();

// A table widget seen as a grid of the loaders.
class GradeTabela : public Grade {
  public:
    explicit GradeTabela(QTableWidget* tabela) : tabela_(tabela) {}
    int Linhas() const override { return tabela_->rowCount(); }
    int Colunas() const override { return tabela_->columnCount(); }
    QString Celula(int linha, int coluna) const override;
    void DefineCelula(int linha, int coluna, const QString& texto) override;
    int LinhaAtual() const override { return tabela_->currentRow(); }
    int ColunaAtual() const override { return tabela_->currentColumn(); }

  private:
    QTableWidget* tabela_;
};

// What every status form shares: the "Capturar" button, run once on show.
class TFormStatus : public TFormulario {
    Q_OBJECT
  public:
    TFormStatus(const char* classe, const QString& titulo, QWidget* parent = nullptr);

  protected:
    void AoMostrar() override { Ok(); }
    QLineEdit* Campo(const char* nome, const QString& rotulo);
    // One read into a field: the call, its result through TrataRetorno, then the success or
    // failure line; true on success.
    bool Le(const std::function<int()>& chamada, const char* sucesso, const char* falha);
};

class TfrmStatusImp : public TFormStatus {
    Q_OBJECT
  public:
    explicit TfrmStatusImp(QWidget* parent = nullptr);
    // Box i: ST1 bit (7 - i) for i < 8, ST2 bit (15 - i) after.
    QCheckBox* Caixa(int i) const { return caixas_[static_cast<std::size_t>(i)]; }

  protected:
    void Ok() override;

  private:
    std::array<QCheckBox*, 16> caixas_{};
};

class TfrmStatusCupom : public TFormStatus {
    Q_OBJECT
  public:
    explicit TfrmStatusCupom(QWidget* parent = nullptr);

  protected:
    void Ok() override;
};

class TfrmDadosECF : public TFormStatus {
    Q_OBJECT
  public:
    explicit TfrmDadosECF(QWidget* parent = nullptr);

  protected:
    void Ok() override;
};

class TfrmStatusTroco : public TFormStatus {
    Q_OBJECT
  public:
    explicit TfrmStatusTroco(QWidget* parent = nullptr);

  protected:
    void Ok() override;
};

class TfrmCNF : public TFormStatus {
    Q_OBJECT
  public:
    explicit TfrmCNF(QWidget* parent = nullptr);

  protected:
    void Ok() override;
};

class TfrmAliquotas : public TFormStatus {
    Q_OBJECT
  public:
    explicit TfrmAliquotas(QWidget* parent = nullptr);
    QTableWidget* Grade() const { return grade_; }

  protected:
    void Ok() override;

  private:
    QTableWidget* grade_ = nullptr;
};

class TfrmMeiosPgto : public TFormStatus {
    Q_OBJECT
  public:
    explicit TfrmMeiosPgto(QWidget* parent = nullptr);
    QTableWidget* Grade() const { return grade_; }

  protected:
    void Ok() override;

  private:
    QTableWidget* grade_ = nullptr;
};

class TfrmDadosCliche : public TFormStatus {
    Q_OBJECT
  public:
    explicit TfrmDadosCliche(QWidget* parent = nullptr);

  protected:
    void Ok() override;

  private:
    std::array<QLineEdit*, 4> linhas_{};
    std::array<QLabel*, 4> exp_{};
};

}  // namespace belmora
