// What the tests of the programming forms share: the printer emulator in technical
// intervention with a few rates and payment methods, the operator log, the day's call log and
// the forms shown.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>
#include <QTableWidget>
#include <filesystem>
#include <memory>

#include "comum/ambiente.h"
#include "console/binding/auxiliar.h"
#include "console/binding/log_dll.h"
#include "platform/codepage.h"
#ifdef BELMORA_COM_EMULADOR
#include "emulador/emulador.h"
#endif

#ifdef BELMORA_COM_EMULADOR
namespace teste {

inline const plataforma::DataHora kHoje{2026, 3, 4, 10, 0, 0, 0};

class Programacao : public ::testing::Test {
  protected:
    emulador::Emulador impressora;
    QStringList log;

    void SetUp() override {
        ASSERT_TRUE(impressora.Inicia(std::getenv("TARVO_DEVDIR"), "COM1")) << impressora.Erro();
        impressora.Altera([](emulador::Impressora& p) {
            p.intervencaoTecnica = true;
            p.aliquotas = {};
            p.meiosPagamento = {};
            p.aliquotas[0] = {true, 1800, true, "T18"};
            p.meiosPagamento[0] = {true, "Cartao", "Cartao", true};
            p.meiosPagamento[1] = {true, "Cheque", "Cheque", false};
        });
        std::filesystem::remove("logDLL-20260304.txt");
        belmora::DefineRelogioLogDLL([] { return kHoje; });
        belmora::DefineLogOperador([this](const std::string& l) { log << QString::fromStdString(l); });
    }
    void TearDown() override {
        belmora::DefineLogOperador(nullptr);
        belmora::DefineRelogioLogDLL(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The operator log as one text, so a difference reads plainly.
    std::string Linhas() const { return log.join(QLatin1Char('\n')).toStdString(); }
    static std::string Linhas(const QStringList& l) { return l.join(QLatin1Char('\n')).toStdString(); }
    std::string LogDLL() {
        if (!std::filesystem::exists("logDLL-20260304.txt")) return {};
        return plataforma::Cp1252ParaUtf8(teste::LeArquivo("logDLL-20260304.txt"));
    }
    void EsqueceChamadas() { std::filesystem::remove("logDLL-20260304.txt"); }
    template <typename F>
    std::unique_ptr<F> Mostra() {
        auto f = std::make_unique<F>();
        f->show();
        QCoreApplication::processEvents();
        return f;
    }
    static QString Celula(QTableWidget* t, int l, int c) {
        return t->item(l, c) ? t->item(l, c)->text() : QString();
    }
    static void Escreve(QTableWidget* t, int l, int c, const QString& v) {
        if (!t->item(l, c)) t->setItem(l, c, new QTableWidgetItem);
        t->item(l, c)->setText(v);
    }
};

}  // namespace teste
#endif
