// The document, detail-tape, test-receipt and reading forms inside the main window, driven by
// keys against the printer emulator on COM1: what the printer did, the operator log, the call
// log and the files the forms write.
#include "console/forms/documentos/documentos.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>

#include "comum/ambiente.h"
#include "comum_formularios.h"
#include "console/binding/ecf_dll.h"
#include "console/binding/log_dll.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "platform/codepage.h"
#include "platform/pastas.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

// Texts in failure messages as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{' << l.join("\", \"").toStdString() << '}';
}

namespace {

using belmora::TfrmDadosUltimaRedZ;

TEST(DadosUltimaRedZ, TheReplyFillsAtMostTheKeysAndMissingFieldsStayEmpty) {
    ASSERT_EQ(TfrmDadosUltimaRedZ::Chaves().size(), 37u);
    EXPECT_STREQ(TfrmDadosUltimaRedZ::Chaves().front(), "Modo de redução Z=");
    EXPECT_STREQ(TfrmDadosUltimaRedZ::Chaves().back(), "Data do movimento= ");

    // Fewer fields than keys: the rest are empty; blanks around a field go.
    QStringList c = TfrmDadosUltimaRedZ::Campos(" 1 , 0002,3");
    ASSERT_EQ(c.size(), 37);
    EXPECT_EQ(c.mid(0, 4), QStringList({"1", "0002", "3", ""}));
    EXPECT_EQ(c.last(), "");

    // More fields than keys: the extra ones are dropped, the 37th is whole.
    QStringList muitos;
    for (int i = 1; i <= 40; ++i) muitos << QString::number(i);
    c = TfrmDadosUltimaRedZ::Campos(muitos.join(','));
    ASSERT_EQ(c.size(), 37);
    EXPECT_EQ(c.last(), "37");

    // Exactly 37, with the record's closing separator: the last field keeps all its digits.
    c = TfrmDadosUltimaRedZ::Campos(muitos.mid(0, 36).join(',') + ",040326,");
    EXPECT_EQ(c.last(), "040326");
    EXPECT_EQ(TfrmDadosUltimaRedZ::Campos(""), QStringList(37, QString()));
}

#ifdef BELMORA_COM_EMULADOR

using teste::Caixa;
using teste::Campo;
using teste::Clica;
using teste::Digita;
using teste::Redigita;
using teste::Responde;

// Answers every message box that shows while it lives, noting their texts (for runs that
// must show none, or more than one).
class Vigia {
  public:
    Vigia() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                textos << caixa->text();
                caixa->close();
            }
        });
        timer_.start(10);
    }
    QStringList textos;

  private:
    QTimer timer_;
};

// The main window; the stored linked-receipt text and the download form's last choices of
// an earlier test gone.
class Documentos : public teste::NaJanela {
  protected:
    void SetUp() override {
        std::filesystem::remove("NaoFiscalVinculado.txt");
        belmora::TfrmDownloadMFD::Atual() = {};
        NaJanela::SetUp();
    }

    QString Sucesso() { return QStringLiteral("<- Operação executada com Sucesso!"); }
    // A receipt of one item paid by credit card; its COO.
    int CupomNoCartao() {
        EXPECT_EQ(dll::Tarvo_AbreCupom(""), 1);
        EXPECT_EQ(dll::Tarvo_VendeItem("9", "PAO DE QUEIJO", "FF", "UN", "1", 2, "3,00", "", "0"), 1);
        EXPECT_EQ(dll::Tarvo_EfetuaFormaPagamento("Cartao Credito", "3,00"), 1);
        EXPECT_EQ(dll::Tarvo_TerminaFechamentoCupom(""), 1);
        return impressora.Impressora().contadores.coo;
    }
};

