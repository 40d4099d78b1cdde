// The printer's three small named tables: management reports (20), departments (20) and
// non-fiscal totalisers (15). A loader fills a grid from the printer and keeps the records
// read; the programming forms send the rows that differ from them, the status forms only show.
#pragma once

#include <optional>
#include <vector>

#include "console/forms/programacao/programacao.h"

namespace belmora {

void RegistraFormulariosDeTabelas();

struct RegistroTabela {
    int codigo = -1;
    QString nome;
    QString descricao;  // totalisers only
    QString tipo;       // totalisers only: "Entrada" or "Saida"
};

// The value after `chave` up to the next blank, or the quoted text after it.
QString ValorResposta(const QString& resposta, const QString& chave);
QString ValorEntreAspas(const QString& resposta, const QString& chave);

class TGridTabela : public TGridDataLoader {
  public:
    using TGridDataLoader::TGridDataLoader;
    virtual void Inicializa() = 0;
    virtual void CarregaGrid() = 0;
    const RegistroTabela* BuscaPorCodigo(int codigo) const;
    const std::vector<RegistroTabela>& Registros() const { return registros_; }
    // The record as the row's value cells show it (nothing for an absent or nameless entry).
    std::optional<QStringList> Valores(int codigo, int colunas) const;

  protected:
    std::vector<RegistroTabela> registros_;
};

class TGridRelatoriosGerenciais : public TGridTabela {
  public:
    using TGridTabela::TGridTabela;
    void Inicializa() override;
    void CarregaGrid() override;
};

class TGridDepartamentos : public TGridTabela {
  public:
    using TGridTabela::TGridTabela;
    void Inicializa() override;
    void CarregaGrid() override;
    static RegistroTabela InterpretaDepartamento(const QString& resposta);
};

class TGridTotalizadoresNF : public TGridTabela {
  public:
    using TGridTabela::TGridTabela;
    void Inicializa() override;
    void CarregaGrid() override;
    static RegistroTabela InterpretaNaoFiscal(const QString& resposta);
};

// The steps of one table's walk: every row from the first, compared with the loaded record of
// its code over the name and the following `colunas` - 1 columns.
std::vector<PassoCadastro> PlanejaTabela(const Grade& grade, const TGridTabela& carga, int colunas);

// The walks of the three tables, with their log lines.
void CadastraRelatoriosGerenciais(const Grade& grade, const TGridTabela& carga);
void CadastraDepartamentos(const Grade& grade, const TGridTabela& carga);
void CadastraTotalizadoresNF(const Grade& grade, const TGridTabela& carga);

// A programming form over one table loader.
class TfrmTabelaProgramavel : public TFormGradeProgramavel {
    Q_OBJECT
  public:
    enum class QualTabela { Gerenciais, Departamentos, NaoFiscais };
    TfrmTabelaProgramavel(QualTabela tabela, QWidget* parent = nullptr);
    void Capturar() override;
    void Cadastrar() override;

  protected:
    QString Pergunta() const override;

  private:
    QualTabela qual_;
    std::unique_ptr<TGridTabela> carga_;
};

class TfrmDefRelatorioGerencial : public TfrmTabelaProgramavel {
    Q_OBJECT
  public:
    explicit TfrmDefRelatorioGerencial(QWidget* parent = nullptr)
        : TfrmTabelaProgramavel(QualTabela::Gerenciais, parent) {}
};
class TfrmDefDepartamento : public TfrmTabelaProgramavel {
    Q_OBJECT
  public:
    explicit TfrmDefDepartamento(QWidget* parent = nullptr)
        : TfrmTabelaProgramavel(QualTabela::Departamentos, parent) {}
};
class TfrmDefineNaoFiscal : public TfrmTabelaProgramavel {
    Q_OBJECT
  public:
    explicit TfrmDefineNaoFiscal(QWidget* parent = nullptr)
        : TfrmTabelaProgramavel(QualTabela::NaoFiscais, parent) {}
};

// A status form over one table loader: loads on show and on "Capturar".
class TfrmStatusTabela : public TFormStatus {
    Q_OBJECT
  public:
    TfrmStatusTabela(const char* classe, const QString& titulo, TfrmTabelaProgramavel::QualTabela tabela,
                     QWidget* parent = nullptr);
    QTableWidget* Tabela() const { return tabela_; }

  protected:
    void Ok() override;

  private:
    QTableWidget* tabela_;
    std::unique_ptr<GradeTabela> grade_;
    std::unique_ptr<TGridTabela> carga_;
};

}  // namespace belmora
