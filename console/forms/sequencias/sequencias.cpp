#include "console/forms/sequencias/sequencias.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "console/binding/auxiliar.h"
#include "console/forms/comum/teclado.h"
#include "console/main/ajuda.h"
#include "console/main/configuracao_console.h"
#include "console/main/dialogos.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "console/sequencias/linha.h"
#include "platform/pastas.h"

namespace belmora {

const std::array<CategoriaFuncoes, kNumeroCategorias> kCategorias = {{
    {"Funções de Impressão de Cheque", "FunçõesImpressãoCheque.txt"},
    {"Funções de Inicialização", "FunçõesInicialização.txt"},
    {"Funções de Cupom Fiscal", "FunçõesCupomFiscal.txt"},
    {"Funções de Relatórios", "FunçõesRelatórios.txt"},
    {"Funções de Operações Não Fiscais", "FunçõesOperaçõesNãoFiscais.txt"},
    {"Funções de Informações da Impressora", "FunçõesInformaçõesImpressora.txt"},
    {"Funções de Gaveta", "FunçõesGaveta.txt"},
    {"Funções de Impressoras MFD", "FunçõesImpressorasMFD.txt"},
    {"Funções de Autenticação", "FunçõesAutenticação.txt"},
    {"Funções de Intervenção", "FunçõesIntervenção.txt"},
    {"Outras Funções", "FunçõesOutras.txt"},
    {"Funções de Geração do Ato Cotepe", "FunçõesAtoCotepe1704.txt"},
}};

namespace {

const QString kBelmora = QStringLiteral("Belmora");
const char* const kRetornoDeDados = "Variável de retorno de dados";

// The lists are read in this order (a missing file stops the reading there).
constexpr std::array<int, kNumeroCategorias> kOrdemLeitura = {0, 1, 8, 2, 6, 7, 5, 4, 3, 9, 10, 11};

QString U(const std::string& s) {
    return QString::fromStdString(s);
}
QString U(const char* s) {
    return QString::fromUtf8(s);
}

QPushButton* Botao(QWidget* dono, const char* nome, const QString& texto) {
    auto* b = new QPushButton(texto, dono);
    b->setObjectName(QString::fromLatin1(nome));
    return b;
}

QListWidget* Lista(QWidget* dono, const char* nome) {
    auto* l = new QListWidget(dono);
    l->setObjectName(QString::fromLatin1(nome));
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    return l;
}

}  // namespace

void RegistraFormulariosDeSequencias() {
    RegistraFormulario("TfrmSeqComandos", [] { return new TfrmSeqComandos; });
}

// --- the sequence form -------------------------------------------------------------------------

TfrmSeqComandos::TfrmSeqComandos(QWidget* parent)
    : TFormulario("TfrmSeqComandos", QStringLiteral("Scripts e Desenvolvimento"), parent) {
    setProperty("HelpContext", 10);
    BotaoOK()->hide();

    auto* grade = new QGridLayout;
    // Function lists.
    auto* grupoComandos = new QGroupBox(QStringLiteral("Comandos"), this);
    auto* lc = new QVBoxLayout(grupoComandos);
    categorias_ = Lista(grupoComandos, "List_TipoComandos");
    for (const CategoriaFuncoes& c : kCategorias) categorias_->addItem(U(c.texto));
    comandos_ = Lista(grupoComandos, "List_Comandos");
    lc->addWidget(categorias_);
    lc->addWidget(comandos_, 1);
    grade->addWidget(grupoComandos, 0, 0);

    // Add and remove.
    auto* meio = new QVBoxLayout;
    btAdicionar_ = Botao(this, "btAdicionar", QStringLiteral("»"));
    btRemover_ = Botao(this, "btRemover", QStringLiteral("«"));
    meio->addStretch();
    meio->addWidget(btAdicionar_);
    meio->addWidget(btRemover_);
    meio->addStretch();
    grade->addLayout(meio, 0, 1);

    // The current sequence.
    auto* grupoSequencia = new QGroupBox(QStringLiteral("Sequência Atual"), this);
    auto* ls = new QGridLayout(grupoSequencia);
    atual_ = Lista(grupoSequencia, "ListSequenciaAtual");
    btSobe_ = Botao(grupoSequencia, "btSobe", QStringLiteral("▲"));
    btDesce_ = Botao(grupoSequencia, "btDesce", QStringLiteral("▼"));
    btParametros_ = Botao(grupoSequencia, "btParametros", QStringLiteral("Parâmetros"));
    btLimpar_ = Botao(grupoSequencia, "btLimpar", QStringLiteral("Limpar"));
    ls->addWidget(atual_, 0, 0, 4, 1);
    ls->addWidget(btSobe_, 0, 1);
    ls->addWidget(btDesce_, 1, 1);
    auto* botoesSequencia = new QHBoxLayout;
    botoesSequencia->addWidget(btParametros_);
    botoesSequencia->addWidget(btLimpar_);
    ls->addLayout(botoesSequencia, 4, 0, 1, 2);
    grade->addWidget(grupoSequencia, 0, 2);

    // Saved sequences.
    auto* grupoSalvas = new QGroupBox(QStringLiteral("Sequências Salvas"), this);
    auto* lv = new QGridLayout(grupoSalvas);
    salvas_ = Lista(grupoSalvas, "List_SequenciasSalvas");
    QPushButton* btSalvar = Botao(grupoSalvas, "btSalvar", QStringLiteral("Salvar"));
    QPushButton* btAbrir = Botao(grupoSalvas, "btAbrir", QStringLiteral("Abrir"));
    QPushButton* btExcluir = Botao(grupoSalvas, "btExcluir", QStringLiteral("Excluir"));
    lblNomeArquivo_ = new QLabel(QStringLiteral("Nome do arquivo:"), grupoSalvas);
    lblNomeArquivo_->setObjectName(QStringLiteral("lblNomeArquivo"));
    edtNomeArquivo_ = new QLineEdit(grupoSalvas);
    edtNomeArquivo_->setObjectName(QStringLiteral("edtNomeArquivo"));
    lblNomeArquivo_->setBuddy(edtNomeArquivo_);
    btConfirmaSalvar_ = Botao(grupoSalvas, "btConfirmaSalvar", QStringLiteral("OK"));
    lv->addWidget(salvas_, 0, 0, 1, 3);
    lv->addWidget(btSalvar, 1, 0);
    lv->addWidget(btAbrir, 1, 1);
    lv->addWidget(btExcluir, 1, 2);
    lv->addWidget(lblNomeArquivo_, 2, 0);
    lv->addWidget(edtNomeArquivo_, 2, 1);
    lv->addWidget(btConfirmaSalvar_, 2, 2);
    grade->addWidget(grupoSalvas, 1, 0);

    // Running.
    auto* grupoExecucao = new QGroupBox(QStringLiteral("Execução"), this);
    auto* le = new QGridLayout(grupoExecucao);
    auto* lblNum = new QLabel(QStringLiteral("Núm. de Execuções:"), grupoExecucao);
    edtNumExecucoes_ = new QLineEdit(QStringLiteral("1"), grupoExecucao);
    edtNumExecucoes_->setObjectName(QStringLiteral("edtNumExecucoes"));
    lblNum->setBuddy(edtNumExecucoes_);
    chkPassoAPasso_ = new QCheckBox(QStringLiteral("Execução Passo à Passo"), grupoExecucao);
    chkPassoAPasso_->setObjectName(QStringLiteral("chkPassoAPasso"));
    QPushButton* btExecutar = Botao(grupoExecucao, "btExecutar", QStringLiteral("Executar"));
    le->addWidget(lblNum, 0, 0);
    le->addWidget(edtNumExecucoes_, 0, 1);
    le->addWidget(chkPassoAPasso_, 1, 0, 1, 2);
    le->addWidget(btExecutar, 2, 0, 1, 2);
    grade->addWidget(grupoExecucao, 1, 2);
    Corpo()->addLayout(grade, 1);

    // Help on the driver's commands, and the note on parameters.
    auto* ajuda = new QHBoxLayout;
    auto* lblAjuda =
        new QLabel(QStringLiteral("<a href=\"#\">Referência de Comandos da DLL Tarvo</a>"), this);
    lblAjuda->setObjectName(QStringLiteral("lblAjudaComandos"));
    lblAjuda->setTextFormat(Qt::RichText);
    QPushButton* btAjuda = Botao(this, "btAjudaComandos", QStringLiteral("?"));
    ajuda->addWidget(lblAjuda);
    ajuda->addWidget(btAjuda);
    ajuda->addStretch();
    Corpo()->addLayout(ajuda);
    auto* nota =
        new QLabel(QStringLiteral("Tenha certeza de preencher os parametros corretamente. Parametros não "
                                  "preenchidos onde necessário ocasionarão erros de execução."),
                   this);
    nota->setObjectName(QStringLiteral("lblNota"));
    nota->setWordWrap(true);
    Corpo()->addWidget(nota);

    for (QWidget* w : std::initializer_list<QWidget*>{btAdicionar_, btRemover_, btParametros_, btLimpar_,
                                                      btSobe_, btDesce_})
        w->setEnabled(false);
    lblNomeArquivo_->hide();
    edtNomeArquivo_->hide();
    btConfirmaSalvar_->hide();

    // A category is chosen when it is selected (the list taking the focus only marks a
    // current line).
    connect(categorias_, &QListWidget::itemSelectionChanged, this, [this] {
        const int linha = Selecionado(categorias_);
        if (linha >= 0) Guarda([this, linha] { EscolheCategoria(linha); });
    });
    connect(comandos_, &QListWidget::itemDoubleClicked, this,
            [this] { Guarda([this] { AdicionaComando(); }); });
    connect(atual_, &QListWidget::itemDoubleClicked, this, [this] { Guarda([this] { EditaParametros(); }); });
    connect(atual_, &QListWidget::itemClicked, this, [this] { ValidaUpDown(); });
    connect(atual_, &QListWidget::currentRowChanged, this, [this] { ValidaUpDown(); });
    connect(salvas_, &QListWidget::itemDoubleClicked, this, [this] { Guarda([this] { AbreSequencia(); }); });
    connect(edtNomeArquivo_, &QLineEdit::returnPressed, this,
            [this] { Guarda([this] { SalvaSequencia(); }); });
    connect(lblAjuda, &QLabel::linkActivated, this, [this] { Guarda([this] { AbreAjudaComandos(); }); });
    Liga(btAdicionar_, [this] { AdicionaComando(); });
    Liga(btRemover_, [this] { RemoveComando(); });
    Liga(btSobe_, [this] { Move(-1); });
    Liga(btDesce_, [this] { Move(+1); });
    Liga(btParametros_, [this] { EditaParametros(); });
    Liga(btLimpar_, [this] { Limpa(); });
    Liga(btSalvar, [this] { MostraNomeArquivo(); });
    Liga(btConfirmaSalvar_, [this] { SalvaSequencia(); });
    Liga(btAbrir, [this] { AbreSequencia(); });
    Liga(btExcluir, [this] { ExcluiSequencia(); });
    Liga(btExecutar, [this] { Executa(); });
    Liga(btAjuda, [this] { AbreAjudaComandos(); });
    DefineFoco(categorias_);
}

void TfrmSeqComandos::AoMostrar() {
    CarregaListas();
    PegarSequencias();
    categorias_->setFocus();
}

void TfrmSeqComandos::CarregaListas() {
    for (int i : kOrdemLeitura) {
        const std::string nome = kCategorias[static_cast<std::size_t>(i)].arquivo;
        // Beside the program, or among the shipped files of an installed console.
        std::string arquivo = ArquivoDoConsole(nome);
        if (arquivo.empty()) arquivo = plataforma::PastaPrograma() + nome;
        std::string erro;
        if (!seq::LeListaFuncoes(arquivo, listas_[static_cast<std::size_t>(i)], erro))
            throw ErroFormulario(erro);
    }
}

void TfrmSeqComandos::PegarSequencias() {
    salvas_->clear();
    for (const std::string& nome : seq::PegarSequencias(seq::PastaSequencias())) salvas_->addItem(U(nome));
}

int TfrmSeqComandos::Selecionado(QListWidget* lista) const {
    QListWidgetItem* i = lista->currentItem();
    return i && i->isSelected() ? lista->currentRow() : -1;
}

void TfrmSeqComandos::EscolheCategoria(int categoria) {
    if (categoria < 0 || categoria >= kNumeroCategorias) return;
    btAdicionar_->setEnabled(true);
    comandos_->clear();
    for (const std::string& nome : listas_[static_cast<std::size_t>(categoria)].nomes)
        comandos_->addItem(U(nome));
}

void TfrmSeqComandos::AdicionaComando() {
    const int categoria = categorias_->currentRow();
    const int linha = Selecionado(comandos_);
    if (categoria < 0 || linha < 0) return;
    const seq::ListaFuncoes& lista = listas_[static_cast<std::size_t>(categoria)];
    if (static_cast<std::size_t>(linha) >= lista.declaracoes.size()) return;
    seq::TComando comando;
    std::string erro;
    if (!seq::GeraListaParametros(lista.declaracoes[static_cast<std::size_t>(linha)], comando, erro))
        throw ErroFormulario(erro);
    btRemover_->setEnabled(true);
    comando.Nome = lista.nomes[static_cast<std::size_t>(linha)];
    AcrescentaComando(std::move(comando));
    seq::TComando& novo = sequencia_.back();
    if (novo.Quantidade < 1) {
        Informa(this, kBelmora, QStringLiteral("Esse comando não possui parâmetros!"));
        novo.Quantidade = 0;
    } else {
        AbreParametros(novo);
        novo.Quantidade = static_cast<int>(novo.Parametros.size());
    }
    btParametros_->setEnabled(true);
    btLimpar_->setEnabled(true);
}

void TfrmSeqComandos::AcrescentaComando(seq::TComando comando) {
    atual_->addItem(U(comando.Nome));
    sequencia_.push_back(std::move(comando));
    ValidaUpDown();
}

void TfrmSeqComandos::AbreParametros(seq::TComando& comando) {
    TfrmParametros parametros(comando, this);
    parametros.exec();
}

void TfrmSeqComandos::EditaParametros() {
    const int i = Selecionado(atual_);
    if (i < 0) {
        Informa(this, kBelmora, QStringLiteral("Primeiro selecione um comando!"));
        return;
    }
    seq::TComando& c = sequencia_.at(static_cast<std::size_t>(i));
    if (c.Quantidade < 1) {
        Informa(this, kBelmora, QStringLiteral("Esse comando não possui parâmetros!"));
        return;
    }
    AbreParametros(c);
}

void TfrmSeqComandos::RemoveComando() {
    const int i = Selecionado(atual_);
    if (i < 0) {
        Informa(this, kBelmora, QStringLiteral("Primeiro selecione um comando!"));
        return;
    }
    if (!Pergunta(this, kBelmora, QStringLiteral("Deseja realmente excluir o comando?"))) return;
    delete atual_->takeItem(i);
    sequencia_.erase(sequencia_.begin() + i);
    AtualizaBotoesDaSequencia();
}

void TfrmSeqComandos::Limpa() {
    atual_->clear();
    sequencia_.clear();
    AtualizaBotoesDaSequencia();
}

void TfrmSeqComandos::AtualizaBotoesDaSequencia() {
    const bool algum = atual_->count() > 0;
    btRemover_->setEnabled(algum);
    btParametros_->setEnabled(algum);
    btLimpar_->setEnabled(algum);
    ValidaUpDown();
}

void TfrmSeqComandos::Move(int passo) {
    const int i = Selecionado(atual_);
    const int j = i + passo;
    if (i < 0 || j < 0 || j >= atual_->count()) return;
    QListWidgetItem* item = atual_->takeItem(i);
    atual_->insertItem(j, item);
    std::swap(sequencia_[static_cast<std::size_t>(i)], sequencia_[static_cast<std::size_t>(j)]);
    atual_->setCurrentRow(j);
    ValidaUpDown();
}

void TfrmSeqComandos::ValidaUpDown() {
    // With no line selected there is nothing to move.
    const int i = Selecionado(atual_);
    btSobe_->setEnabled(i > 0);
    btDesce_->setEnabled(i >= 0 && i < atual_->count() - 1);
}

// --- saved sequences -----------------------------------------------------------------------------

void TfrmSeqComandos::MostraNomeArquivo() {
    lblNomeArquivo_->show();
    edtNomeArquivo_->show();
    btConfirmaSalvar_->show();
    edtNomeArquivo_->setFocus();
}

void TfrmSeqComandos::SalvaSequencia() {
    const QString nome = edtNomeArquivo_->text().trimmed();
    edtNomeArquivo_->setText(nome);
    if (nome.isEmpty()) {
        Informa(this, kBelmora, QStringLiteral("Digite o nome da sequência!"));
        return;
    }
    if (!seq::NomeSequenciaValido(nome.toStdString())) {
        Informa(this, kBelmora,
                QStringLiteral("O nome da sequência não pode conter \"/\", \"\\\" nem \"..\"."));
        return;
    }
    std::string erro;
    if (!seq::GravaSequencia(seq::PastaSequencias() + seq::ArquivoDaSequencia(nome.toStdString()), sequencia_,
                             erro))
        throw ErroFormulario(erro);
    PegarSequencias();
    Informa(this, kBelmora, QStringLiteral("Sequência salva com sucesso!"));
    lblNomeArquivo_->hide();
    edtNomeArquivo_->hide();
    btConfirmaSalvar_->hide();
}

void TfrmSeqComandos::AbreSequencia() {
    const int i = Selecionado(salvas_);
    if (i < 0) {
        Informa(this, kBelmora, QStringLiteral("Primeiro selecione uma sequência!"));
        return;
    }
    const QString nome = salvas_->item(i)->text();
    edtNomeArquivo_->setText(nome);
    if (!seq::NomeSequenciaValido(nome.toStdString()))
        throw ErroFormulario("Nome de sequência inválido: " + nome.toStdString());
    std::vector<seq::TComando> lidos;
    std::string erro;
    const bool inteiro = seq::LeSequencia(seq::PastaSequencias() + nome.toStdString(), lidos, erro);
    // Nothing read: only the message.
    if (!inteiro && lidos.empty()) throw ErroFormulario(erro);
    if (!sequencia_.empty() && !Pergunta(this, kBelmora, QStringLiteral("Deseja mesclar comandos?"))) {
        atual_->clear();
        sequencia_.clear();
    }
    for (seq::TComando& c : lidos) AcrescentaComando(std::move(c));
    AtualizaBotoesDaSequencia();
    // The lines before a bad one stay loaded; the bad one is told.
    if (!inteiro) throw ErroFormulario(erro);
}

void TfrmSeqComandos::ExcluiSequencia() {
    const int i = Selecionado(salvas_);
    if (i < 0) {
        Informa(this, kBelmora, QStringLiteral("Primeiro selecione uma sequência!"));
        return;
    }
    const QString nome = salvas_->item(i)->text();
    if (!Pergunta(this, QStringLiteral("Vintaro Tarvo"),
                  QStringLiteral("Deseja realmente excluir a sequência?")))
        return;
    if (!seq::NomeSequenciaValido(nome.toStdString()))
        throw ErroFormulario("Nome de sequência inválido: " + nome.toStdString());
    std::error_code ec;
    const std::string caminho = seq::PastaSequencias() + nome.toStdString();
    const bool removido = std::filesystem::remove(caminho, ec);
    PegarSequencias();
    if (!removido)
        throw ErroFormulario("Não foi possível excluir o arquivo " + caminho +
                             (ec ? ": " + ec.message() : std::string(": arquivo não encontrado")));
}

// --- running -------------------------------------------------------------------------------------

void TfrmSeqComandos::Executa() {
    bool ok = false;
    int passes = edtNumExecucoes_->text().trimmed().toInt(&ok);
    if (!ok) passes = 1;
    const bool passoAPasso = chkPassoAPasso_->isChecked();
    // The main window takes no option or group while the sequence runs.
    TfrmVintaro::Operacao ocupada(frmVintaro());
    for (int p = 1; p <= passes; ++p) {
        for (std::size_t i = 0; i < sequencia_.size(); ++i) {
            if (passoAPasso && (i >= 1 || p >= 2) &&
                !Pergunta(this, kBelmora, QStringLiteral("Deseja executar o próximo comando?")))
                break;
            atual_->setCurrentRow(static_cast<int>(i));
            // A command that fails, however it fails, does not stop the run.
            try {
                seq::TrataComando(sequencia_[i]);
            } catch (const std::exception& e) {
                AdicionaRetorno(std::string("  <- ") + e.what());
                AdicionaRetorno(std::string("<- ") + kFalhou);
            }
        }
    }
}

// --- help ----------------------------------------------------------------------------------------

void TfrmSeqComandos::AbreAjudaComandos() {
    // The driver's command reference: "HelpTarvoImpressorasFiscais.hlp", shipped as the
    // contents page of that name under "Ajuda".
    const std::string pagina = ArquivoDoConsole("Ajuda/HelpTarvoImpressorasFiscais.html");
    if (pagina.empty()) {
        Informa(this, kBelmora,
                QStringLiteral("Arquivo de ajuda HelpTarvoImpressorasFiscais.hlp não encontrado."));
        return;
    }
    if (!ajuda_) ajuda_ = new TfrmAjuda(this);
    ajuda_->Mostra(U(pagina));
}

// --- the parameter form --------------------------------------------------------------------------

TfrmParametros::TfrmParametros(seq::TComando& comando, QWidget* parent) : QDialog(parent), comando_(comando) {
    setObjectName(QStringLiteral("TfrmParametros"));
    setWindowTitle(QStringLiteral("Parâmetros do Comando"));
    setModal(true);
    auto* l = new QVBoxLayout(this);
    grade_ = new QTableWidget(static_cast<int>(comando_.Parametros.size()), 2, this);
    grade_->setObjectName(QStringLiteral("grdParametros"));
    grade_->setHorizontalHeaderLabels({QStringLiteral("Parametro"), QStringLiteral("Valor")});
    grade_->setColumnWidth(0, 150);
    grade_->setColumnWidth(1, 293);
    grade_->verticalHeader()->hide();
    for (int r = 0; r < grade_->rowCount(); ++r) {
        const seq::TParametro& p = comando_.Parametros[static_cast<std::size_t>(r)];
        auto* chave = new QTableWidgetItem(U(p.Nome) + QStringLiteral(" : ") + U(p.Tipo).toLower());
        chave->setFlags(chave->flags() & ~Qt::ItemIsEditable);
        grade_->setItem(r, 0, chave);
        QTableWidgetItem* valor;
        if (!p.Entrada) {
            valor = new QTableWidgetItem(U(kRetornoDeDados));
            valor->setFlags(valor->flags() & ~Qt::ItemIsEditable);
        } else {
            valor = new QTableWidgetItem(seq::TipoTexto(p.Tipo) ? U(p.ValorTexto)
                                                                : QString::number(p.ValorInteiro));
        }
        grade_->setItem(r, 1, valor);
    }
    l->addWidget(grade_, 1);
    lblCNPJInvalido_ = new QLabel(QStringLiteral("CNPJ Inválido"), this);
    lblCNPJInvalido_->setObjectName(QStringLiteral("lblCNPJInvalido"));
    lblCNPJInvalido_->setStyleSheet(QStringLiteral("color: red"));
    lblCNPJInvalido_->hide();
    l->addWidget(lblCNPJInvalido_);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    QPushButton* salvar = Botao(this, "btSalvar", QStringLiteral("Salvar"));
    QPushButton* finalizar = Botao(this, "btFinalizar", QStringLiteral("Finalizar"));
    botoes->addWidget(salvar);
    botoes->addWidget(finalizar);
    l->addLayout(botoes);
    resize(480, 320);
    PreparaTeclado(this);

    auto guarda = [this](const std::function<void()>& acao) {
        try {
            acao();
        } catch (const std::exception& e) {
            QMessageBox caixa(QMessageBox::Critical, QStringLiteral("Erro"), QString::fromUtf8(e.what()),
                              QMessageBox::Ok, this);
            caixa.exec();
        }
    };
    connect(salvar, &QPushButton::clicked, this, [this, guarda] { guarda([this] { btSalvarClick(); }); });
    connect(finalizar, &QPushButton::clicked, this, &QDialog::reject);
    // The owner's CNPJ is checked as soon as its cell is changed.
    if (comando_.Nome == "Tarvo_ProgramaProprietario" && grade_->rowCount() > 0)
        connect(grade_, &QTableWidget::cellChanged, this, [this, guarda](int linha, int coluna) {
            if (linha == 0 && coluna == 1)
                guarda(
                    [this] { ChecaCNPJValido(grade_->item(0, 1) ? grade_->item(0, 1)->text() : QString()); });
        });
}

bool TfrmParametros::CopiaValores() {
    for (int r = 0; r < grade_->rowCount(); ++r) {
        seq::TParametro& p = comando_.Parametros[static_cast<std::size_t>(r)];
        // A return variable's row only says what it is: it keeps its value and stays unfilled.
        if (!p.Entrada) continue;
        const QString celula = grade_->item(r, 1) ? grade_->item(r, 1)->text() : QString();
        if (seq::TipoTexto(p.Tipo)) {
            p.ValorTexto = celula.toStdString();
        } else {
            bool ok = false;
            const int valor = celula.trimmed().toInt(&ok);
            if (!ok) {
                Informa(this, kBelmora,
                        QStringLiteral("O valor do parâmetro \"") + U(p.Nome) +
                            QStringLiteral("\" deve ser um número inteiro"));
                return false;
            }
            p.ValorInteiro = valor;
        }
        p.Preenchido = !celula.isEmpty();
    }
    return true;
}

bool TfrmParametros::ChecaCNPJValido(const QString& valor) {
    QString digitos = valor;
    digitos.remove(QLatin1Char('.')).remove(QLatin1Char('/')).remove(QLatin1Char('-'));
    if (!digitos.isEmpty() && ValidaCNPJ(digitos.toStdString())) {
        lblCNPJInvalido_->hide();
        return true;
    }
    lblCNPJInvalido_->show();
    QMessageBox caixa(QMessageBox::Warning, QStringLiteral("Atenção!"),
                      QStringLiteral("CNPJ Inválido. Por favor, entre com um CNPJ válido"), QMessageBox::Ok,
                      this);
    caixa.exec();
    return false;
}

bool TfrmParametros::ChecaCasasDecimais() {
    const seq::TParametro* casas = nullptr;
    const seq::TParametro* valor = nullptr;
    for (const seq::TParametro& p : comando_.Parametros) {
        const QString nome = U(p.Nome).toLower();
        if (nome == QStringLiteral("casasdecimais")) casas = &p;
        if (nome == QStringLiteral("valorunitario")) valor = &p;
    }
    if (!casas || !valor) return true;
    int n = casas->ValorInteiro;
    if (seq::TipoTexto(casas->Tipo)) n = U(casas->ValorTexto).trimmed().toInt();
    const QString unitario = U(valor->ValorTexto);
    const int virgula = unitario.lastIndexOf(QLatin1Char(','));
    if ((n == 2 || n == 3) && virgula >= 0 && unitario.size() - virgula - 1 == n) return true;
    Informa(this, kBelmora,
            QStringLiteral("Verifique se o número de casas decimais (2 ou 3) está igual ao \n"
                           "número de casas decimais do valor unitário. Ou se está \n"
                           "utilizando virgula para separar a parte inteira da decimal."));
    return false;
}

bool TfrmParametros::ChecaComando() {
    if (comando_.Nome == "Tarvo_ProgramaProprietario")
        return comando_.Parametros.empty() || ChecaCNPJValido(U(comando_.Parametros.front().ValorTexto));
    if (comando_.Nome == "Tarvo_VendeItem") return ChecaCasasDecimais();
    return true;
}

bool TfrmParametros::btSalvarClick() {
    if (!CopiaValores() || !ChecaComando()) return false;
    Informa(this, kBelmora, QStringLiteral("Parâmetros Salvos com sucesso!"));
    accept();
    return true;
}

}  // namespace belmora