TEST_F(Documentos, TheDetailTapeIsDownloadedAndConvertedWithoutTheCallLog) {
    CupomNoCartao();
    belmora::TFormulario* f = Abre(Qt::Key_F6, Qt::Key_F);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->objectName(), "TfrmDownloadMFD");
    EXPECT_EQ(Campo<QLineEdit>(f, "edtProprietario")->toolTip(),
              "Disponível apenas para versões anteriores a 01.00.08 e 03.03.04");

    // Converting before any download only says so.
    Caixa aviso;
    Responde("OK", &aviso);
    log->clear();
    Clica(Campo(f, "btFormatar"));
    EXPECT_EQ(aviso.texto, "É necessário previamente executar DownloadMFD!");
    EXPECT_TRUE(Log().isEmpty());

    // "Por Data" disables the owner and clears it; "Completa" enables it again.
    Digita(Campo(f, "edtProprietario"), "1");
    Clica(Campo(f, "rgTipoDownload1"));
    EXPECT_FALSE(Campo(f, "edtProprietario")->isEnabled());
    EXPECT_EQ(Campo<QLineEdit>(f, "edtProprietario")->text(), "");
    EXPECT_TRUE(Campo(f, "dtInicial")->isVisible());
    EXPECT_FALSE(Campo(f, "edtInicial")->isVisible());
    Clica(Campo(f, "rgTipoDownload0"));
    EXPECT_TRUE(Campo(f, "edtProprietario")->isEnabled());
    EXPECT_FALSE(Campo(f, "dtInicial")->isEnabled());
    EXPECT_EQ(belmora::TfrmDownloadMFD::Atual().tipo, "0");

    log->clear();
    Clica(f->BotaoOK());
    EXPECT_EQ(Log(),
              QStringList({"-> Lendo Memória da Fita-Detalhe", Sucesso() + " Clique no botão formatar!"}));
    Clica(Campo(f, "btFormatar"));
    EXPECT_EQ(Log().mid(2), QStringList({"-> Formatando dados MFD",
                                         Sucesso() + " Arquivo LeituraMFD.txt gerado com sucesso\""}));
    const std::string texto = teste::LeArquivo(plataforma::PastaPrograma() + "LeituraMFD.txt");
    EXPECT_NE(texto.find("PAO DE QUEIJO"), std::string::npos) << texto;
    EXPECT_TRUE(std::filesystem::exists(plataforma::PastaPrograma() + "DownloadMFD.txt"));
    const std::string dll = LogDLL();
    EXPECT_EQ(dll.find("DownloadMFD"), std::string::npos) << dll;
    EXPECT_EQ(dll.find("FormatoDadosMFD"), std::string::npos) << dll;

    // A second conversion needs a new download; the choice of type outlives the form.
    Responde("OK", &aviso);
    Clica(Campo(f, "btFormatar"));
    EXPECT_EQ(aviso.vistas, 2);
    f = Abre(Qt::Key_F5, Qt::Key_D);
    f = Abre(Qt::Key_F6, Qt::Key_F);
    ASSERT_TRUE(f);
    EXPECT_TRUE(Campo<QRadioButton>(f, "rgTipoDownload0")->isChecked());
}

