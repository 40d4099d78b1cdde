#include "console/forms/leituras/leituras.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

#include "console/binding/auxiliar.h"
#include "console/binding/ecf_dll.h"
#include "console/forms/leituras/captura.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"

namespace belmora {

// --- capture display ----------------------------------------------------------------------------

TMemoCaptura::TMemoCaptura(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("Memo1"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont f(QStringLiteral("Lucida Console"));
    f.setStyleHint(QFont::Monospace);
    setFont(f);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Salvar"), this, [this] { Salvar(); });
        menu.exec(mapToGlobal(p));
    });
}

QStringList TMemoCaptura::Linhas() const {
    return linhas_;
}

void TMemoCaptura::DefineLinhas(const QStringList& linhas) {
    linhas_ = linhas;
    QStringList mostradas;
    // A carriage return stays in the line's text but does not break the box's line.
    for (QString l : linhas) mostradas << l.replace(QLatin1Char('\r'), QLatin1Char(' '));
    setPlainText(mostradas.join(QLatin1Char('\n')));
}

bool TMemoCaptura::Salva(const QString& arquivo) const {
    QFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QByteArray dados;
    for (const QString& l : linhas_) dados += QByteArray::fromStdString(TFormulario::Cp1252(l) + "\r\n");
    return f.write(dados) == dados.size() && f.flush();
}

void TMemoCaptura::Salvar() {
    QFileDialog dialogo(this);
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setDefaultSuffix(QStringLiteral("txt"));
    dialogo.setNameFilter(QStringLiteral("TXT (*.txt)"));
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return;
    if (!Salva(dialogo.selectedFiles().first()))
        Log(QStringLiteral("  -> O arquivo não pôde ser gravado: ") + dialogo.selectedFiles().first());
}

