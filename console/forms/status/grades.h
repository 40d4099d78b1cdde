// The grid loaders of the status and programming forms: a manager that titles and numbers
// the rows of a grid, and the loaders that fill it with the printer's programmed rates and
// payment methods. They work on a small grid interface, so a form gives them its table
// widget and a test a plain table.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace belmora {

// Cells of a grid by row and column; a cell outside the grid reads empty and takes nothing.
class Grade {
  public:
    virtual ~Grade() = default;
    virtual int Linhas() const = 0;
    virtual int Colunas() const = 0;
    virtual QString Celula(int linha, int coluna) const = 0;
    virtual void DefineCelula(int linha, int coluna, const QString& texto) = 0;
    virtual int LinhaAtual() const = 0;
    virtual int ColunaAtual() const = 0;
};

// A grid held in memory (tests, and wherever no widget is shown).
class GradeSimples : public Grade {
  public:
    GradeSimples(int linhas, int colunas);
    int Linhas() const override { return linhas_; }
    int Colunas() const override { return colunas_; }
    QString Celula(int linha, int coluna) const override;
    void DefineCelula(int linha, int coluna, const QString& texto) override;
    int LinhaAtual() const override { return linhaAtual_; }
    int ColunaAtual() const override { return colunaAtual_; }
    void DefineAtual(int linha, int coluna) {
        linhaAtual_ = linha;
        colunaAtual_ = coluna;
    }

  private:
    int linhas_, colunas_;
    int linhaAtual_ = 0, colunaAtual_ = 0;
    std::vector<QString> celulas_;
};

// The rule the table loaders share for their outcome line: each read of an entry counts, and
// the load is a success only when every read succeeded.
class LeiturasDaTabela {
  public:
    // Counts one read; gives `ok` back.
    bool Conta(bool ok) {
        if (!ok) ++falhas_;
        return ok;
    }
    bool Todas() const { return falhas_ == 0; }

  private:
    int falhas_ = 0;
};

class TGridManager {
  public:
    explicit TGridManager(Grade* grade) : grade_(grade) {}
    virtual ~TGridManager() = default;
    void DefineLinhaInicial(int linha) { linhaInicial_ = linha; }
    int LinhaInicial() const { return linhaInicial_; }
    void DefineTitulos(const QStringList& titulos) { titulos_ = titulos; }
    // Empties row 0 and writes the titles into it, as far as the grid has columns.
    void AplicaTitulos(const QStringList& titulos);
    // The titles, then "0", "1", ... in column 0 from the first data row on.
    void MontaGrade();
    // Empties columns 1 onward of every data row.
    void LimpaLinhas();
    void LimpaCelulaAtual();
    void Prepara();
    Grade* Tabela() const { return grade_; }

  protected:
    QStringList titulos_;
    int linhaInicial_ = 1;
    Grade* grade_;
};

class TGridDataLoader : public TGridManager {
  public:
    using TGridManager::TGridManager;
};

struct RegistroAliquota {
    int codigo = -1;
    QString percentual;
    QString descricao;
    QString tipo;  // "ICMS" or "ISSQN"
};

class TGridAliquotas : public TGridDataLoader {
  public:
    using TGridDataLoader::TGridDataLoader;
    void Inicializa();
    const RegistroAliquota* ProcuraAliquota(int codigo) const;
    // One record from the reply of the rate read.
    static RegistroAliquota InterpretaAliquota(const QString& resposta);
    // Reads the rate of every row's code and writes the rates into their rows.
    void Carrega();
    const std::vector<RegistroAliquota>& Aliquotas() const { return aliquotas_; }

  private:
    std::vector<RegistroAliquota> aliquotas_;
};

struct RegistroMeioPagamento {
    int indice = 0;
    QString descricao;
    QString valorAcumulado;
    QString valorUltimoCupom;
    QString vinculado;  // "Sim" or "Não"
};

class TGridMeiosPagto : public TGridDataLoader {
  public:
    using TGridDataLoader::TGridDataLoader;
    void Inicializa();
    // Takes one 58-character record off the front of the reply.
    static void InterpretaMeioPagamento(int indice, RegistroMeioPagamento& registro, QString& resposta);
    // The 17 payment methods (index 0, the cash form "-2", in row 1).
    void Carrega();
    const std::vector<RegistroMeioPagamento>& Meios() const { return meios_; }

  protected:
    std::vector<RegistroMeioPagamento> meios_;
};

// "%0.2f" with a decimal comma of an amount of the payment reply (twenty digits, the last two
// the hundredths); empty when the text is no amount.
QString ValorDoMeioPagamento(const QString& digitos);

}  // namespace belmora
