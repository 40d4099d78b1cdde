#include "console/forms/status/status.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "console/binding/auxiliar.h"
#include "console/binding/compostas.h"
#include "console/binding/ecf_dll.h"
#include "console/forms/status/textos.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "platform/codepage.h"

namespace belmora {

namespace {

QTableWidget* NovaTabela(QWidget* pai, const char* nome, int colunas, int linhas) {
    auto* t = new QTableWidget(linhas, colunas, pai);
    t->setObjectName(QString::fromUtf8(nome));
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->horizontalHeader()->hide();
    t->verticalHeader()->hide();
    return t;
}

const char* const kCaixas[16] = {"Fim do papel",
                                 "Pouco papel",
                                 "Erro no relógio",
                                 "Impressora em erro",
                                 "Primeiro dado do CMD não foi ESC (1Bh)",
                                 "Comando inexistente",
                                 "Cupom Fiscal aberto",
                                 "Número de parâmetros do CMD inválido",
                                 "Tipo do parâmetro do CMD inválido",
                                 "Memória fiscal lotada",
                                 "Erro na RAM CMOS não volátil",
                                 "Alíquota não programada",
                                 "Capacidade de alíquotas esgotada",
                                 "Cancelamento não permitido",
                                 "CNPJ/IE não programados",
                                 "Comando não executado"};

}  // namespace

QString GradeTabela::Celula(int linha, int coluna) const {
    QTableWidgetItem* i = tabela_->item(linha, coluna);
    return i ? i->text() : QString();
}

void GradeTabela::DefineCelula(int linha, int coluna, const QString& texto) {
    if (linha < 0 || coluna < 0 || linha >= tabela_->rowCount() || coluna >= tabela_->columnCount()) return;
    if (QTableWidgetItem* i = tabela_->item(linha, coluna))
        i->setText(texto);
    else
        tabela_->setItem(linha, coluna, new QTableWidgetItem(texto));
}

TFormStatus::TFormStatus(const char* classe, const QString& titulo, QWidget* parent)
    : TFormulario(classe, titulo, parent) {
    BotaoOK()->setText(QStringLiteral("Capturar"));
    BotaoOK()->setObjectName(QStringLiteral("btCapturar"));
    DefineFoco(BotaoOK());
}

QLineEdit* TFormStatus::Campo(const char* nome, const QString& rotulo) {
    QLineEdit* e = CampoTexto(nome, rotulo, 0);
    e->setReadOnly(true);
    return e;
}

bool TFormStatus::Le(const std::function<int()>& chamada, const char* sucesso, const char* falha) {
    const bool ok = TrataRetorno(chamada());
    Log(QString::fromUtf8(ok ? sucesso : falha));
    return ok;
}

// --- printer status -----------------------------------------------------------------------------

TfrmStatusImp::TfrmStatusImp(QWidget* parent)
    : TFormStatus("TfrmStatusImp", QStringLiteral("Status Impressora"), parent) {
    auto* grupo = new QGroupBox(QStringLiteral("Indicadores"), this);
    grupo->setObjectName(QStringLiteral("grpIndicadores"));
    auto* g = new QGridLayout(grupo);
    for (int i = 0; i < 16; ++i) {
        auto* c = new QCheckBox(QString::fromUtf8(kCaixas[i]), grupo);
        c->setObjectName(QStringLiteral("chk%1").arg(i));
        c->setAttribute(Qt::WA_TransparentForMouseEvents);
        c->setFocusPolicy(Qt::NoFocus);
        g->addWidget(c, i % 8, i / 8);
        caixas_[static_cast<std::size_t>(i)] = c;
    }
    Linha(grupo);
}

void TfrmStatusImp::Ok() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    Log(QStringLiteral("-> Verificando Status Impressora"));
    int ack = 0, st1 = 0, st2 = 0;
    if (!TrataRetorno(dll::Tarvo_VerificaEstadoImpressora(ack, st1, st2))) return;
    // Every capture shows the bits of this reading only.
    const int bits = (st1 & 0xFF) << 8 | (st2 & 0xFF);
    for (int i = 0; i < 16; ++i) caixas_[static_cast<std::size_t>(i)]->setChecked((bits >> (15 - i)) & 1);
    LogDesfecho(true);
}

// --- open receipt -------------------------------------------------------------------------------

