#include "console/forms/configuracao/relatorios_sintegra.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>

#include "console/binding/auxiliar.h"
#include "console/binding/ecf_dll.h"
#include "console/forms/comum/andamento.h"
#include "console/main/configuracao_console.h"
#include "console/main/dialogos.h"
#include "platform/codepage.h"
#include "platform/pastas.h"

namespace belmora {

namespace {

const QStringList kMeses{"Janeiro", "Fevereiro", "Março",    "Abril",   "Maio",     "Junho",
                         "Julho",   "Agosto",    "Setembro", "Outubro", "Novembro", "Dezembro"};

std::function<bool(const QString&)>& Abertura() {
    static std::function<bool(const QString&)> a;
    return a;
}

bool AbreNoDesktop(const QString& arquivo) {
    return QFileInfo(arquivo).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(arquivo));
}

// Stops the label however the generation ends.
struct FimDoAndamento {
    TAndamento* andamento;
    ~FimDoAndamento() { andamento->Para(); }
};

}  // namespace

void TfrmRelatoriosSintegra::DefineAbertura(std::function<bool(const QString&)> abre) {
    Abertura() = std::move(abre);
}

TfrmRelatoriosSintegra::TfrmRelatoriosSintegra(QWidget* parent)
    : TFormulario("TfrmRelatoriosSintegra", QStringLiteral("Relatórios Sintegra"), parent) {
    for (const CampoSintegra& c : CamposSintegra())
        CampoTexto(c.nome, QString::fromUtf8(c.rotulo), c.tamanho);
    CampoTexto("edtUF", QStringLiteral("UF:"), kTamanhoUF);

    const QDate hoje = QDate::currentDate();
    mes_ = new QComboBox(this);
    mes_->setObjectName(QStringLiteral("cbMes"));
    mes_->addItems(kMeses);
    mes_->setCurrentIndex(hoje.month() - 1);
    Linha(mes_, QStringLiteral("Mês:"));
    ano_ = new QSpinBox(this);
    ano_->setObjectName(QStringLiteral("seAno"));
    ano_->setRange(2000, 3000);
    ano_->setValue(hoje.year());
    Linha(ano_, QStringLiteral("Ano:"));
    DefineFoco(mes_);

    // Types always in the file: shown, not chosen, not part of the flags.
    for (const char* tipo : {"60A", "60M", "75"}) {
        QCheckBox* fixo =
            CaixaMarcacao(QByteArray("chk").append(tipo).constData(), QStringLiteral("Tipo ") + tipo);
        fixo->setChecked(true);
        fixo->setEnabled(false);
    }
    CaixaMarcacao("chk60D", QStringLiteral("Tipo 60D"));
    CaixaMarcacao("chk60I", QStringLiteral("Tipo 60I"));
    CaixaMarcacao("chk60R", QStringLiteral("Tipo 60R"));

    andamento_ = new TAndamento(Rotulo("lblAndamento", QString()));

    BotaoOK()->setText(QStringLiteral("Gerar"));
    BotaoOK()->setObjectName(QStringLiteral("btGerar"));
    auto* visualizar = new QPushButton(QStringLiteral("Visualizar arquivo"), this);
    visualizar->setObjectName(QStringLiteral("btVisualizar"));
    Corpo()->addWidget(visualizar);
    Liga(visualizar, [this] { VisualizarArquivo(); });
}

void TfrmRelatoriosSintegra::AoMostrar() {
    Mostra(LeDadosSintegra(ArquivoIniConsole()));
    mes_->setFocus(Qt::OtherFocusReason);
}

void TfrmRelatoriosSintegra::Mostra(const DadosSintegra& d) {
    for (const CampoSintegra& c : CamposSintegra())
        findChild<QLineEdit*>(QString::fromLatin1(c.nome))->setText(DeCp1252(d.*c.valor));
    findChild<QLineEdit*>(QStringLiteral("edtUF"))->setText(DeCp1252(d.uf));
    findChild<QCheckBox*>(QStringLiteral("chk60D"))->setChecked(d.flag60D);
    findChild<QCheckBox*>(QStringLiteral("chk60I"))->setChecked(d.flag60I);
    findChild<QCheckBox*>(QStringLiteral("chk60R"))->setChecked(d.flag60R);
}

DadosSintegra TfrmRelatoriosSintegra::Lidos() const {
    DadosSintegra d;
    for (const CampoSintegra& c : CamposSintegra()) d.*c.valor = Texto(c.nome);
    d.uf = Texto("edtUF");
    d.flag60D = Valor("chk60D") == QLatin1String("1");
    d.flag60I = Valor("chk60I") == QLatin1String("1");
    d.flag60R = Valor("chk60R") == QLatin1String("1");
    return d;
}

void TfrmRelatoriosSintegra::Gerar() {
    const std::string ini = ArquivoIniConsole();
    const std::string arquivo = ArquivoSintegra(ini);
    if (!ConfirmaPastaDestino(this, plataforma::PastaDe(plataforma::ConverteArquivo(arquivo)))) return;
    const DadosSintegra d = Lidos();
    std::string erro;
    if (!GravaDadosSintegra(ini, d, erro)) throw ErroFormulario(erro);
    const std::string mes = std::to_string(mes_->currentIndex() + 1);
    const std::string ano = std::to_string(ano_->value());
    FimDoAndamento fim{andamento_};
    const bool ok = Executa(QStringLiteral("-> Gerando Relatório Sintegra"), [&] {
        andamento_->Inicia();
        return ExecutaEmSegundoPlano([&] {
            return dll::Tarvo_RelatorioSintegraMFD(FlagsSintegra(d), arquivo, mes, ano, d.razaoSocial,
                                                   d.endereco, d.numero, d.complemento, d.bairro, d.cidade,
                                                   d.cep, d.telefone, d.fax, d.contato);
        });
    });
    Informa(this, QStringLiteral("Belmora"), QString::fromUtf8(ok ? kSucesso : kFalhou));
}

void TfrmRelatoriosSintegra::VisualizarArquivo() {
    const std::string arquivo = plataforma::ConverteArquivo(ArquivoSintegra(ArquivoIniConsole()));
    const QString nome = QFile::decodeName(QByteArray::fromStdString(arquivo));
    if (Abertura() ? Abertura()(nome) : AbreNoDesktop(nome)) return;
    QMessageBox aviso(QMessageBox::Warning, QStringLiteral("Error"),
                      QStringLiteral("Não foi possível abrir o arquivo"), QMessageBox::Ok, this);
    aviso.exec();
}

}  // namespace belmora
