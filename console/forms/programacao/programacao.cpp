#include "console/forms/programacao/programacao.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTimeEdit>

#include "console/binding/auxiliar.h"
#include "console/binding/compostas.h"
#include "console/binding/construtores.h"
#include "console/binding/ecf_dll.h"
#include "console/forms/programacao/equipamento.h"
#include "console/forms/programacao/tabelas.h"
#include "console/forms/status/textos.h"
#include "console/main/dialogos.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "platform/codepage.h"

namespace belmora {

namespace {

const QString kConfirmacao = QStringLiteral("Confirmação!");

// The cells of a column titled "Percentual" are edited with the mask "00,00".
class DelegadoGrade : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* pai, const QStyleOptionViewItem& opcao,
                          const QModelIndex& i) const override {
        QWidget* w = QStyledItemDelegate::createEditor(pai, opcao, i);
        if (auto* e = qobject_cast<QLineEdit*>(w);
            e && i.model()->index(0, i.column()).data().toString() == QStringLiteral("Percentual"))
            e->setInputMask(QStringLiteral("00,00;_"));
        return w;
    }
};

}  // namespace

bool DataHoraDaImpressora(const std::string& data, const std::string& hora, QDate& dia, QTime& tempo) {
    // "ddmmyy" and "hhmmss", as the printer gives them: the separators go in and the system's
    // short formats read them.
    const QString d = ComSeparadores(QString::fromStdString(data).trimmed(), QLatin1Char('/'));
    const QString h = ComSeparadores(QString::fromStdString(hora).trimmed(), QLatin1Char(':'));
    QDate lido = QDate::fromString(d, QStringLiteral("dd/MM/yy"));
    if (lido.isValid() && lido.year() < 2000) lido = lido.addYears(100);
    const QTime t = QTime::fromString(h, QStringLiteral("HH:mm:ss"));
    if (!lido.isValid() || !t.isValid()) return false;
    dia = lido;
    tempo = t;
    return true;
}

// --- payment-method loader ----------------------------------------------------------------------

void TGridDefMeiosPagto::Inicializa() {
    titulos_ = {QStringLiteral("Código"), QStringLiteral("Descrição"), QStringLiteral("Vinculado?")};
    linhaInicial_ = 2;
    grade_->DefineCelula(1, 0, QStringLiteral("-2"));
    grade_->DefineCelula(1, 1, QString());
    grade_->DefineCelula(1, 2, QString());
}

void TGridDefMeiosPagto::Carrega() {
    Prepara();
    std::string resposta(3016, ' ');
    Log(QStringLiteral("-> Lendo Formas de Pagamento"));
    meios_.clear();
    if (!TrataRetorno(dll::Tarvo_VerificaFormasPagamento(resposta))) {
        Log(QStringLiteral("<- ") + QString::fromUtf8(kFalhou));
        return;
    }
    QString texto = QString::fromStdString(plataforma::Cp1252ParaUtf8(ConverteCP850Texto(resposta)));
    for (int i = 0; i <= 16; ++i) {
        RegistroMeioPagamento r;
        InterpretaMeioPagamento(i, r, texto);
        grade_->DefineCelula(i + 1, 1, r.descricao);
        grade_->DefineCelula(i + 1, 2, r.vinculado);
        meios_.push_back(r);
    }
    Log(QStringLiteral("<- ") + QString::fromUtf8(kSucesso));
}

std::optional<QStringList> TGridDefMeiosPagto::RegistroDaLinha(int linha) const {
    const int indice = linha - 1;
    if (indice < 0 || indice >= static_cast<int>(meios_.size())) return std::nullopt;
    const RegistroMeioPagamento& r = meios_[static_cast<std::size_t>(indice)];
    // A slot read back without a name is free: a name typed into its row is an insertion.
    if (r.descricao.trimmed().isEmpty()) return std::nullopt;
    return QStringList{r.descricao, r.vinculado};
}

std::optional<QStringList> RegistroAliquotaDaLinha(const TGridAliquotas& carga, int codigo) {
    const RegistroAliquota* a = carga.ProcuraAliquota(codigo);
    if (!a) return std::nullopt;
    return QStringList{QString::fromStdString(FormataAliquota(a->percentual.toStdString())), a->descricao,
                       a->tipo};
}

// --- the walks ----------------------------------------------------------------------------------

