#include "console/forms/programacao/tabelas.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>

#include "console/binding/auxiliar.h"
#include "console/binding/construtores.h"
#include "console/binding/ecf_dll.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "platform/codepage.h"

namespace belmora {

namespace {

QString DeCp1252(const std::string& t) {
    return QString::fromStdString(plataforma::Cp1252ParaUtf8(t));
}

const QString kSucessoLinha = QStringLiteral("<- ") + QString::fromUtf8(kSucesso);
const QString kFalhouLinha = QStringLiteral("<- ") + QString::fromUtf8(kFalhou);

void ExigeLigada() {
    if (dll::Tarvo_VerificaImpressoraLigada() < 1) throw ErroFormulario("Impressora Desligada");
}

}  // namespace

QString ValorResposta(const QString& resposta, const QString& chave) {
    const int i = resposta.indexOf(chave);
    if (i < 0) return {};
    const int inicio = i + static_cast<int>(chave.size());
    const int fim = resposta.indexOf(QLatin1Char(' '), inicio);
    return resposta.mid(inicio, fim < 0 ? -1 : fim - inicio);
}

QString ValorEntreAspas(const QString& resposta, const QString& chave) {
    const int i = resposta.indexOf(chave);
    if (i < 0) return {};
    const int inicio = resposta.indexOf(QLatin1Char('"'), i + static_cast<int>(chave.size()));
    if (inicio < 0) return {};
    const int fim = resposta.indexOf(QLatin1Char('"'), inicio + 1);
    return resposta.mid(inicio + 1, fim < 0 ? -1 : fim - inicio - 1);
}

const RegistroTabela* TGridTabela::BuscaPorCodigo(int codigo) const {
    for (const RegistroTabela& r : registros_)
        if (r.codigo == codigo) return &r;
    return nullptr;
}

std::optional<QStringList> TGridTabela::Valores(int codigo, int colunas) const {
    const RegistroTabela* r = BuscaPorCodigo(codigo);
    if (!r || r->nome.trimmed().isEmpty()) return std::nullopt;
    QStringList v{r->nome, r->descricao, r->tipo};
    return v.mid(0, colunas);
}

// --- management reports -------------------------------------------------------------------------

void TGridRelatoriosGerenciais::Inicializa() {
    titulos_ = {QStringLiteral("Índice"), QStringLiteral("Descrição")};
}

void TGridRelatoriosGerenciais::CarregaGrid() {
    Prepara();
    Log(QStringLiteral("-> Lendo relatórios gerenciais"));
    registros_.clear();
    LeiturasDaTabela leituras;
    for (int i = 0; i < 20; ++i) {
        std::string nome(60, ' ');
        RegistroTabela r;
        r.codigo = i;
        if (leituras.Conta(dll::Tarvo_LeNomeRelatorioGerencial(std::to_string(i), nome) == 1))
            r.nome = DeCp1252(nome).trimmed();
        else
            Log(kFalhouLinha);
        grade_->DefineCelula(i + 1, 1, r.nome);
        registros_.push_back(r);
    }
    if (leituras.Todas()) Log(kSucessoLinha);
}

// --- departments ----------------------------------------------------------------------------------

void TGridDepartamentos::Inicializa() {
    titulos_ = {QStringLiteral("Índice"), QStringLiteral("Nome")};
}

RegistroTabela TGridDepartamentos::InterpretaDepartamento(const QString& resposta) {
    RegistroTabela r;
    bool ok = false;
    const int codigo = ValorResposta(resposta, QStringLiteral("CodDepartamento=")).toInt(&ok);
    r.codigo = ok ? codigo : -1;
    r.nome = ValorEntreAspas(resposta, QStringLiteral("NomeDepartamento="));
    return r;
}

void TGridDepartamentos::CarregaGrid() {
    Prepara();
    Log(QStringLiteral("-> Lendo Departamentos"));
    registros_.clear();
    ExigeLigada();
    LeiturasDaTabela leituras;
    for (int l = linhaInicial_; l < grade_->Linhas(); ++l) {
        std::string resposta;
        RegistroTabela r;
        const std::string codigo = TFormulario::Cp1252(grade_->Celula(l, 0));
        if (leituras.Conta(dll::LeDepartamento(codigo, "", resposta) >= 1)) {
            r = InterpretaDepartamento(DeCp1252(resposta));
        }
        // The code is the row's own when the reply names none (a failed or empty read).
        if (r.codigo < 0) r.codigo = grade_->Celula(l, 0).toInt();
        registros_.push_back(r);
    }
    for (const RegistroTabela& r : registros_) grade_->DefineCelula(r.codigo + 1, 1, r.nome);
    LogDesfecho(leituras.Todas());
}

// --- non-fiscal totalisers -----------------------------------------------------------------------

void TGridTotalizadoresNF::Inicializa() {
    titulos_ = {QStringLiteral("Código"), QStringLiteral("Nome"), QStringLiteral("Descrição"),
                QStringLiteral("Tipo")};
}

RegistroTabela TGridTotalizadoresNF::InterpretaNaoFiscal(const QString& resposta) {
    RegistroTabela r;
    r.tipo = ValorResposta(resposta, QStringLiteral("TipoNaoFiscal=")).startsWith(QLatin1Char('Y'))
                 ? QStringLiteral("Entrada")
                 : QStringLiteral("Saida");
    bool ok = false;
    const int codigo = ValorResposta(resposta, QStringLiteral("CodNaoFiscal=")).toInt(&ok);
    r.codigo = ok ? codigo : -1;
    r.descricao = ValorEntreAspas(resposta, QStringLiteral("DescricaoNaoFiscal="));
    r.nome = ValorEntreAspas(resposta, QStringLiteral("NomeNaoFiscal="));
    return r;
}

void TGridTotalizadoresNF::CarregaGrid() {
    Prepara();
    Log(QStringLiteral("-> Obtendo Totalizadores Não Fiscais"));
    registros_.clear();
    ExigeLigada();
    LeiturasDaTabela leituras;
    for (int l = linhaInicial_; l < grade_->Linhas(); ++l) {
        std::string resposta;
        if (!leituras.Conta(dll::LeNaoFiscal(TFormulario::Cp1252(grade_->Celula(l, 0)), "", resposta) == 1))
            continue;
        RegistroTabela r = InterpretaNaoFiscal(DeCp1252(resposta));
        if (r.codigo >= 0) registros_.push_back(r);
    }
    for (const RegistroTabela& r : registros_) {
        grade_->DefineCelula(r.codigo + 1, 1, r.nome);
        grade_->DefineCelula(r.codigo + 1, 2, r.descricao);
        grade_->DefineCelula(r.codigo + 1, 3, r.tipo);
    }
    LogDesfecho(leituras.Todas());
}

// --- the walks ------------------------------------------------------------------------------------

std::vector<PassoCadastro> PlanejaTabela(const Grade& grade, const TGridTabela& carga, int colunas) {
    RegrasCadastro regras;
    regras.linhaInicial = 1;
    regras.colunas = colunas;
    return PlanejaCadastro(grade, regras,
                           [&carga, colunas](int, int codigo) { return carga.Valores(codigo, colunas); });
}

namespace {

// One table's walk: `define` sends a changed or new row, `exclui` a deleted one (with the
// record's old values); `nomeLog` names the entry in the log lines.
void Cadastra(const Grade& grade, const TGridTabela& carga, int colunas, const QString& nomeLog,
              const std::function<int(const PassoCadastro&)>& define,
              const std::function<int(const PassoCadastro&)>& exclui) {
    const auto passos = PlanejaTabela(grade, carga, colunas);
    for (const PassoCadastro& p : passos) {
        int r = 0;
        switch (p.tipo) {
            case TipoPasso::Altera:
            case TipoPasso::Insere:
                r = define(p);
                Log((p.tipo == TipoPasso::Altera ? QStringLiteral(" -> Alterando ")
                                                 : QStringLiteral(" -> Inserindo ")) +
                    nomeLog + QLatin1Char(' ') + p.codigo + QStringLiteral(" - ") + p.valores[0]);
                break;
            case TipoPasso::Exclui:
                r = exclui(p);
                Log(QStringLiteral(" -> Excluindo ") + nomeLog + QLatin1Char(' ') + p.codigo);
                break;
            case TipoPasso::Recusa:
                continue;
        }
        TrataRetorno(r);
    }
    Log(QStringLiteral("-> Operaçao finalizada."));
}

}  // namespace

void CadastraRelatoriosGerenciais(const Grade& grade, const TGridTabela& carga) {
    Log(QStringLiteral("-> Cadastrando Relatórios Gerenciais"));
    Cadastra(
        grade, carga, 1, QStringLiteral("Relatório"),
        [](const PassoCadastro& p) {
            return dll::Tarvo_NomeiaRelatorioGerencialMFD(TFormulario::Cp1252(p.codigo),
                                                          TFormulario::Cp1252(p.valores[0]));
        },
        [](const PassoCadastro& p) {
            return dll::ExcluiGerencial(TFormulario::Cp1252(p.codigo),
                                        TFormulario::Cp1252(p.anteriores.value(0)));
        });
}

void CadastraDepartamentos(const Grade& grade, const TGridTabela& carga) {
    Cadastra(
        grade, carga, 1, QStringLiteral("Departamento"),
        [](const PassoCadastro& p) {
            return dll::Tarvo_NomeiaDepartamento(p.codigo.toInt(), TFormulario::Cp1252(p.valores[0]));
        },
        [](const PassoCadastro& p) {
            return dll::ExcluiDepartamento(TFormulario::Cp1252(p.codigo),
                                           TFormulario::Cp1252(p.anteriores.value(0)));
        });
}

void CadastraTotalizadoresNF(const Grade& grade, const TGridTabela& carga) {
    Log(QStringLiteral("-> Cadastrando Totalizadores Não Fiscais"));
    Cadastra(
        grade, carga, 3, QStringLiteral("Totalizador"),
        [](const PassoCadastro& p) {
            // The type goes as yes for "Entrada" and as no for anything else.
            const std::string tipo = p.valores[2] == QStringLiteral("Entrada") ? "Entrada" : "Saida";
            return dll::DefineNaoFiscal(TFormulario::Cp1252(p.codigo), TFormulario::Cp1252(p.valores[0]),
                                        TFormulario::Cp1252(p.valores[1]), tipo);
        },
        [](const PassoCadastro& p) {
            return dll::ExcluiNaoFiscal(TFormulario::Cp1252(p.codigo),
                                        TFormulario::Cp1252(p.anteriores.value(0)));
        });
}

// --- forms ----------------------------------------------------------------------------------------

namespace {

struct DadosTabela {
    const char* classe;
    const char* titulo;
    const char* grade;
    int colunas, linhas;
    const char* nota;
    const char* pergunta;
};

const DadosTabela& Dados(TfrmTabelaProgramavel::QualTabela t) {
    static const DadosTabela kDados[] = {
        {"TfrmDefRelatorioGerencial", "Cadastrar Relatorio Gerencial", "grdRelatorios", 2, 21,
         "Obs.: Não é possível alterar ou excluir relatórios fora de Intervenção Técnica.",
         "Você tem certeza que deseja efetuar o cadastro do Relatório Gerencial ?"},
        {"TfrmDefDepartamento", "Cadastrar Departamento", "grdDepartamentos", 2, 21,
         "Obs.: Não é possível alterar ou excluir departamentos fora de Intervenção Técnica.",
         "Você tem certeza que deseja efetuar o cadastro do Departamento ?"},
        {"TfrmDefineNaoFiscal", "Cadastro de Totalizadores Não Fiscais", "grdNaoFiscais", 4, 16,
         "Obs.: Não é possível alterar ou excluir totalizadores fora de Intervenção técnica.",
         "Você tem certeza que deseja efetuar o cadastro de Totalizadores Não Fiscais?"},
    };
    return kDados[static_cast<int>(t)];
}

std::unique_ptr<TGridTabela> NovaCarga(TfrmTabelaProgramavel::QualTabela t, Grade* g) {
    std::unique_ptr<TGridTabela> c;
    switch (t) {
        case TfrmTabelaProgramavel::QualTabela::Gerenciais:
            c = std::make_unique<TGridRelatoriosGerenciais>(g);
            break;
        case TfrmTabelaProgramavel::QualTabela::Departamentos:
            c = std::make_unique<TGridDepartamentos>(g);
            break;
        case TfrmTabelaProgramavel::QualTabela::NaoFiscais:
            c = std::make_unique<TGridTotalizadoresNF>(g);
            break;
    }
    c->Inicializa();
    c->Prepara();
    return c;
}

}  // namespace

TfrmTabelaProgramavel::TfrmTabelaProgramavel(QualTabela tabela, QWidget* parent)
    : TFormGradeProgramavel(Dados(tabela).classe, QString::fromUtf8(Dados(tabela).titulo),
                            Dados(tabela).grade, Dados(tabela).colunas, parent, Dados(tabela).linhas),
      qual_(tabela),
      carga_(NovaCarga(tabela, grade_.get())) {
    Corpo()->addWidget(new QLabel(QString::fromUtf8(Dados(tabela).nota), this));
    if (tabela == QualTabela::NaoFiscais)
        DefineColunaEspecial(3, {QStringLiteral("Entrada"), QStringLiteral("Saída")});
}

QString TfrmTabelaProgramavel::Pergunta() const {
    return QString::fromUtf8(Dados(qual_).pergunta);
}

void TfrmTabelaProgramavel::Capturar() {
    carga_->CarregaGrid();
}

void TfrmTabelaProgramavel::Cadastrar() {
    switch (qual_) {
        case QualTabela::Gerenciais:
            CadastraRelatoriosGerenciais(*grade_, *carga_);
            break;
        case QualTabela::Departamentos:
            CadastraDepartamentos(*grade_, *carga_);
            break;
        case QualTabela::NaoFiscais:
            CadastraTotalizadoresNF(*grade_, *carga_);
            break;
    }
}

TfrmStatusTabela::TfrmStatusTabela(const char* classe, const QString& titulo,
                                   TfrmTabelaProgramavel::QualTabela tabela, QWidget* parent)
    : TFormStatus(classe, titulo, parent) {
    tabela_ = new QTableWidget(Dados(tabela).linhas, Dados(tabela).colunas, this);
    tabela_->setObjectName(QString::fromUtf8(Dados(tabela).grade));
    tabela_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabela_->horizontalHeader()->hide();
    tabela_->verticalHeader()->hide();
    Corpo()->addWidget(tabela_);
    grade_ = std::make_unique<GradeTabela>(tabela_);
    carga_ = NovaCarga(tabela, grade_.get());
}

void TfrmStatusTabela::Ok() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    carga_->CarregaGrid();
}