TEST_F(Documentos, TheTimedTestReceiptSellsTheItemsAskedFor) {
    belmora::TFormulario* f = Abre(Qt::Key_F7, Qt::Key_M);
    ASSERT_TRUE(f);
    EXPECT_EQ(Campo<QLineEdit>(f, "edtQuantidade")->text(), "1");
    auto* memo = Campo<QPlainTextEdit>(f, "mmResultado");
    const QRegularExpression duracao("\nDuração: \\d+ segundo\\(s\\)$");

    // No quantity: the message, nothing on the wire.
    Redigita(Campo(f, "edtQuantidade"), "");
    Caixa aviso;
    Responde("OK", &aviso);
    impressora.LimpaRegistros();
    Clica(f->BotaoOK());
    EXPECT_EQ(aviso.texto, "Digite um número na quantidade!");
    EXPECT_TRUE(impressora.Comandos().empty());

    {
        const int n = 3;
        Redigita(Campo(f, "edtQuantidade"), QString::number(n));
        memo->clear();
        log->clear();
        Vigia vigia;
        Clica(f->BotaoOK());
        EXPECT_EQ(vigia.textos, QStringList());
        EXPECT_EQ(Log(), QStringList({"-> Iniciando emissão completa de cupom", Sucesso()}));
        const emulador::Impressora estado = impressora.Impressora();
        const emulador::Documento* cupom = estado.DocumentoPorCoo(estado.contadores.coo);
        ASSERT_TRUE(cupom && cupom->dados);
        EXPECT_TRUE(cupom->fechado);
        EXPECT_EQ(cupom->dados->itens.size(), static_cast<std::size_t>(n));
        for (const emulador::Item& i : cupom->dados->itens) {
            EXPECT_EQ(i.descricao, "Impressora RIX");
            EXPECT_EQ(i.valor, 10);
        }
        const QStringList linhas = memo->toPlainText().split('\n');
        ASSERT_GE(linhas.size(), 5);
        EXPECT_TRUE(linhas[0].startsWith("Início Venda: "));
        EXPECT_EQ(linhas[1], "Abrindo Cupom Fiscal...");
        EXPECT_EQ(linhas[2], "Vendendo Itens Solicitados");
        EXPECT_EQ(linhas[3], "VendeItem('001','Impressora RIX','01','I','2','2','0,05','','')");
        EXPECT_EQ(linhas[4], "Fechamento do Cupom....");
        EXPECT_TRUE(memo->toPlainText().contains(duracao)) << memo->toPlainText().toStdString();
    }

    // No item: opened, nothing sold, the closing tried (the printer refuses a receipt
    // without items, and says so).
    Redigita(Campo(f, "edtQuantidade"), "0");
    impressora.LimpaRegistros();
    log->clear();
    {
        Vigia vigia;
        Clica(f->BotaoOK());
        ASSERT_EQ(vigia.textos.size(), 1);
        EXPECT_TRUE(vigia.textos[0].startsWith("Erro Nº ")) << vigia.textos[0].toStdString();
    }
    std::vector<std::string> comandos = impressora.Comandos();
    ASSERT_FALSE(comandos.empty());
    EXPECT_EQ(comandos.front(), "AbreCupomFiscal");
    EXPECT_EQ(std::count(comandos.begin(), comandos.end(), "VendeItem"), 0);
    EXPECT_GT(comandos.size(), 1u);
    EXPECT_EQ(Log(), QStringList({"-> Iniciando emissão completa de cupom", "  -> Erro ao fechar cupom!",
                                  "<- Operação falhou!"}));
    EXPECT_TRUE(memo->toPlainText().contains("Fechamento do Cupom...."));
    ASSERT_EQ(dll::Tarvo_CancelaCupom(), 1);

    // The printer refuses the opening: its message, no sale, no closing, the duration still.
    impressora.ErroEm("AbreCupomFiscal", 8001, "Recusado", "Abertura recusada", 1);
    impressora.LimpaRegistros();
    memo->clear();
    log->clear();
    Redigita(Campo(f, "edtQuantidade"), "2");
    {
        Vigia vigia;
        Clica(f->BotaoOK());
        ASSERT_EQ(vigia.textos.size(), 1);
        EXPECT_TRUE(vigia.textos[0].startsWith("Erro Nº 8001\r\n")) << vigia.textos[0].toStdString();
    }
    EXPECT_EQ(impressora.Comandos(), std::vector<std::string>({"AbreCupomFiscal"}));
    EXPECT_EQ(Log(), QStringList({"-> Iniciando emissão completa de cupom", "  -> Erro ao abrir cupom!",
                                  "<- Operação falhou!"}));
    EXPECT_FALSE(memo->toPlainText().contains("Vendendo"));
    EXPECT_TRUE(memo->toPlainText().contains(duracao));
}