void TMemoCaptura::keyPressEvent(QKeyEvent* e) {
    // Moving and selecting still work; nothing typed changes the text.
    if (!e->text().isEmpty() || e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace) {
        e->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

// --- shared flow --------------------------------------------------------------------------------

TFormLeitura::TFormLeitura(const char* classe, const QString& titulo, QWidget* parent)
    : TFormulario(classe, titulo, parent) {}

void TFormLeitura::AdicionaMemo() {
    GrupoRadios("rgDestino", QStringLiteral("Destino"),
                {QStringLiteral("Impressora (I)"), QStringLiteral("Porta Serial (S)")});
    BotaoOK()->setText(QStringLiteral("&Imprimir"));
    BotaoOK()->setObjectName(QStringLiteral("btImprimir"));
    memo_ = new TMemoCaptura(this);
    Corpo()->addWidget(memo_);
}

void TFormLeitura::Emite(const QString& inicio, const std::function<int()>& chamada) {
    TfrmVintaro::Operacao ocupada(frmVintaro());
    const bool serial = Serial();
    if (serial) {
        memo_->DefineLinhas({});
        // An earlier capture must never be shown for this one.
        QFile::remove(ArquivoCaptura());
    }
    Log(inicio);
    bool ok = TrataRetorno(chamada());
    if (ok && serial) {
        QStringList linhas;
        if (LeCaptura(ArquivoCaptura(), linhas)) {
            memo_->DefineLinhas(linhas);
        } else {
            Log(QStringLiteral("  -> O arquivo de retorno não pôde ser aberto"));
            ok = false;
        }
    }
    Log(QStringLiteral("<- ") + QString::fromUtf8(ok ? kSucesso : kFalhou));
}

// --- X reading ----------------------------------------------------------------------------------

TFrmLeituraX::TFrmLeituraX(QWidget* parent)
    : TFormLeitura("TFrmLeituraX", QStringLiteral("Leitura X"), parent) {
    AdicionaMemo();
    DefineFoco(BotaoOK());
}

void TFrmLeituraX::Ok() {
    if (Serial())
        Emite(QStringLiteral("-> Emitindo Leitura X Serial"), [] { return dll::Tarvo_LeituraXSerial(); });
    else
        Emite(QStringLiteral("-> Emitindo Leitura X"), [] { return dll::Tarvo_LeituraX(); });
}

// --- fiscal-memory reading ------------------------------------------------------------------------

TfrmLeituraMFMFD::TfrmLeituraMFMFD(QWidget* parent)
    : TFormLeitura("TfrmLeituraMFMFD", QStringLiteral("Leitura da Memória Fiscal"), parent) {
    QGroupBox* tipo = GrupoRadios("rgTipo", QString(), {QStringLiteral("Data "), QStringLiteral("Redução")});
    QDateEdit* di = CampoData("dtpDataInicial", QStringLiteral("Inicial:"));
    QDateEdit* df = CampoData("dtpDataFinal", QStringLiteral("Final:"));
    for (QDateEdit* d : {di, df}) d->setDisplayFormat(QStringLiteral("dd/MM/yy"));
    CampoNumerico("edtInicial", QStringLiteral("Inicial:"), 10, 0);
    CampoNumerico("edtFinal", QStringLiteral("Final:"), 10, 0);
    CaixaMarcacao("cbSimples", QStringLiteral("Simplificada"));
    AdicionaMemo();
    for (QRadioButton* r : tipo->findChildren<QRadioButton*>())
        connect(r, &QRadioButton::toggled, this, [this] { MostraTipo(); });
    MostraTipo();
    DefineFoco(BotaoOK());
}

void TfrmLeituraMFMFD::MostraTipo() {
    const bool data = Escolhido("rgTipo") != 1;
    // The field's whole row (its label too) comes and goes.
    MostraLinhas({"dtpDataInicial", "dtpDataFinal"}, data);
    MostraLinhas({"edtInicial", "edtFinal"}, !data);
}

void TfrmLeituraMFMFD::AoMostrar() {
    for (const char* n : {"dtpDataInicial", "dtpDataFinal"})
        findChild<QDateEdit*>(QString::fromUtf8(n))->setDate(QDate::currentDate());
}

void TfrmLeituraMFMFD::Ok() {
    const std::string tipo = Valor("cbSimples") == QLatin1String("1") ? "s" : "c";
    const bool serial = Serial();
    if (Escolhido("rgTipo") != 1) {
        auto data = [this](const char* n) {
            return findChild<QDateEdit*>(QString::fromUtf8(n))
                ->date()
                .toString(QStringLiteral("dd/MM/yy"))
                .toStdString();
        };
        const std::string inicio = data("dtpDataInicial"), fim = data("dtpDataFinal");
        if (serial)
            Emite(QStringLiteral("-> Emitindo Leitura da MF por Data Serial"),
                  [&] { return dll::Tarvo_LeituraMemoriaFiscalSerialData(inicio, fim, tipo); });
        else
            Emite(QStringLiteral("-> Emitindo Leitura da MF por Data"),
                  [&] { return dll::Tarvo_LeituraMemoriaFiscalData(inicio, fim, tipo); });
    } else {
        const std::string inicio = Texto("edtInicial"), fim = Texto("edtFinal");
        if (serial)
            Emite(QStringLiteral("-> Emitindo Leitura da MF por Redução Serial"),
                  [&] { return dll::Tarvo_LeituraMemoriaFiscalSerialReducao(inicio, fim, tipo); });
        else
            Emite(QStringLiteral("-> Emitindo Leitura da MF por Redução"),
                  [&] { return dll::Tarvo_LeituraMemoriaFiscalReducao(inicio, fim, tipo); });
    }
}

// --- Z reduction --------------------------------------------------------------------------------

TfrmReducaoZ::TfrmReducaoZ(QWidget* parent)
    : TFormulario("TfrmReducaoZ", QStringLiteral("Redução Z"), parent) {
    QDateEdit* data = CampoData("edtData", QStringLiteral("Data:"));
    data->setDisplayFormat(QStringLiteral("dd/MM/yy"));
    QTimeEdit* hora = CampoHora("edtHora", QStringLiteral("Hora:"));
    hora->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    QCheckBox* altera = CaixaMarcacao("chkAlteraHora", QStringLiteral("Não alterar hora"));
    connect(altera, &QCheckBox::toggled, this, [data, hora](bool marcada) {
        data->setEnabled(!marcada);
        hora->setEnabled(!marcada);
    });
    BotaoOK()->setText(QStringLiteral("&Imprimir"));
    BotaoOK()->setObjectName(QStringLiteral("btImprimir"));
    DefineFoco(BotaoOK());
}

void TfrmReducaoZ::AoMostrar() {
    findChild<QDateEdit*>(QStringLiteral("edtData"))->setDate(QDate::currentDate());
    findChild<QTimeEdit*>(QStringLiteral("edtHora"))->setTime(QTime::currentTime());
}

void TfrmReducaoZ::Ok() {
    std::string data, hora;
    if (Valor("chkAlteraHora") != QLatin1String("1")) {
        data = findChild<QDateEdit*>(QStringLiteral("edtData"))
                   ->date()
                   .toString(QStringLiteral("dd/MM/yy"))
                   .toStdString();
        hora = findChild<QTimeEdit*>(QStringLiteral("edtHora"))
                   ->time()
                   .toString(QStringLiteral("HH:mm:ss"))
                   .toStdString();
    }
    Executa(QStringLiteral("-> Emitindo Redução Z"), [&] { return dll::Tarvo_ReducaoZ(data, hora); });
}

void RegistraFormulariosDeLeitura() {
    RegistraFormulario("TFrmLeituraX", []() -> QWidget* { return new TFrmLeituraX; });
    RegistraFormulario("TfrmLeituraMFMFD", []() -> QWidget* { return new TfrmLeituraMFMFD; });
    RegistraFormulario("TfrmReducaoZ", []() -> QWidget* { return new TfrmReducaoZ; });
}

}  // namespace belmora
