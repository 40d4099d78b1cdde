#include "console/forms/programacao/equipamento.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <QUrl>
#include <QVBoxLayout>

#include "console/binding/auxiliar.h"
#include "console/binding/compostas.h"
#include "console/binding/construtores.h"
#include "console/binding/ecf_dll.h"
#include "console/forms/comum/cabecalho.h"
#include "console/forms/programacao/programacao.h"
#include "console/forms/programacao/tabelas.h"
#include "console/main/configuracao_console.h"
#include "console/main/dialogos.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "platform/codepage.h"

namespace belmora {

namespace {

// A read that fails stops the form's capture: TrataRetorno has logged the printer's error,
// the guard shows "Erro" and logs the failure line; the fields keep what they showed.
void Exige(int resultado) {
    if (!TrataRetorno(resultado)) throw ErroFormulario("Erro");
}

const QString kConfirmacao = QStringLiteral("Confirmação!");
const QString kCnpjInvalido = QStringLiteral("CNPJ Inválido. Por favor, entre com um CNPJ válido");
const QString kCertifique = QStringLiteral(
    "Certifique-se que os dados estão corretos, após a execução desse comando não será possível alterar as "
    "informações.");

QPushButton* Botao(QWidget* pai, const char* nome, const QString& texto) {
    auto* b = new QPushButton(texto, pai);
    b->setObjectName(QString::fromUtf8(nome));
    return b;
}

QLineEdit* Edit(QWidget* pai, const char* nome, int tamanho) {
    auto* e = new QLineEdit(pai);
    e->setObjectName(QString::fromUtf8(nome));
    if (tamanho > 0) e->setMaxLength(tamanho);
    return e;
}

}  // namespace

// --- CNPJ edit -------------------------------------------------------------------------------------

QString AgrupaCnpj(const QString& texto) {
    QString r;
    int digitos = 0;
    for (QChar c : texto) {
        if (!c.isDigit() || c.unicode() > 127) continue;
        if (digitos == 2 || digitos == 5) r += QLatin1Char('.');
        if (digitos == 8) r += QLatin1Char('/');
        if (digitos == 12) r += QLatin1Char('-');
        r += c;
        ++digitos;
    }
    return r;
}

TEditCnpj::TEditCnpj(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(18);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& t) {
        const QString agrupado = AgrupaCnpj(t);
        if (agrupado != t) setText(agrupado);
        setCursorPosition(static_cast<int>(text().size()));
    });
}

void TEditCnpj::keyPressEvent(QKeyEvent* e) {
    // Digits and backspace change the text (and Delete, which X11 gives the character 0x7F);
    // keys without a character (arrows, Tab) keep their usual work.
    const QString t = e->text();
    const bool digito = t.size() == 1 && t[0] >= QLatin1Char('0') && t[0] <= QLatin1Char('9');
    const bool apaga = e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete;
    if (!t.isEmpty() && !digito && !apaga) return;
    QLineEdit::keyPressEvent(e);
}

void TEditCnpj::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // Another window taking the focus (a message box) is not the operator leaving the edit.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    emit Deixado();
}

void AbreDocsHomologacao(QWidget* dono) {
    const std::string pagina = ArquivoDoConsole("Ajuda/homologacao.html");
    if (!pagina.empty() && QDesktopServices::openUrl(QUrl::fromLocalFile(
                               QFileInfo(QString::fromStdString(pagina)).absoluteFilePath())))
        return;
    Informa(dono, QStringLiteral("Belmora"),
            QStringLiteral(
                "Não foi possível abrir a página dos documentos de homologação (Ajuda/homologacao.html)."));
}

// --- header ----------------------------------------------------------------------------------------

