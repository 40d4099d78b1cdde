#include "console/forms/comum/formulario.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "components/enhedit.h"
#include "console/binding/auxiliar.h"
#include "console/forms/comum/teclado.h"
#include "console/main/campo_cpf_cnpj.h"
#include "console/main/dialogos.h"
#include "console/main/principal.h"
#include "platform/codepage.h"

namespace belmora {

namespace {

QString Utf8(const char* t) {
    return QString::fromUtf8(t);
}

// Keeps a memo at most `limite` characters long, as typed or pasted.
void LimitaMemo(QPlainTextEdit* memo, int limite) {
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo, limite] {
        const QString t = memo->toPlainText();
        if (t.size() <= limite) return;
        QTextCursor c = memo->textCursor();
        const int posicao = c.position();
        memo->setPlainText(t.left(limite));
        c = memo->textCursor();
        c.setPosition(std::min(posicao, limite));
        memo->setTextCursor(c);
    });
}

}  // namespace

TFormulario::TFormulario(const char* classe, const QString& titulo, QWidget* parent) : QWidget(parent) {
    setObjectName(Utf8(classe));
    setWindowTitle(titulo);
    auto* principal = new QVBoxLayout(this);
    // The fields and the form's own body scroll when the form is taller or wider than its
    // place; the button bar below them stays in view.
    auto* rolagem = new QScrollArea(this);
    rolagem->setObjectName(QStringLiteral("rolagem"));
    rolagem->setFrameShape(QFrame::NoFrame);
    rolagem->setWidgetResizable(true);
    rolagem->setFocusPolicy(Qt::NoFocus);
    auto* conteudo = new QWidget(rolagem);
    conteudo->setObjectName(QStringLiteral("conteudo"));
    auto* interno = new QVBoxLayout(conteudo);
    interno->setContentsMargins(0, 0, 0, 0);
    campos_ = new QFormLayout();
    campos_->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    interno->addLayout(campos_);
    corpo_ = new QVBoxLayout();
    interno->addLayout(corpo_, 1);
    rolagem->setWidget(conteudo);
    principal->addWidget(rolagem, 1);
    auto* botoes = new QHBoxLayout();
    botoes->addStretch();
    btOK_ = new QPushButton(QStringLiteral("OK"), this);
    btOK_->setObjectName(QStringLiteral("btOK"));
    btSair_ = new QPushButton(QStringLiteral("Sair"), this);
    btSair_->setObjectName(QStringLiteral("btSair"));
    botoes->addWidget(btOK_);
    botoes->addWidget(btSair_);
    principal->addLayout(botoes);
    Liga(btOK_, [this] {
        if (CamposConferidos()) Ok();
    });
    Liga(btSair_, [this] { Sair(); });
}

// --- field makers --------------------------------------------------------------------------------

void TFormulario::Linha(QWidget* w, const QString& rotulo) {
    if (rotulo.isEmpty()) {
        campos_->addRow(w);
    } else {
        auto* l = new QLabel(rotulo, this);
        l->setBuddy(w);
        campos_->addRow(l, w);
    }
}

void TFormulario::MostraLinhas(std::initializer_list<const char*> nomes, bool visiveis) {
    for (const char* n : nomes)
        if (auto* w = findChild<QWidget*>(Utf8(n))) campos_->setRowVisible(w, visiveis);
}

QLineEdit* TFormulario::CampoTexto(const char* nome, const QString& rotulo, int tamanho,
                                   const QString& inicial) {
    auto* e = new QLineEdit(this);
    e->setObjectName(Utf8(nome));
    if (tamanho > 0) e->setMaxLength(tamanho);
    e->setText(inicial);
    Linha(e, rotulo);
    return e;
}

tarvo::TEnhancedEdit* TFormulario::CampoNumerico(const char* nome, const QString& rotulo, int tamanho,
                                                 int casas, const QString& inicial) {
    auto* e = new tarvo::TEnhancedEdit(this);
    e->setObjectName(Utf8(nome));
    e->SetAcceptChars(false);
    e->SetDigits(casas);
    if (tamanho > 0) e->setMaxLength(tamanho);
    e->setText(inicial);
    Linha(e, rotulo);
    return e;
}

TCampoCpfCnpj* TFormulario::CampoCpfCnpj(const char* nome, const QString& rotulo, int tamanho) {
    auto* e = new TCampoCpfCnpj(this);
    e->setObjectName(Utf8(nome));
    e->setMaxLength(tamanho);
    Linha(e, rotulo);
    return e;
}

QComboBox* TFormulario::CampoLista(const char* nome, const QString& rotulo, const QStringList& itens,
                                   const QString& inicial) {
    auto* c = new QComboBox(this);
    c->setObjectName(Utf8(nome));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(itens);
    c->setEditText(inicial);
    Linha(c, rotulo);
    return c;
}

