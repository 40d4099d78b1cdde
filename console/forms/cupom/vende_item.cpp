// "Vender Item Fiscal": the sell fields and, below them, the product table of the console's
// database, whose current row fills the fields.
#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "components/enhedit.h"
#include "console/binding/ecf_dll.h"
#include "console/database/dm_vintaro.h"
#include "console/forms/cupom/cupom.h"
#include "console/main/dialogos.h"

namespace belmora {

namespace {

const char* const kColunas[] = {"Código",  "Descrição",      "Alíquota",
                                "Unidade", "Casas Decimais", "Valor Unitário"};

QRadioButton* Radio(const char* nome, const QString& texto, QWidget* pai) {
    auto* r = new QRadioButton(texto, pai);
    r->setObjectName(QString::fromUtf8(nome));
    return r;
}

}  // namespace

TfrmVendeItem::TfrmVendeItem(QWidget* parent)
    : TFormulario("TfrmVendeItem", QStringLiteral("Vender Item Fiscal"), parent) {
    CampoTexto("edtCodProduto", QStringLiteral("Código do  Produto:"), 14);
    CampoTexto("edtDescricao", QStringLiteral("Descrição:"), 200);
    CampoTexto("edtAliquota", QStringLiteral("Alíquota:"), 5);
    CampoTexto("edtUnidade", QStringLiteral("Unidade:"), 3);
    edtQuantidade_ = CampoNumerico("edtQuantidade", QStringLiteral("Quantidade:"), 8, 3);

    auto* valor = new QGroupBox(QStringLiteral("Valor Unitário"), this);
    valor->setObjectName(QStringLiteral("grpValorUnitario"));
    auto* lv = new QHBoxLayout(valor);
    edtR_ = new tarvo::TEnhancedEdit(valor);
    edtR_->setObjectName(QStringLiteral("edtR"));
    edtR_->SetAcceptChars(false);
    edtR_->setMaxLength(8);
    rb2_ = Radio("rb2", QStringLiteral("2 "), valor);
    rb3_ = Radio("rb3", QStringLiteral("3"), valor);
    rb2_->setChecked(true);
    lv->addWidget(edtR_, 1);
    lv->addWidget(rb2_);
    lv->addWidget(rb3_);
    Linha(valor);

    auto* desconto = new QGroupBox(QStringLiteral("Desconto no Item"), this);
    desconto->setObjectName(QStringLiteral("grpDesconto"));
    auto* ld = new QHBoxLayout(desconto);
    rbPorcentagem_ = Radio("rbPorcentagem", QStringLiteral("Porcentagem"), desconto);
    rbValor_ = Radio("rbValor", QStringLiteral("Valor"), desconto);
    rbPorcentagem_->setChecked(true);
    edtValorDesconto_ = new tarvo::TEnhancedEdit(desconto);
    edtValorDesconto_->setObjectName(QStringLiteral("edtValorDesconto"));
    edtValorDesconto_->SetAcceptChars(false);
    ld->addWidget(rbPorcentagem_);
    ld->addWidget(rbValor_);
    ld->addWidget(edtValorDesconto_, 1);
    Linha(desconto);
    AjustaCasasValor();
    AjustaDesconto();

    // Decimal places of the unit value follow rb2/rb3, the field's changes and its entry.
    connect(rb2_, &QRadioButton::toggled, this, [this] { AjustaCasasValor(); });
    connect(edtR_, &tarvo::TEnhancedEdit::OnChange, this, [this] { AjustaCasasValor(); });
    edtR_->installEventFilter(this);
    connect(edtValorDesconto_, &tarvo::TEnhancedEdit::OnChange, this, [this] { AjustaDesconto(); });
    connect(rbPorcentagem_, &QRadioButton::toggled, this, [this] { AjustaDesconto(); });

    // The product table.
    grdProdutos_ = new QTableWidget(this);
    grdProdutos_->setObjectName(QStringLiteral("grdProdutos"));
    grdProdutos_->setColumnCount(6);
    QStringList titulos;
    for (const char* c : kColunas) titulos << QString::fromUtf8(c);
    grdProdutos_->setHorizontalHeaderLabels(titulos);
    grdProdutos_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdProdutos_->setSelectionMode(QAbstractItemView::SingleSelection);
    grdProdutos_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdProdutos_->verticalHeader()->hide();
    grdProdutos_->horizontalHeader()->setStretchLastSection(true);
    grdProdutos_->setContextMenuPolicy(Qt::ActionsContextMenu);
    excluir_ = new QAction(QStringLiteral("Excluir"), grdProdutos_);
    excluir_->setObjectName(QStringLiteral("mnExcluir"));
    grdProdutos_->addAction(excluir_);
    connect(excluir_, &QAction::triggered, this, [this] { Guarda([this] { ExcluirProduto(); }); });
    Corpo()->addWidget(grdProdutos_, 1);
    // A click in a cell fills the fields; so does any change of the current row's code.
    connect(grdProdutos_, &QTableWidget::cellClicked, this,
            [this] { Guarda([this] { PreencheValores(); }); });
    connect(grdProdutos_, &QTableWidget::currentCellChanged, this, [this](int linha) {
        const QString codigo =
            linha >= 0 && grdProdutos_->item(linha, 0) ? grdProdutos_->item(linha, 0)->text() : QString();
        if (codigo == codigoAtual_) return;
        codigoAtual_ = codigo;
        Guarda([this] { PreencheValores(); });
    });
    // A double click sells one of the product at once.
    connect(grdProdutos_, &QTableWidget::cellDoubleClicked, this, [this] {
        Guarda([this] {
            PreencheValores();
            edtQuantidade_->setText(QStringLiteral("1"));
            Vende();
        });
    });

    auto* salvar = new QPushButton(QStringLiteral("Salvar"), this);
    salvar->setObjectName(QStringLiteral("btSalvarProduto"));
    btSalvarProduto_ = salvar;
    Liga(salvar, [this] { SalvarProduto(); });
    auto* linhaSalvar = new QHBoxLayout();
    linhaSalvar->addWidget(salvar);
    linhaSalvar->addStretch();
    Corpo()->addLayout(linhaSalvar);

    // Without the database the table is empty and cannot change; typed items still sell.
    TdmVintaro* dm = dmVintaro();
    const bool disponivel = dm && dm->Disponivel();
    salvar->setEnabled(disponivel);
    excluir_->setEnabled(disponivel);
    if (dm) connect(dm, &TdmVintaro::ProdutosRecarregados, this, [this] { MostraProdutos(); });
    MostraProdutos();
    DefineFoco(grdProdutos_);
}

void TfrmVendeItem::MostraProdutos() {
    TdmVintaro* dm = dmVintaro();
    const std::vector<Produto> vazio;
    const std::vector<Produto>& produtos = dm ? dm->Produtos() : vazio;
    const QSignalBlocker bloqueio(grdProdutos_);
    grdProdutos_->setRowCount(static_cast<int>(produtos.size()));
    for (int i = 0; i < static_cast<int>(produtos.size()); ++i) {
        const Produto& p = produtos[static_cast<std::size_t>(i)];
        const QString valores[] = {
            p.codigo, p.descricao, p.aliquota, p.unidade, QString::number(p.casasDecimais), p.valorUnitario};
        for (int c = 0; c < 6; ++c) grdProdutos_->setItem(i, c, new QTableWidgetItem(valores[c]));
    }
    // A reload starts again at the first product, as reopening the list does; the fields
    // follow when the current code changed with it.
    const int atual = grdProdutos_->rowCount() > 0 ? 0 : -1;
    if (atual >= 0) {
        grdProdutos_->setCurrentCell(atual, 0);
        grdProdutos_->selectRow(atual);
    }
    const QString codigo = atual >= 0 ? grdProdutos_->item(atual, 0)->text() : QString();
    if (codigo != codigoAtual_) {
        codigoAtual_ = codigo;
        if (atual >= 0) PreencheValores();
    }
}

void TfrmVendeItem::PreencheValores() {
    const int linha = grdProdutos_->currentRow();
    if (linha < 0 || !grdProdutos_->item(linha, 0)) return;
    auto celula = [&](int c) { return grdProdutos_->item(linha, c)->text(); };
    findChild<QLineEdit*>(QStringLiteral("edtCodProduto"))->setText(celula(0));
    findChild<QLineEdit*>(QStringLiteral("edtDescricao"))->setText(celula(1));
    findChild<QLineEdit*>(QStringLiteral("edtAliquota"))->setText(celula(2));
    (celula(4) == QLatin1String("2") ? rb2_ : rb3_)->setChecked(true);
    AjustaCasasValor();
    edtR_->setText(celula(5));
    findChild<QLineEdit*>(QStringLiteral("edtUnidade"))->setText(celula(3));
}

void TfrmVendeItem::AjustaCasasValor() {
    edtR_->SetDigits(rb2_->isChecked() ? 2 : 3);
}

bool TfrmVendeItem::eventFilter(QObject* o, QEvent* e) {
    if (o == edtR_ && e->type() == QEvent::FocusIn) AjustaCasasValor();
    return TFormulario::eventFilter(o, e);
}

void TfrmVendeItem::AjustaDesconto() {
    const bool porcentagem = rbPorcentagem_->isChecked();
    edtValorDesconto_->setMaxLength(porcentagem ? 5 : 8);
    edtValorDesconto_->SetDigits(porcentagem ? 2 : 0);
}

QString TfrmVendeItem::TipoDesconto() const {
    if (edtValorDesconto_->Value() == 0) return {};
    return rbPorcentagem_->isChecked() ? QStringLiteral("%") : QStringLiteral("$");
}

void TfrmVendeItem::Ok() {
    Vende();
}

void TfrmVendeItem::Vende() {
    Executa(QStringLiteral("-> Vendendo Item"), [this] {
        return dll::Tarvo_VendeItem(Texto("edtCodProduto"), Texto("edtDescricao"), Texto("edtAliquota"),
                                    Texto("edtUnidade"), Cp1252(edtQuantidade_->text()),
                                    rb2_->isChecked() ? 2 : 3, Cp1252(edtR_->text()), Cp1252(TipoDesconto()),
                                    Cp1252(edtValorDesconto_->text()));
    });
}

void TfrmVendeItem::SalvarProduto() {
    TdmVintaro* dm = dmVintaro();
    if (!dm ||
        !Pergunta(this, QStringLiteral("Belmora"), QStringLiteral("Deseja realmente salvar o produto?")))
        return;
    Produto p;
    p.codigo = Valor("edtCodProduto");
    p.descricao = Valor("edtDescricao");
    p.aliquota = Valor("edtAliquota");
    p.unidade = Valor("edtUnidade");
    p.casasDecimais = rb2_->isChecked() ? 2 : 3;
    p.valorUnitario = edtR_->text();
    QString erro;
    if (!dm->SalvarProduto(p, erro))
        Informa(this, QStringLiteral("Belmora"), QStringLiteral("Erro ao inserir produto: ") + erro);
}

void TfrmVendeItem::ExcluirProduto() {
    TdmVintaro* dm = dmVintaro();
    if (!dm ||
        !Pergunta(this, QStringLiteral("Belmora"), QStringLiteral("Deseja realmente excluir o produto?")))
        return;
    const int linha = grdProdutos_->currentRow();
    const QString codigo = linha >= 0 && grdProdutos_->item(linha, 0) ? grdProdutos_->item(linha, 0)->text()
                                                                      : QString(QLatin1String(""));
    QString erro;
    if (!dm->ExcluirProduto(codigo, erro))
        Informa(this, QStringLiteral("Belmora"), QStringLiteral("Erro ao excluir produto: ") + erro);
}

}  // namespace belmora