TfrmProgramaCabecalho::TfrmProgramaCabecalho(QWidget* parent)
    : TFormulario("TfrmProgramaCabecalho", QStringLiteral("Cadastro de dados do Cabeçalho"), parent) {
    loja_ = CampoTexto("edtLoja", QStringLiteral("Número da Loja:"), 4);
    ecf_ = CampoTexto("edtECF", QStringLiteral("Número do ECF:"), 4);
    auto* grupo = new QGroupBox(QStringLiteral("Cabeçalho"), this);
    auto* g = new QGridLayout(grupo);
    for (int i = 0; i < 4; ++i) {
        const auto k = static_cast<std::size_t>(i);
        linhas_[k] = new QLineEdit(grupo);
        linhas_[k]->setObjectName(QStringLiteral("edtLinha%1").arg(i + 1));
        QFont f = linhas_[k]->font();
        f.setPointSize(8);
        linhas_[k]->setFont(f);
        linhas_[k]->installEventFilter(this);
        exp_[k] = new QCheckBox(QStringLiteral("Exp"), grupo);
        exp_[k]->setObjectName(QStringLiteral("chkExpLinha%1").arg(i + 1));
        tamanhos_[k] = new QLabel(QStringLiteral("0"), grupo);
        tamanhos_[k]->setObjectName(QStringLiteral("lblTamanhoLinha%1").arg(i + 1));
        g->addWidget(linhas_[k], i, 0);
        g->addWidget(exp_[k], i, 1);
        g->addWidget(tamanhos_[k], i, 2);
        connect(linhas_[k], &QLineEdit::textChanged, this, [this, i] { Conta(i); });
        connect(exp_[k], &QCheckBox::clicked, this, [this, i](bool ligada) { Expande(i, ligada); });
    }
    Linha(grupo);
    auto* formatacao = new QGroupBox(QStringLiteral("Formatação"), this);
    auto* f = new QHBoxLayout(formatacao);
    auto* abre = Botao(formatacao, "btnAbreNegrito", QStringLiteral("Abre &Negrito"));
    auto* fecha = Botao(formatacao, "btnFechaNegrito", QStringLiteral("Fecha Ne&grito"));
    auto* expandido = Botao(formatacao, "btnExpandido", QStringLiteral("&Expandido"));
    auto* centralizar = Botao(formatacao, "btnCentralizar", QStringLiteral("Cen&tralizar"));
    for (QPushButton* b : {abre, fecha, expandido, centralizar}) f->addWidget(b);
    Linha(formatacao);
    Rotulo("lblDica", QStringLiteral("Ao ativar formatação, atenção para o número de caracteres por linha. "
                                     "(48 normais / 18 expandidos)"));
    auto* botoes = new QHBoxLayout;
    auto* capturar = Botao(this, "btnCapturar", QStringLiteral("Capturar"));
    auto* gravar = Botao(this, "btnGravar", QStringLiteral("Gravar"));
    botoes->addWidget(capturar);
    botoes->addWidget(gravar);
    Corpo()->addLayout(botoes);
    BotaoOK()->hide();
    Liga(abre, [this] { AbreNegrito(); });
    Liga(fecha, [this] { FechaNegrito(); });
    Liga(expandido, [this] { Expandido(); });
    Liga(centralizar, [this] { Centralizar(); });
    Liga(capturar, [this] { Capturar(); });
    Liga(gravar, [this] {
        if (Pergunta(this, kConfirmacao,
                     QStringLiteral("Você tem certeza que deseja realizar o cadastro do Cabeçalho do ECF?")))
            Gravar();
    });
}

int TfrmProgramaCabecalho::Indice(QObject* alvo) const {
    for (std::size_t i = 0; i < linhas_.size(); ++i)
        if (linhas_[i] == alvo) return static_cast<int>(i);
    return -1;
}

void TfrmProgramaCabecalho::Conta(int i) {
    const auto k = static_cast<std::size_t>(i);
    tamanhos_[k]->setText(QString::number(TamanhoVisivel(linhas_[k]->text())));
}