void RegistraFormulariosDeTabelas() {
    using T = TfrmTabelaProgramavel::QualTabela;
    RegistraFormulario("TfrmDefRelatorioGerencial",
                       []() -> QWidget* { return new TfrmDefRelatorioGerencial; });
    RegistraFormulario("TfrmDefDepartamento", []() -> QWidget* { return new TfrmDefDepartamento; });
    RegistraFormulario("TfrmDefineNaoFiscal", []() -> QWidget* { return new TfrmDefineNaoFiscal; });
    RegistraFormulario("TfrmStatusRelatGerenciais", []() -> QWidget* {
        return new TfrmStatusTabela("TfrmStatusRelatGerenciais",
                                    QStringLiteral("Status dos Relatórios Gerenciais"), T::Gerenciais);
    });
    RegistraFormulario("TfrmStatusDepartamentos", []() -> QWidget* {
        return new TfrmStatusTabela("TfrmStatusDepartamentos", QStringLiteral("Status dos Departamentos"),
                                    T::Departamentos);
    });
    RegistraFormulario("TfrmTotalizadoresNF", []() -> QWidget* {
        return new TfrmStatusTabela("TfrmTotalizadoresNF", QStringLiteral("Totalizadores Não Fiscais"),
                                    T::NaoFiscais);
    });
}

}  // namespace belmora