QPlainTextEdit* TFormulario::CampoMemo(const char* nome, const QString& rotulo, int limite) {
    auto* m = new QPlainTextEdit(this);
    m->setObjectName(Utf8(nome));
    m->setTabChangesFocus(true);
    if (limite > 0) LimitaMemo(m, limite);
    Linha(m, rotulo);
    return m;
}

QDateEdit* TFormulario::CampoData(const char* nome, const QString& rotulo) {
    auto* d = new QDateEdit(QDate::currentDate(), this);
    d->setObjectName(Utf8(nome));
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    d->setCalendarPopup(true);
    Linha(d, rotulo);
    return d;
}

QTimeEdit* TFormulario::CampoHora(const char* nome, const QString& rotulo) {
    auto* h = new QTimeEdit(QTime::currentTime(), this);
    h->setObjectName(Utf8(nome));
    h->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    Linha(h, rotulo);
    return h;
}

QGroupBox* TFormulario::GrupoRadios(const char* nome, const QString& titulo, const QStringList& itens,
                                    bool horizontal) {
    auto* g = new QGroupBox(titulo, this);
    g->setObjectName(Utf8(nome));
    QBoxLayout* l = horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(g)) : new QVBoxLayout(g);
    for (int i = 0; i < itens.size(); ++i) {
        auto* r = new QRadioButton(itens[i], g);
        r->setObjectName(Utf8(nome) + QString::number(i));
        r->setChecked(i == 0);
        l->addWidget(r);
    }
    Linha(g);
    return g;
}

QCheckBox* TFormulario::CaixaMarcacao(const char* nome, const QString& texto) {
    auto* c = new QCheckBox(texto, this);
    c->setObjectName(Utf8(nome));
    Linha(c);
    return c;
}

QLabel* TFormulario::Rotulo(const char* nome, const QString& texto) {
    auto* l = new QLabel(texto, this);
    l->setObjectName(Utf8(nome));
    l->setWordWrap(true);
    Linha(l);
    return l;
}

// --- values ------------------------------------------------------------------------------------

QString TFormulario::Valor(const char* nome) const {
    QWidget* w = findChild<QWidget*>(Utf8(nome));
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    if (auto* m = qobject_cast<QPlainTextEdit*>(w)) return m->toPlainText();
    if (auto* d = qobject_cast<QDateEdit*>(w)) return d->text();
    if (auto* h = qobject_cast<QTimeEdit*>(w)) return h->text();
    if (auto* k = qobject_cast<QCheckBox*>(w))
        return k->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (qobject_cast<QGroupBox*>(w)) return QString::number(Escolhido(nome));
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return {};
}

std::string TFormulario::Cp1252(const QString& texto) {
    return plataforma::Utf8ParaCp1252(texto.toStdString());
}

QString TFormulario::DeCp1252(const std::string& texto) {
    return QString::fromStdString(plataforma::Cp1252ParaUtf8(texto));
}

std::string TFormulario::Texto(const char* nome) const {
    return Cp1252(Valor(nome));
}

int TFormulario::Escolhido(const char* nome) const {
    auto* g = findChild<QGroupBox*>(Utf8(nome));
    if (!g) return -1;
    for (int i = 0;; ++i) {
        auto* r = g->findChild<QRadioButton*>(Utf8(nome) + QString::number(i));
        if (!r) return -1;
        if (r->isChecked()) return i;
    }
}

void TFormulario::DefineFoco(QWidget* campo) {
    foco_ = campo;
    setFocusProxy(campo);
}

int TFormulario::Tag() const {
    return property("Tag").toInt();
}

void Log(const QString& linha) {
    AdicionaRetorno(linha.toStdString());
}

void LogDesfecho(bool ok) {
    AdicionaRetorno(std::string("<- ") + (ok ? kSucesso : kFalhou));
}

// --- running -------------------------------------------------------------------------------------

bool TFormulario::Executa(const QString& inicio, const std::function<int()>& chamada,
                          const QString& prefixo) {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    if (!inicio.isEmpty()) AdicionaRetorno(inicio.toStdString());
    const bool ok = TrataRetorno(chamada());
    AdicionaRetorno((prefixo + Utf8(ok ? kSucesso : kFalhou)).toStdString());
    return ok;
}

void TFormulario::Guarda(const std::function<void()>& acao) {
    QString mensagem;
    try {
        acao();
        return;
    } catch (const std::exception& e) {
        mensagem = QString::fromUtf8(e.what());
    } catch (...) {
        mensagem = QStringLiteral("Erro inesperado.");
    }
    AdicionaRetorno(std::string("  <- ") + mensagem.toStdString());
    AdicionaRetorno(std::string("<- ") + kFalhou);
    QMessageBox caixa(QMessageBox::Critical, QStringLiteral("Erro"), mensagem, QMessageBox::Ok, this);
    caixa.exec();
}