bool TfrmProgramaCabecalho::eventFilter(QObject* alvo, QEvent* evento) {
    const int i = Indice(alvo);
    if (i < 0) return false;
    const auto k = static_cast<std::size_t>(i);
    switch (evento->type()) {
        case QEvent::FocusIn:
            ultima_ = i;
            Conta(i);
            break;
        case QEvent::FocusOut:
            Conta(i);
            break;
        case QEvent::KeyPress: {
            // A full line takes no more characters ("/" and backspace still go through, so
            // a closing tag can be typed and a character removed).
            const auto* tecla = static_cast<QKeyEvent*>(evento);
            const QString t = tecla->text();
            if (t.isEmpty() || !t[0].isPrint() || t == QStringLiteral("/") ||
                (tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
                break;
            const int limite = exp_[k]->isChecked() ? kLarguraExpandida : kLarguraNormal;
            if (TamanhoVisivel(linhas_[k]->text()) >= limite) return true;
            break;
        }
        default:
            break;
    }
    return false;
}

void TfrmProgramaCabecalho::Marca(int i, bool expandida) {
    const auto k = static_cast<std::size_t>(i);
    exp_[k]->setChecked(expandida);
    QFont f = linhas_[k]->font();
    f.setPointSize(expandida ? 10 : 8);
    linhas_[k]->setFont(f);
}

void TfrmProgramaCabecalho::Expande(int i, bool ligada) {
    Marca(i, ligada);
    const auto k = static_cast<std::size_t>(i);
    if (ligada) linhas_[k]->setText(CortaVisivel(linhas_[k]->text(), kLarguraExpandida));
}

void TfrmProgramaCabecalho::Expandido() {
    if (ultima_ < 0) return;
    Expande(ultima_, !exp_[static_cast<std::size_t>(ultima_)]->isChecked());
}

void TfrmProgramaCabecalho::InsereTag(const QString& tag) {
    if (ultima_ < 0) return;
    QLineEdit* e = linhas_[static_cast<std::size_t>(ultima_)];
    const int posicao = e->cursorPosition();
    QString t = e->text();
    t.insert(posicao, tag);
    e->setText(t);
    e->setFocus();
    e->setCursorPosition(posicao + static_cast<int>(tag.size()));
}

void TfrmProgramaCabecalho::AbreNegrito() {
    InsereTag(Tags().negritoLiga.mostra);
}

void TfrmProgramaCabecalho::FechaNegrito() {
    InsereTag(Tags().negritoDesliga.mostra);
}

void TfrmProgramaCabecalho::Centralizar() {
    for (std::size_t k = 0; k < linhas_.size(); ++k)
        linhas_[k]->setText(CentraLinha(linhas_[k]->text(), exp_[k]->isChecked()));
}

void TfrmProgramaCabecalho::Capturar() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    Log(QStringLiteral("-> Obtendo Dados do Cabeçalho"));
    std::string cliche(255, ' '), loja(4, ' '), ecf(4, ' ');
    Exige(dll::Tarvo_ClicheProprietario(cliche));
    Exige(dll::Tarvo_NumeroLoja(loja));
    Exige(dll::Tarvo_NumeroCaixa(ecf));
    const QStringList lidas = LinhasDoCabecalho(DeCp1252(cliche));
    for (int i = 0; i < 4; ++i) {
        const LinhaCabecalho l = FormataLinhaCabecalho(lidas.value(i));
        // shown as read: a longer expanded line is not cut here
        Marca(i, l.expandida);
        linhas_[static_cast<std::size_t>(i)]->setText(l.texto);
        Conta(i);
    }
    loja_->setText(DeCp1252(loja).trimmed());
    ecf_->setText(DeCp1252(ecf).trimmed());
    LogDesfecho(true);
}

void TfrmProgramaCabecalho::Gravar() {
    std::array<LinhaEditada, 4> l;
    for (std::size_t k = 0; k < l.size(); ++k) l[k] = {linhas_[k]->text(), exp_[k]->isChecked()};
    const std::string texto = Cp1252(TextoDoCabecalho(l));
    const std::string loja = Cp1252(loja_->text()), ecf = Cp1252(ecf_->text());
    Executa(QStringLiteral("-> Programando Cabeçalho ... "),
            [&] { return dll::DefineDadosCabecalho(texto, loja, ecf, "0", "0", "0"); });
}

// --- owner -------------------------------------------------------------------------------------------

TFormProprietario::TFormProprietario(const char* classe, const QString& titulo, QWidget* parent)
    : TFormulario(classe, titulo, parent) {}

void TFormProprietario::MontaCampos(QFormLayout* l, const QString& rotuloSerie) {
    QWidget* pai = l->parentWidget() ? l->parentWidget() : this;
    serie_ = Edit(pai, "edtNumSerie", 20);
    l->addRow(rotuloSerie, serie_);
    cnpj_ = new TEditCnpj(pai);
    cnpj_->setObjectName(QStringLiteral("edtCNPJ"));
    invalido_ = new QLabel(QStringLiteral("CNPJ Inválido"), pai);
    invalido_->setObjectName(QStringLiteral("lblCNPJInvalido"));
    invalido_->setStyleSheet(QStringLiteral("color: red"));
    invalido_->hide();
    auto* linhaCnpj = new QHBoxLayout;
    linhaCnpj->addWidget(cnpj_);
    linhaCnpj->addWidget(invalido_);
    l->addRow(QStringLiteral("CNPJ:"), linhaCnpj);
    ie_ = Edit(pai, "edtIE", 20);
    l->addRow(QStringLiteral("Inscrição Estadual:"), ie_);
    im_ = Edit(pai, "edtIM", 20);
    l->addRow(QStringLiteral("Inscrição Municipal:"), im_);
    senha_ = Edit(pai, "edtSenha", 0);
    l->addRow(QStringLiteral("Senha:"), senha_);
    connect(cnpj_, &TEditCnpj::Deixado, this,
            [this] { invalido_->setVisible(!cnpj_->text().isEmpty() && !CnpjValido()); });

    auto* botoes = new QHBoxLayout;
    auto* capturar = Botao(this, "btnCapturar", QStringLiteral("Capturar"));
    auto* salvar = Botao(this, "btnSalvar", QStringLiteral("Salvar"));
    auto* docs = Botao(this, "btnHomologacao", QStringLiteral("Obter docs. de Homologação"));
    botoes->addWidget(capturar);
    botoes->addWidget(salvar);
    botoes->addWidget(docs);
    Corpo()->addLayout(botoes);
    BotaoOK()->hide();
    Liga(capturar, [this] { Capturar(); });
    Liga(salvar, [this] { Salvar(); });
    Liga(docs, [this] { AbreDocsHomologacao(this); });
}

bool TFormProprietario::CnpjValido() const {
    QString t = cnpj_->text();
    t.remove(QLatin1Char('.')).remove(QLatin1Char('/')).remove(QLatin1Char('-'));
    return ValidaCNPJ(t.toStdString());
}

void TFormProprietario::Avisa(QWidget* dono, const QString& texto) {
    QMessageBox caixa(QMessageBox::Warning, QStringLiteral("Atenção!"), texto, QMessageBox::Ok, dono);
    caixa.exec();
}

void TFormProprietario::LeDadosProprietario() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    Log(QStringLiteral("-> Obtendo dados do proprietário ..."));
    std::string cnpj(18, ' '), ie(20, ' '), im(20, ' '), serie(20, ' ');
    Exige(dll::Tarvo_CGC_IE(cnpj, ie));
    Exige(dll::Tarvo_InscricaoMunicipalMFD(im));
    Exige(dll::Tarvo_NumeroSerie(serie));
    // A value the printer already holds cannot be typed over; an empty one is to be filled.
    const auto preenche = [](QLineEdit* e, const std::string& valor) {
        e->setText(DeCp1252(valor).trimmed());
        e->setEnabled(e->text().isEmpty());
    };
    preenche(cnpj_, cnpj);
    preenche(ie_, ie);
    preenche(im_, im);
    preenche(serie_, serie);
    // The printer asks for the password at every programming of the owner, so it is always
    // typed, also when the other data are already programmed and locked.
    senha_->setEnabled(true);
    LogDesfecho(true);
}

