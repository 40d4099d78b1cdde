#include "console/database/dm_vintaro.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "console/database/criacao.h"
#include "platform/pastas.h"
#include "platform/processo.h"

namespace belmora {

namespace {

TdmVintaro* g_modulo = nullptr;
std::atomic<int> g_conexoes{0};

QString Texto(const QSqlError& e) {
    QString t = e.databaseText().trimmed();
    if (t.isEmpty()) t = e.text().trimmed();
    if (t.isEmpty()) t = e.driverText().trimmed();
    return t;
}

// The lock folder of the embedded engine: one beside the database (every console using that
// file shares it), or one of this user's alone under the temporary folder when that cannot be
// made (a folder of that name that another user made or may write in is not taken).
void PreparaBloqueio(const std::string& pasta) {
    const char* atual = std::getenv("FIREBIRD_LOCK");
    if (atual && *atual) return;
    std::error_code ec;
    std::string propria = pasta + "firebird";
    // Never makes the program folder itself: a missing one is the database's error to report.
    std::filesystem::create_directory(propria, ec);
    if (!std::filesystem::is_directory(propria, ec))
        propria = plataforma::PastaPrivada((std::filesystem::temp_directory_path(ec) /
                                            ("belmora-firebird-" + std::to_string(plataforma::IdDoUsuario())))
                                               .string());
    DefinePastaDeBloqueio(propria);
}

// What failed, the cause in Portuguese when it is known, then the engine's own text.
QString Explica(const QString& oQue, const QString& motor) {
    const QString causa = CausaDoErroDoBanco(motor);
    return oQue + QStringLiteral(": ") +
           (causa.isEmpty() ? motor : causa + QStringLiteral("\nMensagem do banco de dados: ") + motor);
}

}  // namespace

TdmVintaro* dmVintaro() {
    return g_modulo;
}

TdmVintaro::TdmVintaro(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("dmVintaro"));
    conexao_ = QStringLiteral("ibVintaroBase%1").arg(g_conexoes++);
    if (!g_modulo) g_modulo = this;
}

TdmVintaro::~TdmVintaro() {
    Desconecta();
    if (g_modulo == this) g_modulo = nullptr;
}

void TdmVintaro::Desconecta() {
    disponivel_ = false;
    if (!QSqlDatabase::contains(conexao_)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(conexao_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(conexao_);
}

QString CausaDoErroDoBanco(const QString& texto) {
    // The engine's texts as it words them; the first that matches says the cause.
    static const std::pair<const char*, const char*> kCausas[] = {
        {"lock", "O banco de dados está em uso por outro console Belmora (ou por outro programa)."},
        {"already opened", "O banco de dados está em uso por outro console Belmora (ou por outro programa)."},
        {"permission", "Sem permissão de acesso ao arquivo do banco de dados ou à sua pasta."},
        {"access failed", "Sem permissão de acesso ao arquivo do banco de dados ou à sua pasta."},
        {"access denied", "Sem permissão de acesso ao arquivo do banco de dados ou à sua pasta."},
        {"read-only", "Sem permissão de acesso ao arquivo do banco de dados ou à sua pasta."},
        {"plugin", "O módulo do banco de dados (Firebird) não está instalado."},
        {"fbclient", "O módulo do banco de dados (Firebird) não está instalado."},
        {"driver not loaded", "O driver do banco de dados não está instalado."},
    };
    for (const auto& [chave, causa] : kCausas)
        if (texto.contains(QLatin1String(chave), Qt::CaseInsensitive)) return QString::fromUtf8(causa);
    return {};
}

bool TdmVintaro::Conecta(const std::string& pasta) {
    disponivel_ = false;
    produtos_.clear();
    cheques_.clear();
    const std::string arquivo = pasta + "base.fdb";
    arquivo_ = QString::fromStdString(arquivo);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QIBASE"))) {
        erro_ = QStringLiteral("O driver QIBASE do banco de dados não está instalado.");
        return false;
    }
    PreparaBloqueio(pasta);
    // Whichever way this ends, the engine has been loaded by then. The database client
    // library takes SIGINT and SIGTERM for its engine, and the process would then go on
    // running: both get their usual end back (the database file survives an abrupt end as
    // it survives a crash).
    struct Sinais {
        ~Sinais() { plataforma::TerminaAoSinal(); }
    } sinais;
    std::error_code ec;
    if (!std::filesystem::exists(arquivo, ec)) {
        std::string erro;
        if (!CriaBase(arquivo, EsquemaBase(), erro)) {
            erro_ = Explica(QStringLiteral("Não foi possível criar o banco de dados ") + arquivo_,
                            QString::fromStdString(erro));
            return false;
        }
    }
    QSqlDatabase db = QSqlDatabase::contains(conexao_)
                          ? QSqlDatabase::database(conexao_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), conexao_);
    db.setDatabaseName(arquivo_);
    db.setUserName(QStringLiteral("sysdba"));
    db.setPassword(QStringLiteral("lorvantis"));
    if (!db.open()) {
        erro_ = Explica(QStringLiteral("Não foi possível abrir o banco de dados ") + arquivo_,
                        Texto(db.lastError()));
        return false;
    }
    QString erro;
    if (!LeProdutos(erro) || !LeCheques(erro)) {
        erro_ =
            QStringLiteral("Não foi possível ler o banco de dados ") + arquivo_ + QStringLiteral(": ") + erro;
        db.close();
        return false;
    }
    erro_.clear();
    disponivel_ = true;
    emit ProdutosRecarregados();
    emit ChequesRecarregados();
    return true;
}