void CadastraAliquotas(const Grade& grade, const TGridAliquotas& carga) {
    RegrasCadastro regras;
    regras.linhaInicial = 1;
    regras.colunas = 3;
    regras.chave = 0;
    regras.recusado = QStringLiteral("00,00");
    const auto passos = PlanejaCadastro(
        grade, regras, [&carga](int, int codigo) { return RegistroAliquotaDaLinha(carga, codigo); });
    Log(QStringLiteral("-> Cadastrando alíquotas programáveis ..."));
    for (const PassoCadastro& p : passos) {
        const QString& perc = p.valores[0];
        switch (p.tipo) {
            case TipoPasso::Altera:
            case TipoPasso::Insere: {
                const int r =
                    dll::DefineAliquota(TFormulario::Cp1252(p.codigo), TFormulario::Cp1252(perc),
                                        TFormulario::Cp1252(p.valores[1]), TFormulario::Cp1252(p.valores[2]));
                Log((p.tipo == TipoPasso::Altera ? QStringLiteral(" -> Alterando Alíquota ")
                                                 : QStringLiteral(" -> Inserindo Alíquota ")) +
                    p.codigo + QStringLiteral(" - ") + perc);
                TrataRetorno(r);
                break;
            }
            case TipoPasso::Exclui: {
                const int r = dll::ExcluiAliquota(TFormulario::Cp1252(p.codigo),
                                                  TFormulario::Cp1252(p.anteriores.value(0)));
                Log(QStringLiteral(" -> Excluindo Alíquota ") + p.codigo);
                TrataRetorno(r);
                break;
            }
            case TipoPasso::Recusa:
                Log(QStringLiteral(" -> Alíquota ") + p.codigo +
                    QStringLiteral(" não permitida (ZERO). Inclusão cancelada !"));
                break;
        }
    }
    Log(QStringLiteral("<- Operaçao finalizada."));
}

void CadastraMeiosPagamento(const Grade& grade, const TGridDefMeiosPagto& carga) {
    RegrasCadastro regras;
    regras.linhaInicial = 2;
    regras.colunas = 2;
    regras.chave = 0;
    const auto passos =
        PlanejaCadastro(grade, regras, [&carga](int linha, int) { return carga.RegistroDaLinha(linha); });
    Log(QStringLiteral("-> Cadastrando formas de pagamento ..."));
    for (const PassoCadastro& p : passos) {
        const QString& desc = p.valores[0];
        const std::string vinculado = p.valores[1] == QStringLiteral("Sim") ? "Yes" : "No";
        switch (p.tipo) {
            case TipoPasso::Altera:
            case TipoPasso::Insere: {
                const int r = dll::DefineMeioPagamento(TFormulario::Cp1252(p.codigo), "",
                                                       TFormulario::Cp1252(desc), vinculado);
                Log((p.tipo == TipoPasso::Altera ? QStringLiteral(" -> Alterando Forma Pagto. ")
                                                 : QStringLiteral(" -> Inserindo Forma Pagto. ")) +
                    p.codigo + QStringLiteral(" - ") + desc);
                TrataRetorno(r);
                break;
            }
            case TipoPasso::Exclui: {
                const int r = dll::ExcluiMeioPagamento(TFormulario::Cp1252(p.codigo),
                                                       TFormulario::Cp1252(p.anteriores.value(0)));
                Log(QStringLiteral(" -> Excluindo Forma Pagto. ") + p.codigo);
                TrataRetorno(r);
                break;
            }
            case TipoPasso::Recusa:
                break;
        }
    }
    Log(QStringLiteral("-> Operaçao finalizada."));
}

// --- the grid forms -----------------------------------------------------------------------------