void TFormProprietario::Capturar() {
    LeDadosProprietario();
}

TfrmProgramaProprietario::TfrmProgramaProprietario(QWidget* parent)
    : TFormProprietario("TfrmProgramaProprietario", QStringLiteral("Programa dados do Proprietário"),
                        parent) {
    MontaCampos(Campos(), QStringLiteral("Número de Série:"));
}

void TfrmProgramaProprietario::Salvar() {
    const QString cnpj = cnpj_->text(), ie = ie_->text(), im = im_->text(), senha = senha_->text();
    if (cnpj.trimmed().isEmpty() || ie.trimmed().isEmpty() || senha.trimmed().isEmpty()) {
        Avisa(this,
              QStringLiteral("Os campos CNPJ, Inscrição Estadual e Senha são obrigatórios, por favor os "
                             "preencha antes de continuar."));
        return;
    }
    if (!Pergunta(this, kConfirmacao,
                  kCertifique + QStringLiteral("\n\nCNPJ: ") + cnpj +
                      QStringLiteral("\nInscrição Estadual: ") + ie +
                      QStringLiteral("\nInscrição Municipal: ") + im +
                      QStringLiteral("\n\nVocê deseja continuar?")))
        return;
    Log(QStringLiteral("-> Programando proprietário ..."));
    if (!CnpjValido()) {
        Avisa(this, kCnpjInvalido);
        invalido_->show();
        cnpj_->setFocus();
        LogDesfecho(false);
        return;
    }
    invalido_->hide();
    Executa(QString(),
            [&] { return dll::DefineProprietario(Cp1252(cnpj), Cp1252(ie), Cp1252(im), Cp1252(senha)); });
}

