// The console's data module: the connection to "base.fdb" beside the program, the product
// list that the sell form shows, the cheque layouts of the layout manager, and the stored
// procedures that change them. Every procedure runs in a transaction of its own (begun,
// prepared, run, committed; rolled back on failure) and the list is read again afterwards.
//
// A database that cannot be opened or created leaves the module unavailable: the console
// still runs, the operator is warned once with the database's message, and the calls below
// answer with that message instead of touching anything.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QSqlQuery;

namespace belmora {

// The environment variable with the process id of the console that restarts into this one
// (set by the configuration form's restart, read at start-up before "base.fdb" is opened).
inline constexpr const char* kConsoleAnterior = "BELMORA_CONSOLE_ANTERIOR";

struct Produto {
    QString codigo, descricao, aliquota, unidade;
    int casasDecimais = 2;
    QString valorUnitario;
    bool operator==(const Produto&) const = default;
};

// A cheque layout: the bank, its name and the positions (H: column, V: line) on the cheque.
struct LayoutCheque {
    int numBanco = 0;
    QString nomeBanco;
    int hPosAno = 0, hPosCidade = 0, hPosDia = 0, hPosExtensoLinha1 = 0, hPosExtensoLinha2 = 0;
    int hPosFavorecido = 0;  // optional column: 0 when the row has none
    int hPosMes = 0, hPosMsgLinha1 = 0, hPosValor = 0;
    int vPosCidade = 0, vPosExtensoLinha1 = 0, vPosExtensoLinha2 = 0, vPosFavorecido = 0, vPosMsgLinha1 = 0,
        vPosValor = 0;
};

class TdmVintaro : public QObject {
    Q_OBJECT
  public:
    // The module of the running console; the first one created is it.
    explicit TdmVintaro(QObject* parent = nullptr);
    ~TdmVintaro() override;

    // Sets the database name to `pasta` + "base.fdb" (pasta ends in '/'), creates the file
    // when it is missing, connects and reads both lists. False with Erro() when the database
    // cannot be reached; the module then stays unavailable.
    bool Conecta(const std::string& pasta);
    // Closes the connection and lets the file go (a console about to start another one, which
    // must find the file free). The module is unavailable afterwards.
    void Desconecta();
    bool Disponivel() const { return disponivel_; }
    const QString& Erro() const { return erro_; }
    QString Arquivo() const { return arquivo_; }

    // "select * from Produtos order by COD_PRODUTO", as last read.
    const std::vector<Produto>& Produtos() const { return produtos_; }
    // "Select * from cheques order by NUM_BANCO", as last read.
    const std::vector<LayoutCheque>& Cheques() const { return cheques_; }

    // The procedures. True when the call was committed; false with the database's message
    // in `erro` (the transaction rolled back, the lists as they were).
    bool SalvarProduto(const Produto& p, QString& erro);
    bool ExcluirProduto(const QString& codigo, QString& erro);
    bool LimparCheques(QString& erro);
    bool InserirCheque(const LayoutCheque& c, QString& erro);
    bool SalvarCheque(const LayoutCheque& c, QString& erro);
    // Empties the table and inserts `layouts`, all in one transaction: on any failure the
    // table stays as it was.
    bool SubstituiCheques(const std::vector<LayoutCheque>& layouts, QString& erro);

    // Reads both lists again. False with `erro` when the reading fails.
    bool Recarrega(QString& erro);

  signals:
    // After the product list was read again.
    void ProdutosRecarregados();
    void ChequesRecarregados();

  private:
    bool Procedimento(const QString& comando, const std::function<void(QSqlQuery&)>& parametros,
                      QString& erro);
    // Runs the commands in order in one transaction; the first that fails rolls all back.
    bool Transacao(const std::vector<std::pair<QString, std::function<void(QSqlQuery&)>>>& comandos,
                   QString& erro);
    bool LeProdutos(QString& erro);
    bool LeCheques(QString& erro);

    QString conexao_;
    QString arquivo_;
    QString erro_;
    bool disponivel_ = false;
    std::vector<Produto> produtos_;
    std::vector<LayoutCheque> cheques_;
};

// Why the engine refused the file, in Portuguese ("" when its text says nothing known): the
// file in use by another console, no permission, the engine or driver missing.
QString CausaDoErroDoBanco(const QString& textoDoMotor);

// The module of the running console (nullptr before it exists).
TdmVintaro* dmVintaro();

}  // namespace belmora