TEST_F(Documentos, AManagementReportIsOpenedPrintedAndClosed) {
    belmora::TFormulario* f = Abre(Qt::Key_F6, Qt::Key_R);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->BotaoOK()->text(), "Abrir");
    auto* codigo = Campo<QLineEdit>(f, "edtCodigo");
    Digita(codigo, "x0");
    EXPECT_EQ(codigo->text(), "0");
    log->clear();
    Clica(f->BotaoOK());
    EXPECT_EQ(Log(), QStringList({"-> Abrindo relatório gerencial", Sucesso()}));
    Digita(Campo(f, "mmTexto"), "LINHA UM DO RELATORIO");
    QTest::keyClick(Campo(f, "mmTexto"), Qt::Key_Return);
    Digita(Campo(f, "mmTexto"), "LINHA DOIS");
    Clica(Campo(f, "btImprimir"));
    Clica(Campo(f, "btFechar"));
    EXPECT_EQ(Log().mid(2), QStringList({"-> Imprimindo relatório gerencial", Sucesso(),
                                         "-> Fechando relatório gerencial", Sucesso()}));
    const emulador::Impressora estado = impressora.Impressora();
    EXPECT_EQ(estado.aberto.tipo, emulador::TipoDocumento::Nenhum);
    const std::string texto = estado.DocumentoPorCoo(estado.contadores.coo)->Texto();
    EXPECT_NE(texto.find("LINHA UM DO RELATORIO"), std::string::npos) << texto;
    EXPECT_NE(texto.find("LINHA DOIS"), std::string::npos) << texto;
}

TEST_F(Documentos, FreeTextInTheVoucherAfterACardPaymentThenItsReversal) {
    // A stored line waits in the current folder.
    teste::EscreveArquivo("NaoFiscalVinculado.txt",
                          plataforma::Utf8ParaCp1252("Valido como comprovante\r\n"));
    const int coo = CupomNoCartao();
    ASSERT_EQ(dll::Tarvo_AbreComprovanteNaoFiscalVinculado("Cartao Credito", "3,00", std::to_string(coo)), 1);

    // The fiscal state of an open voucher ticks only its box.
    belmora::TFormulario* f = Abre(Qt::Key_F5, Qt::Key_E);
    ASSERT_TRUE(f);
    for (int bit : {1, 2, 4, 8, 32, 64})
        EXPECT_EQ(Campo<QCheckBox>(f, QString("chk%1").arg(bit).toUtf8().constData())->isChecked(), bit == 2)
            << bit;

    f = Abre(Qt::Key_F8, Qt::Key_U);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->BotaoOK()->text(), "Imprimir");
    auto* lista = Campo<QListWidget>(f, "lstLinhasCadastradas");
    ASSERT_EQ(teste::Itens(lista), QStringList({"Valido como comprovante"}));
    Digita(Campo(f, "mmTextoLivre"), "Parcela unica");
    // A double click adds the stored line to the text.
    const QRect linha = lista->visualItemRect(lista->item(0));
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, Qt::NoModifier, linha.center());
    Caixa pergunta;
    Responde("Sim", &pergunta);
    QTest::mouseDClick(lista->viewport(), Qt::LeftButton, Qt::NoModifier, linha.center());
    EXPECT_EQ(pergunta.texto, "Deseja realmente adicionar a linha?");
    EXPECT_EQ(lista->count(), 1);
    EXPECT_EQ(Campo<QPlainTextEdit>(f, "mmTextoLivre")->toPlainText(),
              "Parcela unica\nValido como comprovante");
    log->clear();
    Clica(f->BotaoOK());
    EXPECT_EQ(Log(), QStringList({"-> Imprimindo comprovante não fiscal vinculado", Sucesso()}));
    EXPECT_NE(LogDLL().find(
                  "Tarvo_UsaComprovanteNaoFiscalVinculado(\"Parcela unica\r\nValido como comprovante\");"),
              std::string::npos)
        << LogDLL();
    ASSERT_EQ(dll::Tarvo_FechaComprovanteNaoFiscalVinculado(), 1);
    const emulador::Impressora estado = impressora.Impressora();
    const std::string voucher = plataforma::Cp1252ParaUtf8(
        plataforma::Cp850ParaCp1252(estado.DocumentoPorCoo(estado.contadores.coo)->Texto()));
    EXPECT_NE(voucher.find("Parcela unica"), std::string::npos) << voucher;
    EXPECT_NE(voucher.find("Valido como comprovante"), std::string::npos) << voucher;

    // The reversal with a CNPJ typed as digits and masked on leaving the field.
    f = Abre(Qt::Key_F8, Qt::Key_E);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->BotaoOK()->text(), "&Ok");
    auto* cnpj = Campo<QLineEdit>(f, "edtCNPJ_CPF");
    EXPECT_EQ(cnpj->maxLength(), 26);
    EXPECT_EQ(Campo<QLineEdit>(f, "edtNome")->maxLength(), 30);
    EXPECT_EQ(Campo<QLineEdit>(f, "edtEndereco")->maxLength(), 80);
    Digita(cnpj, "11.222-333/000181");
    QTest::keyClick(cnpj, Qt::Key_Tab);
    EXPECT_EQ(cnpj->text(), "11.222.333/0001-81");
    Digita(Campo(f, "edtNome"), "Loja Modelo");
    log->clear();
    Clica(f->BotaoOK());
    EXPECT_EQ(Log(), QStringList({"-> Estornando cupom não fiscal vinculado", Sucesso()}));
    EXPECT_NE(
        LogDLL().find("Tarvo_EstornoNaoFiscalVinculadoMFD(\"11.222.333/0001-81\",\"Loja Modelo\",\"\");"),
        std::string::npos);
    EXPECT_TRUE(impressora.Impressora().vinculados.back().estornado);
}