TfrmProgramarDasks::TfrmProgramarDasks(QWidget* parent)
    : TFormProprietario("TfrmProgramarDasks", QStringLiteral("Programar Dask 200 e Dask 300"), parent) {
    auto* grupo = new QGroupBox(QStringLiteral("Dados de Lacração"), this);
    grupo->setObjectName(QStringLiteral("gbLacracao"));
    auto* l = new QFormLayout(grupo);
    serieMfd_ = Edit(grupo, "edtNumSerieMFD", 20);
    auto* rotulo = new QLabel(QStringLiteral("Número de Série da MFD:"), grupo);
    MontaCampos(l, QStringLiteral("Número de Série do ECF:"));
    l->insertRow(1, rotulo, serieMfd_);
    Linha(grupo);
}

void TfrmProgramarDasks::Capturar() {
    LeDadosProprietario();
    TfrmVintaro::Operacao ocupada(frmVintaro());
    Log(QStringLiteral("-> Lendo número de série da MFD ..."));
    std::string serie(21, ' ');
    Exige(dll::Tarvo_NumeroSerieMemoriaMFD(serie));
    LogDesfecho(true);
    serieMfd_->setText(DeCp1252(serie).trimmed());
}

void TfrmProgramarDasks::Salvar() {
    const QString serie = serieMfd_->text(), cnpj = cnpj_->text(), ie = ie_->text(), im = im_->text(),
                  senha = senha_->text();
    if (serie.trimmed().isEmpty() || cnpj.trimmed().isEmpty() || ie.trimmed().isEmpty() ||
        senha.trimmed().isEmpty()) {
        Avisa(this, QStringLiteral("Os campos Número de Série MFD, CNPJ, Inscrição Estadual e Senha são "
                                   "obrigatórios, por favor os preencha antes de continuar."));
        return;
    }
    if (!CnpjValido()) {
        Avisa(this, kCnpjInvalido);
        invalido_->show();
        cnpj_->setFocus();
        return;
    }
    invalido_->hide();
    if (!Pergunta(this, kConfirmacao,
                  kCertifique + QStringLiteral("\n\nNº da série MFD: ") + serie + QStringLiteral("\nCNPJ: ") +
                      cnpj + QStringLiteral("\nInscrição Estadual: ") + ie +
                      QStringLiteral("\nInscrição Municipal: ") + im +
                      QStringLiteral("\n\nVocê deseja continuar?")))
        return;
    Executa(QStringLiteral("-> Programando proprietário ..."), [&] {
        return dll::IniciaFitaDetalhe(Cp1252(serie), Cp1252(cnpj), Cp1252(ie), Cp1252(im), Cp1252(senha));
    });
}