TfrmStatusCupom::TfrmStatusCupom(QWidget* parent)
    : TFormStatus("TfrmStatusCupom", QStringLiteral("Status Cupom "), parent) {
    Campo("edtECF", QStringLiteral("Nro do ECF: "));
    Campo("edtNroCupom", QStringLiteral("Número do Cupom: "));
    Campo("edtData", QStringLiteral("Data: "));
    Campo("edtHora", QStringLiteral("Hora Atual: "));
    Campo("edtSubtotal", QStringLiteral("Subtotal: "));
    Campo("edtGT", QStringLiteral("Grande Total: "));
    Campo("edtQtdeItens", QStringLiteral("Quantidade de Itens: "));
}

void TfrmStatusCupom::Ok() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    auto campo = [this](const char* n) { return findChild<QLineEdit*>(QString::fromUtf8(n)); };
    Log(QStringLiteral("-> Lendo Status do Cupom"));
    bool tudo = true;
    auto simples = [&](const char* nome, std::size_t tamanho, int (*f)(std::string&), const char* ok,
                       const char* falha) {
        std::string r(tamanho, ' ');
        if (Le([&] { return f(r); }, ok, falha))
            campo(nome)->setText(DeCp1252(r).trimmed());
        else
            tudo = false;
    };
    simples("edtECF", 4, dll::Tarvo_NumeroCaixa, "  -> Número do Caixa lido com sucesso!",
            "  -> Falha ao ler o número do caixa!");
    simples("edtNroCupom", 6, dll::Tarvo_NumeroCupom, "  -> Número do Cupom lido com sucesso!",
            "  -> Falha ao ler o número do cupom!");
    std::string dataHora(12, ' ');
    if (Le([&] { return dll::Tarvo_DataHoraUltimoDocumentoMFD(dataHora); },
           "  -> Data/Hora lidos com sucesso!", "  -> Falha ao ler Data/Hora!")) {
        campo("edtData")->setText(DeCp1252(dataHora).mid(0, 6));
        campo("edtHora")->setText(DeCp1252(dataHora).mid(6, 6));
    } else {
        tudo = false;
    }
    simples("edtSubtotal", 14, dll::Tarvo_SubTotal, "  -> Subtotal lido com sucesso!",
            "  -> Falha ao ler o subtotal!");
    simples("edtGT", 18, dll::Tarvo_GrandeTotal, "  -> Grande Total lido com sucesso!",
            "  -> Falha ao ler o grande total!");
    simples("edtQtdeItens", 4, dll::sequencia::Tarvo_UltimoItemVendido,
            "  -> Número de Itens lido com sucesso!", "  -> Falha ao ler o número de itens!");
    LogDesfecho(tudo);
}

// --- printer identity -----------------------------------------------------------------------------

TfrmDadosECF::TfrmDadosECF(QWidget* parent)
    : TFormStatus("TfrmDadosECF", QStringLiteral("Dados do Emissor de Cupom Fiscal"), parent) {
    Campo("edtMarca", QStringLiteral("Marca:"));
    Campo("edtModelo", QStringLiteral("Modelo:"));
    Campo("edtVersao", QStringLiteral("Versão do Software Básico:"));
    Campo("edtNroSerie", QStringLiteral("Número de Série:"));
    Campo("edtGrandeTotal", QStringLiteral("Grande Total:"));
    Campo("edtNumProprietarios", QStringLiteral("Numero de Proprietários:"));
    auto* grupo = new QGroupBox(QStringLiteral("Dados Software Básico"), this);
    auto* f = new QFormLayout(grupo);
    for (auto [nome, rotulo] : {std::pair{"edtDataSoftBasico", "Data Gravação:"},
                                std::pair{"edtHoraSoftBasico", "Hora Gravação:"}}) {
        auto* e = new QLineEdit(grupo);
        e->setObjectName(QString::fromUtf8(nome));
        e->setReadOnly(true);
        f->addRow(QString::fromUtf8(rotulo), e);
    }
    Linha(grupo);
}

void TfrmDadosECF::Ok() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    Log(QStringLiteral("-> Lendo Dados do ECF"));
    std::string marca(15, ' '), modelo(20, ' '), versao(8, ' '), serie(20, ' '), gt(18, ' '), prop(4, ' '),
        data(6, ' '), hora(6, ' ');
    const int r = dll::LeDadosImpressora(marca, modelo, versao, serie, gt, prop, data, hora);
    const bool ok = r == 1;
    if (ok) {
        auto poe = [this](const char* n, const QString& t) {
            findChild<QLineEdit*>(QString::fromUtf8(n))->setText(t);
        };
        poe("edtMarca", DeCp1252(marca).trimmed());
        poe("edtModelo", DeCp1252(modelo).trimmed());
        poe("edtVersao", DeCp1252(versao).trimmed());
        poe("edtNroSerie", DeCp1252(serie).trimmed());
        poe("edtGrandeTotal", DeCp1252(gt).trimmed());
        poe("edtNumProprietarios", DeCp1252(prop).trimmed());
        poe("edtDataSoftBasico", ComSeparadores(DeCp1252(data).trimmed(), QLatin1Char('/')));
        poe("edtHoraSoftBasico", ComSeparadores(DeCp1252(hora).trimmed(), QLatin1Char(':')));
    }
    LogDesfecho(ok);
}