bool TdmVintaro::Procedimento(const QString& comando, const std::function<void(QSqlQuery&)>& parametros,
                              QString& erro) {
    return Transacao({{comando, parametros}}, erro);
}

bool TdmVintaro::Transacao(const std::vector<std::pair<QString, std::function<void(QSqlQuery&)>>>& comandos,
                           QString& erro) {
    if (!disponivel_) {
        erro = erro_;
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(conexao_, false);
    // Begin, prepare, run, commit: a statement prepared before the transaction would run in
    // one of its own that a rollback does not undo.
    if (!db.transaction()) {
        erro = Texto(db.lastError());
        return false;
    }
    bool ok = true;
    for (const auto& [comando, parametros] : comandos) {
        QSqlQuery q(db);
        ok = q.prepare(comando);
        if (ok) {
            parametros(q);
            ok = q.exec();
        }
        if (!ok) {
            erro = Texto(q.lastError());
            break;
        }
    }
    if (ok && !db.commit()) {
        erro = Texto(db.lastError());
        ok = false;
    }
    if (!ok) {
        db.rollback();
        return false;
    }
    QString releitura;
    if (!Recarrega(releitura)) {
        // The change is in; only the list could not be read again.
        erro = releitura;
        return false;
    }
    return true;
}

bool TdmVintaro::SalvarProduto(const Produto& p, QString& erro) {
    return Procedimento(
        QStringLiteral("EXECUTE PROCEDURE SALVAR_PRODUTO(?, ?, ?, ?, ?, ?)"),
        [&](QSqlQuery& q) {
            q.addBindValue(p.codigo);
            q.addBindValue(p.descricao);
            q.addBindValue(p.aliquota);
            q.addBindValue(p.unidade);
            q.addBindValue(p.casasDecimais);
            q.addBindValue(p.valorUnitario);
        },
        erro);
}

bool TdmVintaro::ExcluirProduto(const QString& codigo, QString& erro) {
    return Procedimento(
        QStringLiteral("EXECUTE PROCEDURE EXCLUIR_PRODUTO(?)"),
        [&](QSqlQuery& q) { q.addBindValue(codigo.isNull() ? QString(QLatin1String("")) : codigo); }, erro);
}

bool TdmVintaro::LimparCheques(QString& erro) {
    return Procedimento(
        QStringLiteral("EXECUTE PROCEDURE LIMPAR_CHEQUES"), [](QSqlQuery&) {}, erro);
}

namespace {
void ParametrosCheque(QSqlQuery& q, const LayoutCheque& c) {
    q.addBindValue(c.numBanco);
    q.addBindValue(c.nomeBanco);
    for (int v : {c.hPosAno, c.hPosCidade, c.hPosDia, c.hPosExtensoLinha1, c.hPosExtensoLinha2,
                  c.hPosFavorecido, c.hPosMes, c.hPosMsgLinha1, c.hPosValor, c.vPosCidade,
                  c.vPosExtensoLinha1, c.vPosExtensoLinha2, c.vPosFavorecido, c.vPosMsgLinha1, c.vPosValor})
        q.addBindValue(v);
}
const char* const kParametrosCheque = "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
}  // namespace

bool TdmVintaro::InserirCheque(const LayoutCheque& c, QString& erro) {
    return Procedimento(
        QStringLiteral("EXECUTE PROCEDURE INSERIR_CHEQUE") + QLatin1String(kParametrosCheque),
        [&](QSqlQuery& q) { ParametrosCheque(q, c); }, erro);
}

bool TdmVintaro::SalvarCheque(const LayoutCheque& c, QString& erro) {
    return Procedimento(
        QStringLiteral("EXECUTE PROCEDURE SALVAR_CHEQUE") + QLatin1String(kParametrosCheque),
        [&](QSqlQuery& q) { ParametrosCheque(q, c); }, erro);
}

bool TdmVintaro::SubstituiCheques(const std::vector<LayoutCheque>& layouts, QString& erro) {
    std::vector<std::pair<QString, std::function<void(QSqlQuery&)>>> comandos;
    comandos.emplace_back(QStringLiteral("EXECUTE PROCEDURE LIMPAR_CHEQUES"), [](QSqlQuery&) {});
    for (const LayoutCheque& c : layouts)
        comandos.emplace_back(
            QStringLiteral("EXECUTE PROCEDURE INSERIR_CHEQUE") + QLatin1String(kParametrosCheque),
            [&c](QSqlQuery& q) { ParametrosCheque(q, c); });
    return Transacao(comandos, erro);
}

bool TdmVintaro::Recarrega(QString& erro) {
    if (!disponivel_) {
        erro = erro_;
        return false;
    }
    bool ok = LeProdutos(erro) && LeCheques(erro);
    emit ProdutosRecarregados();
    emit ChequesRecarregados();
    return ok;
}

bool TdmVintaro::LeProdutos(QString& erro) {
    QSqlDatabase db = QSqlDatabase::database(conexao_, false);
    std::vector<Produto> lidos;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("select * from Produtos order by COD_PRODUTO"))) {
            erro = Texto(q.lastError());
            return false;
        }
        const QSqlRecord r = q.record();
        const int cod = r.indexOf(QStringLiteral("COD_PRODUTO")),
                  desc = r.indexOf(QStringLiteral("DESCRICAO_PRODUTO")),
                  aliq = r.indexOf(QStringLiteral("ALIQUOTA_PRODUTO")),
                  un = r.indexOf(QStringLiteral("UNIDADE_PRODUTO")),
                  casas = r.indexOf(QStringLiteral("CASASDECIMAIS_PRODUTO")),
                  valor = r.indexOf(QStringLiteral("VALORUNITARIO_PRODUTO"));
        while (q.next()) {
            Produto p;
            p.codigo = q.value(cod).toString();
            p.descricao = q.value(desc).toString();
            p.aliquota = q.value(aliq).toString();
            p.unidade = q.value(un).toString();
            p.casasDecimais = q.value(casas).toInt();
            p.valorUnitario = q.value(valor).toString();
            lidos.push_back(std::move(p));
        }
    }
    produtos_ = std::move(lidos);
    return true;
}