TFormGradeProgramavel::TFormGradeProgramavel(const char* classe, const QString& titulo, const char* grade,
                                             int colunas, QWidget* parent, int linhas)
    : TFormulario(classe, titulo, parent) {
    tabela_ = new QTableWidget(linhas, colunas, this);
    tabela_->setObjectName(QString::fromUtf8(grade));
    tabela_->horizontalHeader()->hide();
    tabela_->verticalHeader()->hide();
    tabela_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    tabela_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabela_->setItemDelegate(new DelegadoGrade(tabela_));
    tabela_->installEventFilter(this);
    tabela_->setProperty("teclaEnterPropria", true);
    tabela_->viewport()->installEventFilter(this);
    tabela_->setContextMenuPolicy(Qt::CustomContextMenu);
    grade_ = std::make_unique<GradeTabela>(tabela_);
    Corpo()->addWidget(tabela_);
    lista_ = new QComboBox(tabela_);
    lista_->setObjectName(QStringLiteral("cmbLista"));
    lista_->hide();
    lista_->installEventFilter(this);
    tabela_->verticalHeader()->setDefaultSectionSize(lista_->sizeHint().height());
    connect(lista_, &QComboBox::activated, this, [this](int) { FechaLista(); });
    // Every selection turns the grid back to read-only.
    connect(tabela_, &QTableWidget::currentCellChanged, this, [this](int, int, int, int) {
        tabela_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        if (lista_->isVisible()) FechaLista();
    });
    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("Editar"), this, [this] { Guarda([this] { Edita(); }); });
    menu->addAction(QStringLiteral("Apagar"), this, [this] { Guarda([this] { Apaga(); }); });
    connect(tabela_, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint& p) { menu->popup(tabela_->viewport()->mapToGlobal(p)); });
    auto* botoes = new QHBoxLayout;
    btCapturar_ = new QPushButton(QStringLiteral("Capturar"), this);
    btCapturar_->setObjectName(QStringLiteral("btnCapturar"));
    btCadastrar_ = new QPushButton(QStringLiteral("Cadastrar"), this);
    btCadastrar_->setObjectName(QStringLiteral("btnCadastrar"));
    botoes->addWidget(btCapturar_);
    botoes->addWidget(btCadastrar_);
    Corpo()->addLayout(botoes);
    Corpo()->addWidget(new QLabel(QStringLiteral("* Campo Opcional"), this));
    BotaoOK()->hide();
    Liga(btCapturar_, [this] { Capturar(); });
    Liga(btCadastrar_, [this] {
        if (belmora::Pergunta(this, kConfirmacao, Pergunta())) Cadastrar();
    });
}

void TFormGradeProgramavel::DefineColunaEspecial(int coluna, const QStringList& itens, int linhaInicial) {
    colunaEspecial_ = coluna;
    linhaEspecial_ = linhaInicial;
    lista_->clear();
    lista_->addItems(itens);
}

void TFormGradeProgramavel::Edita() {
    const int l = tabela_->currentRow(), c = tabela_->currentColumn();
    if (l < 1 || c < 0) return;
    if (c == colunaEspecial_ && l >= linhaEspecial_) {
        const QRect r = tabela_->visualRect(tabela_->model()->index(l, c));
        lista_->setGeometry(r.translated(tabela_->viewport()->pos()).adjusted(1, 1, 0, 0));
        const int i = lista_->findText(grade_->Celula(l, c));
        lista_->setCurrentIndex(i >= 0 ? i : std::min(1, lista_->count() - 1));
        lista_->show();
        lista_->setFocus();
        return;
    }
    AntesDeEditar(l, c);
    if (!tabela_->item(l, c)) tabela_->setItem(l, c, new QTableWidgetItem);
    // Not on a change of the current cell: a new selection returns to read-only.
    tabela_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    tabela_->editItem(tabela_->item(l, c));
}

void TFormGradeProgramavel::Apaga() {
    if (tabela_->currentRow() < 1) return;
    grade_->DefineCelula(tabela_->currentRow(), tabela_->currentColumn(), QString());
}

void TFormGradeProgramavel::FechaLista() {
    if (!lista_->isVisible()) return;
    grade_->DefineCelula(tabela_->currentRow(), tabela_->currentColumn(), lista_->currentText());
    lista_->hide();
    tabela_->setFocus();
}

bool TFormGradeProgramavel::eventFilter(QObject* alvo, QEvent* evento) {
    if (alvo == lista_) {
        // Leaving the list for another widget of the form writes it too (a cell editor that
        // closes hands the focus to the grid, which is not a leaving).
        if (evento->type() == QEvent::FocusOut && QApplication::focusWidget() &&
            QApplication::focusWidget() != tabela_ && !tabela_->isAncestorOf(QApplication::focusWidget()))
            FechaLista();
        if (evento->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(evento)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter) {
                FechaLista();
                return true;
            }
        }
        return false;
    }
    if (alvo == tabela_ && evento->type() == QEvent::KeyPress &&
        tabela_->editTriggers() == QAbstractItemView::NoEditTriggers) {
        const int k = static_cast<QKeyEvent*>(evento)->key();
        const bool seta = k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Up || k == Qt::Key_Down;
        navegacao_ = seta;
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            Guarda([this] { Edita(); });
            return true;
        }
        if (k == Qt::Key_Delete) {
            Apaga();
            return true;
        }
        return false;
    }
    if (alvo == tabela_->viewport() && evento->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(evento)->button() == Qt::LeftButton) {
        // A click right after an arrow key only selects; the next one edits.
        if (!navegacao_) Guarda([this] { Edita(); });
        navegacao_ = false;
    }
    return false;
}