// --- change of the day --------------------------------------------------------------------------

TfrmStatusTroco::TfrmStatusTroco(QWidget* parent)
    : TFormStatus("TfrmStatusTroco", QStringLiteral("Status de troco do dia"), parent) {
    Campo("edtTroco", QStringLiteral("Valor do troco do dia: R$"));
}

void TfrmStatusTroco::Ok() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    Log(QStringLiteral("-> Lendo valor de troco do dia"));
    std::string troco(14, ' ');
    const bool ok = TrataRetorno(dll::Tarvo_TotalDiaTroco(troco));
    if (ok) findChild<QLineEdit*>(QStringLiteral("edtTroco"))->setText(DeCp1252(troco));
    LogDesfecho(ok);
}

// --- non-fiscal totals --------------------------------------------------------------------------

TfrmCNF::TfrmCNF(QWidget* parent)
    : TFormStatus("TfrmCNF", QStringLiteral("Comprovantes Não Fiscais - CNF's"), parent) {
    CampoMemo("mmVendas", QStringLiteral("Montante das Vendas Não Fiscais:"), 0)->setReadOnly(true);
    Campo("edtAcrescNF", QStringLiteral("Montante dos Acréscimos:"));
    Campo("edtDescNF", QStringLiteral("Montante dos Descontos:"));
    Campo("edtCancNF", QStringLiteral("Montante dos Cancelamentos:"));
}

void TfrmCNF::Ok() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    Log(QStringLiteral("-> Lendo Comprovantes não fiscais"));
    std::string vendas, acrescimos, descontos, cancelamentos;
    const bool ok = TrataRetorno(
        dll::Tarvo_VerificaTotalizadoresParciaisMFD(vendas, acrescimos, descontos, cancelamentos));
    if (ok) {
        findChild<QPlainTextEdit*>(QStringLiteral("mmVendas"))
            ->appendPlainText(PartesVendasNaoFiscais(DeCp1252(vendas)));
        findChild<QLineEdit*>(QStringLiteral("edtAcrescNF"))->setText(DeCp1252(acrescimos));
        findChild<QLineEdit*>(QStringLiteral("edtDescNF"))->setText(DeCp1252(descontos));
        findChild<QLineEdit*>(QStringLiteral("edtCancNF"))->setText(DeCp1252(cancelamentos));
    }
    LogDesfecho(ok);
}

// --- rates and payment methods ------------------------------------------------------------------

TfrmAliquotas::TfrmAliquotas(QWidget* parent)
    : TFormStatus("TfrmAliquotas", QStringLiteral("Alíquotas"), parent) {
    grade_ = NovaTabela(this, "grdAliquotas", 4, 17);
    Corpo()->addWidget(grade_);
}

void TfrmAliquotas::Ok() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    GradeTabela g(grade_);
    TGridAliquotas carga(&g);
    carga.Inicializa();
    carga.Carrega();
}

TfrmMeiosPgto::TfrmMeiosPgto(QWidget* parent)
    : TFormStatus("TfrmMeiosPgto", QStringLiteral("Formas de Pagamento"), parent) {
    Rotulo("lblStatus", QStringLiteral("Status das Formas de Pagamento:"));
    grade_ = NovaTabela(this, "grdFormasPagamento", 5, 17);
    Corpo()->addWidget(grade_);
}

void TfrmMeiosPgto::Ok() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    GradeTabela g(grade_);
    TGridMeiosPagto carga(&g);
    carga.Inicializa();
    carga.Carrega();
}

// --- owner data and header ------------------------------------------------------------------------