TEST_F(Documentos, StoredVoucherLinesAreSavedAsWindowsTextAndLoadedBack) {
    belmora::TFormulario* f = Abre(Qt::Key_F8, Qt::Key_U);
    ASSERT_TRUE(f);
    auto* lista = Campo<QListWidget>(f, "lstLinhasCadastradas");
    EXPECT_EQ(lista->count(), 0);
    Digita(Campo(f, "mmTextoLivre"), "Promoção válida");
    QTest::keyClick(Campo(f, "mmTextoLivre"), Qt::Key_Return);
    Digita(Campo(f, "mmTextoLivre"), "Até sábado");
    Caixa pergunta;
    Responde("Sim", &pergunta);
    Clica(Campo(f, "btCadastrar"));
    EXPECT_EQ(pergunta.texto, "Deseja realmente cadastrar as linhas?");
    Responde("Sim", &pergunta);
    Clica(Campo(f, "btSalvar"));
    EXPECT_EQ(pergunta.texto, "Deseja realmente salvar as linhas?");
    EXPECT_EQ(teste::LeArquivo("NaoFiscalVinculado.txt"),
              plataforma::Utf8ParaCp1252("Promoção válida\r\nAté sábado\r\n"));

    // Another opening loads them; removing needs a selection and a Yes.
    f = Abre(Qt::Key_F8, Qt::Key_E);
    f = Abre(Qt::Key_F8, Qt::Key_U);
    ASSERT_TRUE(f);
    auto* carregada = f->findChild<belmora::TListaCadastrada*>("lstLinhasCadastradas");
    ASSERT_TRUE(carregada);
    EXPECT_EQ(teste::Itens(carregada), QStringList({"Promoção válida", "Até sábado"}));
    Caixa aviso;
    Responde("OK", &aviso);
    carregada->ExcluiSelecionada();
    EXPECT_EQ(aviso.texto, "Primeiro Selecione uma Linha");
    carregada->setCurrentRow(0);
    Responde("Sim", &pergunta);
    carregada->ExcluiSelecionada();
    EXPECT_EQ(pergunta.titulo, "Belmora");
    EXPECT_EQ(pergunta.texto, "Deseja realmente excluir a linha?");
    EXPECT_EQ(teste::Itens(carregada), QStringList({"Até sábado"}));
}