void TFormGradeProgramavel::AoMostrar() {
    btCapturar_->setFocus();
    Guarda([this] { Capturar(); });
}

TfrmDefineAliquotas::TfrmDefineAliquotas(QWidget* parent)
    : TFormGradeProgramavel("TfrmDefineAliquotas", QStringLiteral("Cadastro de Alíquotas Programáveis"),
                            "grdAliquotas", 4, parent),
      carga_(grade_.get()) {
    Corpo()->addWidget(new QLabel(
        QStringLiteral("Obs.: Não é possível alterar ou excluir alíquotas fora de Intervenção técnica."),
        this));
    carga_.Inicializa();
    carga_.Prepara();
    DefineColunaEspecial(3, {QStringLiteral("ICMS"), QStringLiteral("ISSQN")});
}

void TfrmDefineAliquotas::AntesDeEditar(int linha, int coluna) {
    if (coluna == 1)
        grade_->DefineCelula(linha, coluna,
                             QString::fromStdString(FormataAliquota(Cp1252(grade_->Celula(linha, coluna)))));
}

QString TfrmDefineAliquotas::Pergunta() const {
    return QStringLiteral("Você tem certeza que deseja efetuar o cadastro de Alíquotas?");
}

void TfrmDefineAliquotas::Capturar() {
    carga_.Carrega();
}

void TfrmDefineAliquotas::Cadastrar() {
    CadastraAliquotas(*grade_, carga_);
}

TfrmDefMeioPgto::TfrmDefMeioPgto(QWidget* parent)
    : TFormGradeProgramavel("TfrmDefMeioPgto", QStringLiteral("Cadastrar Meio de Pagamento"), "grdMeiosPgto",
                            3, parent),
      carga_(grade_.get()) {
    Corpo()->addWidget(new QLabel(
        QStringLiteral(
            "Obs.: Não é possível alterar ou excluir forma de pagamento fora de Intervenção Técnica."),
        this));
    carga_.Inicializa();
    carga_.Prepara();
    DefineColunaEspecial(2, {QStringLiteral("Sim"), QStringLiteral("Não")});
}

QString TfrmDefMeioPgto::Pergunta() const {
    return QStringLiteral("Você tem certeza que deseja efetuar o cadastro da Forma de Pagamento ?");
}

void TfrmDefMeioPgto::Capturar() {
    carga_.Carrega();
}

void TfrmDefMeioPgto::Cadastrar() {
    CadastraMeiosPagamento(*grade_, carga_);
}

// --- totalling mode -----------------------------------------------------------------------------

TfrmAlterarFormaTotalizacao::TfrmAlterarFormaTotalizacao(QWidget* parent)
    : TFormulario("TfrmAlterarFormaTotalizacao", QStringLiteral("Alterar forma de totalização"), parent) {
    auto* atual = CampoTexto("edtTotalizacaoAtual", QStringLiteral("Forma atual de totalização:"), 20);
    atual->setReadOnly(true);
    GrupoRadios("rgOp", QStringLiteral("Forma de totalização"),
                {QStringLiteral("Arredondamento"), QStringLiteral("Truncamento")});
    auto* capturar = new QPushButton(QStringLiteral("Capturar status"), this);
    capturar->setObjectName(QStringLiteral("btnCapturar"));
    auto* definir = new QPushButton(QStringLiteral("Definir"), this);
    definir->setObjectName(QStringLiteral("btnDefinir"));
    Corpo()->addWidget(capturar);
    Corpo()->addWidget(definir);
    Corpo()->addWidget(new QLabel(
        QStringLiteral("* a forma de totalização só poderá ser definida em\nestado de intervenção técnica"),
        this));
    BotaoOK()->hide();
    Liga(capturar, [this] { Capturar(); });
    Liga(definir, [this] { Definir(); });
}