TfrmDadosCliche::TfrmDadosCliche(QWidget* parent)
    : TFormStatus("TfrmDadosCliche", QStringLiteral("Dados do Proprietário (Clichê)"), parent) {
    Campo("edtECF", QStringLiteral("ECF:"));
    Campo("edtLoja", QStringLiteral("Loja:"));
    Campo("edtCNPJ", QStringLiteral("CNPJ:"));
    Campo("edtIE", QStringLiteral("I.E.:"));
    Campo("edtIM", QStringLiteral("I.M.:"));
    auto* grupo = new QGroupBox(QStringLiteral("Cabeçalho:"), this);
    auto* g = new QGridLayout(grupo);
    for (int i = 0; i < 4; ++i) {
        auto* e = new QLineEdit(grupo);
        e->setObjectName(QStringLiteral("edtLinha%1").arg(i + 1));
        e->setReadOnly(true);
        if (i < 3) e->setMaxLength(48);
        auto* l = new QLabel(QStringLiteral("Exp"), grupo);
        l->setObjectName(QStringLiteral("lblExpLinha%1").arg(i + 1));
        l->hide();
        g->addWidget(e, i, 0);
        g->addWidget(l, i, 1);
        linhas_[static_cast<std::size_t>(i)] = e;
        exp_[static_cast<std::size_t>(i)] = l;
    }
    Linha(grupo);
}

void TfrmDadosCliche::Ok() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    auto campo = [this](const char* n) { return findChild<QLineEdit*>(QString::fromUtf8(n)); };
    Log(QStringLiteral("-> Lendo dados do Clichê"));
    bool tudo = true;
    std::string ecf(4, ' ');
    if (Le([&] { return dll::Tarvo_NumeroCaixa(ecf); }, "  -> Número do Caixa lido com sucesso!",
           "  -> Falha ao ler número do caixa!"))
        campo("edtECF")->setText(DeCp1252(ecf).trimmed());
    else
        tudo = false;
    std::string loja(4, ' ');
    if (Le([&] { return dll::Tarvo_NumeroLoja(loja); }, "  -> Número da Loja lido com sucesso!",
           "  -> Falha ao ler número da loja!"))
        campo("edtLoja")->setText(DeCp1252(loja).trimmed());
    else
        tudo = false;
    std::string cliche(186, ' ');
    if (Le([&] { return dll::Tarvo_ClicheProprietario(cliche); },
           "  -> Clichê do proprietário lido com sucesso!", "  -> Falha ao ler clichê do proprietário!")) {
        const QStringList linhas = LinhasDoCliche(DeCp1252(cliche));
        for (int i = 0; i < 4 && i < linhas.size(); ++i) {
            LinhaCabecalho l = FormataLinhaCabecalho(i == 3 ? linhas[i] + QLatin1Char(' ') : linhas[i]);
            QLineEdit* e = linhas_[static_cast<std::size_t>(i)];
            exp_[static_cast<std::size_t>(i)]->setVisible(l.expandida);
            QFont f = e->font();
            f.setPointSize(l.expandida ? 10 : 8);
            e->setFont(f);
            e->setText(l.texto);
        }
    } else {
        tudo = false;
    }
    std::string cnpj(18, ' '), ie(15, ' ');
    if (Le([&] { return dll::Tarvo_CGC_IE(cnpj, ie); }, "  -> CNPJ / IE lidos com sucesso!",
           "  -> Falha ao ler CNPJ / IE!")) {
        campo("edtCNPJ")->setText(DeCp1252(cnpj).trimmed());
        campo("edtIE")->setText(DeCp1252(ie).trimmed());
    } else {
        tudo = false;
    }
    std::string im(20, ' ');
    if (Le([&] { return dll::Tarvo_InscricaoMunicipalMFD(im); }, "  -> IM lido com sucesso!",
           "  -> Falha ao ler IM"))
        campo("edtIM")->setText(DeCp1252(im).trimmed());
    else
        tudo = false;
    LogDesfecho(tudo);
}

void RegistraFormulariosDeStatus() {
    RegistraFormulario("TfrmStatusImp", []() -> QWidget* { return new TfrmStatusImp; });
    RegistraFormulario("TfrmStatusCupom", []() -> QWidget* { return new TfrmStatusCupom; });
    RegistraFormulario("TfrmDadosECF", []() -> QWidget* { return new TfrmDadosECF; });
    RegistraFormulario("TfrmStatusTroco", []() -> QWidget* { return new TfrmStatusTroco; });
    RegistraFormulario("TfrmCNF", []() -> QWidget* { return new TfrmCNF; });
    RegistraFormulario("TfrmAliquotas", []() -> QWidget* { return new TfrmAliquotas; });
    RegistraFormulario("TfrmMeiosPgto", []() -> QWidget* { return new TfrmMeiosPgto; });
    RegistraFormulario("TfrmDadosCliche", []() -> QWidget* { return new TfrmDadosCliche; });
}

}  // namespace belmora