TEST_F(Documentos, AuthenticationCutAndTapePrint) {
    CupomNoCartao();
    belmora::TFormulario* f = Abre(Qt::Key_F9, Qt::Key_A);
    ASSERT_TRUE(f);
    auto* salto = Campo<QComboBox>(f, "cbSalto");
    auto* texto = Campo<QLineEdit>(f, "edtTexto");
    ASSERT_EQ(salto->count(), 51);
    // Fifty skipped lines leave no room for text.
    salto->setCurrentIndex(50);
    Digita(texto, "ABC");
    EXPECT_EQ(texto->text(), "");
    salto->setCurrentIndex(10);
    EXPECT_EQ(texto->maxLength(), 40);
    salto->setCurrentIndex(2);
    Digita(texto, "AUTENTICADO");
    log->clear();
    Clica(f->BotaoOK());
    // This model has no authentication: the driver's refusal, then the failure line.
    ASSERT_EQ(log->count(), 3);
    EXPECT_EQ(Log()[0], "-> Autenticando Documento");
    EXPECT_TRUE(Log()[1].startsWith("  <- Erro nº: -2 - ")) << Log()[1].toStdString();
    EXPECT_EQ(Log()[2], "<- Operação falhou!");
    EXPECT_NE(LogDLL().find("Tarvo_AutenticacaoMFD(\"02\",\"AUTENTICADO\");"), std::string::npos) << LogDLL();

    // The cut: partial sends 4, total 0.
    f = Abre(Qt::Key_F1, Qt::Key_O);
    ASSERT_TRUE(f);
    EXPECT_TRUE(Campo<QRadioButton>(f, "rgCorte0")->isChecked());
    Clica(f->BotaoOK());
    Clica(Campo(f, "rgCorte1"));
    log->clear();
    Clica(f->BotaoOK());
    // Nor a cutter the driver can drive: the failure is shown as such.
    ASSERT_EQ(log->count(), 3);
    EXPECT_EQ(Log()[0], "-> Acionando Guilhotina");
    EXPECT_EQ(Log()[2], "<- Operação falhou!");
    const std::string dll = LogDLL();
    const std::size_t primeira = dll.find("Tarvo_AcionaGuilhotinaMFD(");
    ASSERT_NE(primeira, std::string::npos) << dll;
    EXPECT_NE(dll.find("Tarvo_AcionaGuilhotinaMFD(", primeira + 1), std::string::npos) << dll;

    // The tape print asks first; "Não" sends nothing.
    f = Abre(Qt::Key_F3, Qt::Key_I);
    ASSERT_TRUE(f);
    EXPECT_TRUE(Campo<QRadioButton>(f, "rgTipo1")->isChecked());
    Clica(Campo(f, "rgTipo2"));
    Digita(Campo(f, "edtInicial"), "1");
    Digita(Campo(f, "edtFinal"), "9");
    Caixa pergunta;
    Responde("Não", &pergunta);
    impressora.LimpaRegistros();
    log->clear();
    Clica(f->BotaoOK());
    EXPECT_EQ(pergunta.titulo, "Confirmação!");
    EXPECT_EQ(pergunta.texto, "Você tem certeza que deseja imprimir a Leitura da Memória Fiscal?");
    EXPECT_TRUE(impressora.Comandos().empty());
    Responde("Sim", &pergunta);
    Clica(f->BotaoOK());
    EXPECT_EQ(Log(), QStringList({"-> Imprimindo Memória Fita Detalhe", Sucesso()}));
    EXPECT_NE(LogDLL().find("COOInicial=1 COOFinal=9"), std::string::npos) << LogDLL();
}