bool TdmVintaro::LeCheques(QString& erro) {
    QSqlDatabase db = QSqlDatabase::database(conexao_, false);
    std::vector<LayoutCheque> lidos;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("Select * from cheques order by NUM_BANCO"))) {
            erro = Texto(q.lastError());
            return false;
        }
        const QSqlRecord r = q.record();
        auto inteiro = [&](const char* coluna) { return q.value(r.indexOf(QLatin1String(coluna))).toInt(); };
        while (q.next()) {
            LayoutCheque c;
            c.numBanco = inteiro("NUM_BANCO");
            c.nomeBanco = q.value(r.indexOf(QStringLiteral("NOME_BANCO"))).toString();
            c.hPosAno = inteiro("HPOSANO");
            c.hPosCidade = inteiro("HPOSCIDADE");
            c.hPosDia = inteiro("HPOSDIA");
            c.hPosExtensoLinha1 = inteiro("HPOSEXTENSOLINHA1");
            c.hPosExtensoLinha2 = inteiro("HPOSEXTENSOLINHA2");
            c.hPosFavorecido = inteiro("HPOSFAVORECIDO");
            c.hPosMes = inteiro("HPOSMES");
            c.hPosMsgLinha1 = inteiro("HPOSMSGLINHA1");
            c.hPosValor = inteiro("HPOSVALOR");
            c.vPosCidade = inteiro("VPOSCIDADE");
            c.vPosExtensoLinha1 = inteiro("VPOSEXTENSOLINHA1");
            c.vPosExtensoLinha2 = inteiro("VPOSEXTENSOLINHA2");
            c.vPosFavorecido = inteiro("VPOSFAVORECIDO");
            c.vPosMsgLinha1 = inteiro("VPOSMSGLINHA1");
            c.vPosValor = inteiro("VPOSVALOR");
            lidos.push_back(std::move(c));
        }
    }
    cheques_ = std::move(lidos);
    return true;
}

}  // namespace belmora