// --- clock ---------------------------------------------------------------------------------------------

namespace {
const QString kForaVerao = QStringLiteral("Fora de Horário de Verão");
}

TfrmProgramaDataHora::TfrmProgramaDataHora(QWidget* parent)
    : TFormulario("TfrmProgramaDataHora", QStringLiteral("Programação de Data e Hora"), parent) {
    CampoData("edtData", QStringLiteral("Data:"));
    CampoHora("edtHora", QStringLiteral("Hora:"));
    estado_ = Rotulo("lblHorarioVerao", QString());
    auto* botoes = new QHBoxLayout;
    auto* capturar = Botao(this, "btnCapturar", QStringLiteral("Capturar"));
    auto* doPc = Botao(this, "btnCapturarPC", QStringLiteral("Capturar do PC"));
    auto* programa = Botao(this, "btnProgramaRelogio", QStringLiteral("Programa Relógio"));
    btVerao_ = Botao(this, "btnHorarioVerao", QStringLiteral("Ativar Horário de Verão"));
    for (QPushButton* b : {capturar, doPc, programa, btVerao_}) botoes->addWidget(b);
    Corpo()->addLayout(botoes);
    BotaoOK()->hide();
    Liga(capturar, [this] { Capturar(); });
    Liga(doPc, [this] { CapturarDoPC(); });
    Liga(programa, [this] { ProgramaRelogio(); });
    Liga(btVerao_, [this] { HorarioVerao(); });
}

void TfrmProgramaDataHora::Capturar() {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    Log(QStringLiteral("-> Lendo data e hora da Impressora ..."));
    dll::FlagsFiscais flags;
    if (!TrataRetorno(dll::DecodificaFlagsFiscais(flags))) {
        LogDesfecho(false);
        return;
    }
    estado_->setText(flags.bit4 ? QStringLiteral("Em de Horário de Verão") : kForaVerao);
    btVerao_->setText(flags.bit4 ? QStringLiteral("Desativar Horário de Verão")
                                 : QStringLiteral("Ativar Horário de Verão"));
    std::string data(10, ' '), hora(10, ' ');
    const bool ok = TrataRetorno(dll::Tarvo_DataHoraImpressora(data, hora));
    QDate dia;
    QTime tempo;
    if (ok && DataHoraDaImpressora(data, hora, dia, tempo)) {
        findChild<QDateEdit*>(QStringLiteral("edtData"))->setDate(dia);
        findChild<QTimeEdit*>(QStringLiteral("edtHora"))->setTime(tempo);
    }
    LogDesfecho(ok);
}

void TfrmProgramaDataHora::CapturarDoPC() {
    const QDateTime agora = QDateTime::currentDateTime();
    findChild<QDateEdit*>(QStringLiteral("edtData"))->setDate(agora.date());
    findChild<QTimeEdit*>(QStringLiteral("edtHora"))->setTime(agora.time());
}