void TfrmAlterarFormaTotalizacao::Capturar() {
    std::string resposta(1, ' ');
    QString texto;
    Executa(QStringLiteral("-> Lendo forma de totalização"), [&] {
        const int r = dll::Tarvo_VerificaTruncamento(resposta);
        if (r == 1) {
            bool ok = false;
            const int v = QString::fromStdString(resposta).trimmed().toInt(&ok);
            texto = ok && v != 0 ? QStringLiteral("Truncamento") : QStringLiteral("Arredondamento");
        }
        return r;
    });
    findChild<QLineEdit*>(QStringLiteral("edtTotalizacaoAtual"))->setText(texto);
}

void TfrmAlterarFormaTotalizacao::Definir() {
    const int modo = Escolhido("rgOp") == 1 ? 1 : 0;
    Executa(QStringLiteral("-> Definindo forma de totalização"),
            [modo] { return dll::ProgramaArredondamentoTruncamento(modo); });
}

// --- summer time ----------------------------------------------------------------------------------

TfrmProgramaHorarioVerao::TfrmProgramaHorarioVerao(QWidget* parent)
    : TFormulario("TfrmProgramaHorarioVerao", QStringLiteral("Programa horário de verão"), parent) {
    CampoData("edtData", QStringLiteral("Data:"));
    CampoHora("edtHora", QStringLiteral("Hora:"));
    estado_ = new QLabel(this);
    estado_->setObjectName(QStringLiteral("lblHorarioVerao"));
    Linha(estado_, QStringLiteral("Horário de verão:"));
    auto* capturar = new QPushButton(QStringLiteral("Capturar"), this);
    capturar->setObjectName(QStringLiteral("btnCapturar"));
    btPrograma_ = new QPushButton(QStringLiteral("Ativar"), this);
    btPrograma_->setObjectName(QStringLiteral("btnProgramaHorarioVerao"));
    Corpo()->addWidget(capturar);
    Corpo()->addWidget(btPrograma_);
    BotaoOK()->hide();
    Liga(capturar, [this] { Capturar(); });
    Liga(btPrograma_, [this] { Programa(); });
}

void TfrmProgramaHorarioVerao::Capturar() {
    bool falhou = false;
    Log(QStringLiteral("-> Lendo Status de Horário de Verão"));
    dll::FlagsFiscais flags;
    if (TrataRetorno(dll::DecodificaFlagsFiscais(flags))) {
        estado_->setText(flags.bit4 ? QStringLiteral("Ativado") : QStringLiteral("Desativado"));
        btPrograma_->setText(flags.bit4 ? QStringLiteral("Desativar") : QStringLiteral("Ativar"));
        Log(QStringLiteral("  -> Status lido com sucesso!"));
    } else {
        falhou = true;
        Log(QStringLiteral("  -> Falha ao ler Status de Horário de Verão!"));
    }
    Log(QStringLiteral("-> Lendo Data/Hora"));
    std::string data(10, ' '), hora(10, ' ');
    if (TrataRetorno(dll::Tarvo_DataHoraImpressora(data, hora))) {
        QDate dia;
        QTime tempo;
        if (DataHoraDaImpressora(data, hora, dia, tempo)) {
            findChild<QDateEdit*>(QStringLiteral("edtData"))->setDate(dia);
            findChild<QTimeEdit*>(QStringLiteral("edtHora"))->setTime(tempo);
        }
        Log(QStringLiteral("  -> Data / Hora lidos com sucesso!"));
    } else {
        falhou = true;
        Log(QStringLiteral("  -> Falha ao ler Data / Hora!"));
    }
    Log(QStringLiteral("<- ") + QString::fromUtf8(falhou ? kFalhou : kSucesso));
}

void TfrmProgramaHorarioVerao::Programa() {
    if (Executa(QStringLiteral("-> Programando Horário de Verão"),
                [] { return dll::Tarvo_ProgramaHorarioVerao(); }))
        Capturar();
}

void RegistraFormulariosDeProgramacao() {
    RegistraFormulario("TfrmProgramaHorarioVerao", []() -> QWidget* { return new TfrmProgramaHorarioVerao; });
    RegistraFormulario("TfrmDefineAliquotas", []() -> QWidget* { return new TfrmDefineAliquotas; });
    RegistraFormulario("TfrmDefMeioPgto", []() -> QWidget* { return new TfrmDefMeioPgto; });
    RegistraFormulario("TfrmAlterarFormaTotalizacao",
                       []() -> QWidget* { return new TfrmAlterarFormaTotalizacao; });
    RegistraFormulariosDeTabelas();
    RegistraFormulariosDeEquipamento();
}

}  // namespace belmora
