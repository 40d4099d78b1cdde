// What the tests of the programming forms share: the printer emulator in technical
// intervention with a few rates and payment methods, the operator log, the day's call log and
// the forms shown.
#pragma once

#include <QStringList>
#include <QTableWidget>
#include <filesystem>
#include <string>

#include "console/comum_formularios.h"

#ifdef BELMORA_COM_EMULADOR
namespace teste {

class Programacao : public FormasNoEmulador {
  protected:
    void SetUp() override {
        FormasNoEmulador::SetUp();
        if (HasFatalFailure()) return;
        impressora.Altera([](emulador::Impressora& p) {
            p.intervencaoTecnica = true;
            p.aliquotas = {};
            p.meiosPagamento = {};
            p.aliquotas[0] = {true, 1800, true, "T18"};
            p.meiosPagamento[0] = {true, "Cartao", "Cartao", true};
            p.meiosPagamento[1] = {true, "Cheque", "Cheque", false};
        });
    }
    // The operator log as one text, so a difference reads plainly.
    std::string Linhas() const { return log.join(QLatin1Char('\n')).toStdString(); }
    static std::string Linhas(const QStringList& l) { return l.join(QLatin1Char('\n')).toStdString(); }
    void EsqueceChamadas() { std::filesystem::remove(kLogDLL); }
    static void Escreve(QTableWidget* t, int l, int c, const QString& v) {
        if (!t->item(l, c)) t->setItem(l, c, new QTableWidgetItem);
        t->item(l, c)->setText(v);
    }
};

}  // namespace teste
#endif