TEST_F(Documentos, ReadingsOfDateIndicatorsAndTheLastReduction) {
    impressora.Altera([](emulador::Impressora& i) {
        i.AjustaRelogio({2026, 3, 4, 9, 30, 0});
        i.intervencaoTecnica = true;
        i.semPapel = true;
    });
    belmora::TFormulario* f = Abre(Qt::Key_F5, Qt::Key_D);
    ASSERT_TRUE(f);
    EXPECT_EQ(Campo<QLineEdit>(f, "edtData")->text(), "04/03/26");
    EXPECT_TRUE(Campo<QLineEdit>(f, "edtHora")->text().startsWith("09:30:0"))
        << Campo<QLineEdit>(f, "edtHora")->text().toStdString();

    // Indicators read twice: the second reading clears what went off.
    f = Abre(Qt::Key_F5, Qt::Key_L);
    ASSERT_TRUE(f);
    auto marcadas = [&] {
        QList<int> r;
        for (int bit = 1; bit <= 16384; bit <<= 1)
            if (Campo<QCheckBox>(f, QString("chk%1").arg(bit).toUtf8().constData())->isChecked()) r << bit;
        return r;
    };
    EXPECT_TRUE(marcadas().isEmpty());
    Clica(f->BotaoOK());
    EXPECT_EQ(marcadas(), QList<int>({1, 256}));
    impressora.Altera([](emulador::Impressora& i) {
        i.intervencaoTecnica = false;
        i.semPapel = false;
        i.poucoPapel = true;
    });
    Clica(f->BotaoOK());
    EXPECT_EQ(marcadas(), QList<int>({2}));
    // A failed reading leaves the boxes as they were.
    impressora.Silencia(-1);
    log->clear();
    Clica(f->BotaoOK());
    impressora.LimpaFalhas();
    EXPECT_EQ(marcadas(), QList<int>({2}));
    EXPECT_EQ(Log().last(), "<- Operação falhou!");

    // The last reduction's data beside the keys.
    impressora.Altera([](emulador::Impressora& i) { i.poucoPapel = false; });
    CupomNoCartao();
    ASSERT_EQ(dll::Tarvo_ReducaoZ("", ""), 1);
    f = Abre(Qt::Key_F5, Qt::Key_Z);
    ASSERT_TRUE(f);
    auto* lista = Campo<QTreeWidget>(f, "lvDados");
    ASSERT_EQ(lista->topLevelItemCount(), 37);
    EXPECT_EQ(lista->topLevelItem(2)->text(1), "");
    log->clear();
    Clica(f->BotaoOK());
    EXPECT_EQ(Log(), QStringList({"-> Lendo dados da última redução Z", Sucesso()}));
    const emulador::Impressora estado = impressora.Impressora();
    ASSERT_FALSE(estado.memoriaFiscal.empty());
    const emulador::RegistroZ& z = estado.memoriaFiscal.back();
    auto valor = [&](int k) { return lista->topLevelItem(k)->text(1); };
    EXPECT_EQ(lista->topLevelItem(2)->text(0), "Contador de redução z= ");
    EXPECT_EQ(valor(2).toInt(), z.crz);
    EXPECT_EQ(valor(1).toInt(), z.cro);
    EXPECT_EQ(valor(3).toInt(), z.coo);
    EXPECT_EQ(valor(15).toLongLong(), z.gt);
    const QString movimento = QString("%1%2%3")
                                  .arg(z.movimento.dia, 2, 10, QChar('0'))
                                  .arg(z.movimento.mes, 2, 10, QChar('0'))
                                  .arg(z.movimento.ano % 100, 2, 10, QChar('0'));
    EXPECT_EQ(valor(36), movimento);
}

#endif

}  // namespace
