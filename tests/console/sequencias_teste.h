// What the sequence-form tests share: the function lists in the program's folder, an
// operator that answers the message boxes and fills the parameter form as they open, and
// the operator log.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

#include "comum/ambiente.h"
#include "comum_formularios.h"
#include "console/binding/auxiliar.h"
#include "console/forms/sequencias/sequencias.h"
#include "platform/codepage.h"
#include "platform/pastas.h"

// Answers each modal window once it is open: message boxes with the next answer of
// `respostas` ("OK" when none is left), parameter forms with the next action of
// `parametros` ("Finalizar" when none is left).
class OperadorDeSequencias {
  public:
    std::vector<teste::Caixa> caixas;
    QStringList respostas;
    std::deque<std::function<void(belmora::TfrmParametros*)>> parametros;

    OperadorDeSequencias() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Age(); });
        timer_.start(5);
    }

  private:
    void Age() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w->property("atendida").toBool()) return;
        w->setProperty("atendida", true);
        if (auto* caixa = qobject_cast<QMessageBox*>(w)) {
            caixas.push_back({caixa->windowTitle(), caixa->text(), 1});
            const QString botao = respostas.isEmpty() ? QStringLiteral("OK") : respostas.takeFirst();
            for (QAbstractButton* b : caixa->buttons())
                if (b->text() == botao) {
                    b->click();
                    return;
                }
            caixa->close();
        } else if (auto* p = qobject_cast<belmora::TfrmParametros*>(w)) {
            if (parametros.empty()) {
                p->reject();
                return;
            }
            auto acao = parametros.front();
            parametros.pop_front();
            // Out of this timer's slot, so that the boxes the action opens are answered too
            // (a timer does not fire while its own slot runs).
            QPointer<belmora::TfrmParametros> forma(p);
            QTimer::singleShot(0, [forma, acao] {
                if (forma) acao(forma);
            });
        }
    }
    QTimer timer_;
};

class FormSequencias : public ::testing::Test {
  protected:
    std::string programa = plataforma::PastaPrograma();
    OperadorDeSequencias operador;
    QStringList log;

    void SetUp() override {
        std::filesystem::remove_all(programa + "Sequencias");
        EscreveListas();
        belmora::DefineLogOperador([this](const std::string& l) { log << QString::fromStdString(l); });
    }
    void TearDown() override {
        belmora::DefineLogOperador(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Small function lists of our own, one or a few declarations per category.
    void EscreveListas() {
        const char* listas[12] = {
            "Tarvo_CancelaImpressaoCheque: integer; 0\r\n",
            "Tarvo_AbrePortaSerial: integer; 0\r\n",
            "Tarvo_AbreCupom(CPF: string): integer; 1\r\n"
            "Tarvo_VendeItem(Codigo: string; Descricao: string; Aliquota: string; TipoQuantidade: string; "
            "Quantidade: string; CasasDecimais: integer; ValorUnitario: string; TipoDesconto: string; "
            "Desconto: string): integer; 9\r\n"
            "Tarvo_CancelaCupom: integer; 0\r\n",
            "Tarvo_LeituraX: integer; 0\r\n\r\nTarvo_ReducaoZ(Data: string; Hora: string): integer; 2\r\n",
            "Tarvo_Sangria(Valor: string): integer; 1\r\n",
            "Tarvo_DataHoraImpressora(var Data: string; var Hora: string): integer; 2\r\n",
            "Tarvo_VerificaEstadoGaveta(var EstadoGaveta: integer): integer; 1\r\n",
            "Tarvo_AbreCupomMFD(CPF: string; Nome: string; Endereco: string): integer; 3\r\n",
            "Tarvo_Autenticacao: integer; 0\r\n",
            "Tarvo_ProgramaProprietario(CNPJ: string; IE: string; IM: string; Senha: string): integer; 4\r\n",
            "Tarvo_ExecutaComando(Comando: string; Parametros: string): integer; 2\r\n",
            "RFD_ConvertedaMFD(CRZ: string): integer; 1\r\n",
        };
        for (int i = 0; i < 12; ++i)
            teste::EscreveArquivo(programa + belmora::kCategorias[static_cast<std::size_t>(i)].arquivo,
                                  plataforma::Utf8ParaCp1252(listas[i]));
    }

    std::unique_ptr<belmora::TfrmSeqComandos> Abre() {
        auto f = std::make_unique<belmora::TfrmSeqComandos>();
        f->resize(900, 700);
        f->show();
        QApplication::setActiveWindow(f.get());
        return f;
    }

    static QListWidget* Lista(QWidget* f, const char* nome) {
        auto* l = f->findChild<QListWidget*>(nome);
        EXPECT_NE(l, nullptr) << nome;
        return l;
    }
    static QPushButton* Botao(QWidget* f, const char* nome) {
        auto* b = f->findChild<QPushButton*>(nome);
        EXPECT_NE(b, nullptr) << nome;
        return b;
    }
    static void DuploClique(QListWidget* l, int linha) {
        const QPoint p = l->visualItemRect(l->item(linha)).center();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, Qt::NoModifier, p);
    }
    static void Clica(QWidget* f, const char* nome) { Botao(f, nome)->click(); }
    static QStringList Celulas(QTableWidget* g) {
        QStringList r;
        for (int i = 0; i < g->rowCount(); ++i)
            for (int j = 0; j < g->columnCount(); ++j)
                r << (g->item(i, j) ? g->item(i, j)->text() : QString());
        return r;
    }
    // The value cells that can be edited, in order.
    static void Preenche(QTableWidget* g, const QStringList& valores) {
        for (int i = 0; i < g->rowCount() && i < valores.size(); ++i)
            if (g->item(i, 1)->flags() & Qt::ItemIsEditable) g->item(i, 1)->setText(valores[i]);
    }
    // Adds a command without parameters (its message answered).
    void AcrescentaSemParametros(belmora::TfrmSeqComandos* f, int categoria, int linha) {
        Lista(f, "List_TipoComandos")->setCurrentRow(categoria);
        Lista(f, "List_Comandos")->setCurrentRow(linha);
        operador.respostas = {"OK"};
        Clica(f, "btAdicionar");
        operador.caixas.clear();
    }
};
