// Sequences run from the form against the printer emulator on COM1, with the function
// lists written at build time beside the test program: a receipt built in the form opened
// from the main window, run twice in step mode, saved, then reopened in a new form that
// makes the same calls.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>
#include <filesystem>

#include "console/binding/log_dll.h"
#include "console/main/formularios.h"
#include "console/main/principal.h"
#include "console/programa/inicio.h"
#include "sequencias_teste.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

#ifdef BELMORA_COM_EMULADOR
namespace {

using teste::kLogDLL;
const QString kSucesso = QStringLiteral("<- Operação executada com Sucesso!");

// The lines of the call log (CR LF; a record's out-values may hold a line feed of their own).
QStringList LinhasLogDLL() {
    const QString texto = QString::fromStdString(plataforma::Cp1252ParaUtf8(teste::LeArquivo(kLogDLL)));
    QStringList linhas = texto.split(QStringLiteral("\r\n"));
    if (!linhas.isEmpty() && linhas.last().isEmpty()) linhas.removeLast();
    return linhas;
}

// Lists compared as standard texts, so a failure shows them readably.
std::vector<std::string> S(const QStringList& l) {
    std::vector<std::string> r;
    for (const QString& s : l) r.push_back(s.toStdString());
    return r;
}

// The call texts of the call log, in order.
QStringList Chamadas(const QStringList& linhas) {
    QStringList r;
    for (const QString& l : linhas)
        if (l.startsWith(QStringLiteral("10:00:00:000 > ")) && !l.contains(QStringLiteral("Retorno da DLL")))
            r << l.mid(15);
    return r;
}

class SequenciaNoEmulador : public FormSequencias {
  protected:
    emulador::Emulador impressora;

    void SetUp() override {
        FormSequencias::SetUp();
        // The lists written at build time beside the program, not ours.
        for (const belmora::CategoriaFuncoes& c : belmora::kCategorias)
            std::filesystem::remove(programa + c.arquivo);
        ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
        teste::IniciaLogDLL();
    }
    void TearDown() override {
        belmora::DefineRelogioLogDLL(nullptr);
        FormSequencias::TearDown();
    }

    // Adds the command of that name from the category, its parameter form filled with
    // `valores` (editable cells in order) and saved.
    void Acrescenta(QWidget* f, int categoria, const QString& nome, const QStringList& valores) {
        Lista(f, "List_TipoComandos")->setCurrentRow(categoria);
        QListWidget* comandos = Lista(f, "List_Comandos");
        const auto achados = comandos->findItems(nome, Qt::MatchExactly);
        ASSERT_EQ(achados.size(), 1) << nome.toStdString();
        comandos->setCurrentItem(achados[0]);
        operador.parametros.push_back([valores](belmora::TfrmParametros* p) {
            auto* g = p->findChild<QTableWidget*>("grdParametros");
            int v = 0;
            for (int i = 0; i < g->rowCount(); ++i)
                if (g->item(i, 1)->flags() & Qt::ItemIsEditable) g->item(i, 1)->setText(valores.value(v++));
            Clica(p, "btSalvar");
        });
        operador.respostas = {"OK"};
        Clica(f, "btAdicionar");
        ASSERT_EQ(operador.caixas.size(), 1u);
        EXPECT_EQ(operador.caixas[0].texto, "Parâmetros Salvos com sucesso!") << nome.toStdString();
        operador.caixas.clear();
    }

    // Runs the sequence twice in step mode, every question answered Yes.
    void ExecutaDuasVezesPassoAPasso(QWidget* f, int perguntas) {
        f->findChild<QCheckBox*>("chkPassoAPasso")->setChecked(true);
        f->findChild<QLineEdit*>("edtNumExecucoes")->setText("2");
        operador.caixas.clear();
        for (int i = 0; i < perguntas; ++i) operador.respostas << "Sim";
        Clica(f, "btExecutar");
        EXPECT_EQ(static_cast<int>(operador.caixas.size()), perguntas);
        for (const auto& c : operador.caixas) EXPECT_EQ(c.texto, "Deseja executar o próximo comando?");
    }