void TfrmProgramaDataHora::ProgramaRelogio() {
    if (!Pergunta(this, kConfirmacao,
                  QStringLiteral(
                      "Você tem certeza que a Data e a Hora estão corretas? Caso estejam incorretas esta "
                      "operação poderá inutilizar o ECF.")))
        return;
    const std::string data =
        Cp1252(findChild<QDateEdit*>(QStringLiteral("edtData"))->date().toString(QStringLiteral("dd/MM/yy")));
    const std::string hora =
        Cp1252(findChild<QTimeEdit*>(QStringLiteral("edtHora"))->time().toString(QStringLiteral("HH:mm:ss")));
    Executa(QStringLiteral("-> Programando data e hora ..."),
            [&] { return dll::ProgramaRelogio(data, hora); });
}

void TfrmProgramaDataHora::HorarioVerao() {
    const QString pergunta =
        estado_->text() == kForaVerao
            ? QStringLiteral("Essa operação adiantará o relógio do ECF em uma hora. Você deseja continuar?")
            : QStringLiteral("Essa operação atrasará o relógio do ECF em uma hora. Você deseja continuar?");
    if (!Pergunta(this, kConfirmacao, pergunta)) return;
    if (Executa(QStringLiteral("-> Programando horário de verão ..."),
                [] { return dll::Tarvo_ProgramaHorarioVerao(); }))
        Capturar();
}

// --- the page of tabs -------------------------------------------------------------------------------------

TfrmProgramarEquipamento::TfrmProgramarEquipamento(QWidget* parent)
    : TFormulario("TfrmProgramarEquipamento", QStringLiteral("Programar Equipamento"), parent) {
    abas_ = new QTabWidget(this);
    abas_->setObjectName(QStringLiteral("pgcProgramacao"));
    const struct {
        const char* titulo;
        TFormulario* (*cria)();
    } kAbas[] = {
        {"Dados do Proprietário", []() -> TFormulario* { return new TfrmProgramaProprietario; }},
        {"Cabeçalho", []() -> TFormulario* { return new TfrmProgramaCabecalho; }},
        {"Relógio", []() -> TFormulario* { return new TfrmProgramaDataHora; }},
        {"Alíquotas", []() -> TFormulario* { return new TfrmDefineAliquotas; }},
        {"Formas de Pagamento", []() -> TFormulario* { return new TfrmDefMeioPgto; }},
        {"Totalizadores Não Fiscais", []() -> TFormulario* { return new TfrmDefineNaoFiscal; }},
        {"Relatórios Gerenciais", []() -> TFormulario* { return new TfrmDefRelatorioGerencial; }},
    };
    for (const auto& a : kAbas) {
        auto* pagina = new QWidget;
        auto* l = new QVBoxLayout(pagina);
        l->setContentsMargins(0, 0, 0, 0);
        // Each form reads the printer when its tab is first shown, under its own guard: a tab
        // whose reading fails shows its error and the other tabs go on working. The page's
        // own "Sair" closes them all.
        TFormulario* f = a.cria();
        f->setParent(pagina);
        f->BotaoOK()->hide();
        f->BotaoSair()->hide();
        l->addWidget(f);
        abas_->addTab(pagina, QString::fromUtf8(a.titulo));
        f->show();
    }
    Corpo()->addWidget(abas_);
    BotaoOK()->hide();
}

TFormulario* TfrmProgramarEquipamento::FormularioDaAba(int i) const {
    QWidget* pagina = abas_->widget(i);
    return pagina ? pagina->findChild<TFormulario*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void RegistraFormulariosDeEquipamento() {
    RegistraFormulario("TfrmProgramaCabecalho", []() -> QWidget* { return new TfrmProgramaCabecalho; });
    RegistraFormulario("TfrmProgramaProprietario", []() -> QWidget* { return new TfrmProgramaProprietario; });
    RegistraFormulario("TfrmProgramaDataHora", []() -> QWidget* { return new TfrmProgramaDataHora; });
    RegistraFormulario("TfrmProgramarDasks", []() -> QWidget* { return new TfrmProgramarDasks; });
    RegistraFormulario("TfrmProgramarEquipamento", []() -> QWidget* { return new TfrmProgramarEquipamento; });
}

}  // namespace belmora