void TFormulario::Liga(QAbstractButton* botao, const std::function<void()>& acao) {
    connect(botao, &QAbstractButton::clicked, this, [this, acao] { Guarda(acao); });
}

bool TFormulario::CamposConferidos() {
    for (TCampoCpfCnpj* c : findChildren<TCampoCpfCnpj*>())
        if (c->isVisibleTo(this) && c->isEnabled() && !c->ConfereEAvisa()) return false;
    return true;
}

TFormulario* TFormulario::Externo() {
    TFormulario* externo = this;
    for (QWidget* p = parentWidget(); p; p = p->parentWidget())
        if (auto* f = qobject_cast<TFormulario*>(p)) externo = f;
    return externo;
}

bool TFormulario::focusNextPrevChild(bool next) {
    // A form inside another (a tab of the equipment form) follows the outer form's path.
    TFormulario* externo = Externo();
    return MoveFoco(CaminhoTab(externo), next);
}

void TFormulario::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    PreparaTeclado(this);
    if (mostrado_) return;
    mostrado_ = true;
    if (foco_) foco_->setFocus(Qt::OtherFocusReason);
    Guarda([this] { AoMostrar(); });
}

void TFormulario::Sair() {
    if (TfrmVintaro* janela = frmVintaro(); janela && janela->FormularioHospedado() == this) {
        janela->SaiFormulario(this);
        return;
    }
    close();
}

// --- stored lines --------------------------------------------------------------------------------

TListaCadastrada::TListaCadastrada(const char* nome, const GestosLista& gestos, TFormulario* formulario)
    : QListWidget(formulario), gestos_(gestos), formulario_(formulario) {
    setObjectName(Utf8(nome));
    setSelectionMode(QAbstractItemView::SingleSelection);
    if (gestos_.duploCliqueExclui)
        connect(this, &QListWidget::itemDoubleClicked, this,
                [this] { formulario_->Guarda([this] { ExcluiSelecionada(); }); });
    if (gestos_.menuExclui) {
        setContextMenuPolicy(Qt::CustomContextMenu);
        connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
            QMenu menu(this);
            QAction* excluir = menu.addAction(QStringLiteral("Excluir"));
            if (menu.exec(viewport()->mapToGlobal(p)) == excluir)
                formulario_->Guarda([this] { ExcluiSelecionada(); });
        });
    }
}

QStringList TListaCadastrada::Linhas() const {
    QStringList r;
    for (int i = 0; i < count(); ++i) r << item(i)->text();
    return r;
}

void TListaCadastrada::DefineLinhas(const QStringList& linhas) {
    clear();
    addItems(linhas);
}

QString TListaCadastrada::Selecionada(bool& ok) const {
    QListWidgetItem* i = currentItem();
    ok = i && i->isSelected();
    return ok ? i->text() : QString();
}

void TListaCadastrada::ExcluiSelecionada() {
    bool ok = false;
    Selecionada(ok);
    if (!ok) {
        Informa(formulario_, QStringLiteral("Belmora"), gestos_.semSelecao);
        return;
    }
    if (!Pergunta(formulario_, QStringLiteral("Belmora"), gestos_.pergunta)) return;
    delete takeItem(currentRow());
}

QStringList LeLinhasCadastradas(const QString& arquivo) {
    QFile f(arquivo);
    if (!f.exists()) return {};
    if (!f.open(QIODevice::ReadOnly))
        throw ErroFormulario("Não foi possível ler o arquivo " + arquivo.toStdString() + ": " +
                             f.errorString().toStdString());
    const QByteArray bytes = f.readAll();
    QStringList linhas =
        QString::fromStdString(plataforma::Cp1252ParaUtf8(bytes.toStdString())).split(QLatin1Char('\n'));
    for (QString& l : linhas)
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    // The line break after the last line starts no entry.
    if (!linhas.isEmpty() && linhas.last().isEmpty()) linhas.removeLast();
    return linhas;
}

void GravaLinhasCadastradas(const QString& arquivo, const QStringList& linhas) {
    std::string texto;
    for (const QString& l : linhas) texto += TFormulario::Cp1252(l) + "\r\n";
    QFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(texto.data(), static_cast<qint64>(texto.size())) != static_cast<qint64>(texto.size()) ||
        !f.flush())
        throw ErroFormulario("Não foi possível gravar o arquivo " + arquivo.toStdString() + ": " +
                             f.errorString().toStdString());
}

}  // namespace belmora