    // The operator log and the call log of two passes of the receipt sequence.
    void ConfereDuasPassagens(const QStringList& operadorLog) {
        const QStringList dll = LinhasLogDLL();
        QStringList datas;
        for (const QString& l : dll)
            if (l.startsWith(QStringLiteral("strData="))) datas << l;
        ASSERT_EQ(datas.size(), 2);
        QStringList esperadoLog, esperadoDll{QStringLiteral("----------------")};
        for (int passe = 0; passe < 2; ++passe) {
            const QStringList valores = datas[passe].split(QLatin1Char('\n'));
            ASSERT_EQ(valores.size(), 2);
            ASSERT_TRUE(valores[0].startsWith("strData=") && valores[1].startsWith("strHora="));
            const struct {
                const char* nome;
                const char* chamada;
                QString retorno;
            } passos[] = {
                {"Tarvo_AbreCupom", "Tarvo_AbreCupom(\"\");", {}},
                {"Tarvo_VendeItem",
                 "Tarvo_VendeItem(\"001\",\"ARROZ (5 kg): tipo 1; "
                 "d'agua\",\"FF\",\"I\",\"2\",2,\"5,00\",\"$\",\"0,00\");",
                 {}},
                {"Tarvo_IniciaFechamentoCupom", "Tarvo_IniciaFechamentoCupom(\"A\",\"$\",\"0,00\");", {}},
                {"Tarvo_EfetuaFormaPagamento", "Tarvo_EfetuaFormaPagamento(\"Dinheiro\",\"10,00\");", {}},
                {"Tarvo_TerminaFechamentoCupom",
                 "Tarvo_TerminaFechamentoCupom(\"Volte sempre: obrigado!\");",
                 {}},
                {"Tarvo_DataHoraImpressora", "Tarvo_DataHoraImpressora(strData, strHora);", datas[passe]},
            };
            for (const auto& p : passos) {
                esperadoLog << QStringLiteral("-> Executando ") + p.nome;
                esperadoDll << QStringLiteral("10:00:00:000 > ") + QString::fromUtf8(p.chamada)
                            << QStringLiteral("10:00:00:000 > Retorno da DLL: 1 (SUCESSO)");
                if (p.retorno.isEmpty()) {
                    esperadoLog << kSucesso;
                } else {
                    esperadoLog << kSucesso + QStringLiteral(" Retorno: ") + valores[0].mid(8) +
                                       QStringLiteral(" - ") + valores[1].mid(8);
                    esperadoDll << p.retorno;
                }
                esperadoDll << QStringLiteral("----------------");
            }
            // A name that no entry knows: its start line only, and no call.
            esperadoLog << QStringLiteral("-> Executando Tarvo_Inexistente");
        }
        EXPECT_EQ(S(operadorLog), S(esperadoLog));
        EXPECT_EQ(S(dll), S(esperadoDll));
        EXPECT_EQ(impressora.Impressora().aberto.tipo, emulador::TipoDocumento::Nenhum);
    }
};

TEST_F(SequenciaNoEmulador, AReceiptSequenceSavedInOneRunMakesTheSameCallsInTheNext) {
    QStringList chamadasPrimeira;
    {
        // The form opened from the main window's "Scripts e Desenvolvimento" (F2, Alt+S).
        belmora::RegistraFormulariosDoConsole();
        belmora::TfrmVintaro janela(false);
        janela.resize(1280, 900);
        janela.show();
        QApplication::setActiveWindow(&janela);
        QTest::keyClick(&janela, Qt::Key_F2);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &janela, Qt::Key_S,
                        Qt::AltModifier);
        auto* f = qobject_cast<belmora::TfrmSeqComandos*>(janela.FormularioHospedado());
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->property("HelpContext").toInt(), 10);

        Acrescenta(f, 2, "Tarvo_AbreCupom", {""});
        Acrescenta(f, 2, "Tarvo_VendeItem",
                   {"001", "ARROZ (5 kg): tipo 1; d'agua", "FF", "I", "2", "2", "5,00", "$", "0,00"});
        Acrescenta(f, 2, "Tarvo_IniciaFechamentoCupom", {"A", "$", "0,00"});
        Acrescenta(f, 2, "Tarvo_EfetuaFormaPagamento", {"Dinheiro", "10,00"});
        Acrescenta(f, 2, "Tarvo_TerminaFechamentoCupom", {"Volte sempre: obrigado!"});
        Acrescenta(f, 5, "Tarvo_DataHoraImpressora", {});
        // A name no function list has comes in by merging a file that holds it.
        std::filesystem::create_directories(programa + "Sequencias");
        teste::EscreveArquivo(programa + "Sequencias/extra.seq", "Tarvo_Inexistente();0\r\n");
        f->PegarSequencias();
        Lista(f, "List_SequenciasSalvas")->setCurrentRow(0);
        operador.respostas = {"Sim"};
        Clica(f, "btAbrir");
        ASSERT_EQ(f->Sequencia().size(), 7u);

        auto* retorno = janela.findChild<QListWidget*>("RetornoUsuario");
        retorno->clear();
        ExecutaDuasVezesPassoAPasso(f, 13);
        ConfereDuasPassagens(teste::Itens(retorno));
        chamadasPrimeira = Chamadas(LinhasLogDLL());

        // Saved for the next run.
        Clica(f, "btSalvar");
        f->findChild<QLineEdit*>("edtNomeArquivo")->setText("cupom");
        operador.respostas = {"OK"};
        Clica(f, "btConfirmaSalvar");
        EXPECT_TRUE(std::filesystem::exists(programa + "Sequencias/cupom.seq"));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The next run: a new form opens the file and makes the same calls.
    belmora::DefineLogOperador([this](const std::string& l) { log << QString::fromStdString(l); });
    std::filesystem::remove(kLogDLL);
    auto f = Abre();
    QListWidget* salvas = Lista(f.get(), "List_SequenciasSalvas");
    EXPECT_EQ(teste::Itens(salvas), QStringList({"cupom.seq", "extra.seq"}));
    salvas->setCurrentRow(0);
    Clica(f.get(), "btAbrir");
    ASSERT_EQ(f->Sequencia().size(), 7u);
    log.clear();
    ExecutaDuasVezesPassoAPasso(f.get(), 13);
    ConfereDuasPassagens(log);
    EXPECT_EQ(S(Chamadas(LinhasLogDLL())), S(chamadasPrimeira));
    EXPECT_EQ(chamadasPrimeira.size(), 12);
}

}  // namespace
#endif
